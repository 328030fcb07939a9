#pragma once

#include "core/Guards.h"
#include "core/LineIndex.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kolbran {

struct AppState;

// The text of lines first..last of the open document, one entry per indexed line with its
// own line end: one read for the whole range, each line decoded on its own (Shift_JIS, or
// UTF-16 code units for a UTF-16 document), so a line cut by the index stays a line.
QStringList ReadRangeLines(const AppState& state, LineNumber first, LineNumber last);

// The first character of `text` that Shift_JIS cannot hold (its index; a surrogate pair
// counts as one character starting there), or -1.
qsizetype FirstUnsavableChar(QStringView text);

// Throws RuntimeError 55 when the document's size or time is no longer what it was indexed
// with (another program changed it).
void CheckDocumentUnchanged(const AppState& state);
// Names the character at `at` of `text` (document line `line`) that Shift_JIS lacks in a
// message, then throws RuntimeError 0: nothing is written.
[[noreturn]] void RefuseUnsavableChar(AppState& state, QStringView text, qsizetype at, int64_t line);

// How the splice writes; tests replace a step to make it fail.
struct SpliceIo {
    FileOperations ops = FileOperations::Default();
    // Writes to the temporary file; returns the bytes written (short or -1 is a failure).
    std::function<qint64(QFile& file, const char* data, qint64 length)> write;
    // When set, the result goes to this file (replaced in one step) and the document stays
    // as it is, open.
    QString output;
};

// Rewrites the open document with lines first..last replaced by `text` (nothing given: the
// lines are removed; first = last + 1 inserts before line first). Every byte outside the
// range stays as it is, and so do the leading and trailing lines of the range whose text
// `text` repeats unchanged; only the text between is converted. The new file is written
// beside the document under a unique name and put in its place by ReplaceWithBackup.
//
// Refused with RuntimeError, the document left untouched and open for reading:
// 5 a range outside 1 <= first <= last + 1 <= LineCount + 1; 55 a file changed on disk
// since it was indexed (size or time); 0 after a message of its own (a character that
// Shift_JIS lacks, naming it and its line; a read-only or hidden document); write and
// rename failures with their numbers (the temporary file removed).
// On success the document's handle is closed: the caller re-indexes it from `first`.
void SpliceLines(AppState& state, LineNumber first, LineNumber last,
                 const std::optional<QString>& text, const SpliceIo& io = {});

}  // namespace kolbran
