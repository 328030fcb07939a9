#include "base64/ui/Decode.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace kolbran;

class DecodeTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_base64_XXXXXX")};  // no "." in the folder
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(Path(name));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(name));
        f.write(bytes);
        return Path(name);
    }
    QByteArray Read(const QString& name)
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    template <typename T>
    static T* Find(QWidget& w, const char* name)
    {
        T* child = w.findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }
    static bool Shown(QWidget& w, const char* name) { return Find<QWidget>(w, name)->isVisibleTo(&w); }
    static void Click(QWidget& w, const char* name) { QTest::mouseClick(Find<QPushButton>(w, name), Qt::LeftButton); }

private Q_SLOTS:
    void Base64ModeChoosesAndGoesBack()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.DecodeMode = 2;
        Decode w(state);
        QCOMPARE(w.windowTitle(), QStringLiteral(u"BASE64 (エンコード/デコード)"));
        auto* prompt = Find<QLabel>(w, "Picture2");
        QCOMPARE(prompt->text(), QStringLiteral(u"どちらかを選択してください。"));
        QVERIFY(prompt->styleSheet().contains(QStringLiteral("color: red")));
        QCOMPARE(Find<QPushButton>(w, "Command5_1")->text(), QStringLiteral(u"ｴﾝｺｰﾄﾞ(&E)"));
        QCOMPARE(Find<QPushButton>(w, "Command5_2")->text(), QStringLiteral(u"ﾃﾞｺｰﾄﾞ(&D)"));
        for (const char* hidden : {"Command2", "Command3", "Text1", "Label1", "Command5_3", "Check4", "Picture1"})
            QVERIFY2(!Shown(w, hidden), hidden);

        const struct {
            const char* button;
            int type;
            const char* other;
            QString prompt;
            QString filter;
        } choices[] = {
            {"Command5_1", 3, "Command5_2", QStringLiteral(u"エンコードするファイルを指定してください。"),
             QStringLiteral(u"圧縮ﾌｧｲﾙ(*.LZH)|*.LZH|全てのﾌｧｲﾙ(*.*)|*.*")},
            {"Command5_2", 4, "Command5_1", QStringLiteral(u"エンコードファイルを元に戻します。"),
             QStringLiteral(u"ｴﾝｺｰﾄﾞﾌｧｲﾙ(*.b64)|*.b64|全てのﾌｧｲﾙ(*.*)|*.*")},
        };
        for (const auto& c : choices) {
            Click(w, c.button);
            QCOMPARE(w.OperationType(), c.type);
            QCOMPARE(prompt->text(), c.prompt);
            QVERIFY(!Shown(w, c.other));
            for (const char* shown : {"Command5_3", "Command2", "Command3", "Text1", "Label1"})
                QVERIFY2(Shown(w, shown), shown);
            QVERIFY(!Shown(w, "Check4"));
            prompter.prompts.clear();
            Click(w, "Command3");  // cancelled
            QCOMPARE(prompter.prompts.size(), 1);
            QCOMPARE(prompter.prompts[0].request.title, QStringLiteral(u"ファイルの選択"));
            QCOMPARE(prompter.prompts[0].request.filter, c.filter);
            QCOMPARE(prompter.prompts[0].request.filterIndex, 1);

            Click(w, "Command5_3");
            QCOMPARE(prompt->text(), QStringLiteral(u"どちらかを選択してください。"));
            QVERIFY(Shown(w, "Command5_1"));
            QVERIFY(Shown(w, "Command5_2"));
            for (const char* hidden : {"Command2", "Command3", "Text1", "Label1", "Command5_3", "Check4"})
                QVERIFY2(!Shown(w, hidden), hidden);
        }
    }

    void BinaryModeOffersTheExtendedTick()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.DecodeMode = 0;
        Decode w(state);
        QCOMPARE(w.windowTitle(), QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ作成/復元"));
        QCOMPARE(Find<QPushButton>(w, "Command5_1")->text(), QStringLiteral(u"ﾊﾞｲﾅﾘ表示"));
        QCOMPARE(Find<QPushButton>(w, "Command5_2")->text(), QStringLiteral(u"復元"));

        Click(w, "Command5_1");
        QCOMPARE(w.OperationType(), 1);
        QCOMPARE(Find<QLabel>(w, "Picture2")->text(), QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙにするﾌｧｲﾙを指定してください。"));
        QVERIFY(Shown(w, "Check4"));
        QCOMPARE(Find<QCheckBox>(w, "Check4")->text(), QStringLiteral(u"拡張ﾊﾞｲﾅﾘ(&K)"));
        Click(w, "Command3");
        QCOMPARE(prompter.prompts.last().request.filter,
                 QStringLiteral(u"圧縮ﾌｧｲﾙ(*.LZH)|*.LZH|実行ﾌｧｲﾙ(*.exe)|*.exe|全てのﾌｧｲﾙ(*.*)|*.*"));

        Click(w, "Command5_3");
        Click(w, "Command5_2");
        QCOMPARE(w.OperationType(), 2);
        QCOMPARE(Find<QLabel>(w, "Picture2")->text(), QStringLiteral(u"ﾊﾞｲﾅﾘ復元するファイルを指定してください。"));
        Find<QCheckBox>(w, "Check4")->setChecked(true);
        prompter.fileNames.enqueue(Path("chosen.K"));
        Click(w, "Command3");
        QCOMPARE(prompter.prompts.last().request.filter,
                 QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ(*.B)|*.B|拡張ﾌｧｲﾙ(*.K)|*.K|全てのﾌｧｲﾙ(*.*)|*.*"));
        QCOMPARE(prompter.prompts.last().request.filterIndex, 2);
        QCOMPARE(Find<QLineEdit>(w, "Text1")->text(), Path("chosen.K"));
    }

    void CreatesAnExtendedFileAndRestoresItWithoutAMessage()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.DecodeMode = 0;
        Decode w(state);
        const QByteArray data = QByteArray(300, '\0');
        Write("zeros.bin", data);

        Click(w, "Command5_1");
        Find<QCheckBox>(w, "Check4")->setChecked(true);
        Find<QLineEdit>(w, "Text1")->setText(Path("zeros.bin"));
        prompter.fileNames.enqueue(Path("zeros.K"));
        Click(w, "Command2");
        QCOMPARE(Read("zeros.K"), QByteArray("00-`00-`00-`00-Q"));
        QCOMPARE(prompter.Messages(), QStringList{QStringLiteral(u"「") + Path("zeros.K") + QStringLiteral(u"」完了しました。")});

        Click(w, "Command5_3");
        Click(w, "Command5_2");
        Find<QLineEdit>(w, "Text1")->setText(Path("zeros.K"));
        prompter.prompts.clear();
        prompter.fileNames.enqueue(Path("zeros.XXX"));
        Click(w, "Command2");
        QCOMPARE(Read("zeros.XXX"), data);
        QVERIFY(prompter.Messages().isEmpty());
        QCOMPARE(Find<QPushButton>(w, "Command2")->text(), QStringLiteral(u"実　行"));
        QVERIFY(!Shown(w, "Picture1"));
        QCOMPARE(Find<QLabel>(w, "Label2")->text(), QStringLiteral(" "));
    }

    void EncodeAndDecodeThroughTheDialog()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.DecodeMode = 2;
        Decode w(state);
        Write("abc.txt", "abc");
        Click(w, "Command5_1");
        Find<QLineEdit>(w, "Text1")->setText(Path("abc.txt"));
        prompter.fileNames.enqueue(Path("abc.b64"));
        Click(w, "Command2");
        QCOMPARE(Read("abc.b64"), QByteArray("YWJj\r\n"));
        QCOMPARE(prompter.Messages(), QStringList{QStringLiteral(u"「") + Path("abc.b64") + QStringLiteral(u"」完了しました。")});
        QCOMPARE(prompter.prompts.last().icon, MsgIcon::Information);

        Click(w, "Command5_3");
        Click(w, "Command5_2");
        Find<QLineEdit>(w, "Text1")->setText(Path("abc.b64"));
        prompter.prompts.clear();
        prompter.fileNames.enqueue(Path("abc.XXX"));
        Click(w, "Command2");
        QCOMPARE(Read("abc.XXX"), QByteArray("abc"));
        QVERIFY(prompter.Messages().isEmpty());

        // Enter in the name box runs 実　行 as well.
        w.show();
        QFile::remove(Path("abc.XXX"));
        prompter.fileNames.enqueue(Path("abc.XXX"));
        auto* name = Find<QLineEdit>(w, "Text1");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(Read("abc.XXX"), QByteArray("abc"));
        QVERIFY(w.isVisible());
    }

    void CancelDuringAnEncodeStopsAndSaysSo()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.DecodeMode = 2;
        Decode w(state);
        QByteArray data(57 * 10'000, Qt::Uninitialized);
        QRandomGenerator gen(3);
        for (char& c : data)
            c = char(gen.bounded(256));
        Write("big.bin", data);
        Click(w, "Command5_1");
        Find<QLineEdit>(w, "Text1")->setText(Path("big.bin"));
        prompter.fileNames.enqueue(Path("big.b64"));

        // At the first progress step the user sees the running state and presses "ｷｬﾝｾﾙ".
        auto* bar = Find<QProgressBar>(w, "Picture1");
        auto* run = Find<QPushButton>(w, "Command2");
        bool pressed = false;
        QString runningText;
        bool closeEnabled = true;
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
            if (pressed || value == 0)
                return;
            pressed = true;
            runningText = run->text();
            closeEnabled = Find<QPushButton>(w, "Command1")->isEnabled();
            QVERIFY(bar->isVisibleTo(&w));
            QVERIFY(Find<QLabel>(w, "Label2")->text().endsWith(QStringLiteral(" %")));
            QTest::mouseClick(run, Qt::LeftButton);
        });
        QTest::mouseClick(run, Qt::LeftButton);
        QVERIFY(pressed);
        QCOMPARE(runningText, QStringLiteral(u"ｷｬﾝｾﾙ"));
        QVERIFY(!closeEnabled);
        QCOMPARE(prompter.Messages(), QStringList{QStringLiteral(u"実行中にキャンセルされました。")});
        QCOMPARE(prompter.prompts.last().icon, MsgIcon::Warning);
        QCOMPARE(run->text(), QStringLiteral(u"実　行"));
        QVERIFY(Find<QPushButton>(w, "Command1")->isEnabled());
        QVERIFY(!state.BusyFlag);
        // Stopped after the block of the first progress step (every 32 blocks here).
        QCOMPARE(Read("big.b64").size(), 32 * 78);
    }
};

QTEST_MAIN(DecodeTest)
#include "DecodeTest.moc"
