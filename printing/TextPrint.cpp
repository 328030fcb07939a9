#include "printing/TextPrint.h"

#include "core/Numbers.h"
#include "core/PaintJob.h"
#include "core/RuntimeError.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kolbran {

namespace {

constexpr double kTwipsPerInch = 1440.0;
const QString kNewPageKey = QStringLiteral("<NP>");

int IntOf(double value)
{
    return int(std::floor(value));
}

// Lines of a measuring text: a trailing line end begins one more (empty) line.
int TextLines(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return int(t.count(u'\n')) + 1;
}

}  // namespace

QFont PrintFont(const TextPrintOptions& options)
{
    QFont font(options.FontName);
    font.setPointSizeF(options.FontSize > 0 ? options.FontSize : 10.5);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

TextPrintLayout ComputeTextPrintLayout(QPagedPaintDevice& device, const TextPrintOptions& options)
{
    TextPrintLayout l;
    l.DotsPerTwipX = device.logicalDpiX() / kTwipsPerInch;
    l.DotsPerTwipY = device.logicalDpiY() / kTwipsPerInch;
    l.PrintableWidth = IntOf(device.width() / l.DotsPerTwipX);
    l.PrintableHeight = IntOf(device.height() / l.DotsPerTwipY);
    const QFontMetricsF metrics(PrintFont(options), &device);
    l.LineHeight = metrics.lineSpacing() / l.DotsPerTwipY;
    const double measured = TextLines(options.MeasureText) * l.LineHeight;
    int lines = measured > 0 ? IntOf(l.PrintableHeight * double(options.MeasureFactor) / measured) : 1;
    if (options.PageNumbering)
        --lines;
    // At least one text line, so that a page never runs past its end.
    l.LinesPerPage = std::max(1, lines);
    const int margin = std::clamp(options.LeftMarginMm, 0, 99);
    l.LeftMargin = options.OneColumn ? IntOf(margin * 567.0 / 10.0) : 0;
    l.ColumnWidth = options.OneColumn ? l.PrintableWidth - l.LeftMargin
                                      : IntOf(l.PrintableWidth / 2.0 - options.ColumnGap);
    l.RightColumnOffset = IntOf(l.PrintableWidth / 2.0 + 57);
    l.RightColumnWidth = std::min(l.ColumnWidth, l.PrintableWidth - l.RightColumnOffset);
    l.HeaderRight = l.PrintableWidth - 284;
    return l;
}

int PrintNumberDigits(int digits)
{
    return digits == 2 || digits == 3 || digits == 5 ? digits : 4;
}

QString PrintLineText(const QString& line, int64_t lineNumber, const TextPrintOptions& options)
{
    QStringView text(line);
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    QString out;
    out.reserve(text.size() + 8);
    const int tab = std::max(1, options.TabWidth);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\t') {
            const qsizetype spaces = tab - out.size() % tab;
            out.append(QString(spaces, u' '));
        } else if (u < 0x20) {
            out.append(u'^');
            out.append(QChar(char16_t(u + 0x40)));
        } else if (u == 0x7F) {
            out.append(QStringLiteral("^?"));
        } else {
            out.append(c);
        }
    }
    if (options.LineNumbers)
        out.prepend(FormatLineNumber(lineNumber, PrintNumberDigits(options.LineNumberDigits)));
    return out;
}

qsizetype FitPrefix(const QString& text, int maxChars, double width,
                    const std::function<double(const QString&)>& widthOf)
{
    const qsizetype limit = std::min<qsizetype>(text.size(), std::max(1, maxChars));
    auto wholeEnd = [&](qsizetype n) {
        // Never end between the halves of a surrogate pair.
        if (n > 0 && n < text.size() && text[n - 1].isHighSurrogate() && text[n].isLowSurrogate())
            return n - 1;
        return n;
    };
    auto fits = [&](qsizetype n) { return widthOf(text.left(n)) <= width; };
    qsizetype n = wholeEnd(limit);
    if (n > 0 && fits(n))
        return n;
    // The widths grow with the length: the longest fitting start by bisection.
    qsizetype lo = 0, hi = n;  // fits(lo) (or lo == 0), !fits(hi)
    while (hi - lo > 1) {
        const qsizetype mid = (lo + hi) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid;
    }
    lo = wholeEnd(lo);
    if (lo == 0) {
        // Not even one character fits: take one anyway.
        lo = text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate() ? 2 : 1;
        lo = std::min(lo, text.size());
    }
    return lo;
}

