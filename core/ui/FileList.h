#pragma once

#include "core/FileListing.h"

#include <QListWidget>

namespace kolbran {

// The file list: the files of one folder matching a pattern and the attribute filter.
// A pick (a click, or moving the selection with the keyboard) and a double click are
// reported with the file's entry.
class FileList final : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString Folder() const { return folder_; }
    QString Pattern() const { return pattern_; }
    AttributeFilter Filter() const { return filter_; }
    void SetFolder(const QString& folder);
    void SetPattern(const QString& pattern);
    void SetFilter(const AttributeFilter& filter);
    // Reads the folder again.
    void Refresh();

    const QList<FileEntry>& Entries() const { return entries_; }
    QStringList FileNames() const;
    // The row of `name`, or -1.
    int RowOf(const QString& name) const;

    // Several files at once (click, Ctrl+click, Shift+click) instead of one.
    void SetMultiSelect(bool multi);
    // The selected files' names in list order.
    QStringList SelectedNames() const;

Q_SIGNALS:
    void FilePicked(const kolbran::FileEntry& entry);
    void FileDoubleClicked(const kolbran::FileEntry& entry);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString folder_;
    QString pattern_ = QStringLiteral("*.*");
    AttributeFilter filter_;
    QList<FileEntry> entries_;
    bool pressing_ = false;
};

}  // namespace kolbran
