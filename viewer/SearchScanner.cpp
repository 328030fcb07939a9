#include "viewer/SearchScanner.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "viewer/LineLoader.h"

#include <algorithm>
#ifdef __SSE2__
#include <immintrin.h>
#endif
#include <bit>
#include <cstring>
#include <mutex>

namespace kolbran {

namespace {

// Lines are read in blocks of about this many bytes (a single longer line is read whole).
constexpr qsizetype kBlockBytes = 256 * 1024;

// One character of the system code page and the bytes that encode it.
struct SjisEntry {
    char16_t unit;
    uint8_t length;
    uint8_t bytes[2];
};

// Every one- and two-byte sequence that the converter turns into exactly one character.
// Characters arise from one such sequence each, whatever surrounds it, so a line whose
// text holds a character holds one of its sequences.
const std::vector<SjisEntry>& SjisTable()
{
    static std::vector<SjisEntry> table;
    static std::once_flag once;
    std::call_once(once, [] {
        auto add = [](const char* b, int n) {
            const QString s = FromSjis(QByteArrayView(b, n));
            if (s.size() == 1)
                table.push_back(
                    {s[0].unicode(), uint8_t(n), {uint8_t(b[0]), uint8_t(n > 1 ? b[1] : 0)}});
        };
        for (int b = 0; b < 256; ++b) {
            const char one[1] = {char(b)};
            add(one, 1);
            if (IsSjisLeadByte(uint8_t(b)))
                for (int t = 0; t < 256; ++t) {
                    const char two[2] = {char(b), char(t)};
                    add(two, 2);
                }
        }
    });
    return table;
}

bool SameChar(char16_t a, char16_t b, Qt::CaseSensitivity cs)
{
    if (a == b)
        return true;
    return cs == Qt::CaseInsensitive && QChar(a).toCaseFolded() == QChar(b).toCaseFolded();
}

// Characters that the converter also produces for damaged bytes in any context.
bool ContextDependent(char16_t c)
{
    return c == 0xFFFD || c == 0x001A || QChar::isSurrogate(c);
}

#ifdef __SSE2__
// The starts from `s` on, a vector of them at a time, whose first byte is one of `first`
// and whose byte k − 1 further is one of `last`, tested with `matches`. Returns the first
// match, or -2 with `s` at the starts left for a byte-by-byte look.
template <class Matches>
qsizetype FirstLastSse2(const unsigned char* p, qsizetype& s, qsizetype length, qsizetype k,
                        const std::vector<int>& first, const std::vector<int>& last,
                        Matches& matches)
{
    for (; s + 16 + (k - 1) <= length; s += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + s));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + s + k - 1));
        __m128i ma = _mm_setzero_si128(), mb = _mm_setzero_si128();
        for (int c : first)
            ma = _mm_or_si128(ma, _mm_cmpeq_epi8(a, _mm_set1_epi8(char(c))));
        for (int c : last)
            mb = _mm_or_si128(mb, _mm_cmpeq_epi8(b, _mm_set1_epi8(char(c))));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(ma, mb)));
        while (mask) {
            const qsizetype start = s + std::countr_zero(mask);
            if (matches(start))
                return start;
            mask &= mask - 1;
        }
    }
    return -2;
}

#if defined(__GNUC__) && defined(__x86_64__)
#define KOLBRAN_SEARCH_AVX2 1
const bool kHasAvx2 = __builtin_cpu_supports("avx2");

template <class Matches>
__attribute__((target("avx2"))) qsizetype
FirstLastAvx2(const unsigned char* p, qsizetype& s, qsizetype length, qsizetype k,
              const std::vector<int>& first, const std::vector<int>& last, Matches& matches)
{
    for (; s + 32 + (k - 1) <= length; s += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + s));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + s + k - 1));
        __m256i ma = _mm256_setzero_si256(), mb = _mm256_setzero_si256();
        for (int c : first)
            ma = _mm256_or_si256(ma, _mm256_cmpeq_epi8(a, _mm256_set1_epi8(char(c))));
        for (int c : last)
            mb = _mm256_or_si256(mb, _mm256_cmpeq_epi8(b, _mm256_set1_epi8(char(c))));
        uint32_t mask = uint32_t(_mm256_movemask_epi8(_mm256_and_si256(ma, mb)));
        while (mask) {
            const qsizetype start = s + std::countr_zero(mask);
            if (matches(start))
                return start;
            mask &= mask - 1;
        }
    }
    return FirstLastSse2(p, s, length, k, first, last, matches);
}
#endif
#endif

}  // namespace

