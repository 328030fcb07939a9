#include "viewer/Viewport.h"

#include "core/CodePage.h"

#include <algorithm>

namespace kolbran {

int64_t TopLineFromScrollMove(int value, int64_t possibleTopLines)
{
    if (possibleTopLines <= kScrollLimit)
        return value;
    if (value > kScrollLimit - 1)
        return possibleTopLines;
    // Int((v − 1) × P ÷ 32,767) + 1, exact in integers (both factors are positive).
    return int64_t(value - 1) * possibleTopLines / kScrollLimit + 1;
}

int ScrollValueForTopLine(int64_t line, int64_t possibleTopLines)
{
    const int maximum = ScrollMaximumFor(possibleTopLines);
    int64_t value = line;
    if (possibleTopLines > kScrollLimit)
        value = line * kScrollLimit / possibleTopLines + 1;  // Int(line ÷ (P ÷ 32,767)) + 1
    return int(std::clamp<int64_t>(value, 1, maximum));
}

int ScrollValueForFoundLine(int64_t line, int64_t possibleTopLines)
{
    const int maximum = ScrollMaximumFor(possibleTopLines);
    int64_t value = line;
    if (possibleTopLines > kScrollLimit)
        value = (line - 1) * kScrollLimit / possibleTopLines + 1;
    return int(std::clamp<int64_t>(value, 1, maximum));
}

int64_t CaretColumn(QStringView textBeforeCaret, int64_t bytesBeforeLine)
{
    return int64_t(SjisLength(textBeforeCaret)) - bytesBeforeLine;
}

WidthsLayout LayOutWidths(const WidthsInput& in)
{
    WidthsLayout out;
    const int w = in.scrollBarVisible ? in.scrollBarWidth : 0;
    int available = in.innerWidth - w;
    if (in.lineNumbersVisible)
        available -= in.listWidth + in.listGap;
    const int offset = in.scrollBarVisible && in.scrollBarLeft ? w : 0;
    out.listLeft = offset;
    out.textLeft = in.lineNumbersVisible ? offset + in.listWidth + in.textGap : offset;
    out.textWidth = std::max(0, available);
    out.scrollWidth = w;
    out.scrollLeft = in.scrollBarLeft ? 0 : out.textLeft + out.textWidth;
    out.rulerLeft = out.textLeft;
    out.rulerWidth = out.textWidth;
    out.rulerLabelWidth = in.innerWidth;
    return out;
}

HeightsLayout LayOutHeights(const HeightsInput& in)
{
    HeightsLayout out;
    out.rulerTop = 0;
    out.rulerHeight = in.rulerVisible ? in.rulerLabelHeight + in.rulerExtra : 0;
    out.textTop = out.rulerHeight;
    out.textHeight = in.linesPerScreen * in.lineHeight + in.textExtra;
    out.scrollHeight = std::max(0, out.textHeight - in.scrollBarWidth);
    out.listHeight = out.scrollHeight + in.listExtra;
    out.areaHeight = out.textTop + out.textHeight;
    return out;
}

int ClampSplitter(int x, int leftOffset, int minimum, int maximum)
{
    return std::clamp(x, leftOffset + minimum, leftOffset + maximum);
}

}  // namespace kolbran
