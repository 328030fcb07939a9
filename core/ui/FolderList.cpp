#include "core/ui/FolderList.h"

#include "core/FileFacade.h"
#include "core/FileListing.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace kolbran {

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString folder = FolderAt(row(item));
        if (folder.isEmpty() || folder == path_)
            return;
        SetPath(folder);
        Q_EMIT PathChanged(path_);
    });
}

void FolderList::SetPath(const QString& folder)
{
    path_ = QDir::cleanPath(QDir(FromNativeSeparators(folder)).absolutePath());
    Fill();
}

void FolderList::SetShowHidden(bool show)
{
    if (show == showHidden_)
        return;
    showHidden_ = show;
    if (!path_.isEmpty())
        Fill();
}

QString FolderList::FolderAt(int r) const
{
    return r >= 0 && r < folders_.size() ? folders_[r] : QString();
}

void FolderList::Fill()
{
    clear();
    folders_.clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = FolderChain(path_);
    int depth = 0;
    for (const QString& f : chain) {
        const QString name = QDir(f).isRoot() ? ToNativeSeparators(f) : QFileInfo(f).fileName();
        addItem(new QListWidgetItem(open, QString(depth * 2, u' ') + name));
        folders_.append(f);
        ++depth;
    }
    setCurrentRow(int(folders_.size()) - 1);
    for (const QString& sub : ListSubfolders(path_, showHidden_)) {
        addItem(new QListWidgetItem(closed, QString(depth * 2, u' ') + sub));
        folders_.append(JoinPath(path_, sub));
    }
}

}  // namespace kolbran
