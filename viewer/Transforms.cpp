#include "viewer/Transforms.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/JapaneseCodes.h"
#include "core/RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace kolbran {

namespace {

constexpr qsizetype kReadBlock = 1 << 20;
constexpr qsizetype kWriteBlock = 1 << 20;
constexpr int64_t kStepBytes = 1 << 16;  // bytes read between two steps

[[noreturn]] void ThrowDeviceError(const QIODevice& device, int fallback)
{
    if (const auto* file = qobject_cast<const QFileDevice*>(&device))
        ThrowFileError(*file, fallback);
    throw RuntimeError(fallback);
}

// The source: positioned reads into a buffer that keeps the bytes not yet consumed, so
// that a line or a piece can be looked at whole. The buffer is allocated once and only
// grows for a line longer than a block.
class ByteSource {
public:
    ByteSource(QIODevice& in, int64_t size, int64_t start) : in_(in), size_(size), readPos_(start)
    {
        buf_.resize(size_t(2 * kReadBlock));
    }

    const char* Data() const { return buf_.data() + cur_; }
    qsizetype Available() const { return end_ - cur_; }
    bool Exhausted() const { return readPos_ >= size_; }
    void Advance(qsizetype n) { cur_ += n; }
    int64_t Position() const { return readPos_ - Available(); }
    // Reads the next block behind the bytes kept; false at the end of the source.
    bool ReadMore()
    {
        if (Exhausted())
            return false;
        const qsizetype kept = Available();
        if (cur_ > 0) {
            std::memmove(buf_.data(), buf_.data() + cur_, size_t(kept));
            cur_ = 0;
            end_ = kept;
        }
        const qsizetype want = qsizetype(std::min<int64_t>(kReadBlock, size_ - readPos_));
        if (qsizetype(buf_.size()) < end_ + want)
            buf_.resize(size_t(2 * (end_ + want)));
        if (!in_.seek(readPos_))
            ThrowDeviceError(in_, Err::DeviceIo);
        const qint64 got = in_.read(buf_.data() + end_, want);
        if (got < 0)
            ThrowDeviceError(in_, Err::DeviceIo);
        if (got == 0) {
            size_ = readPos_;  // cut short by another program meanwhile
            return false;
        }
        end_ += qsizetype(got);
        readPos_ += got;
        return true;
    }
    // At least `want` bytes kept (fewer only at the end); returns the count available.
    qsizetype Ensure(qsizetype want)
    {
        while (Available() < want && ReadMore()) {
        }
        return Available();
    }

private:
    QIODevice& in_;
    int64_t size_;
    int64_t readPos_;
    std::vector<char> buf_;
    qsizetype cur_ = 0;
    qsizetype end_ = 0;
};

// The output: large checked writes.
class ByteSink {
public:
    explicit ByteSink(QIODevice& out) : out_(out) { buf_.reserve(kWriteBlock + 1024); }
    void Write(QByteArrayView bytes)
    {
        if (buf_.size() + bytes.size() > kWriteBlock)
            Flush();
        if (bytes.size() > kWriteBlock)
            WriteThrough(bytes);
        else
            buf_.append(bytes);
    }
    void Flush()
    {
        if (!buf_.isEmpty())
            WriteThrough(buf_);
        buf_.clear();
    }

private:
    void WriteThrough(QByteArrayView bytes)
    {
        errno = 0;
        if (out_.write(bytes.data(), bytes.size()) != bytes.size())
            ThrowDeviceError(out_, Err::DiskFull);
    }
    QIODevice& out_;
    QByteArray buf_;
};

// Calls the step every kStepBytes of input.
class Stepper {
public:
    Stepper(const TransformStep& step, int64_t total) : step_(step), total_(total) {}
    bool Due(int64_t done) const { return done - last_ >= kStepBytes; }
    bool Step(int64_t done)
    {
        last_ = done;
        return !step_ || step_(done, total_);
    }

private:
    const TransformStep& step_;
    int64_t total_;
    int64_t last_ = 0;
};

const QByteArray kCrLf("\r\n", 2);
const QByteArray kCrLf16("\r\0\n\0", 4);

// The next line of the source: its bytes without the line end, and whether it had one.
// The view stays valid until the source reads again; `length` is what to Advance.
bool NextLine(ByteSource& src, bool utf16, QByteArrayView* content, bool* hasEnd, qsizetype* length)
{
    qsizetype from = 0;
    for (;;) {
        const char* d = src.Data();
        const qsizetype n = src.Available();
        qsizetype s = from;
        while (s < n) {
            const void* hit = std::memchr(d + s, '\n', size_t(n - s));
            if (!hit) {
                s = n;  // an LF read next still sees the CR before it
                break;
            }
            const qsizetype p = static_cast<const char*>(hit) - d;
            if (!utf16) {
                if (p >= 1 && d[p - 1] == '\r') {
                    *content = QByteArrayView(d, p - 1);
                    *hasEnd = true;
                    *length = p + 1;
                    return true;
                }
            } else {
                if (p + 1 >= n) {
                    s = p;  // its second byte is not read yet
                    break;
                }
                if (p >= 2 && (p - 2) % 2 == 0 && d[p - 2] == '\r' && d[p - 1] == '\0' && d[p + 1] == '\0') {
                    *content = QByteArrayView(d, p - 2);
                    *hasEnd = true;
                    *length = p + 2;
                    return true;
                }
            }
            s = p + 1;
        }
        from = std::min(s, n);
        if (!src.ReadMore()) {
            const qsizetype left = src.Available();
            if (left == 0)
                return false;
            *content = QByteArrayView(src.Data(), left);
            *hasEnd = false;
            *length = left;
            return true;
        }
    }
}

QByteArrayView TrimBlanks(QByteArrayView line, bool utf16)
{
    qsizetype n = line.size();
    if (utf16) {
        n -= n % 2;
        while (n >= 2 && line[n - 2] == ' ' && line[n - 1] == '\0')
            n -= 2;
    } else {
        while (n > 0 && line[n - 1] == ' ')
            --n;
    }
    return line.first(n);
}

bool RunLines(const TransformOptions& o, ByteSource& src, ByteSink& sink, Stepper& stepper)
{
    const bool convert = !o.utf16 && o.code != DisplayCode::Standard;
    const QByteArray& end = o.utf16 ? kCrLf16 : kCrLf;
    struct Key {
        QByteArray bytes;
        int count;
    };
    QList<Key> keys;
    for (const DeleteRule& r : o.rules)
        keys.append({o.utf16 ? ToUtf16Le(r.key) : ToSjis(r.key), r.count});

    int skip = 0;
    QByteArrayView content;
    bool hasEnd = false;
    qsizetype length = 0;
    QByteArray converted;
    while (NextLine(src, o.utf16, &content, &hasEnd, &length)) {
        QByteArrayView line = content;
        bool write = true;
        if (o.kind == TransformKind::DeleteLines && skip > 0) {
            --skip;
            write = false;
        } else {
            if (convert) {
                converted = ConvertLineContent(o.code, content);
                line = converted;
            }
            switch (o.kind) {
            case TransformKind::DeleteLines:
                for (const Key& k : keys)
                    if (line.startsWith(k.bytes)) {
                        skip = k.count - 1;
                        write = false;
                        break;
                    }
                break;
            case TransformKind::RightTrim:
                line = TrimBlanks(line, o.utf16);
                break;
            case TransformKind::SaveCode:
                if (o.code == DisplayCode::Ebcdik)
                    line = TrimBlanks(line, false);
                break;
            default:
                break;
            }
        }
        if (write) {
            sink.Write(line);
            if (hasEnd)
                sink.Write(end);
        }
        src.Advance(length);
        if (stepper.Due(src.Position()) && !stepper.Step(src.Position()))
            return false;
    }
    return true;
}

// LF to CR LF, CR LF to LF, or no line ends: byte by byte over each block.
bool RunLineEnds(const TransformOptions& o, ByteSource& src, ByteSink& sink, Stepper& stepper)
{
    QByteArray out;
    bool heldCr = false;
    while (src.ReadMore()) {
        const char* d = src.Data();
        const qsizetype n = src.Available();
        out.resize(2 * n + 1);
        char* w = out.data();
        switch (o.kind) {
        case TransformKind::ToCrLf:
            for (qsizetype i = 0; i < n; ++i) {
                if (d[i] == '\n')
                    *w++ = '\r';
                *w++ = d[i];
            }
            break;
        case TransformKind::ToLf:
            for (qsizetype i = 0; i < n; ++i) {
                const char c = d[i];
                if (heldCr) {
                    if (c == '\r')
                        continue;  // the held CR is dropped, this one held
                    heldCr = false;
                    if (c != '\n')
                        *w++ = '\r';
                    *w++ = c;
                } else if (c == '\r') {
                    heldCr = true;
                } else {
                    *w++ = c;
                }
            }
            break;
        default:  // RemoveLineEnds
            for (qsizetype i = 0; i < n; ++i)
                if (d[i] != '\r' && d[i] != '\n')
                    *w++ = d[i];
            break;
        }
        sink.Write(QByteArrayView(out.constData(), w - out.constData()));
        src.Advance(n);
        if (!stepper.Step(src.Position()))
            return false;
    }
    if (heldCr)
        sink.Write("\r");  // a file ending in CR keeps it
    return true;
}

// The longest run of whole Shift_JIS characters from the start within `width` bytes.
qsizetype WrapPiece(const char* d, qsizetype length, int width)
{
    qsizetype i = 0;
    while (i < length) {
        const qsizetype w = IsSjisLeadByte(uint8_t(d[i])) && i + 1 < length ? 2 : 1;
        if (i + w > width)
            break;
        i += w;
    }
    return i;
}

bool RunWordWrap(const TransformOptions& o, ByteSource& src, int64_t size, ByteSink& sink, Stepper& stepper)
{
    const int width = std::clamp(o.wrapWidth, 2, 256);
    int64_t remaining = size;
    while (remaining > width) {
        // A CR LF matters only where it ends a segment that fits: within width + 2 bytes.
        const qsizetype m = qsizetype(std::min<int64_t>(512, remaining));
        const qsizetype look = std::min<qsizetype>(m, width + 2);
        if (src.Ensure(look) < look)
            throw RuntimeError(Err::InputPastEnd);
        const char* d = src.Data();
        qsizetype segment = -1;
        for (qsizetype i = 0; i + 1 < look; ++i)
            if (d[i] == '\r' && d[i + 1] == '\n') {
                segment = i;
                break;
            }
        qsizetype piece;
        int t = 0;
        if (segment >= 0 && segment <= width) {
            piece = segment;
            t = 2;
        } else {
            piece = WrapPiece(d, look, width);
        }
        sink.Write(QByteArrayView(d, piece));
        sink.Write(kCrLf);
        src.Advance(piece + t);
        remaining -= piece + t;
        if (stepper.Due(size - remaining) && !stepper.Step(size - remaining))
            return false;
    }
    while (remaining > 0) {
        const qsizetype got = src.Ensure(qsizetype(remaining));
        if (got == 0)
            break;
        const qsizetype n = std::min<qsizetype>(got, qsizetype(remaining));
        sink.Write(QByteArrayView(src.Data(), n));
        src.Advance(n);
        remaining -= n;
    }
    return true;
}

bool IsLineKind(TransformKind kind)
{
    return kind == TransformKind::DeleteLines || kind == TransformKind::RightTrim ||
           kind == TransformKind::SaveCode;
}

}  // namespace

