#include "viewer/ScreenText.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/JapaneseCodes.h"
#include "core/Numbers.h"
#include "viewer/LineLoader.h"
#include "viewer/TextLineReader.h"

#include <algorithm>

namespace kolbran {

namespace {

constexpr int64_t kScrollLimit = 32767;

QString StandardBlock(AppState& state, int64_t top, int lines)
{
    const OpenDocument& doc = state.doc;
    const FileOffset start = GetLineStart(state, top);
    const int64_t endLine = std::min<int64_t>(top + lines, int64_t(doc.LineCount) + 1);
    const int64_t length = GetLineStart(state, endLine) - start;
    QByteArray bytes = ReadDocumentBytes(state, start, length);
    if (endLine != int64_t(doc.LineCount) + 1) {
        // The bottom line's own line end is not shown (a split piece of a long line has none).
        if (doc.IsUtf16) {
            if (bytes.endsWith(QByteArrayView("\r\0\n\0", 4)))
                bytes.chop(4);
        } else if (bytes.endsWith("\r\n")) {
            bytes.chop(2);
        }
    }
    return doc.IsUtf16 ? FromUtf16Le(bytes) : FromSjis(bytes);
}

QString LineInputBlock(AppState& state, int64_t top, int lines)
{
    OpenDocument& doc = state.doc;
    TextLineReader reader(*doc.File, GetLineStart(state, top));
    QByteArray bytes;
    QByteArray line;
    for (int n = 0; n < lines && !reader.AtEnd(); ++n) {
        if (!reader.ReadLine(&line))
            break;
        bytes += line;
        bytes += "\r\n";
    }
    return FromSjis(bytes);
}

}  // namespace

ScreenContent BuildScreenText(AppState& state, const ScreenRequest& request)
{
    OpenDocument& doc = state.doc;
    ScreenContent screen;
    screen.topLine = std::max<int64_t>(request.topLine, 1);
    const int lines = std::max(request.linesPerScreen, 1);
    const int64_t top = screen.topLine;
    const int64_t last = top + lines - 1;
    if (!doc.HasFile())
        return screen;

    if (request.lineNumbers)
        for (int64_t i = top; i <= last && i <= doc.LineCount; ++i)
            screen.lineNumbers.append(FormatLineNumber(i));

    if (doc.LineInputMode) {
        screen.text = LineInputBlock(state, top, lines);
    } else if (request.printRun) {
        for (int64_t i = top; i <= last && i <= doc.LineCount; ++i) {
            ReadLine(state, i);
            screen.text += QStringView(doc.LineBuffer).chopped(std::min<qsizetype>(1, doc.LineBuffer.size()));
        }
    } else if (doc.DisplayCode != DisplayCode::Standard && !doc.IsUtf16) {
        for (int64_t i = top; i <= last && i <= doc.LineCount; ++i) {
            ReadLine(state, i);
            screen.text += QStringView(doc.LineBuffer).left(doc.LineLength);
        }
    } else {
        screen.text = StandardBlock(state, top, lines);
    }
    return screen;
}

ScreenContent BuildCurrentScreen(AppState& state)
{
    ScreenRequest request;
    request.topLine = state.doc.TopLine;
    request.linesPerScreen = state.settings.LinesPerScreen > 0 ? state.settings.LinesPerScreen : 32;
    request.lineNumbers = state.settings.LineNumbersVisible;
    return BuildScreenText(state, request);
}

int64_t PossibleTopLines(int64_t lineCount, int linesPerScreen)
{
    return lineCount - (linesPerScreen - 1);
}

int ScrollMaximum(int64_t lineCount, int linesPerScreen)
{
    return int(std::clamp<int64_t>(PossibleTopLines(lineCount, linesPerScreen), 1, kScrollLimit));
}

int64_t ScrollValueToTopLine(int64_t value, int64_t lineCount, int linesPerScreen)
{
    const int64_t p = PossibleTopLines(lineCount, linesPerScreen);
    if (p <= kScrollLimit)
        return value;
    return IntFloor(double(value - 1) * double(p) / double(kScrollLimit)) + 1;
}

}  // namespace kolbran
