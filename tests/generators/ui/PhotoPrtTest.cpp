#include "generators/ui/PhotoPrt.h"

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/ui/FileList.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QImageWriter>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kolbran;
using kolbran::test::ScriptedPrompter;

class PhotoPrtTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString home;
    QString Path(const QString& name) const { return dir.filePath(name); }

    void Picture(const QString& name, int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(QImageWriter(Path(name), "png").write(image));
    }

    struct Fixture {
        ScriptedPrompter prompter;
        AppState state{prompter};
    };

private Q_SLOTS:
    void initTestCase()
    {
        home = QDir::currentPath();
        QDir().mkpath(Path("list"));
        QDir().mkpath(Path("empty"));
        for (int i = 0; i < 16; ++i)
            Picture(QStringLiteral("list/p%1.png").arg(i, 2, 10, QChar(u'0')), 640, 480);
        QFile text(Path("list/z.png"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
    }

    void init() { QDir::setCurrent(Path("list")); }
    void cleanup() { QDir::setCurrent(home); }

    void opensSelectingWithTheStoredPattern()
    {
        Fixture f;
        f.state.settings.AlbumFileType = 9;  // out of range: the first pattern
        f.state.settings.ImageListPrintValue = 12;
        PhotoPrt w(f.state);
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("*.jpg"));
        QCOMPARE(w.Label2->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 0"));
        QCOMPARE(w.PrintValue(), 4);
        QVERIFY(w.File1->isEnabled());
        QVERIFY(!w.M_File_Lprt->isEnabled());
        QVERIFY(!w.Command1->isEnabled());
        QVERIFY(!w.Command3->isEnabled());
        for (QFrame* line : w.Line2)
            QVERIFY(line->isHidden());
        w.Combo1->setCurrentIndex(3);
        QCOMPARE(w.Label2->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 17"));
    }

    void seventeenFilesMakeTwoPages()
    {
        Fixture f;
        f.state.settings.AlbumFileType = 3;
        PhotoPrt w(f.state);
        w.Command4_Click();
        QCOMPARE(w.FileCount(), 17);
        QCOMPARE(w.Label1->text(), QStringLiteral(u" 1 / 2 頁"));
        QVERIFY(!w.Command1->isEnabled());
        QVERIFY(w.Command3->isEnabled());
        QVERIFY(!w.File1->isEnabled());
        QVERIFY(w.M_File_Lprt->isEnabled());
        QCOMPARE(w.Cells().size(), 16);
        QCOMPARE(w.Cells()[0].picture, QRectF(10, 10, 168, 126));
        QCOMPARE(w.Cells()[0].caption, QStringLiteral(u"p00.png　 640 x 480"));
        QCOMPARE(w.Canvas().pixel(20, 20), QColor(Qt::darkGreen).rgb());

        w.Command3_Click();
        QCOMPARE(w.Page(), 2);
        QCOMPARE(w.Label1->text(), QStringLiteral(u" 2 / 2 頁"));
        QCOMPARE(w.Cells().size(), 1);
        QCOMPARE(w.Cells()[0].captionAt, QPointF(10, 10));  // not a picture: the name at the cell
        QCOMPARE(w.Cells()[0].caption, QStringLiteral("z.png"));
        QCOMPARE(w.Canvas().pixel(100, 100), qRgb(255, 255, 255));  // cleared before the page
        QVERIFY(!w.Command3->isEnabled());
        QVERIFY(w.Command1->isEnabled());
        w.Command3_Click();  // on the last page: nothing
        QCOMPARE(w.Page(), 2);
        w.Command1_Click();
        QCOMPARE(w.Page(), 1);

        w.Command5_Click();
        QCOMPARE(w.FileCount(), 0);
        QVERIFY(w.Label1->text().isEmpty());
        QVERIFY(w.File1->isEnabled());
        QVERIFY(!w.M_File_Lprt->isEnabled());
        w.Command3_Click();  // cleared: no paging
        QCOMPARE(w.Cells().size(), 0);
    }

    void noFilesWarnsAndStaysSelecting()
    {
        QDir::setCurrent(Path("empty"));
        Fixture f;
        PhotoPrt w(f.state);
        w.Command4_Click();
        QCOMPARE(f.prompter.Messages(), QStringList{QStringLiteral(u"対象ファイルがありません。")});
        QCOMPARE(f.prompter.prompts.value(0).icon, MsgIcon::Warning);
        QVERIFY(w.File1->isEnabled());
        QVERIFY(!w.M_File_Lprt->isEnabled());
    }

    void aPictureOpensOnlyWhenPressedAndReleasedOnIt()
    {
        Fixture f;
        f.state.settings.AlbumFileType = 3;
        PhotoPrt w(f.state);
        int opened = 0;
        w.OpenImageWindow = [&] { ++opened; };
        w.Command4_Click();

        // Press on the first, move to the second, release: nothing.
        w.Picture1_MouseMove(QPoint(20, 20));
        w.Picture1_MouseDown(Qt::LeftButton);
        QVERIFY(w.RectangleShown());
        QCOMPARE(w.Line2[0]->geometry().top(), 7);
        w.Picture1_MouseMove(QPoint(220, 20));
        QVERIFY(!w.RectangleShown());
        w.Picture1_MouseUp(Qt::LeftButton);
        QCOMPARE(opened, 0);

        // Press, move away and back, release: opened with the listed name.
        w.Picture1_MouseMove(QPoint(210, 210));
        w.Picture1_MouseDown(Qt::LeftButton);
        w.Picture1_MouseMove(QPoint(500, 500));
        w.Picture1_MouseMove(QPoint(215, 215));
        QVERIFY(w.RectangleShown());
        w.Picture1_MouseDown(Qt::RightButton);  // a second button while one is held: ignored
        w.Picture1_MouseUp(Qt::RightButton);
        QCOMPARE(opened, 0);
        w.Picture1_MouseUp(Qt::LeftButton);
        QCOMPARE(opened, 1);
        QCOMPARE(f.state.TargetFilePath, QStringLiteral("p05.png"));
        QCOMPARE(f.state.OpenedFromBrowser, 0);
        QVERIFY(!w.RectangleShown());

        // Through real mouse events on the canvas, and outside every box.
        QTest::mousePress(w.Picture1, Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mouseRelease(w.Picture1, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(opened, 2);
        QCOMPARE(f.state.TargetFilePath, QStringLiteral("p00.png"));
        w.Picture1_MouseMove(QPoint(185, 20));
        w.Picture1_MouseDown(Qt::LeftButton);
        w.Picture1_MouseUp(Qt::LeftButton);
        QCOMPARE(opened, 2);
        // Page 2 holds one file: the second cell is past the list.
        w.Command3_Click();
        w.Picture1_MouseMove(QPoint(220, 20));
        w.Picture1_MouseDown(Qt::LeftButton);
        w.Picture1_MouseUp(Qt::LeftButton);
        QCOMPARE(opened, 2);
    }

    void printAsksAndPrintsFitted()
    {
        Fixture f;
        f.state.settings.AlbumFileType = 3;
        PhotoPrt w(f.state);
        w.Command4_Click();
        w.M_File_Lprt_Click();  // Cancel
        QCOMPARE(f.prompter.Messages().value(0),
                 QStringLiteral(u"はい：現在表示のページをそのまま印刷\r\nいいえ：印刷領域に合わせて一覧印刷\r\nキャンセル：印刷しない。"));
        QCOMPARE(f.prompter.prompts.value(0).buttons, MsgButtons::YesNoCancel);
        QCOMPARE(f.prompter.prompts.size(), 1);
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer is installed: the PDF fallback is not used");
        f.prompter.answers.enqueue(MsgAnswer::No);
        f.prompter.fileNames.enqueue(Path("fitted.pdf"));
        w.M_File_Lprt_Click();
        QFile pdf(Path("fitted.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));
        QVERIFY(!w.Running());
        QVERIFY(w.Command4->isEnabled());

        f.prompter.answers.enqueue(MsgAnswer::Yes);
        f.prompter.fileNames.enqueue(Path("page.pdf"));
        w.M_File_Lprt_Click();
        QVERIFY(QFile::exists(Path("page.pdf")));
    }

    void helpAndClosingPutTheFolderBack()
    {
        Fixture f;
        const QString start = QDir::currentPath();
        {
            PhotoPrt w(f.state);
            w.M_Help_USE_Click();
            QCOMPARE(f.prompter.prompts.value(0).title, QStringLiteral(u"画像一覧表示の使い方"));
            const QString text = f.prompter.Messages().value(0);
            QVERIFY(text.startsWith(QStringLiteral(u"< 使い方 >\r\n①")));
            QVERIFY(text.endsWith(QStringLiteral(u"　してから、①②の操作を行ってください。\r\n")));
            QDir::setCurrent(Path("empty"));
            w.reject();
        }
        QCOMPARE(QDir::currentPath(), start);
    }
};

QTEST_MAIN(PhotoPrtTest)
#include "PhotoPrtTest.moc"
