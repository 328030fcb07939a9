#include "core/ui/WindowRegistry.h"

#include "core/AppState.h"
#include "multifile/ui/MltDLine.h"
#include "multifile/ui/MltTran.h"

#include <memory>

namespace kolbran {

void RegisterMltTranWindows(AppState& state)
{
    // The dialogs' remembered choices live as long as the launchers, i.e. while the program runs.
    auto tran = std::make_shared<MltTranMemory>();
    state.WindowCommands[QStringLiteral("Menu_Trans_MltNip")] = [&state, tran](QWidget* parent) {
        MltTran dialog(state, *tran, parent);
        dialog.exec();
    };
    auto lines = std::make_shared<MltDLineMemory>();
    state.WindowCommands[QStringLiteral("Menu_Trans_MltEye")] = [&state, lines](QWidget* parent) {
        MltDLine dialog(state, *lines, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
