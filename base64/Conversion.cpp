#include "base64/Conversion.h"

#include "binary/BinaryRuns.h"
#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/LongRun.h"
#include "core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kolbran {

namespace {

const QString kEncodeTitle = QStringLiteral(u"エンコードします！ファイル名を入力してください。");
const QString kEncodeFilter = QStringLiteral(u"ｴﾝｺｰﾄﾞﾌｧｲﾙ(*.b64)|*.b64|全てのﾌｧｲﾙ(*.*)|*.*");
const QString kDecodeTitle = QStringLiteral(u"デコード<BASE64>処理を実行します。");
const QString kDecodeFilter = QStringLiteral(u"実行ﾌｧｲﾙ(*.EXE)|*.EXE|全てのﾌｧｲﾙ(*.*)|*.*");

// The output of a BASE64 run: the save dialog (unless the request names the output), the
// current folder put back, the same-name refusal and the overwrite guard. Empty when
// nothing is to be written; `status` then tells why.
QString PrepareOutput(AppState& state, const ConversionRequest& request, const FileDialogRequest& dialog,
                      ConversionStatus& status)
{
    QString output;
    if (request.output) {
        output = *request.output;
    } else {
        const QString folder = QDir::currentPath();
        try {
            output = state.prompter.SaveFileName(dialog);
        } catch (const RuntimeError& e) {
            QDir::setCurrent(folder);
            if (e.Number() != Err::DialogCancelled)
                throw;
            ReportError(state, e, 1);
            status = ConversionStatus::Nothing;
            return {};
        }
        QDir::setCurrent(folder);
    }
    if (output.isEmpty()) {
        status = ConversionStatus::Nothing;
        return {};
    }
    if (!AcceptOutputPath(state, request.source, output, MsgIcon::Warning)) {
        status = ConversionStatus::Refused;
        return {};
    }
    return output;
}

// The output is written beside its target and takes its name only when complete
// (Commit): an earlier file of that name survives a failed run.
std::unique_ptr<QSaveFile> CreateOutput(const QString& path)
{
    auto file = std::make_unique<QSaveFile>(FromNativeSeparators(path));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowFileError(*file, Err::PathNotFound);
    return file;
}

void Commit(QSaveFile& file)
{
    if (!file.commit())
        ThrowFileError(file, Err::DiskFull);
}

ConversionStatus EndStatus(const AppState& state)
{
    return state.BusyFlag ? ConversionStatus::Done : ConversionStatus::Cancelled;
}

// The name of the request: the output the binary runs ask for themselves, or the one given.
QString BinaryOutput(AppState& state, const ConversionRequest& request, OutputKind kind,
                     ConversionStatus& status)
{
    if (!request.output) {
        const QString path = ChooseOutputPath(state, request.source, kind, OutputCaller::ConversionDialog);
        if (path.isEmpty())
            status = ConversionStatus::Nothing;
        return path;
    }
    if (!AcceptOutputPath(state, request.source, *request.output, MsgIcon::Warning)) {
        status = ConversionStatus::Refused;
        return {};
    }
    return *request.output;
}

}  // namespace

QString NotEncodedFileMessage(int errorNumber)
{
    return EncodeErrorMessage(errorNumber);
}

ConversionResult EncodeBase64File(AppState& state, const ConversionRequest& request,
                                  const ProgressFunction& progress)
{
    ConversionResult result;
    try {
        FileDialogRequest dialog;
        dialog.title = kEncodeTitle;
        dialog.filter = kEncodeFilter;
        dialog.initialName = DefaultEncodeName(request.source, IsDebugFlag(state.settings, 2) == 1);
        result.output = PrepareOutput(state, request, dialog, result.status);
        if (result.output.isEmpty())
            return result;
        const std::unique_ptr<QFile> source =
            OpenFile(request.source, QIODevice::ReadOnly | QIODevice::Unbuffered, FileShare::Shared);
        const std::unique_ptr<QSaveFile> output = CreateOutput(result.output);
        const qint64 last = EncodeBase64Stream(state, *source, source->size(), *output, progress);
        Commit(*output);
        result.processed = last;
        result.status = EndStatus(state);
    } catch (const RuntimeError& e) {
        ReportError(state, e, 1);
        result.status = ConversionStatus::Failed;
    }
    return result;
}