SearchMatcher::SearchMatcher(const QString& needle, int compareMode, bool utf16)
    : needle_(needle), sensitivity_(compareMode == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive)
{
    if (!needle_.isEmpty())
        BuildPrefilter(utf16);
}

int SearchMatcher::Find(QStringView text) const
{
    return int(text.indexOf(needle_, 0, sensitivity_)) + 1;
}

void SearchMatcher::BuildPrefilter(bool utf16)
{
    // For each character: its byte classes (one per byte), or none when unusable.
    std::vector<std::vector<std::array<bool, 256>>> perChar;
    for (QChar qc : needle_) {
        const char16_t c = qc.unicode();
        std::vector<std::array<bool, 256>> classes;
        if (ContextDependent(c)) {
            perChar.push_back({});
            continue;
        }
        if (utf16) {
            classes.assign(2, {});
            for (int d = 0; d < 0x10000; ++d)
                if (!QChar::isSurrogate(char16_t(d)) && SameChar(char16_t(d), c, sensitivity_)) {
                    classes[0][d & 0xFF] = true;
                    classes[1][d >> 8] = true;
                }
        } else {
            int length = 0;
            bool mixed = false;
            for (const SjisEntry& e : SjisTable()) {
                if (!SameChar(e.unit, c, sensitivity_))
                    continue;
                if (length == 0) {
                    length = e.length;
                    classes.assign(size_t(length), {});
                } else if (length != e.length) {
                    mixed = true;
                    break;
                }
                for (int i = 0; i < length; ++i)
                    classes[size_t(i)][e.bytes[i]] = true;
            }
            if (length == 0) {
                // Not a character of the code page: no line's text can hold it.
                neverFound_ = true;
                return;
            }
            if (mixed)
                classes.clear();
        }
        perChar.push_back(std::move(classes));
    }
    // The longest run of usable characters gives the byte pattern.
    size_t bestStart = 0, bestBytes = 0;
    for (size_t i = 0; i < perChar.size();) {
        if (perChar[i].empty()) {
            ++i;
            continue;
        }
        size_t j = i, bytes = 0;
        while (j < perChar.size() && !perChar[j].empty())
            bytes += perChar[j++].size();
        if (bytes > bestBytes) {
            bestBytes = bytes;
            bestStart = i;
        }
        i = j;
    }
    for (size_t i = bestStart; bestBytes > 0 && i < perChar.size() && !perChar[i].empty(); ++i)
        for (auto& cls : perChar[i])
            classes_.push_back(cls);
    if (classes_.empty())
        return;
    int fewest = 257;
    for (size_t k = 0; k < classes_.size(); ++k) {
        const int members = int(std::count(classes_[k].begin(), classes_[k].end(), true));
        if (members < fewest) {
            fewest = members;
            anchor_ = int(k);
        }
    }
    auto members = [&](size_t k) {
        std::vector<int> bytes;
        for (int b = 0; b < 256; ++b)
            if (classes_[k][size_t(b)])
                bytes.push_back(b);
        return bytes;
    };
    if (fewest <= kFewMembers)
        anchorBytes_ = members(size_t(anchor_));
    firstBytes_ = members(0);
    lastBytes_ = members(classes_.size() - 1);
}

bool SearchMatcher::MayContain(const char* bytes, qsizetype length) const
{
    return FindCandidate(bytes, length, 0) >= 0;
}

