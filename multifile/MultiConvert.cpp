#include "multifile/MultiConvert.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/JapaneseCodes.h"
#include "core/RuntimeError.h"
#include "multifile/FileLines.h"
#include "viewer/Transforms.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace kolbran {

namespace {

const QByteArray kCrLf16("\r\0\n\0", 4);

void Write(QIODevice& out, QByteArrayView bytes)
{
    errno = 0;
    if (out.write(bytes.data(), bytes.size()) != bytes.size()) {
        if (const auto* file = qobject_cast<const QFileDevice*>(&out))
            ThrowFileError(*file, Err::DiskFull);
        throw RuntimeError(Err::DiskFull);
    }
}

bool FirstLineStartsWith(const QString& path, const QString& keyword, int code)
{
    FileLines lines(path);
    QByteArrayView line;
    if (!lines.Next(&line))
        return false;
    return FileLineText(line, lines.IsUtf16(), code).startsWith(keyword);
}

// Kinds 0 and 1: every line decoded and encoded again in the other form, with its CR LF.
// `Step` is asked after every line.
template <typename Step>
bool Recode(const QString& path, bool toUtf16, QIODevice& out, Step&& step)
{
    FileLines lines(path);
    if (toUtf16)
        Write(out, "\xFF\xFE");
    QByteArrayView line;
    QString carry;  // a high surrogate at the end of a piece of a very long line
    while (lines.Next(&line)) {
        if (toUtf16) {
            Write(out, ToUtf16Le(FromSjis(line)));
        } else {
            QString text = carry + FromUtf16Le(line);
            carry.clear();
            if (!text.isEmpty() && text.back().isHighSurrogate() && LineEndStart(line, true) == line.size() &&
                lines.Position() < lines.Size()) {
                carry = text.back();
                text.chop(1);
            }
            Write(out, ToSjis(text));
        }
        if (!step(lines.Position(), lines.Size()))
            return false;
    }
    if (!carry.isEmpty())
        Write(out, ToSjis(carry));
    return true;
}

// Kind 7 on a UTF-16 file: each line wrapped at the width in Shift_JIS bytes, written as UTF-16.
template <typename Step>
bool WrapUtf16(const QString& path, int width, QIODevice& out, Step&& step)
{
    FileLines lines(path);
    Write(out, "\xFF\xFE");
    QByteArrayView line;
    while (lines.Next(&line)) {
        const qsizetype content = LineEndStart(line, true);
        const QStringList pieces = WrapLineText(FromUtf16Le(line.first(content)), width);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            Write(out, ToUtf16Le(pieces[i]));
            if (i + 1 < pieces.size())
                Write(out, kCrLf16);
        }
        Write(out, line.sliced(content));
        if (!step(lines.Position(), lines.Size()))
            return false;
    }
    return true;
}

}  // namespace

QStringList ConvertKindCaptions()
{
    return {QStringLiteral(u"S_JIS→Unicode"), QStringLiteral(u"Unicode→S_JIS"), QStringLiteral(u"日本語１"),
            QStringLiteral(u"日本語２"),      QStringLiteral(u"EBCDIKｺｰﾄﾞ"),   QStringLiteral(u"不正ﾃﾞｰﾀ補正"),
            QStringLiteral(u"右側の空白削除"), QStringLiteral(u"ﾜｰﾄﾞﾗｯﾌﾟ変換"), QStringLiteral(u"2ﾊﾞｲﾄ改行へ"),
            QStringLiteral(u"1ﾊﾞｲﾄ改行へ")};
}

int ConvertKindCode(int kind)
{
    switch (kind) {
    case ConvertKind::FromEucJp: return DisplayCode::EucJp;
    case ConvertKind::FromIso2022Jp: return DisplayCode::Iso2022Jp;
    case ConvertKind::FromEbcdik: return DisplayCode::Ebcdik;
    case ConvertKind::Corrected: return DisplayCode::Corrected;
    default: return DisplayCode::Standard;
    }
}

QString ConvertQuestion(const QString& name, int kind)
{
    const QStringList captions = ConvertKindCaptions();
    const QString caption = kind >= 0 && kind < captions.size() ? captions[kind] : QString();
    return QStringLiteral(u"「") + name + QStringLiteral(u"」を｢") + caption + QStringLiteral(u"｣で変換します！");
}

QString Utf16KeptText(const QString& name)
{
    return QStringLiteral(u"「") + name + QStringLiteral(u"」はUnicodeファイルのため変換しませんでした。");
}

