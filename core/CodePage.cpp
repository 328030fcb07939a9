#include "core/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

namespace kolbran {

namespace {
QStringEncoder& Encoder()
{
    thread_local QStringEncoder encoder("windows-31j");
    encoder.resetState();
    return encoder;
}
QStringDecoder& Decoder()
{
    thread_local QStringDecoder decoder("windows-31j");
    decoder.resetState();
    return decoder;
}
bool IsAscii(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}
}  // namespace

QByteArray ToSjis(QStringView text)
{
    if (IsAscii(text))
        return text.toLatin1();
    QByteArray bytes = Encoder().encode(text);
    return bytes;
}

QString FromSjis(QByteArrayView bytes)
{
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return QString::fromLatin1(bytes.data(), bytes.size());
    return Decoder().decode(bytes);
}

qsizetype SjisLength(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (!(u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)))
            return i + ToSjis(text.mid(i)).size();
    }
    return text.size();
}

QString FromUtf16Le(QByteArrayView bytes)
{
    const qsizetype n = bytes.size() / 2;
    QString text(n, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < n; ++i)
        out[i] = char16_t(in[2 * i] | (in[2 * i + 1] << 8));
    return text;
}

QByteArray ToUtf16Le(QStringView text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        bytes[2 * i] = char(u & 0xFF);
        bytes[2 * i + 1] = char(u >> 8);
    }
    return bytes;
}

}  // namespace kolbran
