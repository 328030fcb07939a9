#include "common/RecordingViewerHost.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "drawing/DrawingSurface.h"
#include "drawing/ui/Byouga.h"
#include "viewer/LineLoader.h"
#include "viewer/ui/LogFile.h"

#include <QApplication>
#include <QDir>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kolbran;

namespace {

// The main window as the drawing window sees it.
class Host final : public QWidget, public test::RecordingViewerHost {
public:
    QList<bool> documentCommands;
    void SetDocumentCommandsEnabled(bool enabled) override { documentCommands.append(enabled); }
};

}  // namespace

class ByougaTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompter prompter;
    std::unique_ptr<AppState> state;
    std::unique_ptr<Host> host;
    std::unique_ptr<QTemporaryDir> dir;

    QString Path(const QString& name) const { return dir->filePath(name); }
    // Opens the drawing as the main window's document and the window over it, loaded.
    std::unique_ptr<Byouga> Open(const QStringList& lines)
    {
        QFile f(Path(QStringLiteral("d.byg")));
        if (!f.open(QIODevice::WriteOnly))
            return nullptr;
        f.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        f.close();
        PrOpen(*state, *host, Path(QStringLiteral("d.byg")));
        host->panelLog.clear();
        auto w = std::make_unique<Byouga>(*state, host.get());
        w->resize(640, 480);
        QSignalSpy loaded(w.get(), &Byouga::Loaded);
        w->show();
        if (!loaded.wait(60000))
            return nullptr;
        return w;
    }

