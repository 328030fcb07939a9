#include "core/CodePage.h"
#include "core/JapaneseCodes.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

QByteArray B(std::initializer_list<int> bytes)
{
    QByteArray b;
    for (int v : bytes)
        b.append(char(v));
    return b;
}

struct Vector {
    const char* name;
    int code;
    QByteArray input;
    QByteArray expected;
};

class ConverterVectors : public ::testing::TestWithParam<Vector> {};

TEST_P(ConverterVectors, Convert)
{
    const Vector& v = GetParam();
    EXPECT_EQ(ConvertWindow(v.code, v.input).toHex(' '), v.expected.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ConverterVectors,
    ::testing::Values(
        // EUC-JP
        Vector{"EucFirstKanji", 1, B({0xB0, 0xA1}), B({0x88, 0x9F})},
        Vector{"EucHiragana", 1, B({0xA4, 0xA2}), B({0x82, 0xA0})},
        Vector{"EucKana", 1, B({0x8E, 0xB1}), B({0xB1})},
        Vector{"EucStopsAtCr", 1, B({'a', 0x0D, 0x0A, 'b'}), B({'a', 0x0D, 0x0A})},
        Vector{"EucLoneCrAlsoEnds", 1, B({'a', 0x0D, 'b'}), B({'a', 0x0D, 0x0A})},
        Vector{"EucOddRowHighTrail", 1, B({0xB1, 0xE0}), B({0x89, 0x80})},
        Vector{"EucRow63AndAbove", 1, B({0xDF, 0xA1}), B({0xE0, 0x40})},
        Vector{"EucLastRow", 1, B({0xF4, 0xA6}), B({0xEA, 0xA4})},
        Vector{"EucLeadAtWindowEnd", 1, B({'a', 0xB0}), B({'a', 0x88})},
        // The trail is not checked: below the value subtracted, the absolute difference.
        Vector{"EucBadTrail", 1, B({0xB1, 0x21}), B({0x89, 0x40})},
        Vector{"EucOtherBytesCopied", 1, B({0x8F, 0x01, 0x7F, 'z'}), B({0x8F, 0x01, 0x7F, 'z'})},
        Vector{"EucSs2AtWindowEnd", 1, B({'a', 0x8E}), B({'a'})},
        // ISO-2022-JP
        Vector{"JisKanji", 2, B({0x1B, 0x24, 0x42, 0x30, 0x21, 0x1B, 0x28, 0x42}), B({0x88, 0x9F})},
        Vector{"JisHiragana", 2, B({0x1B, 0x24, 0x40, 0x24, 0x22}), B({0x82, 0xA0})},
        Vector{"JisOddRow", 2, B({0x1B, 0x24, 0x42, 0x31, 0x21, 0x31, 0x60}), B({0x89, 0x40, 0x89, 0x80})},
        Vector{"JisHighRows", 2, B({0x1B, 0x24, 0x42, 0x5F, 0x21}), B({0xE0, 0x40})},
        Vector{"JisKatakanaMode", 2, B({0x1B, 0x28, 0x49, 0x31, 0x5F, 0x60}), B({0xB1, 0xDF, 0x60})},
        Vector{"JisRomanMode", 2, B({0x1B, 0x24, 0x42, 0x1B, 0x28, 0x4A, 'A', 'B'}), B({'A', 'B'})},
        Vector{"JisCrEndsLine", 2, B({'a', 0x0D, 0x0A, 'b'}), B({'a', 0x0D, 0x0A})},
        Vector{"JisLfIsCopiedAndEndsLine", 2, B({'a', 0x0A, 'b'}), B({'a', 0x0A, 0x0D, 0x0A})},
        Vector{"JisUnknownEscapeIsDropped", 2, B({0x1B, 0x24, 0x41, 'a'}), B({'a'})},
        Vector{"JisEscapeAtWindowEnd", 2, B({'a', 0x1B, 0x24}), B({'a'})},
        Vector{"JisBadPairCopied", 2, B({0x1B, 0x24, 0x42, 0x30, 0x20}), B({0x30, 0x20})},
        // EBCDIK
        Vector{"EbcdikLetter", 3, B({0xC1}), B({'A'})},
        Vector{"EbcdikKana", 3, B({0x81}), B({0xB1})},
        Vector{"EbcdikPeriod", 3, B({0x4B}), B({'.'})},
        Vector{"EbcdikUnknown", 3, B({0x3C}), B({'?'})},
        Vector{"EbcdikDigitsAndCrLf", 3, B({0xF1, 0xF2, 0x0D, 0x0A, 0xC2}), B({'1', '2', 0x0D, 0x0A, 'B'})},
        Vector{"EbcdikDoubleByteSection", 3, B({0x0A, 0x42, 0xB0, 0xA1, 0x40, 0x0A, 0x41, 0xC1}),
               B({0x88, 0x9F, 0x20, 'A'})},
        Vector{"EbcdikDoubleLeadAtEnd", 3, B({0x0A, 0x42, 0xB0}), B({0x88})},
        // Correction
        Vector{"CorrectLone80", 9, B({0x80}), B({'?'})},
        Vector{"CorrectKeepsPair", 9, B({0x82, 0xA0}), B({0x82, 0xA0})},
        Vector{"CorrectLeadBeforeCr", 9, B({0x82, 0x0D}), B({0x82, '?'})},
        Vector{"CorrectControls", 9, B({0x00, 0x09, 0x1F, 0x7F, 0xEB, 0xFF, 0x0A}), B({'?', '?', '?', '?', '?', '?', 0x0A})},
        Vector{"CorrectKanaAndAscii", 9, B({0xA0, 0xB1, 0xDF, ' ', '~'}), B({0xA0, 0xB1, 0xDF, ' ', '~'})},
        Vector{"CorrectBadTrail", 9, B({0xE0, 0x3F, 0x81, 0xFD}), B({0xE0, '?', 0x81, '?'})},
        // After a CR the next byte is kept unexamined.
        Vector{"CorrectAfterCr", 9, B({0x0D, 0x80, 0x80, 0x0D, 0x0A}), B({0x0D, 0x80, '?', 0x0D, 0x0A})},
        Vector{"StandardUnchanged", 0, B({0x80, 0x0D}), B({0x80, 0x0D})}),
    [](const ::testing::TestParamInfo<Vector>& info) { return std::string(info.param.name); });

// Japanese text of JIS X 0208 (both kanji levels, kana, full-width Latin, symbols).
const QString kSample = QStringLiteral(u"日本語のテキスト、漢字とかな。ＡＢＣ１２３ abc 蓮瑤凜 「」・ー");

TEST(JapaneseCodes, EucJpLineRoundTripsToShiftJis)
{
    QStringEncoder euc("EUC-JP");
    ASSERT_TRUE(euc.isValid());
    const QString text = kSample + QStringLiteral(u"ｱｲｳｴｵﾞﾟ");
    const QByteArray input = euc.encode(text) + "\r\nnext line";
    EXPECT_EQ(ConvertEucJp(input), ToSjis(text) + "\r\n");
    EXPECT_EQ(FromSjis(ConvertEucJp(input)), text + QStringLiteral("\r\n"));
}

TEST(JapaneseCodes, Iso2022JpLineRoundTripsToShiftJis)
{
    QStringEncoder jis("ISO-2022-JP");
    ASSERT_TRUE(jis.isValid());
    const QString text = QStringLiteral("Text: ") + kSample;
    const QByteArray encoded = jis.encode(text);
    ASSERT_TRUE(encoded.contains("\x1b$B"));
    const QByteArray input = encoded + "\r\n" + jis.encode(QStringLiteral(u"次の行"));
    EXPECT_EQ(FromSjis(ConvertIso2022Jp(input)), text + QStringLiteral("\r\n"));
}

TEST(JapaneseCodes, EveryRowAndCellOfEucJpMatchesShiftJis)
{
    // All 94 × 94 two-byte positions against the code page's own mapping of the same
    // characters, where the platform maps both the same way.
    QStringEncoder toEuc("EUC-JP");
    int compared = 0;
    // Rows 16..84 hold the two kanji levels, mapped alike by every table.
    for (int row = 16; row <= 84; ++row)
        for (int cell = 1; cell <= 94; ++cell) {
            const QByteArray euc = B({0xA0 + row, 0xA0 + cell});
            const QByteArray sjis = ConvertEucJp(euc);
            ASSERT_EQ(sjis.size(), 2);
            const QString fromSjis = FromSjis(sjis);
            if (fromSjis.size() != 1 || fromSjis[0] == QChar::ReplacementCharacter)
                continue;
            const QByteArray back = toEuc.encode(fromSjis);
            if (back.size() != 2 || static_cast<uint8_t>(back[0]) < 0xA1)
                continue;
            EXPECT_EQ(back.toHex(), euc.toHex()) << row << " " << cell;
            ++compared;
        }
    EXPECT_GT(compared, 6000);
    EXPECT_EQ(ConvertEucJp(B({0xA4, 0xA2, 0xA5, 0xA2, 0xA3, 0xC1})), ToSjis(QStringLiteral(u"あアＡ")));
}

TEST(JapaneseCodes, EbcdikTables)
{
    const EbcdikTableType& display = EbcdikTable(3);
    EXPECT_EQ(display[0x00], 0x20);
    EXPECT_EQ(display[0x0D], 0x0D);
    EXPECT_EQ(display[0x5B], 0x5C);
    EXPECT_EQ(display[0xA1], 0x7E);
    EXPECT_EQ(display[0xFF], 0x3F);
    const EbcdikTableType& binary = EbcdikTable(4);
    for (int b = 0; b < 256; ++b) {
        const bool control = (b <= 0x02) || (b >= 0x09 && b <= 0x11);
        const uint8_t expected = (display[size_t(b)] == 0x3F || control) ? 0x2E : display[size_t(b)];
        EXPECT_EQ(binary[size_t(b)], expected) << b;
    }
    EXPECT_EQ(binary[0x12], 0x20);
    EXPECT_EQ(binary[0xC1], 'A');
}

TEST(JapaneseCodes, CorrectionKeepsValidShiftJisText)
{
    // Leads 81..9F and E0..EA: the characters of JIS X 0208.
    const QByteArray sjis = ToSjis(QStringLiteral(u"日本語のテキスト、漢字とかな。ＡＢＣ１２３ abc ｱｲｳ 蓮\r\n"));
    EXPECT_EQ(CorrectSjis(sjis), sjis);
}

TEST(JapaneseCodes, ConvertersNeverStopOnArbitraryBytes)
{
    QByteArray all;
    for (int i = 0; i < 4096; ++i)
        all.append(char((i * 37 + 11) & 0xFF));
    for (int code : {3, 9}) {
        const QByteArray out = ConvertWindow(code, all);
        EXPECT_GT(out.size(), 3000) << code;
    }
    const QByteArray noCr = QByteArray(all).replace('\r', 'x').replace('\n', 'y');
    EXPECT_GT(ConvertWindow(1, noCr).size(), 2000);
    EXPECT_GT(ConvertWindow(2, noCr).size(), 2000);
}

TEST(JapaneseCodes, NamesAndCaptions)
{
    const std::vector<std::tuple<int, QString, QString>> cases{
        {0, QStringLiteral(u"標準(&0)"), QString()},
        {1, QStringLiteral(u"日本語１(&1)"), QStringLiteral(u"日本語１")},
        {2, QStringLiteral(u"日本語２(&2)"), QStringLiteral(u"日本語２")},
        {3, QStringLiteral(u"EBCDIKｺｰﾄﾞ(&3)"), QStringLiteral(u"EBCDIKｺｰﾄﾞ")},
        {9, QStringLiteral(u"不正ﾃﾞｰﾀ補正(&9)"), QStringLiteral(u"不正ﾃﾞｰﾀ補正")}};
    for (const auto& [code, caption, name] : cases) {
        EXPECT_EQ(DisplayCodeCaption(code), caption);
        EXPECT_EQ(DisplayCodeName(code), name);
        EXPECT_TRUE(IsDisplayCode(code));
    }
    EXPECT_EQ(DisplayCodeName(0, true), QStringLiteral("Unicode"));
    EXPECT_FALSE(IsDisplayCode(4));
}

}  // namespace
