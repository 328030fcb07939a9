#pragma once

#include <QFont>
#include <QString>

#include <cstdint>
#include <functional>

class QPagedPaintDevice;

namespace kolbran {

class PaintJob;

// How the print engine lays out and prints a text. The defaults are those of the print
// dialog; the multi-file print sets its own variant (measuring text, column gap, piece
// length, no "<NP>").
struct TextPrintOptions {
    QString FontName = QStringLiteral(u"ＭＳ 明朝");
    double FontSize = 10.5;  // points
    bool PageNumbering = true;  // a header line on each sheet
    QString HeaderText;         // printed before " :" and the page number
    int StartPage = 1;
    bool LineNumbers = false;
    int LineNumberDigits = 4;   // 2, 3 and 5 are kept, any other value prints 4 digits
    bool OneColumn = true;
    int LeftMarginMm = 10;      // one column only
    bool NewPageKey = false;    // a line beginning with "<NP>" starts a new sheet
    bool OnePageOnly = false;   // stop once the first sheet is full
    int TabWidth = 4;
    // Lines per page = Int(printable height × MeasureFactor ÷ height of MeasureText).
    QString MeasureText = QStringLiteral("|\r\n|\r\n|\r\n|\r\n|");
    int MeasureFactor = 5;
    int ColumnGap = 30;   // two-column width: Int(printable width ÷ 2 − ColumnGap)
    int MaxPiece = 500;   // the most characters one printed line takes from a text
};

// The layout of a job in twips of the device's printable area (1440 a inch, measured at the
// device's own resolution).
struct TextPrintLayout {
    double DotsPerTwipX = 1;
    double DotsPerTwipY = 1;
    int PrintableWidth = 0;
    int PrintableHeight = 0;
    double LineHeight = 0;       // twips
    int LinesPerPage = 1;        // text lines per page or column (header line excluded)
    int LeftMargin = 0;          // M
    int ColumnWidth = 0;         // W
    int RightColumnOffset = 0;
    int RightColumnWidth = 0;    // the rest of the sheet after the right column's offset
    int HeaderRight = 0;         // where the header line ends
};

QFont PrintFont(const TextPrintOptions& options);
TextPrintLayout ComputeTextPrintLayout(QPagedPaintDevice& device, const TextPrintOptions& options);

// The printed text of one document line: a final CR LF removed (only CR LF), control
// characters shown as ^@…^_ and ^?, TAB up to the next multiple of the tab width, and with
// line numbers the number and a colon before it.
QString PrintLineText(const QString& line, int64_t lineNumber, const TextPrintOptions& options);
// The digits a line number is printed with.
int PrintNumberDigits(int digits);
// The longest start of `text`, at most `maxChars` characters, whose width `widthOf` is at
// most `width`; at least one character (a surrogate pair whole) so that a line always
// moves on.
qsizetype FitPrefix(const QString& text, int maxChars, double width,
                    const std::function<double(const QString&)>& widthOf);
// The header line: text + " :" + the page number with one leading blank + "ﾍﾟｰｼﾞ"; when it
// is wider than `width`, its start is replaced by "…" so that it fits.
QString HeaderLine(const QString& text, int page, double width,
                   const std::function<double(const QString&)>& widthOf);

struct TextPrintResult {
    bool Cancelled = false;
    int Sheets = 0;             // sheets begun
    int64_t LastLine = 0;       // the last document line taken
    int64_t PrintedRows = 0;    // text rows printed
};

// Reads document line n (the text with its line end, as the line reader returns it).
using PrintLineSource = std::function<QString(int64_t line)>;
// Called after each printed row or skipped "<NP>" line with the document line; false
// cancels the job (the caller then discards or ends it).
using PrintStep = std::function<bool(int64_t line)>;

// Prints lines first..last (clamped by the caller) on the job's device. A sheet is begun
// only when a row is printed on it. Throws RuntimeError(kPrinterError) when the device
// fails; the caller commits or discards the job.
TextPrintResult PrintText(PaintJob& job, const TextPrintOptions& options, int64_t first, int64_t last,
                          const PrintLineSource& source, const PrintStep& step = {});

}  // namespace kolbran