QList<DeleteRule> UsableRules(const QList<DeleteRule>& stored)
{
    QList<DeleteRule> rules;
    for (DeleteRule r : stored) {
        qsizetype n = r.key.size();
        while (n > 0 && r.key[n - 1] == u' ')
            --n;
        r.key.truncate(n);
        if (r.key.isEmpty())
            continue;
        r.count = int16_t(std::clamp<int>(r.count, 1, 20));
        rules.append(r);
    }
    return rules;
}

QByteArray ConvertLineContent(int code, QByteArrayView content)
{
    switch (code) {
    case DisplayCode::EucJp:
    case DisplayCode::Iso2022Jp: {
        const bool plain = code == DisplayCode::EucJp ? !content.contains('\r')
                                                      : !content.contains('\r') && !content.contains('\n');
        if (plain)
            return code == DisplayCode::EucJp ? ConvertEucJp(content) : ConvertIso2022Jp(content);
        // The converters stop at a line end: give them the parts between lone CRs (and
        // LFs for ISO-2022-JP) and keep those bytes as they are.
        QByteArray out;
        out.reserve(content.size());
        qsizetype s = 0;
        for (;;) {
            qsizetype k = s;
            while (k < content.size() && content[k] != '\r' && (code == DisplayCode::EucJp || content[k] != '\n'))
                ++k;
            const QByteArrayView part = content.sliced(s, k - s);
            out += code == DisplayCode::EucJp ? ConvertEucJp(part) : ConvertIso2022Jp(part);
            if (k >= content.size())
                break;
            out += content[k];
            s = k + 1;
        }
        return out;
    }
    case DisplayCode::Ebcdik:
        return ConvertEbcdik(content);
    case DisplayCode::Corrected: {
        // The line's own CR LF is checked with it: after a lead byte the CR becomes the "?"
        // trail, and the line still ends with CR LF.
        QByteArray withEnd = content.toByteArray() + kCrLf;
        QByteArray out = CorrectSjis(withEnd);
        out.chop(out.endsWith(kCrLf) ? 2 : 1);
        return out;
    }
    default:
        return content.toByteArray();
    }
}

