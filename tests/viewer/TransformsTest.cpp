// The whole-file transforms on bytes, the rules they use, and the rewrite of the document.
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/RuntimeError.h"
#include "viewer/DeleteRules.h"
#include "viewer/Transforms.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

QByteArray Transform(const TransformOptions& o, const QByteArray& input)
{
    QByteArray source = input;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer out(&result);
    out.open(QIODevice::WriteOnly);
    EXPECT_TRUE(RunTransform(o, in, source.size(), out, {}));
    return result;
}

TransformOptions Kind(TransformKind kind, int code = 0)
{
    TransformOptions o;
    o.kind = kind;
    o.code = code;
    return o;
}

TransformOptions Wrap(int width)
{
    TransformOptions o = Kind(TransformKind::WordWrap);
    o.wrapWidth = width;
    return o;
}

TransformOptions Rules(QList<DeleteRule> rules, int code = 0)
{
    TransformOptions o = Kind(TransformKind::DeleteLines, code);
    o.rules = UsableRules(rules);
    return o;
}

QByteArray Sjis(const char16_t* text)
{
    return ToSjis(QString::fromUtf16(text));
}

struct Case {
    const char* name;
    TransformOptions options;
    QByteArray input;
    QByteArray expected;
};

}  // namespace

TEST(TransformsTest, BytesInBytesOut)
{
    const QByteArray a8 = Sjis(u"ああああああああ");  // 16 bytes
    const QByteArray longLine = QByteArray(4090, 'x') + QByteArray(10, ' ') + QByteArray(900, 'y');
    const Case cases[] = {
        // Delete lines: the block after a match is neither written nor tested.
        {"rule with its block", Rules({{QStringLiteral("//"), 3}}), "a\r\n// x\r\nb\r\n// y\r\nc\r\n", "a\r\nc\r\n"},
        {"key with trailing blanks", Rules({{QStringLiteral("ab  "), 1}}), "abc\r\nxab\r\nab\r\n", "xab\r\n"},
        {"first match wins", Rules({{QStringLiteral("a"), 1}, {QStringLiteral("ab"), 3}}), "abc\r\nx\r\ny\r\n",
         "x\r\ny\r\n"},
        {"empty key matches nothing", Rules({{QString(), 1}, {QStringLiteral("z"), 0}}), "a\r\nz\r\nb\r\n", "a\r\nb\r\n"},
        {"block past the end", Rules({{QStringLiteral("b"), 20}}), "a\r\nb\r\nc", "a\r\n"},
        {"lone CR and LF are data", Rules({{QStringLiteral("x"), 1}}), "a\rx\r\nx\nb\r\nc", "a\rx\r\nc"},
        {"converted under EUC-JP", Rules({{QString::fromUtf16(u"あ"), 1}}, 1), "\xA4\xA2x\r\n\xB0\xA1\r\n",
         "\x88\x9F\r\n"},
        // Right-trim: blanks before CR LF and at the end only.
        {"tabs and inner blanks kept", Kind(TransformKind::RightTrim), "\ta \t  \r\n  \r\nend  ", "\ta \t\r\n\r\nend"},
        {"blanks inside a long line", Kind(TransformKind::RightTrim), longLine + "   \r\n", longLine + "\r\n"},
        {"blank before a lone CR kept", Kind(TransformKind::RightTrim), "a \rb \r\n", "a \rb\r\n"},
        {"invalid bytes untouched", Kind(TransformKind::RightTrim), "\x87\x90\xFF \r\n", "\x87\x90\xFF\r\n"},
        // Word wrap, W = 10.
        {"25 single bytes", Wrap(10), QByteArray(25, 'a') + "\r\n",
         QByteArray(10, 'a') + "\r\n" + QByteArray(10, 'a') + "\r\n" + QByteArray(5, 'a') + "\r\n"},
        {"8 double bytes", Wrap(10), a8 + "\r\n", Sjis(u"あああああ\r\nあああ\r\n")},
        {"never inside a character", Wrap(10), Sjis(u"123456789あ\r\n"), Sjis(u"123456789\r\nあ\r\n")},
        {"short lines kept", Wrap(10), "abc\r\n0123456789\r\nxy", "abc\r\n0123456789\r\nxy"},
        {"width 2", Wrap(2), "abc\r\n", "ab\r\nc\r\n"},
        {"invalid bytes kept", Wrap(10), QByteArray("\x87\x90", 2).repeated(6) + "\xFF\xFF",
         QByteArray("\x87\x90", 2).repeated(5) + "\r\n" + "\x87\x90\xFF\xFF"},
        {"600-byte line", Wrap(256), QByteArray(600, 'x') + "\r\n",
         QByteArray(256, 'x') + "\r\n" + QByteArray(256, 'x') + "\r\n" + QByteArray(88, 'x') + "\r\n"},
        // Line ends.
        {"CR doubled", Kind(TransformKind::ToCrLf), "a\r\nb\nc", "a\r\r\nb\r\nc"},
        {"CR LF to LF", Kind(TransformKind::ToLf), "a\r\nb\rc\r\r\nd\r", "a\nb\rc\nd\r"},
        {"joined", Kind(TransformKind::RemoveLineEnds), "a\r\nb\nc\rd", "abcd"},
        // Saving in the display code: each line whole, each byte once.
        {"EUC-JP", Kind(TransformKind::SaveCode, 1), "\xB0\xA1\r\n\x8E\xB1\xA4\xA2", "\x88\x9F\r\n\xB1\x82\xA0"},
        {"EUC-JP lone CR kept", Kind(TransformKind::SaveCode, 1), "\xA4\xA2\r\xA4\xA2\r\n", "\x82\xA0\r\x82\xA0\r\n"},
        {"JIS", Kind(TransformKind::SaveCode, 2), "\x1B$B0!\x1B(B\r\n\x1B$B$\"\x1B(Bz", "\x88\x9F\r\n\x82\xA0z"},
        {"EBCDIK trimmed", Kind(TransformKind::SaveCode, 3), "\xC1\x40\x40\r\n\xC2", "A\r\nB"},
        {"correction keeps the line end", Kind(TransformKind::SaveCode, 9), QByteArray("\x82\r\nA\r\n", 6),
         QByteArray("\x82?\r\nA\r\n", 7)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Transform(c.options, c.input), c.expected) << c.name;
}

TEST(TransformsTest, WholeLinesBeyondOneWindow)
{
    // An LF-only EUC-JP file is one long line: all of it converted, nothing lost or doubled.
    const QByteArray euc = (QByteArray("\xA4\xA2").repeated(1500) + "\n").repeated(3);
    const QByteArray sjis = (QByteArray("\x82\xA0").repeated(1500) + "\n").repeated(3);
    EXPECT_EQ(Transform(Kind(TransformKind::SaveCode, 1), euc), sjis);
    // A CR LF split by a read block, and a held CR at a block's end.
    const QByteArray big = QByteArray((1 << 20) - 1, 'x') + "\r\n" + QByteArray(10, 'y') + "\r";
    EXPECT_EQ(Transform(Kind(TransformKind::ToLf), big), QByteArray((1 << 20) - 1, 'x') + "\n" + QByteArray(10, 'y') + "\r");
    EXPECT_EQ(Transform(Kind(TransformKind::RightTrim), QByteArray((1 << 20) - 1, ' ') + "\r\nz"), QByteArray("\r\nz"));
}

TEST(TransformsTest, Utf16Lines)
{
    const QByteArray doc = QByteArray("\xFF\xFE", 2) + ToUtf16Le(u"// a  \r\nb  \r\n// c\r\n");
    TransformOptions trim = Kind(TransformKind::RightTrim);
    trim.utf16 = true;
    EXPECT_EQ(Transform(trim, doc), QByteArray("\xFF\xFE", 2) + ToUtf16Le(u"// a\r\nb\r\n// c\r\n"));
    TransformOptions rules = Rules({{QStringLiteral("//"), 1}});
    rules.utf16 = true;
    EXPECT_EQ(Transform(rules, doc), QByteArray("\xFF\xFE", 2) + ToUtf16Le(u"b  \r\n"));
}

TEST(TransformsTest, UsableRulesAndListEntries)
{
    const QList<DeleteRule> usable = UsableRules(
        {{QString(), 1}, {QStringLiteral("   "), 2}, {QStringLiteral("k "), 0}, {QStringLiteral("m"), 25}});
    EXPECT_EQ(usable, (QList<DeleteRule>{{QStringLiteral("k"), 1}, {QStringLiteral("m"), 20}}));

    const QString entry = RuleListEntry({QStringLiteral("//"), 3});
    EXPECT_EQ(entry, QStringLiteral("//") + QString(46, u' ') + QStringLiteral("   3"));
    EXPECT_EQ(RuleFromListEntry(entry), (DeleteRule{QStringLiteral("//"), 3}));
    // Keys are cut to 48 bytes, never inside a double-byte character.
    EXPECT_EQ(StorableRuleKey(QString(30, u'x') + QString(10, u'あ')), QString(30, u'x') + QString(9, u'あ'));
    EXPECT_EQ(StorableRuleKey(QStringLiteral("key   ")), QStringLiteral("key"));
}

TEST(TransformsTest, StopAndWriteFailure)
{
    QByteArray source(300000, 'a');
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer out(&result);
    out.open(QIODevice::WriteOnly);
    int steps = 0;
    EXPECT_FALSE(RunTransform(Kind(TransformKind::ToCrLf), in, source.size(), out, [&](int64_t, int64_t) {
        return ++steps < 1;
    }));
    // A device that takes no bytes (a full disk) is an error, never a short success.
    QByteArray none;
    QBuffer full(&none);
    full.open(QIODevice::ReadOnly);
    try {
        RunTransform(Kind(TransformKind::ToCrLf), in, source.size(), full, {});
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), Err::DiskFull);
    }
}

