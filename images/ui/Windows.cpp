#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "images/ui/Betsu.h"
#include "images/ui/FileIO2.h"

#include <QPointer>

#include <memory>

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
// "Bit&Map": from the browser (OpenedFromBrowser 255) the image window runs modally on the
// picked file; from the main window it shows the open document beside it, one window at
// a time (a new open replaces the old window).
std::function<void(QWidget*)> ImageWindowLauncher(AppState& state)
{
    auto current = std::make_shared<QPointer<Betsu>>();
    return [&state, current](QWidget* parent) {
        if (state.OpenedFromBrowser == 255) {
            ShowImageWindow(state, parent);
            return;
        }
        if (*current)
            (*current)->close();
        state.TargetFilePath = state.doc.DocumentName;
        state.OpenedFromBrowser = 0;
        auto* window = new Betsu(state, parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setModal(false);
        *current = window;
        window->show();
    };
}
}  // namespace

void RegisterImagesWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_File_Open")] = FileDialogLauncher(state, 0);
    state.WindowCommands[QStringLiteral("Menu_File_New")] = FileDialogLauncher(state, 1);
    state.WindowCommands[QStringLiteral("Menu_File_Save")] = FileDialogLauncher(state, 2);
    state.WindowCommands[QStringLiteral("Menu_Kaku_Bit")] = ImageWindowLauncher(state);
}

}  // namespace kolbran
