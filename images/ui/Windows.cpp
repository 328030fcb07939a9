#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"

namespace kolbran {

void RegisterImagesWindows(AppState& state)
{
    Q_UNUSED(state);
}

}  // namespace kolbran
