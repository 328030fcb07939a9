// Streaming a file's lines, and the file sets of the multi-file dialogs.
#include "multifile/FileLines.h"
#include "multifile/FileSet.h"

#include "core/RuntimeError.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QList<QByteArray> Lines(const QString& path)
{
    FileLines lines(path);
    QList<QByteArray> out;
    QByteArrayView line;
    while (lines.Next(&line))
        out.append(line.toByteArray());
    return out;
}

TEST(FileLines, SplitsAtCrLfOnly)
{
    QTemporaryDir dir;
    struct Case {
        QByteArray bytes;
        QList<QByteArray> lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb", {"a\r\n", "b"}},
        {"a\nb\rc\r\n", {"a\nb\rc\r\n"}},
        {"\r\n\r\n", {"\r\n", "\r\n"}},
        {"x\r", {"x\r"}},
        // UTF-16: the mark is not part of line 1; 0D 0A inside a character is no line end.
        {QByteArray("\xFF\xFE" "A\x00\r\x00\n\x00" "\x0D\x0A\r\x00\n\x00", 14),
         {QByteArray("A\x00\r\x00\n\x00", 6), QByteArray("\x0D\x0A\r\x00\n\x00", 6)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Lines(Write(dir, QStringLiteral("f"), c.bytes)), c.lines) << c.bytes.toHex().constData();
}

TEST(FileLines, LineEndsAcrossBlocksAndLongLinesInPieces)
{
    QTemporaryDir dir;
    // A CR LF pair split by the 1 MiB block boundary is still one line end.
    QByteArray bytes((1 << 20) - 1, 'a');
    bytes += "\r\nb";
    EXPECT_EQ(Lines(Write(dir, QStringLiteral("a"), bytes)), (QList<QByteArray>{bytes.left((1 << 20) + 1), "b"}));

    // Without line ends, pieces of at most kMaxLinePiece bytes that never cut a double-byte
    // character, and all bytes come back.
    QByteArray big = "a";
    while (big.size() < FileLines::kMaxLinePiece + 100)
        big += "\x88\x9F";
    const QList<QByteArray> pieces = Lines(Write(dir, QStringLiteral("b"), big));
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_LE(pieces[0].size(), FileLines::kMaxLinePiece);
    EXPECT_EQ(pieces[0].size() % 2, 1);  // "a" and whole characters
    EXPECT_EQ(pieces[0] + pieces[1], big);
}

TEST(FileLines, RefusesFoldersAndMissingFiles)
{
    QTemporaryDir dir;
    for (const QString& path : {dir.path(), dir.filePath(QStringLiteral("missing"))})
        EXPECT_THROW(FileLines{path}, RuntimeError);
}

TEST(FileLines, TextUnderTheDisplayCode)
{
    EXPECT_EQ(FileLineText("\x88\x9F\r\n", false, 0), QStringLiteral(u"亜\r\n"));
    EXPECT_EQ(FileLineText("\xB0\xA1\r\n", false, 1), QStringLiteral(u"亜\r\n"));  // EUC-JP
    EXPECT_EQ(FileLineText(QByteArray("\x0AN", 2), true, 1), QStringLiteral(u"上"));
}

TEST(FileSet, ListsAndChoice)
{
    QTemporaryDir dir;
    Write(dir, QStringLiteral("b.txt"), "x");
    Write(dir, QStringLiteral("a.txt"), "x");
    Write(dir, QStringLiteral(".h.txt"), "x");
    const QString ro = Write(dir, QStringLiteral("r.txt"), "x");
    QFile::setPermissions(ro, QFile::ReadOwner);
    EXPECT_EQ(FileSetNames(dir.path(), QStringLiteral("*.txt"), FileSetUse::Search),
              (QStringList{QStringLiteral(".h.txt"), QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                           QStringLiteral("r.txt")}));
    EXPECT_EQ(FileSetNames(dir.path(), QStringLiteral("*.txt"), FileSetUse::Replace),
              (QStringList{QStringLiteral(".h.txt"), QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    EXPECT_EQ(FileSetPatterns(FileSetUse::Search).size(), 3);
    EXPECT_EQ(FileSetPatterns(FileSetUse::Print).size(), 5);
    EXPECT_EQ(FileSetCountText(12), QStringLiteral(u"対象ﾌｧｲﾙ数: 12"));

    QStringList unlisted;
    EXPECT_EQ(ChooseFromSet({"a", "b", "c"}, {"c", "a", "z"}, &unlisted), (QStringList{"a", "c"}));
    EXPECT_EQ(unlisted, QStringList{"z"});
}

}  // namespace
