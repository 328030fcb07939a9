#include "splitjoin/SplitJoin.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <vector>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <unistd.h>
#endif

namespace kolbran {

namespace {

// Pieces are plain byte slices, so the copy block size is free: large blocks keep a split
// as fast as the system's own tools.
constexpr int64_t kCopyBlock = 1 << 20;

#ifdef Q_OS_LINUX
// Copies inside the kernel between two unbuffered files, from their current positions.
// Returns the bytes left when the file system cannot do it.
int64_t KernelCopy(QIODevice& from, QIODevice& to, int64_t length)
{
    auto* in = qobject_cast<QFileDevice*>(&from);
    auto* out = qobject_cast<QFileDevice*>(&to);
    if (!in || !out || in->handle() < 0 || out->handle() < 0 ||
        !(in->openMode() & QIODevice::Unbuffered) || !(out->openMode() & QIODevice::Unbuffered))
        return length;
    while (length > 0) {
        const ssize_t done = ::copy_file_range(in->handle(), nullptr, out->handle(), nullptr, size_t(length), 0);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF)
                return length;
            throw RuntimeError(ErrorFromErrno(errno));
        }
        if (done == 0)
            throw RuntimeError(Err::InputPastEnd);  // the source shrank during the run
        length -= done;
    }
    return 0;
}
#endif

// Copies exactly `length` bytes from `from` to `to`.
void CopyBytes(QIODevice& from, QIODevice& to, int64_t length)
{
#ifdef Q_OS_LINUX
    length = KernelCopy(from, to, length);
    if (length == 0)
        return;
#endif
    std::vector<char> buffer(size_t(std::min(length, kCopyBlock)));
    while (length > 0) {
        const qint64 want = std::min<int64_t>(length, int64_t(buffer.size()));
        const qint64 got = from.read(buffer.data(), want);
        if (got < 0) {
            if (auto* file = qobject_cast<QFileDevice*>(&from))
                ThrowFileError(*file, Err::DeviceIo);
            throw RuntimeError(Err::DeviceIo);
        }
        if (got == 0)
            throw RuntimeError(Err::InputPastEnd);  // the source shrank during the run
        if (to.write(buffer.data(), got) != got) {
            if (auto* file = qobject_cast<QFileDevice*>(&to))
                ThrowFileError(*file, Err::DiskFull);
            throw RuntimeError(Err::DeviceIo);
        }
        length -= got;
    }
}

QString AbsolutePath(const QString& path)
{
    return QFileInfo(FromNativeSeparators(path)).absoluteFilePath();
}

const QString& SameNameMessage()
{
    static const QString text = QStringLiteral(u"元ファイルと同名のファイル名は使用できません。");
    return text;
}

// True when `path` is itself a piece name of its own base (movie.004): splitting it would
// delete the source before reading it.
bool IsOwnPieceName(const QString& path)
{
    const QString base = PieceBase(path);
    const QString rest = path.mid(base.size());
    if (rest.size() != 4 || rest[0] != u'.')
        return false;
    int number = 0;
    for (int i = 1; i < 4; ++i) {
        if (rest[i] < u'0' || rest[i] > u'9')
            return false;
        number = number * 10 + (rest[i].unicode() - u'0');
    }
    return number >= 1;
}

bool IgnoredName(const QString& name)
{
    return name.isEmpty() || name.contains(u'*');
}

// A pipe or a device has no size to cut and its reading may never end.
void ReportNotRegular(AppState& state, const QString& name)
{
    state.prompter.Message(QStringLiteral(u"「") + name + QStringLiteral(u"」は通常のﾌｧｲﾙではないため開けません。"),
                           MsgIcon::Warning);
}

bool ReportMissing(AppState& state, const QString& name)
{
    if (FileExists(name)) {
        if (!GetFileAttributes(name).special)
            return false;
        ReportNotRegular(state, name);
        return true;
    }
    state.prompter.Message(QStringLiteral(u"「") + name + QStringLiteral(u"」ﾌｧｲﾙはありません。"),
                           MsgIcon::None);
    return true;
}

