#include "binary/DumpFormat.h"

#include "core/CodePage.h"
#include "core/Numbers.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace kolbran {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsDumpLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA) || b == 0xFA || b == 0xFB;
}
bool IsShownSingle(unsigned char b)
{
    return (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF);
}

// What the system code page writes for a character column that it decoded: a decoded
// single byte or double-byte pair encoded back. Computed once through the code page, so
// that the dump file holds exactly the text the view shows, without converting every line.
struct PairBytes {
    unsigned char size = 0;
    char bytes[7] = {};
};

struct RoundTrip {
    std::array<char, 256> single{};
    std::vector<PairBytes> pairs;  // index (lead << 8) | trail, filled for dump lead bytes

    RoundTrip() : pairs(65536)
    {
        for (int b = 0; b < 256; ++b) {
            if (!IsShownSingle(uchar(b))) {
                single[b] = '.';
                continue;
            }
            const char c = char(b);
            const QByteArray back = ToSjis(FromSjis(QByteArrayView(&c, 1)));
            single[b] = back.size() == 1 ? back[0] : '?';
        }
        for (int lead = 0x81; lead <= 0xFB; ++lead) {
            if (!IsDumpLeadByte(uchar(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char pair[2] = {char(lead), char(trail)};
                const QByteArray back = ToSjis(FromSjis(QByteArrayView(pair, 2)));
                PairBytes& entry = pairs[(lead << 8) | trail];
                entry.size = static_cast<unsigned char>(std::min<qsizetype>(back.size(), 7));
                std::memcpy(entry.bytes, back.constData(), entry.size);
            }
        }
    }
};

const RoundTrip& SjisRoundTrip()
{
    static const RoundTrip table;
    return table;
}

// The Shift_JIS walk of the character column: shown bytes, "." for the rest, double-byte
// characters kept whole unless the lead byte ends the line. `roundTrip` writes each shown
// character as the code page would after decoding it.
void AppendShiftJisColumn(QByteArray& out, const unsigned char* p, qsizetype n, bool roundTrip)
{
    const RoundTrip* rt = roundTrip ? &SjisRoundTrip() : nullptr;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (IsShownSingle(b)) {
            out += rt ? rt->single[b] : char(b);
        } else if (i + 1 < n && IsDumpLeadByte(b) && p[i + 1] >= 0x40 && p[i + 1] <= 0xFC) {
            if (rt) {
                const PairBytes& pair = rt->pairs[(b << 8) | p[i + 1]];
                out.append(pair.bytes, pair.size);
            } else {
                out += char(b);
                out += char(p[i + 1]);
            }
            ++i;
        } else {
            out += '.';
        }
    }
}

QByteArray Utf16ColumnBytes(QByteArrayView record, qsizetype first, qsizetype last)
{
    QByteArray bytes = record.sliced(first, last - first + 1).toByteArray();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == 0x0D || c == 0x0A || (c == 0 && (first + i) % 2 == 0))
            bytes[i] = 0x2E;
    }
    return bytes;
}

void AppendEbcdikColumn(QByteArray& out, const unsigned char* p, qsizetype n,
                        const DumpLayout& layout)
{
    for (qsizetype i = 0; i < n; ++i)
        out += layout.ebcdikTable ? char(layout.ebcdikTable[p[i]]) : '.';
}

// Offset and hexadecimal field of one line, padded on the file's last line so that the
// character column starts where it does on full lines.
void AppendLineHead(QByteArray& out, int64_t offset, const unsigned char* p, qsizetype count,
                    bool fileEndsHere, const DumpLayout& layout)
{
    char head[24];
    int digits = 8;
    while (digits < 16 && (uint64_t(offset) >> (4 * digits)) != 0)
        ++digits;
    for (int d = 0; d < digits; ++d)
        head[d] = kHexDigits[(uint64_t(offset) >> (4 * (digits - 1 - d))) & 0xF];
    head[digits] = ' ';
    out.append(head, digits + 1);

    const qsizetype width = 9 * layout.GroupsPerLine() + layout.bytesPerLine / 16;
    const qsizetype start = out.size();
    char* w = nullptr;
    out.resize(start + width);
    w = out.data() + start;
    for (qsizetype j = 0; j < count; ++j) {
        *w++ = kHexDigits[p[j] >> 4];
        *w++ = kHexDigits[p[j] & 0xF];
        if (fileEndsHere && j == count - 1)
            break;
        if (j % 4 == 3)
            *w++ = ' ';
        if (j % 16 == 15)
            *w++ = ' ';
    }
    std::fill(w, out.data() + start + width, ' ');
}

