#include "core/ui/WindowRegistry.h"

#include "base64/Base64.h"
#include "base64/ui/Decode.h"
#include "core/AppState.h"
#include "viewer/ui/BubunPrt.h"

#include <QApplication>

namespace kolbran {

void RegisterBase64Windows(AppState& state)
{
    // The conversion dialog in binary-display mode (0) and in BASE64 mode (2).
    const auto open = [&state](int mode) {
        return [&state, mode](QWidget* parent) {
            state.DecodeMode = mode;
            Decode dialog(state, parent);
            dialog.exec();
        };
    };
    state.WindowCommands[QStringLiteral("Menu_Kaku_ByFuku")] = open(0);
    state.WindowCommands[QStringLiteral("Menu_Kaku_Decode")] = open(2);
    // The line-range dialog in its BASE64 mode: the chosen lines decoded into a new file.
    state.WindowCommands[QStringLiteral("Menu_Edit_Line_4")] = [&state](QWidget* parent) {
        BubunPrt dialog(state, parent, [&state](LineNumber first, LineNumber last) {
            bool hourglass = false;
            const LineDecodeOutcome outcome = DecodeBase64Lines(
                state, first, last,
                [&] {
                    QApplication::setOverrideCursor(Qt::WaitCursor);
                    hourglass = true;
                },
                [&] {
                    if (hourglass)
                        QApplication::restoreOverrideCursor();
                    hourglass = false;
                });
            if (hourglass)
                QApplication::restoreOverrideCursor();
            return outcome == LineDecodeOutcome::Close;
        });
        dialog.exec();
    };
}

}  // namespace kolbran
