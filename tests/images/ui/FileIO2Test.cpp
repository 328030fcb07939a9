#include "images/ui/FileIO2.h"

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/ui/DriveList.h"
#include "core/ui/FileList.h"
#include "core/ui/FolderList.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kolbran;
using kolbran::test::ScriptedPrompter;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// A 4 × 3 picture whose pixel in column 2, row 1 is FF8000 and whose others are blue.
void WritePicture(const QString& path, QSize size = QSize(4, 3))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    image.setPixel(1, 0, qRgb(255, 128, 0));
    QVERIFY(image.save(path, "BMP"));
}

}  // namespace

class FileIO2Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedPrompter> prompter_;
    std::unique_ptr<AppState> state_;
    QString oldCurrent_;
    QStringList opened_;

    QString Path(const QString& name) const { return dir_->filePath(name); }

    std::unique_ptr<FileIO2> Open(int mode, QWidget* parent = nullptr)
    {
        state_->FileDialogMode = mode;
        auto dialog = std::make_unique<FileIO2>(*state_, parent);
        dialog->show();
        return dialog;
    }

    static void Pick(FileIO2& d, const QString& name)
    {
        const int row = d.FileSelect->RowOf(name);
        QVERIFY2(row >= 0, qPrintable(name));
        const QRect rect = d.FileSelect->visualItemRect(d.FileSelect->item(row));
        QTest::mouseClick(d.FileSelect->viewport(), Qt::LeftButton, {}, rect.center());
    }

    static void ChooseZoom(FileIO2& d, const QString& entry)
    {
        const int index = d.Combo2->findText(entry);
        QVERIFY(index >= 0);
        d.Combo2->setCurrentIndex(index);
        Q_EMIT d.Combo2->activated(index);
    }

    static void PointAt(QWidget* w, QPoint pixels)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(pixels), w->mapToGlobal(QPointF(pixels)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
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
        state_->settings.BrowserAttributeFilter = {1, 1, 1, 0, 0};
        state_->settings.BrowserViewMode = 5;  // "*.*"
        opened_.clear();
        state_->OpenInViewer = [this](const QString& name) {
            opened_.append(name);
            state_->doc.DocumentName = name;
            state_->doc.File = OpenFile(name, QIODevice::ReadOnly);
        };
        WriteFile(Path("a.txt"), "alpha\r\n");
        WriteFile(Path("b.csv"), "1,2\r\n");
    }

    void cleanup()
    {
        state_.reset();
        QDir::setCurrent(oldCurrent_);
        dir_.reset();
    }

    void modesShowTheirCaptionsAndControls_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("openControls");
        QTest::addColumn<bool>("check1");
        QTest::newRow("open") << 0 << QStringLiteral(u"ファイルを開く") << true << false;
        QTest::newRow("new") << 1 << QStringLiteral(u"新規ファイル名") << false << false;
        QTest::newRow("save as") << 2 << QStringLiteral(u"ファイル名を付けて保存") << false << true;
    }
    void modesShowTheirCaptionsAndControls()
    {
        QFETCH(int, mode);
        QFETCH(QString, caption);
        QFETCH(bool, openControls);
        QFETCH(bool, check1);
        state_->doc.DocumentName = QStringLiteral("a.txt");
        auto d = Open(mode);
        QCOMPARE(d->windowTitle(), caption);
        QCOMPARE(d->Command3->isVisible(), openControls);
        QCOMPARE(d->Command5->isVisible(), openControls);
        QCOMPARE(d->Command8->isVisible(), openControls);
        QCOMPARE(d->Check1->isVisible(), check1);
        QCOMPARE(d->SelFile->text(), QStringLiteral("a.txt"));
        QCOMPARE(d->SelFile->selectedText(), QStringLiteral("a.txt"));
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("*.*"));
        QCOMPARE(d->Label4->text(), QDir::toNativeSeparators(dir_->path()));
        QCOMPARE(d->FileSelect->FileNames(), (QStringList{"a.txt", "b.csv"}));
        // Nothing opens the binary view or the image window yet.
        QVERIFY(!d->Command3->isEnabled());
        QVERIFY(!d->Command7->isEnabled());
    }

    void patternInNameBoxIsAppliedNeverOpened()
    {
        auto d = Open(0);
        d->SelFile->setText(QStringLiteral("*.csv"));
        QTest::keyClick(d->SelFile, Qt::Key_Return);
        QCOMPARE(d->FileSelect->FileNames(), (QStringList{"b.csv"}));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QVERIFY(opened_.isEmpty());
        QVERIFY(d->isVisible());
        QVERIFY(prompter_->prompts.isEmpty());
    }

    void pickThenOkOpensTheFile()
    {
        WriteFile(Path("c.txt"), QByteArray(1234, 'x'));
        QFile::setPermissions(Path("c.txt"), QFileDevice::ReadOwner);
        auto d = Open(0);
        Pick(*d, QStringLiteral("c.txt"));
        QCOMPARE(d->SelFile->text(), QStringLiteral("c.txt"));
        QVERIFY(d->Label6->text().startsWith(QStringLiteral(u"c.txt(1,234ﾊﾞｲﾄ)<")));
        QVERIFY(d->Label6->text().endsWith(QStringLiteral(u">を選択")));
        QCOMPARE(d->Lamp[0]->property("lit").toBool(), false);  // system
        QCOMPARE(d->Lamp[1]->property("lit").toBool(), false);  // hidden
        QCOMPARE(d->Lamp[2]->property("lit").toBool(), true);   // read-only
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QCOMPARE(opened_, QStringList{"c.txt"});
        QVERIFY(d->Done());
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QFile::setPermissions(Path("c.txt"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void withoutTheViewerHookTheLoaderOpensTheFile()
    {
        state_->OpenInViewer = nullptr;
        state_->settings.IniPath = Path("KOLBRAN.INI");
        state_->settings.RecentCount = 9;
        WriteFile(Path("three.txt"), "1\r\n2\r\n3\r\n");
        auto d = Open(0);
        Pick(*d, QStringLiteral("three.txt"));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QVERIFY(d->Done());
        QVERIFY(state_->doc.HasFile());
        QCOMPARE(state_->doc.DocumentName, QStringLiteral("three.txt"));
        QCOMPARE(state_->doc.LineCount, 3);
        QVERIFY(!state_->settings.RecentFiles.isEmpty());
        QCOMPARE(QFileInfo(state_->settings.RecentFiles.first()).fileName(), QStringLiteral("three.txt"));
        QVERIFY(QFile::exists(Path("KOLBRAN.INI")));
    }

    void openRefusesAMissingFile()
    {
        auto d = Open(0);
        d->SelFile->setText(QStringLiteral("nope.txt"));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QCOMPARE(prompter_->Messages(), QStringList{QStringLiteral(u"「nope.txt」ﾌｧｲﾙはありません。")});
        QVERIFY(opened_.isEmpty());
        QVERIFY(d->isVisible());
    }

    void newFileModeRefusesAnExistingFolder()
    {
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
        auto d = Open(1);
        d->SelFile->setText(QStringLiteral("sub"));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QCOMPARE(prompter_->Messages(),
                 QStringList{QStringLiteral(u"「sub」この名称のﾌｧｲﾙまたはﾌｫﾙﾀﾞは既に存在します。")});
        QCOMPARE(prompter_->prompts[0].icon, MsgIcon::Warning);
        QVERIFY(d->isVisible());
        QVERIFY(opened_.isEmpty());
    }

    void newFileModeCreatesAndOpensAnEmptyDocument()
    {
        auto d = Open(1);
        d->SelFile->setText(QStringLiteral("new.txt"));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QVERIFY(QFile::exists(Path("new.txt")));
        QCOMPARE(QFileInfo(Path("new.txt")).size(), 0);
        QCOMPARE(opened_, QStringList{"new.txt"});
        QVERIFY(d->Done());
    }

    void saveAsOntoTheSamePathIsRefused()
    {
        WriteFile(Path("doc.txt"), "precious\r\n");
        state_->doc.DocumentName = QStringLiteral("doc.txt");
        state_->doc.File = OpenFile(QStringLiteral("doc.txt"), QIODevice::ReadOnly);
        prompter_->answers.enqueue(MsgAnswer::Yes);  // an overwrite question would be answered yes
        auto d = Open(2);
        d->Check1->setChecked(false);
        d->SelFile->setText(QStringLiteral("doc.txt"));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QCOMPARE(prompter_->Messages(), QStringList{QStringLiteral(u"同名のファイル名は指定できません。")});
        QCOMPARE(prompter_->prompts[0].icon, MsgIcon::Critical);
        QCOMPARE(ReadAll(Path("doc.txt")), QByteArray("precious\r\n"));
        QVERIFY(d->isVisible());
        QVERIFY(state_->doc.HasFile());

        // Off into a sub-folder and closed: the document is as it was, the start folder current.
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
        d->SelectDir->SetPath(Path("sub"));
        Q_EMIT d->SelectDir->PathChanged(Path("sub"));
        QCOMPARE(QDir::currentPath(), Path("sub"));
        QTest::mouseClick(d->Command2, Qt::LeftButton);
        QVERIFY(!d->Done());
        QCOMPARE(QDir::currentPath(), dir_->path());
        QCOMPARE(state_->doc.DocumentName, QStringLiteral("doc.txt"));
    }

    void saveAsWithTheBoxOffKeepsTheDocument()
    {
        WriteFile(Path("doc.txt"), "precious\r\n");
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
        state_->doc.DocumentName = QStringLiteral("doc.txt");
        state_->doc.File = OpenFile(QStringLiteral("doc.txt"), QIODevice::ReadOnly);
        auto d = Open(2);
        d->Check1->setChecked(false);
        d->SelectDir->SetPath(Path("sub"));
        Q_EMIT d->SelectDir->PathChanged(Path("sub"));
        d->SelFile->setText(QStringLiteral("copy.txt"));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QVERIFY(prompter_->prompts.isEmpty());
        QCOMPARE(ReadAll(Path("sub/copy.txt")), QByteArray("precious\r\n"));
        QVERIFY(d->Done());
        QCOMPARE(state_->doc.DocumentName, QStringLiteral("doc.txt"));
        QCOMPARE(QDir::currentPath(), dir_->path());
        QVERIFY(state_->doc.HasFile());
        QCOMPARE(QFileInfo(state_->doc.File->fileName()).absoluteFilePath(), Path("doc.txt"));
        QCOMPARE(state_->settings.BrowserFlag, int16_t(0));
    }

    void saveAsWithTheBoxOnMakesTheCopyTheDocument()
    {
        WriteFile(Path("doc.txt"), "precious\r\n");
        WriteFile(Path("old.txt"), "to be replaced, longer than the new content\r\n");
        state_->doc.DocumentName = QStringLiteral("doc.txt");
        state_->doc.File = OpenFile(QStringLiteral("doc.txt"), QIODevice::ReadOnly);
        prompter_->answers.enqueue(MsgAnswer::Yes);
        QWidget mainWindow;
        mainWindow.setWindowTitle(QStringLiteral("doc.txt"));
        auto d = Open(2, &mainWindow);
        d->Check1->setChecked(true);
        d->SelFile->setText(QStringLiteral("old.txt"));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QCOMPARE(prompter_->Messages(),
                 QStringList{QStringLiteral(u"「old.txt」ﾌｧｲﾙは既に存在します。\r\n上書きしますか？")});
        QCOMPARE(ReadAll(Path("old.txt")), QByteArray("precious\r\n"));
        QCOMPARE(state_->doc.DocumentName, QStringLiteral("old.txt"));
        QCOMPARE(state_->settings.BrowserFlag, int16_t(1));
        QVERIFY(d->Done());
        QVERIFY(mainWindow.windowTitle().startsWith(QStringLiteral("old.txt (")));
        QVERIFY(state_->doc.HasFile());
        QCOMPARE(QFileInfo(state_->doc.File->fileName()).absoluteFilePath(), Path("old.txt"));
    }

    void aFailedCopyIsReportedAndLosesNothing()
    {
        WriteFile(Path("doc.txt"), "precious\r\n");
        state_->doc.DocumentName = QStringLiteral("doc.txt");
        state_->doc.File = OpenFile(QStringLiteral("doc.txt"), QIODevice::ReadOnly);
        auto d = Open(2);
        d->SelFile->setText(QStringLiteral("nosuch/copy.txt"));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QCOMPARE(prompter_->Messages().size(), 1);
        QCOMPARE(prompter_->prompts[0].icon, MsgIcon::Warning);
        QVERIFY(d->isVisible());
        QVERIFY(!d->Done());
        QCOMPARE(ReadAll(Path("doc.txt")), QByteArray("precious\r\n"));
        QVERIFY(!state_->doc.HasFile());  // the viewer is back in its no-document state
        QVERIFY(state_->doc.DocumentName.isEmpty());
    }

    void newFileThatCannotBeCreatedIsReported()
    {
        auto d = Open(1);
        d->SelFile->setText(QStringLiteral("nosuch/new.txt"));
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QCOMPARE(prompter_->Messages().size(), 1);
        QVERIFY(opened_.isEmpty());
        QVERIFY(d->isVisible());
        QVERIFY(d->FilOp->isEnabled());
    }

    void closingWithoutOkRestoresTheStartFolder()
    {
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("deeper")));
        WriteFile(Path("deeper/in.txt"), "x");
        auto d = Open(0);
        const int row = [&] {
            for (int i = 0; i < d->SelectDir->count(); ++i)
                if (d->SelectDir->FolderAt(i) == Path("deeper"))
                    return i;
            return -1;
        }();
        QVERIFY(row >= 0);
        Q_EMIT d->SelectDir->itemActivated(d->SelectDir->item(row));
        QCOMPARE(QDir::currentPath(), Path("deeper"));
        QCOMPARE(d->FileSelect->FileNames(), QStringList{"in.txt"});
        QCOMPARE(d->Label4->text(), QDir::toNativeSeparators(Path("deeper")));
        d->Combo1->setCurrentIndex(0);
        Q_EMIT d->Combo1->activated(0);
        QCOMPARE(d->SelFile->text(), QStringLiteral("*.txt"));
        d->reject();
        QCOMPARE(QDir::currentPath(), dir_->path());
        QCOMPARE(state_->settings.BrowserViewMode, int16_t(0));
    }

    void hiddenAndReadOnlyFilesFollowTheOptionPanel()
    {
        WriteFile(Path(".hidden.txt"), "h");
        WriteFile(Path("locked.txt"), "l");
        QFile::setPermissions(Path("locked.txt"), QFileDevice::ReadOwner);
        auto d = Open(0);
        QCOMPARE(d->FileSelect->FileNames(), (QStringList{"a.txt", "b.csv", "locked.txt"}));
        QTest::mouseClick(d->Command8, Qt::LeftButton);
        QCOMPARE(d->Stack->currentWidget(), d->Picture3);
        QVERIFY(d->Check2[0]->isChecked());
        QVERIFY(d->Check2[2]->isChecked());
        QVERIFY(!d->Check2[3]->isChecked());
        d->Check2[2]->setChecked(false);  // read-only off
        d->Check2[3]->setChecked(true);   // hidden on
        QTest::mouseClick(d->Command9, Qt::LeftButton);
        QCOMPARE(d->Stack->currentWidget(), d->FilOp);
        QCOMPARE(d->FileSelect->FileNames(), (QStringList{".hidden.txt", "a.txt", "b.csv"}));
        QCOMPARE(state_->settings.BrowserAttributeFilter, (std::array<int16_t, 5>{1, 1, 0, 1, 0}));
        // Hidden folders come with hidden files.
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral(".config")));
        d->SelectDir->SetPath(dir_->path());
        QCOMPARE(d->SelectDir->FolderAt(d->SelectDir->count() - 1), Path(".config"));
        QFile::setPermissions(Path("locked.txt"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void pointerAtZoomTwoReadsPixelColumnTwo()
    {
        WritePicture(Path("p.bmp"));
        auto d = Open(0);
        QTest::mouseClick(d->Command5, Qt::LeftButton);
        QVERIFY(d->Picture2->isVisible());
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("*.bmp"));
        QCOMPARE(d->FileSelect->FileNames(), QStringList{"p.bmp"});
        Pick(*d, QStringLiteral("p.bmp"));
        QCOMPARE(state_->TargetFilePath, QStringLiteral("p.bmp"));
        QCOMPARE(d->Label8->text(), QStringLiteral(" 4 x 3"));
        QCOMPARE(d->Image1->size(), QSize(4, 3));
        ChooseZoom(*d, QStringLiteral("2.0"));
        QCOMPARE(d->Image1->size(), QSize(8, 6));
        PointAt(d->Image1, QPoint(3, 1));  // 45 twips, 15 twips
        QCOMPARE(d->Label11->text(), QStringLiteral(" 2 x 1  RGB:FF8000"));
        QCOMPARE(d->Label12->palette().color(QPalette::Window), QColor(255, 128, 0));
        PointAt(d->Image1, QPoint(1, 1));
        QCOMPARE(d->Label11->text(), QStringLiteral(" 1 x 1  RGB:0000FF"));
    }

    void f5HeldDownCopiesOnce()
    {
        WritePicture(Path("p.bmp"));
        auto d = Open(0);
        QTest::mouseClick(d->Command5, Qt::LeftButton);
        Pick(*d, QStringLiteral("p.bmp"));
        PointAt(d->Image1, QPoint(1, 0));
        QClipboard* clipboard = QApplication::clipboard();
        QTest::keyPress(d->Picture1, Qt::Key_F5);
        QCOMPARE(clipboard->text(), QStringLiteral("FF8000"));
        QCOMPARE(d->Text8->text(), QStringLiteral("FF8000"));
        clipboard->setText(QStringLiteral("other"));
        QTest::keyPress(d->Picture1, Qt::Key_F5);  // still held
        QCOMPARE(clipboard->text(), QStringLiteral("other"));
        QTest::keyPress(d->Picture1, Qt::Key_F6);
        QCOMPARE(clipboard->text(), QStringLiteral("255:128:0"));
        QTest::keyRelease(d->Picture1, Qt::Key_F5);
        QTest::keyPress(d->Picture1, Qt::Key_F5);
        QCOMPARE(clipboard->text(), QStringLiteral("FF8000"));
    }

    void noPreviewChangesOnlyTheInformationAndLamps()
    {
        WritePicture(Path("p.bmp"));
        WritePicture(Path(".q.bmp"), QSize(2, 2));
        state_->settings.BrowserAttributeFilter = {1, 1, 1, 1, 0};
        auto d = Open(0);
        QTest::mouseClick(d->Command5, Qt::LeftButton);
        ChooseZoom(*d, kNoPreview);
        const QString label8 = d->Label8->text();
        Pick(*d, QStringLiteral("p.bmp"));
        QVERIFY(d->Label6->text().startsWith(QStringLiteral(u"p.bmp(")));
        QCOMPARE(d->Lamp[1]->property("lit").toBool(), false);
        Pick(*d, QStringLiteral(".q.bmp"));
        QVERIFY(d->Label6->text().startsWith(QStringLiteral(u".q.bmp(")));
        QCOMPARE(d->Lamp[1]->property("lit").toBool(), true);
        QVERIFY(d->Image1->pixmap().isNull());
        QCOMPARE(d->Label8->text(), label8);
        QCOMPARE(d->Combo2->currentText(), kNoPreview);
        QVERIFY(!d->HScroll1->isVisible());
        // Choosing a zoom afterwards loads the picked picture.
        ChooseZoom(*d, QStringLiteral("3.0"));
        QCOMPARE(d->Image1->size(), QSize(6, 6));
    }

    void largePictureGetsScrollBarsAndClearEmptiesAll()
    {
        WritePicture(Path("big.bmp"), QSize(500, 100));
        auto d = Open(0);
        QTest::mouseClick(d->Command5, Qt::LeftButton);
        Pick(*d, QStringLiteral("big.bmp"));
        QVERIFY(d->HScroll1->isVisible());
        QVERIFY(!d->VScroll1->isVisible());
        QCOMPARE(d->HScroll1->maximum(), 500 - d->Picture1->width());
        d->HScroll1->setValue(40);
        QCOMPARE(d->Image1->x(), -40);
        ChooseZoom(*d, QStringLiteral("4.0"));
        QVERIFY(d->VScroll1->isVisible());
        QTest::mouseClick(d->Command4, Qt::LeftButton);
        QVERIFY(d->Image1->pixmap().isNull());
        QVERIFY(!d->HScroll1->isVisible());
        QVERIFY(d->Label8->text().isEmpty());
        QCOMPARE(d->Combo2->currentText(), QStringLiteral("1.0"));

        QTest::mouseClick(d->Command6, Qt::LeftButton);  // 戻す
        QVERIFY(!d->Picture2->isVisible());
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("*.*"));
        QVERIFY(state_->TargetFilePath.isEmpty());
    }

    void aDamagedPictureShowsItsError()
    {
        WriteFile(Path("bad.bmp"), "BM not really a bitmap");
        auto d = Open(0);
        QTest::mouseClick(d->Command5, Qt::LeftButton);
        Pick(*d, QStringLiteral("bad.bmp"));
        QCOMPARE(d->Label8->text(), QStringLiteral(u"ピクチャが不正です。"));
        QVERIFY(d->Image1->pixmap().isNull());
        QVERIFY(!d->Image1->isEnabled());
    }

    void deleteAsksTwice()
    {
        WritePicture(Path("p.bmp"));
        auto d = Open(0);
        QTest::mouseClick(d->Command5, Qt::LeftButton);
        Pick(*d, QStringLiteral("p.bmp"));
        // Cancel at the first question keeps the file.
        QTest::mouseClick(d->Command10, Qt::LeftButton);
        QCOMPARE(prompter_->Messages(), QStringList{QStringLiteral(u"p.bmpを削除します！")});
        QVERIFY(QFile::exists(Path("p.bmp")));
        QVERIFY(state_->TargetFilePath.isEmpty());
        Pick(*d, QStringLiteral("p.bmp"));
        QVERIFY(!d->Image1->pixmap().isNull());
        QVERIFY(!d->Label6->text().isEmpty());
        prompter_->prompts.clear();
        prompter_->answers.enqueue(MsgAnswer::Ok);
        prompter_->answers.enqueue(MsgAnswer::Yes);
        QTest::mouseClick(d->Command10, Qt::LeftButton);
        QCOMPARE(prompter_->Messages(),
                 (QStringList{QStringLiteral(u"p.bmpを削除します！"), QStringLiteral(u"本当に良いですか？!")}));
        QCOMPARE(prompter_->prompts[1].buttons, MsgButtons::YesNo);
        QVERIFY(!QFile::exists(Path("p.bmp")));
        QVERIFY(d->FileSelect->FileNames().isEmpty());
        QVERIFY(d->SelFile->text().isEmpty());
        // The preview and the information line no longer show the deleted picture.
        QVERIFY(d->Image1->pixmap().isNull());
        QVERIFY(d->Label6->text().isEmpty());
    }

    void aDriveThatIsNotReadyIsRefused()
    {
        auto d = Open(0);
        d->SelectDrive->SetDrives({dir_->path(), Path("gone")});
        d->SelectDrive->SetDriveOf(dir_->path());
        d->SelectDrive->setCurrentIndex(1);
        Q_EMIT d->SelectDrive->activated(1);
        QCOMPARE(prompter_->Messages(), QStringList{ErrorDescription(Err::DiskNotReady)});
        QCOMPARE(d->SelectDrive->Drive(), dir_->path());
        QCOMPARE(QDir::currentPath(), dir_->path());
    }

    void imageWindowGetsThePickedFileAndTheList()
    {
        WritePicture(Path("p.bmp"));
        WritePicture(Path("q.bmp"));
        int openedFrom = 0;
        QString target;
        state_->WindowCommands[QStringLiteral("Menu_Kaku_Bit")] = [&](QWidget*) {
            openedFrom = state_->OpenedFromBrowser;
            target = state_->TargetFilePath;
        };
        auto d = Open(0);
        QVERIFY(d->Command7->isEnabled());
        QTest::mouseClick(d->Command5, Qt::LeftButton);
        QTest::mouseClick(d->Command7, Qt::LeftButton);  // the name box still holds "*.bmp"
        QCOMPARE(prompter_->Messages(), QStringList{QStringLiteral(u"ファイルが指定されていません。")});
        QCOMPARE(openedFrom, 0);
        Pick(*d, QStringLiteral("q.bmp"));
        QTest::mouseClick(d->Command7, Qt::LeftButton);
        QCOMPARE(openedFrom, 255);
        QCOMPARE(target, QStringLiteral("q.bmp"));
        QCOMPARE(state_->BrowserFileNames, (QStringList{"p.bmp", "q.bmp"}));
        QCOMPARE(state_->BrowserFileIndex, 1);
        QCOMPARE(state_->ImageNaturalWidth, 4);
        QCOMPARE(state_->OpenedFromBrowser, 0);
    }

    void binaryViewOpensThroughItsLauncher()
    {
        WriteFile(Path("empty.bin"), "");
        QString seen;
        state_->WindowCommands[QStringLiteral("Menu_Kaku_Hx")] = [&](QWidget*) {
            seen = state_->TargetFilePath;
            state_->DumpActionCode = 1;
        };
        auto d = Open(0);
        QVERIFY(d->Command3->isEnabled());
        d->SelFile->setText(QStringLiteral("empty.bin"));
        QTest::mouseClick(d->Command3, Qt::LeftButton);
        QCOMPARE(prompter_->Messages(), QStringList{QStringLiteral(u"ファイルサイズが０のため表示できません。")});
        QCOMPARE(prompter_->prompts[0].title, QStringLiteral(u"ﾊﾞｲﾅﾘ表示"));
        QVERIFY(seen.isEmpty());
        d->SelFile->setText(QStringLiteral("a.txt"));
        QTest::mouseClick(d->Command3, Qt::LeftButton);
        QCOMPARE(seen, QStringLiteral("a.txt"));
        QVERIFY(d->Done());
        QVERIFY(!d->isVisible());
    }
};

QTEST_MAIN(FileIO2Test)
#include "FileIO2Test.moc"
