#pragma once

#include "core/ViewerSettings.h"

#include <QList>
#include <QString>

namespace kolbran {

// Days in month 1..12 of a year of the Gregorian calendar (extended back before 1582).
int MonthLength(int year, int month);
// The weekday of the first of the month, Sunday = 1 … Saturday = 7, for years 1..32767.
int FirstWeekday(int year, int month);

// The era text of the title ("平成36年", "昭和64年 & 平成1年", "明治  以前"), empty with
// fewer than two eras. A month in which an era began carries both era years, unless the
// era began on the 1st: the whole month is then in the new era.
QString EraText(const QList<EraEntry>& eras, int year, int month);

struct CalendarRequest {
    int year = 2024;      // 1..32767
    int month = 1;        // 1..12
    bool wide = true;     // cells four full-width characters wide ("４"), else three ("３")
    bool sixLines = false;  // six lines per week ("６"), else five
    QString era;          // appended to the title after two blanks when not empty
};

// The month as text, every line ending in CR LF.
QString CalendarText(const CalendarRequest& request);

}  // namespace kolbran
