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
// Positions are 64-bit so that files of 2 GiB and more index correctly.
// Memory form: room for entries 1..1,000,001 (1,000,000 lines and their end), allocated
// once. Disk form: a temporary file of 8-byte little-endian records (record n holds entry
// n) without a line limit, deleted when the index goes back to the memory form or is
// destroyed.
class LineIndex {
public:
    static constexpr int64_t kMemoryCapacity = 1'000'001;  // entries 1..1,000,001
    static constexpr int64_t kMaxMemoryLines = kMemoryCapacity - 1;

    LineIndex();
    ~LineIndex();
    LineIndex(const LineIndex&) = delete;
    LineIndex& operator=(const LineIndex&) = delete;

    // Entry n; 0 for an entry never stored (or outside the memory form's capacity).
    FileOffset Get(int64_t n) const
    {
        if (!disk_ && n >= 1 && n <= kMemoryCapacity)
            return memory_[n];
        return GetOther(n);
    }
    // Stores entry n. In the memory form entries beyond the capacity are dropped; in the
    // disk form a failed write throws RuntimeError.
    void Set(int64_t n, FileOffset position)
    {
        if (!disk_ && n >= 1 && n <= kMemoryCapacity)
            memory_[n] = position;
        else
            SetOther(n, position);
    }

    bool UsesDisk() const { return disk_ != nullptr; }
    // true while the memory form (with its 1,000,000-line limit) is in use.
    bool HasLineLimit() const { return !UsesDisk(); }
    // Switches to the disk form, creating a new temporary index file with a unique name
    // in `folder` unless one is already in use. Throws RuntimeError when it cannot be made.
    void UseDiskForm(const QString& folder);
    // Back to the memory form; the temporary index file is closed and deleted.
    void UseMemoryForm();
    // The temporary index file; empty in the memory form.
    QString DiskFilePath() const;
    // Writes pending disk entries to the file (Get sees them either way).
    void Flush();

private:
    FileOffset GetOther(int64_t n) const;
    void SetOther(int64_t n, FileOffset position);

    struct Disk;
    struct FreeMemory {
        void operator()(FileOffset* p) const;
    };
    // Zeroed by the system page by page as it is first touched, not all at once.
    std::unique_ptr<FileOffset[], FreeMemory> memory_;
    std::unique_ptr<Disk> disk_;
};

}  // namespace kolbran
