#include "generators/ui/GeneratorsWindows.h"

#include "core/AppState.h"
#include "generators/ui/ALBUM.h"
#include "generators/ui/CSV.h"
#include "generators/ui/CalFm.h"

namespace kolbran {

void RegisterGeneratorsWindows(AppState& state)
{
    state.WindowCommands[QStringLiteral("Menu_Kaku_Album")] = [&state](QWidget* parent) {
        ALBUM dialog(state, parent);
        dialog.exec();
    };
    state.WindowCommands[QStringLiteral("Menu_Kaku_CalF")] = [&state](QWidget* parent) {
        CalFm dialog(state, parent);
        dialog.exec();
    };
    state.WindowCommands[QStringLiteral("Menu_Kaku_Csv")] = [&state](QWidget* parent) {
        OpenCsvWindow(state, parent);
    };
}

}  // namespace kolbran
