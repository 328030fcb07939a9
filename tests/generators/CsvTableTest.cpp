#include "generators/CsvTable.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <new>

using namespace kolbran;

namespace {

// The table of `lines` with the delimiter of index `delimiter`, as CR LF rows.
QString Table(const QStringList& lines, int delimiter = 0)
{
    CsvLayout layout(CsvDelimiter(delimiter));
    const CsvLineSource source = [&](qint64 n) { return lines[n - 1]; };
    const auto go = [](qint64) { return true; };
    EXPECT_TRUE(CsvMeasurePass(layout, lines.size(), source, go));
    QString out;
    CsvTableProgress progress;
    EXPECT_TRUE(CsvTablePass(layout, lines.size(), source, go, [&](const QString& rows) { out += rows; }, progress));
    return out;
}

TEST(CsvTableTest, Cases)
{
    const struct {
        QStringList lines;
        int delimiter;
        const char16_t* table;
    } cases[] = {
        {{"a,bb", "ccc,d,e"}, 0, u"│a  │bb│ │\r\n│ccc│d │e│\r\n"},  // the example; fewer fields padded
        {{"a\tb", "cc\td"}, 0, u"│a\tb │\r\n│cc\td│\r\n"},          // tab file, comma delimiter
        {{"a\tb", "cc\td"}, 2, u"│a │b│\r\n│cc│d│\r\n"},
        {{"a;b,c", "dd;e"}, 1, u"│a │b,c│\r\n│dd│e  │\r\n"},
        {{QStringLiteral(u"日本,x"), "abc,y"}, 0, u"│日本│x│\r\n│abc │y│\r\n"},
        {{"\"a,b\",c"}, 0, u"│\"a│b\"│c│\r\n"},                   // quotes are ordinary characters
        {{"a,b", "", "c"}, 0, u"│a│b│\r\n│ │ │\r\n│c│ │\r\n"},      // an empty line: blank cells
        {{QStringLiteral(u"ｱｲ,x"), "abc,y"}, 0, u"│ｱｲ │x│\r\n│abc│y│\r\n"},     // half-width kana are one column
    };
    for (const auto& c : cases)
        EXPECT_EQ(Table(c.lines, c.delimiter), QString::fromUtf16(c.table)) << c.lines.join('|').toStdString();
}

TEST(CsvTableTest, MoreThanFiftyFieldsWidenTheTable)
{
    QStringList fields;
    for (int k = 1; k <= 60; ++k)
        fields << QString::number(k);
    CsvLayout layout(u',');
    layout.Measure(fields.join(u','));
    layout.Measure(QStringLiteral("x"));
    EXPECT_EQ(layout.Columns(), 60);
    QString row;
    layout.AppendRow(QStringLiteral("x"), row);
    EXPECT_EQ(row.count(u'│'), 61);
    EXPECT_EQ(DisplayWidth(row), 2 * 61 + 9 * 1 + 51 * 2 + 2);
}

TEST(CsvTableTest, OtherCharactersOfATextSurvivePadding)
{
    // Characters Shift_JIS lacks (from a UTF-16 document) stay as they are, one column each.
    const QString t = Table({QStringLiteral(u"é😀,a"), QStringLiteral("abcd,b")});
    EXPECT_EQ(t, QStringLiteral(u"│é😀  │a│\r\n│abcd│b│\r\n"));
}

TEST(CsvTableTest, BatchesOfTwentyAndStops)
{
    QStringList lines;
    for (int k = 0; k < 45; ++k)
        lines << QStringLiteral("a,b");
    CsvLayout layout(u',');
    const CsvLineSource source = [&](qint64 n) { return lines[n - 1]; };
    CsvMeasurePass(layout, lines.size(), source, [](qint64) { return true; });
    QList<int> batches;
    CsvTableProgress progress;
    auto sink = [&](const QString& rows) { batches << int(rows.count(u'\n')); };
    EXPECT_TRUE(CsvTablePass(layout, lines.size(), source, [](qint64) { return true; }, sink, progress));
    EXPECT_EQ(batches, (QList<int>{20, 20, 5}));

    batches.clear();
    EXPECT_FALSE(CsvTablePass(layout, lines.size(), source, [](qint64 n) { return n < 25; }, sink, progress));
    EXPECT_EQ(batches, (QList<int>{20, 5}));  // the rows made before the stop are handed over
    EXPECT_EQ(progress.line, 25);

    CsvLayout measured(u',');
    EXPECT_FALSE(CsvMeasurePass(measured, lines.size(), source, [](qint64 n) { return n < 3; }));
}

TEST(CsvTableTest, AFailureLeavesThePendingRows)
{
    QStringList lines;
    for (int k = 0; k < 30; ++k)
        lines << QStringLiteral("a");
    CsvLayout layout(u',');
    layout.Measure(QStringLiteral("a"));
    const CsvLineSource source = [&](qint64 n) {
        if (n == 27)
            throw std::bad_alloc();
        return lines[n - 1];
    };
    CsvTableProgress progress;
    QString out;
    EXPECT_THROW(CsvTablePass(layout, lines.size(), source, [](qint64) { return true; },
                              [&](const QString& rows) { out += rows; }, progress),
                 std::bad_alloc);
    EXPECT_EQ(out.count(u'\n'), 20);
    EXPECT_EQ(progress.pending.count(u'\n'), 6);
    EXPECT_EQ(progress.line, 26);
    EXPECT_EQ(CsvOutOfMemoryMessage(26), QStringLiteral(u"処理領域不足のため、 26行までしか処理されませんでした。"));
}

}  // namespace
