#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "generators/Calendar.h"
#include "generators/ui/CalFm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace kolbran;

class CalFmTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void MakesTheMonthAndKeepsItOnErrors()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        CalFm dlg(state);
        QCOMPARE(dlg.Combo1->count(), 7);
        QCOMPARE(dlg.Combo1->currentText(), QStringLiteral(" ") + QString::number(QDate::currentDate().year()));
        QCOMPARE(dlg.Combo2->currentIndex(), QDate::currentDate().month() - 1);
        QVERIFY(dlg.Option3_1->isChecked());
        QVERIFY(dlg.Option1_0->isChecked());
        QVERIFY(!dlg.Command3->isVisibleTo(&dlg));

        dlg.Combo1->setEditText(QStringLiteral(" 2024"));
        dlg.Combo2->setCurrentIndex(4);
        dlg.Option3_0->setChecked(true);
        dlg.Command1->click();
        CalendarRequest r;
        r.year = 2024;
        r.month = 5;
        r.wide = false;
        QCOMPARE(dlg.CalendarTextShown(), CalendarText(r));

        for (const char* bad : {"abc", "40000"}) {
            dlg.Combo1->setEditText(QString::fromLatin1(bad));
            dlg.Command1->click();
            QCOMPARE(dlg.CalendarTextShown(), CalendarText(r));
        }
        QCOMPARE(prompter.prompts.size(), 2);
        QCOMPARE(prompter.prompts[0].kind, QStringLiteral("message"));

        // A debug flag adds the era.
        state.settings.DebugFlags = 2;
        state.settings.EraTable = {{QStringLiteral(u"昭和"), "S", 1926, 12, 25}, {QStringLiteral(u"平成"), "H", 1989, 1, 8}};
        dlg.Combo1->setEditText(QStringLiteral("2024"));
        dlg.Command1->click();
        QVERIFY(dlg.CalendarTextShown().startsWith(QStringLiteral(u"　 5 / 2024  平成36年\r\n")));
    }

    void YearZeroPlaysTheGame()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        CalFm dlg(state);
        dlg.show();
        dlg.Combo1->setEditText(QStringLiteral("0"));
        dlg.Command1->click();
        QVERIFY(dlg.InGameMode());
        QVERIFY(dlg.Command3->isVisible());
        QVERIFY(dlg.Picture1->isVisible());
        QVERIFY(!dlg.Text2->isVisible());
        QCOMPARE(dlg.Label1->text(), QStringLiteral(u"ｽｺｱ: 0"));
        QCOMPARE(dlg.Frame1->title(), QStringLiteral(u"ｽﾋﾟｰﾄﾞ(&T)"));
        QCOMPARE(dlg.Option1_0->text(), QStringLiteral(u"速"));
        QCOMPARE(dlg.Command2->text(), QStringLiteral(u"戻る(&X)"));

        dlg.Option1_1->setChecked(true);
        dlg.Command3->click();
        QVERIFY(dlg.Timer1->isActive());
        QCOMPARE(dlg.Timer1->interval(), 55);
        QVERIFY(!dlg.Frame1->isEnabled());
        QVERIFY(!dlg.Command3->isEnabled());
        for (int k = 0; k < 12; ++k)
            QTest::keyClick(dlg.Picture1, Qt::Key_Left);
        QCOMPARE(dlg.Game().PaddleX(), 0);

        dlg.Game().SetBall(300, 490, 8, 8);  // the paddle is far to the left
        dlg.Timer1_Timer();
        QVERIFY(!dlg.Timer1->isActive());
        QCOMPARE(prompter.prompts.last().text, QStringLiteral(u"ざんねん"));
        QCOMPARE(prompter.prompts.last().title, QStringLiteral("NG"));
        QVERIFY(dlg.Command3->isEnabled());
        QVERIFY(dlg.Frame1->isEnabled());

        dlg.Command2->click();
        QVERIFY(!dlg.InGameMode());
        QVERIFY(dlg.Text2->isVisible());
        QCOMPARE(dlg.Label1->text(), QStringLiteral(u"年"));
        QCOMPARE(dlg.Frame1->title(), QStringLiteral(u"たて(&T)"));
        QCOMPARE(dlg.Option1_0->text(), QStringLiteral(u"５"));
        QVERIFY(dlg.Option1_0->isChecked());
        QCOMPARE(dlg.Command2->text(), QStringLiteral(u"閉じる(&X)"));
        QVERIFY(dlg.isVisible());
    }

    void DebugFlagKeepsTheLoadInterval()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.DebugFlags = 1;
        CalFm dlg(state);
        QCOMPARE(dlg.Timer1->interval(), 70);
        dlg.Combo1->setEditText(QStringLiteral("-5"));
        dlg.Command1->click();
        dlg.Command3->click();
        QCOMPARE(dlg.Timer1->interval(), 70);
        QVERIFY(dlg.Frame1->isEnabled());
        dlg.close();
        QVERIFY(!dlg.Timer1->isActive());
    }
};

QTEST_MAIN(CalFmTest)
#include "CalFmTest.moc"
