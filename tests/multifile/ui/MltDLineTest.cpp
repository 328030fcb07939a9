#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "core/ui/FileList.h"
#include "multifile/ui/FileSetControls.h"
#include "multifile/ui/MltDLine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kolbran;

class MltDLineTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QTemporaryDir settings;
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(name));
        f.write(bytes);
        return f.fileName();
    }
    QByteArray Read(const QString& name)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private Q_SLOTS:
    void QuestionCancelSkipsAFileAndRulesApply()
    {
        QDir::setCurrent(dir.path());
        const QByteArray lines = "a\r\n// x\r\nb\r\n// y\r\nc\r\n";
        Write("a.txt", lines);
        Write("b.txt", lines);
        Write("c.txt", "kept\r\n");
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.NoBackup = false;
        state.settings.SettingsPath = settings.filePath("KOLBRAN.DAT");
        WriteDeleteRules(state.settings.SettingsPath, {{QStringLiteral("//"), 3}});
        state.settings.DeleteRuleCount = 1;
        MltDLineMemory memory;
        {
            MltDLine w(state, memory);
            QCOMPARE(w.windowTitle(), QStringLiteral(u"複数ファイル削除行"));
            QCOMPARE(w.Check1->text(), QStringLiteral(u"１ﾌｧｲﾙづつ確認する(&K)"));
            QCOMPARE(w.Label3->text(), QStringLiteral("0 / 0"));
            w.Sets->Combo1->setCurrentIndex(0);
            w.Sets->File1->selectAll();
            w.Check1->setChecked(true);
            for (MsgAnswer a : {MsgAnswer::Cancel, MsgAnswer::Ok, MsgAnswer::Ok})
                prompter.answers.enqueue(a);
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            QCOMPARE(prompter.Messages(), (QStringList{QStringLiteral(u"「a.txt」を変換します！\r\n(削除行実行)"),
                                                       QStringLiteral(u"「b.txt」を変換します！\r\n(削除行実行)"),
                                                       QStringLiteral(u"「c.txt」を変換します！\r\n(削除行実行)")}));
            QCOMPARE(Read("a.txt"), lines);
            QCOMPARE(Read("a.bak"), QByteArray("<missing>"));
            QCOMPARE(Read("b.txt"), QByteArray("a\r\nc\r\n"));
            QCOMPARE(Read("b.bak"), lines);
            // Rewritten without a deletion, so a backup too.
            QCOMPARE(Read("c.txt"), QByteArray("kept\r\n"));
            QCOMPARE(Read("c.bak"), QByteArray("kept\r\n"));
            QCOMPARE(w.Label3->text(), QStringLiteral(" 3 / 3"));

            w.Sets->Combo1->setCurrentIndex(2);
            QTest::mouseClick(w.Command1, Qt::LeftButton);  // nothing selected under *.csv
        }
        MltDLine again(state, memory);
        QCOMPARE(again.Sets->Combo1->currentIndex(), 2);
    }
};

QTEST_MAIN(MltDLineTest)
#include "MltDLineTest.moc"
