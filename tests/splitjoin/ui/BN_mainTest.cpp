#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "splitjoin/ui/BN_main.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace kolbran;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

class BN_mainTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_bnmain_XXXXXX")};
    QString Path(const QString& name) const { return dir.filePath(name); }

    template <typename T>
    static T* Find(QWidget& w, const char* name)
    {
        T* child = w.findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }
    static bool Shown(QWidget& w, const char* name) { return Find<QWidget>(w, name)->isVisibleTo(&w); }

    static void ExpectFirstState(QWidget& w)
    {
        QVERIFY(Shown(w, "Command1_0"));
        QVERIFY(Shown(w, "Command1_1"));
        QVERIFY(Shown(w, "Command2"));
        for (const char* hidden : {"Frame1", "Label1", "Text1", "Command3", "Command4", "Command5"})
            QVERIFY2(!Shown(w, hidden), hidden);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(!dir.path().contains(u'.')); }

    void OpensWithBothOperationsAndTheDefaultSize()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        BN_main w(state);
        QCOMPARE(w.windowTitle(), QStringLiteral(u"分割／結合"));
        ExpectFirstState(w);
        auto* bar = Find<QScrollBar>(w, "HScroll1");
        QCOMPARE(bar->minimum(), 10);
        QCOMPARE(bar->maximum(), 20480);
        QCOMPARE(bar->value(), 144);
        QCOMPARE(Find<QLabel>(w, "Label4")->text(), QStringLiteral("1,440"));
        QCOMPARE(Find<QLabel>(w, "Label3")->text(), QStringLiteral("(KB)"));
        bar->setValue(20480);
        QCOMPARE(Find<QLabel>(w, "Label4")->text(), QStringLiteral("204,800"));
        QCOMPARE(Find<QPushButton>(w, "Command1_0")->text(), QStringLiteral(u"分　割(&B)"));
        QCOMPARE(Find<QPushButton>(w, "Command1_1")->text(), QStringLiteral(u"結　合(&K)"));
    }

    void SplitShowsTheSizeBrowsesAndRunsWithoutAMessage()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        BN_main w(state);
        WriteFile(Path("movie.avi"), QByteArray(250'000, 'x'));

        QTest::mouseClick(Find<QPushButton>(w, "Command1_0"), Qt::LeftButton);
        QCOMPARE(w.Mode(), 0);
        QVERIFY(Shown(w, "Frame1"));
        QVERIFY(!Shown(w, "Command1_1"));
        for (const char* shown : {"Label1", "Text1", "Command3", "Command4", "Command5"})
            QVERIFY2(Shown(w, shown), shown);
        QVERIFY(!Find<QPushButton>(w, "Command4")->isEnabled());

        prompter.fileNames.enqueue(Path("movie.avi"));
        QTest::mouseClick(Find<QPushButton>(w, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter.prompts.size(), 1);
        QCOMPARE(prompter.prompts[0].kind, QStringLiteral("open"));
        QCOMPARE(prompter.prompts[0].request.title, QStringLiteral(u"ファイル分割"));
        QCOMPARE(prompter.prompts[0].request.filter,
                 QStringLiteral(u"実行ﾌｧｲﾙ(*.EXE)|*.exe|圧縮ﾌｧｲﾙ(*.lzh;*.zip)|*.lzh;*.zip|全てのﾌｧｲﾙ(*.*)|*.*"));
        QCOMPARE(Find<QLineEdit>(w, "Text1")->text(), Path("movie.avi"));
        QVERIFY(Find<QPushButton>(w, "Command4")->isEnabled());

        Find<QScrollBar>(w, "HScroll1")->setValue(10);
        QTest::mouseClick(Find<QPushButton>(w, "Command4"), Qt::LeftButton);
        QCOMPARE(prompter.prompts.size(), 1);  // no completion message
        QCOMPARE(QFileInfo(Path("movie.001")).size(), 102'400);
        QCOMPARE(QFileInfo(Path("movie.002")).size(), 102'400);
        QCOMPARE(QFileInfo(Path("movie.003")).size(), 45'200);
        ExpectFirstState(w);
        QVERIFY(Find<QLineEdit>(w, "Text1")->text().isEmpty());
    }

    void JoinAsksForTheOutputAndKeepsItsStateOnCancel()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        BN_main w(state);
        WriteFile(Path("doc.001"), "abc");
        WriteFile(Path("doc.002"), "def");

        QTest::mouseClick(Find<QPushButton>(w, "Command1_1"), Qt::LeftButton);
        QCOMPARE(w.Mode(), 1);
        QVERIFY(!Shown(w, "Frame1"));
        QVERIFY(!Shown(w, "Command1_0"));
        QVERIFY(Shown(w, "Text1"));

        QTest::mouseClick(Find<QPushButton>(w, "Command3"), Qt::LeftButton);  // cancelled
        QCOMPARE(prompter.prompts[0].request.title, QStringLiteral(u"ファイル結合"));
        QCOMPARE(prompter.prompts[0].request.filter, QStringLiteral(u"分割ﾌｧｲﾙ(*.001)|*.001|全てのﾌｧｲﾙ(*.*)|*.*"));
        QVERIFY(prompter.Messages().isEmpty());

        Find<QLineEdit>(w, "Text1")->setText(Path("doc.001"));
        QTest::mouseClick(Find<QPushButton>(w, "Command4"), Qt::LeftButton);  // save cancelled
        QCOMPARE(prompter.prompts.last().kind, QStringLiteral("save"));
        QVERIFY(prompter.Messages().isEmpty());
        QVERIFY(Shown(w, "Text1"));
        QCOMPARE(w.Mode(), 1);

        prompter.fileNames.enqueue(Path("doc.001"));
        QTest::mouseClick(Find<QPushButton>(w, "Command4"), Qt::LeftButton);
        QCOMPARE(prompter.Messages(), QStringList{QStringLiteral(u"元ファイルと同名のファイル名は使用できません。")});
        QVERIFY(Shown(w, "Text1"));

        prompter.fileNames.enqueue(Path("doc"));
        QTest::mouseClick(Find<QPushButton>(w, "Command4"), Qt::LeftButton);
        QCOMPARE(prompter.Messages().size(), 1);  // no completion message
        QCOMPARE(ReadAll(Path("doc")), QByteArray("abcdef"));
        ExpectFirstState(w);
        QCOMPARE(w.Mode(), 0);
    }

    void StarNameIsIgnoredAndCancelReturnsToTheFirstState()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        BN_main w(state);
        QTest::mouseClick(Find<QPushButton>(w, "Command1_0"), Qt::LeftButton);
        Find<QLineEdit>(w, "Text1")->setText(Path("*.avi"));
        QTest::mouseClick(Find<QPushButton>(w, "Command4"), Qt::LeftButton);
        QVERIFY(prompter.prompts.isEmpty());
        QVERIFY(Shown(w, "Text1"));
        QCOMPARE(Find<QLineEdit>(w, "Text1")->text(), Path("*.avi"));

        QTest::mouseClick(Find<QPushButton>(w, "Command5"), Qt::LeftButton);
        ExpectFirstState(w);
    }

    // Esc acts as ｷｬﾝｾﾙ while a name is asked for (split or join), and closes otherwise.
    void EscapeIsCancelWhileANameIsAskedFor()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        for (const char* operation : {"Command1_0", "Command1_1"}) {
            BN_main w(state);
            w.show();
            QTest::mouseClick(Find<QPushButton>(w, operation), Qt::LeftButton);
            QVERIFY2(Shown(w, "Command5"), operation);
            QTest::keyClick(Find<QLineEdit>(w, "Text1"), Qt::Key_Escape);
            QVERIFY2(w.isVisible(), operation);
            ExpectFirstState(w);
            QTest::keyClick(&w, Qt::Key_Escape);
            QVERIFY(!w.isVisible());
        }
    }

    void MissingFileIsNamedInAPlainMessage()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        BN_main w(state);
        QTest::mouseClick(Find<QPushButton>(w, "Command1_0"), Qt::LeftButton);
        Find<QLineEdit>(w, "Text1")->setText(Path("none.bin"));
        QTest::mouseClick(Find<QPushButton>(w, "Command4"), Qt::LeftButton);
        QCOMPARE(prompter.Messages(),
                 QStringList{QStringLiteral(u"「") + Path("none.bin") + QStringLiteral(u"」ﾌｧｲﾙはありません。")});
        QCOMPARE(prompter.prompts[0].icon, MsgIcon::None);
    }

    void AFileDroppedOnTheNameBoxPutsItsPathThere()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        BN_main w(state);
        QTest::mouseClick(Find<QPushButton>(w, "Command1_0"), Qt::LeftButton);
        auto* text = Find<QLineEdit>(w, "Text1");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Path("dropped.bin"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(text, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(text, &drop);
        QCOMPARE(text->text(), Path("dropped.bin"));
    }
};

QTEST_MAIN(BN_mainTest)
#include "BN_mainTest.moc"
