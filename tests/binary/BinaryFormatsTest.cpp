#include "binary/BinaryFormats.h"

#include "core/RuntimeError.h"
#include "core/ViewerSettings.h"

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

QByteArray Distinct(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += char(i);
    return b;
}

QByteArray Extended(const QByteArray& data, int width = 100)
{
    ExtendedWriter writer(width);
    QByteArray out;
    writer.Append(data, out);
    writer.Finish(out);
    return out;
}

QByteArray Restored(const QByteArray& text, bool extended)
{
    QByteArray out;
    RestoreLine(QString::fromLatin1(text), extended, out);
    return out;
}

}  // namespace

TEST(BinaryFormats, BinaryDisplayLines)
{
    QByteArray b64;
    AppendBinaryDisplayRecord(b64, QByteArray(64, '\x41'));
    EXPECT_EQ(b64.size(), 130);
    EXPECT_EQ(b64, QByteArray(128, '4').replace("44", "41") + "\r\n");

    QByteArray b65;
    AppendBinaryDisplayRecord(b65, QByteArray(64, '\x00') + QByteArray(1, '\xAB'));
    EXPECT_EQ(b65, QByteArray(128, '0') + "\r\nAB\r\n");

    QByteArray five;
    AppendBinaryDisplayRecord(five, QByteArray(5, '\x41'));
    EXPECT_EQ(five, QByteArray("4141414141\r\n"));

    QByteArray full;
    AppendBinaryDisplayRecord(full, QByteArray(512, '\x7F'));
    EXPECT_EQ(full.size(), 8 * 130);
}

TEST(BinaryFormats, RepeatAlphabet)
{
    EXPECT_EQ(kRepeatCountAlphabet.size(), 90);
    EXPECT_EQ(RepeatCount(u'1'), 1);
    EXPECT_EQ(RepeatCount(u'Q'), 26);
    EXPECT_EQ(RepeatCount(u'a'), 36);
    EXPECT_EQ(RepeatCount(u'!'), 62);
    EXPECT_EQ(RepeatCount(u'\\'), 89);
    EXPECT_EQ(RepeatCount(u'`'), 90);
    EXPECT_EQ(RepeatCount(u' '), 1);     // outside the alphabet
    EXPECT_EQ(RepeatCount(u'"'), 1);
    EXPECT_EQ(RepeatCount(u'あ'), 1);
}