namespace {

class RewriteTest : public ::testing::Test {
protected:
    RewriteTest() : state(prompter)
    {
        QDir::setCurrent(dir.path());
        state.settings.NoBackup = false;
    }
    ~RewriteTest() override { QDir::setCurrent(QDir::tempPath()); }

    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Read(const QString& name)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void OpenDoc(const QString& name)
    {
        state.doc.DocumentName = name;
        state.doc.File = std::make_unique<QFile>(name);
        ASSERT_TRUE(state.doc.File->open(QIODevice::ReadOnly));
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
    AppState state;
};

}  // namespace

TEST_F(RewriteTest, ReplacesWithBackupAndLeavesOtherFiles)
{
    Write(QStringLiteral("Temp.log"), "mine");
    Write(QStringLiteral("asdfgh.jkl"), "mine too");
    Write(QStringLiteral("doc.txt"), "a  \r\nb\r\n");
    OpenDoc(QStringLiteral("doc.txt"));
    EXPECT_TRUE(RewriteDocument(state, Kind(TransformKind::RightTrim), {}));
    EXPECT_EQ(Read(QStringLiteral("doc.txt")), "a\r\nb\r\n");
    EXPECT_EQ(Read(QStringLiteral("doc.bak")), "a  \r\nb\r\n");
    EXPECT_EQ(Read(QStringLiteral("Temp.log")), "mine");
    EXPECT_EQ(Read(QStringLiteral("asdfgh.jkl")), "mine too");
    EXPECT_EQ(Files().size(), 4);  // no temporary file left
}

TEST_F(RewriteTest, StoppedRunLeavesTheDocument)
{
    Write(QStringLiteral("doc.txt"), QByteArray(200000, 'a'));
    OpenDoc(QStringLiteral("doc.txt"));
    EXPECT_FALSE(RewriteDocument(state, Wrap(10), [](int64_t, int64_t) { return false; }));
    EXPECT_EQ(Read(QStringLiteral("doc.txt")), QByteArray(200000, 'a'));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("doc.txt")});
    // The next run is not stopped by the first one.
    EXPECT_TRUE(RewriteDocument(state, Kind(TransformKind::ToCrLf), {}));
    EXPECT_EQ(Read(QStringLiteral("doc.txt")), QByteArray(200000, 'a'));
    EXPECT_EQ(Read(QStringLiteral("doc.bak")), QByteArray(200000, 'a'));
}

TEST_F(RewriteTest, ProtectedDocumentIsRefused)
{
    Write(QStringLiteral(".hidden.txt"), "a \r\n");
    OpenDoc(QStringLiteral(".hidden.txt"));
    RewriteDocument(state, Kind(TransformKind::RightTrim), {});  // refused by the replacement
    EXPECT_EQ(Read(QStringLiteral(".hidden.txt")), "a \r\n");
    EXPECT_EQ(Files(), QStringList{QStringLiteral(".hidden.txt")});
}

TEST_F(RewriteTest, LinesPastTheIndexLimitAreKept)
{
    // Streamed, not read through the line index: line 1,000,001 and after survive.
    const QByteArray doc = QByteArray("a \r\n").repeated(1'000'002) + "last ";
    Write(QStringLiteral("big.txt"), doc);
    OpenDoc(QStringLiteral("big.txt"));
    state.settings.NoBackup = true;
    EXPECT_TRUE(RewriteDocument(state, Kind(TransformKind::RightTrim), {}));
    EXPECT_EQ(Read(QStringLiteral("big.txt")), QByteArray("a\r\n").repeated(1'000'002) + "last");
}
