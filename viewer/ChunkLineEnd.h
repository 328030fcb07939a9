#pragma once

#include <cstdint>

namespace kolbran {

// Where the line starting at a chunk ends, by the index's chunk rules.
struct ChunkEnd {
    int64_t length;  // bytes up to the next line's start
    int terminator;  // the line end's bytes: 2 (UTF-16: 4), 0 when the line is cut
    bool splitBack;  // the cut moves back one byte to keep a double-byte character whole
};

// The line end within the chunk of `c` bytes at `p` (at most 4,096): CR LF (UTF-16:
// CR 00 LF 00). A CR that leaves no room for the rest of the sequence in the chunk ends the
// search there without a line end. A line longer than a chunk is cut at its end, never
// inside a double-byte character. The next line starts at length (length − 1 with splitBack).
ChunkEnd ChunkLineEnd(const uint8_t* p, int64_t c, bool utf16);

}  // namespace kolbran
