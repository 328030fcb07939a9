#include "common/ScriptedPrompter.h"
#include "compare/ui/COMP.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kolbran;

class COMPTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_compare_XXXXXX")};
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
    static QByteArray Numbered(int count, int changeEvery = 0)
    {
        QByteArray b;
        for (int n = 1; n <= count; ++n)
            b += (changeEvery && n % changeEvery == 0 ? "changed " : "line ") + QByteArray::number(n) + "\r\n";
        return b;
    }

    template <typename T>
    static T* Find(QWidget& w, const char* name)
    {
        T* child = w.findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }
    static void Click(QWidget& w, const char* name) { QTest::mouseClick(Find<QPushButton>(w, name), Qt::LeftButton); }
    static void SetNames(QWidget& w, const QString& oldPath, const QString& newPath)
    {
        Find<QLineEdit>(w, "Text1")->setText(oldPath);
        Find<QLineEdit>(w, "Text2")->setText(newPath);
    }
    // Presses "ｷｬﾝｾﾙ" (or closes the window) once the bar of `paletteIndex` passes `at`.
    void CancelAt(COMP& w, int paletteIndex, int at, bool close, QString* runningText)
    {
        auto* bar = Find<QProgressBar>(w, "Picture1");
        auto done = std::make_shared<bool>(false);
        connect(bar, &QProgressBar::valueChanged, &w, [&w, bar, paletteIndex, at, close, runningText, done](int v) {
            if (*done || v < at || !bar->styleSheet().contains(PaletteColor(paletteIndex).name()))
                return;
            *done = true;
            *runningText = Find<QPushButton>(w, "Command4")->text();
            QVERIFY(!Find<QPushButton>(w, "Command2")->isEnabled());
            QVERIFY(!Find<QLineEdit>(w, "Text1")->isEnabled());
            QVERIFY(Find<QLabel>(w, "Shinchoku")->isVisibleTo(&w));
            QVERIFY(Find<QLabel>(w, "Shinchoku")->text().endsWith(QStringLiteral(" %")));
            if (close)
                w.close();
            else
                Click(w, "Command4");
        });
    }

