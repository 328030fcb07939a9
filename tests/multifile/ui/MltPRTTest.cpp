#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/Fonts.h"
#include "core/Settings.h"
#include "core/ui/FileList.h"
#include "core/ui/PrintDevice.h"
#include "multifile/ui/FileSetControls.h"
#include "multifile/ui/MltPRT.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kolbran;

namespace {

QString PdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void Select(MltPRT& dialog, const QStringList& names)
{
    FileList* list = dialog.Files->File1;
    for (const QString& name : names) {
        const int row = list->RowOf(name);
        QVERIFY2(row >= 0, qPrintable(name));
        list->item(row)->setSelected(true);
    }
}

}  // namespace

class MltPRTTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_mltprtui_XXXXXX")};
    test::ScriptedPrompter prompter;
    std::unique_ptr<AppState> state;
    QString startFolder;

    QString Path(const QString& name) const { return dir.filePath(name); }
    void Write(const QString& name, int lines)
    {
        QFile f(Path(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (int i = 1; i <= lines; ++i)
            f.write("row" + QByteArray::number(i) + "\r\n");
    }

private Q_SLOTS:
    void initTestCase()
    {
        InstallFontSubstitutions();
        QVERIFY(!PrinterInstalled());  // the jobs go to PDF files here
        startFolder = QDir::currentPath();
    }
    void init()
    {
        prompter.prompts.clear();
        state = std::make_unique<AppState>(prompter);
        state->SettingsFolder = dir.path();
        SetFirstRunValues(state->settings, QDate(2006, 4, 1));
        SetRunTimeValues(state->settings);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        QDir::setCurrent(dir.path());
    }
    void cleanup() { QDir::setCurrent(startFolder); }

    void ControlsAndAPrintedSet()
    {
        Write(QStringLiteral("a.txt"), 3);
        Write(QStringLiteral("b.txt"), 2);
        Write(QStringLiteral("c.txt"), 1);
        state->settings.PrintLineNumbers = 1;
        state->settings.PrintColumnOption = 0;
        MltPRT dialog(*state);
        QCOMPARE(dialog.windowTitle(), QStringLiteral(u"複数ファイル印刷"));
        QCOMPARE(dialog.Check1->text(), QStringLiteral(u"ﾍｯﾀﾞｰを付ける(&H)"));
        QCOMPARE(dialog.Check3->text(), QStringLiteral(u"行番号を付ける(&G)"));
        QCOMPARE(dialog.Check2->text(), QStringLiteral(u"２段組(&K)"));
        QVERIFY(dialog.Check1->isChecked() && dialog.Check3->isChecked() && dialog.Check2->isChecked());
        QCOMPARE(dialog.Combo2->count(), 7);
        QCOMPARE(dialog.Combo2->itemText(4), QStringLiteral("9.6"));
        QCOMPARE(dialog.Label4->text(), QStringLiteral(u"ABC123あいう"));
        QVERIFY(dialog.Label5->text().toInt() > 10);
        QCOMPARE(dialog.Files->Combo1->currentText(), QStringLiteral("*.txt"));
        QCOMPARE(dialog.Files->CountLabel->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 3"));
        QCOMPARE(dialog.Command1->text(), QStringLiteral(u"印刷"));

        // Nothing selected: the message, nothing printed, the font not stored.
        dialog.Combo2->setEditText(QStringLiteral("12"));
        dialog.Command1->click();
        QCOMPARE(prompter.Messages(), QStringList{QStringLiteral(u"ファイルが選択されていません。")});
        QCOMPARE(prompter.prompts[0].icon, MsgIcon::None);
        QCOMPARE(state->settings.PrintFontSize.trimmed(), QStringLiteral("10.5"));

        Select(dialog, {QStringLiteral("a.txt"), QStringLiteral("c.txt")});
        dialog.Command1->click();
        QVERIFY(PdfText(Path(QStringLiteral("a.txt.pdf"))).contains(QStringLiteral("0003:row3")));
        QVERIFY(PdfText(Path(QStringLiteral("c.txt.pdf"))).contains(QStringLiteral(u" : 1ﾍﾟｰｼﾞ")));
        QVERIFY(!QFile::exists(Path(QStringLiteral("b.txt.pdf"))));
        QCOMPARE(state->settings.PrintFontSize.trimmed(), QStringLiteral("12"));
        QCOMPARE(dialog.Command1->text(), QStringLiteral(u"印刷"));
        QVERIFY(dialog.Command2->isEnabled() && dialog.Files->File1->isEnabled());
        QVERIFY(!state->BusyFlag);
    }

    void CancelAndCloseMidFile()
    {
        Write(QStringLiteral("a.txt"), 5000);
        Write(QStringLiteral("b.txt"), 2);
        for (const bool byClosing : {false, true}) {
            QFile::remove(Path(QStringLiteral("a.txt.pdf")));
            MltPRT dialog(*state);
            Select(dialog, {QStringLiteral("a.txt"), QStringLiteral("b.txt")});
            bool seenRunning = false;
            // Once the first row is printed, the button (or closing) stops the run.
            QMetaObject::Connection c = connect(dialog.Picture1, &QProgressBar::valueChanged, &dialog, [&](int v) {
                if (v < 1 || seenRunning)
                    return;
                seenRunning = true;
                QTimer::singleShot(0, &dialog, [&] {
                    QCOMPARE(dialog.Command1->text(), QStringLiteral(u"中止"));
                    QVERIFY(!dialog.Command2->isEnabled() && !dialog.Combo3->isEnabled());
                    if (byClosing)
                        dialog.close();
                    else
                        dialog.Command1->click();
                });
            });
            dialog.show();
            dialog.Command1->click();
            disconnect(c);
            QVERIFY(seenRunning);
            QVERIFY(!dialog.Printing());
            QCOMPARE(dialog.isVisible(), !byClosing);
            const QString text = PdfText(Path(QStringLiteral("a.txt.pdf")));
            QVERIFY2(text.contains(QStringLiteral("row1")), qPrintable(text));
            QVERIFY(!text.contains(QStringLiteral("row5000")));
            QVERIFY(!QFile::exists(Path(QStringLiteral("b.txt.pdf"))));
            QVERIFY(prompter.Messages().isEmpty());
        }
    }
};

QTEST_MAIN(MltPRTTest)
#include "MltPRTTest.moc"
