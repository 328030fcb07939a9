#pragma once

#include <QString>

#include <memory>

class QFile;

namespace kolbran {

// The attribute questions, asked the same way on every platform.
// read-only: the user may not write the file; hidden: a name starting with "." on POSIX,
// the attribute on Windows; system and archive: attributes on Windows, never set on POSIX.
struct FileAttributes {
    bool exists = false;
    bool isFolder = false;
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
    bool archive = false;
    // A named pipe, socket or device: no document, since reading it may never end.
    bool special = false;
};
FileAttributes GetFileAttributes(const QString& path);
bool IsFolder(const QString& path);
bool FileExists(const QString& path);  // an existing file that is not a folder

// Opening with the locks the program uses: shared reading (others may read and write),
// and exclusive (flock on POSIX) while a command rewrites the document.
enum class FileShare { Shared, Exclusive };
// Opens `path` in `mode`; throws RuntimeError with the mapped number on failure
// (70 when an exclusive lock is held by another process).
std::unique_ptr<QFile> OpenFile(const QString& path, int /*QIODevice::OpenMode*/ mode,
                                FileShare share = FileShare::Shared);

// Paths: "\" and "/" are both separators on input; shown with native separators.
struct PathParts {
    QString folder;  // without trailing separator, except a root ("/", "C:\")
    QString name;    // the file-name part
};
PathParts SplitPath(const QString& path);
QString FileNamePart(const QString& path);
QString FolderPart(const QString& path);
QString JoinPath(const QString& folder, const QString& name);
QString ToNativeSeparators(const QString& path);
QString FromNativeSeparators(const QString& path);  // "\" becomes "/" on POSIX

// Whether two names lead to one file: resolved (links, "..", separators) when both exist,
// else compared as absolute, cleaned paths.
bool SamePath(const QString& a, const QString& b);

// The default output name: the path up to the first "." of its file-name part followed by
// `extension` (which includes its dot), or the whole path + extension when there is none.
QString ReplaceFromFirstDot(const QString& path, const QString& extension);

// Renames `from` to `to`, replacing an existing `to` in one atomic step (errno on failure).
bool RenameReplacing(const QString& from, const QString& to);
// Flushes a complete file to the disk before it takes another file's place.
bool SyncFile(const QString& path);

}  // namespace kolbran