QString HeaderLine(const QString& text, int page, double width,
                   const std::function<double(const QString&)>& widthOf)
{
    const QString tail = QStringLiteral(" :") + StrNumber(page) + QStringLiteral(u"ﾍﾟｰｼﾞ");
    QString line = text + tail;
    if (widthOf(line) <= width)
        return line;
    const QString ellipsis = QStringLiteral(u"…");
    for (qsizetype cut = 1; cut <= text.size(); ++cut) {
        if (cut < text.size() && text[cut].isLowSurrogate())
            continue;
        line = ellipsis + text.mid(cut) + tail;
        if (widthOf(line) <= width)
            return line;
    }
    return tail;
}

TextPrintResult PrintText(PaintJob& job, const TextPrintOptions& options, int64_t first, int64_t last,
                          const PrintLineSource& source, const PrintStep& step)
{
    TextPrintResult result;
    QPagedPaintDevice& device = job.Device();
    const TextPrintLayout l = ComputeTextPrintLayout(device, options);
    const QFont font = PrintFont(options);
    const QFontMetricsF metrics(font, &device);
    const double dotsX = l.DotsPerTwipX;
    auto widthTwips = [&](const QString& s) { return metrics.horizontalAdvance(s) / dotsX; };
    const double rowHeight = l.LineHeight * l.DotsPerTwipY;
    const double ascent = metrics.ascent();
    const int maxPiece = std::max(1, options.MaxPiece);

    QPainter* painter = nullptr;
    int page = options.StartPage;
    int counter = 1;        // text line on the page or column, 1-based
    bool rightColumn = false;
    bool sheetOpen = false;  // a row was printed on the current sheet

    auto stopForOnePage = [&] { return options.OnePageOnly && page != options.StartPage; };
    auto closeSheet = [&] {
        counter = 1;
        rightColumn = false;
        ++page;
        sheetOpen = false;
    };
    auto drawAt = [&](double xTwips, int row, const QString& s) {
        painter->drawText(QPointF(xTwips * dotsX, row * rowHeight + ascent), s);
    };
    auto printRow = [&](const QString& s) {
        if (!painter) {
            painter = &job.Painter();
            painter->setFont(font);
            painter->setPen(Qt::black);
        }
        if (!sheetOpen) {
            if (result.Sheets > 0 && !device.newPage())
                throw RuntimeError(kPrinterError);
            sheetOpen = true;
            ++result.Sheets;
        }
        int row = counter - 1;
        if (options.PageNumbering) {
            // The right column's first row stays blank: the header spans the sheet.
            if (counter == 1 && !rightColumn) {
                const QString header = HeaderLine(options.HeaderText, page, l.HeaderRight, widthTwips);
                drawAt(std::max(0.0, l.HeaderRight - widthTwips(header)), 0, header);
            }
            ++row;
        }
        drawAt(rightColumn ? l.RightColumnOffset : l.LeftMargin, row, s);
        ++result.PrintedRows;
        if (counter >= l.LinesPerPage) {
            if (options.OneColumn || rightColumn)
                closeSheet();
            else {
                rightColumn = true;
                counter = 1;
            }
        } else {
            ++counter;
        }
    };

    for (int64_t n = first; n <= last; ++n) {
        result.LastLine = n;
        QString text = PrintLineText(source(n), n, options);
        if (options.NewPageKey && text.startsWith(kNewPageKey)) {
            if (sheetOpen)
                closeSheet();
            if (step && !step(n)) {
                result.Cancelled = true;
                return result;
            }
            if (stopForOnePage())
                return result;
            continue;
        }
        bool carried = false;
        do {
            const double width = rightColumn ? l.RightColumnWidth : l.ColumnWidth;
            qsizetype take = text.size();
            if (text.size() > maxPiece || widthTwips(text) > width)
                take = FitPrefix(text, maxPiece, width, widthTwips);
            printRow(text.left(take));
            text.remove(0, take);
            carried = !text.isEmpty();
            if (step && !step(n)) {
                result.Cancelled = true;
                return result;
            }
            if (stopForOnePage())
                return result;
        } while (carried);
    }
    return result;
}

}  // namespace kolbran
