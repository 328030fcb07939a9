#include "viewer/Viewport.h"

#include <gtest/gtest.h>

namespace kolbran {
namespace {

struct ScrollCase {
    int64_t lineCount;
    int linesPerScreen;
    int value;
    int64_t topLine;
};

TEST(ViewportTest, ScrollMoveGivesTopLine)
{
    const ScrollCase cases[] = {
        {100, 32, 1, 1},                // P = 69: positions are top lines
        {100, 32, 69, 69},
        {32767 + 31, 32, 32767, 32767},  // P = 32,767 exactly: still one line per position
        {100000, 32, 1, 1},             // P = 99,969
        {100000, 32, 32767, 99969},     // the last position shows the last screen
        {100000, 32, 32766, 99963},     // Int(32,765 × 99,969 ÷ 32,767) + 1
        {100000, 32, 2, 4},             // Int(99,969 ÷ 32,767) + 1
        {1000000, 56, 16384, 499958},   // Int(16,383 × 999,945 ÷ 32,767) + 1
    };
    for (const ScrollCase& c : cases) {
        const int64_t p = PossibleTopLines(c.lineCount, c.linesPerScreen);
        EXPECT_EQ(TopLineFromScrollMove(c.value, p), c.topLine) << c.lineCount << " " << c.value;
    }
}

TEST(ViewportTest, ScrollMaximumAndLargeChange)
{
    EXPECT_EQ(ScrollMaximumFor(PossibleTopLines(10, 32)), 1);  // fewer lines than a screen
    EXPECT_EQ(ScrollMaximumFor(PossibleTopLines(32, 32)), 1);
    EXPECT_EQ(ScrollMaximumFor(PossibleTopLines(100, 32)), 69);
    EXPECT_EQ(ScrollMaximumFor(PossibleTopLines(100000, 32)), 32767);
    EXPECT_EQ(ScrollLargeChange(300000, 32), 31);
    EXPECT_EQ(ScrollLargeChange(300001, 32), 10);
}

TEST(ViewportTest, PlacingALineAtTheTop)
{
    const int64_t small = PossibleTopLines(100, 32);     // 69
    const int64_t large = PossibleTopLines(100000, 32);  // 99,969
    struct Case {
        int64_t p;
        int64_t line;
        int editor;
        int search;
    };
    const Case cases[] = {
        {small, 1, 1, 1},
        {small, 50, 50, 50},
        {small, 90, 69, 69},            // capped at the maximum
        {large, 1, 1, 1},               // Int(1 ÷ 3.05…) + 1 and Int(0 ÷ …) + 1
        {large, 99969, 32767, 32767},   // Int(32,767) + 1 capped; Int(32,766.67) + 1
        {large, 50000, 16389, 16389},   // Int(16,388.6) + 1; Int(16,388.3) + 1
        {large, 4, 2, 1},               // the two rules differ here
        {large, 100000, 32767, 32767},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScrollValueForTopLine(c.line, c.p), c.editor) << c.line;
        EXPECT_EQ(ScrollValueForFoundLine(c.line, c.p), c.search) << c.line;
    }
}

TEST(ViewportTest, CaretColumnCountsShiftJisBytes)
{
    EXPECT_EQ(CaretColumn(u"abc", 0), 3);
    EXPECT_EQ(CaretColumn(u"日本", 0), 4);
    EXPECT_EQ(CaretColumn(u"ｱｲ", 0), 2);  // half-width katakana are single bytes
    EXPECT_EQ(CaretColumn(u"ab\r\n日本x", 4), 5);
}

TEST(ViewportTest, LayOutWidthsPlacesListTextAndScrollBar)
{
    struct Case {
        bool scroll;
        bool left;
        bool numbers;
        int listLeft, textLeft, textWidth, scrollLeft, scrollWidth;
    };
    const Case cases[] = {
        {false, false, false, 0, 0, 600, 600, 0},
        {true, false, false, 0, 0, 584, 584, 16},
        {true, true, false, 16, 16, 584, 0, 16},
        {true, false, true, 0, 63, 520, 583, 16},   // 600 − 16 − 60 − 4; text at 60 + 3
        {true, true, true, 16, 79, 520, 0, 16},
        {false, true, true, 0, 63, 536, 0, 0},      // no scroll bar: no offset
    };
    for (const Case& c : cases) {
        WidthsInput in;
        in.innerWidth = 600;
        in.scrollBarVisible = c.scroll;
        in.scrollBarWidth = 16;
        in.scrollBarLeft = c.left;
        in.lineNumbersVisible = c.numbers;
        in.listWidth = 60;
        const WidthsLayout out = LayOutWidths(in);
        EXPECT_EQ(out.listLeft, c.listLeft);
        EXPECT_EQ(out.textLeft, c.textLeft);
        EXPECT_EQ(out.textWidth, c.textWidth);
        EXPECT_EQ(out.scrollLeft, c.scrollLeft);
        EXPECT_EQ(out.scrollWidth, c.scrollWidth);
        EXPECT_EQ(out.rulerLeft, out.textLeft);
        EXPECT_EQ(out.rulerWidth, out.textWidth);
        EXPECT_EQ(out.rulerLabelWidth, 600);
    }
}

TEST(ViewportTest, LayOutHeightsStacksRulerAndText)
{
    HeightsInput in;
    in.linesPerScreen = 32;
    in.lineHeight = 15;
    in.textExtra = 24;
    in.scrollBarWidth = 16;
    in.listExtra = 7;
    in.rulerLabelHeight = 14;
    in.rulerExtra = 4;
    HeightsLayout out = LayOutHeights(in);
    EXPECT_EQ(out.textTop, 0);
    EXPECT_EQ(out.textHeight, 32 * 15 + 24);
    EXPECT_EQ(out.scrollHeight, 32 * 15 + 24 - 16);
    EXPECT_EQ(out.listHeight, out.scrollHeight + 7);
    EXPECT_EQ(out.areaHeight, 504);
    in.rulerVisible = true;
    out = LayOutHeights(in);
    EXPECT_EQ(out.rulerHeight, 18);
    EXPECT_EQ(out.textTop, 18);
    EXPECT_EQ(out.areaHeight, 522);
}

TEST(ViewportTest, SplitterStaysWithinItsRange)
{
    EXPECT_EQ(ClampSplitter(2, 0), 7);
    EXPECT_EQ(ClampSplitter(50, 0), 50);
    EXPECT_EQ(ClampSplitter(500, 0), 133);
    EXPECT_EQ(ClampSplitter(2, 16), 23);
    EXPECT_EQ(TopLineForNextLine(40, 32), 10);
}

}  // namespace
}  // namespace kolbran
