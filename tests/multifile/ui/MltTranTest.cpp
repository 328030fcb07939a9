#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/ui/FileList.h"
#include "multifile/ui/FileSetControls.h"
#include "multifile/ui/MltDLine.h"
#include "multifile/ui/MltTran.h"
#include "core/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kolbran;

class MltTranTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir->filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(name));
        f.write(bytes);
        return f.fileName();
    }
    QByteArray Read(const QString& name)
    {
        QFile f(dir->filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList Files() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden); }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(dir->path());
    }
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void QuestionCancelSkipsAFileAndChoicesAreRemembered()
    {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            Write(QString::fromLatin1(name), "\xB0\xA1\r\n");
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.NoBackup = true;
        MltTranMemory memory;
        {
            MltTran w(state, memory);
            QCOMPARE(w.windowTitle(), QStringLiteral(u"複数ファイル変換"));
            QCOMPARE(w.Check1->text(), QStringLiteral(u"１ﾌｧｲﾙづつ確認する(&C)"));
            QCOMPARE(w.Label4->text(), QStringLiteral(u"変換ﾀｲﾌﾟ(&H)"));
            QCOMPARE(w.Label5->text(), QStringLiteral(u"変換ｷｰﾜｰﾄﾞ(&K)"));
            QCOMPARE(w.Command1->text(), QStringLiteral(u"実行"));
            QCOMPARE(w.Command2->text(), QStringLiteral(u"閉じる(&X)"));
            QCOMPARE(w.Label3->text(), QStringLiteral("0 / 0"));
            QCOMPARE(w.Combo2->count(), 10);
            QCOMPARE(w.Combo2->itemText(9), QStringLiteral(u"1ﾊﾞｲﾄ改行へ"));
            QCOMPARE(w.Sets->CountLabel->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 3"));

            w.Sets->File1->selectAll();
            w.Combo2->setCurrentIndex(2);
            w.Text1->setText(QStringLiteral(u"亜"));
            w.Check1->setChecked(true);
            for (MsgAnswer a : {MsgAnswer::Ok, MsgAnswer::Cancel, MsgAnswer::Ok})
                prompter.answers.enqueue(a);
            QTest::mouseClick(w.Command1, Qt::LeftButton);

            QCOMPARE(prompter.Messages(), (QStringList{QStringLiteral(u"「a.txt」を｢日本語１｣で変換します！"),
                                                       QStringLiteral(u"「b.txt」を｢日本語１｣で変換します！"),
                                                       QStringLiteral(u"「c.txt」を｢日本語１｣で変換します！")}));
            QCOMPARE(prompter.prompts[0].buttons, MsgButtons::OkCancel);
            QCOMPARE(Read("a.txt"), QByteArray("\x88\x9F\r\n"));
            QCOMPARE(Read("b.txt"), QByteArray("\xB0\xA1\r\n"));
            QCOMPARE(Read("c.txt"), QByteArray("\x88\x9F\r\n"));
            QCOMPARE(w.Label3->text(), QStringLiteral(" 3 / 3"));
            QVERIFY(w.Command1->isEnabled());
            QVERIFY(!state.BusyFlag);
        }
        MltTran again(state, memory);
        QCOMPARE(again.Combo2->currentIndex(), 2);
        QCOMPARE(again.Text1->text(), QStringLiteral(u"亜"));
    }

    void EachFileReportedAndTheRunGoesOn()
    {
        Write(".h.txt", "x\n");
        Write("a.txt", "x\n");
        Write("b.txt", "x\n");
        Write("c.txt", "\xFF\xFE\x0A\x4E");  // 上: its 0A byte is no line end
        Write("d.txt", "y\n");
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.NoBackup = true;
        MltTranMemory memory;
        MltTran w(state, memory);
        w.Sets->File1->selectAll();
        w.Combo2->setCurrentIndex(8);
        QFile::remove(dir->filePath("b.txt"));  // gone before its turn
        QTest::mouseClick(w.Command1, Qt::LeftButton);

        const QStringList messages = prompter.Messages();
        QCOMPARE(messages.size(), 3);
        QCOMPARE(messages[0], QStringLiteral(u"「.h.txt」\r\n「隠しファイル」を更新することはできません。"));
        QVERIFY2(messages[1].contains(QStringLiteral("53")), qPrintable(messages[1]));
        QCOMPARE(messages[2], QStringLiteral(u"「c.txt」はUnicodeファイルのため変換しませんでした。"));
        QCOMPARE(Read(".h.txt"), QByteArray("x\n"));
        QCOMPARE(Read("a.txt"), QByteArray("x\r\n"));
        QCOMPARE(Read("c.txt"), QByteArray("\xFF\xFE\x0A\x4E"));
        QCOMPARE(Read("d.txt"), QByteArray("y\r\n"));
        QCOMPARE(Files(), (QStringList{".h.txt", "a.txt", "c.txt", "d.txt"}));
    }

    void ClosingMidRunCancelsAndKeepsTheFile()
    {
        const QByteArray big = QByteArray("line  \r\n").repeated(400000);
        Write("a.txt", big);
        Write("b.txt", "b  \r\n");
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        MltTranMemory memory;
        MltTran w(state, memory);
        w.show();
        w.Sets->File1->selectAll();
        w.Combo2->setCurrentIndex(6);
        bool closed = false;
        QString shown;
        connect(w.Picture1, &QProgressBar::valueChanged, &w, [&](int v) {
            if (closed || v <= 0)
                return;
            closed = true;
            shown = w.Label3->text();
            QVERIFY(!w.Command1->isEnabled());
            QVERIFY(!w.Combo2->isEnabled());
            QVERIFY(w.Command2->isEnabled());  // closing is the cancel
            w.close();
        });
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(closed);
        QCOMPARE(shown, QStringLiteral(" 1 / 2"));
        QVERIFY(!w.isVisible());
        QCOMPARE(Read("a.txt"), big);
        QCOMPARE(Read("b.txt"), QByteArray("b  \r\n"));
        QCOMPARE(Files(), (QStringList{"a.txt", "b.txt"}));
        QVERIFY(!state.BusyFlag);
        QCOMPARE(state.RunsGoing, 0);
        QCOMPARE(memory.kind, 0);  // a cancelled run is not remembered
    }
    // KOLBRAN_SCREENSHOTS=folder: both dialogs during the last file of a 500-file run.
    void Screenshots()
    {
        const QString folder = qEnvironmentVariable("KOLBRAN_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("KOLBRAN_SCREENSHOTS is not set");
        for (int n = 1; n < 500; ++n)
            Write(QStringLiteral("memo%1.txt").arg(n, 3, 10, QLatin1Char('0')), "\xB0\xA1\xA4\xA2 \r\n");
        Write("memo500.txt", QByteArray("\xB0\xA1\xA4\xA2 \r\n").repeated(200000));
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.NoBackup = true;
        state.settings.SettingsPath = dir->filePath("KOLBRAN.DAT");
        WriteDeleteRules(state.settings.SettingsPath, {{QStringLiteral("//"), 3}});
        state.settings.DeleteRuleCount = 1;
        const auto shoot = [&](MultiRunDialog& w, const QString& file) {
            w.show();
            w.Sets->File1->selectAll();
            bool taken = false;
            connect(w.Picture1, &QProgressBar::valueChanged, &w, [&](int v) {
                if (taken || v < 400 || w.Label1->text() != QLatin1String("memo500.txt"))
                    return;
                taken = true;
                QApplication::processEvents();
                w.grab().save(folder + u'/' + file);
            });
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            QVERIFY(taken);
        };
        MltTranMemory memory;
        MltTran tran(state, memory);
        tran.Combo2->setCurrentIndex(2);
        shoot(tran, QStringLiteral("multifile-mlttran.png"));
        MltDLineMemory lines;
        MltDLine del(state, lines);
        shoot(del, QStringLiteral("multifile-mltdline.png"));
    }
};

QTEST_MAIN(MltTranTest)
#include "MltTranTest.moc"
