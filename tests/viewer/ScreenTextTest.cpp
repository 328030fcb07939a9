// The text of one screen (the screen refresh) and the code menu's choice.
#include "viewer/LoaderFixture.h"

#include "core/CodePage.h"
#include "core/JapaneseCodes.h"
#include "viewer/CodeChoice.h"
#include "viewer/ScreenText.h"

#include <QStringEncoder>

using namespace kolbran;
using namespace kolbran::test;

namespace {

QByteArray Lines(int count, const char* prefix = "line")
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += prefix + QByteArray::number(i) + "\r\n";
    return bytes;
}

ScreenContent Screen(AppState& state, int64_t top, int lines, bool numbers = false)
{
    ScreenRequest request;
    request.topLine = top;
    request.linesPerScreen = lines;
    request.lineNumbers = numbers;
    return BuildScreenText(state, request);
}

TEST_F(LoaderFixture, StandardScreens)
{
    Index(Lines(10));
    struct Case {
        int64_t top;
        int lines;
        QString text;
    };
    const std::vector<Case> cases{
        // The bottom line's own line end is cut ...
        {1, 3, QStringLiteral("line1\r\nline2\r\nline3")},
        {4, 2, QStringLiteral("line4\r\nline5")},
        // ... unless the block reaches the end of the document.
        {8, 3, QStringLiteral("line8\r\nline9\r\nline10\r\n")},
        {9, 22, QStringLiteral("line9\r\nline10\r\n")},
        {0, 2, QStringLiteral("line1\r\nline2")},
        {11, 3, QString()}};
    for (const Case& c : cases)
        EXPECT_EQ(Screen(state, c.top, c.lines).text, c.text) << c.top;
}

TEST_F(LoaderFixture, FewerLinesThanAScreenKeepTheLastLineEnd)
{
    Index("one\r\ntwo\r\n");
    EXPECT_EQ(Screen(state, 1, 32).text, QStringLiteral("one\r\ntwo\r\n"));
    Index("x");
    EXPECT_EQ(Screen(state, 1, 32).text, QStringLiteral("x"));
}

TEST_F(LoaderFixture, LineNumberColumn)
{
    Index(Lines(13));
    const ScreenContent screen = Screen(state, 11, 5, true);
    EXPECT_EQ(screen.lineNumbers,
              (QStringList{QStringLiteral("0011:"), QStringLiteral("0012:"), QStringLiteral("0013:")}));
    EXPECT_TRUE(Screen(state, 11, 5, false).lineNumbers.isEmpty());
}

TEST_F(LoaderFixture, JapaneseTextInTheStandardCode)
{
    Index(ToSjis(QStringLiteral(u"日本語\r\nかな\r\n")));
    EXPECT_EQ(Screen(state, 1, 1).text, QStringLiteral(u"日本語"));
    EXPECT_EQ(Screen(state, 2, 1).text, QStringLiteral(u"かな\r\n"));
}

TEST_F(LoaderFixture, Utf16Screens)
{
    Index(QByteArray("\xff\xfe", 2) + ToUtf16Le(QStringLiteral(u"一\r\n二\r\n三")));
    EXPECT_EQ(Screen(state, 1, 2).text, QStringLiteral(u"一\r\n二"));
    EXPECT_EQ(Screen(state, 2, 2).text, QStringLiteral(u"二\r\n三"));
}

TEST_F(LoaderFixture, APieceOfALongLineKeepsItsLastBytesAtTheBottom)
{
    Index(QByteArray(5000, 'a') + "\r\nb\r\n");
    EXPECT_EQ(Screen(state, 1, 1).text, QString(4096, u'a'));
}

TEST_F(LoaderFixture, OtherCodesReadLineByLine)
{
    QStringEncoder euc("EUC-JP");
    Index(euc.encode(QStringLiteral(u"日本\r\n語\r\n終わり")));
    state.doc.DisplayCode = DisplayCode::EucJp;
    EXPECT_EQ(Screen(state, 1, 2).text, QStringLiteral(u"日本\r\n語\r\n"));
    EXPECT_EQ(Screen(state, 2, 5).text, QStringLiteral(u"語\r\n終わり"));

    // Code 3 converts each whole window; the text takes each line up to its CR LF.
    Index("\xc1\xc2\r\n\xf1\r\n");
    state.doc.DisplayCode = DisplayCode::Ebcdik;
    EXPECT_EQ(Screen(state, 1, 3).text, QStringLiteral("AB\r\n1\r\n"));
}

TEST_F(LoaderFixture, PrintRunDropsTheLastCharacterOfEachLine)
{
    Index("ab\r\ncd\r\n");
    ScreenRequest request;
    request.linesPerScreen = 5;
    request.printRun = true;
    EXPECT_EQ(BuildScreenText(state, request).text, QStringLiteral("ab\rcd\r"));
}

