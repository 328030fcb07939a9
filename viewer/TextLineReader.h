#pragma once

#include "core/LineIndex.h"

#include <QByteArray>

class QFile;

namespace kolbran {

// The sequential text reader of the line-input mode: a line ends at CR LF (a lone CR or LF
// is data); reads the file in blocks from a 1-based position.
class TextLineReader {
public:
    TextLineReader(QFile& file, FileOffset start) : file_(file), pos_(start) {}

    // Reads the next line without its CR LF into `out` (at most `keep` bytes of it are
    // kept); false when the end of the file was already reached.
    bool ReadLine(QByteArray* out, qsizetype keep = 1 << 20);
    bool SkipLine() { return ReadLine(nullptr, 0); }
    // The 1-based position of the next byte to read.
    FileOffset Position() const { return pos_; }
    bool AtEnd() const;

private:
    bool Covers(FileOffset pos);

    QFile& file_;
    FileOffset pos_;
    QByteArray block_;
    FileOffset blockStart_ = 0;
};

}  // namespace kolbran
