#include "images/ImageOps.h"
#include "images/ImageWindowLogic.h"

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "core/PaintJob.h"
#include "images/PdfOptions.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

// Pixels named by one number each: colour (v, v, v + 100) keeps them apart.
QImage Numbered(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(y * w + x, 0, 100));
    return image;
}

int Number(const QImage& image, int x, int y)
{
    return qRed(image.pixel(x, y));
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class ImageOps : public ::testing::Test {
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
    QTemporaryDir dir;
};

TEST_F(ImageOps, TurnsMapEveryPixel)
{
    const QImage a = Numbered(3, 2);
    const QImage right = RotateRight(a);
    ASSERT_EQ(right.size(), QSize(2, 3));
    const QImage left = RotateLeft(a);
    ASSERT_EQ(left.size(), QSize(2, 3));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Number(right, 2 - 1 - y, x), Number(a, x, y)) << x << "," << y;
            EXPECT_EQ(Number(left, y, 3 - 1 - x), Number(a, x, y)) << x << "," << y;
        }
    // Top-left goes to the top-right corner turning right, to the bottom-left turning left.
    EXPECT_EQ(Number(right, 1, 0), 0);
    EXPECT_EQ(Number(left, 0, 2), 0);

    QImage four = a;
    for (int i = 0; i < 4; ++i)
        four = RotateRight(four);
    EXPECT_EQ(four, a);
    EXPECT_EQ(RotateRight(RotateLeft(a)), a);
    EXPECT_EQ(RotateLeft(RotateRight(a)), a);
}

TEST_F(ImageOps, TurnsThinPicturesAndReportsProgressWithoutDividingByZero)
{
    for (const QSize size : {QSize(1, 1), QSize(1, 5), QSize(5, 1)}) {
        const QImage a = Numbered(size.width(), size.height());
        double last = -1;
        const QImage r = RotateRight(a, [&](double f) { last = f; return true; });
        EXPECT_EQ(r.size(), size.transposed());
        EXPECT_DOUBLE_EQ(last, 1.0) << size.width() << "x" << size.height();
        last = -1;
        const QImage l = RotateLeft(a, [&](double f) { last = f; return true; });
        EXPECT_DOUBLE_EQ(last, 1.0);
        EXPECT_EQ(RotateLeft(r), a);
        EXPECT_EQ(RotateRight(l), a);
    }
    EXPECT_EQ(FormatPercent(ProgressFraction(0, 0)), QStringLiteral("100.00 %"));
}

TEST_F(ImageOps, GreyIsTheRoundedMeanHalvesToEven)
{
    struct Case {
        QRgb in;
        int grey;
    } cases[] = {{qRgb(10, 20, 31), 20}, {qRgb(0, 0, 1), 0}, {qRgb(0, 0, 2), 1},
                 {qRgb(255, 255, 255), 255}, {qRgb(1, 2, 4), 2}, {qRgb(0, 1, 3), 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(GreyLevel(c.in), c.grey) << qRed(c.in) << "," << qGreen(c.in) << "," << qBlue(c.in);
        QImage one(1, 1, QImage::Format_RGB32);
        one.setPixel(0, 0, c.in);
        EXPECT_EQ(GreyPicture(one).pixel(0, 0), qRgb(c.grey, c.grey, c.grey));
    }
}

TEST_F(ImageOps, AnalysisFileIsOnePsetPerPixelRowByRow)
{
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 0, 255));
    WriteAnalysis(image, Path("a.txt"));
    EXPECT_EQ(ReadAll(Path("a.txt")), QByteArray("ScaleMode,3\r\nImgSize, 2, 1\r\n\r\n"
                                                 "Pset,0,0,RGB,255,0,0\r\nPset,1,0,RGB,0,0,255\r\n"));

    // Rows in order, x inside y; a stopped run leaves no file.
    const QImage tall = Numbered(1, 2);
    WriteAnalysis(tall, Path("b.txt"));
    EXPECT_EQ(ReadAll(Path("b.txt")),
              QByteArray("ScaleMode,3\r\nImgSize, 1, 2\r\n\r\nPset,0,0,RGB,0,0,100\r\nPset,0,1,RGB,1,0,100\r\n"));
    WriteAnalysis(tall, Path("c.txt"), [](double) { return false; });
    EXPECT_FALSE(QFile::exists(Path("c.txt")));
    EXPECT_THROW(WriteAnalysis(tall, Path("missing/d.txt")), RuntimeError);
}

QImage Filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A picture whose top half is `top` and bottom half `bottom` in every two-row band.
QImage Bands(int w, int h, QRgb top, QRgb bottom)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, y % 2 == 0 ? top : bottom);
    return image;
}

