#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"

namespace kolbran {

void RegisterSearchWindows(AppState& state)
{
    Q_UNUSED(state);
}

}  // namespace kolbran
