#pragma once

#include "core/LineIndex.h"

#include <QString>

#include <cstdint>

namespace kolbran {

struct AppState;

// The line-range dialog's range taken from the main text area. `text` is the screen text
// (each shown line ended by CR LF, the first being document line `topLine`), `selStart`
// (0-based) and `selLength` its selection. The selection comes back widened to whole
// lines, the last line's CR LF included.
struct SelectionLines {
    LineNumber startLine = 1;
    LineNumber endLine = 1;
    int selStart = 0;
    int selLength = 0;
};
SelectionLines LinesFromSelection(const QString& text, int selStart, int selLength, int64_t topLine,
                                  LineNumber lineCount);

// The two scroll bars: positions stand for RangeBase + position; the window of reachable
// lines is centred on the start line (RangeSpan 4,096 for copying, 32,767 otherwise).
struct RangeBars {
    int rangeSpan = 0;
    LineNumber rangeBase = 1;
    int maximum = 0;       // both bars
    int startPosition = 0; // HScroll1
    int endMinimum = 0;    // HScroll2
    int endPosition = 0;
};
RangeBars SetUpRangeBars(int lineRangeMode, LineNumber startLine, LineNumber endLine, LineNumber lineCount);

// The text of lines first..last (at most LineCount) as the copy puts it on the clipboard:
// each line with its own line end; under a display code other than 0 the converted text.
// A line that would take the text past `limit` characters (or memory) stops the run:
// `stoppedAt` is then that line and `text` holds the lines before it.
struct LineText {
    QString text;
    LineNumber stoppedAt = 0;
};
LineText CollectLineText(const AppState& state, LineNumber first, LineNumber last,
                         qsizetype limit = qsizetype(1) << 29);

// One document line as text, its line end included, converted by the display code.
QString DocumentLineText(const AppState& state, LineNumber n);

}  // namespace kolbran
