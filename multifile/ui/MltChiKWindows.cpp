#include "core/AppState.h"
#include "core/ui/WindowRegistry.h"
#include "multifile/ui/MltChiK.h"

namespace kolbran {

void RegisterMltChiKWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Trans_MltChi")] = [&state](QWidget* parent) {
        MltChiK dialog(state, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
