#include "core/ui/WindowRegistry.h"

#include "binary/DocumentRestore.h"
#include "binary/ui/Dump.h"
#include "binary/ui/Dump2.h"
#include "core/AppState.h"
#include "viewer/ViewerHost.h"

#include <QWidget>

namespace kolbran {

namespace {

// The main window as the loader sees it; tools called without it get the silent host.
ViewerHost& HostOf(QWidget* parent, ViewerHost& fallback)
{
    auto* host = dynamic_cast<ViewerHost*>(parent);
    return host ? *host : fallback;
}

}  // namespace

// Launchers, keyed by the main window's menu items:
// - "Menu_Kaku_Hx": the binary view on the open document. TargetFilePath becomes the
//   document's name; after the view, action code 1 opens the written dump file through
//   OpenInViewer and 2 also prints it through PrintDocument. The file dialog's "ﾊﾞｲﾅﾘ表示"
//   button sets TargetFilePath itself and calls ShowBinaryView (binary/ui/Dump.h) directly,
//   then reads AppState::DumpActionCode and DumpFilePath.
// - "Menu_Sea_Dump": the partial binary view of AppState::SelectedText().
// - "Menu_Trans_Kak": the restoration of the open binary display file; the parent, when it
//   is the main window, is its ViewerHost (status panel, Timer1, pointer).
void RegisterBinaryWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Kaku_Hx")] = [&state](QWidget* parent) {
        state.TargetFilePath = state.doc.DocumentName;
        const int action = ShowBinaryView(state, parent);
        if (action != 1 && action != 2)
            return;
        if (state.OpenInViewer)
            state.OpenInViewer(state.DumpFilePath);
        if (action == 2 && state.PrintDocument)
            state.PrintDocument();
    };
    state.WindowCommands[QStringLiteral("Menu_Sea_Dump")] = [&state](QWidget* parent) {
        Dump2 view(state, parent);
        view.exec();
    };
    state.WindowCommands[QStringLiteral("Menu_Trans_Kak")] = [&state](QWidget* parent) {
        ViewerHost silent;
        RestoreDocumentCommand(state, HostOf(parent, silent));
    };
}

}  // namespace kolbran
