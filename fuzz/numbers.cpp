// The number readers: Val with &H/&O and exponents, IsNumeric, and the checked integer
// conversions (overflow is error 6, never undefined behaviour).
#include "fuzz/Harness.h"

#include "core/Numbers.h"
#include "core/RuntimeError.h"

#include <cmath>

using namespace kolbran;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double v = Val(text);
    const bool numeric = IsNumeric(text);
    if (numeric && !text.contains(u'&'))
        fuzz::Check(std::isfinite(v) || std::isinf(v), "a number reads as NaN");
    for (double x : {v, v * 1e10, -v})
        try {
            ToInt16(x);
            ToInt32(x);
            CheckInt16(x);
            CheckInt32(x);
        } catch (const RuntimeError&) {
        }
    StrNumber(v);
    RoundHalfEven(std::isfinite(v) && std::fabs(v) < 9e18 ? v : 0);
    FormatPercent(std::isfinite(v) ? v : 0);
    return 0;
}
