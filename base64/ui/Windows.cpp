#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"

namespace kolbran {

void RegisterBase64Windows(AppState& state)
{
    Q_UNUSED(state);
}

}  // namespace kolbran
