#pragma once

#include "core/LineIndex.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace kolbran {

struct AppState;
class ViewerHost;

// Bytes scanned per step while indexing, and the most a line window reads.
inline constexpr int kChunkSize = 4096;

// Opens a document for viewing: resets the viewer to its no-document state (unless
// QuietLoad), then PrOpen2(name, 0).
// `name` is taken by value: callers may pass the document's own name, which the reset clears.
void PrOpen(AppState& state, ViewerHost& host, QString name);
// Checks, indexes and opens the file; `fromLine` > 1 keeps entries 1..fromLine and indexes
// again from there (after an edit). Returns true when the document is open afterwards.
// Failures show their message (or the shared error report) and leave no document.
bool PrOpen2(AppState& state, ViewerHost& host, const QString& name, LineNumber fromLine);

// The scan: 4,096-byte chunks, lines end only at CR LF (UTF-16: CR 00 LF 00), the first
// screen drawn when line 57 is known, progress every StatusInterval lines, stops when
// BusyFlag is cleared. The memory form stops after 1,000,000 lines with a warning; with
// debug flag 3 the disk form indexes without limit. Sets doc.LineCount.
void BuildLineIndex(AppState& state, ViewerHost& host, const QString& name, LineNumber fromLine);
// The line-by-line indexer, used when the file cannot be opened for binary reading.
void BuildLineIndexByLines(AppState& state, ViewerHost& host, const QString& name,
                           LineNumber fromLine);

// Lines between progress updates for a file of `fileLength` bytes: Int(length ÷ 56,000),
// at least 99.
int StatusIntervalFor(FileOffset fileLength);

// Entry n of the index, n lowered to LineCount + 1 when larger.
FileOffset GetLineStart(const AppState& state, int64_t n);
void SetLineStart(AppState& state, int64_t n, FileOffset position);

// Reads line n into doc.LineBuffer and sets doc.LineLength (characters, line end
// included). Code 0 (and every UTF-16 document): the indexed bytes. Other codes: a
// window of up to 4,096 bytes from the line start, converted; LineLength then counts up
// to the first CR LF. n > LineCount leaves LineBuffer empty and LineLength unchanged.
void ReadLine(AppState& state, int64_t n);

// Up to `length` bytes of the open document from the 1-based position `start` (fewer at
// the end of the file; nothing without a document).
QByteArray ReadDocumentBytes(const AppState& state, FileOffset start, int64_t length);
// The same into `dest`, which has room for `length` bytes; returns the count read.
int64_t ReadDocumentInto(const AppState& state, FileOffset start, char* dest, int64_t length);

// The document part of the no-document state: closes the file and deletes the disk
// index, empties the name, line count and line buffer, clears BusyFlag, IsUtf16,
// LineInputMode and the trace, and sets DisplayCode 0. The main window's
// ResetToNoDocument calls it; PrOpen calls it too.
void ResetDocumentState(AppState& state);

// The folder of the disk index: the settings folder (the program's folder when writable).
QString DiskIndexFolder(const AppState& state);

}  // namespace kolbran