TEST_F(ImageOps, TextPictureCharactersFromTheUpperAndLowerHalves)
{
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255), grey = qRgb(128, 128, 128);
    struct Case {
        QImage image;
        QString line;
    } cases[] = {
        {Bands(174, 2, black, white), QString(174, QChar(0xFF82))},  // ﾂ: dark above, light below
        {Bands(174, 2, white, black), QString(174, u'*')},
        {Filled(174, 2, grey), QString(174, u'e')},
        {Filled(174, 2, black), QString(174, u'M')},
        {Filled(174, 2, white), QString()},
    };
    for (const Case& c : cases) {
        const QStringList lines = TextPicture(c.image, 174);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_EQ(lines[0], c.line);
    }
    // A 174-pixel-wide picture: one pixel a column, two rows a line.
    EXPECT_EQ(TextPicture(Filled(174, 10, white), 174), QStringList(5, QString()));
    // The levels of the seven edge characters (dark above, light below).
    EXPECT_EQ(TextPictureChar(0, 255), QChar(0xFF82));
    EXPECT_EQ(TextPictureChar(16, 255), QChar(0xFF71));
    EXPECT_EQ(TextPictureChar(95, 240), u'\'');  // level 6 above, the last one reached
    EXPECT_EQ(TextPictureChar(64, 255), u'~');
    EXPECT_EQ(TextPictureChar(96, 255), u'x');  // level 7 above: the shade table
}

TEST_F(ImageOps, TextPictureEdgeSizesEnd)
{
    // 1 pixel high: one line.
    EXPECT_EQ(TextPicture(Filled(174, 1, qRgb(0, 0, 0)), 174), QStringList{QString(174, u'M')});
    // A cut stops at n characters; the extra column reads white and is cut away.
    const QStringList wide = TextPicture(Filled(400, 3, qRgb(0, 0, 0)), 174);
    ASSERT_FALSE(wide.isEmpty());
    EXPECT_EQ(wide[0].size(), 174);
    // 50 pixels wide: cells under one pixel; the run still ends and every line holds at
    // most n characters.
    double last = 0;
    const QStringList narrow = TextPicture(Filled(50, 20, qRgb(0, 0, 0)), 174, [&](double f) {
        last = f;
        return true;
    });
    ASSERT_FALSE(narrow.isEmpty());
    // The last column's first pixel rounds to x = 50, outside: white, stripped.
    EXPECT_EQ(narrow[0], QString(173, u'M'));
    for (const QString& l : narrow)
        EXPECT_LE(l.size(), 174);
    EXPECT_DOUBLE_EQ(last, 1.0);
}

TEST_F(ImageOps, TextPictureWidthFromTheInputBox)
{
    const std::pair<const char*, int> cases[] = {{"123", 174}, {"124", 124}, {"360", 360}, {"361", 174},
                                                 {"", 174},    {"abc", 174}, {" 200 ", 200}, {"-5", 174}};
    for (const auto& [text, n] : cases)
        EXPECT_EQ(TextPictureWidth(QString::fromLatin1(text)), n) << text;
}

TEST_F(ImageOps, TextPictureFileIsShiftJisWithCrLf)
{
    WriteTextPicture({QStringLiteral(u"ﾂ*"), QString()}, Path("t.txt"));
    EXPECT_EQ(ReadAll(Path("t.txt")), QByteArray("\xC2*\r\n\r\n"));
}

TEST_F(ImageOps, PaperSizesAndPrintRectangles)
{
    const QSizeF printable(200, 287);
    struct Paper {
        int choice;
        bool portrait;
        QSizeF custom;
        QSizeF size;
    } papers[] = {
        {0, false, {}, {148, 100}},           {0, true, {}, {100, 148}},
        {3, true, {}, {148, 210}},            {3, false, {}, {210, 148}},
        {5, true, {}, {200, 287}},            {5, false, {}, {200, 287}},
        {6, false, {500, 10}, {420, 74}},     {6, true, {500, 10}, {74, 420}},
        {6, false, {200, 100}, {200, 100}},
    };
    for (const Paper& p : papers)
        EXPECT_EQ(PaperSizeFor(p.choice, printable, p.portrait, p.custom), p.size) << p.choice << p.portrait;

    struct Rect {
        QSizeF paper;
        int fit;
        QSize picture;
        QRectF rect;
    } rects[] = {
        {{148, 210}, 0, {300, 200}, {0, 55.5, 148, 99}},     // 148 × 200 / 300 = 98.67 → 99
        {{148, 210}, 1, {300, 200}, {-83.5, 0, 315, 210}},   // wider than the paper: negative offset
        {{100, 148}, 0, {100, 400}, {0, -126, 100, 400}},  // taller than the paper
        {{200, 287}, 1, {200, 287}, {0, 0, 200, 287}},
    };
    for (const Rect& r : rects)
        EXPECT_EQ(PrintRectangle(r.paper, r.fit, r.picture), r.rect) << r.fit;
}

