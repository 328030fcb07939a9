#include "core/SequentialLineReader.h"

#include "core/RuntimeError.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kolbran;

namespace {

QString WriteFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("in.txt"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QList<QByteArray> ReadAllLines(const QString& path)
{
    SequentialLineReader reader(path);
    QList<QByteArray> lines;
    for (QByteArrayView line = reader.NextBytes(); !line.isEmpty(); line = reader.NextBytes())
        lines.append(line.toByteArray());
    EXPECT_TRUE(reader.AtEnd());
    return lines;
}

}  // namespace

TEST(SequentialLineReader, LineLengthRules)
{
    struct Case {
        QByteArray block;
        bool utf16;
        bool fileEnds;
        qsizetype expected;
    };
    const QByteArray u16End("\x0D\x00\x0A\x00", 4);
    const Case cases[] = {
        {"ab\r\ncd", false, true, 4},
        {"ab\rcd\r\n", false, true, 7},       // a lone CR does not end the line
        {"abc", false, true, 3},              // no end: the whole block
        {"abc\r", false, false, 3},           // a CR cut by the block's end waits
        {"abc\r", false, true, 4},            // ... but not at the end of the file
        {QByteArray("a\0", 2) + u16End + "b", true, true, 6},
        {QByteArray("\x0D\x00\x0A\x0D\x00\x0A\x00", 7), true, true, 7},  // unaligned: no end
        {QByteArray("a\0b\0\x0D\x00", 6), true, false, 4},
        {QByteArray("a\0b\0\x0D\x00\x0A", 7), true, false, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SequentialLineLength(c.block, c.utf16, true, c.fileEnds), c.expected)
            << c.block.toHex().constData();
}

TEST(SequentialLineReader, ReadsShiftJisLinesAndCountsBytes)
{
    QTemporaryDir dir;
    const QByteArray text = QByteArray("41\r\n\x82\xA0x\r\nlast");
    const QString path = WriteFile(dir, text);
    SequentialLineReader reader(path);
    EXPECT_FALSE(reader.IsUtf16());
    EXPECT_EQ(reader.FileSize(), text.size());
    EXPECT_EQ(reader.Next(), QStringLiteral("41\r\n"));
    EXPECT_EQ(reader.BytesRead(), 4);
    EXPECT_EQ(reader.Next(), QStringLiteral(u"あx\r\n"));
    EXPECT_EQ(reader.Next(), QStringLiteral("last"));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Next(), std::nullopt);
}

TEST(SequentialLineReader, Utf16KeepsTheMarkOnTheFirstLine)
{
    QTemporaryDir dir;
    const QByteArray bytes = QByteArray("\xFF\xFE" "4\0" "1\0" "\r\0\n\0" "B\0", 12);
    const QString path = WriteFile(dir, bytes);
    SequentialLineReader reader(path);
    EXPECT_TRUE(reader.IsUtf16());
    EXPECT_EQ(reader.Next(), QStringLiteral(u"\uFEFF41\r\n"));
    EXPECT_EQ(reader.Next(), QStringLiteral("B"));
    EXPECT_EQ(reader.Next(), std::nullopt);
}

TEST(SequentialLineReader, LongLinesComeInBlocksAndLoseNoByte)
{
    QTemporaryDir dir;
    // 4095 bytes then CR LF: the first block ends on the CR, which waits for the next line.
    QByteArray bytes(4095, 'a');
    bytes += "\r\n";
    bytes += QByteArray(10000, 'b');
    bytes += "\r\nend";
    const QList<QByteArray> lines = ReadAllLines(WriteFile(dir, bytes));
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QByteArray(4095, 'a'));
    EXPECT_EQ(lines[1], QByteArray("\r\n"));
    QByteArray joined;
    for (const QByteArray& l : lines) {
        EXPECT_LE(l.size(), SequentialLineReader::kBlockSize);
        joined += l;
    }
    EXPECT_EQ(joined, bytes);
    EXPECT_EQ(lines.last(), QByteArray("end"));
}

TEST(SequentialLineReader, MissingFileThrows)
{
    QTemporaryDir dir;
    EXPECT_THROW(SequentialLineReader(dir.filePath(QStringLiteral("none"))), RuntimeError);
}
