#include "core/FileFacade.h"

#include "core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace kolbran {

FileAttributes GetFileAttributes(const QString& path)
{
    FileAttributes a;
    const QFileInfo info(FromNativeSeparators(path));
    if (path.isEmpty() || !info.exists())
        return a;
    a.exists = true;
    a.isFolder = info.isDir();
#ifdef Q_OS_WIN
    const DWORD attr = ::GetFileAttributesW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(info.absoluteFilePath()).utf16()));
    if (attr != INVALID_FILE_ATTRIBUTES) {
        a.readOnly = attr & FILE_ATTRIBUTE_READONLY;
        a.hidden = attr & FILE_ATTRIBUTE_HIDDEN;
        a.system = attr & FILE_ATTRIBUTE_SYSTEM;
        a.archive = attr & FILE_ATTRIBUTE_ARCHIVE;
    }
#else
    a.hidden = info.fileName().startsWith(u'.');
    if (!a.isFolder) {
        // No write bit is the read-only attribute, also for root, whom access() lets write.
        const QByteArray native = QFile::encodeName(info.absoluteFilePath());
        struct stat st {};
        const bool known = ::stat(native.constData(), &st) == 0;
        const bool noWriteBit = known && (st.st_mode & 0222) == 0;
        a.readOnly = noWriteBit || ::access(native.constData(), W_OK) != 0;
        a.special = known && !S_ISREG(st.st_mode);
    }
#endif
    return a;
}

bool IsFolder(const QString& path)
{
    return GetFileAttributes(path).isFolder;
}

bool FileExists(const QString& path)
{
    const FileAttributes a = GetFileAttributes(path);
    return a.exists && !a.isFolder;
}

std::unique_ptr<QFile> OpenFile(const QString& path, int mode, FileShare share)
{
    auto file = std::make_unique<QFile>(FromNativeSeparators(path));
    if (QFileInfo(file->fileName()).isDir())
        throw RuntimeError(Err::PathFileAccess, path);
    errno = 0;
    if (!file->open(QIODevice::OpenMode(mode)))
        ThrowFileError(*file, Err::FileNotFound);
#ifdef Q_OS_UNIX
    const int how = share == FileShare::Exclusive ? LOCK_EX : LOCK_SH;
    if (::flock(file->handle(), how | LOCK_NB) != 0) {
        // A shared open never waits; only an exclusive holder makes it fail.
        throw RuntimeError(Err::PermissionDenied, path);
    }
#else
    Q_UNUSED(share);
#endif
    return file;
}

PathParts SplitPath(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    if (slash < 0)
        return {QString(), path};
    QString folder = path.left(slash);
    // A root keeps its separator: "/" or "C:\".
    if (folder.isEmpty() || (folder.size() == 2 && folder[1] == u':'))
        folder = path.left(slash + 1);
    return {folder, path.mid(slash + 1)};
}

QString FileNamePart(const QString& path)
{
    return SplitPath(path).name;
}

QString FolderPart(const QString& path)
{
    return SplitPath(path).folder;
}

QString JoinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder + name;
    return folder + u'/' + name;
}

QString ToNativeSeparators(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString FromNativeSeparators(const QString& path)
{
#ifdef Q_OS_WIN
    return path;
#else
    QString p = path;
    p.replace(u'\\', u'/');
    return p;
#endif
}

QString ReplaceFromFirstDot(const QString& path, const QString& extension)
{
    // The dot is looked for in the file-name part: a dot in a folder name ("data.old/log",
    // "./a.txt") is not an extension.
    const qsizetype nameStart =
        std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1;
    const qsizetype dot = path.indexOf(u'.', nameStart);
    return (dot < 0 ? path : path.left(dot)) + extension;
}

bool RenameReplacing(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    return ::MoveFileExW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(from).utf16()),
                         reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(to).utf16()),
                         MOVEFILE_REPLACE_EXISTING) != 0;
#else
    errno = 0;
    return std::rename(QFile::encodeName(FromNativeSeparators(from)).constData(),
                       QFile::encodeName(FromNativeSeparators(to)).constData()) == 0;
#endif
}

bool SyncFile(const QString& path)
{
#ifdef Q_OS_UNIX
    QFile file(FromNativeSeparators(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return ::fsync(file.handle()) == 0;
#else
    Q_UNUSED(path);
    return true;
#endif
}

bool SamePath(const QString& a, const QString& b)
{
    const QFileInfo fa(FromNativeSeparators(a)), fb(FromNativeSeparators(b));
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

}  // namespace kolbran