TEST_F(ImageOps, PrintQuestionText)
{
    EXPECT_EQ(PrintQuestion(QStringLiteral(u"Ａ５"), 0, QSizeF(148, 210)),
              QStringLiteral(u"印刷します！\r\n( Ａ５：横 )\r\n( 幅： 148 ㎜　　高さ： 210 ㎜ )\r\n用紙の横幅に合わせます。"));
    EXPECT_TRUE(PrintQuestion(QStringLiteral(u"任意"), 1, QSizeF(420, 74)).endsWith(QStringLiteral(u"用紙の縦幅に合わせます。")));
}

TEST_F(ImageOps, StoredPrintSettingsOutOfRangeReadAsZero)
{
    struct Case {
        int16_t size, orientation, w, h;
        int choice, fit;
        QSizeF custom;
    } cases[] = {
        {-3, 5, 0, 0, 0, 0, {105, 74}},
        {9, 1, 500, 10, 6, 1, {420, 74}},
        {6, -1, 200, 150, 6, 0, {200, 150}},
        {3, 1, 0, 0, 3, 1, {105, 74}},
        {6, 0, 74, 420, 6, 0, {74, 420}},  // left exchanged for a portrait printer
    };
    for (const Case& c : cases) {
        ViewerSettings s;
        s.ImagePrintSize = c.size;
        s.ImagePrintOrientation = c.orientation;
        s.ImagePrintWidth = c.w;
        s.ImagePrintHeight = c.h;
        const ImagePrintSetup setup = ImagePrintSetupFromSettings(s);
        EXPECT_EQ(setup.paperChoice, c.choice);
        EXPECT_EQ(setup.fitMode, c.fit);
        EXPECT_EQ(setup.customSize, c.custom);
    }
}

