#include "core/ToolRegistry.h"

namespace kolbran {

void RegisterBinaryToolCommands(ToolRegistry& registry)
{
    Q_UNUSED(registry);
}

}  // namespace kolbran
