#include "core/ui/WindowRegistry.h"

#include "base64/ui/Decode.h"
#include "core/AppState.h"

namespace kolbran {

void RegisterBase64Windows(AppState& state)
{
    // The conversion dialog in binary-display mode (0) and in BASE64 mode (2).
    const auto open = [&state](int mode) {
        return [&state, mode](QWidget* parent) {
            state.DecodeMode = mode;
            Decode dialog(state, parent);
            dialog.exec();
        };
    };
    state.WindowCommands[QStringLiteral("Menu_Kaku_ByFuku")] = open(0);
    state.WindowCommands[QStringLiteral("Menu_Kaku_Decode")] = open(2);
}

}  // namespace kolbran
