#include "common/ToolTestFixture.h"

#include "core/AppState.h"
#include "core/ToolRegistry.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

void RegisterBoth(ToolRegistry& r)
{
    RegisterImagesToolCommands(r);
    RegisterImageListToolCommands(r);
}

class ImageTool : public test::ToolFolderTest {
protected:
    ImageTool() : ToolFolderTest(RegisterBoth, QStringLiteral("imgtool")) {}
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            new QGuiApplication(argc, argv);
    }
    void Picture(const QString& name, const QImage& image, const char* format = "png")
    {
        ASSERT_TRUE(QImageWriter(Path(name), format).write(image));
    }
    int RunOut(const QString& name, const QStringList& args)
    {
        testing::internal::CaptureStdout();
        const int rc = Run(name, args);
        out = QString::fromStdString(testing::internal::GetCapturedStdout());
        return rc;
    }
    QString out;
};

QImage ThreeByTwo()
{
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(10, 20, 31), qRgb(0, 0, 1), qRgb(0, 0, 2), qRgb(255, 0, 0), qRgb(0, 255, 0),
                            qRgb(0, 0, 255)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, colours[i]);
    return image;
}

TEST_F(ImageTool, ImageTurnsAndGreysInOrderThenSavesABitmap)
{
    Picture("a.png", ThreeByTwo());
    EXPECT_EQ(Run("image", {Path("a.png"), "--right", "--grey", "-o", Path("out.bmp")}), 0);
    const QImage out(Path("out.bmp"));
    ASSERT_EQ(out.size(), QSize(2, 3));
    EXPECT_EQ(out.pixel(1, 0), qRgb(20, 20, 20));  // (0, 0) turned right
    EXPECT_EQ(out.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(1, 2), qRgb(1, 1, 1));
    EXPECT_TRUE(Read("out.bmp").startsWith("BM"));

    // No operation: the picture as shown, not an empty one.
    EXPECT_EQ(Run("image", {Path("a.png"), "-o", Path("same.bmp")}), 0);
    EXPECT_EQ(QImage(Path("same.bmp")).pixel(2, 1), qRgb(0, 0, 255));
    // An existing output only with --force; the source never.
    EXPECT_EQ(Run("image", {Path("a.png"), "--left", "-o", Path("same.bmp")}), 1);
    EXPECT_EQ(QImage(Path("same.bmp")).size(), QSize(3, 2));
    EXPECT_EQ(Run("image", {Path("a.png"), "--left", "-o", Path("same.bmp"), "--force"}), 0);
    EXPECT_EQ(QImage(Path("same.bmp")).size(), QSize(2, 3));
    const QByteArray before = Read("a.png");
    EXPECT_EQ(Run("image", {Path("a.png"), "-o", dir.path() + "/./a.png", "--force"}), 1);
    EXPECT_EQ(Read("a.png"), before);
    // Not a picture.
    Write("t.jpg", "text");
    EXPECT_EQ(Run("image", {Path("t.jpg"), "-o", Path("t.bmp")}), 1);
    EXPECT_FALSE(QFile::exists(Path("t.bmp")));
    EXPECT_EQ(Run("image", {Path("a.png"), "--spin"}), 2);
}

TEST_F(ImageTool, AnalyseAndTextPicture)
{
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(255, 0, 0));
    two.setPixel(1, 0, qRgb(0, 0, 255));
    Picture("two.bmp", two, "bmp");
    EXPECT_EQ(Run("image-analyse", {Path("two.bmp"), "-o", Path("k.txt")}), 0);
    EXPECT_EQ(Read("k.txt"), QByteArray("ScaleMode,3\r\nImgSize, 2, 1\r\n\r\nPset,0,0,RGB,255,0,0\r\nPset,1,0,RGB,0,0,255\r\n"));
    EXPECT_EQ(Run("image-analyse", {Path("two.bmp"), "-o", Path("k.txt")}), 1);  // exists, no --force

    QImage black(348, 4, QImage::Format_RGB32);
    black.fill(Qt::black);
    Picture("black.png", black);
    const std::pair<const char*, int> widths[] = {{"123", 174}, {"124", 124}, {"360", 360}, {"361", 174}};
    for (const auto& [chars, n] : widths) {
        ASSERT_EQ(Run("image-text", {Path("black.png"), "--chars", chars, "-o", Path("t.txt"), "--force"}), 0);
        const QList<QByteArray> lines = Read("t.txt").split('\n');
        EXPECT_EQ(lines.value(0), QByteArray(n, 'M') + '\r') << chars;
    }
}

