#include "binary/ui/Dump.h"
#include "binary/ui/Dump2.h"

#include "common/ScriptedPrompter.h"
#include "binary/DumpFormat.h"
#include "core/AppState.h"
#include "core/LongRun.h"
#include "core/ui/WindowRegistry.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kolbran;

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Trigger(QWidget& window, const char* name)
{
    QAction* action = window.findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action, name);
    action->trigger();
}

int LineCount(const Dump& view)
{
    return int(view.Text1->toPlainText().split(u'\n', Qt::SkipEmptyParts).size());
}

}  // namespace

class DumpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheFirstPageWithTheStoredLayout()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.TargetFilePath = WriteFile(dir, QStringLiteral("a.bin"), QByteArray(1300, 'A'));
        Dump view(state);
        QCOMPARE(view.windowTitle(), QStringLiteral(u"ﾊﾞｲﾅﾘ表示"));
        QCOMPARE(view.Label1->text(), QStringLiteral("1"));
        QCOMPARE(view.Label2->text(), QStringLiteral(u"1頁 512ﾊﾞｲﾄ表示"));
        QCOMPARE(view.Label3->text(), QStringLiteral(u"全頁:3"));
        QVERIFY(view.Text1->toPlainText().startsWith(QStringLiteral("00000000 41414141 ")));
        QCOMPARE(LineCount(view), 32);
        QCOMPARE(view.HScroll1->maximum(), 3);

        state.settings.DumpBytesPerLine = 32;
        state.settings.DumpPageCode = 512;
        Dump wide(state);
        QCOMPARE(wide.Label2->text(), QStringLiteral(u"1頁 1024ﾊﾞｲﾄ表示"));
        QCOMPARE(wide.Label3->text(), QStringLiteral(u"全頁:2"));
        QCOMPARE(LineCount(wide), 32);  // two records of 16 lines
    }

    void pageCommandsAndLayoutChanges()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.TargetFilePath = WriteFile(dir, QStringLiteral("a.bin"), QByteArray(1300, 'A'));
        Dump view(state);
        Trigger(view, "M_Page_Ap");  // already on page 1
        QCOMPARE(view.CurrentPage(), 1);
        Trigger(view, "M_Page_Bp");
        QCOMPARE(view.Label1->text(), QStringLiteral("2"));
        QCOMPARE(view.HScroll1->value(), 2);
        QVERIFY(view.Text1->toPlainText().startsWith(QStringLiteral("00000200 ")));
        // 16 → 32 bytes per line keeps the page and halves its lines.
        Trigger(view, "M_O_32");
        QCOMPARE(view.CurrentPage(), 2);
        QCOMPARE(LineCount(view), 16);
        Trigger(view, "M_Page_Ep");
        QCOMPARE(view.CurrentPage(), 3);
        QCOMPARE(view.HScroll1->value(), 3);
        // The last record: 276 bytes, the last line unended and padded.
        QVERIFY(!view.Text1->toPlainText().endsWith(u'\n'));
        // 1024-byte pages: page 3 no longer exists, the view goes to the last page.
        Trigger(view, "M_O_512");
        QCOMPARE(view.CurrentPage(), 2);
        QCOMPARE(view.Label3->text(), QStringLiteral(u"全頁:2"));
        QCOMPARE(state.settings.DumpPageCode, qint16(512));
        QCOMPARE(state.settings.DumpBytesPerLine, qint16(32));
        view.HScroll1->setValue(1);
        QCOMPARE(view.Label1->text(), QStringLiteral("1"));
    }

    void seventyThousandPages()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        const QString path = dir.filePath(QStringLiteral("big.bin"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(512) * 70000));  // sparse: nothing is written
        }
        state.TargetFilePath = path;
        Dump view(state);
        QCOMPARE(view.HScroll1->maximum(), 32767);
        QCOMPARE(view.Label3->text(), QStringLiteral(u"全頁:70,000"));
        view.HScroll1->setValue(32767);
        QCOMPARE(view.Label1->text(), QStringLiteral("70,000"));
        view.HScroll1->setValue(32766);
        const qint64 page = view.CurrentPage();
        QVERIFY(page < 70000 && page > 69990);
        // Go to 69,995 exactly through "前10頁" from the last page, then "次10頁".
        Trigger(view, "M_Page_Ep");
        Trigger(view, "M_Page_Cp");
        QCOMPARE(view.CurrentPage(), 69990);
        for (int i = 0; i < 5; ++i)
            Trigger(view, "M_Page_Bp");
        QCOMPARE(view.CurrentPage(), 69995);
        Trigger(view, "M_Page_Dp");
        QCOMPARE(view.Label1->text(), QStringLiteral("70,000"));
        QVERIFY(view.Text1->toPlainText().startsWith(QStringLiteral("0222DE00 ")));
    }

    // Above 32,767 pages the scroll value is not the page: a layout change keeps the page
    // number, or goes to the last page when the page no longer exists.
    void layoutChangeKeepsThePageAbove32767Pages()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        const QString path = dir.filePath(QStringLiteral("big.bin"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(512) * 100000));  // sparse
        }
        state.TargetFilePath = path;
        const struct {
            int scroll;      // a scroll value under 512-byte pages (100,000 pages)
            bool beyond;     // the page is past the 50,000 pages of the 1024-byte layout
        } cases[] = {{9830, false}, {23000, true}};
        for (const auto& c : cases) {
            Dump view(state);
            view.HScroll1->setValue(c.scroll);
            const qint64 page = view.CurrentPage();
            Trigger(view, "M_O_512");
            const qint64 expected = c.beyond ? 50000 : page;
            QCOMPARE(view.CurrentPage(), expected);
            QCOMPARE(view.HScroll1->value(), ScrollValueForPage(expected, 50000));
            Trigger(view, "M_O_256");
            QCOMPARE(view.CurrentPage(), expected);
            QCOMPARE(view.HScroll1->value(), ScrollValueForPage(expected, 100000));
        }
    }

    // While a dump is written, nothing may start a second writer or change its layout;
    // closing the view stops it, and a stop is not an error (no "DEBUG" box).
    void aRunningWriterLocksItsCommands()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.DebugFlags = 1;
        state.TargetFilePath = WriteFile(dir, QStringLiteral("a.bin"), QByteArray(4 << 20, 'A'));
        Dump view(state);
        view.show();
        prompter.fileNames.enqueue(dir.filePath(QStringLiteral("a.DMP")));
        QStringList lockedDuringRun;
        bool busyDuringRun = false;
        QTimer probe;
        probe.setInterval(0);
        connect(&probe, &QTimer::timeout, &view, [&] {
            probe.stop();
            busyDuringRun = state.BusyFlag && RunGoing(state);
            for (const char* name : {"M_16_Save", "M_16_disp", "M_16_pr", "M_16_By", "M_16_Kaku", "M_O_16",
                                     "M_O_32", "M_O_256", "M_O_512", "M_O_CODE_1", "M_16_Kgyou_1"})
                if (!view.findChild<QAction*>(QString::fromLatin1(name))->isEnabled())
                    lockedDuringRun.append(QString::fromLatin1(name));
            QVERIFY(view.findChild<QAction*>(QStringLiteral("M_16_End"))->isEnabled());
            Trigger(view, "M_O_32");  // disabled: does nothing
            Trigger(view, "M_16_End");  // the user stops the run
        });
        probe.start();
        Trigger(view, "M_16_Save");
        QVERIFY(busyDuringRun);
        QCOMPARE(lockedDuringRun.size(), 11);
        QCOMPARE(state.settings.DumpBytesPerLine, qint16(16));
        QVERIFY(!state.BusyFlag);
        QCOMPARE(state.RunsGoing, 0);
        for (const auto& p : prompter.prompts)
            QVERIFY2(p.title != QLatin1String("DEBUG"), qPrintable(p.text));
        // Every line written (if the stop left any) has the 16-byte layout.
        const QByteArray dump = ReadFile(dir.filePath(QStringLiteral("a.DMP")));
        for (const QByteArray& line : dump.split('\n')) {
            const QByteArray text = line.trimmed();
            if (text.size() > 40)
                QVERIFY2(text.endsWith(QByteArray(16, 'A')) && !text.endsWith(QByteArray(17, 'A')), text.constData());
        }
        // Afterwards everything is enabled again.
        QVERIFY(view.findChild<QAction*>(QStringLiteral("M_O_32"))->isEnabled());
    }

    // The geometry saved at close is the one restored at the next open; a position off
    // every screen comes back onto the screen.
    void geometryRoundTripsAndStaysOnScreen()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.TargetFilePath = WriteFile(dir, QStringLiteral("a.bin"), QByteArray(600, 'A'));
        state.settings.DumpWindowLeft = 30 * 15;
        state.settings.DumpWindowTop = 40 * 15;
        state.settings.DumpWindowWidth = 500 * 15;
        state.settings.DumpWindowHeight = 300 * 15;
        for (int run = 0; run < 2; ++run) {
            Dump view(state);
            view.show();
            QCOMPARE(view.geometry(), QRect(30, 40, 500, 300));
            Trigger(view, "M_16_End");
            QCOMPARE(state.settings.DumpWindowLeft, qint16(30 * 15));
            QCOMPARE(state.settings.DumpWindowTop, qint16(40 * 15));
        }
        state.settings.DumpWindowLeft = 30000;
        state.settings.DumpWindowTop = -20000;
        Dump far(state);
        far.show();
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().intersects(far.geometry()));
        QCOMPARE(far.geometry().size(), QSize(500, 300));
    }

    void writesBinaryDisplayAndExtendedFiles()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.TargetFilePath = WriteFile(dir, QStringLiteral("a.bin"), QByteArray(5, 'A'));
        Dump view(state);
        prompter.fileNames.enqueue(dir.filePath(QStringLiteral("out.B")));
        Trigger(view, "M_16_By");
        QCOMPARE(prompter.prompts.last().request.title, QStringLiteral(u"バイナリ表示ファイルの生成"));
        QCOMPARE(prompter.prompts.last().request.initialName, QStringLiteral("a.B"));
        QCOMPARE(ReadFile(dir.filePath(QStringLiteral("out.B"))), QByteArray("4141414141\r\n"));
        QCOMPARE(view.Label3->text(), QStringLiteral(u"全頁:1"));

        prompter.fileNames.enqueue(dir.filePath(QStringLiteral("out.K")));
        Trigger(view, "M_16_Kaku");
        QCOMPARE(ReadFile(dir.filePath(QStringLiteral("out.K"))), QByteArray("41-4"));

        // A cancelled dialog writes nothing.
        Trigger(view, "M_16_Save");
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("a.DMP"))));
        QCOMPARE(state.BusyFlag, false);
    }

    void fileAndShowClosesWithItsActionCode()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.TargetFilePath = WriteFile(dir, QStringLiteral("a.bin"), QByteArray(1, 'A'));
        Dump view(state);
        Trigger(view, "M_16_pr");
        QCOMPARE(view.ActionCode(), 2);
        QCOMPARE(state.DumpFilePath, dir.filePath(QStringLiteral("a.DMP")));
        QCOMPARE(ReadFile(state.DumpFilePath), QByteArray("00000000 41") + QByteArray(35, ' ') + "A");

        // A document named *.DMP: the default name is its own; the view stays open.
        state.TargetFilePath = WriteFile(dir, QStringLiteral("b.DMP"), QByteArray(3, 'B'));
        Dump same(state);
        same.show();
        Trigger(same, "M_16_disp");
        QCOMPARE(prompter.Messages().last(), QStringLiteral(u"元ファイルと同名のファイル名は使用できません。"));
        QCOMPARE(prompter.prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(same.ActionCode(), 0);
        QVERIFY(same.isVisible());
        QCOMPARE(ReadFile(state.TargetFilePath), QByteArray("BBB"));
    }

    void closeKeepsSettings()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.DumpExtendedLineLength = 120;
        state.settings.DumpCharSize = 40;  // out of range: 10
        state.TargetFilePath = WriteFile(dir, QStringLiteral("a.bin"), QByteArray(600, 'A'));
        Dump view(state);
        QVERIFY(view.findChild<QAction*>(QStringLiteral("M_16_Kgyou_2"))->isChecked());
        QVERIFY(view.findChild<QAction*>(QStringLiteral("M_O_BorS_1"))->isChecked());
        QCOMPARE(view.Text1->font().pointSizeF(), 12.0);  // 16 bytes per line, 512-byte pages
        Trigger(view, "M_O_BorS_2");
        QCOMPARE(view.Text1->font().pointSizeF(), 15.0);
        Trigger(view, "M_16_Kgyou_3");
        view.show();
        Trigger(view, "M_16_End");
        QCOMPARE(view.ActionCode(), 0);
        QCOMPARE(state.settings.DumpExtendedLineLength, qint16(130));
        QCOMPARE(state.settings.DumpCharSize, 13.0f);
        QVERIFY(state.settings.DumpWindowHeight > 0);
        QCOMPARE(view.Label1->text(), QStringLiteral("1"));
    }

    void characterCodes()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.doc.IsUtf16 = true;
        state.TargetFilePath = WriteFile(dir, QStringLiteral("u.bin"), QByteArray("A\0B\0", 4));
        Dump view(state);
        QVERIFY(view.findChild<QAction*>(QStringLiteral("M_O_CODE_1"))->isChecked());
        QVERIFY(view.Text1->toPlainText().endsWith(QStringLiteral("AB")));
        Trigger(view, "M_O_CODE_0");
        QCOMPARE(view.Text1->toPlainText().mid(46), QStringLiteral("A.B."));
        Trigger(view, "M_O_CODE_2");
        QCOMPARE(view.Text1->toPlainText().mid(46), QStringLiteral(u"｡. ."));
    }

    void openersRefuseAnEmptyFile()
    {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.TargetFilePath = WriteFile(dir, QStringLiteral("e.bin"), {});
        QCOMPARE(ShowBinaryView(state, nullptr), 0);
        QCOMPARE(prompter.Messages().last(), QStringLiteral(u"ファイルサイズが０のため表示できません。"));
        QCOMPARE(prompter.prompts.last().title, QStringLiteral(u"ﾊﾞｲﾅﾘ表示"));
        QCOMPARE(prompter.prompts.last().icon, MsgIcon::Warning);

        RegisterBinaryWindows(state);
        QVERIFY(state.WindowCommands.count(QStringLiteral("Menu_Kaku_Hx")));
        QVERIFY(state.WindowCommands.count(QStringLiteral("Menu_Sea_Dump")));
        QVERIFY(state.WindowCommands.count(QStringLiteral("Menu_Trans_Kak")));
    }

    void partialViewShowsTheSelectedBytes()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        Dump2 view(state, QStringLiteral(u"あA"));
        QCOMPARE(view.windowTitle(), QStringLiteral(u"部分バイナリ表示"));
        QCOMPARE(view.Text1[0]->toPlainText(), QStringLiteral(u"あA"));
        QCOMPARE(view.Text1[1]->toPlainText(), QStringLiteral("82 A0 41 "));
        state.doc.IsUtf16 = true;
        Dump2 wide(state, QStringLiteral(u"あA"));
        QCOMPARE(wide.Text1[1]->toPlainText(), QStringLiteral("4230 4100 "));
    }
};

QTEST_MAIN(DumpTest)
#include "DumpTest.moc"
