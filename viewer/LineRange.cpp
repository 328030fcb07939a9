#include "viewer/LineRange.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/JapaneseCodes.h"
#include "core/Numbers.h"
#include "viewer/LineLoader.h"
#include "viewer/Transforms.h"

#include <algorithm>
#include <new>

namespace kolbran {

namespace {

// 1-based position just past the first LF at or after the 1-based position `from`; 1
// when there is none.
qsizetype AfterLf(const QString& text, qsizetype from)
{
    const qsizetype at = text.indexOf(u'\n', std::max<qsizetype>(from - 1, 0));
    return at < 0 ? 1 : at + 2;
}

}  // namespace

SelectionLines LinesFromSelection(const QString& text, int selStart, int selLength, int64_t topLine,
                                  LineNumber lineCount)
{
    SelectionLines r;
    r.selStart = selStart;
    r.selLength = selLength;
    qsizetype a = qsizetype(selStart) + 1;
    int64_t i = topLine;
    qsizetype b = 1;
    for (;;) {
        if (i > lineCount)
            break;
        const qsizetype d = AfterLf(text, b);
        if (a < d) {
            a = qsizetype(selStart) + 1 + selLength;
            r.selStart = int(b - 1);
            break;
        }
        if (d == 1) {
            r.selStart = int(b - 1);
            break;
        }
        ++i;
        b = d;
    }
    r.startLine = LineNumber(i);
    while (i <= lineCount) {
        b = AfterLf(text, b);
        if (b < a) {
            if (b == 1) {
                r.selLength = int(text.size());
                break;
            }
            ++i;
        } else {
            r.selLength = int(b - r.selStart - 1);
            break;
        }
    }
    r.endLine = LineNumber(i);
    return r;
}

RangeBars SetUpRangeBars(int lineRangeMode, LineNumber startLine, LineNumber endLine, LineNumber lineCount)
{
    RangeBars r;
    r.rangeSpan = lineRangeMode == 0 ? 4096 : 32767;
    r.rangeBase = LineNumber(std::max<qint64>(1, RoundHalfEven(double(startLine) - r.rangeSpan / 2.0)));
    r.maximum = int(std::max<int64_t>(0, std::min<int64_t>(int64_t(r.rangeBase) + r.rangeSpan, lineCount) - r.rangeBase));
    r.startPosition = int(std::clamp<int64_t>(int64_t(startLine) - r.rangeBase, 0, r.maximum));
    r.endMinimum = r.startPosition;
    r.endPosition = int(std::clamp<int64_t>(int64_t(endLine) - r.rangeBase, r.endMinimum, r.maximum));
    return r;
}

QString DocumentLineText(const AppState& state, LineNumber n)
{
    const OpenDocument& doc = state.doc;
    if (n < 1 || n > doc.LineCount)
        return {};
    const FileOffset start = GetLineStart(state, n);
    const QByteArray bytes = ReadDocumentBytes(state, start, GetLineStart(state, int64_t(n) + 1) - start);
    if (doc.IsUtf16)
        return FromUtf16Le(bytes);
    if (doc.DisplayCode == DisplayCode::Standard)
        return FromSjis(bytes);
    const bool crlf = bytes.endsWith("\r\n");
    QByteArray converted = ConvertLineContent(doc.DisplayCode, QByteArrayView(bytes).chopped(crlf ? 2 : 0));
    if (crlf)
        converted += "\r\n";
    return FromSjis(converted);
}

LineText CollectLineText(const AppState& state, LineNumber first, LineNumber last, qsizetype limit)
{
    LineText r;
    const LineNumber end = std::min(last, state.doc.LineCount);
    for (LineNumber n = std::max<LineNumber>(first, 1); n <= end; ++n) {
        try {
            const QString line = DocumentLineText(state, n);
            if (r.text.size() + line.size() > limit) {
                r.stoppedAt = n;
                return r;
            }
            r.text += line;
        } catch (const std::bad_alloc&) {
            r.stoppedAt = n;
            return r;
        }
    }
    return r;
}

}  // namespace kolbran
