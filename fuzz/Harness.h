#pragma once

// Shared by every harness: the libFuzzer entry point, a check that stops the run with a
// message (a property that does not hold is a finding like a crash), and a scratch folder.
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace kolbran::fuzz {

[[noreturn]] void Fail(const char* what);
inline void Check(bool condition, const char* what)
{
    if (!condition)
        Fail(what);
}

// A folder that lives as long as the process.
QString ScratchFolder();
// Writes `bytes` to `name` in the scratch folder and returns its path.
QString WriteScratchFile(const QString& name, const char* bytes, size_t size);
// Makes a QGuiApplication (offscreen unless QT_QPA_PLATFORM says otherwise) when none exists:
// painting text needs the font database.
void EnsureGuiApplication();

}  // namespace kolbran::fuzz
