#include "drawing/DrawingOutput.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Twips.h"
#include "drawing/DrawingSurface.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPagedPaintDevice>
#include <QSaveFile>

namespace kolbran {

QSize DefaultPictureSize(QSize screen)
{
    return {screen.width(), TwipsToPixels(23700)};
}

QString DrawingErrorText(const RuntimeError& error, LineNumber line)
{
    return error.Description() + QStringLiteral("( ") + QString::number(line) + QStringLiteral(u"行目 )");
}

QString DefaultBitmapName(const QString& folder)
{
    return JoinPath(folder, QStringLiteral("XXXXXX.BMP"));
}

bool ConfirmDrawingTarget(AppState& state, const QString& path)
{
    if (!state.doc.DocumentName.isEmpty() && SamePath(path, state.doc.DocumentName)) {
        state.prompter.Message(QStringLiteral(u"元ファイルと同名のファイル名は使用できません。"), MsgIcon::Critical);
        return false;
    }
    if (FileExists(path) || IsFolder(path)) {
        const MsgAnswer answer = state.prompter.Message(
            QStringLiteral(u"「") + ToNativeSeparators(path) + QStringLiteral(u"」ﾌｧｲﾙは既に存在します。") +
                state.settings.LineBreak + QStringLiteral(u"上書きしますか？"),
            MsgIcon::Warning, MsgButtons::YesNo);
        return answer == MsgAnswer::Yes;
    }
    return true;
}

void SaveDrawingPicture(const QImage& picture, const QString& path, const char* format)
{
    QSaveFile file(FromNativeSeparators(path));
    if (!file.open(QIODevice::WriteOnly))
        ThrowFileError(file, Err::PathFileAccess);
    QImageWriter writer(&file, format);
    if (!writer.write(picture)) {
        file.cancelWriting();
        if (file.error() != QFileDevice::NoError)
            ThrowFileError(file, Err::DeviceIo);
        throw RuntimeError(Err::DeviceIo, writer.errorString());
    }
    if (!file.commit())
        ThrowFileError(file, Err::DeviceIo);
}

PrintOutcome PrintDrawing(DrawingInterpreter& interpreter, QPagedPaintDevice& page)
{
    PrintOutcome outcome;
    DrawingSurface surface(page);
    try {
        outcome.end = interpreter.RunDrawing(surface, true);
    } catch (const RuntimeError& e) {
        outcome.error = e;
        outcome.errorLine = interpreter.LineCounter();
    }
    outcome.deviceFailed = !surface.Finish();
    return outcome;
}

}  // namespace kolbran
