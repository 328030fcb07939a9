#pragma once

#include "core/LineIndex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

class QFile;

namespace kolbran {

// Reads a named text file line by line, without an index, the way the restorers and the
// BASE64 decoder read their input.
//
// From the current position at most 4,096 bytes are looked at. The line ends after the
// first CR LF in them; in a UTF-16 file (one that begins with FF FE) after the first
// CR 00 LF 00 on a character boundary. Without such an end the whole block is the line,
// except that a line end cut by the block's end is left for the next line. Lines are
// decoded from Shift_JIS, or from UTF-16LE in a UTF-16 file; there the byte-order mark
// stays at the head of the first line (U+FEFF), so a caller that reads the content skips it.
class SequentialLineReader {
public:
    static constexpr qsizetype kBlockSize = 4096;

    // Opens the file for shared reading; throws RuntimeError when it cannot.
    explicit SequentialLineReader(const QString& path);
    ~SequentialLineReader();
    SequentialLineReader(const SequentialLineReader&) = delete;
    SequentialLineReader& operator=(const SequentialLineReader&) = delete;

    bool IsUtf16() const { return utf16_; }
    FileOffset FileSize() const { return size_; }
    // Bytes consumed so far: the 0-based position after the last line returned.
    FileOffset BytesRead() const { return consumed_; }
    bool AtEnd() const { return consumed_ >= size_; }

    // The next line as stored, line end included; empty at the end of the file. The view
    // stays valid until the next call.
    QByteArrayView NextBytes();
    // The next line as text, line end included (its size is the line's length in
    // characters); std::nullopt at the end of the file.
    std::optional<QString> Next();

private:
    void Fill();

    std::unique_ptr<QFile> file_;
    FileOffset size_ = 0;
    FileOffset consumed_ = 0;
    bool utf16_ = false;
    // Read ahead in large blocks; only the 4,096-byte window decides where lines end.
    QByteArray buffer_;
    qsizetype begin_ = 0;
    qsizetype end_ = 0;
    bool eof_ = false;
};

// The byte length of the line at the start of `block` (at most kBlockSize bytes).
// `evenStart`: the block starts at an even file position (UTF-16 character boundary).
// `fileEnds`: the block reaches the end of the file, so nothing is left for a next line.
qsizetype SequentialLineLength(QByteArrayView block, bool utf16, bool evenStart, bool fileEnds);

}  // namespace kolbran
