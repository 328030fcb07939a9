#pragma once

#include "core/LineIndex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

class QIODevice;

namespace kolbran {

struct AppState;

// The BASE64 text file: 57 input bytes per line of 76 characters (the last line shorter),
// "=" padding, CR LF after every line, nothing else in the file.
inline constexpr int kBase64BlockBytes = 57;
inline constexpr int kBase64LineChars = 76;

// The line of one block of up to 57 bytes, CR LF included, appended to `out`.
void AppendBase64Line(QByteArrayView block, QByteArray& out);

// One line of BASE64 text (its line end included) decoded and appended to `out`. Groups of
// four characters are taken from the first character of the line; CR LF at a group's start
// ends the line, a space inside a group ends it at once (the group dropped), a group with
// "=" ends it after that group's bytes; characters outside the code table, and characters
// missing at the end of the line, count as value 0.
void DecodeBase64Line(QStringView line, QByteArray& out);
// The same for a line whose bytes are all ASCII (bytes and characters are then the same).
void DecodeBase64AsciiLine(QByteArrayView line, QByteArray& out);

// Default output names: the path up to its first "." then ".b64" (debug flag 2: the whole
// path then ".b64"); the decoder's: the path up to its first "." then ".XXX".
QString DefaultEncodeName(const QString& source, bool debugFlag2);
QString DefaultDecodeName(const QString& source);

// Progress of a run: the bar at `position` of `total`.
using ProgressFunction = std::function<void(qint64 position, qint64 total)>;

// The encoding run from `source` (`size` bytes) into `output`: progress every
// max(32, Int(blocks / 2560)) blocks, then the event loop, then a cleared BusyFlag stops
// the run after that block. Returns the number of the last block written. Throws
// RuntimeError on a read or write error.
qint64 EncodeBase64Stream(AppState& state, QIODevice& source, qint64 size, QIODevice& output,
                          const ProgressFunction& progress);
// The decoding run over the text file `source` (the shared sequential line reader) into
// `output`: progress every max(32, Int(L / 2560)) lines with L = Int(size / 256) + 1; a
// cleared BusyFlag stops it there. Returns true when the whole file was read.
bool DecodeBase64Stream(AppState& state, const QString& source, QIODevice& output,
                        const ProgressFunction& progress);

// What the line-range decoder came to; the line-range dialog closes on Close.
enum class LineDecodeOutcome { StayOpen, Close };
// Reads document line n, its line end included.
using DocumentLineReader = std::function<QString(LineNumber n)>;
// Decodes document lines first..last into a file chosen in a save dialog (the line-range
// dialog's "BASE64 デコード"). `beforeWrite` runs once the output is settled (the
// hourglass), `afterWrite` when the command ends after it.
LineDecodeOutcome DecodeBase64Lines(AppState& state, LineNumber first, LineNumber last,
                                    const DocumentLineReader& readLine,
                                    const std::function<void()>& beforeWrite = {},
                                    const std::function<void()>& afterWrite = {});
// The same over the open document, its lines read with ReadLine.
LineDecodeOutcome DecodeBase64Lines(AppState& state, LineNumber first, LineNumber last,
                                    const std::function<void()>& beforeWrite = {},
                                    const std::function<void()>& afterWrite = {});

}  // namespace kolbran
