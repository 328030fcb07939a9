// The wait window: showing clears the old cancel; the button, the title-bar close and
// Escape all cancel; the run's own close does not.
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/ui/CancelF.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace kolbran;

class CancelFTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsItsTextsAndClearsAnOldCancel()
    {
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.CancelRequested = true;  // left from an earlier run
        CancelF w(state);
        w.Open();
        QVERIFY(w.isVisible());
        QVERIFY(!w.isModal());
        QVERIFY(!state.CancelRequested);
        QCOMPARE(w.Label2->text(), QStringLiteral(u"しばらくお待ちください。(^o^)"));
        QCOMPARE(w.Label1->text(), QString());
        QCOMPARE(w.Command1->text(), QStringLiteral(u"取　消"));
        w.SetProgress(3'000'000'000LL, 6'000'000'000LL);  // beyond 32 bits
        QCOMPARE(w.Picture1->Position(), 3'000'000'000LL);
        QCOMPARE(w.Picture1->Total(), 6'000'000'000LL);
        w.SetStatusText(QStringLiteral("12.34 %"));
        QCOMPARE(w.Label1->text(), QStringLiteral("12.34 %"));
        w.Finish();
        QVERIFY(!w.isVisible());
        QVERIFY(!state.CancelRequested);
    }

    void everyWayOutIsACancel_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("button") << 0;
        QTest::newRow("title-bar close") << 1;
        QTest::newRow("Escape") << 2;
    }
    void everyWayOutIsACancel()
    {
        QFETCH(int, way);
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        QWidget printSettings;
        printSettings.setObjectName(QStringLiteral("PrtSet"));
        printSettings.show();
        CancelF w(state);
        w.Open();
        if (way == 0)
            QTest::mouseClick(w.Command1, Qt::LeftButton);
        else if (way == 1)
            w.close();
        else
            QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QVERIFY(state.CancelRequested);
        if (way == 0)
            QVERIFY(!printSettings.isVisible());
        // The next run starts uncancelled.
        w.Open();
        QVERIFY(!state.CancelRequested);
    }
};

QTEST_MAIN(CancelFTest)
#include "CancelFTest.moc"
