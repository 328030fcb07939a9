// The search engines, the placing of a found line and the menu searches.
#include "common/SearchFixture.h"
#include "core/CodePage.h"

#include <gtest/gtest.h>

using namespace kolbran;
using kolbran::test::SearchFixture;

namespace {

QByteArray Sjis(const QString& text)
{
    return ToSjis(text);
}

}  // namespace

TEST(SearchMatcherTest, ComparesAsTheLineTextDoes)
{
    struct Case {
        const char* what;
        QString line;     // the line's text, written in Shift_JIS
        QString needle;
        int mode;
        int position;     // expected SearchHit
    };
    const Case cases[] = {
        {"text mode ignores letter case", QStringLiteral("abc Hello\r\n"), QStringLiteral("hELLo"), 1, 5},
        {"binary mode is exact", QStringLiteral("abc Hello\r\n"), QStringLiteral("hello"), 0, 0},
        {"binary mode finds the exact text", QStringLiteral("abc Hello\r\n"), QStringLiteral("Hello"), 0, 5},
        {"full-width letters fold too", QStringLiteral(u"ＡＢＣ\r\n"), QStringLiteral(u"ａｂｃ"), 1, 1},
        {"Japanese text", QStringLiteral(u"今日は晴れです\r\n"), QStringLiteral(u"晴れ"), 0, 4},
        {"a trail byte is no letter", QStringLiteral(u"アイウ\r\n"), QStringLiteral("A"), 1, 0},
        {"a trail byte is no backslash", QStringLiteral(u"ソ表\r\n"), QStringLiteral("\\"), 0, 0},
        {"the line end is part of the line", QStringLiteral("end\r\n"), QStringLiteral("d\r\n"), 0, 3},
        {"a character the code page lacks", QStringLiteral("cafe\r\n"), QStringLiteral(u"é"), 1, 0},
        {"half-width katakana", QStringLiteral(u"ｶﾀｶﾅ\r\n"), QStringLiteral(u"ﾀｶ"), 0, 2},
    };
    for (const Case& c : cases) {
        SearchFixture f;
        ASSERT_TRUE(f.Open(Sjis(c.line)));
        f.state.SearchString = c.needle;
        f.state.SearchCompareMode = c.mode;
        f.state.doc.TopLine = 1;
        EXPECT_EQ(SearchForward(f.state), c.position) << c.what;
        EXPECT_EQ(f.state.SearchHit, c.position) << c.what;
    }
}

TEST(SearchMatcherTest, FindsCharactersWithTwoEncodings)
{
    // EE F9 is the second encoding of the sign that 81 CA also encodes.
    SearchFixture f;
    ASSERT_TRUE(f.Open(QByteArray("x\xEE\xF9y\r\n")));
    f.state.SearchString = QString(QChar(0xFFE2));
    f.state.SearchCompareMode = 0;
    EXPECT_EQ(SearchForward(f.state), 2);
}

TEST(SearchMatcherTest, SearchesUtf16Documents)
{
    SearchFixture f;
    ASSERT_TRUE(f.Open(QByteArray("\xFF\xFE", 2) + ToUtf16Le(QStringLiteral(u"一行目\r\nＨｅｌｌｏ 世界\r\n"))));
    ASSERT_EQ(f.state.doc.LineCount, 2);
    f.state.SearchString = QStringLiteral(u"ｈｅｌｌｏ");
    EXPECT_EQ(SearchForward(f.state), 1);
    EXPECT_EQ(f.state.doc.TopLine, 2);
    f.state.SearchCompareMode = 0;
    f.state.doc.TopLine = 1;
    EXPECT_EQ(SearchForward(f.state), 0);
}

