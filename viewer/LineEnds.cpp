#include "viewer/LineEnds.h"

#include "core/FileView.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(_M_X64)
#define KOLBRAN_X86_64 1
#include <immintrin.h>
#endif

#if defined(__GNUC__)
#define KOLBRAN_ALWAYS_INLINE __attribute__((always_inline)) inline
#elif defined(_MSC_VER)
#define KOLBRAN_ALWAYS_INLINE __forceinline
#else
#define KOLBRAN_ALWAYS_INLINE inline
#endif

namespace kolbran {

namespace {

constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;
// Reading this far ahead keeps the memory busy while the bytes at hand are compared; a
// mapped file is otherwise read at the speed of single cache-line misses.
constexpr int64_t kPrefetchDistance = 4096;

inline void Prefetch(const uint8_t* p)
{
#if defined(__GNUC__)
    __builtin_prefetch(p);
#elif defined(KOLBRAN_X86_64)
    _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0);
#else
    (void)p;
#endif
}

// The pairs of the bytes from `w` on, one at a time: the tail after the wide loop.
int64_t FindPairsBytewise(const uint8_t* data, int64_t w, int64_t length, uint32_t* out, int64_t n)
{
    for (; w + 1 < length; ++w)
        if (data[w] == kCr && data[w + 1] == kLf)
            out[n++] = uint32_t(w);
    return n;
}

// The CRs of each 64 bytes as a bit mask; each CR is then checked for its LF. 65 bytes
// are in reach for every window, so the LF of the last CR is too. A macro rather than a
// template, so that each instruction-set variant gets the mask computed inside its loop.
#define KOLBRAN_FIND_PAIRS_WIDE(CrMask, data, length, out)                                         \
    int64_t n = 0;                                                                                 \
    int64_t w = 0;                                                                                 \
    for (; w + 65 <= length; w += 64) {                                                            \
        Prefetch(data + w + kPrefetchDistance);                                                    \
        uint64_t m = CrMask(data + w);                                                             \
        while (m) {                                                                                \
            const int64_t at = w + std::countr_zero(m);                                            \
            m &= m - 1;                                                                            \
            out[n] = uint32_t(at);                                                                 \
            n += data[at + 1] == kLf;                                                              \
        }                                                                                          \
    }                                                                                              \
    return FindPairsBytewise(data, w, length, out, n)

#ifdef KOLBRAN_X86_64

KOLBRAN_ALWAYS_INLINE uint64_t CrMaskSse2(const uint8_t* p)
{
    const __m128i cr = _mm_set1_epi8(char(kCr));
    const auto part = [&](int k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        return uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))) << (16 * k);
    };
    return part(0) | part(1) | part(2) | part(3);
}

int64_t FindPairsSse2(const uint8_t* data, int64_t length, uint32_t* out)
{
    KOLBRAN_FIND_PAIRS_WIDE(CrMaskSse2, data, length, out);
}

#if defined(__GNUC__)
#define KOLBRAN_AVX2 1

__attribute__((target("avx2"))) KOLBRAN_ALWAYS_INLINE uint64_t CrMaskAvx2(const uint8_t* p)
{
    const __m256i cr = _mm256_set1_epi8(char(kCr));
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    return uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, cr)))) |
           uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, cr)))) << 32;
}

__attribute__((target("avx2"))) int64_t FindPairsAvx2(const uint8_t* data, int64_t length,
                                                      uint32_t* out)
{
    KOLBRAN_FIND_PAIRS_WIDE(CrMaskAvx2, data, length, out);
}
#endif

#else

int64_t FindPairsMemchr(const uint8_t* data, int64_t length, uint32_t* out)
{
    int64_t n = 0;
    const uint8_t* q = data;
    const uint8_t* const last = data + length - 1;  // a CR here has no room for its LF
    while (q < last && (q = static_cast<const uint8_t*>(std::memchr(q, kCr, size_t(last - q))))) {
        if (q[1] == kLf)
            out[n++] = uint32_t(q - data);
        ++q;
    }
    return n;
}

#endif

using FindPairsFunction = int64_t (*)(const uint8_t*, int64_t, uint32_t*);

FindPairsFunction ChooseFindPairs()
{
#if defined(KOLBRAN_AVX2)
    if (__builtin_cpu_supports("avx2"))
        return FindPairsAvx2;
#endif
#if defined(KOLBRAN_X86_64)
    return FindPairsSse2;
#else
    return FindPairsMemchr;
#endif
}

const FindPairsFunction kFindPairs = ChooseFindPairs();

struct BlockRead {
    const uint8_t* data;
    int64_t length;
    uint32_t* out;
    int64_t count;
};

void ReadBlock(void* context)
{
    auto* r = static_cast<BlockRead*>(context);
    r->count = kFindPairs(r->data, r->length, r->out);
}

}  // namespace

int64_t FindCrLfPairs(const uint8_t* data, int64_t length, uint32_t* out)
{
    return kFindPairs(data, length, out);
}

CrLfPairs::CrLfPairs(const QFile& file, int64_t from) : file_(file.fileName()), nextStart_(from)
{
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        done_ = true;
        return;
    }
    fileLength_ = file_.size();
}

CrLfPairs::~CrLfPairs() = default;

bool CrLfPairs::NextBlock()
{
    count_ = 0;
    cursor_ = 0;
    if (done_ || nextStart_ >= fileLength_ - 1) {
        done_ = true;
        return false;
    }
    // One byte more than the block, so that the LF of a CR in its last byte is seen.
    const int64_t start = nextStart_;
    const int64_t length = std::min(kBlock + 1, fileLength_ - start);
    const FileView view(file_, start, length);
    if (view.IsEmpty()) {
        done_ = true;
        return false;
    }
    if (!pairs_)
        pairs_ = std::make_unique_for_overwrite<uint32_t[]>(size_t(kBlock / 2 + 1));
    BlockRead read{view.Data(), view.Length(), pairs_.get(), 0};
    if (!ReadViewGuarded(view.Data(), view.Length(), ReadBlock, &read)) {
        // The file was cut short: nothing more is told; the scan reads what is left.
        done_ = true;
        return false;
    }
    blockStart_ = start;
    count_ = read.count;
    nextStart_ = start + std::min(kBlock, length);
    return true;
}

}  // namespace kolbran
