#pragma once

#include "core/RuntimeError.h"

#include <QString>

#include <functional>

namespace kolbran {

struct AppState;

// The debug trace (only kept while debug flag 1 is set), at most 200 characters.
void TraceAppend(AppState& state, const QString& label);
void TraceSet(AppState& state, const QString& text);
QString TraceGet(const AppState& state);

// The one run-time error report. `reading` 1: the failed access was a read, 0 an update.
// Shows the message for `error` (none for 0, and for 32755 outside debug mode) followed by
// the trace, then empties the trace.
void ReportError(AppState& state, const RuntimeError& error, int reading);
void ReportError(AppState& state, int errorNumber, int reading);

// 1 when the document is read-only or hidden (rewriting refused), else 0.
int RefuseProtected(AppState& state, bool showMessage);
// true when the path must not be opened (folder, missing file, or an error).
bool CheckFileExists(AppState& state, const QString& path);

// Results of CheckSaveTarget.
namespace SaveTarget {
inline constexpr int Allowed = 0;
inline constexpr int IsFolder = 1;
inline constexpr int ReadOnly = -1;
inline constexpr int Declined = 7;
}  // namespace SaveTarget
int CheckSaveTarget(AppState& state, const QString& path);

// The backup name of a document: the path up to and including the first dot of its
// file-name part, then "bak" (report.txt → report.bak, a.b.c → a.bak); without a dot the
// path + ".bak" (data.old/log → data.old/log.bak). When that rule gives the document's own
// name (notes.bak), the backup is the whole name + ".bak" (notes.bak.bak).
QString BackupName(const QString& documentName);

// The file operations ReplaceWithBackup uses, each true on success (errno tells why not).
// Tests replace one to make a chosen step fail.
struct FileOperations {
    std::function<bool(const QString& from, const QString& to)> rename;  // atomic, replaces `to`
    std::function<bool(const QString& path)> remove;
    std::function<bool(const QString& from, const QString& to)> copy;    // `to` is new
    static FileOperations Default();
};

// Puts the complete temporary file `temp` in the place of the document (closed first,
// FileNumber 0 after), deleting the old version with NoBackup and keeping it under
// BackupName otherwise. A read-only or hidden document is left as it is and `temp` deleted.
// A temporary file in another folder is first copied beside the document, so that the
// replacement is one rename on one file system. On any failure `temp` is deleted, the old
// content is still under the document's name (or, at worst, the backup name), and the
// RuntimeError is thrown on to the caller's handler (ReportAndReopen).
void ReplaceWithBackup(AppState& state, const QString& temp);
void ReplaceWithBackup(AppState& state, const QString& temp, const FileOperations& ops);
// Reopens the document for reading and writing with an exclusive lock while a command
// rewrites it. Throws RuntimeError (70 when another program holds the file); the document
// is then open for shared reading again.
void LockDocument(AppState& state);
// ReportError (update wording), then, when a document is named and its file was open,
// opens it again for shared reading.
void ReportAndReopen(AppState& state, const RuntimeError& error);

}  // namespace kolbran
