#include "binary/DumpFormat.h"

#include "core/CodePage.h"
#include "core/JapaneseCodes.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace kolbran;

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b += char(v);
    return b;
}

QByteArray Counting(int n, int start = 0)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += char((start + i) & 0xFF);
    return b;
}

DumpLayout Layout(int bytesPerLine, int pageBytes = 512, DumpCharCode code = DumpCharCode::ShiftJis)
{
    DumpLayout l;
    l.bytesPerLine = bytesPerLine;
    l.pageBytes = pageBytes;
    l.code = code;
    return l;
}

QStringList Lines(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

}  // namespace

TEST(DumpFormat, HexByteHasTwoUpperCaseDigits)
{
    EXPECT_EQ(HexByte(0x0A), QStringLiteral("0A"));
    EXPECT_EQ(HexByte(0xFF), QStringLiteral("FF"));
    EXPECT_EQ(HexByte(0), QStringLiteral("00"));
}

TEST(DumpFormat, FullLineLayout)
{
    QByteArray record(512, '\0');
    const QByteArray line = Bytes({0x41, 0x42, 0x43, 0x44}) + Counting(12);
    record.replace(0x1A0, 16, line);
    const QStringList lines = Lines(DumpRecordText(record, 1, false, Layout(16)));
    ASSERT_EQ(lines.size(), 33);  // 32 lines, each ended, so an empty rest
    EXPECT_EQ(lines[26], QStringLiteral("000001A0 41424344 00010203 04050607 08090A0B  ABCD............"));
    EXPECT_TRUE(lines.last().isEmpty());

    const QStringList wide = Lines(DumpRecordText(record, 2, false, Layout(32)));
    ASSERT_EQ(wide.size(), 17);
    EXPECT_EQ(wide[0].left(83), QStringLiteral("00000200 00000000 00000000 00000000 00000000  "
                                               "00000000 00000000 00000000 00000000  "));
    EXPECT_EQ(wide[0].size(), 83 + 32);
}

TEST(DumpFormat, LastLineIsPaddedAndUnended)
{
    struct Case {
        int size;
        int bytesPerLine;
        int lines;
        QString lastLine;
    };
    const Case cases[] = {
        // One byte: two digits, 35 spaces, the character.
        {1, 16, 1, QStringLiteral("00000000 41") + QString(35, u' ') + u'A'},
        // Exactly one record: the last line is full and has two spaces after its fourth group.
        {512, 16, 32, QStringLiteral("000001F0 41414141 41414141 41414141 41414141  ") + QString(16, u'A')},
        {5, 16, 1, QStringLiteral("00000000 41414141 41") + QString(26, u' ') + QStringLiteral("AAAAA")},
        // 32 bytes per line ending in the first block: both block spaces are padding.
        {1, 32, 1, QStringLiteral("00000000 41") + QString(72, u' ') + u'A'},
        {20, 32, 1, QStringLiteral("00000000 41414141 41414141 41414141 41414141  41414141") + QString(29, u' ') + QString(20, u'A')},
    };
    for (const Case& c : cases) {
        const QString text = DumpRecordText(QByteArray(c.size, 'A'), 1, true, Layout(c.bytesPerLine));
        EXPECT_FALSE(text.endsWith(QStringLiteral("\r\n"))) << c.size;
        const QStringList lines = Lines(text);
        EXPECT_EQ(lines.size(), c.lines) << c.size;
        EXPECT_EQ(lines.last(), c.lastLine) << c.size;
        const int column = c.bytesPerLine == 32 ? 83 : 46;
        EXPECT_EQ(lines.last().size() - column, c.size % c.bytesPerLine == 0 ? c.bytesPerLine : c.size % c.bytesPerLine);
    }
}

