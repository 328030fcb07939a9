// One replacement (ChiKan) and the whole-file replacement (ChiKanAll).
#include "viewer/LoaderFixture.h"

#include "core/CodePage.h"
#include "editor/WholeFileReplace.h"

#include <QDir>
#include <QFileInfo>

using namespace kolbran;
using namespace kolbran::test;

namespace {

class ReplaceFixture : public LoaderFixture {
protected:
    ReplaceFixture()
    {
        state.settings.NoBackup = true;
        io.ops.rename = [this](const QString& from, const QString& to) {
            ++renames;
            return FileOperations::Default().rename(from, to);
        };
    }
    QByteArray Doc() const
    {
        QFile f(dir.filePath(QStringLiteral("doc.txt")));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    WholeFileReplaceResult Run(const QString& from, const QString& to)
    {
        WholeFileReplaceOptions options;
        options.io = io;
        options.onChunk = [this](int64_t first, int64_t last) {
            chunks.append({first, last});
            if (onChunk)
                onChunk();
        };
        return ChiKanAll(state, from, to, options);
    }

    SpliceIo io;
    int renames = 0;
    QList<std::pair<int64_t, int64_t>> chunks;
    std::function<void()> onChunk;
};

QString U(const char16_t* s) { return QString::fromUtf16(s); }

TEST(ChiKan, TheInsertedTextIsNeverSearchedAgain)
{
    QString text = QStringLiteral("ab ab");
    const QString from = QStringLiteral("ab"), to = QStringLiteral("abab");
    qsizetype at = ChiKan(text, from, to, 0);
    EXPECT_EQ(at, 0);
    at = ChiKan(text, from, to, at + to.size());
    EXPECT_EQ(at, 5);
    EXPECT_EQ(text, QStringLiteral("abab abab"));

    // a → aa ends: each search starts after the inserted text.
    text = QStringLiteral("aaa");
    int steps = 0;
    for (qsizetype pos = 0; (at = ChiKan(text, QStringLiteral("a"), QStringLiteral("aa"), pos)) >= 0; ++steps)
        pos = at + 2;
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(text, QStringLiteral("aaaaaa"));

    text = QStringLiteral("ABC abc");
    EXPECT_EQ(ChiKan(text, QStringLiteral("abc"), QStringLiteral("x"), 0, 1), 0);  // the case box
    EXPECT_EQ(ChiKan(text, QStringLiteral("abc"), QStringLiteral("x"), 0), 2);     // exact
}

TEST_F(ReplaceFixture, ReplacesExactlyAndKeepsUntouchedLines)
{
    const QByteArray before = "\x80 keep\r\nabc ABC\r\n\x87\x90\r\nabc";
    Index(before);
    const WholeFileReplaceResult r = Run(QStringLiteral("abc"), U(u"漢\r\n字"));
    EXPECT_EQ(r.replacements, 2);
    EXPECT_TRUE(r.written);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.firstChangedLine, 2);
    EXPECT_EQ(Doc(), "\x80 keep\r\n\x8a\xbf\r\n\x8e\x9a ABC\r\n\x87\x90\r\n\x8a\xbf\r\n\x8e\x9a");
    EXPECT_EQ(renames, 1);
    EXPECT_FALSE(state.BusyFlag);
    EXPECT_EQ(chunks, (QList<std::pair<int64_t, int64_t>>{{1, 4}}));
}

TEST_F(ReplaceFixture, MatchesOnlyWholeCharactersAndKeepsOtherBytesOfAChangedLine)
{
    // 83 4D is one character whose trail byte is "M"; 85 40 has no character and 80 is a lone
    // byte: they stay as they are in the line that changes.
    // 83 83 83 4D: a character, then 83 4D again.
    Index("\x83\x4DM \x85\x40\x80M\r\n\x83\x83M\x83\x83\x83\x4D\r\n");
    const WholeFileReplaceResult r = Run(QStringLiteral("M"), QStringLiteral("mm"));
    EXPECT_EQ(r.replacements, 3);
    EXPECT_EQ(Doc(), "\x83\x4Dmm \x85\x40\x80mm\r\n\x83\x83mm\x83\x83\x83\x4D\r\n");
}

TEST_F(ReplaceFixture, NoMatchWritesNothing)
{
    Index("abc\r\n");
    const QDateTime time = QFileInfo(state.doc.DocumentName).lastModified();
    const WholeFileReplaceResult r = Run(QStringLiteral("zzz"), QStringLiteral("y"));
    EXPECT_EQ(r.replacements, 0);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(renames, 0);
    EXPECT_TRUE(state.doc.HasFile());
    EXPECT_EQ(QFileInfo(state.doc.DocumentName).lastModified(), time);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("doc.txt")});
}

