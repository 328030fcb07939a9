#include "base64/Base64.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

QByteArray RandomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(gen.bounded(256));
    return bytes;
}

QByteArray Encode(AppState& state, const QByteArray& data, qint64* lastBlock = nullptr)
{
    QBuffer source;
    source.setData(data);
    source.open(QIODevice::ReadOnly);
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    state.BusyFlag = true;
    const qint64 last = EncodeBase64Stream(state, source, data.size(), output, {});
    if (lastBlock)
        *lastBlock = last;
    return output.data();
}

QByteArray DecodeText(QStringView text)
{
    QByteArray out;
    DecodeBase64Line(text, out);
    QByteArray ascii;
    DecodeBase64AsciiLine(text.toLatin1(), ascii);
    EXPECT_EQ(out, ascii) << "the byte and the text forms agree";
    return out;
}

class Base64Test : public ::testing::Test {
protected:
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_base64_XXXXXX")};  // no "." in the folder
    test::ScriptedPrompter prompter;
    AppState state{prompter};

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QByteArray DecodeFile(const QByteArray& text)
    {
        const QString path = Write(QStringLiteral("in.b64"), text);
        QBuffer output;
        output.open(QIODevice::WriteOnly);
        state.BusyFlag = true;
        EXPECT_TRUE(DecodeBase64Stream(state, path, output, {}));
        return output.data();
    }
};

TEST_F(Base64Test, EncodesLinesOf57Bytes)
{
    const QByteArray line76(76, 'x');
    const struct {
        QByteArray input;
        QList<int> lineLengths;
    } cases[] = {
        {"a", {4}},
        {"abc", {4}},
        {RandomBytes(57, 1), {76}},
        {RandomBytes(58, 2), {76, 4}},
        {RandomBytes(114, 3), {76, 76}},
        {RandomBytes(115, 4), {76, 76, 4}},
    };
    for (const auto& c : cases) {
        const QByteArray text = Encode(state, c.input);
        ASSERT_TRUE(text.endsWith("\r\n"));
        QList<QByteArray> lines = text.split('\n');
        ASSERT_TRUE(lines.last().isEmpty());
        lines.removeLast();
        QList<int> lengths;
        for (const QByteArray& l : lines) {
            EXPECT_TRUE(l.endsWith('\r'));
            lengths.append(int(l.size()) - 1);
        }
        EXPECT_EQ(lengths, c.lineLengths) << c.input.size();
    }
    EXPECT_EQ(Encode(state, "abc"), "YWJj\r\n");
    EXPECT_EQ(Encode(state, "a"), "YQ==\r\n");
    EXPECT_EQ(Encode(state, "ab"), "YWI=\r\n");
    EXPECT_TRUE(Encode(state, RandomBytes(58, 2)).endsWith("==\r\n"));
}

