#pragma once

#include <QListWidget>

namespace kolbran {

// The folder list: the folders from the root down to the current one, then its
// sub-folders. Opening an entry (double click, Enter) makes it the list's path.
class FolderList final : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // Shows `folder` (made absolute) without telling anyone.
    void SetPath(const QString& folder);
    // Hidden sub-folders are listed only when the file list shows hidden files too.
    void SetShowHidden(bool show);
    // The folder of entry `row`.
    QString FolderAt(int row) const;

Q_SIGNALS:
    // The user opened another folder.
    void PathChanged(const QString& folder);

private:
    void Fill();

    QString path_;
    bool showHidden_ = false;
    QStringList folders_;  // full path per row
};

}  // namespace kolbran