private Q_SLOTS:
    void OpensWithItsDefaultsAndRefusesMissingNames()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        COMP w(state);
        QCOMPARE(w.windowTitle(), QStringLiteral(u"ﾌｧｲﾙ ｺﾝﾍﾟｱ"));
        QCOMPARE(Find<QLineEdit>(w, "Text4")->text(), QStringLiteral("5"));
        QCOMPARE(Find<QLineEdit>(w, "Text5")->text(), QStringLiteral("72"));
        QCOMPARE(Find<QPushButton>(w, "Command4")->text(), QStringLiteral(u"実　行"));

        Find<QLineEdit>(w, "Text4")->setText(QStringLiteral("many"));
        Click(w, "Command4");
        SetNames(w, Path("a.txt"), {});
        Click(w, "Command4");
        SetNames(w, Path("a.txt"), Path("b.txt"));
        Click(w, "Command4");
        QCOMPARE(prompter.Messages(),
                 (QStringList{QStringLiteral(u"旧ファイルが指定されていません。"),
                              QStringLiteral(u"新ファイルが指定されていません。"),
                              QStringLiteral(u"「") + Path("a.txt") + QStringLiteral(u"」ﾌｧｲﾙはありません。")}));
        QCOMPARE(prompter.prompts.last().icon, MsgIcon::Warning);
        // A box without a number puts both back to their defaults.
        QCOMPARE(Find<QLineEdit>(w, "Text4")->text(), QStringLiteral("5"));

        // The file boxes: titles, filter, the chosen name.
        prompter.fileNames.enqueue(Path("chosen.txt"));
        Click(w, "Command1");
        Click(w, "Command3");  // cancelled: the box keeps its name
        QCOMPARE(prompter.prompts[3].request.title, QStringLiteral(u"旧ファイル名"));
        QCOMPARE(prompter.prompts[4].request.title, QStringLiteral(u"新ファイル名"));
        QCOMPARE(prompter.prompts[4].request.filter, QStringLiteral(u"ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*"));
        QCOMPARE(Find<QLineEdit>(w, "Text1")->text(), Path("chosen.txt"));
        QCOMPARE(Find<QLineEdit>(w, "Text2")->text(), Path("b.txt"));
    }

    void RunsListsAndSaves()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        COMP w(state);
        SetNames(w, Write("old.txt", Numbered(30)), Write("new.txt", Numbered(30, 10)));
        Find<QLineEdit>(w, "Text5")->setText(QStringLiteral("500"));
        Click(w, "Command4");
        QCOMPARE(Find<QLineEdit>(w, "Text5")->text(), QStringLiteral("120"));
        QVERIFY(prompter.Messages().isEmpty());
        const QString listing = w.Listing();
        QVERIFY(listing.startsWith(QStringLiteral("0005 line 5\r\n")));
        QVERIFY(listing.endsWith(QStringLiteral(u"変更 : 0003\r\n追加 : 0000\r\n削除 : 0000\r\n")));
        auto* box = Find<QPlainTextEdit>(w, "Text3");
        QCOMPARE(box->toPlainText(), QString(listing).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(box->textCursor().position(), 0);
        QVERIFY(!Find<QProgressBar>(w, "Picture1")->isVisible());
        QCOMPARE(Find<QPushButton>(w, "Command4")->text(), QStringLiteral(u"実　行"));
        QVERIFY(!state.BusyFlag);

        prompter.fileNames.enqueue(Path("list.txt"));
        Click(w, "Command5");
        QCOMPARE(prompter.prompts.last().request.title, QStringLiteral(u"名前を付けて保存"));
        QCOMPARE(prompter.prompts.last().request.initialName, QStringLiteral("*.txt"));
        QCOMPARE(Read("list.txt"), ToSjis(listing));

        // Saving over it asks first; No keeps the old file, Yes replaces it.
        Write("list.txt", "old");
        prompter.fileNames.enqueue(Path("list.txt"));
        prompter.answers.enqueue(MsgAnswer::No);
        Click(w, "Command5");
        QCOMPARE(prompter.prompts.last().kind, QStringLiteral("message"));
        QCOMPARE(prompter.prompts.last().buttons, MsgButtons::YesNo);
        QCOMPARE(Read("list.txt"), QByteArray("old"));
        prompter.fileNames.enqueue(Path("list.txt"));
        prompter.answers.enqueue(MsgAnswer::Yes);
        Click(w, "Command5");
        QCOMPARE(Read("list.txt"), ToSjis(listing));

        // The same files: an empty box and the message.
        SetNames(w, Path("old.txt"), Path("old.txt"));
        Click(w, "Command4");
        QCOMPARE(prompter.Messages().last(), QStringLiteral(u"このファイルは同じです。"));
        QCOMPARE(box->toPlainText(), QString());
    }

    void CancelWhileRunning()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        COMP w(state);
        SetNames(w, Write("old.txt", Numbered(3000)), Write("new.txt", Numbered(3000, 7)));
        QString runningText;

        // During matching: no list at all.
        CancelAt(w, 9, 300, false, &runningText);
        Click(w, "Command4");
        QCOMPARE(runningText, QStringLiteral(u"ｷｬﾝｾﾙ"));
        QCOMPARE(w.Listing(), QString());
        QCOMPARE(Find<QPlainTextEdit>(w, "Text3")->toPlainText(), QString());
        QVERIFY(prompter.Messages().isEmpty());
        QCOMPARE(Find<QPushButton>(w, "Command4")->text(), QStringLiteral(u"実　行"));
        QVERIFY(Find<QPushButton>(w, "Command2")->isEnabled());
        QVERIFY(!state.BusyFlag);
        disconnect(Find<QProgressBar>(w, "Picture1"), nullptr, &w, nullptr);

        // During listing: the list so far stays, without the summary.
        CancelAt(w, 1, 500, false, &runningText);
        Click(w, "Command4");
        const QString partial = Find<QPlainTextEdit>(w, "Text3")->toPlainText();
        QVERIFY(partial.contains(QStringLiteral("0007|line 7")));
        QVERIFY(!partial.contains(QStringLiteral("3000|")));
        QVERIFY(!partial.contains(QStringLiteral(u"変更 : ")));
        QVERIFY(prompter.Messages().isEmpty());
        disconnect(Find<QProgressBar>(w, "Picture1"), nullptr, &w, nullptr);

        // Closing the window mid-run stops the run, then closes.
        w.show();
        CancelAt(w, 9, 300, true, &runningText);
        Click(w, "Command4");
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Running());
        QVERIFY(!state.BusyFlag);
    }

    void LimitMessageInsteadOfSame()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        COMP w(state);
        QByteArray lines;
        for (int n = 0; n < 300'000; ++n)
            lines += "x\r\n";
        SetNames(w, Write("big1.txt", lines + "one\r\n"), Write("big2.txt", lines + "two\r\n"));
        Click(w, "Command4");
        QCOMPARE(prompter.Messages(),
                 QStringList{QStringLiteral(u"300,001行以上のテキストファイルは正しく処理されません。")});
        QCOMPARE(prompter.prompts.last().title, QStringLiteral(u"コンペア処理において"));
        QCOMPARE(prompter.prompts.last().buttons, MsgButtons::Ok);
        QCOMPARE(w.Listing(), QString());
    }
};

QTEST_MAIN(COMPTest)
#include "COMPTest.moc"