qsizetype SearchMatcher::FindCandidate(const char* bytes, qsizetype length, qsizetype from) const
{
    if (neverFound_)
        return -1;
    const qsizetype k = qsizetype(classes_.size());
    if (k == 0)
        return from <= length ? from : -1;
    if (length - from < k)
        return -1;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    auto matches = [&](qsizetype s) {
        qsizetype j = 0;
        while (j < k && classes_[size_t(j)][p[s + j]])
            ++j;
        return j == k;
    };
#ifdef __SSE2__
    // Many starts at a time: the first and the last byte of the pattern must both fit.
    if (firstBytes_.size() <= size_t(kFewMembers) && lastBytes_.size() <= size_t(kFewMembers)) {
        qsizetype s = from;
        const qsizetype found =
#ifdef KOLBRAN_SEARCH_AVX2
            kHasAvx2 ? FirstLastAvx2(p, s, length, k, firstBytes_, lastBytes_, matches) :
#endif
                     FirstLastSse2(p, s, length, k, firstBytes_, lastBytes_, matches);
        if (found != -2)
            return found;
        for (; s + k <= length; ++s)
            if (matches(s))
                return s;
        return -1;
    }
#endif
    const std::array<bool, 256>& anchor = classes_[size_t(anchor_)];
    // Anchor positions run from from + anchor_ to length − k + anchor_.
    qsizetype i = from + anchor_;
    const qsizetype end = length - k + anchor_ + 1;
    // The next position of each anchor byte, looked up with memchr when they are few.
    std::array<qsizetype, kFewMembers> next;
    next.fill(-2);
    while (i < end) {
        if (!anchorBytes_.empty()) {
            qsizetype best = -1;
            for (size_t m = 0; m < anchorBytes_.size(); ++m) {
                if (next[m] != -1 && next[m] < i) {
                    const void* hit = std::memchr(p + i, anchorBytes_[m], size_t(end - i));
                    next[m] = hit ? static_cast<const unsigned char*>(hit) - p : -1;
                }
                if (next[m] >= 0 && (best < 0 || next[m] < best))
                    best = next[m];
            }
            if (best < 0)
                return -1;
            i = best;
        } else {
            while (i < end && !anchor[p[i]])
                ++i;
            if (i >= end)
                return -1;
        }
        if (matches(i - anchor_))
            return i - anchor_;
        ++i;
    }
    return -1;
}

bool LineBlockReader::Load(LineNumber n, bool forwards)
{
    Drop();
    OpenDocument& doc = state_.doc;
    // Other display codes convert a window that reaches past the line: read line by line.
    if (!doc.HasFile() || doc.LineInputMode || (doc.DisplayCode != 0 && !doc.IsUtf16) || n < 1 ||
        n > doc.LineCount)
        return false;
    const LineNumber count = doc.LineCount;
    auto start = [&](LineNumber line) { return GetLineStart(state_, line); };
    LineNumber first = n, last = n;
    if (forwards) {
        const FileOffset base = start(n);
        while (last < count && start(last + 2) - base <= kBlockBytes)
            ++last;
    } else {
        const FileOffset end = start(n + 1);
        while (first > 1 && end - start(first - 1) <= kBlockBytes)
            --first;
    }
    const FileOffset base = start(first);
    const FileOffset size = start(last + 1) - base;
    if (size < 0 || base < 1)
        return false;
    // The buffer is kept from block to block: a fresh one of this size would be new
    // memory, cleared page by page, each time.
    bytes_.resize(qsizetype(size));
    bytes_.resize(qsizetype(ReadDocumentInto(state_, base, bytes_.data(), size)));
    first_ = first;
    last_ = last;
    eventRuns_ = EventLoopRuns();
    starts_.resize(size_t(last - first + 2));
    for (LineNumber line = first; line <= last + 1; ++line)
        starts_[size_t(line - first)] = start(line) - base;
    return true;
}

bool LineBlockReader::Holds(LineNumber n) const
{
    return n >= first_ && n <= last_ && eventRuns_ == EventLoopRuns();
}

const char* LineBlockReader::LineBytes(LineNumber n) const
{
    const qsizetype offset = std::min<qsizetype>(starts_[size_t(n - first_)], bytes_.size());
    return bytes_.constData() + offset;
}

qsizetype LineBlockReader::LineSize(LineNumber n) const
{
    const qsizetype available = bytes_.size();
    const qsizetype from = std::min<qsizetype>(starts_[size_t(n - first_)], available);
    const qsizetype to = std::min<qsizetype>(starts_[size_t(n - first_ + 1)], available);
    return std::max<qsizetype>(0, to - from);
}

LineNumber LineBlockReader::NextCandidate(LineNumber n, const SearchMatcher& matcher) const
{
    const qsizetype available = bytes_.size();
    qsizetype from = std::min<qsizetype>(starts_[size_t(n - first_)], available);
    const qsizetype position = matcher.FindCandidate(bytes_.constData(), available, from);
    if (position < 0)
        return last_ + 1;
    // The line that holds the candidate's first byte.
    const auto it =
        std::upper_bound(starts_.begin() + (n - first_), starts_.end() - 1, FileOffset(position));
    return first_ + LineNumber(it - starts_.begin()) - 1;
}

}  // namespace kolbran