TEST(DumpFormat, ThousandBytesInOneKilobytePage)
{
    const qint64 size = 1000;
    const DumpLayout layout = Layout(16, 1024);
    EXPECT_EQ(DumpPageCount(size, layout), 1);
    const RecordRange range = DumpPageRecords(1, size, layout);
    EXPECT_EQ(range.first, 1);
    EXPECT_EQ(range.last, 2);
    const QByteArray data = Counting(1000, 0x41);
    const QString page = DumpRecordText(data.first(512), 1, false, layout) +
                         DumpRecordText(data.sliced(512), 2, true, layout);
    const QStringList lines = Lines(page);
    ASSERT_EQ(lines.size(), 63);
    EXPECT_TRUE(lines[31].startsWith(QStringLiteral("000001F0 ")));
    EXPECT_TRUE(lines[32].startsWith(QStringLiteral("00000200 ")));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("000003E0 ")));
    EXPECT_EQ(lines.last().size(), 46 + 8);
    EXPECT_EQ(lines.last().mid(9, 37), QStringLiteral("21222324 25262728") + QString(20, u' '));
}

TEST(DumpFormat, ShiftJisColumn)
{
    const DumpLayout layout = Layout(16);
    struct Case {
        QByteArray bytes;
        QString column;
    };
    const Case cases[] = {
        {Bytes({0x82, 0xA0, 0x41}), QStringLiteral(u"あA")},
        {Bytes({0xB1, 0x7E, 0x7F, 0x80, 0xA0, 0x00}), QStringLiteral(u"ｱ~....")},
        {Bytes({0x82, 0x30}), QStringLiteral(".0")},   // no trail byte: the lead is a dot
        {Bytes({0xEB, 0x40}), QStringLiteral(".@")},   // EB is not a lead byte here
        {Bytes({0x41, 0x82}), QStringLiteral("A.")},   // a lead that ends the line
    };
    for (const Case& c : cases)
        EXPECT_EQ(DumpCharColumn(c.bytes, 0, c.bytes.size() - 1, layout), c.column)
            << c.bytes.toHex().constData();
}

TEST(DumpFormat, DoubleByteCharacterSplitByALineEnd)
{
    QByteArray data(15, 'x');
    data += Bytes({0x82, 0xA0});
    data += "yz";
    const QStringList lines = Lines(DumpRecordText(data, 1, true, Layout(16)));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].mid(46), QString(15, u'x') + u'.');
    EXPECT_EQ(lines[1].mid(46), QStringLiteral(".yz"));
}

TEST(DumpFormat, Utf16Column)
{
    const DumpLayout layout = Layout(16, 512, DumpCharCode::Utf16);
    // CR and LF become dots; a 00 low byte becomes a dot; 00 high bytes stay.
    const QByteArray bytes = Bytes({0x41, 0x00, 0x0D, 0x00, 0x0A, 0x00, 0x00, 0x30, 0x42, 0x30});
    EXPECT_EQ(DumpCharColumn(bytes, 0, bytes.size() - 1, layout), QStringLiteral(u"A..\u302Eあ"));
}

TEST(DumpFormat, DumpFileBytesAreTheViewTextInShiftJis)
{
    // Every byte value, and pairs of every lead byte: the stored form must be what the code
    // page makes of the text the view shows.
    QByteArray data;
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (int trail = 0x3E; trail <= 0xFD; trail += 3) {
            data += char(lead);
            data += char(trail);
            data += char(trail ^ 0x55);
        }
    data += Counting(256);
    const qint64 records = DumpRecordCount(data.size());
    for (const DumpCharCode code : {DumpCharCode::ShiftJis, DumpCharCode::Utf16}) {
        for (int width : {16, 32}) {
            const DumpLayout layout = Layout(width, 512, code);
            QByteArray stored;
            QString shown;
            for (qint64 r = 1; r <= records; ++r) {
                const QByteArray record = data.mid((r - 1) * 512, 512);
                AppendDumpRecordBytes(stored, record, r, r == records, layout);
                shown += DumpRecordText(record, r, r == records, layout);
            }
            EXPECT_EQ(stored, ToSjis(shown)) << width << int(code);
        }
    }
}