TEST(SearchEngineTest, ForwardAndBackwardMoveTheCursor)
{
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(50, {10, 20, 20}, "word")));
    f.state.SearchString = QStringLiteral("WORD");

    f.state.doc.TopLine = 11;
    EXPECT_EQ(SearchForward(f.state), 9);  // "line 20 word"
    EXPECT_EQ(f.state.doc.TopLine, 20);
    EXPECT_EQ(f.state.doc.LineBuffer, QStringLiteral("line 20 word\r\n"));

    f.state.doc.TopLine = 21;
    EXPECT_EQ(SearchForward(f.state), 0);
    EXPECT_EQ(f.state.doc.TopLine, 51);  // past the searched range

    f.state.doc.TopLine = 19;
    EXPECT_EQ(SearchBackward(f.state), 9);
    EXPECT_EQ(f.state.doc.TopLine, 10);

    f.state.doc.TopLine = 9;
    EXPECT_EQ(SearchBackward(f.state), 0);
    EXPECT_EQ(f.state.doc.TopLine, 0);

    f.state.SearchString.clear();
    EXPECT_EQ(SearchForward(f.state), -1);
    EXPECT_EQ(SearchBackward(f.state), -1);
}

TEST(SearchEngineTest, BackwardSearchInAShortDocumentLooksAtEveryLine)
{
    // Fewer lines than a screen: an upward search from line 5 still finds line 2.
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(8, {2}, "word")));
    f.state.SearchString = QStringLiteral("word");
    f.state.doc.TopLine = 5;
    EXPECT_GT(SearchBackward(f.state), 0);
    EXPECT_EQ(f.state.doc.TopLine, 2);
}

TEST(SearchEngineTest, SearchesAcrossManyBlocks)
{
    // About 1.3 MB: the hits lie in different read blocks, both directions.
    QByteArray bytes;
    const QByteArray filler(120, 'x');
    for (int n = 1; n <= 10000; ++n)
        bytes += (n == 2345 || n == 9876 ? QByteArray("needle ") : QByteArray()) + filler + "\r\n";
    SearchFixture f;
    ASSERT_TRUE(f.Open(bytes));
    f.state.SearchString = QStringLiteral("NEEDLE");
    f.state.doc.TopLine = 1;
    EXPECT_EQ(SearchForward(f.state), 1);
    EXPECT_EQ(f.state.doc.TopLine, 2345);
    f.state.doc.TopLine = 2346;
    EXPECT_EQ(SearchForward(f.state), 1);
    EXPECT_EQ(f.state.doc.TopLine, 9876);
    f.state.doc.TopLine = 9875;
    EXPECT_EQ(SearchBackward(f.state), 1);
    EXPECT_EQ(f.state.doc.TopLine, 2345);
}

TEST(PlaceFoundLineTest, ShowsTheFoundLineAtTheResultRow)
{
    struct Case {
        const char* what;
        int lines;
        int row;
        int found;
        int64_t top;
    };
    const Case cases[] = {
        {"row 5, hit in line 3", 100, 5, 3, 1},
        {"row 5, hit in line 50", 100, 5, 50, 46},
        {"row 1, last line", 100, 1, 100, 69},
        {"row 1, last line of a long document", 40000, 1, 40000, 39969},
        {"row out of range counts as 1", 100, 25, 50, 50},
        {"document shorter than a screen", 10, 3, 9, 1},
    };
    for (const Case& c : cases) {
        SearchFixture f;
        ASSERT_TRUE(f.Open(SearchFixture::Lines(c.lines, {}, "")));
        f.state.settings.SearchResultRow = int16_t(c.row);
        PlaceFoundLine(f.state, f.view, c.found);
        EXPECT_EQ(f.state.doc.TopLine, c.top) << c.what;
    }
}

TEST(MenuSearchTest, EmptySearchTextDoesNothing)
{
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(100, {50}, "word")));
    f.view.ScrollTo(10);
    MenuSearchDown(f.state, f.view);
    MenuSearchUp(f.state, f.view);
    EXPECT_EQ(f.state.doc.TopLine, 10);
    EXPECT_EQ(f.view.redraws, 0);
    EXPECT_TRUE(f.prompter.prompts.isEmpty());
}

