#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/Fonts.h"
#include "core/Settings.h"
#include "core/ui/Hyouji.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

using namespace kolbran;

class HyoujiTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompter prompter;
    std::unique_ptr<AppState> state;
    int page = 0;

private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutions(); }
    void init()
    {
        state = std::make_unique<AppState>(prompter);
        SetFirstRunValues(state->settings, QDate(2006, 4, 1));
        SetRunTimeValues(state->settings);
        page = 0;
    }

    void LoadsTheSettings()
    {
        ViewerSettings& s = state->settings;
        s.LinesPerScreen = 40;
        s.ForeColor = 0x00102030;
        s.BackColor = 0x00FFFFFF;
        s.WrapWidth = 80;
        Hyouji w(*state, page);
        QCOMPARE(w.windowTitle(), QStringLiteral(u"属  性"));
        QCOMPARE(w.Label16->text(), QStringLiteral("40"));
        QCOMPARE(w.HScroll4->minimum(), 22);
        QCOMPARE(w.HScroll4->maximum(), 56);
        QCOMPARE(w.Label2->text(), QStringLiteral("ABC123"));
        QCOMPARE(w.Combo1->count(), 4);
        QCOMPARE(w.Combo2->count(), 7);
        QVERIFY(w.Combo2->itemText(0).startsWith(u' '));
        // The text colour's sliders: red, green, blue of 0x00BBGGRR.
        QCOMPARE(w.HScroll5[0]->value(), 0x30);
        QCOMPARE(w.HScroll5[1]->value(), 0x20);
        QCOMPARE(w.HScroll5[2]->value(), 0x10);
        w.Option4[1]->setChecked(true);
        QCOMPARE(w.Label3[2]->text(), QStringLiteral("255"));
        QCOMPARE(w.Label11->text(), QStringLiteral("80"));
    }

    void EdgeCasesOfTheLoadAndOk()
    {
        ViewerSettings& s = state->settings;
        s.SearchResultRow = 0;
        s.EditorLinesBefore = 100;
        s.FontSize = 11.11f;  // matches no realised size
        s.RecentCount = 0;
        s.ForeColor = int32_t(0x7F00FF00);  // above 24 bits: only the low 24 count
        {
            Hyouji w(*state, page);
            QCOMPARE(s.SearchResultRow, int16_t(1));  // corrected at once, even on cancel
            QCOMPARE(w.Combo3[0]->currentText(), QStringLiteral("240"));
            QCOMPARE(w.Combo2->currentIndex(), 0);
            QCOMPARE(w.Combo4->currentIndex(), -1);
            QCOMPARE(w.HScroll5[1]->value(), 255);
            QCOMPARE(w.HScroll5[2]->value(), 0);
            w.HScroll2->setValue(1);
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            QCOMPARE(float(s.FontSize), float(w.RealisedSizes()[0]));
        }
        QVERIFY(state->SettingsChanged);
        QCOMPARE(s.EditorLinesBefore, int16_t(240));
        QCOMPARE(s.AutoScrollSpeed, 200);
        QCOMPARE(s.RecentCount, int16_t(0));  // kept: none was chosen
        QCOMPARE(s.ForeColor, int32_t(0x0000FF00));
        {
            Hyouji w(*state, page);
            w.HScroll2->setValue(200);
            w.Combo4->setCurrentIndex(4);
            QTest::mouseClick(w.Command1, Qt::LeftButton);
        }
        QCOMPARE(s.AutoScrollSpeed, 1);
        QCOMPARE(s.RecentCount, int16_t(5));
    }

    void OkWritesTheRecordFieldsAndCancelNothing()
    {
        state->settings.SearchResultRow = 5;  // in range: the load corrects nothing
        const QByteArray before = EncodeSettingsRecord(state->settings);
        {
            Hyouji w(*state, page);
            w.HScroll4->setValue(50);
            w.Option5[0]->setChecked(true);
            w.HScroll3->setValue(200);
            QTest::mouseClick(w.Command2, Qt::LeftButton);
        }
        QCOMPARE(EncodeSettingsRecord(state->settings), before);
        QVERIFY(!state->SettingsChanged);
        {
            Hyouji w(*state, page);
            w.HScroll4->setValue(50);
            w.Option5[1]->setChecked(true);
            w.HScroll3->setValue(200);
            w.Option3[0]->setChecked(true);
            QTest::mouseClick(w.Command1, Qt::LeftButton);
        }
        const QByteArray after = EncodeSettingsRecord(state->settings);
        QCOMPARE(after[8], char(50));
        QCOMPARE(after[66], char(0));
        QCOMPARE(uint8_t(after[82]), uint8_t(200));
        QVERIFY(state->settings.NoBackup);
    }

    void PagesWrapAndReopenOnTheLastOkPage()
    {
        {
            Hyouji w(*state, page);
            QCOMPARE(w.CurrentPage(), 0);
            QVERIFY(w.Label5[0]->font().bold());
            QTest::keyClick(w.Picture1[0], Qt::Key_Left);
            QCOMPARE(w.CurrentPage(), 3);
            QVERIFY(w.Picture1[3]->isEnabled());
            QVERIFY(!w.Picture1[0]->isEnabled());
            QTest::keyClick(w.Picture1[3], Qt::Key_Right);
            QCOMPARE(w.CurrentPage(), 0);
            QTest::mouseClick(w.Label5[2], Qt::LeftButton);
            QCOMPARE(w.CurrentPage(), 2);
            QTest::mouseClick(w.Command1, Qt::LeftButton);
        }
        {
            Hyouji w(*state, page);
            QCOMPARE(w.CurrentPage(), 2);
            w.ShowPage(1);
            QTest::mouseClick(w.Command2, Qt::LeftButton);
        }
        Hyouji w(*state, page);
        QCOMPARE(w.CurrentPage(), 2);
    }

    void RealisedSizesComeFromAFontCopy()
    {
        QFont probe(FontNameForIndex(0));
        probe.setPointSizeF(9.75);
        Hyouji w(*state, page);
        QCOMPARE(w.RealisedSizes()[1], double(float(QFontInfo(probe).pointSizeF())));
    }
};

QTEST_MAIN(HyoujiTest)
#include "HyoujiTest.moc"
