#include "viewer/SpliceLines.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"
#include "viewer/LineLoader.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <vector>

namespace kolbran {

namespace {

constexpr int64_t kCopyBlock = 1 << 20;

// Copies the document's bytes from..to-1 (1-based) to `out`.
void CopyDocumentBytes(const AppState& state, FileOffset from, FileOffset to, QFile& out,
                       const SpliceIo& io)
{
    std::vector<char> block(static_cast<size_t>(kCopyBlock));
    while (from < to) {
        const int64_t want = std::min<int64_t>(kCopyBlock, to - from);
        const int64_t got = ReadDocumentInto(state, from, block.data(), want);
        if (got != want)
            throw RuntimeError(Err::InputPastEnd, state.doc.DocumentName);
        const qint64 written = io.write ? io.write(out, block.data(), got) : out.write(block.data(), got);
        if (written != got)
            ThrowFileError(out, Err::DiskFull);
        from += got;
    }
}

void WriteBytes(QFile& out, const QByteArray& bytes, const SpliceIo& io)
{
    if (bytes.isEmpty())
        return;
    const qint64 written =
        io.write ? io.write(out, bytes.constData(), bytes.size()) : out.write(bytes);
    if (written != bytes.size())
        ThrowFileError(out, Err::DiskFull);
}

void ReopenForReading(AppState& state)
{
    if (state.doc.HasFile())
        return;
    try {
        state.doc.File =
            OpenFile(state.doc.DocumentName, int(QIODevice::ReadOnly | QIODevice::Unbuffered),
                     FileShare::Shared);
    } catch (const RuntimeError&) {
        // The caller reports the first failure; the reopen is tried again by its reload.
    }
}

}  // namespace

void CheckDocumentUnchanged(const AppState& state)
{
    QFileInfo info(FromNativeSeparators(state.doc.DocumentName));
    info.refresh();
    if (!info.exists() || info.size() != state.doc.FileLength ||
        info.lastModified() != state.doc.FileTimestamp)
        throw RuntimeError(Err::FileAlreadyOpen, state.doc.DocumentName);
}

void RefuseUnsavableChar(AppState& state, QStringView text, qsizetype at, int64_t line)
{
    const qsizetype width = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
    state.prompter.Message(QStringLiteral(u"「") + text.sliced(at, width).toString() +
                               QStringLiteral(u"」（") + QString::number(line) +
                               QStringLiteral(u"行目）は Shift_JIS にない文字です。") +
                               state.settings.LineBreak +
                               QStringLiteral(u"ファイルは更新しませんでした。"),
                           MsgIcon::Warning);
    throw RuntimeError(0);
}

QStringList ReadRangeLines(const AppState& state, LineNumber first, LineNumber last)
{
    QStringList lines;
    if (first < 1 || last < first)
        return lines;
    const FileOffset base = GetLineStart(state, first);
    const QByteArray bytes = ReadDocumentBytes(state, base, GetLineStart(state, int64_t(last) + 1) - base);
    lines.reserve(last - first + 1);
    for (int64_t n = first; n <= last; ++n) {
        const qsizetype from = qsizetype(GetLineStart(state, n) - base);
        const qsizetype to = qsizetype(GetLineStart(state, n + 1) - base);
        const QByteArrayView line = QByteArrayView(bytes).sliced(
            std::min(from, bytes.size()), std::max<qsizetype>(0, std::min(to, bytes.size()) - std::min(from, bytes.size())));
        lines.append(state.doc.IsUtf16 ? FromUtf16Le(line) : FromSjis(line));
    }
    return lines;
}

qsizetype FirstUnsavableChar(QStringView text)
{
    const QByteArray bytes = ToSjis(text);
    if (bytes.count('?') == text.count(u'?'))
        return -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80)
            continue;
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() &&
                                        text[i + 1].isLowSurrogate()
                                    ? 2
                                    : 1;
        if (ToSjis(text.sliced(i, width)) == "?")
            return i;
        i += width - 1;
    }
    return -1;
}

