#include "base64/Base64.h"

#include "binary/BinaryRuns.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "core/SequentialLineReader.h"
#include "viewer/LineLoader.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QFileInfo>

#include <array>
#include <vector>

namespace kolbran {

namespace {

constexpr char kCodeTable[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Values of the ASCII characters: 0..63 for the code table, then the special cases.
constexpr uint8_t kOther = 64;  // outside the table: value 0
constexpr uint8_t kPad = 65;    // "=": value 0, counted
constexpr uint8_t kSpace = 66;  // ends the line
constexpr uint8_t kMissing = 67;  // past the end of the line: value 0

constexpr std::array<uint8_t, 256> MakeValues()
{
    std::array<uint8_t, 256> v{};
    for (auto& x : v)
        x = kOther;
    for (int i = 0; i < 64; ++i)
        v[uint8_t(kCodeTable[i])] = uint8_t(i);
    v[uint8_t('=')] = kPad;
    v[uint8_t(' ')] = kSpace;
    return v;
}
constexpr std::array<uint8_t, 256> kValues = MakeValues();

// Read and write sizes are free: whole multiples of the 57-byte block.
constexpr qint64 kEncodeChunkBlocks = 18396;  // about 1 MiB of input
constexpr qsizetype kDecodeFlushBytes = 1 << 20;

uint8_t ValueOf(char16_t c)
{
    return c < 256 ? kValues[c] : kOther;
}

// The line walk shared by the text and the byte forms of a line.
template <typename Char, typename Lookup>
void DecodeLine(const Char* p, qsizetype n, QByteArray& out, Lookup value)
{
    const qsizetype start = out.size();
    out.resize(start + (n / 4 + 1) * 3);
    char* o = out.data() + start;
    for (qsizetype i = 0; i < n; i += 4) {
        if (p[i] == Char('\r') && i + 1 < n && p[i + 1] == Char('\n'))
            break;
        uint8_t v[4];
        for (int k = 0; k < 4; ++k)
            v[k] = i + k < n ? value(p[i + k]) : kMissing;
        if ((v[0] | v[1] | v[2] | v[3]) < 64) {
            *o++ = char((v[0] << 2) | (v[1] >> 4));
            *o++ = char(((v[1] & 15) << 4) | (v[2] >> 2));
            *o++ = char(((v[2] & 3) << 6) | v[3]);
            continue;
        }
        int pads = 0;
        bool space = false;
        for (uint8_t& x : v) {
            if (x == kSpace)
                space = true;
            else if (x == kPad)
                ++pads;
            if (x >= 64)
                x = 0;
        }
        if (space)
            break;
        *o++ = char((v[0] << 2) | (v[1] >> 4));
        if (pads >= 2)
            break;
        *o++ = char(((v[1] & 15) << 4) | (v[2] >> 2));
        if (pads == 1)
            break;
        *o++ = char(((v[2] & 3) << 6) | v[3]);
    }
    out.resize(o - out.constData());
}

bool IsAscii(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    unsigned char any = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        any |= p[i];
    return any < 0x80;
}

void ReadExactly(QIODevice& source, char* data, qint64 length)
{
    while (length > 0) {
        const qint64 got = source.read(data, length);
        if (got < 0) {
            if (auto* file = qobject_cast<QFileDevice*>(&source))
                ThrowFileError(*file, Err::DeviceIo);
            throw RuntimeError(Err::DeviceIo);
        }
        if (got == 0)
            throw RuntimeError(Err::InputPastEnd);
        data += got;
        length -= got;
    }
}

void WriteAll(QIODevice& output, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    if (output.write(bytes) != bytes.size()) {
        if (auto* file = qobject_cast<QFileDevice*>(&output))
            ThrowFileError(*file, Err::DiskFull);
        throw RuntimeError(Err::DeviceIo);
    }
}

// Decodes one line as the reader gave it: ASCII lines straight from their bytes, others
// after the conversion to text (a double-byte character is one character of a group).
void DecodeStoredLine(QByteArrayView bytes, bool utf16, bool firstLine, QByteArray& out)
{
    if (!utf16 && IsAscii(bytes)) {
        DecodeBase64AsciiLine(bytes, out);
        return;
    }
    QString text = utf16 ? FromUtf16Le(bytes) : FromSjis(bytes);
    // The byte-order mark is not part of the text.
    if (utf16 && firstLine && text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    DecodeBase64Line(text, out);
}

}  // namespace

void AppendBase64Line(QByteArrayView block, QByteArray& out)
{
    const auto* b = reinterpret_cast<const unsigned char*>(block.data());
    const qsizetype n = block.size();
    const qsizetype start = out.size();
    out.resize(start + (n + 2) / 3 * 4 + 2);
    char* o = out.data() + start;
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3) {
        const unsigned v = (unsigned(b[i]) << 16) | (unsigned(b[i + 1]) << 8) | b[i + 2];
        *o++ = kCodeTable[v >> 18];
        *o++ = kCodeTable[(v >> 12) & 63];
        *o++ = kCodeTable[(v >> 6) & 63];
        *o++ = kCodeTable[v & 63];
    }
    if (n - i == 1) {
        *o++ = kCodeTable[b[i] >> 2];
        *o++ = kCodeTable[(b[i] & 3) << 4];
        *o++ = '=';
        *o++ = '=';
    } else if (n - i == 2) {
        *o++ = kCodeTable[b[i] >> 2];
        *o++ = kCodeTable[((b[i] & 3) << 4) | (b[i + 1] >> 4)];
        *o++ = kCodeTable[(b[i + 1] & 15) << 2];
        *o++ = '=';
    }
    *o++ = '\r';
    *o++ = '\n';
}

void DecodeBase64Line(QStringView line, QByteArray& out)
{
    DecodeLine(line.utf16(), line.size(), out, [](char16_t c) { return ValueOf(c); });
}

void DecodeBase64AsciiLine(QByteArrayView line, QByteArray& out)
{
    DecodeLine(reinterpret_cast<const unsigned char*>(line.data()), line.size(), out,
               [](unsigned char c) { return kValues[c]; });
}

QString DefaultEncodeName(const QString& source, bool debugFlag2)
{
    return debugFlag2 ? source + QStringLiteral(".b64") : ReplaceFromFirstDot(source, QStringLiteral(".b64"));
}

QString DefaultDecodeName(const QString& source)
{
    return ReplaceFromFirstDot(source, QStringLiteral(".XXX"));
}

qint64 EncodeBase64Stream(AppState& state, QIODevice& source, qint64 size, QIODevice& output,
                          const ProgressFunction& progress)
{
    const qint64 blocks = (size + kBase64BlockBytes - 1) / kBase64BlockBytes;
    const qint64 interval = std::max<qint64>(32, blocks / 2560);
    std::vector<char> input(size_t(kEncodeChunkBlocks * kBase64BlockBytes));
    QByteArray text;
    text.reserve(kEncodeChunkBlocks * (kBase64LineChars + 2));
    qint64 d = 0;
    while (d < blocks) {
        const qint64 chunkBytes = std::min<qint64>(size - d * kBase64BlockBytes, qint64(input.size()));
        ReadExactly(source, input.data(), chunkBytes);
        text.clear();
        for (qint64 at = 0; at < chunkBytes; at += kBase64BlockBytes) {
            ++d;
            AppendBase64Line(QByteArrayView(input.data() + at, std::min<qint64>(kBase64BlockBytes, chunkBytes - at)), text);
            if (d % interval == 0) {
                if (progress)
                    progress(std::min(d + 1, blocks), blocks);
                YieldToEventLoop();
            }
            if (!state.BusyFlag) {
                WriteAll(output, text);
                return d;
            }
        }
        WriteAll(output, text);
    }
    if (progress)
        progress(blocks, blocks);
    return d;
}

bool DecodeBase64Stream(AppState& state, const QString& source, QIODevice& output,
                        const ProgressFunction& progress)
{
    SequentialLineReader reader(source);
    const qint64 size = reader.FileSize();
    const qint64 estimatedLines = size / 256 + 1;
    const qint64 interval = std::max<qint64>(32, estimatedLines / 2560);
    QByteArray bytes;
    bytes.reserve(kDecodeFlushBytes + 4096);
    qint64 n = 0;
    for (;;) {
        const QByteArrayView line = reader.NextBytes();
        if (line.isEmpty())
            break;
        ++n;
        DecodeStoredLine(line, reader.IsUtf16(), n == 1, bytes);
        if (bytes.size() >= kDecodeFlushBytes) {
            WriteAll(output, bytes);
            bytes.clear();
        }
        if (n % interval == 0) {
            if (progress)
                progress(reader.BytesRead(), size);
            if (!state.BusyFlag) {
                WriteAll(output, bytes);
                return false;
            }
            YieldToEventLoop();
        }
    }
    WriteAll(output, bytes);
    if (progress)
        progress(size, size);
    return true;
}

LineDecodeOutcome DecodeBase64Lines(AppState& state, LineNumber first, LineNumber last,
                                    const DocumentLineReader& readLine,
                                    const std::function<void()>& beforeWrite,
                                    const std::function<void()>& afterWrite)
{
    const QString document = state.doc.DocumentName;
    FileDialogRequest request;
    request.title = QStringLiteral(u"デコード<BASE64>処理を実行します。");
    request.filter = QStringLiteral(u"実行ﾌｧｲﾙ(*.EXE)|*.EXE|全てのﾌｧｲﾙ(*.*)|*.*");
    request.filterIndex = 2;
    request.initialName = DefaultDecodeName(document);
    const QString folder = QDir::currentPath();
    QString output;
    try {
        output = state.prompter.SaveFileName(request);
    } catch (const RuntimeError& e) {
        QDir::setCurrent(folder);
        ReportError(state, e, 1);
        return LineDecodeOutcome::StayOpen;
    }
    QDir::setCurrent(folder);
    if (output.isEmpty())
        return LineDecodeOutcome::StayOpen;
    if (SamePath(output, document)) {
        state.prompter.Message(kSameNameMessage, MsgIcon::Warning);
        return LineDecodeOutcome::StayOpen;
    }
    if (beforeWrite)
        beforeWrite();
    struct AfterWrite {
        const std::function<void()>& f;
        ~AfterWrite()
        {
            if (f)
                f();
        }
    } restore{afterWrite};

    LineNumber reached = first;
    try {
        if (CheckSaveTarget(state, output) != SaveTarget::Allowed)
            return LineDecodeOutcome::Close;
        // Written beside the target, which takes the new content only at the commit.
        QSaveFile file(FromNativeSeparators(output));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            ThrowFileError(file, Err::PathNotFound);
        try {
            QByteArray bytes;
            for (LineNumber n = first; n <= last; ++n) {
                reached = n;
                DecodeBase64Line(readLine(n), bytes);
                if (bytes.size() >= kDecodeFlushBytes) {
                    WriteAll(file, bytes);
                    bytes.clear();
                }
                YieldToEventLoop();
            }
            WriteAll(file, bytes);
            if (!file.commit())
                ThrowFileError(file, Err::DiskFull);
        } catch (const RuntimeError& e) {
            // The lines decoded before the bad one are kept, as they always were.
            file.commit();
            state.prompter.Message(EncodeErrorMessage(e.Number()), MsgIcon::Warning);
            return LineDecodeOutcome::Close;
        }
        return LineDecodeOutcome::Close;
    } catch (const RuntimeError&) {
        state.prompter.Message(QStringLiteral(u"１度に処理できる限界を超えたため、") + state.settings.LineBreak +
                                   StrNumber(qint64(reached)) + QStringLiteral(u"行目までしか処理できませんでした。"),
                               MsgIcon::Information);
        return LineDecodeOutcome::StayOpen;
    }
}

LineDecodeOutcome DecodeBase64Lines(AppState& state, LineNumber first, LineNumber last,
                                    const std::function<void()>& beforeWrite,
                                    const std::function<void()>& afterWrite)
{
    const auto readLine = [&state](LineNumber n) {
        ReadLine(state, n);
        return state.doc.LineBuffer;
    };
    return DecodeBase64Lines(state, first, last, readLine, beforeWrite, afterWrite);
}

}  // namespace kolbran
