// The command-line path split takes any argument.
#include "fuzz/Harness.h"

#include "core/Startup.h"

using namespace kolbran;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString argument = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const CommandPathParts parts = ParseCommandPath(argument);
    fuzz::Check(parts.fileName.size() <= argument.size(), "file name longer than the argument");
    return 0;
}