TEST_F(ImageOps, LoadsEveryFormatFlattenedAndRefusesWhatIsNotAPicture)
{
    QImage source(4, 3, QImage::Format_ARGB32);
    source.fill(qRgba(0, 0, 255, 255));
    source.setPixel(0, 0, qRgba(0, 0, 0, 0));  // transparent
    for (const char* format : {"png", "bmp", "jpg", "tiff", "webp"}) {
        const QString path = Path(QStringLiteral("p.") + QLatin1String(format));
        QImageWriter writer(path, format);
        if (QByteArray(format) == "webp")
            writer.setQuality(100);
        ASSERT_TRUE(writer.write(source)) << format << writer.errorString().toStdString();
        const QImage loaded = LoadShownPicture(path);
        EXPECT_EQ(loaded.size(), QSize(4, 3)) << format;
        EXPECT_FALSE(loaded.hasAlphaChannel()) << format;
    }
    EXPECT_EQ(LoadShownPicture(Path("p.png")).pixel(0, 0), qRgb(255, 255, 255));  // over white
    // Qt reads GIF but does not write it: a 2 × 1 GIF89a, black and white.
    QFile gif(Path("p.gif"));
    ASSERT_TRUE(gif.open(QIODevice::WriteOnly));
    gif.write(QByteArray::fromHex("47494638396102000100f00100000000ffffff2c0000000002000100000202440a003b"));
    gif.close();
    const QImage g = LoadShownPicture(Path("p.gif"));
    EXPECT_EQ(g.size(), QSize(2, 1));
    EXPECT_EQ(g.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(g.pixel(1, 0), qRgb(255, 255, 255));

    auto error = [&](const QString& name, const QByteArray& bytes) {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        try {
            LoadShownPicture(Path(name));
        } catch (const RuntimeError& e) {
            return e.Number();
        }
        return 0;
    };
    EXPECT_EQ(error("text.jpg", "not a picture at all"), 481);
    EXPECT_EQ(error("empty.png", ""), 481);
    // A PNG header claiming 100000 × 100000 pixels (40 GB decoded): out of memory.
    const QByteArray png = QByteArray::fromHex("89504E470D0A1A0A0000000D49484452000186A0000186A0080200000027309C9F"
                                                "0000000B49444154789C6360800100000A00017F80745E");
    EXPECT_EQ(error("huge.png", png), Err::OutOfMemory);
    EXPECT_THROW(LoadShownPicture(Path("none.png")), RuntimeError);

    // A JPEG cut short: shown as far as it goes or refused, never a crash.
    QImageWriter(Path("full.jpg"), "jpg").write(Filled(64, 64, qRgb(1, 2, 3)));
    const QByteArray jpeg = ReadAll(Path("full.jpg"));
    const int cut = error("cut.jpg", jpeg.left(jpeg.size() / 2));
    EXPECT_TRUE(cut == 0 || cut == 481) << cut;
}

TEST_F(ImageOps, BitmapTargetRefusesTheSourceByAnyNameAndAsksBeforeReplacing)
{
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    QImageWriter(Path("src.png"), "png").write(Filled(2, 2, qRgb(9, 9, 9)));
    const QString sameByOtherText = dir.path() + QStringLiteral("/./sub/../src.png");
    QDir().mkpath(Path("sub"));
    EXPECT_FALSE(ConfirmBitmapTarget(state, Path("src.png"), sameByOtherText));
    EXPECT_EQ(prompter.Messages().value(0), QStringLiteral(u"元ファイルと同名のファイル名は使用できません。"));
    EXPECT_EQ(prompter.prompts.value(0).icon, MsgIcon::Critical);

    QFile(Path("old.bmp")).open(QIODevice::WriteOnly);
    prompter.answers.enqueue(MsgAnswer::No);
    EXPECT_FALSE(ConfirmBitmapTarget(state, Path("src.png"), Path("old.bmp")));
    EXPECT_EQ(prompter.Messages().value(1),
              QStringLiteral(u"「") + Path("old.bmp") + QStringLiteral(u"」ﾌｧｲﾙは既に存在します。\r\n上書きしますか？"));
    prompter.answers.enqueue(MsgAnswer::Yes);
    EXPECT_TRUE(ConfirmBitmapTarget(state, Path("src.png"), Path("old.bmp")));
    EXPECT_TRUE(ConfirmBitmapTarget(state, Path("src.png"), Path("new.bmp")));

    SaveBitmap(Filled(3, 2, qRgb(10, 20, 30)), Path("new.bmp"));
    const QImage back(Path("new.bmp"));
    EXPECT_EQ(back.size(), QSize(3, 2));
    EXPECT_EQ(back.pixel(2, 1), qRgb(10, 20, 30));
    EXPECT_TRUE(ReadAll(Path("new.bmp")).startsWith("BM"));
    EXPECT_THROW(SaveBitmap(Filled(1, 1, 0), Path("missing/x.bmp")), RuntimeError);
}

TEST_F(ImageOps, PdfPrintPlacesThePictureInMillimetres)
{
    PdfPageOptions options;  // A4 portrait, 5 mm
    {
        PdfJob job(Path("p.pdf"), PdfChoiceOf(options, 300));
        EXPECT_NEAR(PrintableSizeMm(job.Device()).width(), 200, 0.01);
        EXPECT_NEAR(PrintableSizeMm(job.Device()).height(), 287, 0.01);
        const QSizeF paper = PaperSizeFor(3, PrintableSizeMm(job.Device()), true);
        const QRectF rect = PrintRectangle(paper, 0, QSize(300, 200));
        EXPECT_EQ(rect, QRectF(0, 55.5, 148, 99));
        PaintPictureMm(job.Painter(), job.Device(), Filled(300, 200, qRgb(0, 0, 0)), rect);
        job.Commit();
    }
    EXPECT_TRUE(ReadAll(Path("p.pdf")).startsWith("%PDF"));
    // Not committed: no file.
    {
        PdfJob job(Path("q.pdf"), PdfChoiceOf(options));
        PaintPictureMm(job.Painter(), job.Device(), Filled(3, 3, 0), QRectF(0, 0, 10, 10));
    }
    EXPECT_FALSE(QFile::exists(Path("q.pdf")));
}

TEST_F(ImageOps, PaperSizeListNamesThePostcardAs148By100)
{
    const QString text = PaperSizeListText();
    EXPECT_TRUE(text.startsWith(QStringLiteral(u"< Ａ判 >\r\nＡ３：４２０ｘ２９７")));
    EXPECT_TRUE(text.contains(QStringLiteral(u"Ａ６：１４８ｘ１０５\r\n\r\n< Ｂ判 >")));
    EXPECT_TRUE(text.endsWith(QStringLiteral(u"Ｅ判：１１７ｘ　８３")));
    EXPECT_EQ(PaperTableSize(0), QSizeF(148, 100));
}

}  // namespace
