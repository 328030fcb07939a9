// The Trans menu's commands, the rules dialog and the line-range dialog in the real main
// window: questions, the wait window, cancelling, guarding, and the files on disk.
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Settings.h"
#include "core/ui/CancelF.h"
#include "core/ui/WindowRegistry.h"
#include "viewer/ui/BubunPrt.h"
#include "viewer/ui/LineSea.h"
#include "viewer/ui/LogFile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

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
        RegisterTransformWindows(state);
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
    QByteArray Read(const QString& name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    LogFile& Open(const QByteArray& bytes, const QString& name = QStringLiteral("doc.txt"))
    {
        window = std::make_unique<LogFile>(state, Write(name, bytes));
        state.settings.NoBackup = false;
        return *window;
    }
    void Trigger(const QString& item) { window->MenuItem(item)->trigger(); }
    QPlainTextEdit* Text1() const { return window->findChild<QPlainTextEdit*>(QStringLiteral("Text1")); }
    QScrollBar* VScroll1() const { return window->findChild<QScrollBar*>(QStringLiteral("VScroll1")); }
    QStringList Texts() const
    {
        QStringList texts;
        for (const auto& p : prompter.prompts)
            texts << p.text;
        return texts;
    }
};

QByteArray Lines(int count, const QByteArray& tail = "  ")
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "line " + QByteArray::number(i) + tail + "\r\n";
    return bytes;
}

CancelF* WaitWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* c = qobject_cast<CancelF*>(w); c && c->isVisible())
            return c;
    return nullptr;
}

}  // namespace

class TransformCommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rightTrimRewritesAndShowsTheSamePlace()
    {
        Viewer v;
        v.Open(Lines(300));
        v.VScroll1()->setValue(100);
        v.prompter.answers.enqueue(MsgAnswer::Ok);
        v.Trigger(QStringLiteral("Menu_Trans_Mm"));
        QCOMPARE(v.prompter.prompts.size(), 1);
        QCOMPARE(v.prompter.prompts[0].text, QStringLiteral(u"「doc.txt」を変換します！\r\n全ての行の右側の半角スペースを削除します。"));
        QCOMPARE(v.prompter.prompts[0].title, QStringLiteral(u"右側の空白削除"));
        QCOMPARE(v.Read(QStringLiteral("doc.txt")), Lines(300, ""));
        QCOMPARE(v.Read(QStringLiteral("doc.bak")), Lines(300));
        QVERIFY(v.state.doc.HasFile());
        QCOMPARE(qint64(v.state.doc.FileLength), qint64(Lines(300, "").size()));
        QCOMPARE(v.VScroll1()->value(), 100);
        QVERIFY(v.window->menuBar()->isEnabled());
        QCOMPARE(v.Files().size(), 2);
    }

    void answeringCancelChangesNothing()
    {
        Viewer v;
        v.Open("a\nb\n");
        v.Trigger(QStringLiteral("Menu_Trans_Bb"));  // the prompter answers Cancel
        QCOMPARE(v.prompter.prompts[0].text, QStringLiteral(u"「doc.txt」の1ﾊﾞｲﾄ改行文字を\r\n2ﾊﾞｲﾄ改行文字に変換します！"));
        QCOMPARE(v.Read(QStringLiteral("doc.txt")), QByteArray("a\nb\n"));
        QCOMPARE(v.Files().size(), 1);
    }

    void saveCodeNeedsADisplayCode()
    {
        Viewer v;
        v.Open("\xA4\xA2\r\n");
        v.Trigger(QStringLiteral("Menu_Trans_Nippon"));
        QCOMPARE(v.Texts(), QStringList{QStringLiteral(u"標準値のままでは変換処理できません。")});
        v.window->MenuItem(QStringLiteral("Menu_Disp_Nippon_1"))->trigger();
        v.prompter.answers.enqueue(MsgAnswer::Ok);
        v.Trigger(QStringLiteral("Menu_Trans_Nippon"));
        QCOMPARE(v.prompter.prompts.last().text, QStringLiteral(u"「doc.txt」を｢日本語１｣で変換します！"));
        QCOMPARE(v.Read(QStringLiteral("doc.txt")), QByteArray("\x82\xA0\r\n"));
        QCOMPARE(v.state.doc.DisplayCode, 0);
        QVERIFY(v.window->MenuItem(QStringLiteral("Menu_Disp_Nippon_0"))->isChecked());
    }

    void wrapOfASmallFileAsksNothing()
    {
        Viewer v;
        v.state.settings.WrapWidth = 10;
        v.Open("0123456789");
        v.state.settings.WrapWidth = 10;
        v.Trigger(QStringLiteral("Menu_Trans_By"));
        QVERIFY(v.prompter.prompts.isEmpty());
        QCOMPARE(v.Read(QStringLiteral("doc.txt")), QByteArray("0123456789"));
    }

    // The wait window's cancel in the middle of a wrap: the file stays byte for byte, no
    // temporary file is left, the document is shown and the commands come back.
    void cancelledWrapLeavesTheFile()
    {
        Viewer v;
        const QByteArray big = QByteArray(4 << 20, 'w');
        v.Open(big);
        v.state.settings.WrapWidth = 10;
        v.prompter.answers.enqueue(MsgAnswer::Ok);
        bool guarded = false;
        QTimer::singleShot(0, [&] {
            guarded = !v.window->menuBar()->isEnabled() &&
                      !v.window->findChild<QToolBar*>(QStringLiteral("Toolbar1"))->isEnabled() && v.state.BusyFlag;
            if (CancelF* wait = WaitWindow())
                QTest::mouseClick(wait->Command1, Qt::LeftButton);
        });
        v.Trigger(QStringLiteral("Menu_Trans_By"));
        QVERIFY(guarded);
        QVERIFY(v.state.CancelRequested);
        QCOMPARE(v.Read(QStringLiteral("doc.txt")), big);
        QCOMPARE(v.Files(), QStringList{QStringLiteral("doc.txt")});
        QVERIFY(v.state.doc.HasFile());
        QVERIFY(v.window->menuBar()->isEnabled());
        QVERIFY(!WaitWindow());
        // A second conversion runs to its end: the old cancel does not stop it.
        v.prompter.answers.enqueue(MsgAnswer::Ok);
        v.Trigger(QStringLiteral("Menu_Trans_B2"));
        QCOMPARE(v.Read(QStringLiteral("doc.txt")).size(), big.size());
        QVERIFY(!v.state.CancelRequested);
        QCOMPARE(v.Files(), (QStringList{QStringLiteral("doc.bak"), QStringLiteral("doc.txt")}));
    }

    void closingTheWindowCancelsFirst()
    {
        Viewer v;
        const QByteArray big = QByteArray(4 << 20, 'a') + "\n";
        v.Open(big);
        v.prompter.answers.enqueue(MsgAnswer::Ok);
        QTimer::singleShot(0, [&] { v.window->close(); });
        v.Trigger(QStringLiteral("Menu_Trans_Bb"));
        QCOMPARE(v.Read(QStringLiteral("doc.txt")), big);
        QCOMPARE(v.Files(), QStringList{QStringLiteral("doc.txt")});
        QTRY_VERIFY(!v.window->isVisible());
    }

    void deleteLinesWithRulesFromTheDialog()
    {
        Viewer v;
        v.Open("a\r\n// x\r\nb\r\n// y\r\nc\r\n#z\r\n");
        v.prompter.answers.enqueue(MsgAnswer::Ok);  // 登録しました。
        {
            LineSea dialog(v.state, v.window.get());
            QCOMPARE(dialog.windowTitle(), QStringLiteral(u"削除行の設定"));
            dialog.Text1->setText(QStringLiteral("//"));
            dialog.HScroll1->setValue(3);
            QCOMPARE(dialog.Label3->text(), QStringLiteral("3"));
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
            dialog.Text1->setText(QStringLiteral("#"));
            dialog.HScroll1->setValue(1);
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
            dialog.Text1->setText(QStringLiteral("   "));  // only blanks: nothing added
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
            QCOMPARE(dialog.List1->count(), 2);
            QCOMPARE(dialog.List1->item(0)->text(), QStringLiteral("//") + QString(49, u' ') + u'3');
            QTest::mouseClick(dialog.Command4, Qt::LeftButton);
        }
        QCOMPARE(v.Texts().last(), QStringLiteral(u"登録しました。"));
        QCOMPARE(int(v.state.settings.DeleteRuleCount), 2);
        QCOMPARE(ReadDeleteRules(v.state.settings.SettingsPath, 2),
                 (QList<DeleteRule>{{QStringLiteral("//"), 3}, {QStringLiteral("#"), 1}}));
        {
            // The stored rules come back, a click shows one, a double click removes it.
            LineSea dialog(v.state, v.window.get());
            QCOMPARE(dialog.List1->count(), 2);
            dialog.List1_Click(dialog.List1->item(0));
            QCOMPARE(dialog.Text1->text(), QStringLiteral("//"));
            QCOMPARE(dialog.HScroll1->value(), 3);
            dialog.List1_DblClick(dialog.List1->item(1));
            QCOMPARE(dialog.List1->count(), 1);
        }
        v.prompter.answers.enqueue(MsgAnswer::Ok);
        v.Trigger(QStringLiteral("Menu_Trans_Nif"));
        QCOMPARE(v.prompter.prompts.last().title, QStringLiteral(u"削除行実行"));
        QCOMPARE(v.Read(QStringLiteral("doc.txt")), QByteArray("a\r\nc\r\n"));
    }

    void lineCopyFromTheSelection()
    {
        Viewer v;
        v.Open(Lines(10, ""));
        // Select from inside line 2 (it starts at 7) to inside line 4.
        QTextCursor c = v.Text1()->textCursor();
        c.setPosition(9);
        c.setPosition(24, QTextCursor::KeepAnchor);
        v.Text1()->setTextCursor(c);
        v.state.LineRangeMode = 0;
        BubunPrt dialog(v.state, v.window.get());
        QCOMPARE(dialog.windowTitle(), QStringLiteral(u"行指定コピー"));
        QCOMPARE(dialog.Label2->text(), QStringLiteral("2"));
        QCOMPARE(dialog.Label4->text(), QStringLiteral("4"));
        QVERIFY(dialog.Command1->isVisibleTo(&dialog));
        QVERIFY(!dialog.Command3->isVisibleTo(&dialog));
        // The start bar pushes the end bar.
        dialog.HScroll1->setValue(dialog.HScroll1->value() + 1);
        QCOMPARE(dialog.Label2->text(), QStringLiteral("3"));
        dialog.HScroll2->setValue(dialog.HScroll2->value() + 1);
        QCOMPARE(dialog.Label4->text(), QStringLiteral("5"));
        dialog.HScroll1->setValue(dialog.HScroll1->maximum());
        QCOMPARE(dialog.Label4->text(), QStringLiteral("10"));
        dialog.HScroll1->setValue(2);
        dialog.HScroll2->setValue(4);
        QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("line 3\r\nline 4\r\nline 5\r\n"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void lineDeleteThroughTheMenu()
    {
        Viewer v;
        v.Open("1\r\n2\r\n3\r\n");
        v.Text1()->selectAll();
        bool cancelled = false;
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<BubunPrt*>(QApplication::activeModalWidget())) {
                QCOMPARE(d->windowTitle(), QStringLiteral(u"部分削除"));
                QTest::mouseClick(d->Command2, Qt::LeftButton);
                cancelled = true;
            }
        });
        v.Trigger(QStringLiteral("Menu_Edit_Line_1"));
        QVERIFY(cancelled);
        // A cancelled delete leaves the document open for shared reading, not locked.
        QVERIFY(v.state.doc.HasFile());
        QVERIFY(!(v.state.doc.File->openMode() & QIODevice::WriteOnly));

        v.Text1()->selectAll();
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<BubunPrt*>(QApplication::activeModalWidget()))
                QTest::mouseClick(d->Command3, Qt::LeftButton);
        });
        v.Trigger(QStringLiteral("Menu_Edit_Line_1"));
        QCOMPARE(v.Read(QStringLiteral("doc.txt")), QByteArray());
        QCOMPARE(v.Read(QStringLiteral("doc.bak")), QByteArray("1\r\n2\r\n3\r\n"));
        QVERIFY(v.state.doc.HasFile());
        QCOMPARE(v.state.doc.LineCount, 0);
    }
};

QTEST_MAIN(TransformCommandsTest)
#include "TransformCommandsTest.moc"
