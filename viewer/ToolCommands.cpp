#include "core/ToolRegistry.h"

namespace kolbran {

void RegisterViewerToolCommands(ToolRegistry& registry)
{
    Q_UNUSED(registry);
}

}  // namespace kolbran
