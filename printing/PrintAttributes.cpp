#include "printing/PrintAttributes.h"

#include "core/CodePage.h"
#include "core/Numbers.h"
#include "core/ViewerSettings.h"

#include <QFontDatabase>
#include <QStringList>

#include <cstdlib>

namespace kolbran {

int16_t EncodeHeaderMode(bool pageNumbering, bool fileName, bool date)
{
    const int magnitude = 1 + (fileName ? 2 : 0) + (date ? 4 : 0);
    return int16_t(pageNumbering ? magnitude : -magnitude);
}

PrintAttributes ReadPrintAttributes(const ViewerSettings& s)
{
    PrintAttributes a;
    a.FontName = s.PrintFontName.trimmed();
    a.FontSize = s.PrintFontSize.trimmed();
    a.PageNumbering = s.PrintHeader > 0;
    const int magnitude = std::abs(int(s.PrintHeader));
    a.HeaderFileName = (magnitude & 2) != 0;
    a.HeaderDate = (magnitude & 4) != 0;
    a.LineNumbers = s.PrintLineNumbers != 0;
    a.OneColumn = s.PrintColumnOption != 0;
    a.LeftMarginMm = s.PrintLeftMargin >= 0 && s.PrintLeftMargin <= 99 ? s.PrintLeftMargin : 10;
    a.LineNumberDigits = s.PrintLineNumberWidth == 0 ? 4 : s.PrintLineNumberWidth;
    return a;
}

void WritePrintAttributes(ViewerSettings& s, const PrintAttributes& a)
{
    s.PrintFontName = a.FontName;
    s.PrintFontSize = a.FontSize;
    s.PrintHeader = EncodeHeaderMode(a.PageNumbering, a.HeaderFileName, a.HeaderDate);
    s.PrintLineNumbers = a.LineNumbers ? 1 : 0;
    s.PrintColumnOption = a.OneColumn ? -1 : 0;
    s.PrintLeftMargin = int16_t(a.LeftMarginMm >= 0 && a.LeftMarginMm <= 99 ? a.LeftMarginMm : 10);
}

std::optional<double> PrintSizeValue(const QString& text)
{
    if (!IsNumeric(text))
        return std::nullopt;
    const double v = Val(text);
    if (!(v > 0) || v > 1638)
        return std::nullopt;
    return v;
}

QStringList PrintSizeChoices()
{
    return {QStringLiteral("6.4"), QStringLiteral("6.8"), QStringLiteral("7.4"), QStringLiteral("8"),
            QStringLiteral("9.6"), QStringLiteral("10.5"), QStringLiteral("12")};
}

// The printer font list: the four logical names, then the installed Japanese families whose
// names fit the 26 bytes the settings keep.
QStringList PrintFontNames()
{
    QStringList names{QStringLiteral(u"ＭＳ 明朝"), QStringLiteral(u"ＭＳ ゴシック"), QStringLiteral(u"標準明朝"),
                      QStringLiteral(u"標準ゴシック")};
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese))
        if (!names.contains(family) && SjisLength(family) <= 26 && ToSjis(family).size() == SjisLength(family) &&
            FromSjis(ToSjis(family)) == family)
            names.append(family);
    return names;
}

QString PrintHeaderText(const PrintAttributes& a, const QString& path, const QDate& date)
{
    QString text;
    if (a.HeaderFileName)
        text = path;
    if (a.HeaderDate)
        text += u' ' + date.toString(QStringLiteral("yyyy-MM-dd"));
    return text;
}

TextPrintOptions TextPrintOptionsFor(const PrintAttributes& a, const QString& path, const QDate& date,
                                     int tabWidth)
{
    TextPrintOptions o;
    if (!a.FontName.trimmed().isEmpty())
        o.FontName = a.FontName;
    o.FontSize = PrintSizeValue(a.FontSize).value_or(10.5);
    o.PageNumbering = a.PageNumbering;
    o.HeaderText = PrintHeaderText(a, path, date);
    o.LineNumbers = a.LineNumbers;
    o.LineNumberDigits = a.LineNumberDigits;
    o.OneColumn = a.OneColumn;
    o.LeftMarginMm = a.LeftMarginMm;
    o.TabWidth = tabWidth;
    return o;
}

}  // namespace kolbran