// Joins the pieces into `output`. The join goes to a temporary file beside it that takes
// its name only when complete: an existing output stays whole, and a failed or killed join
// leaves no partial one.
void JoinInto(const QString& output, const QString& base)
{
    QSaveFile file(FromNativeSeparators(output));
    // Unbuffered, so that the pieces can be copied inside the kernel.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowFileError(file, QFileInfo::exists(FromNativeSeparators(output)) ? Err::PermissionDenied : Err::PathNotFound);
    YieldToEventLoopNow();
    Ketsugou(file, base);
    errno = 0;
    if (!file.commit())
        ThrowFileError(file, Err::DiskFull);
}

}  // namespace

QString PieceBase(const QString& path)
{
    const qsizetype dot = path.indexOf(u'.');
    return dot < 0 ? path : path.left(dot);
}

QString PieceName(const QString& base, int number)
{
    return base + u'.' + ZeroPad(number, 3);
}

int64_t PieceCount(int64_t sourceSize, int64_t pieceSize)
{
    if (sourceSize <= 0)
        return 1;
    return (sourceSize + pieceSize - 1) / pieceSize;
}

std::optional<int> SmallestFittingScrollValue(int64_t sourceSize)
{
    const int64_t perPiece = (sourceSize + kMaxPieces - 1) / kMaxPieces;
    const int64_t value = std::max<int64_t>(kPieceScrollMin, (perPiece + kPieceUnit - 1) / kPieceUnit);
    if (value > kPieceScrollMax)
        return std::nullopt;
    return int(value);
}

