#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>

class QFile;

namespace kolbran {

// Streams a file's lines with their own line ends, as the viewer splits them: a line ends
// after CR LF (in a UTF-16 file, one that begins with FF FE, after CR 00 LF 00 on a character
// boundary); a lone CR or LF is data; the last line may have no end. Any number of lines,
// read in large blocks; the byte-order mark is not part of line 1. A line longer than
// kMaxLinePiece bytes comes in pieces of that size (never cutting a character), so that
// memory stays bounded on files without line ends.
class FileLines {
public:
    static constexpr qsizetype kMaxLinePiece = qsizetype(4) << 20;

    // Opens the file for shared reading; throws RuntimeError when it cannot (a folder gives 75).
    explicit FileLines(const QString& path);
    ~FileLines();
    FileLines(const FileLines&) = delete;
    FileLines& operator=(const FileLines&) = delete;

    bool IsUtf16() const { return utf16_; }
    int64_t Size() const { return size_; }
    // Bytes consumed so far (the mark included).
    int64_t Position() const { return consumed_; }
    // The number of the line Next returned last (1-based).
    int64_t LineNumber() const { return line_; }

    // The next line's bytes with its line end, valid until the next call; false at the end.
    // Throws RuntimeError when a read fails.
    bool Next(QByteArrayView* line);

    // The bytes read ahead but not yet returned (from the next line's start), valid until the
    // next call. A caller that can rule out whole lines from them skips those lines at once.
    QByteArrayView Pending() const { return QByteArrayView(buffer_).sliced(begin_); }
    // Passes over the first `bytes` of Pending(), which hold `lines` whole lines (each shorter
    // than kMaxLinePiece, the last one ended by its line end).
    void SkipPending(qsizetype bytes, int64_t lines)
    {
        begin_ += bytes;
        consumed_ += bytes;
        line_ += lines;
    }

private:
    bool Fill();

    std::unique_ptr<QFile> file_;
    bool utf16_ = false;
    int64_t size_ = 0;
    int64_t consumed_ = 0;
    int64_t line_ = 0;
    QByteArray buffer_;
    qsizetype begin_ = 0;  // first unconsumed byte of buffer_
    bool eof_ = false;
};

// Where the line end of `line` starts (line.size() when it has none).
qsizetype LineEndStart(QByteArrayView line, bool utf16);

// A line's text as the viewer shows it: UTF-16 code units in a UTF-16 file; otherwise
// Shift_JIS, after the display code's conversion of the line without its CR LF (code 0 leaves
// the bytes as they are). The line end is kept.
QString FileLineText(QByteArrayView line, bool utf16, int displayCode);

}  // namespace kolbran
