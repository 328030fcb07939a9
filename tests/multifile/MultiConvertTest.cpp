// One file of the multi-file conversion and line deletion: every kind, the keyword, cancel,
// and files no line index could hold.
#include "multifile/MultiConvert.h"
#include "multifile/MultiDelete.h"

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/RuntimeError.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class MultiFixture : public ::testing::Test {
protected:
    MultiFixture() : state(prompter) { state.settings.NoBackup = true; }

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
    ConvertOutcome Convert(const QString& name, int kind, const QString& keyword = {}, int width = 80)
    {
        ConvertOptions o;
        o.kind = kind;
        o.keyword = keyword;
        o.wrapWidth = width;
        return ConvertFile(state, dir.filePath(name), o, {});
    }

    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
    AppState state;
};

QByteArray Utf16(const QString& text)
{
    return QByteArray("\xFF\xFE") + ToUtf16Le(text);
}

TEST_F(MultiFixture, EveryKindWritesItsForm)
{
    const QByteArray sjisA = ToSjis(u"あ");
    struct Case {
        const char* what;
        int kind;
        QByteArray in;
        QByteArray out;
        ConvertOutcome outcome = ConvertOutcome::Converted;
        int width = 80;
    };
    const Case cases[] = {
        {"Shift_JIS to UTF-16", 0, ToSjis(u"上a\r\nb\n"), Utf16(QStringLiteral(u"上a\r\nb\n"))},
        {"UTF-16 to Shift_JIS, unmappable as ?", 1, Utf16(QStringLiteral(u"上\u00E9\r\nx")), ToSjis(u"上") + "?\r\nx"},
        {"a Shift_JIS file is already Shift_JIS", 1, "\x87\x9A\x80\r\n", "\x87\x9A\x80\r\n", ConvertOutcome::Unchanged},
        {"a UTF-16 file is already UTF-16", 0, Utf16(QStringLiteral("a")), Utf16(QStringLiteral("a")),
         ConvertOutcome::Unchanged},
        {"EUC-JP", 2, "\xB0\xA1x\r\n\xB0\xA1", "\x88\x9Fx\r\n\x88\x9F"},
        {"ISO-2022-JP", 3, "\x1B$B0!\x1B(B\r\n", "\x88\x9F\r\n"},
        {"EBCDIK, blanks trimmed at line ends", 4, "\xC1\x40\x40\r\n\xC2\x40", "A\r\nB"},
        {"EBCDIK on UTF-16 only trims", 4, Utf16(QStringLiteral(u"上  \r\n")), Utf16(QStringLiteral(u"上\r\n"))},
        {"trim keeps blanks before a lone LF, bytes kept", 6, "a  \n\x87\x9A\x80  \r\nc  ", "a  \n\x87\x9A\x80\r\nc"},
        {"trim of a UTF-16 file (encoding from FF FE)", 6, Utf16(QStringLiteral(u"上 \r\n\u2020 ")),
         Utf16(QStringLiteral(u"上\r\n\u2020"))},
        {"wrap 25 letters at 10", 7, QByteArray(25, 'x') + "\r\n",
         QByteArray(10, 'x') + "\r\n" + QByteArray(10, 'x') + "\r\n" + QByteArray(5, 'x') + "\r\n",
         ConvertOutcome::Converted, 10},
        {"wrap 8 double-byte characters at 10", 7, sjisA.repeated(8) + "\r\n",
         sjisA.repeated(5) + "\r\n" + sjisA.repeated(3) + "\r\n", ConvertOutcome::Converted, 10},
        {"wrap a UTF-16 line by its Shift_JIS bytes", 7, Utf16(QString(8, u'あ') + QStringLiteral("\r\nab")),
         Utf16(QString(5, u'あ') + QStringLiteral("\r\n") + QString(3, u'あ') + QStringLiteral("\r\nab")),
         ConvertOutcome::Converted, 10},
        {"LF to CR LF doubles a CR", 8, "a\nb\r\n", "a\r\nb\r\r\n"},
        {"CR LF to LF keeps a lone CR", 9, "a\r\nb\rc", "a\nb\rc"},
        {"UTF-16 kept by LF to CR LF", 8, Utf16(QStringLiteral(u"上")), Utf16(QStringLiteral(u"上")),
         ConvertOutcome::Utf16Kept},
        {"UTF-16 kept by CR LF to LF", 9, Utf16(QStringLiteral(u"上\r\n")), Utf16(QStringLiteral(u"上\r\n")),
         ConvertOutcome::Utf16Kept},
        {"UTF-16 kept by EUC-JP", 2, Utf16(QStringLiteral(u"上")), Utf16(QStringLiteral(u"上")),
         ConvertOutcome::Utf16Kept},
    };
    int i = 0;
    for (const Case& c : cases) {
        const QString name = QStringLiteral("f%1.txt").arg(i++);
        Write(name, c.in);
        EXPECT_EQ(Convert(name, c.kind, {}, c.width), c.outcome) << c.what;
        EXPECT_EQ(Read(name), c.out) << c.what;
    }
    EXPECT_EQ(Files().size(), i);  // no temporary file, no backup
}