// The bounding box (mm) of the dark pixels on page 1 of a PDF, rendered at 10 dots per mm.
QRectF DarkBox(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {"-r", "254", "-gray", "-f", "1", "-l", "1", pdf});
    if (!p.waitForFinished(60000))
        return {};
    const QByteArray pgm = p.readAllStandardOutput();
    // P5\n<w> <h>\n255\n<data>
    const QList<QByteArray> head = pgm.left(64).split('\n');
    const QList<QByteArray> wh = head.value(1).split(' ');
    const int w = wh.value(0).toInt(), h = wh.value(1).toInt();
    const qsizetype start = pgm.size() - qsizetype(w) * h;
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (uchar(pgm[start + qsizetype(y) * w + x]) < 100) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? QRectF() : QRectF(left / 10.0, top / 10.0, (right + 1 - left) / 10.0, (bottom + 1 - top) / 10.0);
}

TEST_F(ImageTool, PrintPlacesThePictureOnThePaper)
{
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::black);
    Picture("pic.png", image);
    ASSERT_EQ(RunOut("image-print", {Path("pic.png"), "--paper", "3", "--fit", "width", "-o", Path("a5.pdf")}), 0);
    EXPECT_EQ(out, QStringLiteral("0 55.5 148 99\n"));
    ASSERT_EQ(RunOut("image-print", {Path("pic.png"), "--size", "500,10", "--fit", "height", "--landscape", "-o",
                                     Path("c.pdf")}),
              0);
    EXPECT_EQ(out, QStringLiteral("154.5 0 111 74\n"));  // 420 × 74: 74 × 300 / 200 = 111 wide, centred
    ASSERT_EQ(RunOut("image-print", {Path("pic.png"), "--paper", "5", "--fit", "height", "--margin", "10", "-o",
                                     Path("fit.pdf")}),
              0);
    EXPECT_EQ(out, QStringLiteral("-113 0 416 277\n"));  // 190 × 277 unswapped; 415.5 → 416; negative offset
    EXPECT_EQ(Run("image-print", {Path("pic.png"), "--paper", "7"}), 2);

    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm missing";
    const QRectF box = DarkBox(Path("a5.pdf"));
    EXPECT_NEAR(box.x(), 5, 0.5);
    EXPECT_NEAR(box.y(), 5 + 55.5, 0.5);
    EXPECT_NEAR(box.width(), 148, 0.5);
    EXPECT_NEAR(box.height(), 99, 0.5);
}

TEST_F(ImageTool, ImageListPrintsItsCellsAndCanvas)
{
    QDir().mkpath(Path("pics"));
    QImage p(640, 480, QImage::Format_RGB32);
    p.fill(Qt::red);
    Picture("pics/a.jpg", p, "jpg");
    Write("pics/b.jpg", "not a picture");
    ASSERT_EQ(RunOut("image-list", {Path("pics"), "--pattern", "*.jpg", "-o", Path("sheet.bmp")}), 0);
    EXPECT_EQ(out, QStringLiteral(u"対象ﾌｧｲﾙ数: 2\n 1 / 1 頁\n10,10,168,126\ta.jpg　 640 x 480\n202,10,0,0\tb.jpg\n"));
    EXPECT_EQ(QImage(Path("sheet.bmp")).size(), QSize(788, 780));
    EXPECT_EQ(Run("image-list", {Path("pics"), "--page", "2"}), 2);
    QDir().mkpath(Path("none"));
    EXPECT_EQ(Run("image-list", {Path("none")}), 1);

    EXPECT_EQ(Run("image-list-print", {Path("pics"), "--pattern", "*.jpg", "--fitted", "-o", Path("f.pdf")}), 0);
    EXPECT_TRUE(Read("f.pdf").startsWith("%PDF"));
    EXPECT_EQ(Run("image-list-print", {Path("pics"), "--pattern", "*.jpg", "--page", "1", "-o", Path("g.pdf")}), 0);
    EXPECT_TRUE(Read("g.pdf").startsWith("%PDF"));
    // Thumbnails without size: nothing written.
    EXPECT_EQ(Run("image-list-print", {Path("pics"), "--fitted", "--pattern", "*.jpg", "--margin", "100", "-o",
                                       Path("tiny.pdf")}),
              1);
    EXPECT_FALSE(QFile::exists(Path("tiny.pdf")));
    EXPECT_EQ(Run("image-list-print", {Path("pics")}), 2);
}

}  // namespace