void ReadB(QIODevice& source, const QString& pieceName, int64_t length)
{
    // The piece is written beside its name and takes it only when complete: a failed or
    // killed split leaves each piece as it was or whole, never cut short.
    QSaveFile piece(FromNativeSeparators(pieceName));
    if (!piece.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowFileError(piece, Err::PathNotFound);
    CopyBytes(source, piece, length);
    errno = 0;
    if (!piece.commit())
        ThrowFileError(piece, Err::DiskFull);
}

int Bunkatsu(QIODevice& source, int64_t size, const QString& base, int64_t pieceSize)
{
    int64_t remaining = size;
    int n = 1;
    for (;;) {
        const QString name = PieceName(base, n);
        if (pieceSize >= remaining) {
            ReadB(source, name, remaining);
            return n;
        }
        ReadB(source, name, pieceSize);
        remaining -= pieceSize;
        ++n;
    }
}

void ReadK(QIODevice& output, const QString& pieceName)
{
    const std::unique_ptr<QFile> piece =
        OpenFile(pieceName, QIODevice::ReadOnly | QIODevice::Unbuffered, FileShare::Shared);
    CopyBytes(*piece, output, piece->size());
    piece->close();
}

int ExistingPieceCount(const QString& base)
{
    int n = 0;
    while (n < kMaxPieces && FileExists(PieceName(base, n + 1)))
        ++n;
    return n;
}

QStringList LeftoverPieces(const QString& base, int pieceCount)
{
    QStringList names;
    for (int n = pieceCount + 1; n <= kMaxPieces && FileExists(PieceName(base, n)); ++n)
        names.append(PieceName(base, n));
    return names;
}

QString LeftoverQuestion(const AppState& state, const QStringList& leftovers)
{
    QString text = QStringLiteral(u"「") + FileNamePart(FromNativeSeparators(leftovers.value(0))) + QStringLiteral(u"」");
    if (leftovers.size() > 1)
        text += QStringLiteral(u"以降の") + FormatCount(int64_t(leftovers.size())) + QStringLiteral(u"個のﾌｧｲﾙ");
    return text + QStringLiteral(u"は分割ﾌｧｲﾙと一緒に結合されます。") + state.settings.LineBreak +
           QStringLiteral(u"削除しますか？");
}

int Ketsugou(QIODevice& output, const QString& base)
{
    const int count = ExistingPieceCount(base);
    for (int n = 1; n <= count; ++n)
        ReadK(output, PieceName(base, n));
    return count;
}

SplitJoinOutcome RunSplit(AppState& state, const QString& name, int scrollValue,
                          const std::function<void()>& beforeWrite)
{
    if (IgnoredName(name))
        return SplitJoinOutcome::Nothing;
    if (ReportMissing(state, name))
        return SplitJoinOutcome::Refused;
    try {
        const int64_t pieceSize = PieceSize(scrollValue);
        const QString base = PieceBase(name);
        const int64_t size = QFileInfo(FromNativeSeparators(name)).size();
        if (IsOwnPieceName(name)) {
            state.prompter.Message(SameNameMessage(), MsgIcon::Critical);
            return SplitJoinOutcome::Refused;
        }
        // Three digits cannot name a piece 1000, and a join reads at most 999 pieces.
        if (PieceCount(size, pieceSize) > kMaxPieces) {
            const std::optional<int> fits = SmallestFittingScrollValue(size);
            QString text = QStringLiteral(u"分割数が999を超えるため分割できません。") + state.settings.LineBreak;
            if (fits)
                text += QStringLiteral(u"分割量を") + FormatCount(int64_t(*fits) * 10) +
                        QStringLiteral(u" KB 以上にしてください。");
            else
                text += QStringLiteral(u"最大の分割量でも999個に収まりません。");
            state.prompter.Message(text, MsgIcon::Warning);
            return SplitJoinOutcome::Refused;
        }
        // A read-only piece is refused before anything is written, as a join's output is.
        const int count = int(PieceCount(size, pieceSize));
        for (int n = 1; n <= count; ++n) {
            const FileAttributes a = GetFileAttributes(PieceName(base, n));
            if (a.exists && (a.readOnly || a.isFolder))
                throw RuntimeError(Err::PermissionDenied, PieceName(base, n));
        }
        // Files after the last new piece would be joined after it. They may be the user's
        // own: they go only when the user says so.
        const QStringList leftovers = LeftoverPieces(base, count);
        const bool dropLeftovers =
            !leftovers.isEmpty() &&
            state.prompter.Message(LeftoverQuestion(state, leftovers), MsgIcon::Question, MsgButtons::YesNo) ==
                MsgAnswer::Yes;
        if (beforeWrite)
            beforeWrite();
        const std::unique_ptr<QFile> source =
            OpenFile(name, QIODevice::ReadOnly | QIODevice::Unbuffered, FileShare::Shared);
        Bunkatsu(*source, size, base, pieceSize);
        source->close();
        if (dropLeftovers)
            for (const QString& leftover : leftovers) {
                QFile stale(FromNativeSeparators(leftover));
                if (!stale.remove())
                    ThrowFileError(stale, Err::PermissionDenied);
            }
        return SplitJoinOutcome::Done;
    } catch (const RuntimeError& e) {
        ReportError(state, e, 1);
        return SplitJoinOutcome::Failed;
    }
}

SplitJoinOutcome RunJoin(AppState& state, const QString& name, const JoinOptions& options)
{
    if (IgnoredName(name))
        return SplitJoinOutcome::Nothing;
    if (ReportMissing(state, name))
        return SplitJoinOutcome::Refused;
    try {
        const QString base = PieceBase(name);
        QString output;
        if (options.output) {
            output = *options.output;
        } else {
            const QString folder = QDir::currentPath();
            FileDialogRequest request;
            request.title = kJoinSaveTitle;
            request.filter = kJoinSaveFilter;
            request.initialName = base;
            try {
                output = state.prompter.SaveFileName(request);
            } catch (const RuntimeError&) {
                QDir::setCurrent(folder);
                throw;
            }
            QDir::setCurrent(folder);
        }
        if (output.isEmpty())
            return SplitJoinOutcome::Nothing;
        // Writing over a piece would destroy it before it is read.
        const QString target = AbsolutePath(output);
        bool sameName = target == AbsolutePath(name);
        const int pieces = ExistingPieceCount(base);
        for (int n = 1; n <= pieces && !sameName; ++n)
            sameName = target == AbsolutePath(PieceName(base, n));
        if (sameName) {
            state.prompter.Message(SameNameMessage(), MsgIcon::Critical);
            return SplitJoinOutcome::Refused;
        }
        for (int n = 1; n <= pieces; ++n)
            if (GetFileAttributes(PieceName(base, n)).special) {
                ReportNotRegular(state, PieceName(base, n));
                return SplitJoinOutcome::Refused;
            }
        if (options.confirmOverwrite && CheckSaveTarget(state, output) != SaveTarget::Allowed)
            return SplitJoinOutcome::Refused;
        if (GetFileAttributes(output).readOnly)
            throw RuntimeError(Err::PermissionDenied, output);
        if (options.beforeWrite)
            options.beforeWrite();
        JoinInto(output, base);
        return SplitJoinOutcome::Done;
    } catch (const RuntimeError& e) {
        ReportError(state, e, 0);
        return e.Number() == Err::DialogCancelled ? SplitJoinOutcome::Nothing : SplitJoinOutcome::Failed;
    }
}

}  // namespace kolbran
