#pragma once

#include <QString>

#include <array>

namespace kolbran {

struct AppState;
class ViewerHost;

// The state of the code menu Menu_Disp_Nippon after a choice.
struct CodeChoiceResult {
    std::array<bool, 10> checked{};  // by item index; items 0, 1, 2, 3 and 9 exist
    QString statusText;              // what status panel 1 shows
};

// The check marks of the code menu with item `code` chosen.
std::array<bool, 10> CodeMenuChecks(int code);

// Choosing display code `code` (0, 1, 2, 3 or 9) from the code menu: DisplayCode = code,
// Timer1 stopped, the EBCDIK table ready for code 3, TopLine from the scroll value
// `scrollValue`, the screen redrawn (host.DrawScreen), entry 0 of DisplayCodeNames set
// ("Unicode" for a UTF-16 document, else empty), status panel 1 the code's name, Timer1
// restarted. Returns the menu's check marks and panel 1's text. Other values change nothing.
CodeChoiceResult ChooseDisplayCode(AppState& state, ViewerHost& host, int code, int scrollValue);

}  // namespace kolbran
