#include "core/ToolRegistry.h"

namespace kolbran {

void RegisterSplitJoinToolCommands(ToolRegistry& registry)
{
    Q_UNUSED(registry);
}

}  // namespace kolbran