// The record's lines; the character column in `code` bytes (Shift_JIS or the modified
// UTF-16 bytes are handled by the callers).
template <typename ColumnFn>
void ForEachLine(QByteArrayView record, bool lastRecord, const DumpLayout& layout,
                 ColumnFn&& column)
{
    const qsizetype n = record.size();
    const qsizetype L = layout.bytesPerLine == 32 ? 32 : 16;
    for (qsizetype s = 0; s < n; s += L) {
        const qsizetype count = std::min(L, n - s);
        const bool fileEndsHere = lastRecord && s + count == n;
        column(s, count, fileEndsHere);
    }
}

}  // namespace

QString HexByte(unsigned char byte)
{
    const char digits[2] = {kHexDigits[byte >> 4], kHexDigits[byte & 0xF]};
    return QString::fromLatin1(digits, 2);
}

QString DumpCharColumn(QByteArrayView record, qsizetype first, qsizetype last,
                       const DumpLayout& layout)
{
    if (last < first)
        return {};
    const auto* p = reinterpret_cast<const unsigned char*>(record.data()) + first;
    const qsizetype n = last - first + 1;
    QByteArray bytes;
    switch (layout.code) {
    case DumpCharCode::Utf16:
        return FromUtf16Le(Utf16ColumnBytes(record, first, last));
    case DumpCharCode::Ebcdik:
        AppendEbcdikColumn(bytes, p, n, layout);
        return FromSjis(bytes);
    case DumpCharCode::ShiftJis:
        break;
    }
    AppendShiftJisColumn(bytes, p, n, false);
    return FromSjis(bytes);
}

QString DumpRecordText(QByteArrayView record, int64_t recordNumber, bool lastRecord,
                       const DumpLayout& layout)
{
    const auto* p = reinterpret_cast<const unsigned char*>(record.data());
    const int64_t base = int64_t(kDumpRecordSize) * (recordNumber - 1);
    if (layout.code == DumpCharCode::Utf16) {
        QString text;
        ForEachLine(record, lastRecord, layout, [&](qsizetype s, qsizetype count, bool end) {
            QByteArray head;
            AppendLineHead(head, base + s, p + s, count, end, layout);
            text += QString::fromLatin1(head);
            text += FromUtf16Le(Utf16ColumnBytes(record, s, s + count - 1));
            if (!end)
                text += QStringLiteral("\r\n");
        });
        return text;
    }
    // Single-byte and Shift_JIS columns never end inside a character, so the record
    // decodes in one piece.
    QByteArray bytes;
    ForEachLine(record, lastRecord, layout, [&](qsizetype s, qsizetype count, bool end) {
        AppendLineHead(bytes, base + s, p + s, count, end, layout);
        if (layout.code == DumpCharCode::Ebcdik)
            AppendEbcdikColumn(bytes, p + s, count, layout);
        else
            AppendShiftJisColumn(bytes, p + s, count, false);
        if (!end)
            bytes += "\r\n";
    });
    return FromSjis(bytes);
}

