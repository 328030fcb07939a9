#pragma once

#include "core/LineIndex.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace kolbran {

struct AppState;

// The comparison of one search: the text and the mode (0 binary, 1 text ignoring case).
// Tests a line's text and, where the document's bytes allow it, rejects lines from their
// bytes alone so that most lines are never converted.
class SearchMatcher {
public:
    SearchMatcher(const QString& needle, int compareMode, bool utf16);

    // The 1-based position of the needle in `text`, 0 when absent.
    int Find(QStringView text) const;
    // false only when the line with these bytes cannot contain the needle.
    bool MayContain(const char* bytes, qsizetype length) const;
    // The first position at or after `from` where the needle's bytes may start, or -1.
    qsizetype FindCandidate(const char* bytes, qsizetype length, qsizetype from) const;
    // true when no line of the document can contain the needle.
    bool NeverFound() const { return neverFound_; }

private:
    void BuildPrefilter(bool utf16);

    QString needle_;
    Qt::CaseSensitivity sensitivity_;
    bool neverFound_ = false;
    // A run of byte classes that every occurrence's bytes contain; empty means no filter.
    std::vector<std::array<bool, 256>> classes_;
    static constexpr int kFewMembers = 4;
    int anchor_ = 0;                // the class with the fewest members
    std::vector<int> anchorBytes_;  // its members when there are at most kFewMembers
    std::vector<int> firstBytes_;   // the members of the first and the last class
    std::vector<int> lastBytes_;
};

// Reads the document's lines in blocks for the searches: one read per block of lines
// rather than one per line. The block is dropped whenever the event loop may have run.
class LineBlockReader {
public:
    explicit LineBlockReader(AppState& state) : state_(state) {}

    // Loads the block around line `n` going forwards (n first) or backwards (n last).
    // false when the document cannot be read that way.
    bool Load(LineNumber n, bool forwards);
    // The block is given up as soon as the event loop ran since it was read.
    bool Holds(LineNumber n) const;
    // The bytes of line n (which the block holds).
    const char* LineBytes(LineNumber n) const;
    qsizetype LineSize(LineNumber n) const;
    LineNumber Last() const { return last_; }
    // The first line from n on (within the block) whose bytes may hold the needle, or
    // Last() + 1 when none does.
    LineNumber NextCandidate(LineNumber n, const SearchMatcher& matcher) const;
    void Drop()
    {
        bytes_.resize(0);  // keeps the buffer for the next block
        first_ = 1;
        last_ = 0;
    }

private:
    AppState& state_;
    QByteArray bytes_;
    LineNumber first_ = 1;
    LineNumber last_ = 0;
    unsigned long long eventRuns_ = 0;  // EventLoopRuns() when the block was read
    std::vector<FileOffset> starts_;  // line starts of first_..last_ + 1, from the block start
};

}  // namespace kolbran