bool RunTransform(const TransformOptions& options, QIODevice& in, int64_t size, QIODevice& out,
                  const TransformStep& step)
{
    const bool lines = IsLineKind(options.kind);
    const bool bom = lines && options.utf16 && size >= 2;
    ByteSource src(in, size, bom ? 2 : 0);
    ByteSink sink(out);
    Stepper stepper(step, size);
    if (bom)
        sink.Write("\xFF\xFE");
    bool done;
    if (lines)
        done = RunLines(options, src, sink, stepper);
    else if (options.kind == TransformKind::WordWrap)
        done = RunWordWrap(options, src, size, sink, stepper);
    else
        done = RunLineEnds(options, src, sink, stepper);
    if (!done)
        return false;
    sink.Flush();
    return stepper.Step(size);
}

struct TempOutput::Impl {
    QTemporaryFile file;
    bool committed = false;
};

TempOutput::TempOutput(const QString& target) : impl_(new Impl)
{
    const QString folder = QFileInfo(FromNativeSeparators(target)).absolutePath();
    impl_->file.setFileTemplate(folder + QStringLiteral("/.kolbran-XXXXXX"));
    errno = 0;
    if (!impl_->file.open()) {
        const QString name = impl_->file.fileTemplate();
        delete impl_;
        throw RuntimeError(errno ? ErrorFromErrno(errno) : Err::PathFileAccess, name);
    }
}

