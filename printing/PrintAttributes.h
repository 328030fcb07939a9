#pragma once

#include "printing/TextPrint.h"

#include <QDate>
#include <QString>

#include <optional>

namespace kolbran {

struct ViewerSettings;

// The print attributes as the print dialogs show them, kept in ViewerSettings.
struct PrintAttributes {
    QString FontName = QStringLiteral(u"ＭＳ 明朝");
    QString FontSize = QStringLiteral("10.5");
    bool PageNumbering = true;
    bool HeaderFileName = true;
    bool HeaderDate = true;
    bool LineNumbers = false;
    bool OneColumn = true;
    int LeftMarginMm = 10;
    int LineNumberDigits = 4;
};

// The stored header mode: sign + with page numbering, − without; magnitude 1 + 2 (file
// name) + 4 (date), so that it is never 0.
int16_t EncodeHeaderMode(bool pageNumbering, bool fileName, bool date);

PrintAttributes ReadPrintAttributes(const ViewerSettings& settings);
void WritePrintAttributes(ViewerSettings& settings, const PrintAttributes& attributes);

// A print size typed or chosen: its value in points, nothing when it is not a number or
// not above 0.
std::optional<double> PrintSizeValue(const QString& text);
// The font sizes the print dialogs offer.
QStringList PrintSizeChoices();

// The printer font list of the print dialogs.
QStringList PrintFontNames();

// The header text: the path with the file-name box, then " yyyy-mm-dd" with the date box.
QString PrintHeaderText(const PrintAttributes& attributes, const QString& path, const QDate& date);

// The engine's options for these attributes (the print dialog's variant).
TextPrintOptions TextPrintOptionsFor(const PrintAttributes& attributes, const QString& path,
                                     const QDate& date, int tabWidth);

}  // namespace kolbran
