#include "generators/Calendar.h"

#include "core/Numbers.h"

namespace kolbran {

namespace {

bool IsLeapYear(int y)
{
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

}  // namespace

int MonthLength(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year))
        return 29;
    return kDays[(month - 1) % 12];
}

int FirstWeekday(int year, int month)
{
    // Zeller-style count on the proleptic Gregorian calendar, January and February
    // counted as months 13 and 14 of the year before.
    int m = month;
    qint64 y = year;
    if (m < 3) {
        m += 12;
        --y;
    }
    const qint64 k = y % 100;
    const qint64 j = y / 100;
    // h: 0 = Saturday, 1 = Sunday, … 6 = Friday
    const qint64 h = (1 + (13 * (m + 1)) / 5 + k + k / 4 + j / 4 + 5 * j) % 7;
    return int((h + 6) % 7) + 1;
}

QString EraText(const QList<EraEntry>& eras, int year, int month)
{
    const qsizetype count = eras.size();
    if (count < 2)
        return {};
    qsizetype i = 0;
    while (i < count && eras[i].year < year)
        ++i;
    auto name = [&](qsizetype k) {
        QString n = eras[k].name;
        while (n.endsWith(u' '))
            n.chop(1);
        return n;
    };
    auto years = [&](qsizetype k) { return QString::number(year - eras[k].year + 1); };
    const QString nen = QStringLiteral(u"年");
    if (i < count && eras[i].year == year && month >= eras[i].month) {
        // A month whose first day already lies in the new era shows that era alone.
        if (month > eras[i].month || i == 0 || eras[i].day <= 1)
            return name(i) + u'1' + nen;
        return name(i - 1) + years(i - 1) + nen + QStringLiteral(" & ") + name(i) + u'1' + nen;
    }
    if (i == 0)
        return eras[0].name.leftJustified(4, u' ') + QStringLiteral(u"以前");
    return name(i - 1) + years(i - 1) + nen;
}

QString CalendarText(const CalendarRequest& r)
{
    const QChar sp(0x3000);
    const QString crlf = QStringLiteral("\r\n");
    const int cw = r.wide ? 4 : 3;
    const QString bar = QString(cw, QChar(0x2500));
    auto rule = [&](QChar left, QChar mid, QChar right) {
        QString s = QString(sp) + left;
        for (int c = 0; c < 7; ++c)
            s += bar + (c < 6 ? mid : right);
        return s + crlf;
    };
    const QString emptyCell(cw, sp);
    const QString filler(cw - 2, sp);
    static const QString kDigits = QStringLiteral(u"０１２３４５６７８９");
    auto label = [&](int d) {
        if (d < 10)
            return QString(kDigits[d]) + sp;
        return QString(kDigits[d / 10]) + kDigits[d % 10];
    };
    QString blankLine = QString(sp);
    for (int c = 0; c < 7; ++c)
        blankLine += QChar(0x2502) + emptyCell;
    blankLine += QChar(0x2502) + crlf;

    QString text = QString(sp) + StrNumber(r.month) + QStringLiteral(" /") + StrNumber(r.year);
    if (!r.era.isEmpty())
        text += QStringLiteral("  ") + r.era;
    text += crlf;
    text += rule(QChar(0x250C), QChar(0x252C), QChar(0x2510));
    text += QString(sp);
    static const QString kDays = QStringLiteral(u"日月火水木金土");
    for (int c = 0; c < 7; ++c)
        text += QChar(0x2502) + QString(sp) + kDays[c] + QString(cw - 2, sp);
    text += QChar(0x2502) + crlf;

    const int first = FirstWeekday(r.year, r.month);
    const int n = MonthLength(r.year, r.month);
    int d = 1;
    for (int w = 1; w <= 6; ++w) {
        text += rule(QChar(0x251C), QChar(0x253C), QChar(0x2524));
        text += QString(sp);
        for (int c = 1; c <= 7; ++c) {
            text += QChar(0x2502);
            if (w == 1 && c < first) {
                text += emptyCell;
                continue;
            }
            text += d <= n ? label(d) + filler : emptyCell;
            ++d;
        }
        text += QChar(0x2502) + crlf;
        for (int k = 0; k < (r.sixLines ? 5 : 4); ++k)
            text += blankLine;
        if (d > n)
            break;
    }
    text += rule(QChar(0x2514), QChar(0x2534), QChar(0x2518));
    return text;
}

}  // namespace kolbran
