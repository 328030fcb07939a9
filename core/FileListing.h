#pragma once

#include "core/FileFacade.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace kolbran {

// The five attribute boxes of a file list, in the order the settings keep them
// (items 0..4: normal, archive, read-only, hidden, system).
struct AttributeFilter {
    bool normal = true;
    bool archive = true;
    bool readOnly = true;
    bool hidden = false;
    bool system = false;

    bool operator==(const AttributeFilter&) const = default;
};
AttributeFilter AttributeFilterFromSettings(const std::array<int16_t, 5>& boxes);
std::array<int16_t, 5> AttributeFilterToSettings(const AttributeFilter& filter);

// A file is listed when every excluding attribute it carries (read-only, hidden, system)
// has its box checked, and it is let in by a checked box: "normal", or one of its own
// attributes.
bool PassesFilter(const FileAttributes& attributes, const AttributeFilter& filter);

// One or more patterns separated by ";" ("*.bmp;*.ico"), matched without regard to case;
// "*.*" also matches names without a dot; an empty pattern matches everything.
bool MatchesPattern(const QString& name, const QString& patterns);

struct FileEntry {
    QString name;  // without folder
    qint64 size = 0;
    QDateTime modified;
    FileAttributes attributes;
};
// What the lists show of one file (a missing file gives attributes.exists false).
FileEntry ReadFileEntry(const QString& path);

// The files of `folder` matching `patterns` and passing `filter`, in name order.
// An unreadable or missing folder lists nothing.
QList<FileEntry> ListFiles(const QString& folder, const QString& patterns,
                           const AttributeFilter& filter);
// The sub-folders a user browses into, in name order; hidden ones only with `includeHidden`.
QStringList ListSubfolders(const QString& folder, bool includeHidden = false);
// The folders from the root down to `folder` itself ("/", "/home", "/home/u").
QStringList FolderChain(const QString& folder);

// Name order as a user expects it: letter case ignored, digit runs by value (a2 before a10).
void SortNames(QStringList& names);

// The time stamp of a file as the lists show it: "2024/01/05 13:45:10".
QString FormatFileTimestamp(const QDateTime& time);
// The information line of a picked file: name(1,234ﾊﾞｲﾄ)<time stamp>を選択
QString FileInfoText(const FileEntry& entry);

// The places a drive list offers. On POSIX: "/", the home folder, then the mounted
// volumes a user would pick (removable media, network shares, other disks), without
// the system's own mounts. `mounts` are (root path, file-system type) pairs.
struct MountPoint {
    QString rootPath;
    QString fileSystemType;
};
QStringList DriveRoots(const QList<MountPoint>& mounts, const QString& home);
// DriveRoots of the running system (the drive letters on Windows).
QStringList SystemDriveRoots();
// The entry of `roots` that holds `path` (the longest matching root), or "" when none does.
QString DriveOfPath(const QStringList& roots, const QString& path);

}  // namespace kolbran