TEST(BinaryFormats, ExtendedRuns)
{
    struct Case {
        QByteArray data;
        QByteArray text;
    };
    const Case cases[] = {
        {QByteArray(1, 'A'), "41"},
        {QByteArray(2, 'A'), "41-1"},
        {QByteArray(5, 'A'), "41-4"},
        {QByteArray(91, 'A'), "41-`"},
        {QByteArray(92, 'A'), "41-`41"},
        {QByteArray(93, 'A'), "41-`41-1"},
        {QByteArray(300, '\0'), "00-`00-`00-`00-Q"},
        {QByteArray("AAB"), "41-142"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Extended(c.data), c.text) << c.data.size();
}

TEST(BinaryFormats, ExtendedLines)
{
    // 50 different bytes fill one line of 100 characters exactly.
    const QByteArray fifty = Extended(Distinct(50));
    EXPECT_EQ(fifty.size(), 102);
    EXPECT_TRUE(fifty.endsWith("\r\n"));
    EXPECT_EQ(fifty.indexOf("\r\n"), 100);

    const QByteArray fiftyOne = Extended(Distinct(51));
    EXPECT_EQ(fiftyOne, Extended(Distinct(50)) + "32");

    // A pending run does not break the line: the marker completes it.
    QByteArray pending = Distinct(49) + QByteArray(3, char(48)) + QByteArray(1, '\x99');
    const QByteArray text = Extended(pending);
    EXPECT_EQ(text.indexOf("\r\n"), 100);
    EXPECT_TRUE(text.endsWith("30-3\r\n99")) << text.constData();

    // Equal bytes across a line break: the new line starts with a literal.
    const QByteArray across = Extended(Distinct(50) + QByteArray(2, char(49)));
    EXPECT_EQ(across, fifty + "31-1");

    // A line length of 140 holds 70 literals.
    EXPECT_EQ(Extended(Distinct(71), 140).indexOf("\r\n"), 140);
    // Any other length means 100.
    EXPECT_EQ(Extended(Distinct(51), 97), fiftyOne);
}

TEST(BinaryFormats, ExtendedStateCarriesAcrossRecords)
{
    QByteArray data = QByteArray(1000, 'x') + QByteArray(100, 'y') + Distinct(256) + QByteArray(2000, '\0');
    ExtendedWriter writer(120);
    QByteArray pieces;
    for (qsizetype i = 0; i < data.size(); i += 1024)
        writer.Append(QByteArrayView(data).sliced(i, std::min<qsizetype>(1024, data.size() - i)), pieces);
    writer.Finish(pieces);
    EXPECT_EQ(pieces, Extended(data, 120));
}

TEST(BinaryFormats, RestoreLineWalk)
{
    struct Case {
        QByteArray text;
        bool extended;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"4142\r\n", false, "AB"},
        {"4142\r\n4344", false, "AB"},          // CR LF ends the line
        {"0aFf", false, "\x0A\xFF"},             // either case
        {"4G", false, "\x04"},                   // the leading digits
        {"zz", false, QByteArray(1, '\0')},      // no digits
        {"41-4", true, "AAAAA"},
        {"41-4", false, QByteArray("A\0", 2)},   // unticked: a marker is a literal of value 0
        {"41- 42", true, "AAB"},                 // a character outside the alphabet repeats once
        {"00-`00-`00-`00-Q", true, QByteArray(300, '\0')},
        {"41-`41-1", true, QByteArray(93, 'A')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Restored(c.text, c.extended), c.bytes) << c.text.constData();

    QByteArray ascii;
    RestoreAsciiLine("41-442\r\n", true, ascii);
    EXPECT_EQ(ascii, QByteArray("AAAAAB"));
}

TEST(BinaryFormats, MarkerAtLineStartIsError5)
{
    try {
        Restored("-441", true);
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), Err::InvalidArgument);
    }
    EXPECT_EQ(Restored("-441", false), QByteArray("\0A", 2));
}

TEST(BinaryFormats, LineLengthSettings)
{
    EXPECT_EQ(ExtendedLineLengthIndex(100), 0);
    EXPECT_EQ(ExtendedLineLengthIndex(140), 4);
    EXPECT_EQ(ExtendedLineLengthIndex(125), 2);  // 2.5 rounds to even
    EXPECT_EQ(ExtendedLineLengthIndex(0), 0);
    EXPECT_EQ(ExtendedLineLengthIndex(200), 0);
    EXPECT_EQ(ValidExtendedLineLength(130), 130);
    EXPECT_EQ(ValidExtendedLineLength(0), 100);
}

TEST(BinaryFormats, DefaultNames)
{
    EXPECT_EQ(DefaultOutputName(QStringLiteral("a.txt"), QStringLiteral(".B")), QStringLiteral("a.B"));
    EXPECT_EQ(DefaultOutputName(QStringLiteral("data.B"), QStringLiteral(".XXX")), QStringLiteral("data.XXX"));
    EXPECT_EQ(DefaultOutputName(QStringLiteral("my.file.K"), QStringLiteral(".XXX")), QStringLiteral("my.XXX"));
    EXPECT_EQ(DefaultOutputName(QStringLiteral("noext"), QStringLiteral(".DMP")), QStringLiteral("noext.DMP"));
    EXPECT_EQ(DefaultOutputName(QStringLiteral("/tmp/a.b/data.K"), QStringLiteral(".XXX")), QStringLiteral("/tmp/a.b/data.XXX"));
    EXPECT_EQ(DefaultOutputName(QStringLiteral("C:\\my.dir\\x.y.bin"), QStringLiteral(".B")), QStringLiteral("C:\\my.dir\\x.B"));
}
