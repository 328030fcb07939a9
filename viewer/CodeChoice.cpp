#include "viewer/CodeChoice.h"

#include "core/AppState.h"
#include "core/JapaneseCodes.h"
#include "viewer/ScreenText.h"
#include "viewer/ViewerHost.h"

namespace kolbran {

std::array<bool, 10> CodeMenuChecks(int code)
{
    std::array<bool, 10> checked{};
    if (IsDisplayCode(code))
        checked[size_t(code)] = true;
    return checked;
}

CodeChoiceResult ChooseDisplayCode(AppState& state, ViewerHost& host, int code, int scrollValue)
{
    CodeChoiceResult result;
    if (!IsDisplayCode(code)) {
        result.checked = CodeMenuChecks(state.doc.DisplayCode);
        result.statusText = DisplayCodeName(state.doc.DisplayCode, state.doc.IsUtf16);
        return result;
    }
    result.checked = CodeMenuChecks(code);
    OpenDocument& doc = state.doc;
    doc.DisplayCode = code;
    host.SetTimer1Enabled(false);
    if (code == DisplayCode::Ebcdik)
        (void)EbcdikTable(DisplayCode::Ebcdik);
    const int lines = state.settings.LinesPerScreen > 0 ? state.settings.LinesPerScreen : 32;
    doc.TopLine = ScrollValueToTopLine(scrollValue, doc.LineCount, lines);
    host.DrawScreen();
    // Entry 0 follows the document; the other entries are the codes' names.
    auto& names = state.settings.DisplayCodeNames;
    names[0] = DisplayCodeName(0, doc.IsUtf16);
    for (int k : kDisplayCodes)
        if (k != 0 && names[size_t(k)].isEmpty())
            names[size_t(k)] = DisplayCodeName(k);
    result.statusText = names[size_t(code)];
    host.SetStatusPanel(1, result.statusText);
    host.SetTimer1Enabled(true);
    return result;
}

}  // namespace kolbran
