#pragma once

#include "core/LineIndex.h"
#include "viewer/ScreenText.h"

#include <QStringView>

#include <cstdint>

namespace kolbran {

// The vertical scroll bar holds positions 1..32,767 only; longer documents map positions
// onto top lines proportionally. P, the number of possible top lines, the maximum and the
// mapping back after code changes (ScrollValueToTopLine) are in ScreenText.h.
inline constexpr int kScrollLimit = 32767;

// The scroll bar's maximum for P possible top lines: P limited to 1..32,767.
constexpr int ScrollMaximumFor(int64_t possibleTopLines)
{
    return possibleTopLines < 1 ? 1 : possibleTopLines > kScrollLimit ? kScrollLimit : int(possibleTopLines);
}

// The large change: a screen less one line, or 10 lines from 300,001 lines on.
constexpr int ScrollLargeChange(int64_t lineCount, int linesPerScreen)
{
    return lineCount >= 300001 ? 10 : linesPerScreen - 1;
}

// TopLine after the user moved the scroll bar to `value` (P possible top lines): v, or for
// P > 32,767 the proportional line, the last position showing the last screen.
int64_t TopLineFromScrollMove(int value, int64_t possibleTopLines);
// The position that puts `line` at the top (the editor's rule), capped at the maximum.
int ScrollValueForTopLine(int64_t line, int64_t possibleTopLines);
// The position a search uses to bring a found line to the top, capped at the maximum.
int ScrollValueForFoundLine(int64_t line, int64_t possibleTopLines);

// The caret column: Shift_JIS bytes before the caret on the screen, less the bytes from the
// top of the screen to the start of the caret line (`bytesBeforeLine`).
int64_t CaretColumn(QStringView textBeforeCaret, int64_t bytesBeforeLine);

// Horizontal layout of the text area, in pixels.
struct WidthsInput {
    int innerWidth = 0;          // the window's inner width
    bool scrollBarVisible = false;
    int scrollBarWidth = 0;
    bool scrollBarLeft = false;  // ScrollBarLeft = 1
    bool lineNumbersVisible = false;
    int listWidth = 0;           // the line-number column
    int listGap = 4;             // 60 twips taken from the text width beside the list
    int textGap = 3;             // 50 twips between the list and the text
};
struct WidthsLayout {
    int listLeft = 0;
    int textLeft = 0;
    int textWidth = 0;
    int scrollLeft = 0;
    int scrollWidth = 0;  // 0 when hidden
    int rulerLeft = 0;
    int rulerWidth = 0;
    int rulerLabelWidth = 0;
};
WidthsLayout LayOutWidths(const WidthsInput& in);

// Vertical layout of the text area, in pixels.
struct HeightsInput {
    bool rulerVisible = false;
    int rulerLabelHeight = 0;
    int rulerExtra = 4;         // 60 twips below the ruler label
    int linesPerScreen = 32;
    int lineHeight = 0;
    int textExtra = 24;         // 355 twips: frame, margins and the horizontal scroll bar
    int scrollBarWidth = 0;     // the thickness of the vertical scroll bar
    int listExtra = 7;          // 100 twips
};
struct HeightsLayout {
    int rulerTop = 0;
    int rulerHeight = 0;  // 0 when hidden
    int textTop = 0;
    int textHeight = 0;
    int scrollHeight = 0;
    int listHeight = 0;
    int areaHeight = 0;  // text top + text height: what the window's client area must hold
};
HeightsLayout LayOutHeights(const HeightsInput& in);

// Where the line-number splitter may sit: 100..2,000 twips right of the left offset.
int ClampSplitter(int x, int leftOffset, int minimum = 7, int maximum = 133);

// The Down arrow on the bottom row when the scroll bar cannot move: the new top line.
constexpr int64_t TopLineForNextLine(int64_t caretLine, int linesPerScreen)
{
    return caretLine + 1 - (linesPerScreen - 1);
}

}  // namespace kolbran
