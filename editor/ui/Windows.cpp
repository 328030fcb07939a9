#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "core/Twips.h"
#include "editor/ui/KanEdit.h"
#include "viewer/ViewerHost.h"

#include <QPlainTextEdit>
#include <QWidget>

namespace kolbran {

// "Menu_Edit_Edit": the simple editor on the open document. The main window checks the
// display code and the read-only guard and locks the document before, and reopens it
// afterwards; the parent, when it is the main window, is its ViewerHost (re-indexing, the
// scroll bar, the screen) and its text area Text1 gives the height basis and the font.
void RegisterEditorWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Edit_Edit")] = [&state](QWidget* parent) {
        ViewerHost silent;
        auto* main = dynamic_cast<ViewerHost*>(parent);
        const auto* text =
            parent ? parent->findChild<QPlainTextEdit*>(QStringLiteral("Text1")) : nullptr;
        const int basis = (text ? text->height() : 480) + TwipsToPixels(735);
        KanEdit editor(state, main ? *main : silent, parent, basis);
        editor.exec();
    };
}

}  // namespace kolbran
