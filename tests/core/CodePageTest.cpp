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
