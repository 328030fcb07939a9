#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "core/ui/WindowRegistry.h"
#include "help/HelpTexts.h"
#include "help/ui/HelpMenu.h"
#include "help/ui/Vrfrm.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"
#include "viewer/ui/LogFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace kolbran;

namespace {

// A menu caption as the help trees write it: without "(&X)", "&" and the trailing dots.
QString TreeCaption(QString caption)
{
    const qsizetype open = caption.lastIndexOf(QStringLiteral("(&"));
    if (open >= 0)
        caption.truncate(open);
    caption.remove(u'&');
    while (caption.endsWith(u'.'))
        caption.chop(1);
    return caption.trimmed();
}

}  // namespace

class HelpWindowsTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompter prompter;
    std::unique_ptr<AppState> state;

private Q_SLOTS:
    void init()
    {
        prompter.prompts.clear();
        state = std::make_unique<AppState>(prompter);
    }

    void VersionBoxFlags()
    {
        QMainWindow main;
        auto* decode = main.menuBar()->addMenu(QStringLiteral("e"))->addAction(QStringLiteral("d"));
        decode->setObjectName(QStringLiteral("Menu_Edit_Line_4"));
        main.show();
        state->settings.DebugFlags = 2;
        {
            Vrfrm w(*state, &main);
            QCOMPARE(w.windowTitle(), QStringLiteral(u"Kolbranのﾊﾞｰｼﾞｮﾝ情報"));
            QCOMPARE(w.lblVersion->text(), QStringLiteral(u"ﾊﾞｰｼﾞｮﾝ ") + ProgramVersion());
            QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(ProgramVersion()).hasMatch());
            QCOMPARE(w.lblDescription->text(), QStringLiteral(u"説明:ﾌｧｲﾙﾋﾞｭｱｰ(ﾃｷｽﾄ、ﾊﾞｲﾅﾘ表示、画像)"));
            QVERIFY(w.Check3[2]->isChecked());
            w.Check3[2]->setChecked(false);
            QTest::mouseClick(w.cmdOK, Qt::LeftButton);
        }
        QCOMPARE(state->settings.DebugFlags, int16_t(0));
        QVERIFY(!decode->isVisible());
        // Box k is flag k: flag 1 alone ticks box 1, and it stays so after each opening.
        state->settings.DebugFlags = 1;
        for (int round = 0; round < 2; ++round) {
            Vrfrm w(*state, &main);
            QVERIFY(w.Check3[1]->isChecked());
            QVERIFY(!w.Check3[3]->isChecked());
            QTest::mouseClick(w.cmdOK, Qt::LeftButton);
        }
        QCOMPARE(state->settings.DebugFlags, int16_t(1));
        {
            Vrfrm w(*state, &main);
            w.Check3[1]->setChecked(false);
            w.Check3[3]->setChecked(true);
            QTest::mouseClick(w.cmdOK, Qt::LeftButton);
        }
        QCOMPARE(state->settings.DebugFlags, int16_t(4));
        const QByteArray record = EncodeSettingsRecord(state->settings);
        QCOMPARE(record.mid(256, 2), QByteArray("\x04\x00", 2));
        ViewerSettings reloaded;
        DecodeSettingsRecord(record, reloaded);
        QCOMPARE(IsDebugFlag(reloaded, 3), 1);
    }

    void BoxThreeIsLockedWhileAFileIsOpen()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x\r\n");
        f.close();
        ViewerHost host;
        state->settings.DebugFlags = 4;
        PrOpen(*state, host, path);
        QVERIFY(state->doc.HasFile());
        Vrfrm w(*state);
        QVERIFY(!w.Check3[3]->isEnabled());
        QVERIFY(w.Check3[3]->isChecked());
        ResetDocumentState(*state);
    }

    void NoSystemInformationToolGivesTheMessage()
    {
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", empty.path().toLocal8Bit());
        QVERIFY(SystemInfoCommand().isEmpty());
        Vrfrm w(*state);
        QTest::mouseClick(w.cmdSysInfo, Qt::LeftButton);
        qputenv("PATH", path);
        QCOMPARE(prompter.prompts.size(), 1);
        QCOMPARE(prompter.prompts[0].text, QStringLiteral(u"現時点ではｼｽﾃﾑ情報を使用できません"));
    }

    void HelpOpensByRequestIndex()
    {
        state->HelpRequestIndex = 1;
        {
            HelpMenu w(*state);
            QCOMPARE(w.windowTitle(), QStringLiteral(u"ﾒﾆｭｰﾊﾞｰの説明"));
            QVERIFY(!w.Combo1->isVisibleTo(&w));
            QVERIFY(w.Command1[0]->isVisibleTo(&w));
            QCOMPARE(w.Text1->toPlainText(), MenuExplanationText(0));
            QTest::mouseClick(w.Command1[3], Qt::LeftButton);
            QCOMPARE(w.Text1->toPlainText(), MenuExplanationText(3));
        }
        const std::pair<int, int> topics[] = {{2, 0}, {4, 2}, {6, 4}, {7, 5}, {3, 1}};
        for (const auto& [index, entry] : topics) {
            state->HelpRequestIndex = index;
            HelpMenu w(*state);
            QCOMPARE(w.windowTitle(), QStringLiteral(u"ヘルプ"));
            QVERIFY(w.Combo1->isVisibleTo(&w));
            QVERIFY(!w.Command1[0]->isVisibleTo(&w));
            QCOMPARE(w.Combo1->currentIndex(), entry);
            QCOMPARE(w.Text1->toPlainText(), HelpTopicText(index));
            QVERIFY(!w.Text1->toPlainText().isEmpty());
        }
        // An index outside 2..7 is the menu-bar explanation.
        state->HelpRequestIndex = 9;
        HelpMenu w(*state);
        QCOMPARE(w.windowTitle(), QStringLiteral(u"ﾒﾆｭｰﾊﾞｰの説明"));
        QCOMPARE(w.Combo1->count(), 6);
        QCOMPARE(w.Combo1->itemText(1), QStringLiteral(u"HTMLの<TABLE>ﾀｸﾞ"));
        w.Combo1->setCurrentIndex(3);
        QCOMPARE(w.Text1->toPlainText(), HelpTopicText(5));
    }

    void MenuTreesFollowTheMainWindowsMenus()
    {
        QTemporaryDir dir;
        state->SettingsFolder = dir.path();
        RegisterHelpWindows(*state);
        LogFile window(*state, QString());
        const QList<QAction*> menus = window.menuBar()->actions();
        QCOMPARE(menus.size(), 6);
        for (int m = 0; m < 6; ++m) {
            const QString tree = MenuExplanationText(m);
            QVERIFY2(tree.contains(TreeCaption(menus[m]->text())), qPrintable(menus[m]->text()));
            qsizetype at = 0;
            QList<QAction*> items = menus[m]->menu()->actions();
            for (qsizetype i = 0; i < items.size(); ++i) {
                QAction* item = items[i];
                if (item->isSeparator() || item->objectName().startsWith(QStringLiteral("Menu_File_Fe_")))
                    continue;
                if (item->menu())
                    items.append(item->menu()->actions());
                const qsizetype found = tree.indexOf(TreeCaption(item->text()), i < menus[m]->menu()->actions().size() ? at : 0);
                QVERIFY2(found >= 0, qPrintable(item->text()));
                if (i < menus[m]->menu()->actions().size())
                    at = found;
            }
        }
        // The marks follow the enabled states: print works without a file, the repeat searches
        // after a search, the multi-file tools without a file.
        QVERIFY(MenuExplanationText(0).contains(QStringLiteral(u"印刷                     ○")));
        QVERIFY(MenuExplanationText(0).contains(QStringLiteral(u"ファイルを閉じる         △")));
        QVERIFY(MenuExplanationText(1).contains(QStringLiteral(u"下方向に検索             ▲")));
        QVERIFY(MenuExplanationText(4).contains(QStringLiteral(u"複数ﾌｧｲﾙ印刷               ")));
        // The launchers open from any parent and are enabled in the main window.
        QVERIFY(window.MenuItem(QStringLiteral("Menu_H_M_1"))->isEnabled());
        QVERIFY(window.MenuItem(QStringLiteral("Menu_H_V"))->isEnabled());
        window.close();
    }
};

QTEST_MAIN(HelpWindowsTest)
#include "HelpWindowsTest.moc"