ConversionResult DecodeBase64File(AppState& state, const ConversionRequest& request,
                                  const ProgressFunction& progress)
{
    ConversionResult result;
    try {
        FileDialogRequest dialog;
        dialog.title = kDecodeTitle;
        dialog.filter = kDecodeFilter;
        dialog.filterIndex = 2;
        dialog.initialName = DefaultDecodeName(request.source);
        result.output = PrepareOutput(state, request, dialog, result.status);
        if (result.output.isEmpty())
            return result;
        const std::unique_ptr<QSaveFile> output = CreateOutput(result.output);
        DecodeBase64Stream(state, request.source, *output, progress);
        Commit(*output);
        result.status = EndStatus(state);
    } catch (const RuntimeError& e) {
        state.prompter.Message(NotEncodedFileMessage(e.Number()), MsgIcon::Warning);
        result.status = ConversionStatus::Failed;
    }
    return result;
}

ConversionResult CreateBinaryDisplayFile(AppState& state, const ConversionRequest& request,
                                         const ProgressFunction& progress)
{
    ConversionResult result;
    try {
        result.output = BinaryOutput(state, request, request.extended ? OutputKind::Extended : OutputKind::BinaryDisplay,
                                     result.status);
        if (result.output.isEmpty())
            return result;
        result.processed =
            request.extended
                ? WriteExtendedFile(state, request.source, result.output, state.settings.DumpExtendedLineLength, 32, progress)
                : WriteBinaryDisplayFile(state, request.source, result.output, progress);
        result.status = EndStatus(state);
    } catch (const RuntimeError& e) {
        state.prompter.Message(EncodeErrorMessage(e.Number()), MsgIcon::Warning);
        result.processed = 0;
        result.status = ConversionStatus::Failed;
    }
    return result;
}

ConversionResult RestoreBinaryDisplayFile(AppState& state, const ConversionRequest& request,
                                          const ProgressFunction& progress)
{
    ConversionResult result;
    try {
        result.output = BinaryOutput(state, request, OutputKind::Restore, result.status);
        if (result.output.isEmpty())
            return result;
        RestoreFromFile(state, request.source, result.output, request.extended, progress);
        result.status = EndStatus(state);
    } catch (const RuntimeError& e) {
        state.prompter.Message(RestoreErrorMessage(e.Number()), MsgIcon::Warning, MsgButtons::Ok,
                               kRestoreDialogTitle);
        result.status = ConversionStatus::Failed;
    }
    return result;
}

ConversionResult ExecuteConversion(AppState& state, const ConversionRequest& request,
                                   const ConversionHooks& hooks)
{
    ConversionResult result;
    if (request.source.isEmpty())
        return result;
    if (!FileExists(request.source)) {
        state.prompter.Message(QStringLiteral(u"「") + request.source + QStringLiteral(u"」ﾌｧｲﾙはありません。"),
                               MsgIcon::Warning);
        result.status = ConversionStatus::Refused;
        return result;
    }
    if (QFileInfo(FromNativeSeparators(request.source)).size() == 0) {
        state.prompter.Message(kEmptyFileMessage, MsgIcon::Warning);
        result.status = ConversionStatus::Refused;
        return result;
    }
    if (hooks.started)
        hooks.started();
    // A long run: its end gives BusyFlag back as it found it.
    LongRun going(state);
    switch (request.type) {
    case ConversionType::CreateBinaryDisplay: result = CreateBinaryDisplayFile(state, request, hooks.progress); break;
    case ConversionType::RestoreBinaryDisplay: result = RestoreBinaryDisplayFile(state, request, hooks.progress); break;
    case ConversionType::EncodeBase64: result = EncodeBase64File(state, request, hooks.progress); break;
    case ConversionType::DecodeBase64: result = DecodeBase64File(state, request, hooks.progress); break;
    }
    if (hooks.finished)
        hooks.finished();
    if (result.processed > 0) {
        if (state.BusyFlag)
            state.prompter.Message(QStringLiteral(u"「") + result.output + QStringLiteral(u"」完了しました。"),
                                   MsgIcon::Information);
        else
            state.prompter.Message(QStringLiteral(u"実行中にキャンセルされました。"), MsgIcon::Warning);
    }
    return result;
}

}  // namespace kolbran