TEST_F(MultiFixture, RoundTripKeepsLongAndManyLines)
{
    // A 5,000-byte line, LF-only lines and a last line without an end.
    QByteArray original = ToSjis(QString(2500, u'漢')) + "\r\n";
    for (int n = 0; n < 3000; ++n)
        original += ToSjis(u"行") + QByteArray::number(n) + "\n";
    original += ToSjis(u"終");
    Write(QStringLiteral("a.txt"), original);
    EXPECT_EQ(Convert(QStringLiteral("a.txt"), 0), ConvertOutcome::Converted);
    EXPECT_TRUE(Read(QStringLiteral("a.txt")).startsWith("\xFF\xFE"));
    EXPECT_EQ(Convert(QStringLiteral("a.txt"), 1), ConvertOutcome::Converted);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), original);
}

TEST_F(MultiFixture, LfOnlyIso2022JpAndAMillionLines)
{
    QByteArray jis;
    QByteArray sjis;
    for (int n = 0; n < 3000; ++n) {
        jis += "\x1B$B0!\x1B(B" + QByteArray::number(n) + "\n";
        sjis += "\x88\x9F" + QByteArray::number(n) + "\n";
    }
    Write(QStringLiteral("jis.txt"), jis);
    EXPECT_EQ(Convert(QStringLiteral("jis.txt"), 3), ConvertOutcome::Converted);
    EXPECT_EQ(Read(QStringLiteral("jis.txt")), sjis);

    const QByteArray many = QByteArray("a \r\n").repeated(1000001);
    Write(QStringLiteral("many.txt"), many);
    EXPECT_EQ(Convert(QStringLiteral("many.txt"), 6), ConvertOutcome::Converted);
    EXPECT_EQ(Read(QStringLiteral("many.txt")), QByteArray("a\r\n").repeated(1000001));
}

TEST_F(MultiFixture, KeywordChoosesTheFiles)
{
    state.settings.NoBackup = false;
    Write(QStringLiteral("script.txt"), "#!/bin/sh  \r\necho  \r\n");
    Write(QStringLiteral("plain.txt"), "echo  \r\n#!  \r\n");
    const QDateTime before = QFileInfo(dir.filePath(QStringLiteral("plain.txt"))).lastModified();
    EXPECT_EQ(Convert(QStringLiteral("script.txt"), 6, QStringLiteral("#!")), ConvertOutcome::Converted);
    EXPECT_EQ(Convert(QStringLiteral("plain.txt"), 6, QStringLiteral("#!")), ConvertOutcome::Unchanged);
    EXPECT_EQ(Read(QStringLiteral("script.txt")), "#!/bin/sh\r\necho\r\n");
    EXPECT_EQ(Read(QStringLiteral("plain.txt")), "echo  \r\n#!  \r\n");
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("plain.txt"))).lastModified(), before);
    // The keyword is compared with the first line as the kind reads it (EUC-JP here).
    Write(QStringLiteral("euc.txt"), "\xB0\xA1 x\r\n");
    EXPECT_EQ(Convert(QStringLiteral("euc.txt"), 2, QStringLiteral(u"亜")), ConvertOutcome::Converted);
    EXPECT_EQ(Files(), (QStringList{"euc.bak", "euc.txt", "plain.txt", "script.bak", "script.txt"}));
}

