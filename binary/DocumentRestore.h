#pragma once

#include <functional>

namespace kolbran {

struct AppState;
class ViewerHost;

// "ﾊﾞｲﾅﾘﾌｧｲﾙの復元(&G)...": restores the bytes of the binary display file (or extended one)
// open in the main window into a file named in a save dialog. The document is read as
// stored (display code standard), progress goes to status panel 1, Timer1 is off during
// the run, and the outcome is reported in a message titled "ﾊﾞｲﾅﾘ復元". `chooseStandardCode`
// switches the main window's code menu to "標準"; without it only DisplayCode becomes 0.
void RestoreDocumentCommand(AppState& state, ViewerHost& host,
                            const std::function<void()>& chooseStandardCode = {});

}  // namespace kolbran
