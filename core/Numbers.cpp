#include "core/Numbers.h"

#include "core/RuntimeError.h"

#include <cmath>
#include <limits>

namespace kolbran {

QString FormatCount(qint64 value)
{
    const bool negative = value < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    QString digits = QString::number(magnitude);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return negative ? u'-' + digits : digits;
}

QString StrNumber(qint64 value)
{
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

namespace {
QString StrWithDigits(double value, int digits)
{
    if (value == std::floor(value) && std::fabs(value) < std::pow(10.0, digits))
        return StrNumber(qint64(value));
    QString text = QString::number(std::fabs(value), 'g', digits);
    if (text.startsWith(QStringLiteral("0.")))
        text.remove(0, 1);
    text.replace(QStringLiteral("e+"), QStringLiteral("E+"));
    text.replace(QStringLiteral("e-"), QStringLiteral("E-"));
    return (value < 0 ? u'-' : u' ') + text;
}
}  // namespace

QString StrNumber(double value)
{
    return StrWithDigits(value, 15);
}

QString StrSingle(float value)
{
    // The shortest decimal of the single value, cut to 7 significant digits.
    return StrWithDigits(QString::number(value, 'g', 7).toDouble(), 7);
}

QString FormatFixed(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    // Half away from zero, with a guard against binary representation (2.345 stored as 2.34499…).
    const double scaled = std::round(value * scale * (1.0 + 1e-15));
    return QString::number(scaled / scale, 'f', decimals);
}

QString FormatPercent(double ratio)
{
    return FormatFixed(ratio * 100.0, 2) + QStringLiteral(" %");
}

QString ZeroPad(qint64 value, int digits)
{
    if (value < 0)
        return u'-' + QString::number(-value).rightJustified(digits, u'0');
    return QString::number(value).rightJustified(digits, u'0');
}

QString FormatLineNumber(qint64 value, int digits)
{
    return ZeroPad(value, digits) + u':';
}

qint64 RoundHalfEven(double value)
{
    const double r = std::nearbyint(value);  // default rounding mode: to nearest, ties to even
    return qint64(r);
}

qint64 IntFloor(double value)
{
    return qint64(std::floor(value));
}

double Val(QStringView text)
{
    // Collect the characters that matter, skipping blanks, tabs and line feeds.
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            s.append(c);
    qsizetype i = 0;
    if (s.size() >= 2 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        int base = 0;
        i = 2;
        if (kind == u'H')
            base = 16;
        else if (kind == u'O')
            base = 8;
        else if (kind.isDigit()) {
            base = 8;
            i = 1;
        }
        if (base == 0)
            return 0;
        quint64 v = 0;
        int n = 0;
        for (; i < s.size(); ++i) {
            const int d = QString(s[i]).toInt(nullptr, base == 16 ? 16 : 8);
            const bool ok = base == 16 ? s[i].isDigit() || (s[i].toUpper() >= u'A' && s[i].toUpper() <= u'F')
                                       : (s[i] >= u'0' && s[i] <= u'7');
            if (!ok)
                break;
            v = v * quint64(base) + quint64(d);
            ++n;
        }
        if (n == 0)
            return 0;
        // Up to 4 hex digits are a 16-bit integer, up to 8 a 32-bit one (so &HFFFF is -1).
        if (base == 16 && n <= 4)
            return double(qint16(quint16(v)));
        if ((base == 16 && n <= 8) || (base == 8 && v <= 0xFFFFFFFFull))
            return v <= 0xFFFF && base == 8 ? double(qint16(quint16(v))) : double(qint32(quint32(v)));
        return double(v);
    }
    QString number;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        number.append(s[i++]);
    bool digits = false, point = false;
    for (; i < s.size(); ++i) {
        if (s[i].isDigit() && s[i].unicode() < 0x80) {
            number.append(s[i]);
            digits = true;
        } else if (s[i] == u'.' && !point) {
            number.append(s[i]);
            point = true;
        } else
            break;
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i].toUpper() == u'E' || s[i].toUpper() == u'D')) {
        QString exponent = QStringLiteral("e");
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exponent.append(s[j++]);
        bool expDigits = false;
        for (; j < s.size() && s[j].isDigit() && s[j].unicode() < 0x80; ++j) {
            exponent.append(s[j]);
            expDigits = true;
        }
        if (expDigits)
            number.append(exponent);
    }
    return number.toDouble();
}

qint16 CheckInt16(double value)
{
    if (!(value >= -32768.0 && value <= 32767.0))
        throw RuntimeError(Err::Overflow);
    return qint16(value);
}

qint32 CheckInt32(double value)
{
    if (!(value >= -2147483648.0 && value <= 2147483647.0))
        throw RuntimeError(Err::Overflow);
    return qint32(value);
}

qint16 ToInt16(double value)
{
    return CheckInt16(double(RoundHalfEven(std::clamp(value, -1e18, 1e18))));
}

qint32 ToInt32(double value)
{
    return CheckInt32(double(RoundHalfEven(std::clamp(value, -1e18, 1e18))));
}

bool IsNumeric(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (t.size() >= 2 && t[0] == u'&') {
        const QChar kind = t[1].toUpper();
        if (kind != u'H' && kind != u'O')
            return false;
        if (t.size() == 2)
            return false;
        for (i = 2; i < t.size(); ++i) {
            const QChar c = t[i].toUpper();
            const bool ok = kind == u'H' ? isDigit(c) || (c >= u'A' && c <= u'F') : (c >= u'0' && c <= u'7');
            if (!ok)
                return false;
        }
        return true;
    }
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        if (isDigit(t[i]))
            digits = true;
        else if (t[i] == u'.' && !point)
            point = true;
        else
            break;
    }
    if (!digits)
        return false;
    if (i < t.size() && (t[i].toUpper() == u'E' || t[i].toUpper() == u'D')) {
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        bool exponentDigits = false;
        for (; i < t.size() && isDigit(t[i]); ++i)
            exponentDigits = true;
        if (!exponentDigits)
            return false;
    }
    return i == t.size();
}

}  // namespace kolbran
