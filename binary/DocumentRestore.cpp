#include "binary/DocumentRestore.h"

#include "binary/BinaryRuns.h"
#include "core/AppState.h"
#include "core/Guards.h"
#include "core/LongRun.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"

namespace kolbran {

void RestoreDocumentCommand(AppState& state, ViewerHost& host,
                            const std::function<void()>& chooseStandardCode)
{
    OpenDocument& doc = state.doc;
    if (doc.FileLength == 0) {
        state.prompter.Message(kEmptyFileMessage, MsgIcon::Warning, MsgButtons::Ok, kRestoreTitle);
        return;
    }
    QString target;
    try {
        target = ChooseOutputPath(state, doc.DocumentName, OutputKind::Restore, OutputCaller::MainWindow);
    } catch (const RuntimeError& e) {
        ReportError(state, e, 0);
        return;
    }
    if (target.isEmpty())
        return;

    // Lines are read as stored, whatever code the screen showed.
    if (chooseStandardCode)
        chooseStandardCode();
    doc.DisplayCode = 0;
    // The main window's commands (a second restore, open, close…) wait for this run.
    LongRun going(state);
    host.SetTimer1Enabled(false);
    host.SetBusyCursor(true);
    try {
        RestoreFromLines(
            state, doc.LineCount, doc.FileLength,
            [&state](LineNumber n) {
                ReadLine(state, n);
                QString line = state.doc.LineBuffer;
                if (n == 1 && line.startsWith(QChar(0xFEFF)))
                    line.remove(0, 1);
                return line;
            },
            target,
            [&host](int64_t line, int64_t count) {
                host.SetStatusPanel(1, kRestoreProgressText + FormatPercent(double(line) / double(count)));
            });
    } catch (const RuntimeError& e) {
        host.SetBusyCursor(false);
        host.SetStatusPanel(1, QString());
        state.prompter.Message(RestoreErrorMessage(e.Number(), doc.LineCount == 0), MsgIcon::Warning,
                               MsgButtons::Ok, kRestoreTitle);
        host.SetTimer1Enabled(true);
        return;
    }
    host.SetBusyCursor(false);
    host.SetStatusPanel(1, QString());
    state.prompter.Message(target + kGeneratedSuffix, MsgIcon::Information, MsgButtons::Ok, kRestoreTitle);
    host.SetTimer1Enabled(true);
}

}  // namespace kolbran
