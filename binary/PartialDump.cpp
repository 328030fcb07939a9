#include "binary/PartialDump.h"

#include "binary/DumpFormat.h"
#include "core/CodePage.h"

namespace kolbran {

QString PartialDumpHex(QStringView text, bool utf16)
{
    const QByteArray bytes = utf16 ? ToUtf16Le(text) : ToSjis(text);
    QString hex;
    hex.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        hex += HexByte(uchar(bytes[i]));
        if (!utf16 || i % 2 == 1)
            hex += u' ';
    }
    return hex;
}

}  // namespace kolbran
