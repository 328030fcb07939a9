#include "core/AppState.h"
#include "core/ui/WindowRegistry.h"
#include "viewer/ui/BubunPrt.h"
#include "viewer/ui/LineSea.h"
#include "viewer/ui/LogFile.h"
#include "viewer/ui/TransformCommands.h"

namespace kolbran {

void RegisterTransformWindows(AppState& state)
{
    const std::pair<const char*, TransformKind> commands[] = {
        {"Menu_Trans_Nif", TransformKind::DeleteLines}, {"Menu_Trans_Mm", TransformKind::RightTrim},
        {"Menu_Trans_By", TransformKind::WordWrap},     {"Menu_Trans_Bb", TransformKind::ToCrLf},
        {"Menu_Trans_B1", TransformKind::ToLf},         {"Menu_Trans_B2", TransformKind::RemoveLineEnds},
        {"Menu_Trans_Nippon", TransformKind::SaveCode},
    };
    for (const auto& [item, kind] : commands)
        state.WindowCommands[QString::fromLatin1(item)] = [&state, kind = kind](QWidget* parent) {
            RunTransformCommand(state, qobject_cast<LogFile*>(parent), kind);
        };
    state.WindowCommands[QStringLiteral("Menu_Trans_Eye")] = [&state](QWidget* parent) {
        LineSea dialog(state, parent);
        dialog.exec();
    };
    // Copy (0) and delete (1); the BASE64 module registers its decode (4) under its item.
    state.WindowCommands[QStringLiteral("Menu_Edit_Line")] = [&state](QWidget* parent) {
        BubunPrt dialog(state, parent);
        dialog.exec();
    };
}

}  // namespace kolbran