void AppendDumpRecordBytes(QByteArray& out, QByteArrayView record, int64_t recordNumber,
                           bool lastRecord, const DumpLayout& layout)
{
    if (layout.code == DumpCharCode::Utf16) {
        out += ToSjis(DumpRecordText(record, recordNumber, lastRecord, layout));
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(record.data());
    const int64_t base = int64_t(kDumpRecordSize) * (recordNumber - 1);
    const RoundTrip& rt = SjisRoundTrip();
    const qsizetype L = layout.bytesPerLine == 32 ? 32 : 16;
    const qsizetype width = 9 * layout.GroupsPerLine() + L / 16;
    const qsizetype n = record.size();
    // Room for the longest text, written in place and cut to size at the end.
    const qsizetype lines = (n + L - 1) / L;
    const qsizetype start = out.size();
    out.resize(start + lines * (17 + width + 2) + n * 7);
    char* w = out.data() + start;
    for (qsizetype s = 0; s < n; s += L) {
        const qsizetype count = std::min(L, n - s);
        const bool end = lastRecord && s + count == n;
        const unsigned char* q = p + s;
        const uint64_t offset = uint64_t(base + s);
        int digits = 8;
        while (digits < 16 && (offset >> (4 * digits)) != 0)
            ++digits;
        for (int d = 0; d < digits; ++d)
            *w++ = kHexDigits[(offset >> (4 * (digits - 1 - d))) & 0xF];
        *w++ = ' ';
        char* const field = w;
        for (qsizetype j = 0; j < count; ++j) {
            *w++ = kHexDigits[q[j] >> 4];
            *w++ = kHexDigits[q[j] & 0xF];
            if (end && j == count - 1)
                break;
            if (j % 4 == 3)
                *w++ = ' ';
            if (j % 16 == 15)
                *w++ = ' ';
        }
        while (w < field + width)
            *w++ = ' ';
        if (layout.code == DumpCharCode::Ebcdik) {
            for (qsizetype i = 0; i < count; ++i)
                *w++ = layout.ebcdikTable ? rt.single[layout.ebcdikTable[q[i]]] : '.';
        } else {
            for (qsizetype i = 0; i < count; ++i) {
                const unsigned char b = q[i];
                if (IsShownSingle(b)) {
                    *w++ = rt.single[b];
                } else if (i + 1 < count && IsDumpLeadByte(b) && q[i + 1] >= 0x40 && q[i + 1] <= 0xFC) {
                    const PairBytes& pair = rt.pairs[(b << 8) | q[i + 1]];
                    std::memcpy(w, pair.bytes, pair.size);
                    w += pair.size;
                    ++i;
                } else {
                    *w++ = '.';
                }
            }
        }
        if (!end) {
            *w++ = '\r';
            *w++ = '\n';
        }
    }
    out.resize(w - out.constData());
}

int64_t DumpRecordCount(int64_t fileSize)
{
    return fileSize <= 0 ? 0 : (fileSize + kDumpRecordSize - 1) / kDumpRecordSize;
}

int64_t DumpPageCount(int64_t fileSize, const DumpLayout& layout)
{
    const int64_t r = DumpRecordCount(fileSize);
    return layout.RecordsPerPage() == 2 ? (r + 1) / 2 : r;
}

RecordRange DumpPageRecords(int64_t page, int64_t fileSize, const DumpLayout& layout)
{
    const int64_t r = DumpRecordCount(fileSize);
    const int per = layout.RecordsPerPage();
    const int64_t first = per * (page - 1) + 1;
    if (page < 1 || first > r)
        return {};
    return {first, std::min(r, first + per - 1)};
}

int ScrollMaximum(int64_t pageCount)
{
    return int(std::clamp<int64_t>(pageCount, 1, kScrollLimit));
}

int ScrollValueForPage(int64_t page, int64_t pageCount)
{
    if (pageCount <= kScrollLimit)
        return int(std::max<int64_t>(page, 1));
    return int(IntFloor(double(kScrollLimit) / double(pageCount) * double(page - 1)) + 1);
}

int64_t PageForScrollValue(int value, int64_t pageCount)
{
    if (pageCount <= kScrollLimit)
        return value;
    if (value >= kScrollLimit)
        return pageCount;
    return IntFloor(double(pageCount) / double(kScrollLimit) * double(value - 1)) + 1;
}

PageMove MovePage(PageCommand command, int64_t page, int64_t pageCount)
{
    switch (command) {
    case PageCommand::Previous:
        if (page <= 1)
            return {1, false, false};
        return {page - 1, true, true};
    case PageCommand::Next:
        if (page + 1 > pageCount)
            return {page, false, false};
        return {page + 1, true, true};
    case PageCommand::Back10:
        if (page - 10 < 1)
            return {1, true, false};
        return {page - 10, true, true};
    case PageCommand::Forward10:
        if (page + 10 > pageCount)
            return {pageCount, true, false};
        return {page + 10, true, true};
    case PageCommand::Last:
        return {pageCount, true, true};
    }
    return {page, false, false};
}

}  // namespace kolbran
