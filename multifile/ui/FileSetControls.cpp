#include "multifile/ui/FileSetControls.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/RuntimeError.h"
#include "core/ui/DriveList.h"
#include "core/ui/FileList.h"
#include "core/ui/FolderList.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QVBoxLayout>

namespace kolbran {

FileSetControls::FileSetControls(AppState& state, FileSetUse use, int patternIndex, QWidget* parent)
    : QWidget(parent), state_(state), startFolder_(QDir::currentPath())
{
    Drive1 = new DriveList(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new FolderList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    File1 = new FileList(this);
    File1->setObjectName(QStringLiteral("File1"));
    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("Label2"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addWidget(Combo1);
    layout->addWidget(File1, 1);
    layout->addWidget(CountLabel);

    File1->SetMultiSelect(use != FileSetUse::Search);
    const AttributeFilter filter = FileSetFilter(use);
    Dir1->SetShowHidden(filter.hidden);
    File1->SetFilter(filter);
    Combo1->addItems(FileSetPatterns(use));
    if (patternIndex < 0 || patternIndex >= Combo1->count())
        patternIndex = 0;
    Combo1->setCurrentIndex(patternIndex);
    File1->SetPattern(Combo1->currentText());
    File1->SetFolder(startFolder_);
    Dir1->SetPath(startFolder_);
    Drive1->SetDrives();
    Drive1->SetDriveOf(startFolder_);
    UpdateCount();

    connect(Dir1, &FolderList::PathChanged, this, &FileSetControls::Dir1_Change);
    connect(Drive1, &DriveList::DriveChanged, this, &FileSetControls::Drive1_Change);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &FileSetControls::Combo1_Click);
}

FileSetControls::~FileSetControls()
{
    RestoreStartFolder();
}

QString FileSetControls::Folder() const
{
    return File1->Folder();
}

QStringList FileSetControls::AllNames() const
{
    return File1->FileNames();
}

QStringList FileSetControls::SelectedNames() const
{
    return File1->SelectedNames();
}

int FileSetControls::PatternIndex() const
{
    return Combo1->currentIndex();
}

void FileSetControls::SetCountFollowsList(bool follow)
{
    countFollows_ = follow;
    if (follow)
        UpdateCount();
}

void FileSetControls::SetCountText(const QString& text)
{
    CountLabel->setText(text);
}

void FileSetControls::UpdateCount()
{
    CountLabel->setText(FileSetCountText(File1->Entries().size()));
}

void FileSetControls::SetListsEnabled(bool enabled)
{
    for (QWidget* w : {static_cast<QWidget*>(Drive1), static_cast<QWidget*>(Dir1), static_cast<QWidget*>(Combo1),
                       static_cast<QWidget*>(File1)})
        w->setEnabled(enabled);
}

void FileSetControls::RestoreStartFolder()
{
    if (!startFolder_.isEmpty() && QDir::currentPath() != startFolder_)
        QDir::setCurrent(startFolder_);
}

void FileSetControls::Dir1_Change(const QString& folder)
{
    File1->SetFolder(folder);
    QDir::setCurrent(folder);
    if (countFollows_)
        UpdateCount();
    Q_EMIT FolderChanged(folder);
}

void FileSetControls::Drive1_Change(const QString& root)
{
    const QString remembered = Dir1->Path();
    if (!IsFolder(root) || !QDir(root).isReadable()) {
        state_.prompter.Message(ErrorDescription(Err::DiskNotReady), MsgIcon::Information, MsgButtons::Ok);
        Drive1->SetDriveOf(remembered);
        return;
    }
    Dir1->SetPath(root);
    Dir1_Change(Dir1->Path());
}

void FileSetControls::Combo1_Click(int index)
{
    if (index < 0)
        return;
    File1->SetPattern(Combo1->itemText(index));
    if (countFollows_)
        UpdateCount();
    Q_EMIT PatternChanged(index);
}

}  // namespace kolbran
