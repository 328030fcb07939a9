// Searching a set of files, the result box's rule, the saved text and kolbran-tool multi-find.
#include "multifile/MultiSearch.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Prompter.h"
#include "core/ToolRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace kolbran;

namespace {

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct SearchRun {
    QString text;
    MultiSearchOutcome outcome;
};

// Searches `names` (files of `dir`); `cancelAfter` steps answer true before the first false.
SearchRun Search(const QTemporaryDir& dir, const QStringList& names, const QString& needle, int mode = 1,
           int cancelAfter = -1, int displayCode = 0)
{
    QStringList paths;
    for (const QString& n : names)
        paths.append(dir.filePath(n));
    MultiSearchOptions options;
    options.needle = needle;
    options.compareMode = mode;
    options.displayCode = displayCode;
    SearchRun run;
    MultiSearchHooks hooks;
    hooks.append = [&](const QString& t) { run.text += t; };
    int steps = 0;
    hooks.step = [&] { return cancelAfter < 0 || steps++ < cancelAfter; };
    run.outcome = SearchFiles(paths, names, options, hooks);
    return run;
}

TEST(MultiSearch, OneResultPerMatchingLineWithItsNumberAndLineEnd)
{
    QTemporaryDir dir;
    Write(dir, "a.txt", ToSjis(QStringLiteral(u"abc abc abc\r\nnone\r\n日本ABC\r\nxyz\r\nend abc")));
    Write(dir, "b.txt", "nothing here\r\n");
    const SearchRun ignoring = Search(dir, {"a.txt", "b.txt"}, QStringLiteral("abc"));
    EXPECT_EQ(ignoring.text, QStringLiteral(u"a.txt:0001:abc abc abc\r\na.txt:0003:日本ABC\r\na.txt:0005:end abc\r\n"));
    EXPECT_EQ(ignoring.outcome.found, 3);
    EXPECT_EQ(ignoring.outcome.searched, 2);
    EXPECT_FALSE(ignoring.outcome.cancelled);
    // Case significant: "ABC" is not "abc".
    EXPECT_EQ(Search(dir, {"a.txt"}, QStringLiteral("ABC"), 0).text, QStringLiteral(u"a.txt:0003:日本ABC\r\n"));
    EXPECT_EQ(Search(dir, {"a.txt"}, QStringLiteral("Abc"), 0).text, QString());
    EXPECT_EQ(Search(dir, {"a.txt"}, QStringLiteral(u"日本"), 0).outcome.found, 1);
}

TEST(MultiSearch, ResultAndErrorLineForms)
{
    EXPECT_EQ(MultiSearchResult("a.txt", 12, u"abc\r\n", false), QStringLiteral("a.txt:0012:abc\r\n"));
    EXPECT_EQ(MultiSearchResult("a.txt", 10000, u"abc", false), QStringLiteral("a.txt:10000:abc\r\n"));
    EXPECT_EQ(MultiSearchResult("sub/b", 123456, u"", false), QStringLiteral("sub/b:123456:\r\n"));
    const QString long300(300, u'x');
    EXPECT_EQ(MultiSearchResult("a", 1, long300 + "\r\n", false), "a:0001:" + long300 + "\r\n");
    EXPECT_EQ(MultiSearchResult("a", 1, long300 + "\r\n", true), "a:0001:" + long300.left(256) + "\r\n");
    EXPECT_EQ(MultiSearchErrorLine("a.txt", RuntimeError(Err::PermissionDenied)),
              QStringLiteral("a.txt:") + ErrorDescription(70) + QStringLiteral(" ( 70 )\r\n"));
}

TEST(MultiSearch, FilesOfEveryKindAreSearchedWhole)
{
    QTemporaryDir dir;
    // UTF-16 with its mark, the hit in line 2.
    Write(dir, "u16.txt", QByteArray("\xFF\xFE") + ToUtf16Le(QStringLiteral(u"first\r\n検索 here\r\n")));
    // Over a million lines, the hit in the last one and line 10000.
    QByteArray big;
    big.reserve(3'000'010);
    for (int i = 1; i <= 1'000'000; ++i)
        big += i == 10000 ? "needle\r\n" : "x\r\n";
    big += "last needle";
    Write(dir, "big.txt", big);
    // EUC-JP bytes of "検索" under display code 1.
    Write(dir, "euc.txt", "\xB8\xA1\xBA\xF7\r\n");
    EXPECT_EQ(Search(dir, {"u16.txt"}, QStringLiteral(u"検索")).text, QStringLiteral(u"u16.txt:0002:検索 here\r\n"));
    EXPECT_EQ(Search(dir, {"big.txt"}, QStringLiteral("needle")).text,
              QStringLiteral("big.txt:10000:needle\r\nbig.txt:1000001:last needle\r\n"));
    EXPECT_EQ(Search(dir, {"euc.txt"}, QStringLiteral(u"検索"), 1, -1, 1).text, QStringLiteral(u"euc.txt:0001:検索\r\n"));
    EXPECT_EQ(Search(dir, {"euc.txt"}, QStringLiteral(u"検索"), 1, -1, 0).text, QString());
}

TEST(MultiSearch, AFileThatCannotBeReadGivesItsErrorLineAndTheRunGoesOn)
{
    QTemporaryDir dir;
    Write(dir, "1.txt", "hit\r\n");
    QDir().mkpath(dir.filePath("2.txt"));  // a folder where a file was listed
    Write(dir, "3.txt", "hit\r\n");
    QStringList names{"1.txt", "2.txt", "3.txt", "gone.txt"};
#ifdef Q_OS_UNIX
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.txt")).constData(), 0600), 0);
    names.insert(3, "fifo.txt");
#endif
    const SearchRun run = Search(dir, names, QStringLiteral("hit"));
    QString expected = "1.txt:0001:hit\r\n2.txt:" + ErrorDescription(Err::PathFileAccess) + " ( 75 )\r\n3.txt:0001:hit\r\n";
#ifdef Q_OS_UNIX
    expected += "fifo.txt:" + ErrorDescription(Err::PathFileAccess) + " ( 75 )\r\n";
#endif
    expected += "gone.txt:" + ErrorDescription(Err::FileNotFound) + " ( 53 )\r\n";
    EXPECT_EQ(run.text, expected);
    EXPECT_EQ(run.outcome.searched, 2);
    EXPECT_EQ(run.outcome.failed, names.size() - 2);
}

TEST(MultiSearch, CancelInTheFirstFileSearchesNoneLaterKeepsTheResults)
{
    QTemporaryDir dir;
    QByteArray lines;
    for (int i = 0; i < 1000; ++i)
        lines += "hit\r\n";
    Write(dir, "1.txt", lines);
    Write(dir, "2.txt", lines);
    const SearchRun first = Search(dir, {"1.txt", "2.txt"}, "hit", 1, 10);
    EXPECT_TRUE(first.outcome.cancelled);
    EXPECT_EQ(first.outcome.searched, 0);
    EXPECT_TRUE(first.text.startsWith("1.txt:0001:hit\r\n"));
    EXPECT_FALSE(first.text.contains("2.txt"));
    const SearchRun later = Search(dir, {"1.txt", "2.txt"}, "hit", 1, 1010);
    EXPECT_TRUE(later.outcome.cancelled);
    EXPECT_EQ(later.outcome.searched, 1);
    EXPECT_TRUE(later.text.contains("1.txt:1000:hit\r\n"));
    EXPECT_TRUE(later.text.contains("2.txt:0001:hit\r\n"));
}

TEST(ResultBox, PastTheLimitAFilesResultsComeAtItsEndInOrder)
{
    for (bool debug : {false, true}) {
        QStringList given;
        ResultBox box([&](const QString& t) { given.append(t); }, debug);
        const QString result(1000, u'r');
        for (int i = 0; i <= 300; ++i)
            box.Add(result);  // the last one passes 300,000
        EXPECT_EQ(given.size(), 301);
        for (int i = 0; i < 700; ++i)
            box.Add(QString(1000, QChar(u'a' + i % 26)));
        QString all;
        if (debug) {
            // One chunk, given whenever it passes 300,000.
            EXPECT_EQ(given.size(), 301 + 2);
        } else {
            EXPECT_EQ(given.size(), 301);
        }
        box.EndFile();
        for (qsizetype i = 301; i < given.size(); ++i)
            all += given[i];
        QString expected;
        for (int i = 0; i < 700; ++i)
            expected += QString(1000, QChar(u'a' + i % 26));
        EXPECT_EQ(all, expected);
        EXPECT_EQ(box.BoxSize(), 1001 * 1000);
        // The chunks: 131,060 characters or more each but the last.
        if (!debug)
            EXPECT_EQ(given.size(), 301 + 6);
    }
}

TEST(MultiSearch, SavesShiftJisBytesAsTheyAre)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    const QString text = QStringLiteral(u"a.txt:0001:日本\r\nb.txt:0002:x\r\n");
    SaveMultiSearchResults(path, text);
    EXPECT_EQ(Read(path), ToSjis(text));
    EXPECT_EQ(WithLfEnds(u"a\r\nb\rc\nd\r\r\n\r"), QStringLiteral("a\nb\rc\nd\r\n\r"));
    EXPECT_EQ(MultiSearchProgressStep(0), 8);
    EXPECT_EQ(MultiSearchProgressStep(8600), 10);
}

