// The restorers of the binary display file (B) and the extended one (K): any line restores
// without a crash, and restoring what the writers write gives the bytes back.
#include "fuzz/Harness.h"

#include "binary/BinaryFormats.h"
#include "core/RuntimeError.h"

using namespace kolbran;

namespace {

QByteArray RestoreAll(const QByteArray& text, bool extended)
{
    QByteArray out;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf("\r\n", start);
        end = end < 0 ? text.size() : end + 2;
        RestoreAsciiLine(QByteArrayView(text).sliced(start, end - start), extended, out);
        start = end;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (bool extended : {false, true}) {
        QByteArray out;
        try {
            RestoreAsciiLine(bytes, extended, out);
            RestoreLine(QString::fromLatin1(bytes), extended, out);
        } catch (const RuntimeError&) {
            // A line that starts with a marker is refused; that is an answer, not a fault.
        }
    }

    QByteArray b;
    for (qsizetype at = 0; at < bytes.size(); at += 512)
        AppendBinaryDisplayRecord(b, QByteArrayView(bytes).sliced(at, std::min<qsizetype>(512, bytes.size() - at)));
    fuzz::Check(RestoreAll(b, false) == bytes, "B file does not restore its bytes");

    const int width = 100 + 10 * (size % 5);
    ExtendedWriter writer(width);
    QByteArray k;
    for (qsizetype at = 0; at < bytes.size(); at += 512)
        writer.Append(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(512, bytes.size() - at)), k);
    writer.Finish(k);
    fuzz::Check(RestoreAll(k, true) == bytes, "K file does not restore its bytes");
    return 0;
}
