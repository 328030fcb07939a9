#include "images/ui/Betsu.h"

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/ViewerSettings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kolbran;
using kolbran::test::ScriptedPrompter;

namespace {

QImage ThreeByTwo()
{
    QImage image(3, 2, QImage::Format_RGB32);
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, qRgb(40 * i, 10, 31));
    return image;
}

}  // namespace

class BetsuTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }

    struct Fixture {
        ScriptedPrompter prompter;
        AppState state{prompter};
    };
    std::unique_ptr<Fixture> Make(const QString& target)
    {
        auto f = std::make_unique<Fixture>();
        f->state.TargetFilePath = target;
        f->state.SettingsFolder = dir.path();
        return f;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QImageWriter(Path("a.png"), "png").write(ThreeByTwo()));
        QImage big(40, 20, QImage::Format_RGB32);
        big.fill(Qt::blue);
        QVERIFY(QImageWriter(Path("c.jpg"), "jpg").write(big));
        QFile text(Path("b.png"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("this is text");
        QDir::setCurrent(dir.path());
    }

    void loadFailureShowsTheTextAndHidesTheMenus()
    {
        auto f = Make(Path("b.png"));
        Betsu w(f->state);
        QVERIFY(!w.Loaded());
        QVERIFY(!w.Label1->isHidden());
        QVERIFY(!w.Label1->text().isEmpty());
        QVERIFY(!w.M_Gamen->menuAction()->isVisible());
        QVERIFY(!w.M_File->menuAction()->isVisible());
        QVERIFY(!w.M_Help->menuAction()->isVisible());
        QVERIFY(f->prompter.prompts.isEmpty());
        w.M_F_save_Click();  // nothing to save
        QVERIFY(f->prompter.prompts.isEmpty());
    }

    void loadsFromTheMainWindowWithoutStepping()
    {
        auto f = Make(Path("a.png"));
        Betsu w(f->state);
        QVERIFY(w.Loaded());
        QCOMPARE(w.Picture().size(), QSize(3, 2));
        QCOMPARE(w.windowTitle(), Path("a.png"));
        QVERIFY(!w.F_Back->isVisible());
        QVERIFY(!w.F_Next->isVisible());
        QVERIFY(!w.M_F_Kaiseki->isVisible());
        QCOMPARE(f->state.ImageNaturalWidth, 3);

        f->state.settings.DebugFlags = 2;
        Betsu debug(f->state);
        QVERIFY(debug.M_F_Kaiseki->isVisible());
    }

    void turnsAndGreysThePictureShown()
    {
        auto f = Make(Path("a.png"));
        Betsu w(f->state);
        w.M_F_R90_Click();
        QCOMPARE(w.Picture().size(), QSize(2, 3));
        QCOMPARE(w.Picture().pixel(1, 0), ThreeByTwo().pixel(0, 0));
        QCOMPARE(f->state.ImageNaturalWidth, 2);
        QCOMPARE(f->state.ImageNaturalHeight, 3);
        QCOMPARE(w.windowTitle(), Path("a.png"));
        w.M_F_L90_Click();
        QCOMPARE(w.Picture(), ThreeByTwo());
        w.M_F_mono_Click();
        const QRgb p = w.Picture().pixel(2, 1);
        QCOMPARE(qRed(p), qGreen(p));
        QCOMPARE(w.Picture().size(), QSize(3, 2));
    }

    void stepsOnlyWithinTheBrowsersList()
    {
        auto f = Make(Path("c.jpg"));
        f->state.OpenedFromBrowser = 255;
        f->state.BrowserFileNames = {QStringLiteral("a.png"), QStringLiteral("b.png"), QStringLiteral("c.jpg")};
        f->state.BrowserFileIndex = 2;
        Betsu w(f->state);
        QVERIFY(w.F_Back->isVisible());
        w.F_Next_Click();  // on the last: nothing
        QCOMPARE(w.CurrentIndex(), 2);
        QCOMPARE(w.Picture().size(), QSize(40, 20));
        w.F_Back_Click();  // a file that is not a picture
        QCOMPARE(w.CurrentIndex(), 1);
        QVERIFY(!w.Loaded());
        QVERIFY(!w.Label1->isHidden());
        QVERIFY(w.Image1->isHidden());
        QCOMPARE(w.windowTitle(), QStringLiteral("b.png"));
        w.M_F_R90_Click();  // nothing shown: nothing turned
        w.F_Back_Click();
        QCOMPARE(w.CurrentIndex(), 0);
        QVERIFY(w.Loaded());
        QVERIFY(w.Label1->isHidden());
        QCOMPARE(w.Picture().size(), QSize(3, 2));
        w.F_Back_Click();  // on the first: nothing
        QCOMPARE(w.CurrentIndex(), 0);

        // A typed name (index −1): back does nothing, next goes to the first entry.
        f->state.BrowserFileIndex = -1;
        Betsu typed(f->state);
        typed.F_Back_Click();
        QCOMPARE(typed.CurrentIndex(), -1);
        typed.F_Next_Click();
        QCOMPARE(typed.CurrentIndex(), 0);
        QCOMPARE(typed.ShownPath(), QStringLiteral("a.png"));
    }

    void savesThePictureAsShownAndRefusesTheSource()
    {
        auto f = Make(Path("a.png"));
        Betsu w(f->state);
        f->prompter.fileNames.enqueue(dir.path() + QStringLiteral("/./a.png"));
        w.M_F_save_Click();
        QCOMPARE(f->prompter.Messages().value(0), QStringLiteral(u"元ファイルと同名のファイル名は使用できません。"));
        const auto request = f->prompter.prompts.value(0).request;
        QCOMPARE(request.title, QStringLiteral(u"画像をﾋﾞｯﾄﾏｯﾌﾟ形式で保存します"));
        QCOMPARE(request.initialName, QStringLiteral("XXXXXX.BMP"));
        QCOMPARE(request.filterIndex, 2);

        f->prompter.fileNames.enqueue(Path("s.bmp"));
        w.M_F_save_Click();  // before any operation: the picture itself
        QCOMPARE(QImage(Path("s.bmp")), ThreeByTwo());
        w.M_F_R90_Click();
        f->prompter.fileNames.enqueue(Path("s.bmp"));
        f->prompter.answers.enqueue(MsgAnswer::No);
        w.M_F_save_Click();
        QCOMPARE(QImage(Path("s.bmp")).size(), QSize(3, 2));
        f->prompter.fileNames.enqueue(Path("s.bmp"));
        f->prompter.answers.enqueue(MsgAnswer::Yes);
        w.M_F_save_Click();
        QCOMPARE(QImage(Path("s.bmp")).size(), QSize(2, 3));
        f->prompter.fileNames.enqueue(Path("nofolder/s.bmp"));
        const qsizetype before = f->prompter.Messages().size();
        w.M_F_save_Click();  // a write that fails is reported, not passed over
        QCOMPARE(f->prompter.Messages().size(), before + 1);
    }

    void textPictureAndAnalysisFiles()
    {
        auto f = Make(Path("a.png"));
        f->state.settings.DebugFlags = 2;
        Betsu w(f->state);
        f->prompter.inputs.enqueue(QStringLiteral("50"));  // below 124: 174
        f->prompter.fileNames.enqueue(Path("t.txt"));
        w.M_F_Text_G_Click();
        QCOMPARE(f->prompter.prompts.value(0).title, QStringLiteral(u"ﾃｷｽﾄ画像処理"));
        QCOMPARE(f->prompter.prompts.value(1).request.initialName, QStringLiteral("F_TextG.txt"));
        QFile t(Path("t.txt"));
        QVERIFY(t.open(QIODevice::ReadOnly));
        QVERIFY(!t.readAll().isEmpty());
        QCOMPARE(w.windowTitle(), Path("a.png"));
        QVERIFY(!w.Running());

        f->prompter.answers.enqueue(MsgAnswer::Yes);
        w.M_F_Kaiseki_Click();
        QFile k(Path("F_kaiseki.txt"));
        QVERIFY(k.open(QIODevice::ReadOnly));
        QVERIFY(k.readAll().startsWith("ScaleMode,3\r\nImgSize, 3, 2\r\n\r\nPset,0,0,RGB,0,10,31\r\n"));
    }

    void printSettingsAreKeptAtEveryChange()
    {
        auto f = Make(Path("a.png"));
        f->state.Printer.Landscape = false;
        {
            Betsu w(f->state);
            w.M_G_Psize_Click(3);
            QCOMPARE(w.PaperSize(), QSizeF(148, 210));  // portrait printer: exchanged
            QCOMPARE(f->state.settings.ImagePrintSize, int16_t(3));
            w.M_G_Ptayo_Click(1);
            QCOMPARE(f->state.settings.ImagePrintOrientation, int16_t(1));
            f->prompter.inputs.enqueue(QStringLiteral("500"));
            f->prompter.inputs.enqueue(QStringLiteral("10"));
            w.M_G_Psize_Click(6);
            QCOMPARE(f->prompter.Messages().last(), QStringLiteral(u"( 幅： 420 ㎜　　高さ： 74 ㎜ )"));
            QCOMPARE(w.PaperSize(), QSizeF(74, 420));
            QCOMPARE(f->state.settings.ImagePrintWidth, int16_t(74));
            QCOMPARE(f->state.settings.ImagePrintHeight, int16_t(420));
            QVERIFY(w.M_G_Psize[6]->isChecked());
            QVERIFY(!w.M_G_Psize[3]->isChecked());
        }
        Betsu again(f->state);
        QCOMPARE(again.PaperChoice(), 6);
        QCOMPARE(again.FitMode(), 1);
        QCOMPARE(again.PaperSize(), QSizeF(74, 420));

        // Stored nonsense reads as 0.
        f->state.settings.ImagePrintSize = -4;
        f->state.settings.ImagePrintOrientation = 9;
        Betsu bad(f->state);
        QCOMPARE(bad.PaperChoice(), 0);
        QCOMPARE(bad.FitMode(), 0);
        QCOMPARE(bad.PaperSize(), QSizeF(100, 148));
    }

    void printAsksFirstAndPrints()
    {
        auto f = Make(Path("c.jpg"));
        Betsu w(f->state);
        w.M_G_Psize_Click(3);
        w.M_G_Ptayo_Click(0);
        f->prompter.prompts.clear();
        w.M_G_Print_Click();  // Cancel
        QCOMPARE(f->prompter.Messages().value(0),
                 QStringLiteral(u"印刷します！\r\n( Ａ５：横 )\r\n( 幅： 148 ㎜　　高さ： 210 ㎜ )\r\n用紙の横幅に合わせます。"));
        QCOMPARE(f->prompter.prompts.size(), 1);
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer is installed: the PDF fallback is not used");
        f->prompter.answers.enqueue(MsgAnswer::Ok);
        f->prompter.fileNames.enqueue(Path("print.pdf"));
        w.M_G_Print_Click();
        QFile pdf(Path("print.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));
    }

    void paperSizeHelp()
    {
        auto f = Make(Path("a.png"));
        Betsu w(f->state);
        w.M_Help_M1_Click();
        QCOMPARE(f->prompter.prompts.value(0).title, QStringLiteral(u"用紙サイズ　単位：ミリ"));
        QVERIFY(f->prompter.Messages().value(0).contains(QStringLiteral(u"葉書：１４８ｘ１００")));
    }
};

QTEST_MAIN(BetsuTest)
#include "BetsuTest.moc"
