#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"

namespace kolbran {

void RegisterBinaryWindows(AppState& state)
{
    Q_UNUSED(state);
}

}  // namespace kolbran
