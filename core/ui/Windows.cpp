#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "core/ui/Hyouji.h"

#include <memory>

namespace kolbran {

void RegisterOptionsWindows(AppState& state)
{
    // The page shown when OK was last pressed lives as long as the launcher (not stored).
    auto page = std::make_shared<int>(0);
    state.WindowCommands[QStringLiteral("Menu_Disp_Hyoji")] = [&state, page](QWidget* parent) {
        Hyouji dialog(state, *page, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
