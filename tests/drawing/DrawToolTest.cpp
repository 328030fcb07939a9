#include "common/ToolTestFixture.h"
#include "core/ToolRegistry.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRect>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class DrawToolTest : public test::ToolFolderTest {
protected:
    DrawToolTest() : ToolFolderTest(RegisterDrawingToolCommands, QStringLiteral("drawtool")) {}

    void WriteDrawing(const QString& name, const QStringList& lines)
    {
        Write(name, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    }
    // The page rendered at 254 dpi (10 pixels a millimetre) and the box around its ink.
    QRect InkBox(const QString& pdf, QSize* pageSize = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-gray"),
                                            QStringLiteral("-singlefile"), Path(pdf), Path(QStringLiteral("page"))});
        if (!p.waitForFinished(120000) || p.exitCode() != 0)
            return QRect(-1, -1, 0, 0);
        const QImage page(Path(QStringLiteral("page.pgm")));
        if (pageSize)
            *pageSize = page.size();
        QRect box;
        for (int y = 0; y < page.height(); ++y) {
            const uchar* row = page.constScanLine(y);
            for (int x = 0; x < page.width(); ++x)
                if (row[x] < 160)
                    box |= QRect(x, y, 1, 1);
        }
        return box;
    }
    int Pages(const QString& pdf)
    {
        QProcess p;
        p.start(QStringLiteral("pdfinfo"), {Path(pdf)});
        p.waitForFinished(60000);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        for (const QString& line : out.split(u'\n'))
            if (line.startsWith(QLatin1String("Pages:")))
                return line.mid(6).trimmed().toInt();
        return -1;
    }
};

TEST_F(DrawToolTest, PrintsAtTrueScaleFromThePrintableCorner)
{
    struct Case {
        QStringList drawing;
        QRect expected;  // pixels at 10 a millimetre
    };
    const Case cases[] = {
        // A 10 mm square at 10 mm from the printable area, which starts 5 mm in.
        {{"ScaleMode,6", "DrawWidth,12", "Line,10,10,20,20,0,B"}, QRect(QPoint(150, 150), QPoint(250, 250))},
        // A 1 × 1 box in centimetres is 1 cm.
        {{"ScaleMode,7", "DrawWidth,12", "Line,0,0,1,1,0,B"}, QRect(QPoint(50, 50), QPoint(150, 150))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drawing.join(u'|').toStdString());
        WriteDrawing(QStringLiteral("map.byg"), c.drawing);
        ASSERT_EQ(Run(QStringLiteral("draw-print"), {Path("map.byg"), QStringLiteral("--force")}), 0);
        QSize page;
        const QRect box = InkBox(QStringLiteral("map.pdf"), &page);
        EXPECT_NEAR(page.width(), 2100, 2);  // A4
        EXPECT_NEAR(box.left(), c.expected.left(), 3);
        EXPECT_NEAR(box.top(), c.expected.top(), 3);
        EXPECT_NEAR(box.right(), c.expected.right(), 3);
        EXPECT_NEAR(box.bottom(), c.expected.bottom(), 3);
        EXPECT_EQ(Pages(QStringLiteral("map.pdf")), 1);
    }
}

TEST_F(DrawToolTest, PrintOptionsAndAFailedRunKeepsThePageSoFar)
{
    WriteDrawing(QStringLiteral("a.b.byg"), {"ScaleMode,6", "DrawWidth,12", "Line,0,0,10,10,0,BF",
                                             "Pset,1E+39,0,0", "Line,50,50,60,60,0,BF"});
    ASSERT_EQ(Run(QStringLiteral("draw-print"), {Path("a.b.byg"), QStringLiteral("--margin"), QStringLiteral("10"),
                                                 QStringLiteral("--landscape"), QStringLiteral("--dpi"),
                                                 QStringLiteral("600")}),
              1);
    QSize page;
    const QRect box = InkBox(QStringLiteral("a.pdf"), &page);  // the name up to its first "."
    EXPECT_NEAR(page.width(), 2970, 2);
    EXPECT_NEAR(box.left(), 100, 3);
    EXPECT_NEAR(box.right(), 200, 3);  // only the first box
    // An existing output is refused without --force.
    EXPECT_EQ(Run(QStringLiteral("draw-print"), {Path("a.b.byg")}), 1);
    EXPECT_EQ(Run(QStringLiteral("draw-print"), {Path("a.b.byg"), QStringLiteral("--paper"), QStringLiteral("A5")}), 2);
}

TEST_F(DrawToolTest, DrawSavesThePictureAsTheWindowWould)
{
    WriteDrawing(QStringLiteral("pic.byg"),
                 {"ScaleMode,3", "Set,Input,$01,x", "Pset,$01,5,12", "Pset,7,7,RGB,0,0,255"});
    ASSERT_EQ(Run(QStringLiteral("draw"), {Path("pic.byg"), QStringLiteral("--input"), QStringLiteral("3"),
                                           QStringLiteral("--screen"), QStringLiteral("300x200")}),
              0);
    const QImage saved(Path("XXXXXX.BMP"), "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(300, 1580));
    EXPECT_EQ(saved.pixel(3, 5) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(saved.pixel(7, 7) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(saved.pixel(4, 4) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Read("XXXXXX.BMP").left(2), QByteArray("BM"));
    // The existing file is refused without --force, replaced with it; PNG on request.
    EXPECT_EQ(Run(QStringLiteral("draw"), {Path("pic.byg")}), 1);
    EXPECT_EQ(Run(QStringLiteral("draw"), {Path("pic.byg"), QStringLiteral("-o"), Path("out.png"),
                                           QStringLiteral("--png")}),
              0);
    EXPECT_EQ(Read("out.png").mid(1, 3), QByteArray("PNG"));
    // The document itself is never written over, even with --force.
    EXPECT_EQ(Run(QStringLiteral("draw"), {Path("pic.byg"), QStringLiteral("-o"), Path("pic.byg"),
                                           QStringLiteral("--force")}),
              1);
    EXPECT_EQ(Read("pic.byg").left(11), QByteArray("ScaleMode,3"));
}

TEST_F(DrawToolTest, FailuresAndUsage)
{
    WriteDrawing(QStringLiteral("bad.byg"), {"Pset,0,0,0", "Image,nothing.bmp,0,0"});
    EXPECT_EQ(Run(QStringLiteral("draw"), {Path("bad.byg"), QStringLiteral("-o"), Path("bad.bmp")}), 1);
    EXPECT_EQ(Read("bad.bmp"), QByteArray("<missing>"));
    EXPECT_EQ(Run(QStringLiteral("draw"), {Path("none.byg")}), 1);
    EXPECT_EQ(Run(QStringLiteral("draw"), {}), 2);
    EXPECT_EQ(Run(QStringLiteral("draw"), {Path("bad.byg"), QStringLiteral("--screen"), QStringLiteral("10")}), 2);
    EXPECT_EQ(Run(QStringLiteral("draw"), {Path("bad.byg"), QStringLiteral("--bogus")}), 2);
    // The loop limit ends the run normally.
    WriteDrawing(QStringLiteral("loop.byg"), {"#", "LABEL01", "Jump,LABEL01"});
    EXPECT_EQ(Run(QStringLiteral("draw"), {Path("loop.byg"), QStringLiteral("-o"), Path("loop.bmp")}), 0);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
