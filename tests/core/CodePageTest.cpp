#include "core/CodePage.h"

#include <gtest/gtest.h>

using namespace kolbran;

TEST(CodePage, RoundTripsJapaneseText)
{
    const struct {
        QString text;
        QByteArray sjis;
    } cases[] = {
        {QStringLiteral("abc"), QByteArray("abc")},
        {QStringLiteral(u"あ"), QByteArray("\x82\xa0")},
        {QStringLiteral(u"ｱ"), QByteArray("\xb1")},
        {QStringLiteral(u"表示"), QByteArray("\x95\x5c\x8e\xa6")},
        {QStringLiteral(u"①"), QByteArray("\x87\x40")},  // NEC special characters of CP932
        {QStringLiteral(u"～"), QByteArray("\x81\x60")},  // FULLWIDTH TILDE as Windows maps it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToSjis(c.text), c.sjis) << c.text.toStdString();
        EXPECT_EQ(FromSjis(c.sjis), c.text) << c.text.toStdString();
        EXPECT_EQ(SjisLength(c.text), c.sjis.size()) << c.text.toStdString();
    }
}

TEST(CodePage, Utf16LittleEndian)
{
    const QByteArray bytes("\x42\x30\x61\x00", 4);
    EXPECT_EQ(FromUtf16Le(bytes), QStringLiteral(u"あa"));
    EXPECT_EQ(ToUtf16Le(QStringLiteral(u"あa")), bytes);
}

TEST(CodePage, UnmappableCharactersAndDamagedBytes)
{
    EXPECT_EQ(ToSjis(QStringLiteral(u"a한b")), QByteArray("a?b"));
    EXPECT_EQ(SjisLength(QStringLiteral(u"a한")), 2);
    // Control characters keep their bytes next to Japanese text too.
    const QString controls = QStringLiteral(u"あ\u001A\u001C\u007F");
    EXPECT_EQ(ToSjis(controls), QByteArray("\x82\xA0\x1A\x1C\x7F"));
    EXPECT_EQ(FromSjis(ToSjis(controls)), controls);
    // A character whose trail byte is FC next to one whose lead byte is FC stays as it is.
    const QString pair = QStringLiteral(u"◯") + FromSjis(QByteArray("\xFC\x40"));
    EXPECT_EQ(ToSjis(pair), QByteArray("\x81\xFC\xFC\x40"));
    // Half a surrogate pair is a character the code page lacks wherever it stands; at the
    // end of the text it vanished (and a CSV column measured one narrower).
    const QChar high(0xD83D), low(0xDE00);
    const struct {
        QString text;
        QByteArray sjis;
    } halves[] = {
        {QStringLiteral("a") + high, "a?"},
        {QStringLiteral("a") + high + u'b', "a?b"},
        {QString(low) + u'b', "?b"},
        {QStringLiteral(u"あ") + high, "\x82\xA0?"},
        {QStringLiteral(u"あ") + high + QChar(0x1A), "\x82\xA0?\x1A"},
        {QStringLiteral(u"あ") + high + low, "\x82\xA0?"},
    };
    for (const auto& c : halves) {
        EXPECT_EQ(ToSjis(c.text), c.sjis) << c.text.toStdString();
        EXPECT_EQ(SjisLength(c.text), c.sjis.size()) << c.text.toStdString();
    }

    const QChar bad = QChar::ReplacementCharacter;
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {QByteArray("\x82\xA0\x82", 3), QStringLiteral(u"あ") + bad},  // a lead byte cut at the end
        {QByteArray("\x82\x20", 2), QString(bad) + u' '},  // no trail byte: the blank is kept
        {QByteArray("\x85\x40z", 3), QString(bad) + u'z'},    // a pair that is no character
        {QByteArray("\x82\x7F\x1C", 3), QString(bad) + QChar(0x7F) + QChar(0x1C)},
        {QByteArray("\x1A\x82\xA0", 3), QStringLiteral(u"\u001Aあ")},  // a real 1A stays
        {QByteArray("a\x80z", 3), QStringLiteral("a") + bad + u'z'},
        {QByteArray("\xB1\xB2", 2), QStringLiteral(u"ｱｲ")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromSjis(c.bytes), c.text) << c.bytes.toHex().toStdString();
}
