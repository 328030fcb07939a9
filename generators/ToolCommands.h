#pragma once

namespace kolbran {

class ToolRegistry;

// album, calendar and csv.
void RegisterGeneratorsToolCommands(ToolRegistry& registry);

}  // namespace kolbran
