#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"

namespace kolbran {

void RegisterSplitJoinWindows(AppState& state)
{
    Q_UNUSED(state);
}

}  // namespace kolbran
