#include "core/JapaneseCodes.h"

#include <algorithm>
#include <cstdlib>

namespace kolbran {

namespace {

// Display table, row = high digit, column = low digit.
constexpr EbcdikTableType kEbcdikDisplay{
    0x20, 0x20, 0x20, 0x7C, 0x2D, 0x2B, 0x2D, 0x2B, 0x20, 0x20, 0x0A, 0x20, 0x20, 0x0D, 0x20, 0x20,  // 0_
    0x20, 0x20, 0x20, 0x20, 0x7C, 0x7C, 0x2D, 0x2B, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,  // 1_
    0x20, 0x20, 0x20, 0x20, 0x20, 0x2D, 0x2D, 0x2B, 0x2B, 0x20, 0x20, 0x20, 0x3F, 0x3F, 0x3F, 0x3F,  // 2_
    0x3F, 0x3F, 0x3F, 0x3F, 0x20, 0x2D, 0x7C, 0x2B, 0x2B, 0x20, 0x20, 0x20, 0x3F, 0x3F, 0x3F, 0x3F,  // 3_
    0x20, 0xA1, 0x20, 0x20, 0x20, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0x5B, 0x2E, 0x3C, 0x28, 0x2B, 0x21,  // 4_
    0x26, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0x20, 0xB0, 0x61, 0x5D, 0x5C, 0x2A, 0x29, 0x3B, 0x5E,  // 5_
    0x2D, 0x2F, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x7C, 0x2C, 0x25, 0x5F, 0x3E, 0x3F,  // 6_
    0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x70, 0x71, 0x72, 0x20, 0x3A, 0x23, 0x40, 0x27, 0x3D, 0x22,  // 7_
    0x73, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0x74, 0xBB, 0xBC, 0xBD, 0xBE,  // 8_
    0xBF, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0x75, 0x76, 0xCA, 0xCB, 0xCC,  // 9_
    0x77, 0x7E, 0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0x78, 0xD6, 0xD7, 0xD8, 0xD9,  // A_
    0x79, 0x7A, 0x20, 0x20, 0x3F, 0x3F, 0x3F, 0x3F, 0x20, 0x20, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,  // B_
    0x7B, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x20, 0x20, 0x3F, 0x3F, 0x3F, 0x3F,  // C_
    0x7D, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x20, 0x20, 0x3F, 0x3F, 0x3F, 0x3F,  // D_
    0x24, 0x20, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x20, 0x20, 0x3F, 0x3F, 0x3F, 0x3F,  // E_
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x20, 0x20, 0x3F, 0x3F, 0x3F, 0x3F,  // F_
};

EbcdikTableType MakeBinaryViewTable()
{
    EbcdikTableType t = kEbcdikDisplay;
    for (uint8_t& b : t)
        if (b == 0x3F)
            b = 0x2E;
    for (int i : {0x00, 0x01, 0x02, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11})
        t[size_t(i)] = 0x2E;
    return t;
}

inline uint8_t At(QByteArrayView bytes, qsizetype i)
{
    return static_cast<uint8_t>(bytes[i]);
}

void AppendByte(QByteArray& out, int b)
{
    out.append(char(uint8_t(b)));
}

// The EUC-JP rule for a two-byte character: lead byte `lead` (A1..FE) and trail `t`.
void AppendEucPair(QByteArray& out, int lead, int t)
{
    const int r = lead - 0xA0;
    AppendByte(out, (r + 1) / 2 + (r <= 62 ? 0x80 : 0xC0));
    int trail;
    if (r % 2 == 1)
        trail = t - (t < 0xE0 ? 0x61 : 0x60);
    else
        trail = t - 0x02;
    AppendByte(out, std::abs(trail));
}

void AppendEucLeadAlone(QByteArray& out, int lead)
{
    const int r = lead - 0xA0;
    AppendByte(out, (r + 1) / 2 + (r <= 62 ? 0x80 : 0xC0));
}

const QByteArray kCrLf("\r\n", 2);

}  // namespace

bool IsDisplayCode(int code)
{
    return std::find(kDisplayCodes.begin(), kDisplayCodes.end(), code) != kDisplayCodes.end();
}

QString DisplayCodeCaption(int code)
{
    switch (code) {
    case 0: return QStringLiteral(u"標準(&0)");
    case 1: return QStringLiteral(u"日本語１(&1)");
    case 2: return QStringLiteral(u"日本語２(&2)");
    case 3: return QStringLiteral(u"EBCDIKｺｰﾄﾞ(&3)");
    case 9: return QStringLiteral(u"不正ﾃﾞｰﾀ補正(&9)");
    default: return QString();
    }
}

QString DisplayCodeName(int code, bool isUtf16)
{
    switch (code) {
    case 0: return isUtf16 ? QStringLiteral("Unicode") : QString();
    case 1: return QStringLiteral(u"日本語１");
    case 2: return QStringLiteral(u"日本語２");
    case 3: return QStringLiteral(u"EBCDIKｺｰﾄﾞ");
    case 9: return QStringLiteral(u"不正ﾃﾞｰﾀ補正");
    default: return QString();
    }
}

const EbcdikTableType& EbcdikTable(int variant)
{
    static const EbcdikTableType binaryView = MakeBinaryViewTable();
    return variant == DisplayCode::EbcdikBinary ? binaryView : kEbcdikDisplay;
}

QByteArray ConvertEucJp(QByteArrayView bytes)
{
    // Never longer than the input plus the CR LF: written through a pointer, cut at the end.
    const qsizetype n = bytes.size();
    QByteArray out(n + 2, Qt::Uninitialized);
    char* w = out.data();
    auto put = [&w](int b) { *w++ = char(uint8_t(b)); };
    for (qsizetype i = 0; i < n; ++i) {
        const int b = At(bytes, i);
        if (b < 0x80 && b != 0x0D) {
            put(b);
        } else if (b == 0x0D) {
            put(0x0D);
            put(0x0A);
            break;
        } else if (b == 0x8E) {
            if (i + 1 < n)
                put(At(bytes, ++i));
        } else if (b >= 0xA1 && b <= 0xFE) {
            const int r = b - 0xA0;
            put((r + 1) / 2 + (r <= 62 ? 0x80 : 0xC0));
            if (i + 1 < n) {
                const int t = At(bytes, ++i);
                put(std::abs(r % 2 == 1 ? t - (t < 0xE0 ? 0x61 : 0x60) : t - 0x02));
            }
        } else {
            put(b);
        }
    }
    out.truncate(w - out.constData());
    return out;
}

QByteArray ConvertIso2022Jp(QByteArrayView bytes)
{
    enum class Mode { Single, Double, Katakana };
    Mode mode = Mode::Single;
    QByteArray out;
    out.reserve(bytes.size() + 2);
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int b = At(bytes, i);
        if (b == 0x0A) {
            AppendByte(out, b);
            return out + kCrLf;
        }
        if (b == 0x0D)
            return out + kCrLf;
        if (b == 0x1B) {
            // Three bytes, no output; an unknown sequence leaves the mode as it is.
            const int b1 = i + 1 < n ? At(bytes, i + 1) : -1;
            const int b2 = i + 2 < n ? At(bytes, i + 2) : -1;
            if (b1 == 0x24 && (b2 == 0x40 || b2 == 0x42))
                mode = Mode::Double;
            else if (b1 == 0x28 && (b2 == 0x42 || b2 == 0x4A))
                mode = Mode::Single;
            else if (b1 == 0x28 && b2 == 0x49)
                mode = Mode::Katakana;
            i = std::min(i + 2, n - 1);
            continue;
        }
        switch (mode) {
        case Mode::Single:
            AppendByte(out, b);
            break;
        case Mode::Katakana:
            AppendByte(out, b >= 0x21 && b <= 0x5F ? b + 0x80 : b);
            break;
        case Mode::Double: {
            const int c2 = i + 1 < n ? At(bytes, i + 1) : -1;
            if (b >= 0x21 && b <= 0x7E && c2 >= 0x21 && c2 <= 0x7E) {
                AppendByte(out, (b + 1) / 2 + (b <= 0x5E ? 0x70 : 0xB0));
                if (b % 2 == 1)
                    AppendByte(out, c2 + (c2 < 0x60 ? 0x1F : 0x20));
                else
                    AppendByte(out, c2 + 0x7E);
                ++i;
            } else {
                AppendByte(out, b);
            }
            break;
        }
        }
    }
    return out;
}

