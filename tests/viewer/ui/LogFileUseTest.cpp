// The main window as a new user meets it: right clicks, the Alt key, long runs, drops
// during a scan, the caption's time, the line-number column, the status text, the rows
// and the toolbar's disabled buttons.
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/FileListing.h"
#include "core/LongRun.h"
#include "core/Numbers.h"
#include "viewer/ui/LogFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <memory>

using namespace kolbran;
using kolbran::test::ScriptedPrompter;

namespace {

QByteArray NumberedLines(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    return bytes;
}

struct Viewer {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    AppState state{prompter};
    std::unique_ptr<LogFile> window;

    Viewer()
    {
        state.SettingsFolder = dir.filePath(QStringLiteral("settings"));
        QDir().mkpath(state.SettingsFolder);
    }
    ~Viewer()
    {
        if (window)
            window->close();
        QDir::setCurrent(QDir::tempPath());
    }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    LogFile& Start(const QString& commandLine = {})
    {
        window = std::make_unique<LogFile>(state, commandLine);
        return *window;
    }
    QPlainTextEdit* Text1() const { return window->findChild<QPlainTextEdit*>(QStringLiteral("Text1")); }
    QListWidget* List1() const { return window->findChild<QListWidget*>(QStringLiteral("List1")); }
};

void Drop(QWidget* target, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

bool AnyPopupShown()
{
    return QApplication::activePopupWidget() != nullptr;
}

}  // namespace

class LogFileUseTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The text area has no menu of its own, and its right click opens no Help menu.
    void rightClickOnTheTextOpensNothing()
    {
        Viewer v;
        LogFile& w = v.Start(v.Write(QStringLiteral("a.txt"), NumberedLines(5)));
        QCOMPARE(v.Text1()->contextMenuPolicy(), Qt::NoContextMenu);
        QWidget* viewport = v.Text1()->viewport();
        QTest::mouseClick(viewport, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(viewport, &menu);
        QVERIFY(!AnyPopupShown());
        QVERIFY(!w.MenuItem(QStringLiteral("Menu_Help"))->menu()->isVisible());
    }

    // Alt, F10 and Alt+E leave the focus on the text, so 編集 > コピー copies the selection.
    void menuKeysKeepTheFocusOnTheText()
    {
        Viewer v;
        LogFile& w = v.Start(v.Write(QStringLiteral("a.txt"), NumberedLines(200)));
        w.activateWindow();
        v.Text1()->setFocus();
        QTextCursor cursor = v.Text1()->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(6, QTextCursor::KeepAnchor);
        v.Text1()->setTextCursor(cursor);
        using KeyPress = std::pair<Qt::Key, Qt::KeyboardModifier>;
        const KeyPress keys[] = {{Qt::Key_Alt, Qt::AltModifier}, {Qt::Key_F10, Qt::NoModifier},
                                 {Qt::Key_E, Qt::AltModifier}, {Qt::Key_Meta, Qt::MetaModifier}};
        for (const auto& [key, modifiers] : keys) {
            QKeyEvent press(QEvent::KeyPress, key, modifiers);
            QCoreApplication::sendEvent(v.Text1(), &press);
            QCOMPARE(w.focusWidget(), v.Text1());
        }
        w.RunCommand(QStringLiteral("Menu_Edit_Copy"));
        QCOMPARE(v.state.SearchString, QStringLiteral("line 1"));
    }

    // While a run goes on, the menus, the toolbar and every command wait; closing the
    // window cancels the run and closes it once the run has stopped.
    void aRunLocksTheWindowAndCloseCancelsIt()
    {
        Viewer v;
        LogFile& w = v.Start(v.Write(QStringLiteral("a.txt"), NumberedLines(5)));
        QVERIFY(v.state.doc.HasFile());
        {
            LongRun run(v.state);
            for (QAction* menu : w.menuBar()->actions())
                QVERIFY(!menu->isEnabled());
            QVERIFY(!w.findChild<QToolBar*>(QStringLiteral("Toolbar1"))->isEnabled());
            w.RunCommand(QStringLiteral("Menu_File_Close"));
            QVERIFY(v.state.doc.HasFile());  // the close waited
            QVERIFY(!w.close());
            QVERIFY(!v.state.BusyFlag);  // the run was asked to stop
            QVERIFY(w.isVisible());
        }
        QVERIFY(w.MenuItem(QStringLiteral("Menu_File"))->isEnabled());
        QTRY_VERIFY(!w.isVisible());
        v.window.reset();
    }

    // A file dropped while a document is scanned cancels that scan and is opened after
    // it, with its own name, line count and text.
    void aDropDuringTheScanOpensTheDroppedFileAfterIt()
    {
        Viewer v;
        // UTF-16 takes the scan's byte-by-byte path: long enough to yield many times.
        const QString text = QString::fromLatin1(NumberedLines(600000));
        const QString big = v.Write(QStringLiteral("big.txt"),
                                    QByteArray("\xff\xfe", 2) +
                                        QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
        const QString small = v.Write(QStringLiteral("small.txt"), NumberedLines(3));
        LogFile& w = v.Start();
        bool dropped = false;
        QTimer probe;
        probe.setInterval(0);
        connect(&probe, &QTimer::timeout, &w, [&] {
            if (!RunGoing(v.state) || dropped)
                return;
            dropped = true;
            Drop(&w, small);
        });
        probe.start();
        Drop(&w, big);
        probe.stop();
        QVERIFY(dropped);
        QTRY_COMPARE(QFileInfo(v.state.doc.DocumentName).fileName(), QStringLiteral("small.txt"));
        QCOMPARE(v.state.doc.LineCount, 3);
        QVERIFY(v.Text1()->toPlainText().startsWith(QStringLiteral("line 1\nline 2\nline 3")));
        QCOMPARE(w.StatusPanel(4), QStringLiteral(u"行数:3"));
    }

    // The caption's time stamp has the file dialog's form, seconds included.
    void captionShowsTheFileTimeInOneForm()
    {
        Viewer v;
        const QString path = v.Write(QStringLiteral("t.txt"), "x\r\n");
        LogFile& w = v.Start(path);
        const QDateTime time = QFileInfo(path).lastModified();
        QVERIFY(w.windowTitle().endsWith(QStringLiteral(" (") + time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) + u')'));
        QCOMPARE(FormatFileTimestamp(time), time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    }

    // The line-number column holds the document's widest number whole.
    void lineNumberColumnFitsTheWidestNumber()
    {
        Viewer v;
        const QString path = v.Write(QStringLiteral("m.txt"), QByteArray("\r\n").repeated(1000000));
        LogFile& w = v.Start(path);
        QCOMPARE(v.state.doc.LineCount, 1000000);
        w.RunCommand(QStringLiteral("Menu_Disp_Ari"));
        const QString widest = FormatLineNumber(1000000);
        const int needed = QFontMetrics(v.List1()->font()).horizontalAdvance(widest);
        QVERIFY2(v.List1()->viewport()->width() >= needed + 4,
                 qPrintable(QStringLiteral("%1 < %2").arg(v.List1()->viewport()->width()).arg(needed)));
    }

    // A long status text is cut: the window keeps its width.
    void statusTextNeverWidensTheWindow()
    {
        Viewer v;
        LogFile& w = v.Start();
        const int width = w.width();
        w.SetStatusPanel(1, QString(400, u'処'));
        w.SetStatusPanel(5, QStringLiteral(u"ｻｲｽﾞ:") + QString(200, u'9'));
        QCoreApplication::processEvents();
        QCOMPARE(w.width(), width);
        QVERIFY(w.minimumSizeHint().width() <= width);
    }

    // Every row of a screen of raw EUC text (shown as Shift_JIS, with fallback glyphs)
    // fits in the text area.
    void everyRowShowsWithFallbackGlyphs()
    {
        Viewer v;
        QByteArray euc;
        for (int i = 0; i < 40; ++i)
            euc += "\xa4\xa2\xa4\xa4\xb4\xc1\xbb\xfa\xc6\xfc\xcb\xdc\xb8\xec \xfa\xfb\xfc\xfd\x80\xa0\r\n";
        LogFile& w = v.Start(v.Write(QStringLiteral("e.txt"), euc));
        QVERIFY(w.isVisible());
        QPlainTextEdit* text = v.Text1();
        const int rows = v.state.settings.LinesPerScreen;
        QCOMPARE(text->document()->blockCount() >= rows, true);
        const QTextBlock last = text->document()->findBlockByNumber(rows - 1);
        const QRect box = text->cursorRect(QTextCursor(last));
        QVERIFY2(box.bottom() < text->viewport()->height(),
                 qPrintable(QStringLiteral("%1 > %2").arg(box.bottom()).arg(text->viewport()->height())));
    }

    // A disabled toolbar button is drawn greyed, unlike its enabled self.
    void disabledToolbarButtonsLookDisabled()
    {
        Viewer v;
        LogFile& w = v.Start();
        for (const char* key : {"File_Close", "Kan", "Copy"}) {
            QAction* button = w.ToolButton(QString::fromLatin1(key));
            QVERIFY(!button->isEnabled());
            const QImage normal = button->icon().pixmap(QSize(16, 16), QIcon::Normal).toImage();
            const QImage disabled = button->icon().pixmap(QSize(16, 16), QIcon::Disabled).toImage();
            qint64 alphaNormal = 0, alphaDisabled = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    alphaNormal += qAlpha(normal.pixel(x, y));
                    alphaDisabled += qAlpha(disabled.pixel(x, y));
                }
            QVERIFY2(alphaDisabled * 2 < alphaNormal, key);
        }
    }
};

QTEST_MAIN(LogFileUseTest)
#include "LogFileUseTest.moc"