TempOutput::~TempOutput()
{
    if (!impl_->committed)
        impl_->file.remove();
    delete impl_;
}

QIODevice& TempOutput::Device()
{
    return impl_->file;
}

QString TempOutput::Path() const
{
    return impl_->file.fileName();
}

QString TempOutput::Commit()
{
    QTemporaryFile& f = impl_->file;
    errno = 0;
    if (!f.flush())
        ThrowFileError(f, Err::DiskFull);
    const QString path = f.fileName();
    f.setAutoRemove(false);
    f.close();
    if (f.error() != QFileDevice::NoError) {
        f.setAutoRemove(true);
        ThrowFileError(f, Err::DiskFull);
    }
    impl_->committed = true;
    return path;
}

TransformOptions DocumentTransformOptions(const AppState& state, TransformKind kind)
{
    TransformOptions o;
    o.kind = kind;
    o.code = state.doc.IsUtf16 ? 0 : state.doc.DisplayCode;
    o.utf16 = state.doc.IsUtf16;
    o.wrapWidth = state.settings.WrapWidth >= 2 && state.settings.WrapWidth <= 256 ? state.settings.WrapWidth : 80;
    if (kind == TransformKind::DeleteLines && state.settings.DeleteRuleCount > 0)
        o.rules = UsableRules(ReadDeleteRules(state.settings.SettingsPath, state.settings.DeleteRuleCount));
    return o;
}

bool RewriteDocument(AppState& state, const TransformOptions& options, const TransformStep& step)
{
    QFile* in = state.doc.File.get();
    if (!in || !in->isOpen())
        throw RuntimeError(Err::BadFileNameOrNumber, state.doc.DocumentName);
    QString path;
    {
        TempOutput temp(state.doc.DocumentName);
        if (!RunTransform(options, *in, in->size(), temp.Device(), step))
            return false;
        path = temp.Commit();
    }
    ReplaceWithBackup(state, path);
    return true;
}

bool TransformFileTo(const QString& source, const QString& output, const TransformOptions& options,
                     const TransformStep& step)
{
    const std::unique_ptr<QFile> in = OpenFile(source, QIODevice::ReadOnly, FileShare::Shared);
    QString path;
    {
        TempOutput temp(output);
        if (!RunTransform(options, *in, in->size(), temp.Device(), step))
            return false;
        path = temp.Commit();
    }
    QFile::setPermissions(path, QFile::permissions(FromNativeSeparators(source)) | QFile::WriteOwner);
    errno = 0;
    if (!RenameReplacing(path, output)) {
        const int saved = errno;
        QFile::remove(path);
        throw RuntimeError(saved ? ErrorFromErrno(saved) : Err::PathFileAccess, output);
    }
    return true;
}

bool FileIsUtf16(const QString& path)
{
    QFile f(FromNativeSeparators(path));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(2);
    return head.size() == 2 && uint8_t(head[0]) == 0xFF && uint8_t(head[1]) == 0xFE;
}

}  // namespace kolbran
