#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace kolbran {

// The display forms of numbers. No window formats a number by hand.

// "#,###,##0": 1234567 → "1,234,567", 0 → "0", -1234 → "-1,234".
QString FormatCount(qint64 value);
// The Str form: a leading blank for values ≥ 0, "-" otherwise; no leading zero before the
// decimal point (0.5 → " .5"); up to 15 significant digits.
QString StrNumber(double value);
QString StrNumber(qint64 value);
inline QString StrNumber(int value) { return StrNumber(qint64(value)); }
// The Str form of a single-precision value: up to 7 significant digits (0.1f → " .1").
QString StrSingle(float value);
// "0.00 %": the ratio × 100 with two decimals, a blank and "%" (0.1234 → "12.34 %").
QString FormatPercent(double ratio);
// "0000:": at least `digits` digits with leading zeros, then ":" (12 → "0012:", 123456 → "123456:").
QString FormatLineNumber(qint64 value, int digits = 4);
// At least `digits` digits with leading zeros, nothing appended.
QString ZeroPad(qint64 value, int digits);
// Fixed decimals with half away from zero as the Format function shows them (2.345 → "2.35").
QString FormatFixed(double value, int decimals);

// Conversion of a real value to an integer: nearest, halves to even (2.5 → 2, 3.5 → 4).
qint64 RoundHalfEven(double value);
// Int: the largest integer not above the value (-1.5 → -2).
qint64 IntFloor(double value);

// Val: the leading number of a text. Blanks, tabs and line feeds are skipped anywhere;
// an optional sign, digits with one decimal point, an E or D exponent; "&H" hex and "&O"
// octal integers. No number gives 0.
double Val(QStringView text);
// Whether the whole text is one number as Val reads it: blanks around it, an optional sign,
// digits with at most one decimal point, an optional E or D exponent; or "&H" hex and "&O"
// octal digits. An empty or blank text holds no number.
bool IsNumeric(QStringView text);

// 16-bit and 32-bit integer results; out of range throws RuntimeError 6 (overflow).
qint16 CheckInt16(double value);
qint32 CheckInt32(double value);
// The same after rounding half to even, as an assignment of a real to an integer does.
qint16 ToInt16(double value);
qint32 ToInt32(double value);

}  // namespace kolbran
