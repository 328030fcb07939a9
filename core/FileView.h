#pragma once

#include <cstdint>

class QFile;

namespace kolbran {

// A read-only view of part of a file through the system's memory mapping, for scans that
// would otherwise copy every byte of a large file. A view can fail (a file that cannot be
// mapped); callers then read the file instead.
class FileView {
public:
    // Maps the `length` bytes at the 0-based `offset` of the open `file`; the view is empty
    // when the range is empty or cannot be mapped.
    FileView(QFile& file, int64_t offset, int64_t length);
    ~FileView();
    FileView(const FileView&) = delete;
    FileView& operator=(const FileView&) = delete;

    const uint8_t* Data() const { return data_; }
    int64_t Length() const { return data_ ? length_ : 0; }
    bool IsEmpty() const { return Length() == 0; }

private:
    QFile& file_;
    uint8_t* data_ = nullptr;
    int64_t length_ = 0;
};

// Runs `read(context)`, which reads the bytes [low, low + length) of a view. Another program
// may cut the file short meanwhile; reading a mapped page past the new end then faults. The
// fault is caught: the call returns false and whatever `read` produced is not to be used.
// Returns true when `read` ran to its end. `read` must not allocate or own anything that
// needs cleaning up (on a fault it is left in the middle).
bool ReadViewGuarded(const uint8_t* low, int64_t length, void (*read)(void*), void* context);

}  // namespace kolbran