private Q_SLOTS:
    void init()
    {
        prompter.prompts.clear();
        prompter.answers.clear();
        prompter.inputs.clear();
        prompter.fileNames.clear();
        state = std::make_unique<AppState>(prompter);
        host = std::make_unique<Host>();
        dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        ResetDocumentState(*state);
        host.reset();
    }

    void loadsAndReportsProgressOnTheMainWindow()
    {
        auto w = Open({QStringLiteral("ScaleMode,3"), QStringLiteral("Pset,2,3,12")});
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral(u"描画"));
        QVERIFY(w->Picture1->isVisible());
        QVERIFY(!w->Label1->isVisible());
        QCOMPARE(w->Surface()->Image().pixel(2, 3) & 0xFFFFFF, 0xFF0000u);
        QCOMPARE(host->PanelTexts(1).value(0), QStringLiteral(u"描画処理中"));
        QVERIFY(host->PanelTexts(1).contains(QStringLiteral(u"描画処理中 ＼(^_^)／")));
        QCOMPARE(host->PanelTexts(1).last(), QString());
        QCOMPARE(host->documentCommands, (QList<bool>{false, true}));
        QVERIFY(!w->M_G_Matrix->isVisible());
        QVERIFY(!w->M_G_Matrix_Step->isVisible());
        QVERIFY(!w->Menu_H_M2->isVisible());
    }

    void failureNamesItsLine()
    {
        QStringList lines;
        for (int i = 0; i < 11; ++i)
            lines << QStringLiteral("# comment");
        lines << QStringLiteral("Pset,1E+39,0,0");
        auto w = Open(lines);
        QVERIFY(w);
        QVERIFY(!w->Picture1->isVisible());
        QVERIFY(!w->VScroll1->isVisible());
        QVERIFY(w->Label1->isVisible());
        QVERIFY(w->Label1->text().endsWith(QStringLiteral(u"( 12行目 )")));
        QVERIFY(w->M_G_Print_2->isEnabled());
        QCOMPARE(host->documentCommands.last(), true);
    }

    void tallDrawingScrollsToItsBottom()
    {
        auto w = Open({QStringLiteral("ImgSize,1024,3000"), QStringLiteral("ScaleMode,3"),
                       QStringLiteral("Pset,5,2999,12")});
        QVERIFY(w);
        QCOMPARE(w->Picture1->size(), QSize(1024, 3000));
        QVERIFY(w->VScroll1->isVisible());
        QVERIFY(w->HScroll1->isVisible());
        for (int i = 0; i < 30; ++i)
            w->M_F_Down_Click();
        const int hb = w->HScroll1->height();
        // The picture's last row sits on the scroll bar: all 45000 twips are reachable.
        QCOMPARE(w->Picture1->geometry().bottom(), w->Area->height() - hb - 1);
        w->M_F_Up_Click();
        QVERIFY(w->VScroll1->value() < w->VScroll1->maximum());
        w->M_F_Moto_Click();
        QCOMPARE(w->Picture1->pos(), QPoint(0, 0));
    }

    void smallDrawingSitsAtTheCornerWithoutScrollBars()
    {
        auto w = Open({QStringLiteral("ImgSize,100,100")});
        QVERIFY(w);
        QVERIFY(!w->VScroll1->isVisible());
        QVERIFY(!w->HScroll1->isVisible());
        QCOMPARE(w->Picture1->pos(), QPoint(0, 0));
    }

    void saveRefusesTheDocumentAndAsksBeforeOverwriting()
    {
        auto w = Open({QStringLiteral("ScaleMode,3"), QStringLiteral("Pset,1,1,12")});
        QVERIFY(w);
        const QByteArray before = QByteArray("keep");
        {
            QFile f(Path("old.bmp"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        prompter.fileNames.enqueue(Path("d.byg"));
        w->M_F_save_Click();
        QCOMPARE(prompter.Messages().value(0), QStringLiteral(u"元ファイルと同名のファイル名は使用できません。"));
        QCOMPARE(prompter.prompts.value(0).request.initialName, QStringLiteral("XXXXXX.BMP"));
        QCOMPARE(prompter.prompts.value(0).request.filterIndex, 2);
        prompter.prompts.clear();
        prompter.fileNames.enqueue(Path("old.bmp"));
        prompter.answers.enqueue(MsgAnswer::No);
        w->M_F_save_Click();
        QVERIFY(prompter.Messages().value(0).startsWith(QStringLiteral(u"「")));
        QVERIFY(prompter.Messages().value(0).contains(QStringLiteral(u"」ﾌｧｲﾙは既に存在します。")));
        QFile old(Path("old.bmp"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), before);
        old.close();
        prompter.fileNames.enqueue(Path("old.bmp"));
        prompter.answers.enqueue(MsgAnswer::Yes);
        w->M_F_save_Click();
        const QImage saved(Path("old.bmp"), "BMP");
        QCOMPARE(saved.size(), w->Surface()->Image().size());
        QCOMPARE(saved.pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
        // Cancel does nothing.
        prompter.prompts.clear();
        w->M_F_save_Click();
        QVERIFY(prompter.Messages().isEmpty());
    }

    void printCancelAndDirectPrintToPdf()
    {
        prompter.inputs.enqueue(QStringLiteral("1"));
        auto w = Open({QStringLiteral("Set,Input,$01,x"), QStringLiteral("ScaleMode,6"),
                       QStringLiteral("Line,0,0,10,10,0,BF"), QStringLiteral("Pset,$01,0,0")});
        QVERIFY(w);
        prompter.prompts.clear();
        prompter.answers.enqueue(MsgAnswer::Cancel);
        w->M_G_Print_Click(2);
        QCOMPARE(prompter.prompts.size(), 1);
        QCOMPARE(prompter.prompts[0].text, QStringLiteral(u"直接 印刷します！"));
        // The print run asks its Input box again; this answer fails at line 4, after the box.
        prompter.prompts.clear();
        prompter.answers.enqueue(MsgAnswer::Ok);
        prompter.fileNames.enqueue(Path("out.pdf"));
        prompter.inputs.enqueue(QStringLiteral("1E+39"));
        const bool busy = state->BusyFlag;
        w->M_G_Print_Click(2);
        QFile pdf(Path("out.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        const QStringList messages = prompter.Messages();
        QVERIFY(messages.last().endsWith(QStringLiteral(u"( 4行目 )")));
        QCOMPARE(state->BusyFlag, busy);  // as the print found it
        // The screen print goes the same way.
        prompter.prompts.clear();
        prompter.answers.enqueue(MsgAnswer::Ok);
        prompter.fileNames.enqueue(Path("screen.pdf"));
        w->M_G_Print_Click(1);
        QCOMPARE(prompter.prompts.value(0).text, QStringLiteral(u"画面 印刷します！"));
        QVERIFY(QFile::exists(Path("screen.pdf")));
    }

    void matrixModeMenusAndStep()
    {
        auto w = Open({QStringLiteral("Matrix,,10,45,2")});
        QVERIFY(w);
        QVERIFY(w->MatrixMode());
        QVERIFY(!w->M_G_Print_1->isVisible());
        QVERIFY(!w->M_G_Print_2->isVisible());
        QVERIFY(!w->M_File->menuAction()->isVisible());
        QVERIFY(!w->Menu_H_M1->isVisible());
        QVERIFY(w->Menu_H_M2->isVisible());
        QCOMPARE(w->Animation().Interval(), 200);
        prompter.inputs.enqueue(QStringLiteral("5"));
        w->M_G_Matrix_Step_Click();
        QCOMPARE(prompter.prompts.last().title, QStringLiteral("MATRIX"));
        QCOMPARE(w->Animation().Interval(), 200);
        prompter.inputs.enqueue(QStringLiteral("50"));
        w->M_G_Matrix_Step_Click();
        QCOMPARE(w->Animation().Interval(), 50);
        w->M_G_Matrix_Click();
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->Timer1->interval(), 50);
        w->Timer1_Timer();  // one tick draws green on black
        const QImage& image = w->Surface()->Image();
        bool green = false;
        for (int y = 0; y < image.height() && !green; y += 2)
            for (int x = 0; x < image.width() && !green; ++x)
                green = qGreen(image.pixel(x, y)) > 100 && qRed(image.pixel(x, y)) == 0;
        QVERIFY(green);
        w->M_G_Matrix_Click();
        QVERIFY(!w->Timer1->isActive());
    }

    void matrixIntervalArgumentWins()
    {
        auto w = Open({QStringLiteral("Matrix,30")});
        QVERIFY(w);
        QCOMPARE(w->Animation().Interval(), 30);
    }

    void closingMidRunStopsIt()
    {
        QStringList lines = {QStringLiteral("#"), QStringLiteral("LABEL01"), QStringLiteral("Set,+,$01,1"),
                             QStringLiteral("IF,<,$01,30000,LABEL01"), QStringLiteral("Set,=,$02,end")};
        QFile f(Path(QStringLiteral("d.byg")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        f.close();
        PrOpen(*state, *host, Path(QStringLiteral("d.byg")));
        Byouga w(*state, host.get());
        host->onPanel = [&w](int, const QString& text) {
            if (text == QStringLiteral(u"描画処理中 ＼(^o^)／"))
                w.close();
        };
        QSignalSpy loaded(&w, &Byouga::Loaded);
        w.show();
        QVERIFY(loaded.wait(60000));
        host->onPanel = nullptr;
        QVERIFY(!w.isVisible());
        QVERIFY(!state->BusyFlag);  // the cancel request stays
        QCOMPARE(w.Interpreter().Variable(2), QString());
        QVERIFY(w.Interpreter().Variable(1).toInt() < 30000);
    }

    void mainWindowLaunchesItExceptUnderTheHourglass()
    {
        state->SettingsFolder = Path(QStringLiteral("settings"));
        QDir().mkpath(state->SettingsFolder);
        int launches = 0;
        state->WindowCommands[QStringLiteral("Menu_Trans_Byg")] = [&launches](QWidget*) { ++launches; };
        QFile f(Path(QStringLiteral("m.byg")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Pset,1,1,0\r\n");
        f.close();
        LogFile main(*state, Path(QStringLiteral("m.byg")));
        QCOMPARE(launches, 1);  // a ".byg" named on the command line is drawn at once
        QAction* item = main.MenuItem(QStringLiteral("Menu_Trans_Byg"));
        QVERIFY(item->isEnabled());
        QApplication::setOverrideCursor(Qt::WaitCursor);
        item->trigger();
        QApplication::restoreOverrideCursor();
        QCOMPARE(launches, 1);
        item->trigger();
        QCOMPARE(launches, 2);
        // The switch the drawing window uses while its load runs.
        main.SetDocumentCommandsEnabled(false);
        QVERIFY(!item->isEnabled());
        QVERIFY(!main.MenuItem(QStringLiteral("Menu_File"))->isEnabled());
        QVERIFY(!main.MenuItem(QStringLiteral("Menu_Trans"))->isEnabled());
        main.SetDocumentCommandsEnabled(true);
        QVERIFY(item->isEnabled());
        QVERIFY(main.MenuItem(QStringLiteral("Menu_Disp"))->isEnabled());
        main.close();
    }

    void helpTexts()
    {
        auto w = Open({QStringLiteral("#")});
        QVERIFY(w);
        w->Menu_H_M1->trigger();
        QCOMPARE(prompter.prompts.last().title, QStringLiteral(u"メニューの説明"));
        QVERIFY(prompter.prompts.last().text.startsWith(QStringLiteral(u"< 全面 >\r\n描画ダイアログが最大になる。")));
        QCOMPARE(prompter.prompts.last().icon, MsgIcon::Information);
    }
};

QTEST_MAIN(ByougaTest)
#include "ByougaTest.moc"