TEST(MenuSearchTest, DownSelectsALaterHitOnTheScreenWithoutScrolling)
{
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(100, {3, 7, 60}, "word")));
    f.state.SearchString = QStringLiteral("word");
    MenuSearchDown(f.state, f.view);
    EXPECT_EQ(f.view.selStart, f.view.text.indexOf(QStringLiteral("line 3 word")) + 7);
    EXPECT_EQ(f.view.selLength, 4);
    MenuSearchDown(f.state, f.view);
    EXPECT_EQ(f.view.selStart, f.view.text.indexOf(QStringLiteral("line 7 word")) + 7);
    EXPECT_EQ(f.view.redraws, 0);
    EXPECT_EQ(f.state.doc.TopLine, 1);

    // No further hit on the screen: the search goes on below it.
    MenuSearchDown(f.state, f.view);
    EXPECT_EQ(f.state.doc.TopLine, 60);
    EXPECT_EQ(f.view.redraws, 1);
    EXPECT_EQ(f.view.text.mid(f.view.selStart, 4), QStringLiteral("word"));
    EXPECT_EQ(f.view.selStart, 8);
    EXPECT_TRUE(f.prompter.prompts.isEmpty());
}

TEST(MenuSearchTest, DownStartsBelowTheScreenAndReportsNothingFound)
{
    // Line 20 is on the screen but before the selection; the search below the screen
    // finds nothing and everything stays as it was.
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(100, {20}, "word")));
    f.state.SearchString = QStringLiteral("word");
    f.view.Select(f.view.text.indexOf(QStringLiteral("line 25")), 2);
    MenuSearchDown(f.state, f.view);
    EXPECT_EQ(f.state.doc.TopLine, 1);
    EXPECT_EQ(f.view.redraws, 0);
    EXPECT_EQ(f.prompter.Messages(), QStringList{QStringLiteral(u"「word」は見つかりませんでした。")});
    EXPECT_EQ(f.prompter.prompts[0].icon, MsgIcon::Information);
    EXPECT_EQ(f.view.focused, 1);
}

TEST(MenuSearchTest, DownOnTheLastLineOfALongDocumentShowsTheLastPage)
{
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(40000, {40000}, "word")));
    f.state.SearchString = QStringLiteral("word");
    MenuSearchDown(f.state, f.view);
    EXPECT_EQ(f.state.doc.TopLine, 39969);
    EXPECT_EQ(f.view.scrollValue, 32767);
    EXPECT_TRUE(f.view.text.endsWith(QStringLiteral("line 40000 word\r\n")));
    EXPECT_EQ(f.view.text.mid(f.view.selStart, 4), QStringLiteral("word"));
}

TEST(MenuSearchTest, UpOnLineOneDoesNothingAndSaysNothing)
{
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(100, {}, "")));
    f.state.SearchString = QStringLiteral("absent");
    MenuSearchUp(f.state, f.view);
    EXPECT_TRUE(f.prompter.prompts.isEmpty());
    EXPECT_EQ(f.state.doc.TopLine, 1);
}

TEST(MenuSearchTest, UpSelectsTheOccurrenceInTheFoundLine)
{
    // Row 5 shows lines 8.. with hits in lines 10 and 12: the one of line 12 is selected.
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(100, {10, 12}, "word")));
    f.state.settings.SearchResultRow = 5;
    f.state.SearchString = QStringLiteral("word");
    f.view.ScrollTo(30);
    MenuSearchUp(f.state, f.view);
    EXPECT_EQ(f.state.doc.TopLine, 8);
    EXPECT_EQ(f.view.selStart, f.view.text.indexOf(QStringLiteral("line 12 word")) + 8);

    // Nothing above: the message, and the view stays.
    f.view.ScrollTo(5);
    f.state.SearchString = QStringLiteral("absent");
    MenuSearchUp(f.state, f.view);
    EXPECT_EQ(f.state.doc.TopLine, 5);
    EXPECT_EQ(f.prompter.Messages(), QStringList{QStringLiteral(u"「absent」は見つかりませんでした。")});
}

