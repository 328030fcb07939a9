#include "core/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {
QString SamplePath(const char* name)
{
    // The build names the source folder (compilers may be given relative paths, so __FILE__
    // does not say where the sources are).
    return QStringLiteral(KOLBRAN_SOURCE_DIR "/samples/") + QString::fromLatin1(name);
}
}  // namespace

TEST(Samples, TextIsShiftJisProseWithCrLf)
{
    QFile file(SamplePath("sample.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
    EXPECT_GE(bytes.count("\r\n"), 200);
    const QString text = FromSjis(bytes);
    EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(ToSjis(text), bytes);  // every character has its Shift_JIS form
    EXPECT_TRUE(text.contains(QStringLiteral(u"川沿いの町")));
}

TEST(Samples, PictureLoads)
{
    const QImage image(SamplePath("sample.bmp"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(160, 120));
}

TEST(Samples, DrawingFileIsShiftJisWithCrLf)
{
    QFile file(SamplePath("sample.byg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    const QString text = FromSjis(bytes);
    EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nScaleMode,6\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("END\r\n")));
}
