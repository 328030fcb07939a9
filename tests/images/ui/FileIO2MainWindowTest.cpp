// The file dialog as the main window's File menu opens it.
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/ui/WindowRegistry.h"
#include "images/ui/FileIO2.h"
#include "viewer/ui/LogFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace kolbran;
using kolbran::test::ScriptedPrompter;

class FileIO2MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedPrompter> prompter_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<LogFile> window_;
    QString oldCurrent_;

    // Runs the menu item; `act` works the dialog once it is shown.
    bool RunDialog(const QString& item, const std::function<void(FileIO2&)>& act)
    {
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<FileIO2*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            act(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        QAction* action = window_->MenuItem(item);
        if (!action || !action->isEnabled())
            return false;
        action->trigger();
        return seen;
    }

private Q_SLOTS:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        oldCurrent_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_->path()));
        prompter_ = std::make_unique<ScriptedPrompter>();
        state_ = std::make_unique<AppState>(*prompter_);
        state_->SettingsFolder = dir_->filePath(QStringLiteral("settings"));
        QDir().mkpath(state_->SettingsFolder);
        RegisterImagesWindows(*state_);
        window_ = std::make_unique<LogFile>(*state_, QString());
        window_->show();
        QFile f(dir_->filePath(QStringLiteral("three.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("one\r\ntwo\r\nthree\r\n");
    }

    void cleanup()
    {
        window_->close();
        window_.reset();
        state_.reset();
        QDir::setCurrent(oldCurrent_);
        dir_.reset();
    }

    void openSaveAsAndNewGoThroughTheDialog()
    {
        QVERIFY(RunDialog(QStringLiteral("Menu_File_Open"), [](FileIO2& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral(u"ファイルを開く"));
            d.SelFile->setText(QStringLiteral("three.txt"));
            d.Command1->click();
        }));
        QCOMPARE(state_->doc.DocumentName, QStringLiteral("three.txt"));
        QVERIFY(state_->doc.HasFile());
        QCOMPARE(state_->doc.LineCount, 3);
        QVERIFY(window_->windowTitle().startsWith(QStringLiteral("three.txt (")));
        QVERIFY(!state_->settings.RecentFiles.isEmpty());

        QVERIFY(RunDialog(QStringLiteral("Menu_File_Save"), [](FileIO2& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral(u"ファイル名を付けて保存"));
            d.Check1->setChecked(true);
            d.SelFile->setText(QStringLiteral("copy.txt"));
            d.Command1->click();
        }));
        QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("copy.txt"))));
        QCOMPARE(state_->doc.DocumentName, QStringLiteral("copy.txt"));
        QVERIFY(window_->windowTitle().startsWith(QStringLiteral("copy.txt (")));

        QVERIFY(RunDialog(QStringLiteral("Menu_File_New"), [](FileIO2& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral(u"新規ファイル名"));
            d.SelFile->setText(QStringLiteral("fresh.txt"));
            d.Command1->click();
        }));
        QCOMPARE(QFileInfo(dir_->filePath(QStringLiteral("fresh.txt"))).size(), 0);
        QCOMPARE(state_->doc.DocumentName, QStringLiteral("fresh.txt"));
        QVERIFY(state_->doc.HasFile());
        QCOMPARE(state_->doc.LineCount, 0);
    }

    void closingTheDialogLeavesTheViewerAsItWas()
    {
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
        QVERIFY(RunDialog(QStringLiteral("Menu_File_Open"), [this](FileIO2& d) {
            QVERIFY(QDir::setCurrent(dir_->filePath(QStringLiteral("sub"))));
            d.Command2->click();
        }));
        QCOMPARE(QDir::currentPath(), dir_->path());
        QVERIFY(state_->doc.DocumentName.isEmpty());
        QVERIFY(!state_->doc.HasFile());
    }
};

QTEST_MAIN(FileIO2MainWindowTest)
#include "FileIO2MainWindowTest.moc"
