#pragma once

#include "viewer/SpliceLines.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace kolbran {

struct AppState;

// One replacement (ChiKan): the first occurrence of `from` at or after the 0-based `pos`
// of `text` (`compareMode` 0 exact, 1 ignoring case) is replaced by `to`. Returns where the
// match was, or -1; the next search starts at the returned position + to.size(), so the
// inserted text is never searched again.
qsizetype ChiKan(QString& text, const QString& from, const QString& to, qsizetype pos,
                 int compareMode = 0);

// The whole-file run cuts the document into chunks of at most this many lines and fewer
// than this many characters (a longer line is a chunk of its own).
inline constexpr int kReplaceChunkLines = 1000;
inline constexpr int kReplaceChunkChars = 65536;

struct WholeFileReplaceOptions {
    QString output;  // empty: the document is rewritten in place (ReplaceWithBackup)
    // Called as each chunk starts, with its first and last line.
    std::function<void(int64_t first, int64_t last)> onChunk;
    SpliceIo io;
};

struct WholeFileReplaceResult {
    int64_t replacements = 0;
    bool written = false;          // the document (or the output) was rewritten
    bool cancelled = false;        // BusyFlag was cleared during the run
    int64_t lineReached = 0;       // after a cancel: the last line processed
    int64_t firstChangedLine = 0;  // the first line a replacement touched
};

// ChiKanAll: replaces every occurrence of `from` by `to`, comparing exactly, in one pass over
// the document's lines as the index cuts them (no line limit), chunk by chunk; an occurrence
// never spans two chunks and the inserted text is never searched again. Lines no occurrence
// touches keep their bytes. Sets BusyFlag for the run, yields after each replacement and stops
// replacing when BusyFlag is cleared: the chunks done and the replacements made so far are
// written, the rest stays as it was. Without an occurrence the document is not rewritten.
// Refusals as SpliceLines (55 a file changed since indexing; 0 after a message of its own:
// a character Shift_JIS lacks, a protected document). On success in place the document's
// handle is closed: the caller re-indexes it.
WholeFileReplaceResult ChiKanAll(AppState& state, const QString& from, const QString& to,
                                 const WholeFileReplaceOptions& options = {});

}  // namespace kolbran
