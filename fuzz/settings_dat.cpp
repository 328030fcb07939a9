// KOLBRAN.DAT: any bytes decode; the record written back and read again is the same record;
// a damaged file in the settings folder loads without a crash.
#include "fuzz/Harness.h"

#include "core/Settings.h"
#include "core/ViewerSettings.h"

using namespace kolbran;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ViewerSettings first;
    DecodeSettingsRecord(bytes, first);
    ApplyLoadCorrections(first);
    const QByteArray written = EncodeSettingsRecord(first);
    ViewerSettings second;
    DecodeSettingsRecord(written, second);
    fuzz::Check(EncodeSettingsRecord(second) == written, "record read back differs");

    fuzz::WriteScratchFile(QStringLiteral("KOLBRAN.DAT"), reinterpret_cast<const char*>(data), size);
    ViewerSettings loaded;
    LoadSettingsWithoutWriting(loaded, fuzz::ScratchFolder());
    return 0;
}
