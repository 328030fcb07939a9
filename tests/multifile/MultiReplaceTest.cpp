// The multi-file replacement: the three modes, one file's rewrite and the log.
#include "multifile/MultiReplace.h"

#include "common/ScriptedPrompter.h"
#include "common/ToolTestFixture.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/ToolRegistry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

QString U(const char16_t* s)
{
    return QString::fromUtf16(s);
}

TEST(ReplaceText, ModesOnText)
{
    struct Case {
        int mode;
        const char16_t* from;
        const char16_t* to;
        const char16_t* in;
        const char16_t* out;
    };
    const Case cases[] = {
        {0, u"aa", u"a", u"aaaa\r\n", u"aa\r\n"},      // two matches, no re-scan
        {0, u"a", u"aa", u"aba", u"aabaa"},           // the replacement is not searched again
        {0, u"A", u"x", u"Aa", u"xa"},                // case-sensitive
        {0, u"\r\n", u"", u"a\r\n", u"a"},            // the line end is part of the line
        {1, u"", u"", u"ｶﾞｷﾞ\r\n", u"ガギ\r\n"},
        {1, u"", u"", u"ﾊﾟﾋﾞｳﾞ", u"パビヴ"},
        {1, u"", u"", u"ﾅﾞ", u"ナﾞ"},                 // ナ has no voiced form
        {1, u"", u"", u"ﾞｱﾟ", u"ﾞアﾟ"},               // lone marks stay
        {1, u"", u"", u"ﾜﾞｦﾞｯﾞ", u"ワﾞヲﾞッﾞ"},       // no voiced form in the table
        {1, u"", u"", u"｡｢｣､･ｰ", u"｡｢｣､･ー"},         // punctuation stays
        {2, u"", u"", u"Az09_ｱ\r\n", u"Ａｚ09_ｱ\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceText(U(c.in), c.mode, U(c.from), U(c.to)), U(c.out)) << QString::fromUtf16(c.in).toStdString();
}

// Unicode's compatibility mapping is an independent table of the same JIS X 0201 → 0208
// correspondence: every half-width letter and each voiced / semi-voiced pair must agree with it,
// apart from ﾜﾞ and ｦﾞ, which have no form in the program's table.
TEST(ReplaceText, KanaTableAgreesWithCompatibilityMapping)
{
    for (char16_t c = 0xFF66; c <= 0xFF9D; ++c) {
        bool used = true;
        const QString half(QChar{c});
        EXPECT_EQ(QString(QChar(FullWidthKana(c, 0, &used))), half.normalized(QString::NormalizationForm_KC));
        EXPECT_FALSE(used);
        for (char16_t mark : {char16_t(0xFF9E), char16_t(0xFF9F)}) {
            const QString nfkc = (half + QChar(mark)).normalized(QString::NormalizationForm_KC);
            const char16_t full = FullWidthKana(c, mark, &used);
            const bool exists = nfkc.size() == 1 && c != 0xFF9C && c != 0xFF66;
            EXPECT_EQ(used, exists) << int(c) << ' ' << int(mark);
            if (exists) {
                EXPECT_EQ(QChar(full), nfkc[0]);
            }
        }
    }
}

TEST(LineReplacer, KeepsEveryByteItDoesNotReplace)
{
    struct Case {
        int mode;
        const char16_t* from;
        const char16_t* to;
        QByteArray in;
        QByteArray out;  // empty: unchanged
        bool utf16 = false;
    };
    const Case cases[] = {
        // ∵ as 87 9A (the system conversion writes 81 E6) and invalid bytes around a match
        {0, u"a", u"b", "\x87\x9A\x80x\xFD" "a\r\n", "\x87\x9A\x80x\xFD" "b\r\n"},
        // A as the trail byte of ア (83 41) is no match, nor a Latin letter
        {0, u"A", u"B", "\x83\x41\r\n", ""},
        {2, u"", u"", "\x83\x41" "a", "\x83\x41\x82\x81"},
        {0, u"ア", u"イ", "\x83\x41\x83\x41", "\x83\x43\x83\x43"},
        {1, u"", u"", "x\xB6\xDE\xDE\r\n", "x\x83\x4B\xDE\r\n"},  // ｶﾞﾞ → ガﾞ
        {0, u"a", u"a", "aaa", ""},                              // same text: no change
        {0, u"aa", u"a", QByteArray("a\0a\0a\0a\0\r\0\n\0", 12), QByteArray("a\0a\0\r\0\n\0", 8), true},
        {1, u"", u"", QByteArray("\x76\xFF\x9E\xFF", 4), QByteArray("\xAC\x30", 2), true},  // ｶﾞ
        {0, u"a", u"b", QByteArray("a\0x", 3), QByteArray("b\0x", 3), true},  // an odd last byte kept
    };
    for (const Case& c : cases) {
        const LineReplacer r(c.mode, U(c.from), U(c.to));
        QByteArray out;
        EXPECT_EQ(r.Replace(c.in, c.utf16, &out), !c.out.isEmpty()) << c.in.toHex().toStdString();
        if (!c.out.isEmpty()) {
            EXPECT_EQ(out.toHex(), c.out.toHex());
        }
    }
}

class ReplaceFileTest : public ::testing::Test {
protected:
    ReplaceFileTest() : state(prompter) { state.settings.NoBackup = false; }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QByteArray Read(const QString& name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    FileReplaceResult Run(const QString& name, const LineReplacer& r, const ReplaceStep& step = {})
    {
        log.BeginFile(name);
        FileReplaceResult result = ReplaceInFile(state, dir.filePath(name), r, log, step);
        const QString note = OutcomeNote(result);
        if (!note.isEmpty())
            log.Note(note);
        log.EndFile();
        return result;
    }

    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
    AppState state;
    QString text;
    ReplaceLog log{[this](const QString& t) { text += t; }};
};

TEST_F(ReplaceFileTest, ExactLogOfASmallSet)
{
    Write(QStringLiteral("a.txt"), ToSjis(U(u"あいう\r\nなし\r\nいい\n")));
    Write(QStringLiteral("b.txt"), "none\r\n");
    const LineReplacer r(0, U(u"い"), U(u"イイ"));
    EXPECT_EQ(Run(QStringLiteral("a.txt"), r).changedLines, 2);
    EXPECT_EQ(Run(QStringLiteral("b.txt"), r).outcome, FileReplaceOutcome::Unchanged);
    log.Finish();
    EXPECT_EQ(text, U(u"--- a.txt--------------\r\n"
                      u"001:\r\n前:あいう\r\n後:あイイう\r\n"
                      u"003:\r\n前:いい\n\r\n後:イイイイ\n\r\n"
                      u"--- b.txt--------------\r\n"
                      u"--- 終了-----------------\r\n"));
    EXPECT_EQ(Read(QStringLiteral("a.txt")), ToSjis(U(u"あイイう\r\nなし\r\nイイイイ\n")));
    EXPECT_EQ(Read(QStringLiteral("a.bak")), ToSjis(U(u"あいう\r\nなし\r\nいい\n")));
}

TEST_F(ReplaceFileTest, NoChangeLeavesFileTimeAndBackupAlone)
{
    const QString path = Write(QStringLiteral("a.txt"), "Alpha\r\nabc");
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(Run(QStringLiteral("a.txt"), LineReplacer(0, QStringLiteral("ALPHA"), QStringLiteral("x"))).outcome,
              FileReplaceOutcome::Unchanged);
    EXPECT_EQ(QFileInfo(path).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("a.txt")});
}

TEST_F(ReplaceFileTest, Utf16FileStaysUtf16AndUnchangedBytesStay)
{
    // FF FE, "aい\r\n", "xx" (no line end)
    const QByteArray utf16("\xFF\xFE" "a\0\x44\x30\r\0\n\0x\0x\0", 14);
    Write(QStringLiteral("u.txt"), utf16);
    EXPECT_EQ(Run(QStringLiteral("u.txt"), LineReplacer(0, U(u"い"), U(u"ウ"))).outcome, FileReplaceOutcome::Replaced);
    EXPECT_EQ(Read(QStringLiteral("u.txt")).toHex(), QByteArray("\xFF\xFE" "a\0\xA6\x30\r\0\n\0x\0x\0", 14).toHex());
    EXPECT_TRUE(text.contains(U(u"前:aい\r\n後:aウ\r\n")));

    // A Shift_JIS file: unchanged lines with bytes the code page would rewrite or reject.
    const QByteArray sjis("\x87\x9A\r\n\x80\xA0\xFD\xFF\r\nabc\r\nx\ny", 18);
    Write(QStringLiteral("s.txt"), sjis);
    EXPECT_EQ(Run(QStringLiteral("s.txt"), LineReplacer(0, QStringLiteral("b"), QStringLiteral("B"))).changedLines, 1);
    EXPECT_EQ(Read(QStringLiteral("s.txt")).toHex(),
              QByteArray("\x87\x9A\r\n\x80\xA0\xFD\xFF\r\naBc\r\nx\ny", 18).toHex());
}

TEST_F(ReplaceFileTest, ReplacementShiftJisLacksOnlyFailsShiftJisFiles)
{
    Write(QStringLiteral("s.txt"), "abc\r\n");
    Write(QStringLiteral("u.txt"), QByteArray("\xFF\xFE" "b\0", 4));
    const LineReplacer r(0, QStringLiteral("b"), U(u"\U0001F600"));
    EXPECT_FALSE(r.ReplacementFitsSjis());
    EXPECT_EQ(Run(QStringLiteral("s.txt"), r).outcome, FileReplaceOutcome::Unwritable);
    EXPECT_EQ(Read(QStringLiteral("s.txt")), "abc\r\n");
    EXPECT_EQ(Run(QStringLiteral("u.txt"), r).outcome, FileReplaceOutcome::Replaced);
    EXPECT_EQ(Read(QStringLiteral("u.txt")), QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6));
}

TEST_F(ReplaceFileTest, MillionAndOneLinesKeptWhole)
{
    QByteArray bytes;
    bytes.reserve(9'000'010);
    for (int i = 0; i < 1'000'000; ++i)
        bytes += "line\r\n";
    bytes += "last";
    Write(QStringLiteral("big.txt"), bytes);
    int steps = 0;
    const FileReplaceResult result =
        Run(QStringLiteral("big.txt"), LineReplacer(0, QStringLiteral("last"), QStringLiteral("LAST")),
            [&](int64_t done, int64_t total) {
                ++steps;
                return done <= total;
            });
    EXPECT_EQ(result.changedLines, 1);
    EXPECT_EQ(steps, 10'000);  // every 100 lines
    EXPECT_TRUE(text.contains(QStringLiteral("1000001:\r\n")));
    const QByteArray after = Read(QStringLiteral("big.txt"));
    EXPECT_EQ(after.size(), bytes.size());
    EXPECT_TRUE(after.endsWith("line\r\nLAST"));
}

TEST_F(ReplaceFileTest, CancelledOrRefusedFileStaysAsItWas)
{
    QByteArray bytes;
    for (int i = 0; i < 500; ++i)
        bytes += "aaa\r\n";
    Write(QStringLiteral("a.txt"), bytes);
    const LineReplacer r(0, QStringLiteral("a"), QStringLiteral("b"));
    int steps = 0;
    const FileReplaceResult cancelled = Run(QStringLiteral("a.txt"), r, [&](int64_t, int64_t) { return ++steps < 3; });
    EXPECT_EQ(cancelled.outcome, FileReplaceOutcome::Cancelled);
    EXPECT_EQ(cancelled.changedLines, 300);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), bytes);

    Write(QStringLiteral(".hidden.txt"), "aaa\r\n");
    const FileReplaceResult refused = Run(QStringLiteral(".hidden.txt"), r);
    EXPECT_EQ(refused.outcome, FileReplaceOutcome::Refused);
    EXPECT_EQ(Read(QStringLiteral(".hidden.txt")), "aaa\r\n");
    EXPECT_EQ(Files(), (QStringList{QStringLiteral(".hidden.txt"), QStringLiteral("a.txt")}));  // no temporary, no backup
    EXPECT_TRUE(text.contains(QStringLiteral(u"※ 中止しました。このファイルは変更していません。\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral(u"--- .hidden.txt--------------\r\n※ 「隠しファイル」を更新することはできません。")));
}

// Past 299,999 characters the entries of a file reach the box together, after the file.
TEST(ReplaceLog, EntriesHeldPastTheLimitComeInOrder)
{
    QStringList calls;
    ReplaceLog log([&](const QString& t) { calls.append(t); });
    log.BeginFile(QStringLiteral("a.txt"));
    const QString line = QString(1000, u'x') + QStringLiteral("\r\n");
    for (int i = 1; i <= 400; ++i)
        log.Changed(i, line, line);
    const qsizetype direct = calls.size();
    EXPECT_EQ(direct, 1 + 149);  // the heading and the entries until the text passed the limit
    log.EndFile();
    EXPECT_EQ(calls.size(), direct + 1);
    EXPECT_TRUE(calls.last().startsWith(QStringLiteral(u"150:\r\n前:")));
    EXPECT_TRUE(calls.last().endsWith(QStringLiteral(u"400:\r\n前:") + line + QStringLiteral(u"後:") + line));
}

class MultiReplaceToolTest : public test::ToolFolderTest {
protected:
    MultiReplaceToolTest() : ToolFolderTest(RegisterMultiReplaceToolCommands, QStringLiteral("mreplace")) {}
};

TEST_F(MultiReplaceToolTest, ReplacesTheListedFilesAndRefusesUnlistedNames)
{
    Write(QStringLiteral("a.txt"), "ab\r\n");
    Write(QStringLiteral("b.txt"), "abab\r\n");
    Write(QStringLiteral("c.csv"), "ab\r\n");
    EXPECT_EQ(Run(QStringLiteral("multi-replace"),
                  {dir.path(), QStringLiteral("a.txt"), QStringLiteral("c.csv"), QStringLiteral("--from"),
                   QStringLiteral("a")}),
              1);  // c.csv is not in the "*.txt" list: nothing changes
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "ab\r\n");

    EXPECT_EQ(Run(QStringLiteral("multi-replace"),
                  {dir.path(), QStringLiteral("--from"), QStringLiteral("a"), QStringLiteral("--to"), QStringLiteral("x")}),
              0);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "xb\r\n");
    EXPECT_EQ(Read(QStringLiteral("b.txt")), "xbxb\r\n");
    EXPECT_EQ(Read(QStringLiteral("c.csv")), "ab\r\n");
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("a.bak"))));  // no --backup

    EXPECT_EQ(Run(QStringLiteral("multi-replace"),
                  {dir.path(), QStringLiteral("--latin"), QStringLiteral("--pattern"), QStringLiteral("*.csv"),
                   QStringLiteral("--backup")}),
              0);
    EXPECT_EQ(Read(QStringLiteral("c.csv")), ToSjis(U(u"ａｂ\r\n")));
    EXPECT_EQ(Read(QStringLiteral("c.bak")), "ab\r\n");

    Write(QStringLiteral(".h.txt"), "x\r\n");
    EXPECT_EQ(Run(QStringLiteral("multi-replace"), {dir.path(), QStringLiteral("--from"), QStringLiteral("x")}),
              1);  // the hidden file is listed but refused
    EXPECT_EQ(Read(QStringLiteral(".h.txt")), "x\r\n");
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "b\r\n");

    EXPECT_EQ(Run(QStringLiteral("multi-replace"), {dir.path(), QStringLiteral("--kana"), QStringLiteral("--latin")}), 2);
    EXPECT_EQ(Run(QStringLiteral("multi-replace"), {dir.path(), QStringLiteral("--from"), QString()}), 1);
}

}  // namespace
