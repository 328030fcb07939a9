#include "core/Numbers.h"
#include "core/RuntimeError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kolbran;

TEST(Numbers, FormatCount)
{
    const struct {
        qint64 value;
        const char* text;
    } cases[] = {{0, "0"},        {7, "7"},          {999, "999"},         {1000, "1,000"},
                 {1234567, "1,234,567"}, {-1234, "-1,234"}, {-999, "-999"},
                 {std::numeric_limits<qint64>::min(), "-9,223,372,036,854,775,808"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatCount(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(Numbers, StrFormHasALeadingBlank)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{0, " 0"},        {53, " 53"},       {-5, "-5"},         {0.5, " .5"},
                 {-0.25, "-.25"}, {10.5, " 10.5"},   {1e20, " 1E+20"},   {1.5e-7, " 1.5E-07"},
                 {1.0 / 3, " .333333333333333"}};
    for (const auto& c : cases)
        EXPECT_EQ(StrNumber(c.value), QString::fromLatin1(c.text)) << c.value;
    EXPECT_EQ(StrNumber(qint64(-32768)), QStringLiteral("-32768"));
    EXPECT_EQ(StrNumber(12), QStringLiteral(" 12"));
    // Single-precision values show their 7 significant digits.
    const struct {
        float value;
        const char* text;
    } singles[] = {{0.1f, " .1"}, {9.75f, " 9.75"}, {10.5f, " 10.5"}, {-1.2f, "-1.2"}, {3.0f, " 3"},
                   {1.0f / 3, " .3333333"}};
    for (const auto& c : singles)
        EXPECT_EQ(StrSingle(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(Numbers, PercentAndFixedAndLineNumbers)
{
    EXPECT_EQ(FormatPercent(0.1234), QStringLiteral("12.34 %"));
    EXPECT_EQ(FormatPercent(1), QStringLiteral("100.00 %"));
    EXPECT_EQ(FormatPercent(0), QStringLiteral("0.00 %"));
    EXPECT_EQ(FormatPercent(0.125), QStringLiteral("12.50 %"));
    EXPECT_EQ(FormatPercent(0.00005), QStringLiteral("0.01 %"));  // the format rounds half up
    EXPECT_EQ(FormatFixed(2.345, 2), QStringLiteral("2.35"));
    EXPECT_EQ(FormatFixed(-2.5, 0), QStringLiteral("-3"));
    EXPECT_EQ(FormatLineNumber(12), QStringLiteral("0012:"));
    EXPECT_EQ(FormatLineNumber(123456), QStringLiteral("123456:"));
    EXPECT_EQ(FormatLineNumber(7, 6), QStringLiteral("000007:"));
    EXPECT_EQ(ZeroPad(5, 3), QStringLiteral("005"));
    EXPECT_EQ(ZeroPad(-5, 3), QStringLiteral("-005"));
}

TEST(Numbers, RoundingHalfToEvenAndInt)
{
    const struct {
        double value;
        qint64 rounded;
        qint64 floor;
    } cases[] = {{2.5, 2, 2},   {3.5, 4, 3},   {-2.5, -2, -3}, {-3.5, -4, -4}, {0.5, 0, 0},
                 {1.5, 2, 1},   {2.4999, 2, 2}, {2.5001, 3, 2}, {-1.5, -2, -2}, {7, 7, 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
        EXPECT_EQ(IntFloor(c.value), c.floor) << c.value;
    }
}

TEST(Numbers, ValReadsTheLeadingNumber)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"10mm", 10},      {"  12 34 ", 1234}, {"-1.5", -1.5},   {"+3", 3},      {".5", 0.5},
        {"1.2.3", 1.2},    {"1e3", 1000},      {"2D2", 200},     {"1.5E-1", 0.15}, {"1e", 1},
        {"abc", 0},        {"", 0},            {"-", 0},         {"&HFF", 255},  {"&hff", 255},
        {"&HFFFF", -1},    {"&H7FFF", 32767},  {"&H10000", 65536}, {"&O17", 15}, {"&17", 15},
        {"&Hxyz", 0},      {"\t7\n", 7},       {"１２", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(Numbers, IsNumericTakesOnlyAWholeNumber)
{
    const struct {
        const char* text;
        bool numeric;
    } cases[] = {
        {"72", true},    {" 5 ", true},   {"-1.5", true}, {"+3", true},    {".5", true},
        {"5.", true},    {"1E+08", true}, {"2d2", true},  {"&HFF", true},  {"&o17", true},
        {"", false},     {"  ", false},   {"abc", false}, {"10mm", false}, {"1.2.3", false},
        {"1e", false},   {"-", false},    {".", false},   {"&H", false},   {"&O8", false},
        {"1 2", false},  {"１２", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNumeric(QString::fromUtf8(c.text)), c.numeric) << c.text;
}

TEST(Numbers, IntegerRangesOverflowAsError6)
{
    const struct {
        double value;
        bool fits16;
        bool fits32;
    } cases[] = {
        {32767, true, true},        {-32768, true, true},       {32768, false, true},
        {-32769, false, true},      {2147483647.0, false, true}, {2147483648.0, false, false},
        {-2147483648.0, false, true}, {std::nan(""), false, false}, {1e300, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        if (c.fits16)
            EXPECT_EQ(CheckInt16(c.value), qint16(c.value));
        else
            EXPECT_THROW(CheckInt16(c.value), RuntimeError);
        if (c.fits32)
            EXPECT_EQ(CheckInt32(c.value), qint32(c.value));
        else
            EXPECT_THROW(CheckInt32(c.value), RuntimeError);
    }
    try {
        ToInt16(32767.5);  // rounds to 32768
        ADD_FAILURE();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), Err::Overflow);
    }
    EXPECT_EQ(ToInt16(32766.5), 32766);
    EXPECT_EQ(ToInt32(-2.5), -2);
}
