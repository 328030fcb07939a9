#include "generators/ImageList.h"

#include "core/PaintJob.h"
#include "images/PdfOptions.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class ImageList : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            new QGuiApplication(argc, argv);
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Picture(const QString& name, int w, int h, const char* format = "png")
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(qRgb(200, 30, 30));
        ASSERT_TRUE(QImageWriter(Path(name), format).write(image));
    }
    void Text(const QString& name)
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
    }
    QTemporaryDir dir;
};

TEST_F(ImageList, ThumbnailSizesAndTexts)
{
    const std::pair<QSize, QSize> sizes[] = {{{640, 480}, {168, 126}}, {{300, 600}, {84, 168}},
                                             {{16, 5}, {168, 52}},     {{100, 100}, {168, 168}},
                                             {{1, 1000}, {0, 168}}};
    for (const auto& [natural, shown] : sizes)
        EXPECT_EQ(ThumbnailSize(natural), shown) << natural.width() << "x" << natural.height();
    EXPECT_EQ(ImageListCaption(QStringLiteral("a.jpg"), 640, 480), QStringLiteral(u"a.jpg　 640 x 480"));
    EXPECT_EQ(ImageListPageText(1, 3), QStringLiteral(u" 1 / 3 頁"));
    EXPECT_EQ(ImageListCountText(17), QStringLiteral(u"対象ﾌｧｲﾙ数: 17"));
    EXPECT_EQ(ImageListPageCount(0), 0);
    EXPECT_EQ(ImageListPageCount(16), 1);
    EXPECT_EQ(ImageListPageCount(17), 2);
    // Stored values out of range.
    EXPECT_EQ(ImageListPatternIndex(3), 3);
    EXPECT_EQ(ImageListPatternIndex(4), 0);
    EXPECT_EQ(ImageListPatternIndex(-1), 0);
    EXPECT_EQ(ImageListPrintValueOf(0), 0);
    EXPECT_EQ(ImageListPrintValueOf(8), 4);
    EXPECT_EQ(ImageListPrintValueOf(-1), 4);
}

