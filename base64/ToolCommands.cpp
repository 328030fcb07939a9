#include "core/ToolRegistry.h"

namespace kolbran {

void RegisterBase64ToolCommands(ToolRegistry& registry)
{
    Q_UNUSED(registry);
}

}  // namespace kolbran
