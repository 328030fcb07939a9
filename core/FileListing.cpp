#include "core/FileListing.h"

#include "core/Numbers.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>

namespace kolbran {

AttributeFilter AttributeFilterFromSettings(const std::array<int16_t, 5>& boxes)
{
    AttributeFilter f;
    f.normal = boxes[0] != 0;
    f.archive = boxes[1] != 0;
    f.readOnly = boxes[2] != 0;
    f.hidden = boxes[3] != 0;
    f.system = boxes[4] != 0;
    return f;
}

std::array<int16_t, 5> AttributeFilterToSettings(const AttributeFilter& f)
{
    return {int16_t(f.normal), int16_t(f.archive), int16_t(f.readOnly), int16_t(f.hidden),
            int16_t(f.system)};
}

bool PassesFilter(const FileAttributes& a, const AttributeFilter& f)
{
    if ((a.readOnly && !f.readOnly) || (a.hidden && !f.hidden) || (a.system && !f.system))
        return false;
    return f.normal || (a.archive && f.archive) || (a.readOnly && f.readOnly) ||
           (a.hidden && f.hidden) || (a.system && f.system);
}

bool MatchesPattern(const QString& name, const QString& patterns)
{
    const QStringList parts = patterns.split(u';', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return true;
    for (QString p : parts) {
        p = p.trimmed();
        if (p.isEmpty())
            continue;
        if (p == QLatin1String("*.*") || p == QLatin1String("*"))
            return true;
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(p),
                                    QRegularExpression::CaseInsensitiveOption);
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}

FileEntry ReadFileEntry(const QString& path)
{
    FileEntry e;
    const QString p = FromNativeSeparators(path);
    const QFileInfo info(p);
    e.name = info.fileName();
    e.attributes = GetFileAttributes(p);
    if (e.attributes.exists) {
        e.size = e.attributes.isFolder ? 0 : info.size();
        e.modified = info.lastModified();
    }
    return e;
}

namespace {
QCollator NameCollator()
{
    QCollator c(QLocale(QLocale::Japanese, QLocale::Japan));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(true);
    return c;
}
}  // namespace

void SortNames(QStringList& names)
{
    const QCollator c = NameCollator();
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const int r = c.compare(a, b);
        // Names that differ only in case keep a fixed order.
        return r != 0 ? r < 0 : a < b;
    });
}

QList<FileEntry> ListFiles(const QString& folder, const QString& patterns,
                           const AttributeFilter& filter)
{
    QList<FileEntry> result;
    const QDir dir(FromNativeSeparators(folder));
    if (folder.isEmpty() || !dir.exists())
        return result;
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const QString& n) { return !MatchesPattern(n, patterns); }),
                names.end());
    SortNames(names);
    for (const QString& n : names) {
        FileEntry e = ReadFileEntry(dir.filePath(n));
        if (e.attributes.exists && !e.attributes.isFolder && PassesFilter(e.attributes, filter))
            result.append(std::move(e));
    }
    return result;
}

QStringList ListSubfolders(const QString& folder, bool includeHidden)
{
    const QDir dir(FromNativeSeparators(folder));
    if (folder.isEmpty() || !dir.exists())
        return {};
    QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::NoSort);
    if (!includeHidden)
        names.erase(std::remove_if(names.begin(), names.end(),
                                   [&](const QString& n) { return GetFileAttributes(dir.filePath(n)).hidden; }),
                    names.end());
    SortNames(names);
    return names;
}

QStringList FolderChain(const QString& folder)
{
    QString path = QDir::cleanPath(QDir(FromNativeSeparators(folder)).absolutePath());
    QStringList chain;
    while (true) {
        chain.prepend(path);
        const QFileInfo info(path);
        if (QDir(path).isRoot())
            break;
        const QString parent = info.absolutePath();
        if (parent == path || parent.isEmpty())
            break;
        path = parent;
    }
    return chain;
}

QString FormatFileTimestamp(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QString FileInfoText(const FileEntry& e)
{
    return e.name + QStringLiteral(u"(") + FormatCount(e.size) + QStringLiteral(u"ﾊﾞｲﾄ)<") +
           FormatFileTimestamp(e.modified) + QStringLiteral(u">を選択");
}

namespace {
bool UnderAny(const QString& path, std::initializer_list<const char*> prefixes)
{
    for (const char* p : prefixes) {
        const QString prefix = QLatin1String(p);
        if (path == prefix || path.startsWith(prefix + u'/'))
            return true;
    }
    return false;
}
}  // namespace

QStringList DriveRoots(const QList<MountPoint>& mounts, const QString& home)
{
    QStringList roots{QStringLiteral("/")};
    if (!home.isEmpty() && home != QLatin1String("/"))
        roots.append(QDir::cleanPath(home));
    // Mounts in these folders are the ones users make or plug in.
    const auto userPlace = {"/media", "/mnt", "/run/media", "/Volumes"};
    // Mounts here belong to the system (kernel, boot, containers, packages).
    const auto systemPlace = {"/proc", "/sys", "/dev", "/run", "/boot", "/snap", "/etc",
                              "/var", "/usr", "/tmp", "/opt", "/srv", "/lib", "/bin", "/sbin"};
    const QStringList diskTypes{"ext2", "ext3", "ext4", "xfs", "btrfs", "vfat", "exfat",
                                "ntfs", "ntfs3", "fuseblk", "nfs", "nfs4", "cifs", "smb3",
                                "smbfs", "iso9660", "udf", "hfsplus", "apfs", "zfs", "f2fs",
                                "msdos", "fuse.sshfs"};
    QStringList extra;
    for (const MountPoint& m : mounts) {
        const QString root = QDir::cleanPath(m.rootPath);
        if (root.isEmpty() || root == QLatin1String("/") || roots.contains(root) || extra.contains(root))
            continue;
        const bool wanted = UnderAny(root, userPlace) ||
                            (!UnderAny(root, systemPlace) && diskTypes.contains(m.fileSystemType));
        if (wanted)
            extra.append(root);
    }
    SortNames(extra);
    return roots + extra;
}

QStringList SystemDriveRoots()
{
#ifdef Q_OS_WIN
    QStringList roots;
    for (const QFileInfo& d : QDir::drives())
        roots.append(d.absoluteFilePath());
    return roots;
#else
    QList<MountPoint> mounts;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes())
        mounts.append({s.rootPath(), QString::fromLatin1(s.fileSystemType())});
    return DriveRoots(mounts, QDir::homePath());
#endif
}

QString DriveOfPath(const QStringList& roots, const QString& path)
{
    const QString p = QDir::cleanPath(FromNativeSeparators(path));
    QString best;
    for (const QString& r : roots) {
        const QString root = QDir::cleanPath(r);
        const bool holds = root == QLatin1String("/") || p.compare(root, Qt::CaseInsensitive) == 0 ||
                           p.startsWith(root.endsWith(u'/') ? root : root + u'/', Qt::CaseInsensitive);
        if (holds && root.size() > QDir::cleanPath(best).size())
            best = r;
        else if (holds && best.isEmpty())
            best = r;
    }
    return best;
}

}  // namespace kolbran
