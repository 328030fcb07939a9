#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/ui/FileList.h"
#include "core/ui/WindowRegistry.h"
#include "multifile/ui/FileSetControls.h"
#include "multifile/ui/MltScan.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kolbran;

class MltScanTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_mltscan_XXXXXX")};
    QString home = QDir::currentPath();

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(name));
        f.write(bytes);
        return path;
    }
    QByteArray Read(const QString& name)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void Click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    static QString Shown(const QString& results)
    {
        QString s = results;
        s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (s.endsWith(u'\n'))
            s.chop(1);
        return s;
    }

private Q_SLOTS:
    void init()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        QDir::setCurrent(dir.path());
    }
    void cleanupTestCase() { QDir::setCurrent(home); }

    void OpensWithItsControlsAndSharesTheCaseMode()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        RegisterMltScanWindows(state);
        QVERIFY(state.WindowCommands.contains(QStringLiteral("Menu_Kaku_MltScan")));
        Write("a.txt", "x");
        Write("b.txt", "x");
        Write("c.csv", "x");
        MltScan w(state);
        QCOMPARE(w.windowTitle(), QStringLiteral(u"複数ファイル検索"));
        QCOMPARE(w.Label1->text(), QStringLiteral(u"検索文字列(&S)："));
        QCOMPARE(w.Check1->text(), QStringLiteral(u"大文字と小文字を区別しない(&C)"));
        QCOMPARE(w.Check2->text(), QStringLiteral(u"ﾌｫﾙﾀﾞ以下全てを対象にする(&N)"));
        QCOMPARE(w.Command4->text(), QStringLiteral(u"実　行"));
        QCOMPARE(w.Command2->text(), QStringLiteral(u"閉じる(&X)"));
        QCOMPARE(w.Command1->text(), QStringLiteral(u"名前を付けて保存(&A)…"));
        QCOMPARE(w.Command3->text(), QStringLiteral(u"まとめて"));
        QCOMPARE(w.Label5->text(), QStringLiteral(u"検索結果(&K)："));
        QVERIFY(!w.Command3->isVisibleTo(&w));
        QCOMPARE(w.Sets->Combo1->count(), 3);
        QCOMPARE(w.Sets->CountLabel->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 2"));

        // The box follows the shared mode and writes it back at once.
        QVERIFY(w.Check1->isChecked());
        w.Check1->click();
        QCOMPARE(state.SearchCompareMode, 0);
        w.Check1->click();
        QCOMPARE(state.SearchCompareMode, 1);

        // The tree mode hides the pattern and the list.
        w.Check2->click();
        QVERIFY(!w.Sets->Combo1->isVisibleTo(&w));
        QVERIFY(!w.Sets->File1->isVisibleTo(&w));
        QCOMPARE(w.Sets->CountLabel->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: -"));
        w.Check2->click();
        QVERIFY(w.Sets->File1->isVisibleTo(&w));
        QCOMPARE(w.Sets->CountLabel->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 2"));

        // An empty search text starts nothing.
        Click(w.Command4);
        QVERIFY(prompter.prompts.isEmpty());

        state.settings.DebugFlags = 2;
        MltScan debug(state);
        QVERIFY(debug.Command3->isVisibleTo(&debug));
    }

    void SearchesTheFolderAndTheTreeAndSaves()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        Write("a.txt", "abc abc abc\r\nxyz\r\nABC");
        Write("b.txt", "nothing\r\n");
        Write("sub/c.txt", "no\r\nabc\r\n");
        Write("sub/d.htm", "abc\r\n");
        MltScan w(state);
        w.Text1->setText(QStringLiteral("abc"));
        Click(w.Command4);
        QVERIFY(prompter.Messages().isEmpty());
        QCOMPARE(w.Results(), QStringLiteral("a.txt:0001:abc abc abc\r\na.txt:0003:ABC\r\n"));
        QCOMPARE(w.Text3->toPlainText(), Shown(w.Results()));
        QCOMPARE(state.SearchString, QStringLiteral("abc"));
        QCOMPARE(w.Command4->text(), QStringLiteral(u"実　行"));
        QVERIFY(!w.Picture1->isVisible());
        QVERIFY(w.Command2->isEnabled());
        QVERIFY(!state.BusyFlag);

        w.Check2->click();
        w.Check1->click();  // case significant now
        Click(w.Command4);
        QCOMPARE(w.Results(), QStringLiteral("a.txt:0001:abc abc abc\r\nsub/c.txt:0002:abc\r\nsub/d.htm:0001:abc\r\n"));
        QCOMPARE(w.Sets->CountLabel->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 4"));

        prompter.fileNames.enqueue(dir.filePath("found.txt"));
        Click(w.Command1);
        QCOMPARE(prompter.prompts.last().request.title, QStringLiteral(u"名前を付けて保存"));
        QCOMPARE(prompter.prompts.last().request.filter, QStringLiteral(u"ﾃｷｽﾄ文書(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*"));
        QCOMPARE(Read("found.txt"), ToSjis(w.Results()));
        // Over an existing file: the question; No keeps it.
        Write("found.txt", "old");
        prompter.fileNames.enqueue(dir.filePath("found.txt"));
        prompter.answers.enqueue(MsgAnswer::No);
        Click(w.Command1);
        QCOMPARE(prompter.prompts.last().buttons, MsgButtons::YesNo);
        QCOMPARE(Read("found.txt"), QByteArray("old"));
        QCOMPARE(QDir::currentPath(), w.Sets->Folder());
    }

    void WarnsWhenThereIsNothingToSearch()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        Write("a.csv", "x");
        MltScan w(state);
        w.Text1->setText(QStringLiteral("x"));
        Click(w.Command4);
        QCOMPARE(prompter.Messages(), QStringList{QStringLiteral(u"対象ファイルがありません。")});
        QCOMPARE(prompter.prompts.last().icon, MsgIcon::Warning);
    }

    void CancelAndCloseWhileRunning()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        QByteArray many;
        for (int i = 0; i < 20000; ++i)
            many += "hit hit hit hit\r\n";
        Write("1.txt", many);
        Write("2.txt", many);
        state.settings.QuietLoad = 0;
        MltScan w(state);
        w.Text1->setText(QStringLiteral("hit"));

        // Stopped in file 1 (its results reach the box in 256 KB blocks): the message.
        QString running;
        auto connection = connect(w.Text3->document(), &QTextDocument::contentsChanged, &w, [&] {
            if (running.isEmpty() && w.Running()) {
                running = w.Command4->text();
                QVERIFY(!w.Command2->isEnabled());
                QVERIFY(!w.Sets->File1->isEnabled());
                QVERIFY(w.Picture1->isVisible() || !w.isVisible());
                Click(w.Command4);
            }
        });
        Click(w.Command4);
        QCOMPARE(running, QStringLiteral(u"中　止"));
        QCOMPARE(prompter.Messages(), QStringList{QStringLiteral(u"処理の途中で中止しました。")});
        QVERIFY(!w.Results().contains(QStringLiteral("2.txt")));
        disconnect(connection);

        // Stopped after file 1: no message, file 1's results stay.
        connection = connect(w.Picture1, &QProgressBar::valueChanged, &w, [&](int v) {
            if (v == 1 && w.Running())
                Click(w.Command4);
        });
        Click(w.Command4);
        QCOMPARE(prompter.Messages().size(), 1);
        QVERIFY(w.Results().contains(QStringLiteral("1.txt:20000:hit hit hit hit\r\n")));
        disconnect(connection);

        // Closing mid-run stops the run, then closes.
        w.show();
        connection = connect(w.Picture1, &QProgressBar::valueChanged, &w, [&](int v) {
            if (v == 1 && w.Running())
                w.close();
        });
        Click(w.Command4);
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Running());
        QVERIFY(!state.BusyFlag);
        QCOMPARE(w.Command4->text(), QStringLiteral(u"実　行"));
        // The loader's quiet mode is as it was found.
        QCOMPARE(state.settings.QuietLoad, int16_t(0));
    }

    // The picture of the manual: KOLBRAN_SCREENSHOTS names the folder it is saved in.
    void Screenshot()
    {
        const QString folder = qEnvironmentVariable("KOLBRAN_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("KOLBRAN_SCREENSHOTS is not set");
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        const QStringList lines{QStringLiteral(u"今日は晴れ。検索の例です。"), QStringLiteral(u"明日は雨の予報。"),
                                QStringLiteral(u"複数ファイルを検索します。"), QStringLiteral(u"検索結果は一行ずつ。")};
        for (int f = 0; f < 12; ++f) {
            QString text;
            for (int i = 0; i < 40; ++i)
                text += lines[(i + f) % lines.size()] + QStringLiteral("\r\n");
            Write(QStringLiteral("%1/memo%2.txt").arg(f < 4 ? QStringLiteral(".") : f < 8 ? QStringLiteral("2025") : QStringLiteral("2026")).arg(f + 1),
                  ToSjis(text));
        }
        MltScan w(state);
        w.resize(1000, 600);
        w.show();
        w.Text1->setText(QStringLiteral(u"検索"));
        w.Check2->click();
        Click(w.Command4);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.grab().save(folder + QStringLiteral("/multifile-mltscan.png"));
    }
};

QTEST_MAIN(MltScanTest)
#include "MltScanTest.moc"
