#pragma once

// A plain restatement of the line scan's chunk rules, against which the fast scan is checked
// (by the line-index tests and the line-scan fuzz harness).
#include "core/LineIndex.h"
#include "viewer/LineLoader.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kolbran::test {

// The line starts of the scan's rules, one chunk at a time: only CR LF ends a line; a CR in
// a chunk's last byte ends the piece before it; a line longer than a chunk is cut there,
// one byte earlier when the cut would split a double-byte character.
inline std::vector<FileOffset> ReferenceLineStarts(const QByteArray& bytes)
{
    const auto u = [&](qsizetype i) { return uint8_t(bytes[i]); };
    std::vector<FileOffset> starts{1};
    qsizetype s = 0;
    while (s < bytes.size()) {
        const qsizetype c = std::min<qsizetype>(kChunkSize, bytes.size() - s);
        qsizetype next = s + c;
        for (qsizetype at = 0; at < c; ++at) {
            if (u(s + at) != 0x0D)
                continue;
            if (at == c - 1) {
                next = s + at;
                break;
            }
            if (u(s + at + 1) == 0x0A) {
                next = s + at + 2;
                break;
            }
        }
        if (next == s + c && c == kChunkSize) {
            const uint8_t last = u(s + c - 1), before = u(s + c - 2);
            const bool lead = (last >= 0x81 && last <= 0x9F) || (last >= 0xE0 && last <= 0xEA);
            if (lead && !(before >= 0x81 && before <= 0x9F))
                --next;
        }
        if (next == s)
            break;
        s = next;
        starts.push_back(FileOffset(s + 1));
    }
    return starts;
}

}  // namespace kolbran::test