void SpliceLines(AppState& state, LineNumber first, LineNumber last,
                 const std::optional<QString>& text, const SpliceIo& io)
{
    OpenDocument& doc = state.doc;
    if (doc.DocumentName.isEmpty() || !doc.HasFile())
        throw RuntimeError(Err::BadFileNameOrNumber);
    if (first < 1 || int64_t(last) < int64_t(first) - 1 || last > doc.LineCount)
        throw RuntimeError(Err::InvalidArgument);
    CheckDocumentUnchanged(state);
    const bool inPlace = io.output.isEmpty();
    if (inPlace && RefuseProtected(state, true) == 1)
        throw RuntimeError(0);

    // The leading and trailing lines that the new text repeats keep their bytes.
    const QString newText = text.value_or(QString());
    LineNumber keptBefore = 0, keptAfter = 0;
    qsizetype head = 0, tail = 0;
    // Given text is matched even when empty: a line whose bytes decode to no text (a lone
    // byte at the end of a UTF-16 file) is kept, not dropped.
    if (text && last >= first) {
        const QStringList old = ReadRangeLines(state, first, last);
        const qsizetype n = old.size();
        // (An empty line matches outright: a null text does not start with an empty one.)
        while (keptBefore < n &&
               (old[keptBefore].isEmpty() || QStringView(newText).sliced(head).startsWith(old[keptBefore]))) {
            head += old[keptBefore].size();
            ++keptBefore;
        }
        while (keptBefore + keptAfter < n) {
            const QString& line = old[n - 1 - keptAfter];
            if (head + tail + line.size() > newText.size() ||
                !(line.isEmpty() || QStringView(newText).first(newText.size() - tail).endsWith(line)))
                break;
            tail += line.size();
            ++keptAfter;
        }
    }
    const QStringView middle = QStringView(newText).sliced(head, newText.size() - head - tail);
    QByteArray middleBytes;
    if (doc.IsUtf16) {
        middleBytes = ToUtf16Le(middle);
    } else {
        const qsizetype bad = FirstUnsavableChar(middle);
        if (bad >= 0) {
            const qsizetype at = head + bad;
            RefuseUnsavableChar(state, newText, at,
                                first + QStringView(newText).first(at).count(QStringLiteral("\r\n")));
        }
        middleBytes = ToSjis(middle);
    }

    const QString target = inPlace ? doc.DocumentName : io.output;
    const QString folder = QFileInfo(FromNativeSeparators(target)).absolutePath();
    QTemporaryFile temp(folder + QStringLiteral("/.kolbran-edit-XXXXXX"));
    if (!temp.open())
        ThrowFileError(temp, Err::PathFileAccess);
    CopyDocumentBytes(state, 1, GetLineStart(state, int64_t(first) + keptBefore), temp, io);
    WriteBytes(temp, middleBytes, io);
    // The rest of the file, also what lies past the last indexed line.
    CopyDocumentBytes(state, GetLineStart(state, int64_t(last) + 1 - keptAfter),
                      FileOffset(doc.File->size()) + 1, temp, io);
    if (!temp.flush())
        ThrowFileError(temp, Err::DiskFull);
    temp.close();
    if (temp.error() != QFileDevice::NoError)
        ThrowFileError(temp, Err::DiskFull);
    if (!inPlace) {
        // Another file: it takes the new content in one step; the document stays as it is.
        temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ReadGroup | QFileDevice::ReadOther);
        errno = 0;
        if (!RenameReplacing(temp.fileName(), FromNativeSeparators(io.output)))
            throw RuntimeError(errno ? ErrorFromErrno(errno) : Err::PathFileAccess, io.output);
        temp.setAutoRemove(false);
        return;
    }
    // From here ReplaceWithBackup owns the file: it removes it itself when it fails.
    temp.setAutoRemove(false);
    try {
        ReplaceWithBackup(state, temp.fileName(), io.ops);
    } catch (const RuntimeError&) {
        ReopenForReading(state);
        throw;
    }
}

}  // namespace kolbran
