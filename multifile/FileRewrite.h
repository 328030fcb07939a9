#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace kolbran {

struct AppState;

enum class RewriteResult {
    Replaced,  // the new content is in the file's place (a backup kept by the backup option)
    Kept,      // the writer chose not to replace: the file, its time and any backup untouched
    Refused,   // a read-only or hidden file: not rewritten (`RewriteFile` gives the reason)
};

// Writes the new version of one file of a multi-file run: `write` streams it into a temporary
// file beside `path` (unique name, every write checked) and returns true when it is to
// replace the file; false (nothing changed, cancelled, keyword not matched) deletes the
// temporary file. The replacement is ReplaceWithBackup on `path` as the current document.
// Either the whole new content takes the file's place or the file stays as it was: a failed
// write, a full disk or a failed rename throws RuntimeError with the temporary file removed.
// A refusal puts its message (the read-only or hidden-file text) in `reason`.
RewriteResult RewriteFile(AppState& state, const QString& path, const std::function<bool(QIODevice& out)>& write,
                          QString* reason = nullptr);

}  // namespace kolbran
