// The image window and the image list as the main window's menu opens them.
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/ui/WindowRegistry.h"
#include "generators/ui/PhotoPrt.h"
#include "images/ui/Betsu.h"
#include "viewer/ui/LogFile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace kolbran;
using kolbran::test::ScriptedPrompter;

class BetsuMainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedPrompter> prompter_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<LogFile> window_;
    QString oldCurrent_;

    QList<Betsu*> ImageWindows() const
    {
        QList<Betsu*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<Betsu*>(w); b && b->isVisible())
                found.append(b);
        return found;
    }

private Q_SLOTS:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        oldCurrent_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_->path()));
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(QImageWriter(dir_->filePath(QStringLiteral("pic.png")), "png").write(picture));
        prompter_ = std::make_unique<ScriptedPrompter>();
        state_ = std::make_unique<AppState>(*prompter_);
        state_->SettingsFolder = dir_->filePath(QStringLiteral("settings"));
        QDir().mkpath(state_->SettingsFolder);
        RegisterImagesWindows(*state_);
        RegisterImageListWindows(*state_);
        window_ = std::make_unique<LogFile>(*state_, dir_->filePath(QStringLiteral("pic.png")));
        window_->show();
    }

    void cleanup()
    {
        for (Betsu* b : ImageWindows())
            b->close();
        QCoreApplication::processEvents();
        window_->close();
        window_.reset();
        state_.reset();
        QDir::setCurrent(oldCurrent_);
        dir_.reset();
    }

    void bitMapShowsTheDocumentBesideTheMainWindowOnce()
    {
        QAction* bit = window_->MenuItem(QStringLiteral("Menu_Kaku_Bit"));
        QVERIFY(bit && bit->isEnabled());
        bit->trigger();
        QCOMPARE(ImageWindows().size(), 1);
        Betsu* shown = ImageWindows().first();
        QVERIFY(!shown->isModal());
        QVERIFY(shown->Loaded());
        QCOMPARE(shown->Picture().size(), QSize(64, 48));
        QVERIFY(shown->ShownPath().endsWith(QStringLiteral("pic.png")));
        QVERIFY(window_->isEnabled());
        bit->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(ImageWindows().size(), 1);
    }

    void imageListOpensModally()
    {
        QAction* photo = window_->MenuItem(QStringLiteral("Menu_Kaku_Photo"));
        QVERIFY(photo && photo->isEnabled());
        bool seen = false;
        int count = -1;
        QTimer::singleShot(0, this, [&] {
            auto* list = qobject_cast<PhotoPrt*>(QApplication::activeModalWidget());
            if (!list)
                return;
            seen = true;
            list->Combo1->setCurrentIndex(3);
            list->Command4_Click();
            count = list->FileCount();
            list->reject();
        });
        photo->trigger();
        QVERIFY(seen);
        QCOMPARE(count, 1);
    }
};

QTEST_MAIN(BetsuMainWindowTest)
#include "BetsuMainWindowTest.moc"
