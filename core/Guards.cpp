#include "core/Guards.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>

namespace kolbran {

void TraceAppend(AppState& state, const QString& label)
{
    if (IsDebugFlag(state.settings, 1) == 1 && state.TraceText.size() + label.size() <= 200)
        state.TraceText += label;
}

void TraceSet(AppState& state, const QString& text)
{
    if (IsDebugFlag(state.settings, 1) == 1)
        state.TraceText = text.left(200);
}

QString TraceGet(const AppState& state)
{
    return state.TraceText;
}

void ReportError(AppState& state, const RuntimeError& error, int reading)
{
    const QString name = state.doc.DocumentName;
    QString message;
    switch (error.Number()) {
    case 0: break;
    case Err::FileAlreadyOpen:
        message = QStringLiteral(u"「") + name + QStringLiteral(u"」を確認してください。処理できません。");
        break;
    case Err::PermissionDenied:
        message = reading == 1 ? QStringLiteral(u"「") + name + QStringLiteral(u"」は、他のアプリケーションで使用中のため参照できません。")
                               : QStringLiteral(u"「") + name + QStringLiteral(u"」は、他のアプリケーションで使用中のため更新できません。");
        break;
    case Err::PathFileAccess:
        message = QStringLiteral(u"「") + name + QStringLiteral(u"」のアクセス権を確認してください。");
        break;
    case Err::DialogCancelled:
        if (IsDebugFlag(state.settings, 1) == 1)
            message = QStringLiteral(u"「ｷｬﾝｾﾙ」ﾎﾞﾀﾝが押されました。");
        break;
    default:
        message = error.Description() + QStringLiteral(" (") + StrNumber(error.Number()) +
                  QStringLiteral(" )");
        break;
    }
    if (!message.isEmpty())
        state.prompter.Message(message + state.TraceText, MsgIcon::Warning);
    state.TraceText.clear();
}

void ReportError(AppState& state, int errorNumber, int reading)
{
    ReportError(state, RuntimeError(errorNumber), reading);
}

int RefuseProtected(AppState& state, bool showMessage)
{
    const FileAttributes a = GetFileAttributes(state.doc.DocumentName);
    QString message;
    if (a.readOnly)
        message = QStringLiteral(u"「読み出し専用」ファイルを更新することはできません。");
    else if (a.hidden)
        message = QStringLiteral(u"「隠しファイル」を更新することはできません。");
    else
        return 0;
    if (showMessage)
        state.prompter.Message(message, MsgIcon::Warning);
    return 1;
}

bool CheckFileExists(AppState& state, const QString& path)
{
    TraceAppend(state, QStringLiteral("->FileDef"));
    try {
        const FileAttributes a = GetFileAttributes(path);
        if (a.exists && a.isFolder) {
            state.prompter.Message(QStringLiteral(u"「フォルダ」を開こうとしています。"), MsgIcon::Critical);
            TraceSet(state, QString());
            return true;
        }
        if (a.exists && a.special) {
            state.prompter.Message(QStringLiteral(u"「") + path + QStringLiteral(u"」は通常のﾌｧｲﾙではないため開けません。"),
                                   MsgIcon::Warning);
            TraceSet(state, QString());
            return true;
        }
        if (a.exists)
            return false;
        QString message = QStringLiteral(u"「") + path + QStringLiteral(u"」ﾌｧｲﾙはありません。");
        if (IsDebugFlag(state.settings, 1) == 1)
            message += state.settings.LineBreak + state.TraceText;
        state.prompter.Message(message, MsgIcon::Warning);
        TraceSet(state, QString());
        return true;
    } catch (const RuntimeError& e) {
        ReportError(state, e, 1);
        return true;
    }
}

int CheckSaveTarget(AppState& state, const QString& path)
{
    const FileAttributes a = GetFileAttributes(path);
    if (!a.exists)
        return SaveTarget::Allowed;
    const QString name = FileNamePart(FromNativeSeparators(path));
    const QString& br = state.settings.LineBreak;
    if (a.isFolder) {
        state.prompter.Message(QStringLiteral(u"「") + name + QStringLiteral(u"」はフォルダ名として存在します。"), MsgIcon::Critical);
        return SaveTarget::IsFolder;
    }
    const QString title = QStringLiteral(u"名前を付けて保存");
    if (a.readOnly) {
        state.prompter.Message(name + br + QStringLiteral(u"このﾌｧｲﾙには読み取り専用属性が設定されています。") + br +
                                   QStringLiteral(u"別のファイル名を使用してください。"),
                               MsgIcon::Warning, MsgButtons::Ok, title);
        return SaveTarget::ReadOnly;
    }
    const MsgAnswer answer = state.prompter.Message(
        QStringLiteral(u"「") + name + QStringLiteral(u"」ﾌｧｲﾙは既に存在します。") + br + QStringLiteral(u"上書きしますか？"), MsgIcon::Warning,
        MsgButtons::YesNo, title);
    if (answer != MsgAnswer::Yes)
        return SaveTarget::Declined;
    // The old file stays until the writer's complete new file takes its name.
    return SaveTarget::Allowed;
}

QString BackupName(const QString& documentName)
{
    const qsizetype nameStart =
        std::max(documentName.lastIndexOf(u'/'), documentName.lastIndexOf(u'\\')) + 1;
    const qsizetype dot = documentName.indexOf(u'.', nameStart);
    if (dot < 0)
        return documentName + QStringLiteral(".bak");
    const QString backup = documentName.left(dot + 1) + QStringLiteral("bak");
    // A backup is never the document itself (notes.bak, or NOTES.BAK where case is ignored).
    if (SamePath(backup, documentName) || backup.compare(documentName, Qt::CaseInsensitive) == 0)
        return documentName + QStringLiteral(".bak");
    return backup;
}

namespace {

bool CopyToNewFile(const QString& from, const QString& to)
{
    QFile in(FromNativeSeparators(from));
    QFile out(FromNativeSeparators(to));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    QByteArray block;
    while (!(block = in.read(1 << 20)).isEmpty())
        if (out.write(block) != block.size())
            return false;
    if (in.error() != QFileDevice::NoError || !out.flush())
        return false;
    out.close();
    return out.error() == QFileDevice::NoError && SyncFile(to);
}

[[noreturn]] void ThrowLastError(int fallback, const QString& detail)
{
    const int saved = errno;
    throw RuntimeError(saved ? ErrorFromErrno(saved) : fallback, detail);
}

QString CanonicalFolder(const QString& path)
{
    return QFileInfo(QFileInfo(FromNativeSeparators(path)).absolutePath()).canonicalFilePath();
}

}  // namespace

FileOperations FileOperations::Default()
{
    FileOperations ops;
    ops.rename = [](const QString& from, const QString& to) { return RenameReplacing(from, to); };
    ops.remove = [](const QString& path) {
        errno = 0;
        return QFile::remove(FromNativeSeparators(path));
    };
    ops.copy = CopyToNewFile;
    return ops;
}

void ReplaceWithBackup(AppState& state, const QString& temp)
{
    ReplaceWithBackup(state, temp, FileOperations::Default());
}

void ReplaceWithBackup(AppState& state, const QString& temp, const FileOperations& ops)
{
    TraceAppend(state, QStringLiteral(" Baknm"));
    if (temp.isEmpty())
        return;
    QString work = temp;  // the complete new content, beside the document once copied
    auto dropWork = [&] {
        ops.remove(work);
        if (work != temp)
            ops.remove(temp);
    };
    try {
        if (RefuseProtected(state, false) == 1) {
            dropWork();
            return;
        }
        state.doc.File.reset();
        const QString doc = state.doc.DocumentName;

        if (CanonicalFolder(work) != CanonicalFolder(doc)) {
            // A rename cannot cross file systems: bring the new content beside the document.
            QTemporaryFile beside(QFileInfo(FromNativeSeparators(doc)).absolutePath() +
                                  QStringLiteral("/.kolbran-XXXXXX"));
            if (!beside.open())
                ThrowLastError(Err::PathFileAccess, doc);
            const QString copy = beside.fileName();
            beside.close();
            beside.remove();
            errno = 0;
            if (!ops.copy(work, copy)) {
                const int saved = errno;
                ops.remove(copy);
                errno = saved;
                ThrowLastError(Err::DiskFull, copy);
            }
            ops.remove(temp);
            work = copy;
        } else {
            SyncFile(work);
        }
        // The new version keeps the document's permission bits.
        QFile::setPermissions(FromNativeSeparators(work),
                              QFile::permissions(FromNativeSeparators(doc)));

        if (state.settings.NoBackup) {
            // One atomic step: the old content goes only as the new one takes its name.
            errno = 0;
            if (!ops.rename(work, doc))
                ThrowLastError(Err::PathFileAccess, doc);
            return;
        }
        const QString backup = BackupName(doc);
        const FileAttributes old = GetFileAttributes(backup);
        if (old.exists && (old.isFolder || old.readOnly))
            throw RuntimeError(Err::FileAlreadyExists, backup);
        errno = 0;
        if (!ops.rename(doc, backup))
            ThrowLastError(Err::PathFileAccess, backup);
        errno = 0;
        if (!ops.rename(work, doc)) {
            const int saved = errno;
            ops.rename(backup, doc);  // the old content back under its own name
            errno = saved;
            ThrowLastError(Err::PathFileAccess, doc);
        }
    } catch (const RuntimeError&) {
        dropWork();
        throw;
    }
}

void LockDocument(AppState& state)
{
    state.doc.File.reset();
    try {
        state.doc.File = OpenFile(state.doc.DocumentName, QIODevice::ReadWrite, FileShare::Exclusive);
    } catch (const RuntimeError&) {
        // Refused: the document stays open for shared reading, as it was before.
        try {
            state.doc.File = OpenFile(state.doc.DocumentName, QIODevice::ReadOnly, FileShare::Shared);
        } catch (const RuntimeError&) {
        }
        throw;
    }
}

void ReportAndReopen(AppState& state, const RuntimeError& error)
{
    ReportError(state, error, 0);
    if (state.doc.DocumentName.isEmpty() || !state.doc.File)
        return;
    state.doc.File.reset();
    try {
        state.doc.File = OpenFile(state.doc.DocumentName, QIODevice::ReadOnly, FileShare::Shared);
    } catch (const RuntimeError& e) {
        ReportError(state, e, 1);
    }
}

}  // namespace kolbran
