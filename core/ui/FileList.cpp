#include "core/ui/FileList.h"

#include "core/FileFacade.h"

#include <QDir>
#include <QSignalBlocker>

namespace kolbran {

FileList::FileList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int r = row(item);
        if (r >= 0 && r < entries_.size())
            Q_EMIT FilePicked(entries_[r]);
    });
    // A click reports itself on release; the keyboard moves the selection directly.
    connect(this, &QListWidget::currentRowChanged, this, [this](int r) {
        if (!pressing_ && r >= 0 && r < entries_.size())
            Q_EMIT FilePicked(entries_[r]);
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int r = row(item);
        if (r >= 0 && r < entries_.size())
            Q_EMIT FileDoubleClicked(entries_[r]);
    });
}

void FileList::mousePressEvent(QMouseEvent* event)
{
    pressing_ = true;
    QListWidget::mousePressEvent(event);
    pressing_ = false;
}

void FileList::SetFolder(const QString& folder)
{
    folder_ = QDir::cleanPath(QDir(FromNativeSeparators(folder)).absolutePath());
    Refresh();
}

void FileList::SetPattern(const QString& pattern)
{
    pattern_ = pattern;
    Refresh();
}

void FileList::SetFilter(const AttributeFilter& filter)
{
    filter_ = filter;
    Refresh();
}

void FileList::Refresh()
{
    const QSignalBlocker block(this);
    clear();
    entries_ = ListFiles(folder_, pattern_, filter_);
    for (const FileEntry& e : entries_)
        addItem(e.name);
    setCurrentRow(-1);
}

void FileList::SetMultiSelect(bool multi)
{
    setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QStringList FileList::SelectedNames() const
{
    QStringList names;
    for (int r = 0; r < count() && r < entries_.size(); ++r)
        if (item(r)->isSelected())
            names.append(entries_[r].name);
    return names;
}

QStringList FileList::FileNames() const
{
    QStringList names;
    for (const FileEntry& e : entries_)
        names.append(e.name);
    return names;
}

int FileList::RowOf(const QString& name) const
{
    for (int i = 0; i < entries_.size(); ++i)
        if (entries_[i].name == name)
            return i;
    return -1;
}

}  // namespace kolbran
