#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "splitjoin/ui/BN_main.h"

namespace kolbran {

void RegisterSplitJoinWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Kaku_Bunketsu")] = [&state](QWidget* parent) {
        BN_main dialog(state, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
