#pragma once

namespace kolbran {

struct AppState;

// Each window library adds its launchers to AppState::WindowCommands, keyed by the
// objectName of the main-window menu item that opens the window (in its ui/Windows.cpp).
void RegisterSearchWindows(AppState& state);
void RegisterBinaryWindows(AppState& state);
void RegisterSplitJoinWindows(AppState& state);
void RegisterBase64Windows(AppState& state);
void RegisterImagesWindows(AppState& state);
void RegisterDrawingWindows(AppState& state);

}  // namespace kolbran
