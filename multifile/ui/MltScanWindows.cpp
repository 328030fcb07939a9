#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "multifile/ui/MltScan.h"

namespace kolbran {

void RegisterMltScanWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Kaku_MltScan")] = [&state](QWidget* parent) {
        MltScan dialog(state, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
