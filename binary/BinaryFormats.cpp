#include "binary/BinaryFormats.h"

#include "core/FileFacade.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "core/ViewerSettings.h"

#include <algorithm>

namespace kolbran {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The alphabet character for count n (1..90).
char MarkerChar(int n)
{
    return char(kRepeatCountAlphabet[n - 1].unicode());
}

struct RepeatTable {
    std::array<signed char, 128> count{};
    RepeatTable()
    {
        count.fill(1);
        for (int k = 0; k < kRepeatCountAlphabet.size(); ++k)
            count[kRepeatCountAlphabet[k].unicode() & 0x7F] = static_cast<signed char>(k + 1);
    }
};
const RepeatTable& Repeats()
{
    static const RepeatTable table;
    return table;
}

int HexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// The value of a pair read as hexadecimal: its leading digits, 0 when there are none.
unsigned char PairValue(char16_t a, char16_t b, bool hasB)
{
    const int hi = HexValue(a);
    if (hi < 0)
        return 0;
    const int lo = hasB ? HexValue(b) : -1;
    return static_cast<unsigned char>(lo < 0 ? hi : hi * 16 + lo);
}

template <typename Char>
void RestoreWalk(const Char* s, qsizetype n, bool extended, QByteArray& out)
{
    for (qsizetype i = 0; i < n; i += 2) {
        const char16_t a = char16_t(static_cast<std::make_unsigned_t<Char>>(s[i]));
        const bool hasB = i + 1 < n;
        const char16_t b = hasB ? char16_t(static_cast<std::make_unsigned_t<Char>>(s[i + 1])) : 0;
        if (a == u'\r' && b == u'\n' && hasB)
            return;
        if (extended && a == u'-') {
            if (i == 0)
                throw RuntimeError(Err::InvalidArgument, QStringLiteral("RestoreLine"));
            // The repeated literal is the two characters just before the marker.
            const auto pa = char16_t(static_cast<std::make_unsigned_t<Char>>(s[i - 2]));
            const auto pb = char16_t(static_cast<std::make_unsigned_t<Char>>(s[i - 1]));
            const unsigned char value = PairValue(pa, pb, true);
            const int count = hasB ? RepeatCount(b) : 1;
            out.append(count, char(value));
            continue;
        }
        out += char(PairValue(a, b, hasB));
    }
}

}  // namespace

void AppendBinaryDisplayRecord(QByteArray& out, QByteArrayView record)
{
    const auto* p = reinterpret_cast<const unsigned char*>(record.data());
    const qsizetype n = record.size();
    const qsizetype lines = (n + kBinaryDisplayLineBytes - 1) / kBinaryDisplayLineBytes;
    const qsizetype start = out.size();
    out.resize(start + 2 * n + 2 * lines);
    char* w = out.data() + start;
    for (qsizetype i = 0; i < n; ++i) {
        *w++ = kHexDigits[p[i] >> 4];
        *w++ = kHexDigits[p[i] & 0xF];
        if (i % kBinaryDisplayLineBytes == kBinaryDisplayLineBytes - 1 || i == n - 1) {
            *w++ = '\r';
            *w++ = '\n';
        }
    }
}

int ValidExtendedLineLength(int value)
{
    switch (value) {
    case 100: case 110: case 120: case 130: case 140: return value;
    default: return 100;
    }
}

int ExtendedLineLengthIndex(int value)
{
    const qint64 index = RoundHalfEven((value - 100) / 10.0);
    return index < 0 || index > 4 ? 0 : int(index);
}

void ExtendedWriter::Token(char a, char b, QByteArray& out)
{
    out += a;
    out += b;
    column_ += 2;
    if (column_ > lineLength_ - 2) {
        out += "\r\n";
        column_ = 0;
        previous_ = -1;  // a line break ends the run: the next byte is a literal
    }
}

void ExtendedWriter::Append(QByteArrayView bytes, QByteArray& out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int b = p[i];
        if (b == previous_) {
            if (pending_ < kMaxRepeatCount) {
                ++pending_;
                continue;
            }
            Token('-', MarkerChar(pending_), out);
            pending_ = 0;
        } else if (pending_ > 0) {
            Token('-', MarkerChar(pending_), out);
            pending_ = 0;
        }
        previous_ = b;
        Token(kHexDigits[b >> 4], kHexDigits[b & 0xF], out);
    }
}

void ExtendedWriter::Finish(QByteArray& out)
{
    if (pending_ > 0)
        Token('-', MarkerChar(pending_), out);
    pending_ = 0;
}

int RepeatCount(char16_t c)
{
    return c < 128 ? Repeats().count[c] : 1;
}

void RestoreLine(QStringView line, bool extended, QByteArray& out)
{
    RestoreWalk(reinterpret_cast<const char16_t*>(line.utf16()), line.size(), extended, out);
}

void RestoreAsciiLine(QByteArrayView line, bool extended, QByteArray& out)
{
    RestoreWalk(line.data(), line.size(), extended, out);
}

QString DefaultOutputName(const QString& sourcePath, const QString& extensionWithDot)
{
    // The first dot of the file's name: a dotted folder name must not cut the path.
    const qsizetype slash = std::max(sourcePath.lastIndexOf(u'/'), sourcePath.lastIndexOf(u'\\'));
    return sourcePath.left(slash + 1) + ReplaceFromFirstDot(sourcePath.mid(slash + 1), extensionWithDot);
}

}  // namespace kolbran
