#pragma once

namespace kolbran {

struct AppState;

// The album, the calendar and the CSV table, under the main window's menu items.
void RegisterGeneratorsWindows(AppState& state);

}  // namespace kolbran
