// KOLBRAN.INI: any bytes read without a crash; what is read, written and read again gives
// the same file.
#include "fuzz/Harness.h"

#include "core/Settings.h"
#include "core/ViewerSettings.h"

#include <QFile>

#include <cstdio>

using namespace kolbran;

namespace {

QByteArray ReadBack(const QString& path, int version)
{
    // The values a load starts from before the INI is read (a corrected record gives 4 digits).
    ViewerSettings s;
    s.ImageListPrintValue = 4;
    s.TabWidth = 4;
    s.PrintLineNumberWidth = 4;
    s.IniPath = path;
    ReadIniFile(s, version, false);
    return IniFileBytes(s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the stored version: the old plain list or the current form.
    const int version = data[0] & 1 ? 224 : 200;
    const QString path = fuzz::WriteScratchFile(QStringLiteral("KOLBRAN.INI"),
                                                reinterpret_cast<const char*>(data + 1), size - 1);
    const QByteArray first = ReadBack(path, version);
    fuzz::WriteScratchFile(QStringLiteral("KOLBRAN.INI"), first.constData(), size_t(first.size()));
    const QByteArray second = ReadBack(path, 224);
    if (second != first)
        std::fprintf(stderr, "first:\n%s\nsecond:\n%s\n", first.constData(), second.constData());
    fuzz::Check(second == first, "INI written and read back differs");
    return 0;
}
