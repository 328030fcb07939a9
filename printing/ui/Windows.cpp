#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "printing/ui/PrtSet.h"

#include <QWidget>

namespace kolbran {

void RegisterPrintingWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_File_Print")] = [&state](QWidget* parent) {
        // Modal: the main window takes no input while the dialog is open.
        PrtSet dialog(state, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
