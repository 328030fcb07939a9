// The code converters take any bytes; the correction keeps the length; the Shift_JIS length of
// a text is the length of its bytes.
#include "fuzz/Harness.h"

#include "core/CodePage.h"
#include "core/JapaneseCodes.h"

using namespace kolbran;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ConvertEucJp(bytes);
    ConvertIso2022Jp(bytes);
    ConvertEbcdik(bytes);
    ConvertEbcdik(bytes, EbcdikTable(DisplayCode::EbcdikBinary));
    const QByteArray corrected = CorrectSjis(bytes);
    for (int code : {0, 1, 2, 3, 9})
        ConvertWindow(code, bytes.first(std::min<qsizetype>(bytes.size(), 4096)));

    // The correction replaces bytes one for one; it never drops or adds any.
    fuzz::Check(corrected.size() == bytes.size(), "correction changes the length");
    const QString text = FromSjis(bytes);
    fuzz::Check(SjisLength(text) == ToSjis(text).size(), "Shift_JIS length differs from the bytes");
    FromUtf16Le(bytes);
    return 0;
}
