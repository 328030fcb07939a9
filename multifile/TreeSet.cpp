#include "multifile/TreeSet.h"

#include "core/FileFacade.h"
#include "core/FileListing.h"
#include "core/Numbers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace kolbran {

namespace {

enum class EntryKind { File, Folder, Other };

struct Listing {
    QStringList files;
    QStringList folders;
};

#ifdef Q_OS_UNIX
EntryKind KindOf(const QByteArray& path, unsigned char type)
{
    struct stat st;
    if (type == DT_REG)
        return EntryKind::File;
    if (type == DT_DIR)
        return EntryKind::Folder;
    if (type == DT_UNKNOWN) {
        if (::lstat(path.constData(), &st) != 0)
            return EntryKind::Other;
        if (S_ISREG(st.st_mode))
            return EntryKind::File;
        if (S_ISDIR(st.st_mode))
            return EntryKind::Folder;
        if (!S_ISLNK(st.st_mode))
            return EntryKind::Other;
    } else if (type != DT_LNK) {
        return EntryKind::Other;
    }
    // A link: a regular file behind it is searched, a folder behind it is not walked.
    if (::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode))
        return EntryKind::File;
    return EntryKind::Other;
}

// The entries of one folder; throws RuntimeError when the folder cannot be read.
Listing ListFolder(const QString& folder)
{
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = ::opendir(encoded.constData());
    if (dir == nullptr)
        throw RuntimeError(ErrorFromErrno(errno), folder);
    Listing listing;
    QByteArray path = encoded;
    // errno tells the end of the folder from a failed read only when cleared before each call
    // (the stat of a dangling link sets it).
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (e == nullptr)
            break;
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        path.resize(encoded.size());
        path += name;
        switch (KindOf(path, e->d_type)) {
        case EntryKind::File: listing.files.append(QFile::decodeName(name)); break;
        case EntryKind::Folder: listing.folders.append(QFile::decodeName(name)); break;
        case EntryKind::Other: break;
        }
    }
    const int failure = errno;
    ::closedir(dir);
    if (failure != 0)
        throw RuntimeError(ErrorFromErrno(failure), folder);
    return listing;
}
#else
Listing ListFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable())
        throw RuntimeError(Err::PermissionDenied, folder);
    Listing listing;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        if (entry.isSymLink()) {
            if (entry.isFile())
                listing.files.append(entry.fileName());
        } else if (entry.isDir()) {
            listing.folders.append(entry.fileName());
        } else if (entry.isFile()) {
            listing.files.append(entry.fileName());
        }
    }
    return listing;
}
#endif

class Walker {
public:
    Walker(TreeSet& set, const TreeSetHooks& hooks, const TreeSetLimits& limits)
        : set_(set), hooks_(hooks), limits_(limits)
    {
    }

    // false when the walk ends early (cap or cancel).
    bool Walk(const QString& folder, bool top)
    {
        Listing listing;
        try {
            listing = ListFolder(folder);
        } catch (const RuntimeError& e) {
            if (hooks_.folderError)
                hooks_.folderError(TreeDisplayName(set_, folder), e);
            return true;
        }
        const qsizetype limit = top ? limits_.startSubfolders : limits_.subfolders;
        if (listing.folders.size() > limit)
            throw RuntimeError(Err::SubscriptOutOfRange, folder);
        SortNames(listing.files);
        SortNames(listing.folders);
        for (const QString& name : listing.files) {
            if (set_.files.size() >= limits_.maxFiles) {
                set_.capped = true;
                return false;
            }
            set_.files.append(folder + name);
            if (++sinceStep_ >= kStep) {
                sinceStep_ = 0;
                if (!Progress(false))
                    return false;
            }
        }
        for (const QString& name : listing.folders) {
            if (top && !Progress(true))
                return false;
            if (!Walk(folder + name + u'/', false))
                return false;
        }
        return true;
    }

private:
    bool Progress(bool topLevel)
    {
        if (hooks_.progress && !hooks_.progress(set_.files.size(), topLevel)) {
            set_.cancelled = true;
            return false;
        }
        return true;
    }

    static constexpr int kStep = 512;
    TreeSet& set_;
    const TreeSetHooks& hooks_;
    const TreeSetLimits& limits_;
    int sinceStep_ = 0;
};

}  // namespace

QString TreeStartFolder(const QString& folder)
{
    QString start = FromNativeSeparators(folder);
    if (!start.endsWith(u'/'))
        start += u'/';
    return start;
}

TreeSet BuildTreeSet(const QString& folder, const TreeSetHooks& hooks, const TreeSetLimits& limits)
{
    TreeSet set;
    set.startFolder = TreeStartFolder(folder);
    Walker walker(set, hooks, limits);
    walker.Walk(set.startFolder, true);
    return set;
}

QString TreeCapWarning(qsizetype maxFiles)
{
    return QStringLiteral(u"対象ﾌｧｲﾙ数") + StrNumber(qint64(maxFiles - 1)) + QStringLiteral(u" 以降は、処理できません。");
}

QString TreeDisplayName(const TreeSet& set, const QString& path)
{
    QString name = path.startsWith(set.startFolder) ? path.mid(set.startFolder.size()) : path;
    if (name.isEmpty())
        name = set.startFolder;
    return ToNativeSeparators(name);
}

}  // namespace kolbran
