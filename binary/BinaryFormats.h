#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace kolbran {

// The binary display file (B): every byte as two upper-case hexadecimal digits, 64 bytes per
// line, every line ended by CR LF. The extended binary display file (K): the same digits with
// runs of equal bytes written as repeat markers "-" + a character of kRepeatCountAlphabet.

inline constexpr int kBinaryDisplayRecordSize = 512;
inline constexpr int kBinaryDisplayLineBytes = 64;
inline constexpr int kExtendedRecordSize = 1024;
inline constexpr int kMaxRepeatCount = 90;

// The hexadecimal lines of one 512-byte record: CR LF after every 64 bytes and after the
// record's last byte. Appended to `out`.
void AppendBinaryDisplayRecord(QByteArray& out, QByteArrayView record);

// The extended line lengths the view offers: 100, 110, 120, 130, 140. Anything else is
// taken as 100.
int ValidExtendedLineLength(int value);
// The menu index of a stored line length: (value − 100) / 10 rounded, 0 outside 0..4.
int ExtendedLineLengthIndex(int value);

// The writer of the extended format. Its state (the previous byte on the line, the pending
// count, the length of the unfinished line) carries from record to record; a run starts
// with a fresh writer.
class ExtendedWriter {
public:
    explicit ExtendedWriter(int lineLength) : lineLength_(ValidExtendedLineLength(lineLength)) {}

    // The tokens and line ends of `bytes`, appended to `out`.
    void Append(QByteArrayView bytes, QByteArray& out);
    // After the last record, or when the run stops: a pending count becomes its marker.
    void Finish(QByteArray& out);
    // Characters on the unfinished line.
    int LineLengthSoFar() const { return column_; }

private:
    void Token(char a, char b, QByteArray& out);

    int lineLength_;
    int previous_ = -1;  // the previous byte on this line, -1 after a line end
    int pending_ = 0;
    int column_ = 0;
};

// The count that a repeat-marker character stands for: its position in
// kRepeatCountAlphabet (1..90); a character outside the alphabet counts as 1.
int RepeatCount(char16_t c);

// Restores the bytes of one line (line end included) of a binary display file, appended to
// `out`. `extended`: markers are read; otherwise every pair is a literal. A line that starts
// with a marker throws RuntimeError 5. Pairs that are not hexadecimal give the value of their
// leading digits, without an error.
void RestoreLine(QStringView line, bool extended, QByteArray& out);
// The same walk over the stored bytes of a line whose bytes are all ASCII (where bytes and
// characters are the same).
void RestoreAsciiLine(QByteArrayView line, bool extended, QByteArray& out);

// Default names: the file's name up to its first "." followed by ".DMP", ".B", ".K" (writers)
// or ".XXX" (restorers), in the file's folder.
QString DefaultOutputName(const QString& sourcePath, const QString& extensionWithDot);

}  // namespace kolbran
