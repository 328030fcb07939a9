#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "multifile/ui/MltPRT.h"

#include <QWidget>

namespace kolbran {

void RegisterMltPrtWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Kaku_MltPRT")] = [&state](QWidget* parent) {
        MltPRT dialog(state, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