TEST_F(LoaderFixture, LineInputModeReadsWithTheTextReader)
{
    const QString path = Write(QStringLiteral("t.txt"), "a\r\nb\rc\r\nd");
    state.BusyFlag = true;
    BuildLineIndexByLines(state, host, path, 0);
    state.doc.File = std::make_unique<QFile>(path);
    ASSERT_TRUE(state.doc.File->open(QIODevice::ReadOnly));
    EXPECT_EQ(Screen(state, 1, 22).text, QStringLiteral("a\r\nb\rc\r\nd\r\n"));
    EXPECT_EQ(Screen(state, 2, 1).text, QStringLiteral("b\rc\r\n"));
}

TEST_F(LoaderFixture, NoDocumentNoText)
{
    const ScreenContent screen = Screen(state, 1, 32, true);
    EXPECT_TRUE(screen.text.isEmpty());
    EXPECT_TRUE(screen.lineNumbers.isEmpty());
}

TEST_F(LoaderFixture, TruncatedDocumentShowsWhatIsLeft)
{
    const QString path = Write(QStringLiteral("doc.txt"), Lines(100));
    PrOpen(state, host, path);
    ASSERT_TRUE(QFile::resize(path, 14));
    EXPECT_EQ(Screen(state, 1, 32).text, QStringLiteral("line1\r\nline2"));
    EXPECT_EQ(Screen(state, 50, 32).text, QString());
}

TEST(ScrollMapping, TopLineFromTheScrollValue)
{
    struct Case {
        int64_t value, lineCount;
        int lines;
        int64_t top;
    };
    const std::vector<Case> cases{{1, 100'000, 32, 1},
                                  {32'767, 100'000, 32, 99'966},
                                  {16'384, 100'000, 32, 49'983},
                                  {5, 1'000, 32, 5},
                                  {32'767, 32'798, 32, 32'767}};
    for (const Case& c : cases)
        EXPECT_EQ(ScrollValueToTopLine(c.value, c.lineCount, c.lines), c.top) << c.value;
    EXPECT_EQ(ScrollMaximum(100'000, 32), 32'767);
    EXPECT_EQ(ScrollMaximum(10, 32), 1);
    EXPECT_EQ(ScrollMaximum(100, 32), 69);
}

TEST_F(LoaderFixture, ChoosingADisplayCode)
{
    Index(Lines(200));
    host.timerLog.clear();
    QList<std::pair<int, int64_t>> drawn;
    host.onDraw = [&] { drawn.append({state.doc.DisplayCode, state.doc.TopLine}); };
    const CodeChoiceResult result = ChooseDisplayCode(state, host, 1, 7);
    EXPECT_EQ(state.doc.DisplayCode, 1);
    EXPECT_EQ(drawn, (QList<std::pair<int, int64_t>>{{1, 7}}));
    EXPECT_EQ(result.statusText, QStringLiteral(u"日本語１"));
    EXPECT_EQ(host.panels[1], QStringLiteral(u"日本語１"));
    EXPECT_EQ(host.timerLog, (QList<bool>{false, true}));
    std::array<bool, 10> expected{};
    expected[1] = true;
    EXPECT_EQ(result.checked, expected);

    const struct {
        int code;
        QString name;
    } names[]{{0, QString()}, {2, QStringLiteral(u"日本語２")}, {3, QStringLiteral(u"EBCDIKｺｰﾄﾞ")},
              {9, QStringLiteral(u"不正ﾃﾞｰﾀ補正")}};
    for (const auto& n : names) {
        EXPECT_EQ(ChooseDisplayCode(state, host, n.code, 1).statusText, n.name);
        EXPECT_EQ(state.settings.DisplayCodeNames[size_t(n.code)], n.name);
    }
}

TEST_F(LoaderFixture, ChoosingAValueOutsideTheMenuChangesNothing)
{
    Index(Lines(5));
    const CodeChoiceResult result = ChooseDisplayCode(state, host, 4, 1);
    EXPECT_EQ(state.doc.DisplayCode, 0);
    EXPECT_EQ(host.drawCount, 0);
    EXPECT_TRUE(result.checked[0]);
}

TEST_F(LoaderFixture, StandardCodeOfAUtf16DocumentIsNamedUnicode)
{
    Index(QByteArray("\xff\xfe", 2) + ToUtf16Le(QStringLiteral("a\r\n")));
    EXPECT_EQ(host.panels[1], QStringLiteral("Unicode"));
    EXPECT_EQ(ChooseDisplayCode(state, host, 0, 1).statusText, QStringLiteral("Unicode"));
    EXPECT_EQ(state.settings.DisplayCodeNames[0], QStringLiteral("Unicode"));
}

}  // namespace
