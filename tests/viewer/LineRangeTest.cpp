// The line-range dialog's arithmetic: the range from the selection, the scroll bars and
// the copied text.
#include "common/RecordingViewerHost.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "viewer/LineLoader.h"
#include "viewer/LineRange.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

TEST(LineRangeTest, RangeFromSelection)
{
    // Three lines shown from line 10: "ab", "cde", "f" (the last without CR LF).
    const QString t = QStringLiteral("ab\r\ncde\r\nf");
    struct Case {
        const char* name;
        int s, len;
        LineNumber start, end;
        int selStart, selLength;
    } cases[] = {
        {"caret only", 5, 0, 11, 11, 4, 5},
        {"caret at a line start", 4, 0, 11, 11, 4, 5},
        {"across two lines", 1, 4, 10, 11, 0, 9},
        {"whole first line with its CR LF", 0, 4, 10, 10, 0, 4},
        {"in the last line", 9, 1, 12, 12, 9, int(t.size())},
        {"from the first into the last", 0, 10, 10, 12, 0, int(t.size())},
    };
    for (const Case& c : cases) {
        const SelectionLines r = LinesFromSelection(t, c.s, c.len, 10, 12);
        EXPECT_EQ(r.startLine, c.start) << c.name;
        EXPECT_EQ(r.endLine, c.end) << c.name;
        EXPECT_EQ(r.selStart, c.selStart) << c.name;
        EXPECT_EQ(r.selLength, c.selLength) << c.name;
    }
}

TEST(LineRangeTest, ScrollBars)
{
    struct Case {
        int mode;
        LineNumber start, end, lines;
        LineNumber base;
        int maximum, startPos, endPos;
    } cases[] = {
        {0, 5000, 5000, 10000, 2952, 4096, 2048, 2048},
        {0, 2049, 2050, 10000, 1, 4096, 2048, 2049},
        {0, 2050, 2050, 10000, 2, 4096, 2048, 2048},
        {1, 20001, 20001, 100000, 3618, 32767, 16383, 16383},
        {1, 20000, 20010, 100000, 3616, 32767, 16384, 16394},
        {0, 3, 5, 10, 1, 9, 2, 4},  // both bars end at the last line
        {4, 1, 1, 1, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const RangeBars r = SetUpRangeBars(c.mode, c.start, c.end, c.lines);
        EXPECT_EQ(r.rangeSpan, c.mode == 0 ? 4096 : 32767);
        EXPECT_EQ(r.rangeBase, c.base) << c.start;
        EXPECT_EQ(r.maximum, c.maximum) << c.start;
        EXPECT_EQ(r.startPosition, c.startPos) << c.start;
        EXPECT_EQ(r.endMinimum, c.startPos) << c.start;
        EXPECT_EQ(r.endPosition, c.endPos) << c.start;
    }
}

namespace {

class CopyTest : public ::testing::Test {
protected:
    CopyTest() : state(prompter) { state.SettingsFolder = dir.path(); }
    void Open(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        PrOpen(state, host, path);
        ASSERT_TRUE(state.doc.HasFile());
    }
    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
    AppState state;
    test::RecordingViewerHost host;
};

}  // namespace

TEST_F(CopyTest, LinesWithTheirOwnEnds)
{
    Open("1\r\n2\r\n3\r\n4\r\n5\r\n6");
    EXPECT_EQ(CollectLineText(state, 3, 5).text, QStringLiteral("3\r\n4\r\n5\r\n"));
    EXPECT_EQ(CollectLineText(state, 5, 9).text, QStringLiteral("5\r\n6"));
    const LineText cut = CollectLineText(state, 1, 6, 7);
    EXPECT_EQ(cut.text, QStringLiteral("1\r\n2\r\n"));
    EXPECT_EQ(cut.stoppedAt, 3);
}

TEST_F(CopyTest, ConvertedUnderTheDisplayCode)
{
    Open("x\r\n\xB0\xA1\r\n" + QByteArray("\xA4\xA2").repeated(300) + "\r\nz\r\n");
    state.doc.DisplayCode = 1;
    const QString text = CollectLineText(state, 2, 4).text;
    EXPECT_EQ(text, QString::fromUtf16(u"亜\r\n") + QString(300, u'あ') + QStringLiteral("\r\nz\r\n"));
}