TEST_F(Base64Test, EncodingEqualsCoreutilsWithCrLf)
{
    const QString base64 = QStandardPaths::findExecutable(QStringLiteral("base64"));
    if (base64.isEmpty())
        GTEST_SKIP() << "coreutils base64 not installed";
    quint32 seed = 10;
    for (qsizetype size : {1, 2, 3, 56, 57, 58, 113, 114, 115, 1000, 4095, 65'536, 1'048'573, 2'100'000}) {
        const QByteArray data = RandomBytes(size, ++seed);
        const QString path = Write(QStringLiteral("r.bin"), data);
        QProcess p;
        p.start(base64, {QStringLiteral("-w"), QStringLiteral("76"), path});
        ASSERT_TRUE(p.waitForFinished(60'000));
        QByteArray expected = p.readAllStandardOutput();
        expected.replace("\n", "\r\n");
        EXPECT_EQ(Encode(state, data), expected) << size;
    }
}

TEST_F(Base64Test, DecodesLinesByTheirRules)
{
    const struct {
        const char* line;
        QByteArray bytes;
    } cases[] = {
        {"YWJj\r\n", "abc"},
        {"YWJj ZGVm\r\n", "abc"},           // a space ends the line
        {"YQ==\r\n", "a"},
        {"YWI=\r\n", "ab"},
        {"YQ==YWJj\r\n", "a"},              // padding ends the line after its group
        {" YWJj\r\n", ""},                  // a line starting with a space
        {"YWJjZG\r\n", QByteArray("abc") + char(0x64) + char(0x60) + char(0x00)},
        {"YW-j\r\n", QByteArray("a") + char(0x60) + char(0x23)},  // outside the table: 0
        {"YWJj", "abc"},                    // no line end at the end of the file
        {"YQ", QByteArray("a") + char(0) + char(0)},  // missing characters: 0
        {"\r\n", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeText(QString::fromLatin1(c.line)), c.bytes) << c.line;
    // A double-byte character is one character of a group.
    QByteArray out;
    DecodeBase64Line(QStringLiteral(u"あWJj\r\n"), out);
    EXPECT_EQ(out, DecodeText(QStringLiteral("AWJj\r\n")));
}

TEST_F(Base64Test, DecodesFilesLineByLine)
{
    EXPECT_EQ(DecodeFile("YQ==\r\nYWJj\r\n"), "aabc");
    EXPECT_EQ(DecodeFile(" YWJj\r\nZGVm\r\n"), "def");
    const QByteArray data = RandomBytes(100'000, 5);
    EXPECT_EQ(DecodeFile(Encode(state, data)), data);
    // Shift_JIS text: a double-byte character takes one place in its group.
    EXPECT_EQ(DecodeFile(ToSjis(QStringLiteral(u"YWJj\r\nあWJj\r\n"))), QByteArray("abc") + DecodeText(u"AWJj"));
    // UTF-16: the byte-order mark is not part of the first line.
    EXPECT_EQ(DecodeFile(QByteArray("\xFF\xFE", 2) + ToUtf16Le(u"YWJj\r\nZGVm\r\n")), "abcdef");
}

TEST_F(Base64Test, CancelStopsAfterTheCurrentBlockOrLine)
{
    // Clearing BusyFlag at the first progress point stops the encoder after block 32.
    const QByteArray data = RandomBytes(57 * 100, 6);
    QBuffer source;
    source.setData(data);
    source.open(QIODevice::ReadOnly);
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    state.BusyFlag = true;
    QList<qint64> positions;
    const qint64 last = EncodeBase64Stream(state, source, data.size(), output, [&](qint64 pos, qint64 total) {
        positions.append(pos);
        EXPECT_EQ(total, 100);
        state.BusyFlag = false;
    });
    EXPECT_EQ(last, 32);
    EXPECT_EQ(positions, QList<qint64>{33});
    EXPECT_EQ(output.data(), Encode(state, data.left(57 * 32)));

    QByteArray text;
    for (int i = 0; i < 100; ++i)
        text += "YWJj\r\n";
    const QString path = Write(QStringLiteral("c.b64"), text);
    QBuffer decoded;
    decoded.open(QIODevice::WriteOnly);
    state.BusyFlag = true;
    EXPECT_FALSE(DecodeBase64Stream(state, path, decoded, [&](qint64 pos, qint64 size) {
        EXPECT_EQ(pos, 32 * 6);
        EXPECT_EQ(size, 600);
        state.BusyFlag = false;
    }));
    EXPECT_EQ(decoded.data().size(), 32 * 3);
}

TEST_F(Base64Test, DefaultNames)
{
    EXPECT_EQ(DefaultEncodeName(QStringLiteral("/d/a.tar.gz"), false), QStringLiteral("/d/a.b64"));
    EXPECT_EQ(DefaultEncodeName(QStringLiteral("/d/noext"), false), QStringLiteral("/d/noext.b64"));
    EXPECT_EQ(DefaultEncodeName(QStringLiteral("/d/a.tar.gz"), true), QStringLiteral("/d/a.tar.gz.b64"));
    EXPECT_EQ(DefaultDecodeName(QStringLiteral("/d/a.b64")), QStringLiteral("/d/a.XXX"));
    EXPECT_EQ(DefaultDecodeName(QStringLiteral("/d/noext")), QStringLiteral("/d/noext.XXX"));
}

}  // namespace
