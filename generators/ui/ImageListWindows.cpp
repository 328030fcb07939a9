#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "generators/ui/PhotoPrt.h"

namespace kolbran {

// "画像一覧(&P)...": the image list, modal over the main window.
void RegisterImageListWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Kaku_Photo")] = [&state](QWidget* parent) {
        ShowImageList(state, parent);
    };
}

}  // namespace kolbran