QStringList WrapLineText(const QString& content, int width)
{
    width = std::clamp(width, 2, 256);
    const qsizetype n = content.size();
    if (n <= 1)
        return {content};  // a line of one character is taken whole
    std::vector<int> bytes(static_cast<size_t>(n));
    int64_t rest = 0;
    for (qsizetype i = 0; i < n; ++i) {
        bytes[size_t(i)] = int(SjisLength(QStringView(content).sliced(i, 1)));
        rest += bytes[size_t(i)];
    }
    QStringList pieces;
    qsizetype pos = 0;
    while (rest > width) {
        qsizetype take = std::min<qsizetype>(width / 2, n - pos);
        int64_t length = 0;
        for (qsizetype i = pos; i < pos + take; ++i)
            length += bytes[size_t(i)];
        while (pos + take < n && length + bytes[size_t(pos + take)] <= width)
            length += bytes[size_t(pos + take++)];
        // A surrogate pair stays together.
        if (take > 1 && pos + take < n && content[pos + take - 1].isHighSurrogate()) {
            --take;
            length -= bytes[size_t(pos + take)];
        }
        pieces.append(content.mid(pos, take));
        pos += take;
        rest -= length;
    }
    pieces.append(content.mid(pos));
    return pieces;
}

ConvertOutcome ConvertFile(AppState& state, const QString& path, const ConvertOptions& options,
                           const ConvertStep& step, QString* reason)
{
    const int kind = options.kind;
    if (kind < 0 || kind >= ConvertKind::Count)
        throw RuntimeError(Err::InvalidArgument);
    // Errors name the file being converted.
    state.doc.DocumentName = path;
    const bool utf16 = FileIsUtf16(path);
    // The code conversions read Shift_JIS bytes and the line-end kinds cut UTF-16 characters
    // (上 is 0A 4E): such a file stays as it is.
    if (utf16 && (kind == ConvertKind::FromEucJp || kind == ConvertKind::FromIso2022Jp ||
                  kind == ConvertKind::Corrected || kind == ConvertKind::ToCrLf || kind == ConvertKind::ToLf))
        return ConvertOutcome::Utf16Kept;
    // Already in the form the kind writes.
    if ((kind == ConvertKind::SjisToUnicode && utf16) || (kind == ConvertKind::UnicodeToSjis && !utf16))
        return ConvertOutcome::Unchanged;

    bool cancelled = false;
    const auto going = [&](int64_t done, int64_t total) {
        if (step && !step(done, total)) {
            cancelled = true;
            return false;
        }
        return true;
    };
    const RewriteResult result = RewriteFile(
        state, path,
        [&](QIODevice& out) {
            if (!options.keyword.isEmpty() && !FirstLineStartsWith(path, options.keyword, ConvertKindCode(kind)))
                return false;
            switch (kind) {
            case ConvertKind::SjisToUnicode:
                return Recode(path, true, out, going);
            case ConvertKind::UnicodeToSjis:
                return Recode(path, false, out, going);
            case ConvertKind::WordWrap:
                if (utf16)
                    return WrapUtf16(path, options.wrapWidth, out, going);
                break;
            default:
                break;
            }
            TransformOptions t;
            t.utf16 = utf16;
            t.wrapWidth = std::clamp(options.wrapWidth, 2, 256);
            switch (kind) {
            case ConvertKind::FromEbcdik:
                // EBCDIK applies to Shift_JIS files; a UTF-16 one only loses its trailing blanks.
                t.kind = utf16 ? TransformKind::RightTrim : TransformKind::SaveCode;
                t.code = utf16 ? 0 : DisplayCode::Ebcdik;
                break;
            case ConvertKind::RightTrim: t.kind = TransformKind::RightTrim; break;
            case ConvertKind::WordWrap: t.kind = TransformKind::WordWrap; break;
            case ConvertKind::ToCrLf: t.kind = TransformKind::ToCrLf; break;
            case ConvertKind::ToLf: t.kind = TransformKind::ToLf; break;
            default:
                t.kind = TransformKind::SaveCode;
                t.code = ConvertKindCode(kind);
                break;
            }
            const std::unique_ptr<QFile> in = OpenFile(path, QIODevice::ReadOnly, FileShare::Shared);
            return RunTransform(t, *in, in->size(), out, going);
        },
        reason);
    if (result == RewriteResult::Refused)
        return ConvertOutcome::Refused;
    if (cancelled)
        return ConvertOutcome::Cancelled;
    return result == RewriteResult::Replaced ? ConvertOutcome::Converted : ConvertOutcome::Unchanged;
}

}  // namespace kolbran
