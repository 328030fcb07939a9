#pragma once

#include "multifile/FileSet.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;

namespace kolbran {

struct AppState;
class DriveList;
class FileList;
class FolderList;

// The file-set controls every multi-file dialog starts with: the drive list, the folder list,
// the pattern list, the file list (several files selectable where the dialog works on a
// selection) and the count label. Choosing a folder makes it the process's current folder, so
// the plain names of the list resolve against it; the folder current at construction is made
// current again when the controls go away.
class FileSetControls final : public QWidget {
    Q_OBJECT
public:
    FileSetControls(AppState& state, FileSetUse use, int patternIndex, QWidget* parent = nullptr);
    ~FileSetControls() override;

    DriveList* Drive1 = nullptr;
    FolderList* Dir1 = nullptr;
    QComboBox* Combo1 = nullptr;
    FileList* File1 = nullptr;
    QLabel* CountLabel = nullptr;

    QString Folder() const;
    // Every listed file, and the selected ones, by plain name in list order.
    QStringList AllNames() const;
    QStringList SelectedNames() const;
    int PatternIndex() const;
    QString StartFolder() const { return startFolder_; }

    // The count label follows the list (off in the search's tree mode, which shows its own).
    void SetCountFollowsList(bool follow);
    void SetCountText(const QString& text);
    void UpdateCount();
    // The drive, folder, pattern and file lists on or off (a run disables them).
    void SetListsEnabled(bool enabled);
    // Makes the start folder current again (also done on destruction).
    void RestoreStartFolder();

Q_SIGNALS:
    void FolderChanged(const QString& folder);
    void PatternChanged(int index);

private:
    void Dir1_Change(const QString& folder);
    void Drive1_Change(const QString& root);
    void Combo1_Click(int index);

    AppState& state_;
    QString startFolder_;
    bool countFollows_ = true;
};

}  // namespace kolbran
