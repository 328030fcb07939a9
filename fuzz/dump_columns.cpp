// The dump's character columns and record lines for any record, in every character code and
// layout.
#include "fuzz/Harness.h"

#include "binary/DumpFormat.h"
#include "core/JapaneseCodes.h"

using namespace kolbran;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView record(reinterpret_cast<const char*>(data + 1),
                                qsizetype(std::min<size_t>(size - 1, kDumpRecordSize)));
    DumpLayout layout;
    layout.bytesPerLine = data[0] & 1 ? 32 : 16;
    layout.pageBytes = data[0] & 2 ? 1024 : 512;
    layout.code = DumpCharCode((data[0] >> 2) % 3);
    layout.ebcdikTable = EbcdikTable(DisplayCode::EbcdikBinary).data();
    if (!record.isEmpty()) {
        const qsizetype first = data[0] % record.size();
        DumpCharColumn(record, first, record.size() - 1, layout);
    }
    DumpRecordText(record, 1 + (data[0] >> 4), data[0] & 0x80, layout);
    QByteArray out;
    AppendDumpRecordBytes(out, record, 1 + (data[0] >> 4), data[0] & 0x80, layout);
    return 0;
}
