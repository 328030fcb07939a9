#include "core/ui/WindowRegistry.h"

#include "compare/ui/COMP.h"
#include "core/AppState.h"

namespace kolbran {

void RegisterCompareWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Kaku_Comp")] = [&state](QWidget* parent) {
        COMP dialog(state, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
