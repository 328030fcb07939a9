#pragma once

#include "core/LineIndex.h"
#include "core/Settings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

class QIODevice;

namespace kolbran {

struct AppState;

// The whole-file transforms of the Trans menu. Every one streams the document's bytes
// from its start (never through the line index, so no line limit applies) and writes a
// new file; bytes a transform does not change are copied as they are.
enum class TransformKind {
    DeleteLines,     // drop lines that start with a rule's key, with the lines after them
    RightTrim,       // blanks (U+0020) before each CR LF and at the end
    WordWrap,        // lines cut into pieces of at most WrapWidth bytes
    ToCrLf,          // every LF written as CR LF
    ToLf,            // CR LF written as LF
    RemoveLineEnds,  // every CR and LF dropped
    SaveCode,        // each line converted by the display code
};

struct TransformOptions {
    TransformKind kind = TransformKind::RightTrim;
    // The display code: the line transforms write each line as the viewer converts it
    // (codes 1, 2, 3, 9; Shift_JIS out). Not used for UTF-16 documents.
    int code = 0;
    // The document begins with FF FE: lines end at CR 00 LF 00, blanks are 20 00.
    bool utf16 = false;
    int wrapWidth = 80;        // 2..256
    QList<DeleteRule> rules;   // as UsableRules returns them
};

// The rules a run uses: empty keys (which would match every line) skipped, counts limited
// to 1..20, keys without their trailing blanks.
QList<DeleteRule> UsableRules(const QList<DeleteRule>& stored);

// One display-code line conversion: the bytes of a line without its CR LF, converted
// whole from the converter's initial state (a lone CR or LF inside stays as it is).
// Code 0 and unknown codes return the bytes unchanged.
QByteArray ConvertLineContent(int code, QByteArrayView content);

// Called at the run's steps with the bytes read so far and the total; false stops the run.
using TransformStep = std::function<bool(int64_t done, int64_t total)>;

// Streams `size` bytes of `in` (read from its start with positioned reads, so that other
// readers of the same handle do no harm) through the transform into `out`. Returns false
// when `step` stopped it. Throws RuntimeError on a read or write failure.
bool RunTransform(const TransformOptions& options, QIODevice& in, int64_t size, QIODevice& out,
                  const TransformStep& step);

// A new file being written beside `target` under a unique name: buffered, every write
// checked (a full disk is error 61). Deleted unless Commit() was reached.
class TempOutput {
public:
    explicit TempOutput(const QString& target);
    ~TempOutput();
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;

    QIODevice& Device();
    QString Path() const;
    // Flushes, syncs and closes the file; it stays on disk. Throws RuntimeError.
    QString Commit();

private:
    struct Impl;
    Impl* impl_;
};

// The options of a command on the open document: its display code, UTF-16 flag and
// wrap width, and for DeleteLines the stored rules of KOLBRAN.DAT.
TransformOptions DocumentTransformOptions(const AppState& state, TransformKind kind);

// Rewrites the open document (its handle open, for example locked by LockDocument):
// the transform into a temporary file beside it, then ReplaceWithBackup. Returns false
// when `step` stopped the run: the temporary file is deleted, the document untouched.
// Throws RuntimeError (the document then as ReplaceWithBackup leaves it).
bool RewriteDocument(AppState& state, const TransformOptions& options, const TransformStep& step);

// The transform of `source` into `output` (a new file beside it, then one rename that
// replaces an existing `output`). Returns false when stopped. Throws RuntimeError.
bool TransformFileTo(const QString& source, const QString& output, const TransformOptions& options,
                     const TransformStep& step);

// Whether `path` begins with the UTF-16 byte-order mark FF FE.
bool FileIsUtf16(const QString& path);

}  // namespace kolbran