TEST_F(ReplaceFixture, ChunksEndAtAThousandLinesAndBeforeSixtyFiveThousandCharacters)
{
    // Occurrences spanning two lines: found inside a chunk, never across a chunk end.
    // Lines 999/1000 hold end, beg: one chunk.
    Index(QByteArray("x\r\n").repeated(998) + "end\r\nbeg\r\n" + QByteArray("x\r\n").repeated(1500));
    WholeFileReplaceResult r = Run(QStringLiteral("end\r\nbeg"), QStringLiteral("J"));
    EXPECT_EQ(r.replacements, 1);
    EXPECT_EQ(chunks, (QList<std::pair<int64_t, int64_t>>{{1, 1000}, {1001, 2000}, {2001, 2500}}));

    // Lines 1000/1001: in two chunks.
    QByteArray two = QByteArray("x\r\n").repeated(999) + "end\r\nbeg\r\n" + QByteArray("x\r\n").repeated(5);
    chunks.clear();
    Index(two);
    r = Run(QStringLiteral("end\r\nbeg"), QStringLiteral("J"));
    EXPECT_EQ(r.replacements, 0);

    // Lines of 64 "あ" (66 characters with CR LF): 992 lines fit, the 993rd would reach 65,536.
    const QByteArray wide = ToSjis(QString(64, QChar(0x3042))) + "\r\n";
    QByteArray chars = wide.repeated(991) + ToSjis(QString(63, QChar(0x3042))) + "E\r\n" +
                       "B" + ToSjis(QString(63, QChar(0x3042))) + "\r\n" + wide.repeated(10);
    chunks.clear();
    Index(chars);
    r = Run(QStringLiteral("E\r\nB"), QStringLiteral("J"));
    EXPECT_EQ(r.replacements, 0);
    EXPECT_EQ(chunks.first(), (std::pair<int64_t, int64_t>{1, 992}));
    chars = wide.repeated(990) + ToSjis(QString(63, QChar(0x3042))) + "E\r\n" + "B" +
            ToSjis(QString(63, QChar(0x3042))) + "\r\n" + wide.repeated(10);
    Index(chars);
    r = Run(QStringLiteral("E\r\nB"), QStringLiteral("J"));
    EXPECT_EQ(r.replacements, 1);
}

TEST_F(ReplaceFixture, AnOccurrenceAcrossTheCutOfALongLineIsFound)
{
    // The index cuts the line after 4,096 bytes; the chunk text joins the pieces again.
    Index(QByteArray(4094, 'x') + "abcd\r\nz\r\n");
    ASSERT_EQ(state.doc.LineCount, 3);
    const WholeFileReplaceResult r = Run(QStringLiteral("abcd"), QStringLiteral("Q"));
    EXPECT_EQ(r.replacements, 1);
    EXPECT_EQ(Doc(), QByteArray(4094, 'x') + "Q\r\nz\r\n");
}

TEST_F(ReplaceFixture, ALineBreakInTheReplacementKeepsTheChunksOnTheOriginalLines)
{
    Index(QByteArray("a\r\n").repeated(1500));
    const WholeFileReplaceResult r = Run(QStringLiteral("a"), QStringLiteral("b\r\nc"));
    EXPECT_EQ(r.replacements, 1500);
    EXPECT_EQ(chunks, (QList<std::pair<int64_t, int64_t>>{{1, 1000}, {1001, 1500}}));
    EXPECT_EQ(Doc(), QByteArray("b\r\nc\r\n").repeated(1500));
}

TEST_F(ReplaceFixture, CancelKeepsTheChunksDoneAndTheRestAsItWas)
{
    Index(QByteArray("a\r\n").repeated(3000));
    onChunk = [this] {
        if (chunks.size() == 2)
            state.BusyFlag = false;  // the cancel button during chunk 2
    };
    const WholeFileReplaceResult r = Run(QStringLiteral("a"), QStringLiteral("b"));
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.replacements, 1001);  // chunk 1 and the first of chunk 2
    EXPECT_EQ(r.lineReached, 1001);
    EXPECT_EQ(Doc(), QByteArray("b\r\n").repeated(1001) + QByteArray("a\r\n").repeated(1999));
}

TEST_F(ReplaceFixture, RefusalsLeaveTheFileAsItWas)
{
    const QByteArray before = "abc\r\n";
    Index(before);
    EXPECT_THROW(Run(QStringLiteral("b"), U(u"€")), RuntimeError);  // Shift_JIS lacks it
    ASSERT_EQ(prompter.Messages().size(), 1);
    EXPECT_TRUE(prompter.Messages()[0].startsWith(U(u"「€」")));
    io.write = [](QFile&, const char*, qint64) { return qint64(-1); };
    EXPECT_THROW(Run(QStringLiteral("b"), QStringLiteral("x")), RuntimeError);
    EXPECT_EQ(Doc(), before);
    EXPECT_TRUE(state.doc.HasFile());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("doc.txt")});
}

TEST_F(ReplaceFixture, WalksPastTheLineLimit)
{
    Index(QByteArray("x\r\n").repeated(1'000'000) + "find\r\n");
    ASSERT_EQ(state.doc.LineCount, 1'000'000);
    const WholeFileReplaceResult r = Run(QStringLiteral("find"), QStringLiteral("found"));
    EXPECT_EQ(r.replacements, 1);
    EXPECT_EQ(r.firstChangedLine, 1'000'001);
    EXPECT_TRUE(Doc().endsWith("x\r\nfound\r\n"));
}

}  // namespace
