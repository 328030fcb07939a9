#pragma once

#include <QComboBox>
#include <QStringList>

namespace kolbran {

// The drive list: the roots a user picks a place from (drive letters on Windows; on
// POSIX "/", the home folder and the mounted volumes).
class DriveList final : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Fills the list (the system's roots when `roots` is empty).
    void SetDrives(const QStringList& roots = {});
    QStringList Drives() const { return roots_; }
    QString Drive() const;
    // Selects the root holding `path` without telling anyone.
    void SetDriveOf(const QString& path);

Q_SIGNALS:
    // The user chose another root.
    void DriveChanged(const QString& root);

private:
    QStringList roots_;
    bool quiet_ = false;
};

}  // namespace kolbran