TEST(DumpFormat, PageArithmetic)
{
    EXPECT_EQ(DumpRecordCount(1), 1);
    EXPECT_EQ(DumpRecordCount(512), 1);
    EXPECT_EQ(DumpRecordCount(513), 2);
    EXPECT_EQ(DumpPageCount(1537, Layout(16, 1024)), 2);
    const RecordRange last = DumpPageRecords(2, 1537, Layout(16, 1024));
    EXPECT_EQ(last.first, 3);
    EXPECT_EQ(last.last, 4);
    const RecordRange beyond = DumpPageRecords(3, 1537, Layout(16, 1024));
    EXPECT_GT(beyond.first, beyond.last);
    const RecordRange lone = DumpPageRecords(2, 1025, Layout(16, 1024));
    EXPECT_EQ(lone.first, 3);
    EXPECT_EQ(lone.last, 3);
}

TEST(DumpFormat, ScrollMappingBeyond32767Pages)
{
    const qint64 P = 70000;
    EXPECT_EQ(ScrollMaximum(P), 32767);
    EXPECT_EQ(ScrollMaximum(100), 100);
    EXPECT_EQ(PageForScrollValue(32767, P), 70000);
    EXPECT_EQ(PageForScrollValue(1, P), 1);
    EXPECT_EQ(ScrollValueForPage(1, P), 1);
    EXPECT_EQ(ScrollValueForPage(70000, P), 32767);
    EXPECT_EQ(ScrollValueForPage(100, 200), 100);
    EXPECT_EQ(PageForScrollValue(57, 200), 57);
    for (qint64 p : {2LL, 3LL, 35000LL, 69990LL}) {
        const int v = ScrollValueForPage(p, P);
        EXPECT_GE(v, 1);
        EXPECT_LE(v, 32767);
        EXPECT_LE(PageForScrollValue(v, P), p);
    }
}

TEST(DumpFormat, PageCommands)
{
    struct Case {
        PageCommand command;
        qint64 page;
        qint64 pages;
        PageMove expected;
    };
    const Case cases[] = {
        {PageCommand::Previous, 1, 10, {1, false, false}},
        {PageCommand::Previous, 5, 10, {4, true, true}},
        {PageCommand::Next, 10, 10, {10, false, false}},
        {PageCommand::Next, 9, 10, {10, true, true}},
        {PageCommand::Back10, 10, 50, {1, true, false}},
        {PageCommand::Back10, 11, 50, {1, true, true}},
        {PageCommand::Forward10, 69995, 70000, {70000, true, false}},
        {PageCommand::Forward10, 5, 70000, {15, true, true}},
        {PageCommand::Last, 3, 70000, {70000, true, true}},
    };
    for (const Case& c : cases) {
        const PageMove m = MovePage(c.command, c.page, c.pages);
        EXPECT_EQ(m.page, c.expected.page) << int(c.command) << ' ' << c.page;
        EXPECT_EQ(m.rebuild, c.expected.rebuild) << int(c.command) << ' ' << c.page;
        EXPECT_EQ(m.setScroll, c.expected.setScroll) << int(c.command) << ' ' << c.page;
    }
}

TEST(DumpFormat, EbcdikColumnUsesTheBinaryViewTable)
{
    DumpLayout layout = Layout(16, 512, DumpCharCode::Ebcdik);
    layout.ebcdikTable = EbcdikTable(DisplayCode::EbcdikBinary).data();
    const QByteArray bytes = Bytes({0xC1, 0x81, 0x4B, 0x3C, 0x0A, 0x0D, 0x00, 0xF1});
    EXPECT_EQ(DumpCharColumn(bytes, 0, bytes.size() - 1, layout), QStringLiteral(u"Aｱ.....1"));
    QByteArray stored;
    AppendDumpRecordBytes(stored, bytes, 1, true, layout);
    EXPECT_EQ(stored, ToSjis(DumpRecordText(bytes, 1, true, layout)));
}
