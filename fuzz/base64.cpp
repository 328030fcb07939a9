// The BASE64 decoder takes any line; decoding what the encoder writes gives the bytes back.
#include "fuzz/Harness.h"

#include "base64/Base64.h"

using namespace kolbran;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray out;
    DecodeBase64AsciiLine(bytes, out);
    DecodeBase64Line(QString::fromLatin1(bytes), out);
    DecodeBase64Line(QString::fromUtf8(bytes), out);

    QByteArray text;
    for (qsizetype at = 0; at < bytes.size(); at += kBase64BlockBytes)
        AppendBase64Line(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(kBase64BlockBytes, bytes.size() - at)), text);
    QByteArray decoded;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf("\r\n", start) + 2;
        fuzz::Check(end > start + 1, "encoded line without CR LF");
        DecodeBase64AsciiLine(QByteArrayView(text).sliced(start, end - start), decoded);
        start = end;
    }
    fuzz::Check(decoded == bytes, "BASE64 does not decode to its bytes");
    return 0;
}
