#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace kolbran {

// The dump lines of the binary view and of the dump file: an 8-digit offset, the bytes in
// groups of four, blocks of sixteen, then the character column.

inline constexpr int kDumpRecordSize = 512;
inline constexpr int kScrollLimit = 32767;

// Character code of the character column (the order of the view's code menu).
enum class DumpCharCode { ShiftJis = 0, Utf16 = 1, Ebcdik = 2 };

struct DumpLayout {
    int bytesPerLine = 16;  // 16 or 32
    int pageBytes = 512;    // 512 or 1024
    DumpCharCode code = DumpCharCode::ShiftJis;
    // EBCDIK byte → Shift_JIS single byte (the binary-view variant); used for code 2.
    const unsigned char* ebcdikTable = nullptr;

    int GroupsPerLine() const { return bytesPerLine == 32 ? 8 : 4; }
    int RecordsPerPage() const { return pageBytes == 1024 ? 2 : 1; }
};

// Two upper-case hexadecimal digits: 0x0A → "0A".
QString HexByte(unsigned char byte);

// The character column for bytes first..last (inclusive, 0-based) of a record.
QString DumpCharColumn(QByteArrayView record, qsizetype first, qsizetype last,
                       const DumpLayout& layout);

// The lines of record `recordNumber` (1-based), as shown. `lastRecord`: the record ends the
// file, so its last line is padded and has no line end.
QString DumpRecordText(QByteArrayView record, int64_t recordNumber, bool lastRecord,
                       const DumpLayout& layout);
// The same lines as the dump file stores them (Shift_JIS), appended to `out`.
void AppendDumpRecordBytes(QByteArray& out, QByteArrayView record, int64_t recordNumber,
                           bool lastRecord, const DumpLayout& layout);

// Page arithmetic.
int64_t DumpRecordCount(int64_t fileSize);                      // ceil(size / 512)
int64_t DumpPageCount(int64_t fileSize, const DumpLayout& layout);
// The records of page p: first..last (1-based); first > last when the page is beyond the file.
struct RecordRange {
    int64_t first = 0;
    int64_t last = -1;
};
RecordRange DumpPageRecords(int64_t page, int64_t fileSize, const DumpLayout& layout);

// The scroll bar runs 1..min(P, 32767); beyond 32,767 pages it maps proportionally.
int ScrollMaximum(int64_t pageCount);
int ScrollValueForPage(int64_t page, int64_t pageCount);
int64_t PageForScrollValue(int value, int64_t pageCount);

// The page commands of the view.
enum class PageCommand { Previous, Next, Back10, Forward10, Last };
struct PageMove {
    int64_t page = 1;       // the page to show
    bool rebuild = false;   // build that page
    bool setScroll = false; // move the scroll bar to the page (not when the move was clamped)
};
PageMove MovePage(PageCommand command, int64_t page, int64_t pageCount);

}  // namespace kolbran
