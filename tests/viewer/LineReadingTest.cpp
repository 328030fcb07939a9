// Opening a document (PrOpen, PrOpen2 and their failures) and reading its lines.
#include "viewer/LoaderFixture.h"

#include "core/CodePage.h"
#include "core/JapaneseCodes.h"

#include <QDir>
#include <QStringEncoder>

using namespace kolbran;
using namespace kolbran::test;

namespace {

TEST_F(LoaderFixture, PrOpenShowsTheDocument)
{
    host.timer1 = true;
    const QString path = Write(QStringLiteral("doc.txt"), "abc\r\ndef\r\n");
    state.doc.DisplayCode = DisplayCode::EucJp;  // every open starts in the standard code
    PrOpen(state, host, path);
    EXPECT_EQ(state.doc.DocumentName, path);
    EXPECT_TRUE(state.doc.HasFile());
    EXPECT_EQ(state.doc.FileLength, 10);
    EXPECT_TRUE(state.doc.FileTimestamp.isValid());
    EXPECT_EQ(state.doc.TopLine, 1);
    EXPECT_EQ(state.doc.DisplayCode, 0);
    EXPECT_EQ(host.resets, QList<bool>{true});
    EXPECT_EQ(host.fileMenu, (QList<bool>{false, true}));
    EXPECT_EQ(host.afterOpenCount, 1);
    EXPECT_EQ(host.cursor, (QList<bool>{true, false}));
    EXPECT_EQ(host.scrollBar, (QList<bool>{false, true}));
    EXPECT_TRUE(host.timer1);  // the caret tracker runs again afterwards
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

TEST_F(LoaderFixture, MissingFileOrFolderShowsTheGuardMessageAndLeavesNoDocument)
{
    const QString missing = dir.filePath(QStringLiteral("none.txt"));
    const std::vector<std::pair<QString, QString>> cases{
        {missing, QStringLiteral(u"「") + missing + QStringLiteral(u"」ﾌｧｲﾙはありません。")},
        {dir.path(), QStringLiteral(u"「フォルダ」を開こうとしています。")}};
    for (const auto& [path, message] : cases) {
        prompter.prompts.clear();
        host.timer1 = true;
        PrOpen(state, host, path);
        EXPECT_EQ(prompter.Messages(), QStringList{message});
        EXPECT_FALSE(state.doc.HasFile());
        EXPECT_EQ(state.doc.LineCount, 0);
        EXPECT_EQ(host.afterOpenCount, 0);
        EXPECT_FALSE(host.timer1);  // the timer stays off after a failed check
    }
}

TEST_F(LoaderFixture, PrOpenAfterADocumentClosesTheOldOne)
{
    PrOpen(state, host, Write(QStringLiteral("a.txt"), "one\r\ntwo\r\n"));
    PrOpen(state, host, dir.filePath(QStringLiteral("gone.txt")));
    EXPECT_FALSE(state.doc.HasFile());
    EXPECT_EQ(state.doc.LineCount, 0);
    EXPECT_TRUE(state.doc.DocumentName.isEmpty() ||
                state.doc.DocumentName == dir.filePath(QStringLiteral("gone.txt")));
}

// Reopening the current document passes the document's own name, which the reset clears.
TEST_F(LoaderFixture, PrOpenOfTheDocumentsOwnNameReopensIt)
{
    const QString path = Write(QStringLiteral("a.txt"), "one\r\ntwo\r\n");
    PrOpen(state, host, path);
    PrOpen(state, host, state.doc.DocumentName);
    EXPECT_TRUE(state.doc.HasFile());
    EXPECT_EQ(state.doc.DocumentName, path);
    EXPECT_EQ(state.doc.LineCount, 2);
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

TEST_F(LoaderFixture, ErrorWhileIndexingReportsAndResetsToNoDocument)
{
    // The disk index cannot be made in a folder that does not exist.
    state.settings.DebugFlags = 4;
    state.SettingsFolder = dir.filePath(QStringLiteral("no/such/folder"));
    const QString path = Write(QStringLiteral("doc.txt"), "abc\r\n");
    EXPECT_FALSE(PrOpen2(state, host, path, 0));
    ASSERT_EQ(prompter.Messages().size(), 1);
    EXPECT_FALSE(state.doc.HasFile());
    EXPECT_EQ(state.doc.LineCount, 0);
    EXPECT_EQ(host.resets, QList<bool>{false});
    EXPECT_EQ(host.PanelTexts(2), QStringList{QString()});
    EXPECT_EQ(host.scrollBar.last(), true);
    EXPECT_EQ(host.cursor.last(), false);
    EXPECT_EQ(host.afterOpenCount, 0);
}

TEST_F(LoaderFixture, QuietErrorShowsNothing)
{
    state.settings.QuietLoad = 1;
    state.settings.DebugFlags = 4;
    state.SettingsFolder = dir.filePath(QStringLiteral("no/such/folder"));
    EXPECT_FALSE(PrOpen2(state, host, Write(QStringLiteral("doc.txt"), "abc\r\n"), 0));
    EXPECT_TRUE(prompter.Messages().isEmpty());
    EXPECT_FALSE(state.doc.HasFile());
}

TEST_F(LoaderFixture, ReadLineInTheStandardCode)
{
    Index("abc\r\n\x82\xa0\x82\xa2\r\nlast");
    struct Case {
        int64_t n;
        QString text;
    };
    const std::vector<Case> cases{{1, QStringLiteral("abc\r\n")},
                                  {2, QStringLiteral(u"あい\r\n")},
                                  {3, QStringLiteral("last")},
                                  {0, QStringLiteral("abc\r\n")},
                                  {-5, QStringLiteral("abc\r\n")}};
    for (const Case& c : cases) {
        ReadLine(state, c.n);
        EXPECT_EQ(state.doc.LineBuffer, c.text) << c.n;
        EXPECT_EQ(state.doc.LineLength, c.text.size()) << c.n;
    }
    // Past the last line: empty text, the length as it was.
    ReadLine(state, 4);
    EXPECT_EQ(state.doc.LineBuffer, QString());
    EXPECT_EQ(state.doc.LineLength, 5);
}

TEST_F(LoaderFixture, ReadLineOfAUtf16Document)
{
    const QString text = QStringLiteral(u"日本\r\nabc");
    Index(QByteArray("\xff\xfe", 2) + ToUtf16Le(text));
    ReadLine(state, 1);
    EXPECT_EQ(state.doc.LineBuffer, QStringLiteral(u"日本\r\n"));
    EXPECT_EQ(state.doc.LineLength, 4);
    // The code menu is off for UTF-16; a code set anyway still shows UTF-16.
    state.doc.DisplayCode = DisplayCode::EucJp;
    ReadLine(state, 2);
    EXPECT_EQ(state.doc.LineBuffer, QStringLiteral("abc"));
}

TEST_F(LoaderFixture, ReadLineConvertsAWindowInTheOtherCodes)
{
    QStringEncoder euc("EUC-JP");
    const QByteArray line1 = euc.encode(QStringLiteral(u"日本語"));
    Index(line1 + "\r\n" + euc.encode(QStringLiteral(u"漢字")) + "\r\n");
    state.doc.DisplayCode = DisplayCode::EucJp;
    ReadLine(state, 1);
    EXPECT_EQ(state.doc.LineBuffer, QStringLiteral(u"日本語\r\n"));
    EXPECT_EQ(state.doc.LineLength, 5);

    // Code 9 converts the whole window; LineLength stops after the first CR LF.
    state.doc.DisplayCode = DisplayCode::Corrected;
    Index("ab\x80\r\ncd\r\n");
    state.doc.DisplayCode = DisplayCode::Corrected;
    ReadLine(state, 1);
    EXPECT_EQ(state.doc.LineBuffer, QStringLiteral("ab?\r\ncd\r\n"));
    EXPECT_EQ(state.doc.LineLength, 5);
    ReadLine(state, 2);
    EXPECT_EQ(state.doc.LineBuffer, QStringLiteral("cd\r\n"));
    EXPECT_EQ(state.doc.LineLength, 4);
}

TEST_F(LoaderFixture, ReadLineWindowIsAtMost4096Bytes)
{
    Index(QByteArray(5000, 'a'));
    state.doc.DisplayCode = DisplayCode::Ebcdik;
    ReadLine(state, 1);
    EXPECT_EQ(state.doc.LineBuffer.size(), 4096);
    EXPECT_EQ(state.doc.LineLength, 4096);
}

TEST_F(LoaderFixture, TruncatedWhileOpenReadsEmptyText)
{
    const QString path = Write(QStringLiteral("doc.txt"), Repeat("line\r\n", 100));
    PrOpen(state, host, path);
    ASSERT_EQ(state.doc.LineCount, 100);
    ASSERT_TRUE(QFile::resize(path, 12));
    ReadLine(state, 50);
    EXPECT_EQ(state.doc.LineBuffer, QString());
    ReadLine(state, 2);
    EXPECT_EQ(state.doc.LineBuffer, QStringLiteral("line\r\n"));
    ReadLine(state, 3);
    EXPECT_EQ(state.doc.LineBuffer, QString());
    for (int code : {1, 2, 3, 9}) {
        state.doc.DisplayCode = code;
        ReadLine(state, 80);
        EXPECT_EQ(state.doc.LineBuffer, QString()) << code;
    }
}

TEST_F(LoaderFixture, DeletedWhileOpenDoesNotCrash)
{
    const QString path = Write(QStringLiteral("doc.txt"), Repeat("line\r\n", 100));
    PrOpen(state, host, path);
    ASSERT_TRUE(QFile::remove(path));
    ReadLine(state, 100);
#ifdef Q_OS_UNIX
    // The open handle still reads the removed file.
    EXPECT_EQ(state.doc.LineBuffer, QStringLiteral("line\r\n"));
#endif
    // Opening it again fails cleanly.
    PrOpen(state, host, path);
    EXPECT_FALSE(state.doc.HasFile());
    ReadLine(state, 1);
    EXPECT_EQ(state.doc.LineBuffer, QString());
}

TEST_F(LoaderFixture, ResetDocumentStateLeavesNoDocument)
{
    Index("abc\r\n");
    state.doc.DisplayCode = 3;
    state.doc.LineBuffer = QStringLiteral("x");
    ResetDocumentState(state);
    EXPECT_FALSE(state.doc.HasFile());
    EXPECT_EQ(state.doc.FileNumber(), 0);
    EXPECT_TRUE(state.doc.DocumentName.isEmpty());
    EXPECT_EQ(state.doc.LineCount, 0);
    EXPECT_EQ(state.doc.DisplayCode, 0);
    EXPECT_TRUE(state.doc.LineBuffer.isEmpty());
    EXPECT_FALSE(state.BusyFlag);
}

}  // namespace
