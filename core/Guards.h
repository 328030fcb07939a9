#pragma once

#include "core/RuntimeError.h"

#include <QString>

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

// Puts the complete temporary file `temp` in the document's place, keeping a backup
// unless NoBackup; the old content is never lost.
void ReplaceWithBackup(AppState& state, const QString& temp);
// Reopens the document exclusively while a command rewrites it.
void LockDocument(AppState& state);
// ReportError (update wording), then reopens the document for shared reading.
void ReportAndReopen(AppState& state, const RuntimeError& error);

}  // namespace kolbran
