#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/ui/CancelF.h"
#include "generators/ui/CSV.h"
#include "generators/ui/GeneratorsWindows.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"
#include "viewer/ui/LogFile.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <new>

using namespace kolbran;

class CSVTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString home_ = QDir::currentPath();

    void Open(AppState& state, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QStringLiteral("data.csv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        ViewerHost host;
        PrOpen(state, host, path);
        QVERIFY(state.doc.HasFile());
    }
    static QByteArray Lines(int count)
    {
        QByteArray b;
        for (int k = 1; k <= count; ++k)
            b += "r" + QByteArray::number(k) + ",x\r\n";
        return b;
    }
    static bool WaitWindowShown()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<CancelF*>(w) && w->isVisible())
                return true;
        return false;
    }
    static void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private Q_SLOTS:
    void init() { QDir::setCurrent(dir_.path()); }
    void cleanup() { QDir::setCurrent(home_); }

    void TableOfTheDocumentAndDelimiters()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        Open(state, ToSjis(QStringLiteral(u"a,bb\r\nccc,d,e\r\n日本\tabc\r\n")));
        state.doc.TopLine = 7;
        QPointer<CSV> w = new CSV(state);
        w->Open();
        QCOMPARE(w->Text1->toPlainText(), QStringLiteral(u"│a       │bb│ │\n│ccc     │d │e│\n│日本\tabc│  │ │\n"));
        QCOMPARE(w->Label2[2]->text(), QStringLiteral("3"));
        QCOMPARE(w->Label2[3]->text(), QStringLiteral("3"));
        QCOMPARE(w->Label2[1]->text(), QStringLiteral(u"項目数"));
        QVERIFY(!w->Command3->isEnabled());
        QVERIFY(!WaitWindowShown());
        QCOMPARE(state.doc.TopLine, 7);  // the main window's top line is left alone

        w->Combo1->setCurrentIndex(2);
        w->Combo1_Click(2);
        QCOMPARE(w->Text1->toPlainText(), QStringLiteral(u"│a,bb   │   │\n│ccc,d,e│   │\n│日本   │abc│\n"));
        QCOMPARE(state.CsvDelimiterIndex, 2);
        w->Combo2_Click(4);
        QCOMPARE(w->Text1->font().pointSizeF(), 15.0);
        w->Command1_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), w->Text1->toPlainText());
        w->close();
        Flush();
        QVERIFY(w.isNull());

        // A new window starts with the remembered delimiter.
        CSV again(state);
        again.Open();
        QCOMPARE(again.Combo1->currentIndex(), 2);
    }

    void CancelThenACleanRun()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        Open(state, Lines(50));
        CSV w(state);
        int calls = 0;
        w.BeforeLine = [&](qint64) {
            if (++calls == 60)
                state.CancelRequested = true;  // "取　消" in the table pass
        };
        w.Open();
        QVERIFY(w.Text1->toPlainText().count(u'\n') <= 11);
        QVERIFY(!WaitWindowShown());
        w.BeforeLine = nullptr;
        w.Combo1_Click(0);  // the old flag does not stop the new run
        QCOMPARE(w.Text1->toPlainText().count(u'\n'), 50);
    }

    void DelimiterChoiceAndCloseDuringARun()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        Open(state, Lines(30));
        QPointer<CSV> w = new CSV(state);
        bool disabled = false;
        w->BeforeLine = [&](qint64 n) {
            if (n == 5 && !disabled) {
                disabled = !w->Combo1->isEnabled();
                w->Combo1_Click(2);  // refused: no second run
            }
        };
        w->Open();
        QVERIFY(disabled);
        QCOMPARE(w->Text1->toPlainText().count(u'\n'), 30);
        QCOMPARE(state.CsvDelimiterIndex, 0);

        w->BeforeLine = [&](qint64 n) {
            if (n == 10)
                w->close();
        };
        w->Combo1_Click(1);
        QVERIFY(!w.isNull());  // not freed while its run was on the stack
        Flush();
        QVERIFY(w.isNull());
    }

    void DocumentClosedDuringARun()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        Open(state, Lines(40));
        CSV w(state);
        w.BeforeLine = [&](qint64 n) {
            if (n == 3)
                ResetDocumentState(state);
        };
        w.Open();
        QVERIFY(!w.Running());
        QVERIFY(w.Text1->toPlainText().isEmpty());
        QVERIFY(!WaitWindowShown());

        // The document rewritten and opened again in the middle of the table pass.
        Open(state, Lines(40));
        int calls = 0;
        w.BeforeLine = [&](qint64) {
            if (++calls == 45) {
                ViewerHost host;
                PrOpen(state, host, dir_.filePath(QStringLiteral("data.csv")));
            }
        };
        w.Combo1_Click(0);
        QCOMPARE(w.Text1->toPlainText().count(u'\n'), 5);
    }

    void FromTheMainWindowAndClosedWithTheDocument()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.SettingsFolder = dir_.filePath(QStringLiteral("settings"));
        QDir().mkpath(state.SettingsFolder);
        RegisterGeneratorsWindows(state);
        const QString path = dir_.filePath(QStringLiteral("main.csv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("a,b\r\nc,d\r\n");
        f.close();
        LogFile window(state, path);
        QVERIFY(state.doc.HasFile());
        prompter.answers.enqueue(MsgAnswer::Ok);
        QVERIFY(window.RunCommand(QStringLiteral("Menu_Kaku_Csv")));
        QCOMPARE(prompter.prompts.last().text, QStringLiteral(u"CSV解析を実行します。"));
        QPointer<CSV> csv;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* c = qobject_cast<CSV*>(w))
                csv = c;
        QVERIFY(csv);
        QCOMPARE(csv->Text1->toPlainText(), QStringLiteral(u"│a│b│\n│c│d│\n"));
        window.CloseDocument();
        Flush();
        QVERIFY(csv.isNull());
        window.close();
    }

    void OutOfMemoryKeepsTheRowsInATempFile()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        Open(state, Lines(30));
        CSV w(state);
        int calls = 0;
        w.BeforeLine = [&](qint64) {
            if (++calls == 30 + 25)
                throw std::bad_alloc();
        };
        w.Open();
        QCOMPARE(w.Text1->toPlainText().count(u'\n'), 20);
        QCOMPARE(prompter.prompts.last().text,
                 QStringLiteral(u"処理領域不足のため、 24行までしか処理されませんでした。"));
        QFile temp(dir_.filePath(QStringLiteral("CSV_TEMP.TXT")));
        QVERIFY(temp.open(QIODevice::ReadOnly));
        const QByteArray bytes = temp.readAll();
        QCOMPARE(bytes.count("\r\n"), 24);
        QVERIFY(bytes.startsWith(ToSjis(QStringLiteral(u"│r1 │x│\r\n"))));
        temp.close();
        QVERIFY(temp.remove());

        // A temp file that cannot be written is reported.
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("CSV_TEMP.TXT")));
        calls = 0;
        const qsizetype before = prompter.prompts.size();
        w.Combo1_Click(0);
        QCOMPARE(prompter.prompts.size(), before + 2);
        QVERIFY(prompter.prompts[before].icon == MsgIcon::Critical || prompter.prompts[before].icon == MsgIcon::Warning ||
                prompter.prompts[before].icon == MsgIcon::None);
        QVERIFY(QDir(dir_.path()).rmdir(QStringLiteral("CSV_TEMP.TXT")));
    }
};

QTEST_MAIN(CSVTest)
#include "CSVTest.moc"
