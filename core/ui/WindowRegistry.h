#pragma once

namespace kolbran {

struct AppState;

// Each window library adds its launchers to AppState::WindowCommands, keyed by the
// objectName of the main-window menu item that opens the window (in its ui/Windows.cpp).
void RegisterSearchWindows(AppState& state);
void RegisterTransformWindows(AppState& state);
void RegisterBinaryWindows(AppState& state);
void RegisterSplitJoinWindows(AppState& state);
void RegisterBase64Windows(AppState& state);
void RegisterCompareWindows(AppState& state);
void RegisterImagesWindows(AppState& state);
void RegisterImageListWindows(AppState& state);
void RegisterOptionsWindows(AppState& state);
void RegisterPrintingWindows(AppState& state);
void RegisterHelpWindows(AppState& state);
void RegisterEditorWindows(AppState& state);
void RegisterDrawingWindows(AppState& state);
void RegisterMltPrtWindows(AppState& state);
void RegisterMltScanWindows(AppState& state);
void RegisterMltTranWindows(AppState& state);
void RegisterMltChiKWindows(AppState& state);

}  // namespace kolbran
