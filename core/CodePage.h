#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace kolbran {

// The system code page: Shift_JIS as Windows writes it (Windows-31J, CP932).
// The only place where text turns into Shift_JIS bytes and back.

// Unmappable characters become "?", like the system conversion.
QByteArray ToSjis(QStringView text);
// Invalid byte sequences become replacement characters.
QString FromSjis(QByteArrayView bytes);
// Bytes the text takes in Shift_JIS.
qsizetype SjisLength(QStringView text);

// The first byte of a double-byte Shift_JIS character: 81..9F, E0..FC.
constexpr bool IsSjisLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
// Half-width katakana and their punctuation, A1..DF (single bytes).
constexpr bool IsSjisKana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }

// UTF-16LE bytes to text and back (documents that start with FF FE).
QString FromUtf16Le(QByteArrayView bytes);
QByteArray ToUtf16Le(QStringView text);

}  // namespace kolbran
