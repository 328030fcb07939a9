#include "core/ui/WindowRegistry.h"

#include "binary/DocumentRestore.h"
#include "binary/ui/Dump.h"
#include "binary/ui/Dump2.h"
#include "core/AppState.h"
#include "viewer/ViewerHost.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QWidget>

namespace kolbran {

namespace {

// The main window as the loader sees it; tools called without it get the silent host.
ViewerHost& HostOf(QWidget* parent, ViewerHost& fallback)
{
    auto* host = dynamic_cast<ViewerHost*>(parent);
    return host ? *host : fallback;
}

// The selection of the main window's text area Text1, line ends as stored.
QString SelectionOf(QWidget* parent)
{
    const auto* text = parent ? parent->findChild<QPlainTextEdit*>(QStringLiteral("Text1")) : nullptr;
    if (!text)
        return {};
    return text->textCursor().selectedText().replace(QChar(0x2029), QStringLiteral("\r\n"));
}

}  // namespace

// Launchers, keyed by the main window's menu items:
// - "Menu_Kaku_Hx": the binary view on AppState::TargetFilePath, which the opener sets
//   first (the main window: the document's name). The file dialog's "ﾊﾞｲﾅﾘ表示" button uses
//   the same launcher after setting TargetFilePath to its file (or calls ShowBinaryView of
//   binary/ui/Dump.h directly). Afterwards AppState::DumpActionCode tells the opener what
//   to do: 1 open, 2 open and print the dump file now named by TargetFilePath (and
//   DumpFilePath); the opener acts on it.
// - "Menu_Sea_Dump": the partial binary view of the selection in the parent's text area
//   (the main window's Text1).
// - "Menu_Trans_Kak": the restoration of the open binary display file; the parent, when it
//   is the main window, is its ViewerHost (status panel, Timer1, pointer), and its code
//   menu item "Menu_Disp_Nippon_0" switches the display to standard.
void RegisterBinaryWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Kaku_Hx")] = [&state](QWidget* parent) {
        ShowBinaryView(state, parent);
    };
    state.WindowCommands[QStringLiteral("Menu_Sea_Dump")] = [&state](QWidget* parent) {
        Dump2 view(state, SelectionOf(parent), parent);
        view.exec();
    };
    state.WindowCommands[QStringLiteral("Menu_Trans_Kak")] = [&state](QWidget* parent) {
        ViewerHost silent;
        QAction* standard =
            parent ? parent->findChild<QAction*>(QStringLiteral("Menu_Disp_Nippon_0")) : nullptr;
        RestoreDocumentCommand(state, HostOf(parent, silent), [standard] {
            if (standard && standard->isEnabled())
                standard->trigger();
        });
    };
}

}  // namespace kolbran