class MultiFindTool : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ToolRegistry registry;
    QString out;
    QString err;

    void SetUp() override { RegisterMultiSearchToolCommands(registry); }
    int Run(QStringList args)
    {
        NonInteractivePrompter prompter(args.contains("--force"));
        AppState state(prompter);
        state.SettingsFolder = dir.path();
        ToolContext context{state, prompter, args};
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = registry.Find(QStringLiteral("multi-find"))->run(context);
        out = QString::fromStdString(testing::internal::GetCapturedStdout());
        err = QString::fromStdString(testing::internal::GetCapturedStderr());
        return status;
    }
};

TEST_F(MultiFindTool, FolderAndTreeRunsPrintAndSave)
{
    const QString root = dir.filePath("set");
    Write(dir, "set/a.txt", "Find me\r\nno\r\n");
    Write(dir, "set/b.csv", "find me\r\n");
    Write(dir, "set/sub/c.txt", "x\r\nfind me too");
    EXPECT_EQ(Run({"find", root}), 0);
    EXPECT_EQ(out, "a.txt:0001:Find me\n");
    EXPECT_EQ(Run({"find", root, "--pattern", "*.*"}), 0);
    EXPECT_EQ(out, "a.txt:0001:Find me\nb.csv:0001:find me\n");
    EXPECT_EQ(Run({"find", root, "--case", "--pattern", "*.*"}), 0);
    EXPECT_EQ(out, "b.csv:0001:find me\n");
    EXPECT_EQ(Run({"find", root, "--tree"}), 0);
    EXPECT_EQ(out, "a.txt:0001:Find me\nb.csv:0001:find me\nsub/c.txt:0002:find me too\n");

    const QString saved = dir.filePath("found.txt");
    EXPECT_EQ(Run({"find", root, "--tree", "-o", saved}), 0);
    EXPECT_EQ(Read(saved), QByteArray("a.txt:0001:Find me\r\nb.csv:0001:find me\r\nsub/c.txt:0002:find me too\r\n"));
    // An existing OUT stays unless --force.
    const QByteArray before = Read(saved);
    EXPECT_EQ(Run({"find", root, "-o", saved}), 1);
    EXPECT_EQ(Read(saved), before);
    EXPECT_EQ(Run({"find", root, "-o", saved, "--force"}), 0);
    EXPECT_EQ(Read(saved), QByteArray("a.txt:0001:Find me\r\n"));
}

TEST_F(MultiFindTool, WarningsAndFailuresExitOne)
{
    Write(dir, "set/a.txt", "x\r\n");
    EXPECT_EQ(Run({"x", dir.filePath("set"), "--pattern", "*.none"}), 1);
    EXPECT_TRUE(err.contains(QStringLiteral(u"対象ファイルがありません。")));
    EXPECT_EQ(Run({"x", dir.filePath("nowhere")}), 1);
    EXPECT_EQ(Run({"x"}), 2);
    EXPECT_EQ(Run({"x", dir.filePath("set"), "--bogus"}), 2);
#ifdef Q_OS_UNIX
    if (::geteuid() != 0) {
        Write(dir, "set/locked.txt", "x\r\n");
        ::chmod(QFile::encodeName(dir.filePath("set/locked.txt")).constData(), 0);
        EXPECT_EQ(Run({"x", dir.filePath("set")}), 1);
        EXPECT_TRUE(out.startsWith("a.txt:0001:x\nlocked.txt:")) << out.toStdString();
        EXPECT_TRUE(out.endsWith(" )\n"));
    }
#endif
}

}  // namespace
