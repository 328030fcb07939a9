#include "images/ImageBrowser.h"

#include "core/RuntimeError.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kolbran;

TEST(ImageBrowser, PixelUnderPointer)
{
    struct Case {
        float zoom;
        double x, y;
        int column, row;
    } cases[] = {
        {2.0f, 45, 0, 2, 1},   // three screen pixels into a picture shown twice its size
        {2.0f, 29, 30, 1, 2},
        {1.0f, 0, 0, 1, 1},    {1.0f, 15, 150, 2, 11},
        {0.5f, 15, 0, 3, 1},   // each screen pixel covers two picture pixels
        {0.7f, 15, 0, 2, 1},   {4.0f, 59, 60, 1, 2},
        {1.0f, -40, -40, 1, 1},  // never below the first pixel
    };
    for (const Case& c : cases) {
        const PixelPosition p = PixelUnderPointer(c.zoom, c.x, c.y);
        EXPECT_EQ(p.column, c.column) << c.zoom << " " << c.x;
        EXPECT_EQ(p.row, c.row) << c.zoom << " " << c.y;
    }
    EXPECT_TRUE(InsidePicture({4, 3}, QSize(4, 3)));
    EXPECT_FALSE(InsidePicture({5, 3}, QSize(4, 3)));
    EXPECT_FALSE(InsidePicture({1, 4}, QSize(4, 3)));
}

TEST(ImageBrowser, ColourInFourNotations)
{
    struct Case {
        uint32_t rgb;
        const char* decimal;
        const char* hex;
        const char* triple;
        const char* hexTriple;
    } cases[] = {
        {0xFF8000, "16744448", "FF8000", "255:128:0", "FF:80:00"},
        {0x000000, "0", "000000", "0:0:0", "00:00:00"},
        {0x0A0B0C, "658188", "0A0B0C", "10:11:12", "0A:0B:0C"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColourCode(c.rgb, ColourNotation::Decimal), QString::fromLatin1(c.decimal));
        EXPECT_EQ(ColourCode(c.rgb, ColourNotation::Hex), QString::fromLatin1(c.hex));
        EXPECT_EQ(ColourCode(c.rgb, ColourNotation::DecimalTriple), QString::fromLatin1(c.triple));
        EXPECT_EQ(ColourCode(c.rgb, ColourNotation::HexTriple), QString::fromLatin1(c.hexTriple));
    }
    EXPECT_EQ(ColourOf(qRgba(255, 128, 0, 10)), 0xFF8000u);
    ColourNotation n;
    EXPECT_TRUE(NotationOfKey(Qt::Key_F6, n));
    EXPECT_EQ(n, ColourNotation::DecimalTriple);
    EXPECT_FALSE(NotationOfKey(Qt::Key_F8, n));
}

TEST(ImageBrowser, ReadoutAndSizeTexts)
{
    EXPECT_EQ(PixelReadoutText({3, 12}, 0xFF8000), QStringLiteral(" 3 x 12  RGB:FF8000"));
    EXPECT_EQ(PictureSizeText(QSize(640, 480)), QStringLiteral(" 640 x 480"));
}

TEST(ImageBrowser, ZoomEntriesAndSizes)
{
    EXPECT_EQ(ZoomEntries(), (QStringList{QStringLiteral(u"非表示"), "0.5", "0.7", "1.0", "2.0", "3.0", "4.0"}));
    EXPECT_EQ(ZoomFactorOf(kNoPreview), 0.0f);
    EXPECT_EQ(ZoomFactorOf(QStringLiteral("0.7")), 0.7f);
    EXPECT_EQ(ZoomedSize(QSize(10, 5), 0.5f), QSize(5, 2));  // 2.5 rounds to even
    EXPECT_EQ(ZoomedSize(QSize(10, 7), 0.5f), QSize(5, 4));  // 3.5 too
    EXPECT_EQ(ZoomedSize(QSize(10, 5), 3.0f), QSize(30, 15));
    EXPECT_EQ(LimitTypeIndex(9, 6), 5);
    EXPECT_EQ(LimitTypeIndex(-1, 6), 0);
    EXPECT_EQ(FilePanelTypes().last(), QStringLiteral("*.*"));
    EXPECT_EQ(ImagePanelTypes().first(), QStringLiteral("*.bmp"));
}

TEST(ImageBrowser, ScrollBarsOnlyForLargerPictures)
{
    const QSize view(360, 300);
    const ScrollLayout small = ComputeScrollLayout(QSize(360, 300), view);
    EXPECT_FALSE(small.horizontal.visible);
    EXPECT_FALSE(small.vertical.visible);
    const ScrollLayout wide = ComputeScrollLayout(QSize(1000, 200), view);
    EXPECT_TRUE(wide.horizontal.visible);
    EXPECT_EQ(wide.horizontal.maximum, 640);
    EXPECT_FALSE(wide.vertical.visible);
    EXPECT_EQ(wide.vertical.maximum, 0);
}

TEST(ImageBrowser, KeyActsOncePerPress)
{
    KeyLatch latch;
    EXPECT_TRUE(latch.Press(Qt::Key_F5));
    EXPECT_FALSE(latch.Press(Qt::Key_F5));  // still held
    EXPECT_TRUE(latch.Press(Qt::Key_F4));   // another key is its own
    latch.Release(Qt::Key_F5);
    EXPECT_TRUE(latch.Press(Qt::Key_F5));
}

TEST(ImageBrowser, LoadPictureReportsWhyItFailed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    image.setPixel(2, 1, qRgb(255, 128, 0));
    const QString bmp = dir.filePath(QStringLiteral("p.bmp"));
    ASSERT_TRUE(image.save(bmp, "BMP"));
    const QImage loaded = LoadPicture(bmp);
    EXPECT_EQ(loaded.size(), QSize(3, 2));
    EXPECT_EQ(ColourOf(loaded.pixel(2, 1)), 0xFF8000u);

    const QString text = dir.filePath(QStringLiteral("not.bmp"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is no picture");
    f.close();
    const auto numberOf = [](const QString& path) {
        try {
            LoadPicture(path);
        } catch (const RuntimeError& e) {
            return e.Number();
        }
        return 0;
    };
    EXPECT_EQ(numberOf(text), 481);
    EXPECT_EQ(numberOf(dir.filePath(QStringLiteral("missing.bmp"))), 53);
}