TEST_F(MultiFixture, CancelledOrFailedFileStaysAsItWas)
{
    state.settings.NoBackup = false;
    const QByteArray big = QByteArray("line  \r\n").repeated(100000);
    for (int kind : {0, 6}) {
        Write(QStringLiteral("big.txt"), big);
        int steps = 0;
        ConvertOptions o;
        o.kind = kind;
        EXPECT_EQ(ConvertFile(state, dir.filePath(QStringLiteral("big.txt")), o,
                              [&](int64_t done, int64_t total) {
                                  EXPECT_LE(done, total);
                                  return ++steps < 3;
                              }),
                  ConvertOutcome::Cancelled)
            << kind;
        EXPECT_EQ(Read(QStringLiteral("big.txt")), big);
        EXPECT_EQ(Files(), QStringList{"big.txt"});
    }
    EXPECT_THROW(Convert(QStringLiteral("gone.txt"), 2), RuntimeError);
    EXPECT_EQ(Files(), QStringList{"big.txt"});
}

TEST_F(MultiFixture, WrapLineTextPieces)
{
    EXPECT_EQ(WrapLineText(QString(25, u'x'), 10),
              (QStringList{QString(10, u'x'), QString(10, u'x'), QString(5, u'x')}));
    // Five double-byte characters, then single bytes added while they fit.
    EXPECT_EQ(WrapLineText(QStringLiteral(u"ああああabcdefgh"), 10),
              (QStringList{QStringLiteral(u"ああああab"), QStringLiteral("cdefgh")}));
    EXPECT_EQ(WrapLineText(QStringLiteral("x"), 2), QStringList{QStringLiteral("x")});
}

TEST_F(MultiFixture, DeleteLinesByRules)
{
    state.settings.NoBackup = false;
    const QList<DeleteRule> slashes{{QStringLiteral("//"), 3}};
    struct Case {
        const char* what;
        QList<DeleteRule> rules;
        QByteArray in;
        QByteArray out;
    };
    const Case cases[] = {
        {"lines 2 and 4: 2 to 4 go", slashes, "a\r\n// x\r\nb\r\n// y\r\nc\r\n", "a\r\nc\r\n"},
        {"the last line with count 5", {{QStringLiteral("//"), 5}}, "a\r\nb\r\n//z", "a\r\nb\r\n"},
        {"a leading blank prevents a match, case matters", {{QStringLiteral("Rem"), 1}}, " Rem\r\nREM\r\nRem x\r\nd",
         " Rem\r\nREM\r\nd"},
        {"UTF-16 in UTF-16", slashes, Utf16(QStringLiteral(u"//上\r\n\r\n\r\n下")), Utf16(QStringLiteral(u"下"))},
        {"bytes outside Shift_JIS kept", slashes, "\x87\x9A\xE2\x82\xAC\r\n\x80\xFF", "\x87\x9A\xE2\x82\xAC\r\n\x80\xFF"},
    };
    int i = 0;
    for (const Case& c : cases) {
        const QString name = QStringLiteral("d%1.txt").arg(i++);
        Write(name, c.in);
        EXPECT_EQ(DeleteLinesInFile(state, dir.filePath(name), c.rules, {}), DeleteOutcome::Rewritten) << c.what;
        EXPECT_EQ(Read(name), c.out) << c.what;
    }
    // Rewritten without a match too: the backup holds the same lines.
    EXPECT_EQ(Read(QStringLiteral("d4.bak")), cases[4].in);
}

TEST_F(MultiFixture, DeleteReadsTheStoredRulesAndRefusesHiddenFiles)
{
    state.settings.SettingsPath = dir.filePath(QStringLiteral("KOLBRAN.DAT"));
    WriteDeleteRules(state.settings.SettingsPath, {{QStringLiteral("#  "), 2}, {QString(), 1}});
    state.settings.DeleteRuleCount = 2;
    EXPECT_EQ(CurrentDeleteRules(state), (QList<DeleteRule>{{QStringLiteral("#"), 2}}));
    Write(QStringLiteral("a.txt"), "#1\r\nx\r\ny\r\n");
    EXPECT_EQ(DeleteLinesInFile(state, dir.filePath(QStringLiteral("a.txt")), CurrentDeleteRules(state), {}),
              DeleteOutcome::Rewritten);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "y\r\n");

    Write(QStringLiteral(".h.txt"), "#1\r\n");
    QString reason;
    EXPECT_EQ(DeleteLinesInFile(state, dir.filePath(QStringLiteral(".h.txt")), CurrentDeleteRules(state), {}, &reason),
              DeleteOutcome::Refused);
    EXPECT_EQ(reason, QStringLiteral(u"「隠しファイル」を更新することはできません。"));
    EXPECT_EQ(Read(QStringLiteral(".h.txt")), "#1\r\n");
}

}  // namespace
