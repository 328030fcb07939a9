#include "core/LineIndex.h"

namespace kolbran {

LineIndex::LineIndex() : memory_(size_t(kMemoryCapacity + 1), 0) {}
LineIndex::~LineIndex() = default;

FileOffset LineIndex::Get(int64_t n) const
{
    if (n < 0 || n > kMemoryCapacity)
        return 0;
    return memory_[size_t(n)];
}

void LineIndex::Set(int64_t n, FileOffset position)
{
    if (n >= 0 && n <= kMemoryCapacity)
        memory_[size_t(n)] = position;
}

}  // namespace kolbran