TEST(MenuSearchTest, UpSelectsInTheFoundLineOfAJapaneseDocument)
{
    // Double-byte lines before the found line: the byte distance becomes characters.
    QByteArray bytes;
    for (int n = 1; n <= 40; ++n)
        bytes += Sjis(n == 6 || n == 8 ? QStringLiteral(u"日本語の行 検索語\r\n") : QStringLiteral(u"日本語の行\r\n"));
    SearchFixture f;
    ASSERT_TRUE(f.Open(bytes));
    f.state.settings.LinesPerScreen = 22;
    f.state.settings.SearchResultRow = 4;
    f.state.SearchString = QStringLiteral(u"検索語");
    f.view.ScrollTo(15);
    MenuSearchUp(f.state, f.view);
    EXPECT_EQ(f.state.doc.TopLine, 5);
    EXPECT_EQ(f.view.selStart, 7 + 11 + 7 + 6);  // lines 5..7 come before it
}

TEST(DialogSearchTest, SearchesRelativeToTheCaretLine)
{
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(100, {5, 9, 40}, "word")));
    f.state.SearchString = QStringLiteral("word");
    f.view.caretLine = 5;
    EXPECT_EQ(DialogSearchDown(f.state, f.view), 8);
    EXPECT_EQ(f.state.doc.TopLine, 9);
    EXPECT_EQ(f.view.caretLine, 9);
    EXPECT_EQ(f.view.text.mid(f.view.selStart, 12), QStringLiteral("word\r\nline 1"));

    f.view.caretLine = 40;
    EXPECT_EQ(DialogSearchUp(f.state, f.view), 8);
    EXPECT_EQ(f.state.doc.TopLine, 9);

    f.view.caretLine = 1;
    EXPECT_EQ(DialogSearchUp(f.state, f.view), std::nullopt);

    f.view.caretLine = 41;
    EXPECT_EQ(DialogSearchDown(f.state, f.view), 0);
    EXPECT_EQ(f.state.doc.TopLine, 9);
    EXPECT_EQ(f.prompter.Messages().last(), QStringLiteral(u"「word」見つかりませんでした。"));
    EXPECT_EQ(f.prompter.prompts.last().icon, MsgIcon::None);
}

TEST(SearchMatcherTest, FindsTheBytesAtEveryOffset)
{
    // Every start offset and length around the 16-byte steps of the scan.
    const QString needles[] = {QStringLiteral("q"), QStringLiteral("Needle"), QStringLiteral(u"検索語")};
    for (const QString& needle : needles)
        for (int mode : {0, 1}) {
            const SearchMatcher matcher(needle, mode, false);
            const QByteArray encoded = ToSjis(needle);
            for (int length = int(encoded.size()); length <= 40; ++length)
                for (int at = 0; at + encoded.size() <= length; ++at) {
                    QByteArray bytes(length, 'x');
                    EXPECT_FALSE(matcher.MayContain(bytes.constData(), bytes.size()));
                    bytes.replace(at, encoded.size(), encoded);
                    EXPECT_EQ(matcher.FindCandidate(bytes.constData(), bytes.size(), 0), at)
                        << needle.toStdString() << " " << length << " " << at;
                }
        }
}

TEST(MenuSearchTest, UpSelectsInTheFoundLineOfAUtf16Document)
{
    QString text;
    for (int n = 1; n <= 60; ++n)
        text += n == 20 || n == 22 ? QStringLiteral(u"行 検索語\r\n") : QStringLiteral(u"行\r\n");
    SearchFixture f;
    ASSERT_TRUE(f.Open(QByteArray("\xFF\xFE", 2) + ToUtf16Le(text)));
    f.state.settings.SearchResultRow = 4;
    f.state.SearchString = QStringLiteral(u"検索語");
    f.view.ScrollTo(28);
    MenuSearchUp(f.state, f.view);
    EXPECT_EQ(f.state.doc.TopLine, 19);
    EXPECT_EQ(f.view.selStart, 3 + 7 + 3 + 2);  // lines 19, 20 and 21 come before it
}
