#include "multifile/ui/MltChiK.h"

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/ui/FileList.h"
#include "core/ui/WindowRegistry.h"
#include "multifile/ui/FileSetControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace kolbran;

// Answers like the scripted prompter and runs `during` while a question is open (the user acting
// in the middle of a run).
class ActingPrompter final : public Prompter {
public:
    test::ScriptedPrompter script;
    std::function<void()> during;
    MsgAnswer Message(const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title) override
    {
        if (during)
            during();
        return script.Message(text, icon, buttons, title);
    }
    std::optional<QString> Input(const QString& p, const QString& t, const QString& d) override
    {
        return script.Input(p, t, d);
    }
    QString OpenFileName(const FileDialogRequest& r) override { return script.OpenFileName(r); }
    QString SaveFileName(const FileDialogRequest& r) override { return script.SaveFileName(r); }
    bool PrinterSetup(PrinterChoice& c) override { return script.PrinterSetup(c); }
};

class MltChiKTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_mltchik_XXXXXX")};
    QString start = QDir::currentPath();

    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(name));
        f.write(bytes);
    }
    QByteArray Read(const QString& name)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private Q_SLOTS:
    void init() { QDir::setCurrent(dir.path()); }
    void cleanup() { QDir::setCurrent(start); }

    void EmptySearchTextOnlyShowsTheMessage()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        RegisterMltChiKWindows(state);
        QVERIFY(state.WindowCommands.count(QStringLiteral("Menu_Trans_MltChi")) == 1);
        Write(QStringLiteral("a.txt"), "abc\r\n");
        MltChiK w(state, nullptr);
        QCOMPARE(w.windowTitle(), QStringLiteral(u"複数ファイル文字列置換"));
        QCOMPARE(w.TabStrip1->tabText(1), QStringLiteral(u"パターン置換"));
        w.Sets->File1->selectAll();
        w.Command1_Click();
        QCOMPARE(prompter.Messages(), QStringList{QStringLiteral(u"置換文字列が指定されていません。")});
        QCOMPARE(prompter.prompts.last().icon, MsgIcon::None);
        QCOMPARE(prompter.prompts.last().buttons, MsgButtons::Ok);
        QVERIFY(w.Text2->toPlainText().isEmpty());

        // The pattern tab: its list chooses the mode; the string tab is mode 0 again.
        w.TabStrip1->setCurrentIndex(1);
        QCOMPARE(w.Mode(), 1);
        w.Combo2->setCurrentIndex(1);
        QCOMPARE(w.Mode(), 2);
        w.TabStrip1->setCurrentIndex(0);
        QCOMPARE(w.Mode(), 0);
        w.TabStrip1->setCurrentIndex(1);
        QCOMPARE(w.Mode(), 2);
        w.Command1_Click();  // Latin letters, no question: a.txt rewritten
        QCOMPARE(Read(QStringLiteral("a.txt")), QByteArray("\x82\x81\x82\x82\x82\x83\r\n"));
    }

    void CancelForOneFileSkipsItAndRefusalsAreLogged()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.NoBackup = true;
        Write(QStringLiteral("a.txt"), "foo\r\n");
        Write(QStringLiteral("b.txt"), "foo\r\n");
        Write(QStringLiteral(".h.txt"), "foo\r\n");
        {
            MltChiK w(state, nullptr);
            w.Sets->File1->selectAll();
            w.Text1[0]->setText(QStringLiteral("foo"));
            w.Text1[1]->setText(QStringLiteral("bar"));
            w.Check1->setChecked(true);
            for (MsgAnswer a : {MsgAnswer::Ok, MsgAnswer::Cancel, MsgAnswer::Ok})
                prompter.answers.enqueue(a);
            w.Command1_Click();
            QCOMPARE(prompter.Messages(), (QStringList{QStringLiteral(u"「.h.txt」を処理します！"),
                                                       QStringLiteral(u"「a.txt」を処理します！"),
                                                       QStringLiteral(u"「b.txt」を処理します！")}));
            QCOMPARE(Read(QStringLiteral("a.txt")), QByteArray("foo\r\n"));
            QCOMPARE(Read(QStringLiteral("b.txt")), QByteArray("bar\r\n"));
            QCOMPARE(Read(QStringLiteral(".h.txt")), QByteArray("foo\r\n"));
            QCOMPARE(w.Text2->toPlainText(),
                     QStringLiteral(u"--- .h.txt--------------\n"
                                    u"※ 「隠しファイル」を更新することはできません。（変更していません）\n"
                                    u"--- a.txt--------------\n"
                                    u"--- b.txt--------------\n"
                                    u"001:\n前:foo\n後:bar\n"
                                    u"--- 終了-----------------\n"));
            QCOMPARE(w.Command1->text(), QStringLiteral(u"実　行"));
            QVERIFY(w.Sets->isEnabled());
            QVERIFY(!state.BusyFlag);
            QCOMPARE(state.RunsGoing, 0);
        }
        // The texts come back in the next dialog.
        MltChiK again(state, nullptr);
        QCOMPARE(again.Text1[0]->text(), QStringLiteral("foo"));
        QCOMPARE(again.Text1[1]->text(), QStringLiteral("bar"));
    }
    void ClosingMidRunCancelsAndClosesAfterIt()
    {
        ActingPrompter prompter;
        AppState state(prompter);
        Write(QStringLiteral("a.txt"), "foo\r\n");
        Write(QStringLiteral("b.txt"), "foo\r\n");
        MltChiK w(state, nullptr);
        w.show();
        w.Sets->File1->selectAll();
        w.Text1[0]->setText(QStringLiteral("foo"));
        w.Check1->setChecked(true);
        prompter.script.answers.enqueue(MsgAnswer::Ok);
        bool closedAtOnce = true;
        prompter.during = [&] {
            w.close();
            closedAtOnce = !w.isVisible();
        };
        w.Command1_Click();
        QVERIFY(!closedAtOnce);  // the close only cancelled the run
        QVERIFY(!w.isVisible());  // and the dialog closed after it
        QCOMPARE(prompter.script.Messages().size(), 1);
        QCOMPARE(Read(QStringLiteral("a.txt")), QByteArray("foo\r\n"));
        QCOMPARE(Read(QStringLiteral("b.txt")), QByteArray("foo\r\n"));
        QCOMPARE(state.RunsGoing, 0);
        QVERIFY(!state.BusyFlag);
    }
};

QTEST_MAIN(MltChiKTest)
#include "MltChiKTest.moc"
