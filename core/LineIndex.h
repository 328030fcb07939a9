#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QFile;

namespace kolbran {

// 1-based line numbers (lines from 1) and 1-based byte positions (bytes from 1).
using LineNumber = int32_t;
using FileOffset = int64_t;

// The 1-based byte position of every line start; entry LineCount + 1 is the end position.
// Memory form: room for 1,000,001 entries, 64-bit positions. Disk form: a temporary
// file of 8-byte records without a line limit.
class LineIndex {
public:
    static constexpr int64_t kMemoryCapacity = 1'000'001;  // entries 1..1,000,001

    LineIndex();
    ~LineIndex();
    LineIndex(const LineIndex&) = delete;
    LineIndex& operator=(const LineIndex&) = delete;

    FileOffset Get(int64_t n) const;
    void Set(int64_t n, FileOffset position);

private:
    std::vector<FileOffset> memory_;
};

}  // namespace kolbran
