#pragma once

#include <QString>
#include <QStringView>

namespace kolbran {

// The hexadecimal of a selected text for the partial binary view: for a UTF-16 document
// each character as its two UTF-16LE bytes, a space after every second byte ("A" gives
// "4100 "); otherwise its Shift_JIS bytes, each followed by a space ("あ" gives "82 A0 ").
QString PartialDumpHex(QStringView text, bool utf16);

}  // namespace kolbran
