// The search matcher against a plain search: the same position for any needle and line, and
// the byte prefilter never rejects a line that holds the needle.
#include "fuzz/Harness.h"

#include "core/CodePage.h"
#include "viewer/SearchScanner.h"

using namespace kolbran;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int mode = data[0] & 1;
    const bool utf16 = data[0] & 2;
    const size_t split = 1 + data[1] % std::max<size_t>(1, std::min<size_t>(size - 1, 16));
    const QByteArray needleBytes(reinterpret_cast<const char*>(data + 1), qsizetype(std::min(split, size - 1)));
    const QByteArray lineBytes(reinterpret_cast<const char*>(data + 1 + needleBytes.size()),
                               qsizetype(size - 1 - size_t(needleBytes.size())));
    const QString needle = FromSjis(needleBytes);
    const QString line = utf16 ? FromUtf16Le(lineBytes) : FromSjis(lineBytes);
    const SearchMatcher matcher(needle, mode, utf16);
    const int found = matcher.Find(line);
    const int expected = needle.isEmpty() ? found
                                          : int(line.indexOf(needle, 0, mode ? Qt::CaseInsensitive : Qt::CaseSensitive)) + 1;
    fuzz::Check(found == expected, "matcher position differs from a plain search");
    if (found > 0 && !utf16)
        fuzz::Check(matcher.MayContain(lineBytes.constData(), lineBytes.size()), "prefilter rejects a line with the needle");
    return 0;
}