TEST_F(ImageList, CellsUnderThePointerAndTheSelectionSquare)
{
    struct Case {
        QPoint at;
        int page, count, index;
    } cases[] = {
        {{10, 10}, 1, 16, 0},   {{178, 178}, 1, 16, 0}, {{179, 10}, 1, 16, -1}, {{9, 10}, 1, 16, -1},
        {{202, 10}, 1, 16, 1},  {{10, 198}, 1, 16, 4},  {{600, 600}, 1, 16, 15}, {{10, 10}, 2, 17, 16},
        {{202, 10}, 2, 17, -1}, {{202, 10}, 1, 1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImageListCellAt(c.at, c.page, c.count), c.index) << c.at.x() << "," << c.at.y();
    EXPECT_EQ(ImageListSelectionSquare(5, 1), QRect(QPoint(200, 196), QPoint(364, 360)));
    EXPECT_EQ(ImageListSelectionSquare(16, 2), QRect(QPoint(8, 8), QPoint(172, 172)));
}

TEST_F(ImageList, PagesOfSixteenWithCaptionsUnderThePictures)
{
    Picture("a00.jpg", 640, 480, "jpg");
    Picture("a01.png", 300, 600);
    Text("a02.jpg");
    for (int i = 3; i < 17; ++i)
        Picture(QStringLiteral("a%1.png").arg(i, 2, 10, QChar(u'0')), 16, 5);
    const QStringList names = ImageListFiles(dir.path(), QStringLiteral("*.*"));
    ASSERT_EQ(names.size(), 17);

    QImage canvas(kListCanvasWidth, kListCanvasHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    int steps = 0;
    const QList<ListCell> one = DrawListPage(painter, dir.path(), names, 1, [&] { ++steps; return true; });
    ASSERT_EQ(one.size(), 16);
    EXPECT_EQ(steps, 16);
    EXPECT_EQ(one[0].picture, QRectF(10, 10, 168, 126));
    EXPECT_EQ(one[0].captionAt, QPointF(10, 136));
    EXPECT_EQ(one[0].caption, QStringLiteral(u"a00.jpg　 640 x 480"));
    EXPECT_EQ(one[1].picture, QRectF(202, 10, 84, 168));
    EXPECT_TRUE(one[2].picture.isNull());  // not a picture: the name alone, right at the cell
    EXPECT_EQ(one[2].caption, QStringLiteral("a02.jpg"));
    EXPECT_EQ(one[2].captionAt, QPointF(394, 10));
    EXPECT_EQ(one[4].picture, QRectF(10, 198, 168, 52));
    EXPECT_EQ(one[15].picture.topLeft(), QPointF(586, 574));
    EXPECT_EQ(canvas.pixel(210, 20), qRgb(200, 30, 30));  // the PNG's colour, drawn in its cell
    EXPECT_EQ(canvas.pixel(300, 20), qRgb(255, 255, 255));

    const QList<ListCell> two = DrawListPage(painter, dir.path(), names, 2);
    ASSERT_EQ(two.size(), 1);
    EXPECT_EQ(two[0].picture.topLeft(), QPointF(10, 10));
    EXPECT_TRUE(DrawListPage(painter, dir.path(), names, 3).isEmpty());  // past the list
    // A stop ends the page at once.
    EXPECT_EQ(DrawListPage(painter, dir.path(), names, 1, [] { return false; }).size(), 0);
}

TEST_F(ImageList, FittedGridOnBothOrientations)
{
    const FittedLayout p = ComputeFittedLayout({200, 287}, 4);
    EXPECT_EQ(p.cell, 50);
    EXPECT_EQ(p.thumbnail, 45);
    EXPECT_DOUBLE_EQ(p.x0, 3.5);
    EXPECT_DOUBLE_EQ(p.y0, 1);
    EXPECT_EQ(p.columnStep, 50);
    EXPECT_EQ(p.rowStep, 49);
    const FittedLayout l = ComputeFittedLayout({287, 200}, 4);
    EXPECT_DOUBLE_EQ(l.x0, 1);
    EXPECT_DOUBLE_EQ(l.y0, 3.5);
    EXPECT_EQ(l.columnStep, 49);
    EXPECT_EQ(l.rowStep, 50);
    // 0 counts as 4.
    EXPECT_EQ(ComputeFittedLayout({200, 287}, 0).cell, 50);
}

int PdfPages(const QByteArray& pdf)
{
    return int(pdf.count(QByteArray("/Type /Page\n")) + pdf.count(QByteArray("/Type /Page\r")) +
               pdf.count(QByteArray("/Type /Page ")) + pdf.count(QByteArray("/Type /Page>")));
}

TEST_F(ImageList, FittedPrintTwentyAPageThenANewPage)
{
    Picture("p00.png", 40, 20);
    Text("p01.png");
    for (int i = 2; i < 21; ++i)
        Picture(QStringLiteral("p%1.png").arg(i, 2, 10, QChar(u'0')), 10, 20);
    const QStringList names = ImageListFiles(dir.path(), QStringLiteral("*.png"));
    ASSERT_EQ(names.size(), 21);

    for (const bool landscape : {false, true}) {
        PdfPageOptions options;
        options.landscape = landscape;
        const QString out = Path(landscape ? "l.pdf" : "p.pdf");
        QList<ListCell> cells;
        {
            PdfJob job(out, PdfChoiceOf(options, 300));
            ASSERT_EQ(PrintFittedList(job.Painter(), job.Device(), dir.path(), names, 4, &cells),
                      FittedResult::Printed);
            job.Commit();
        }
        ASSERT_EQ(cells.size(), 21);
        EXPECT_EQ(cells[19].page, 1);
        EXPECT_EQ(cells[20].page, 2);
        EXPECT_EQ(cells[20].captionAt, landscape ? QPointF(1, 3.5 + 45) : QPointF(3.5, 1 + 45));
        EXPECT_EQ(cells[1].caption, QStringLiteral(u"p01.png　 0 x 0"));
        EXPECT_EQ(cells[1].captionAt, landscape ? QPointF(50, 3.5) : QPointF(53.5, 1));
        // 40 × 20: thumbnail wide; 10 × 20: thumbnail high.
        EXPECT_EQ(cells[0].picture.size(), QSizeF(45, 22.5));
        EXPECT_EQ(cells[2].picture.size(), QSizeF(22.5, 45));
        if (landscape) {
            EXPECT_EQ(cells[5].picture.topLeft(), QPointF(1, 53.5));  // five columns 49 apart
            EXPECT_EQ(cells[4].picture.topLeft(), QPointF(197, 3.5));
        } else {
            EXPECT_EQ(cells[4].picture.topLeft(), QPointF(3.5, 50));  // four columns 50 apart
            EXPECT_EQ(cells[19].picture.topLeft(), QPointF(153.5, 197));
        }
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(PdfPages(f.readAll()), 2);
    }
}

TEST_F(ImageList, FittedPrintRefusesThumbnailsWithoutSize)
{
    Picture("p.png", 4, 4);
    PdfPageOptions options;
    options.marginMm = 100;  // 10 × 97 mm printable: cell 2, thumbnail −3
    PdfJob job(Path("tiny.pdf"), PdfChoiceOf(options, 300));
    EXPECT_EQ(PrintFittedList(job.Painter(), job.Device(), dir.path(), {QStringLiteral("p.png")}, 4),
              FittedResult::TooSmall);
    // Seven a side on the same area still fits nothing; a stop ends the run.
    EXPECT_EQ(PrintFittedList(job.Painter(), job.Device(), dir.path(), {QStringLiteral("p.png")}, 7),
              FittedResult::TooSmall);
    job.Discard();
    EXPECT_FALSE(QFile::exists(Path("tiny.pdf")));
    PdfJob other(Path("stop.pdf"), PdfChoiceOf(PdfPageOptions(), 300));
    EXPECT_EQ(PrintFittedList(other.Painter(), other.Device(), dir.path(), {QStringLiteral("p.png")}, 4, nullptr,
                              [] { return false; }),
              FittedResult::Stopped);
}

}  // namespace
