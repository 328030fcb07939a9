#include "generators/Calendar.h"

#include <QDate>
#include <QStringList>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

QStringList Lines(const QString& text)
{
    EXPECT_TRUE(text.endsWith("\r\n"));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

QList<EraEntry> DefaultEras()
{
    return {{QStringLiteral(u"明治"), "M", 1868, 9, 8},
            {QStringLiteral(u"大正"), "T", 1912, 7, 30},
            {QStringLiteral(u"昭和"), "S", 1926, 12, 25},
            {QStringLiteral(u"平成"), "H", 1989, 1, 8}};
}

TEST(CalendarTest, May2024NarrowFiveLinesWhole)
{
    CalendarRequest r;
    r.year = 2024;
    r.month = 5;
    r.wide = false;
    const QStringList lines = Lines(CalendarText(r));
    const QString blank = QStringLiteral(u"　│　　　│　　　│　　　│　　　│　　　│　　　│　　　│");
    const QString rule = QStringLiteral(u"　├───┼───┼───┼───┼───┼───┼───┤");
    QStringList expected = {
        QStringLiteral(u"　 5 / 2024"),
        QStringLiteral(u"　┌───┬───┬───┬───┬───┬───┬───┐"),
        QStringLiteral(u"　│　日　│　月　│　火　│　水　│　木　│　金　│　土　│"),
    };
    const QStringList days = {
        QStringLiteral(u"　│　　　│　　　│　　　│１　　│２　　│３　　│４　　│"),
        QStringLiteral(u"　│５　　│６　　│７　　│８　　│９　　│１０　│１１　│"),
        QStringLiteral(u"　│１２　│１３　│１４　│１５　│１６　│１７　│１８　│"),
        QStringLiteral(u"　│１９　│２０　│２１　│２２　│２３　│２４　│２５　│"),
        QStringLiteral(u"　│２６　│２７　│２８　│２９　│３０　│３１　│　　　│"),
    };
    for (const QString& d : days)
        expected << rule << d << blank << blank << blank << blank;
    expected << QStringLiteral(u"　└───┴───┴───┴───┴───┴───┴───┘");
    EXPECT_EQ(lines, expected);
}

TEST(CalendarTest, WideSixLinesPieces)
{
    CalendarRequest r;
    r.year = 2024;
    r.month = 5;
    r.wide = true;
    r.sixLines = true;
    const QStringList lines = Lines(CalendarText(r));
    EXPECT_EQ(lines[1], QStringLiteral(u"　┌────┬────┬────┬────┬────┬────┬────┐"));
    EXPECT_EQ(lines[2], QStringLiteral(u"　│　日　　│　月　　│　火　　│　水　　│　木　　│　金　　│　土　　│"));
    EXPECT_EQ(lines[4], QStringLiteral(u"　│　　　　│　　　　│　　　　│１　　　│２　　　│３　　　│４　　　│"));
    EXPECT_EQ(lines.size(), 3 + 5 * 7 + 1);
}

TEST(CalendarTest, WeeksAndMonthLengths)
{
    auto weeks = [](int y, int m) {
        CalendarRequest r;
        r.year = y;
        r.month = m;
        return (Lines(CalendarText(r)).size() - 4) / 6;
    };
    EXPECT_EQ(weeks(2015, 2), 4);
    EXPECT_EQ(weeks(2025, 3), 6);
    EXPECT_EQ(weeks(2024, 5), 5);
    CalendarRequest r;
    r.year = 2025;
    r.month = 3;
    const QStringList march = Lines(CalendarText(r));
    EXPECT_EQ(march[4], QStringLiteral(u"　│　　　　│　　　　│　　　　│　　　　│　　　　│　　　　│１　　　│"));
    EXPECT_EQ(march[4 + 5 * 6], QStringLiteral(u"　│３０　　│３１　　│　　　　│　　　　│　　　　│　　　　│　　　　│"));
    EXPECT_EQ(MonthLength(2000, 2), 29);
    EXPECT_EQ(MonthLength(1900, 2), 28);
    EXPECT_EQ(MonthLength(2024, 2), 29);
    EXPECT_EQ(MonthLength(2023, 2), 28);
}

TEST(CalendarTest, FirstWeekdayMatchesQDateForYears1To9999)
{
    for (int y = 1; y <= 9999; ++y)
        for (int m = 1; m <= 12; ++m)
            ASSERT_EQ(FirstWeekday(y, m), QDate(y, m, 1).dayOfWeek() % 7 + 1) << y << "-" << m;
    EXPECT_GE(FirstWeekday(32767, 12), 1);
}

TEST(CalendarTest, EraTitles)
{
    const QList<EraEntry> eras = DefaultEras();
    const struct {
        int y, m;
        const char16_t* era;
    } cases[] = {
        {1989, 1, u"昭和64年 & 平成1年"}, {2024, 5, u"平成36年"},  {1868, 5, u"明治  以前"},
        {1926, 12, u"大正15年 & 昭和1年"}, {1926, 5, u"大正15年"}, {1989, 2, u"平成1年"},
        {1868, 9, u"明治1年"},             {1, 1, u"明治  以前"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EraText(eras, c.y, c.m), QString::fromUtf16(c.era)) << c.y << "-" << c.m;
    EXPECT_EQ(EraText({eras[0]}, 2024, 5), QString());  // one era only

    // An era that began on the 1st holds the whole month.
    QList<EraEntry> reiwa = eras;
    reiwa.append({QStringLiteral(u"令和"), "R", 2019, 5, 1});
    EXPECT_EQ(EraText(reiwa, 2019, 5), QStringLiteral(u"令和1年"));
    EXPECT_EQ(EraText(reiwa, 2019, 4), QStringLiteral(u"平成31年"));
    EXPECT_EQ(EraText(reiwa, 2024, 5), QStringLiteral(u"令和6年"));

    CalendarRequest r;
    r.year = 1989;
    r.month = 1;
    r.era = EraText(eras, 1989, 1);
    EXPECT_EQ(Lines(CalendarText(r))[0], QStringLiteral(u"　 1 / 1989  昭和64年 & 平成1年"));
}

}  // namespace
