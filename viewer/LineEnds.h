#pragma once

#include <QFile>

#include <cstdint>
#include <memory>

namespace kolbran {

// The offsets (from `data`) of every CR immediately followed by LF, both inside
// [data, data + length), in order, written to `out`, which has room for length / 2 + 1
// entries. Returns the count. length < 2^32.
int64_t FindCrLfPairs(const uint8_t* data, int64_t length, uint32_t* out);

// The CR LF pairs of a file in file order, found through memory-mapped views a block at a
// time: the fast way for the line scan to find line ends. Only a speed-up: the scan keeps
// its byte-by-byte rules for everything this cannot answer.
class CrLfPairs {
public:
    // Pairs from the 0-based position `from` on, in the file open as `file` (a handle of
    // its own is used, so the scan's file stays free for other reads).
    CrLfPairs(const QFile& file, int64_t from);
    ~CrLfPairs();
    CrLfPairs(const CrLfPairs&) = delete;
    CrLfPairs& operator=(const CrLfPairs&) = delete;

    // The 0-based position of the first pair's CR at or after `position` (positions only
    // grow from call to call), or -1 when there is none or it cannot be told (the file
    // cannot be mapped, or was cut short while it was scanned).
    int64_t Next(int64_t position)
    {
        for (;;) {
            while (cursor_ < count_) {
                const int64_t cr = blockStart_ + pairs_[cursor_];
                if (cr >= position)
                    return cr;
                ++cursor_;
            }
            if (!NextBlock())
                return -1;
        }
    }

    // Follows lines from the 0-based line start `start` while the CR of each line's end lies
    // at most `maxDistance` bytes after the line's start, for at most `room` lines, calling
    // store(next line start) for each. Returns the start reached. The batch form of Next for
    // the scan's common case, kept free of per-line reloads.
    template <class Store>
    int64_t FollowNearLineEnds(int64_t start, int64_t maxDistance, int64_t room, Store&& store)
    {
        while (room > 0) {
            if (cursor_ >= count_ && !NextBlock())
                break;
            const uint32_t* const first = pairs_.get();
            const uint32_t* p = first + cursor_;
            const uint32_t* const end = first + count_;
            const int64_t base = blockStart_;
            for (; p < end && room > 0; ++p) {
                const int64_t cr = base + *p;
                if (cr < start)
                    continue;
                if (cr - start > maxDistance) {
                    cursor_ = p - first;
                    return start;
                }
                start = cr + 2;
                store(start);
                --room;
            }
            cursor_ = p - first;
        }
        return start;
    }

    // The bytes searched through one mapped view.
    static constexpr int64_t kBlock = 4 * 1024 * 1024;

private:
    bool NextBlock();

    QFile file_;
    int64_t fileLength_ = 0;
    int64_t nextStart_ = 0;  // the next block's start
    bool done_ = false;
    std::unique_ptr<uint32_t[]> pairs_;
    int64_t count_ = 0;
    int64_t cursor_ = 0;
    int64_t blockStart_ = 0;
};

}  // namespace kolbran