QByteArray ConvertEbcdik(QByteArrayView bytes, const EbcdikTableType& table)
{
    bool doubleByte = false;
    QByteArray out;
    out.reserve(bytes.size());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int b = At(bytes, i);
        if (b == 0x0A && i + 1 < n && (At(bytes, i + 1) == 0x42 || At(bytes, i + 1) == 0x41)) {
            doubleByte = At(bytes, i + 1) == 0x42;
            ++i;
            continue;
        }
        if (doubleByte && b >= 0xA1 && b <= 0xFE) {
            if (i + 1 < n)
                AppendEucPair(out, b, At(bytes, ++i));
            else
                AppendEucLeadAlone(out, b);
        } else {
            AppendByte(out, table[size_t(b)]);
        }
    }
    return out;
}

QByteArray CorrectSjis(QByteArrayView bytes)
{
    enum class State { Normal, AfterLead, AfterCr };
    State state = State::Normal;
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int b = At(bytes, i);
        switch (state) {
        case State::Normal:
            if ((b >= 0x20 && b <= 0x7E) || (b >= 0xA0 && b <= 0xDF) || b == 0x0A) {
                AppendByte(out, b);
            } else if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA)) {
                AppendByte(out, b);
                state = State::AfterLead;
            } else if (b == 0x0D) {
                AppendByte(out, b);
                state = State::AfterCr;
            } else {
                AppendByte(out, '?');
            }
            break;
        case State::AfterLead:
            AppendByte(out, b >= 0x40 && b <= 0xFC ? b : '?');
            state = State::Normal;
            break;
        case State::AfterCr:
            // The byte after a CR is kept as it is, whatever it is.
            AppendByte(out, b);
            state = State::Normal;
            break;
        }
    }
    return out;
}

QByteArray ConvertWindow(int code, QByteArrayView bytes)
{
    switch (code) {
    case DisplayCode::EucJp: return ConvertEucJp(bytes);
    case DisplayCode::Iso2022Jp: return ConvertIso2022Jp(bytes);
    case DisplayCode::Ebcdik: return ConvertEbcdik(bytes, EbcdikTable(DisplayCode::Ebcdik));
    case DisplayCode::Corrected: return CorrectSjis(bytes);
    default: return bytes.toByteArray();
    }
}

}  // namespace kolbran
