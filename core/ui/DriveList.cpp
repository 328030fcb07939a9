#include "core/ui/DriveList.h"

#include "core/FileFacade.h"
#include "core/FileListing.h"

#include <QDir>
#include <QSignalBlocker>

namespace kolbran {

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!quiet_ && index >= 0 && index < roots_.size())
            Q_EMIT DriveChanged(roots_[index]);
    });
}

void DriveList::SetDrives(const QStringList& roots)
{
    const QSignalBlocker block(this);
    roots_ = roots.isEmpty() ? SystemDriveRoots() : roots;
    clear();
    const QString home = QDir::cleanPath(QDir::homePath());
    for (const QString& r : roots_) {
        QString text = ToNativeSeparators(r);
        if (QDir::cleanPath(r) == home && home != QLatin1String("/"))
            text = QStringLiteral("~  ") + text;
        addItem(text);
    }
}

QString DriveList::Drive() const
{
    const int i = currentIndex();
    return i >= 0 && i < roots_.size() ? roots_[i] : QString();
}

void DriveList::SetDriveOf(const QString& path)
{
    const QString root = DriveOfPath(roots_, path);
    const int i = roots_.indexOf(root);
    if (i >= 0) {
        const QSignalBlocker block(this);
        setCurrentIndex(i);
    }
}

}  // namespace kolbran
