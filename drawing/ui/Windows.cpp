#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "drawing/ui/Byouga.h"

namespace kolbran {

void RegisterDrawingWindows(AppState& state)
{
    // 描画: modal over the main window; it draws the document once it shows.
    state.WindowCommands[QStringLiteral("Menu_Trans_Byg")] = [&state](QWidget* parent) {
        Byouga window(state, parent);
        window.exec();
    };
}

}  // namespace kolbran
