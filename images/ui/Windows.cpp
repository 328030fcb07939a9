#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "images/ui/FileIO2.h"

namespace kolbran {

namespace {
// The file dialog in one of its three modes, modal over the main window.
std::function<void(QWidget*)> FileDialogLauncher(AppState& state, int mode)
{
    return [&state, mode](QWidget* parent) {
        state.FileDialogMode = mode;
        FileIO2 dialog(state, parent);
        dialog.exec();
    };
}
}  // namespace

void RegisterImagesWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_File_Open")] = FileDialogLauncher(state, 0);
    state.WindowCommands[QStringLiteral("Menu_File_New")] = FileDialogLauncher(state, 1);
    state.WindowCommands[QStringLiteral("Menu_File_Save")] = FileDialogLauncher(state, 2);
}

}  // namespace kolbran
