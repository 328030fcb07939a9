#include "core/ToolRegistry.h"

namespace kolbran {

void RegisterSearchToolCommands(ToolRegistry& registry)
{
    Q_UNUSED(registry);
}

}  // namespace kolbran
