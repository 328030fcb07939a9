#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "help/ui/HelpMenu.h"
#include "help/ui/Vrfrm.h"

namespace kolbran {

void RegisterHelpWindows(AppState& state)
{
    // The help window opens from any parent (the main window's help items, the binary
    // view's), with AppState::HelpRequestIndex set by the caller.
    state.WindowCommands[QStringLiteral("Menu_H_M")] = [&state](QWidget* parent) {
        HelpMenu dialog(state, parent);
        dialog.exec();
    };
    state.WindowCommands[QStringLiteral("Menu_H_V")] = [&state](QWidget* parent) {
        Vrfrm dialog(state, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
