#include "core/Guards.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    QFile file(FromNativeSeparators(path));
    if (!file.remove())
        ThrowFileError(file, Err::PermissionDenied);
    return SaveTarget::Allowed;
}

}  // namespace kolbran
