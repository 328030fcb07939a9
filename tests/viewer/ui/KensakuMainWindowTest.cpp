// The searches through the main window: the Edit menu's items, the dialog and the list
// beside the window, and what the window's resets and minimising do to them.
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/ui/WindowRegistry.h"
#include "viewer/ui/KenIchi.h"
#include "viewer/ui/Kensaku.h"
#include "viewer/ui/LogFile.h"
#include "viewer/ui/SearchWindows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <memory>

using namespace kolbran;
using kolbran::test::ScriptedPrompter;

namespace {

struct Viewer {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    AppState state{prompter};
    std::unique_ptr<LogFile> window;

    Viewer()
    {
        state.SettingsFolder = dir.filePath(QStringLiteral("settings"));
        QDir().mkpath(state.SettingsFolder);
        RegisterSearchWindows(state);
    }
    ~Viewer()
    {
        if (window)
            window->close();
        QDir::setCurrent(QDir::tempPath());
    }
    LogFile& Open(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();
        window = std::make_unique<LogFile>(state, path);
        window->show();
        return *window;
    }
    QPlainTextEdit* Text1() const { return window->findChild<QPlainTextEdit*>(QStringLiteral("Text1")); }
    QString Selected() const { return Text1()->textCursor().selectedText(); }
    bool ItemEnabled(const char* name) const
    {
        // The Edit menu decides its items when it opens.
        if (auto* menu = window->findChild<QMenu*>(QStringLiteral("Menu_Edit")))
            Q_EMIT menu->aboutToShow();
        return window->MenuItem(QLatin1String(name))->isEnabled();
    }
};

QByteArray Lines(int count, std::initializer_list<int> hits)
{
    QByteArray bytes;
    auto it = hits.begin();
    for (int n = 1; n <= count; ++n) {
        bytes += "line " + QByteArray::number(n);
        if (it != hits.end() && *it == n) {
            bytes += " word";
            ++it;
        }
        bytes += "\r\n";
    }
    return bytes;
}

template <typename W>
W* Shown(const char* name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            return qobject_cast<W*>(w);
    return nullptr;
}

}  // namespace

class KensakuMainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void searchItemsWaitForASearchText()
    {
        Viewer v;
        LogFile& w = v.Open(Lines(100, {3, 60}));
        QVERIFY(!v.ItemEnabled("Menu_Sea_Down"));
        QVERIFY(!v.ItemEnabled("Menu_Sea_Up"));
        QVERIFY(v.ItemEnabled("Menu_Sea_Sea"));
        w.RunCommand(QStringLiteral("Menu_Sea_Down"));  // the toolbar button: nothing happens
        QVERIFY(v.prompter.prompts.isEmpty());
        v.state.SearchString = QStringLiteral("word");
        QVERIFY(v.ItemEnabled("Menu_Sea_Down"));
        QVERIFY(v.ItemEnabled("Menu_Sea_Up"));
    }

    void menuSearchesSelectInTheTextArea()
    {
        Viewer v;
        LogFile& w = v.Open(Lines(100, {3, 60}));
        v.state.SearchString = QStringLiteral("WORD");
        w.RunCommand(QStringLiteral("Menu_Sea_Down"));
        QCOMPARE(v.Selected(), QStringLiteral("word"));
        QCOMPARE(v.Text1()->textCursor().block().text(), QStringLiteral("line 3 word"));
        QCOMPARE(v.state.doc.TopLine, int64_t(1));

        w.RunCommand(QStringLiteral("Menu_Sea_Down"));
        QCOMPARE(v.state.doc.TopLine, int64_t(60));
        QCOMPARE(v.Text1()->textCursor().block().text(), QStringLiteral("line 60 word"));
        QCOMPARE(v.Selected(), QStringLiteral("word"));

        w.RunCommand(QStringLiteral("Menu_Sea_Up"));
        QCOMPARE(v.state.doc.TopLine, int64_t(3));
        QCOMPARE(v.Text1()->textCursor().block().text(), QStringLiteral("line 3 word"));

        w.RunCommand(QStringLiteral("Menu_Sea_Up"));
        QCOMPARE(v.prompter.Messages(), QStringList{QStringLiteral(u"「WORD」は見つかりませんでした。")});
        QCOMPARE(v.state.doc.TopLine, int64_t(3));
    }

    void dialogAndListLiveBesideTheWindow()
    {
        Viewer v;
        LogFile& w = v.Open(Lines(300, {10, 250}));
        v.state.SearchString = QStringLiteral("word");
        w.RunCommand(QStringLiteral("Menu_Sea_Sea"));
        QPointer<Kensaku> dialog = Shown<Kensaku>("Kensaku");
        QVERIFY(dialog);
        QCOMPARE(dialog->Text1->text(), QStringLiteral("word"));
        QTest::mouseClick(dialog->Command4, Qt::LeftButton);
        QPointer<KenIchi> list = Shown<KenIchi>("KenIchi");
        QVERIFY(list);
        QCOMPARE(list->List1->count(), 2);
        QVERIFY(v.state.settings.SearchListOpen);

        // Showing a result moves the main window's screen.
        list->List1->setCurrentRow(1);
        QTest::mouseClick(list->Command2, Qt::LeftButton);
        QCOMPARE(v.state.doc.TopLine, int64_t(250));
        QCOMPARE(v.Selected(), QStringLiteral("word"));

        // Minimising hides the list, restoring shows it again.
        w.showMinimized();
        QTRY_VERIFY(!list->isVisible());
        w.showNormal();
        QTRY_VERIFY(list->isVisible());

        // Closing the document closes the list.
        w.RunCommand(QStringLiteral("Menu_File_Close"));
        QTRY_VERIFY(list.isNull());
        QVERIFY(!v.state.settings.SearchListOpen);
    }

    void otherWindowsCloseTheSearchWindowsThroughTheHook()
    {
        Viewer v;
        LogFile& w = v.Open(Lines(50, {7}));
        v.state.SearchString = QStringLiteral("word");
        w.RunCommand(QStringLiteral("Menu_Sea_Sea"));
        QPointer<Kensaku> dialog = Shown<Kensaku>("Kensaku");
        OpenResultList(v.state, &w);
        QPointer<KenIchi> list = Shown<KenIchi>("KenIchi");
        QVERIFY(dialog && list);
        QVERIFY(v.state.CloseSearchWindows);
        v.state.CloseSearchWindows();
        QTRY_VERIFY(list.isNull() && dialog.isNull());
        QVERIFY(!v.state.settings.SearchListOpen);
    }
};

QTEST_MAIN(KensakuMainWindowTest)
#include "KensakuMainWindowTest.moc"
