#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

namespace kolbran {

// The character code a document is shown in; the values are the indexes of the code
// menu Menu_Disp_Nippon. Code 4 exists only for the binary view's EBCDIK table.
namespace DisplayCode {
inline constexpr int Standard = 0;      // Shift_JIS as stored (or UTF-16 with a byte-order mark)
inline constexpr int EucJp = 1;         // "日本語１"
inline constexpr int Iso2022Jp = 2;     // "日本語２"
inline constexpr int Ebcdik = 3;        // EBCDIK with double-byte sections
inline constexpr int EbcdikBinary = 4;  // the binary view's EBCDIK table
inline constexpr int Corrected = 9;     // Shift_JIS with invalid bytes shown as "?"
}  // namespace DisplayCode

// The codes of the menu, in menu order.
inline constexpr std::array<int, 5> kDisplayCodes{0, 1, 2, 3, 9};
bool IsDisplayCode(int code);

// The menu caption of a code ("標準(&0)" …); empty for a value that is not in the menu.
QString DisplayCodeCaption(int code);
// The name status panel 1 shows: empty for code 0 ("Unicode" for a UTF-16 document).
QString DisplayCodeName(int code, bool isUtf16 = false);

// The Shift_JIS single-byte character shown for each EBCDIK byte. `variant` 3 is the
// display table, 4 the binary view's (every "?" and the control bytes shown as ".").
using EbcdikTableType = std::array<uint8_t, 256>;
const EbcdikTableType& EbcdikTable(int variant = DisplayCode::Ebcdik);

// The converters to Shift_JIS. None stops on bad input: bytes they do not treat are copied
// (codes 1, 2, 3) or become "?" (code 9).
// EUC-JP: stops at the first CR; the result then ends with CR LF.
QByteArray ConvertEucJp(QByteArrayView bytes);
// ISO-2022-JP: stops at the first CR or LF (an LF is copied); the result then ends with CR LF.
QByteArray ConvertIso2022Jp(QByteArrayView bytes);
// EBCDIK with double-byte sections (0A 42 … 0A 41): the whole input.
QByteArray ConvertEbcdik(QByteArrayView bytes, const EbcdikTableType& table = EbcdikTable());
// Shift_JIS validation: the whole input, invalid bytes become "?".
QByteArray CorrectSjis(QByteArrayView bytes);

// One line window (read from a line start, at most 4,096 bytes) converted by `code`
// (1, 2, 3, 9); code 0 and unknown codes return the bytes unchanged.
QByteArray ConvertWindow(int code, QByteArrayView bytes);

}  // namespace kolbran
