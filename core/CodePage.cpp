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

// The converter writes FC FC for a character it cannot map; FC FC is no character of the
// code page, so on a character boundary it is always such a substitute.
QByteArray MarkUnmappable(QByteArray bytes)
{
    if (!bytes.contains("\xFC\xFC"))
        return bytes;
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (IsSjisLeadByte(b) && i + 1 < bytes.size()) {
            if (b == 0xFC && static_cast<unsigned char>(bytes[i + 1]) == 0xFC)
                out += '?';
            else
                out += bytes.mid(i, 2);
            ++i;
        } else {
            out += char(b);
        }
    }
    return out;
}

bool IsSjisTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The converter swaps the control bytes 1A, 1C and 7F, writes 1A for a byte that is no
// character and drops a lead byte left alone at the end. Its output has one character per
// byte or pair, so walking both side by side puts the bytes below 80 back as they are and
// turns each damaged byte into U+FFFD.
QString RepairDecoded(QByteArrayView bytes, QString text)
{
    qsizetype j = 0;
    for (qsizetype i = 0; i < bytes.size(); ++j) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            if (j >= text.size())
                return {};
            text[j] = QChar(b);
            ++i;
            continue;
        }
        const bool pair = IsSjisLeadByte(b) && i + 1 < bytes.size() &&
                          IsSjisTrailByte(static_cast<unsigned char>(bytes[i + 1]));
        if (IsSjisLeadByte(b) && i + 1 == bytes.size()) {
            if (j != text.size())
                return {};
            text += QChar::ReplacementCharacter;
            break;
        }
        if (j >= text.size())
            return {};
        if (text[j].unicode() == 0x1A)
            text[j] = QChar::ReplacementCharacter;
        i += pair ? 2 : 1;
    }
    return j == text.size() ? text : QString();
}

bool NeedsRepair(QByteArrayView bytes, const QString& text)
{
    if (text.contains(QChar(0x1A)) || text.contains(QChar(0x1C)) || text.contains(QChar(0x7F)))
        return true;
    // A lead byte alone at the end: count the bytes of 80 and above before it.
    qsizetype start = bytes.size();
    while (start > 0 && static_cast<unsigned char>(bytes[start - 1]) >= 0x80)
        --start;
    for (qsizetype i = start; i < bytes.size(); ++i)
        if (IsSjisLeadByte(static_cast<unsigned char>(bytes[i]))) {
            if (i + 1 == bytes.size())
                return true;
            ++i;
        }
    return false;
}

// Text below 80 goes to the bytes as it is; the converter only sees the other characters.
// One conversion. The converter keeps a high surrogate at the end of its input back as the
// first half of a pair still to come, and the reset before the next conversion drops it:
// the character would vanish from the bytes (and from every width measured with them).
// It is a character the code page lacks, so it becomes "?" like one.
QByteArray EncodeRun(QStringView text)
{
    QByteArray bytes = MarkUnmappable(Encoder().encode(text));
    if (!text.isEmpty() && text.back().isHighSurrogate())
        bytes += '?';
    return bytes;
}

QByteArray EncodeKeepingAscii(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    qsizetype run = -1;
    auto flush = [&](qsizetype end) {
        if (run >= 0)
            out += EncodeRun(text.sliced(run, end - run));
        run = -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            flush(i);
            out += char(u);
        } else if (run < 0) {
            run = i;
        }
    }
    flush(text.size());
    return out;
}
}  // namespace

QByteArray ToSjis(QStringView text)
{
    if (IsAscii(text))
        return text.toLatin1();
    for (QChar c : text)
        if (c.unicode() == 0x1A || c.unicode() == 0x1C || c.unicode() == 0x7F)
            return EncodeKeepingAscii(text);
    return EncodeRun(text);
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
    QString text = Decoder().decode(bytes);
    if (!NeedsRepair(bytes, text))
        return text;
    QString repaired = RepairDecoded(bytes, text);
    if (repaired.isNull()) {
        // Not one character per unit: decode unit by unit.
        repaired.clear();
        for (qsizetype i = 0; i < bytes.size();) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            const qsizetype n = IsSjisLeadByte(b) && i + 1 < bytes.size() &&
                                        IsSjisTrailByte(static_cast<unsigned char>(bytes[i + 1]))
                                    ? 2
                                    : 1;
            const QString c = b < 0x80 ? QString(QChar(b)) : Decoder().decode(bytes.sliced(i, n));
            repaired += c.size() == 1 && (b < 0x80 || c[0].unicode() >= 0x80) ? c[0]
                                                                              : QChar::ReplacementCharacter;
            i += n;
        }
    }
    return repaired;
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
