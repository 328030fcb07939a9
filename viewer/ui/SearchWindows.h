#pragma once

#include <memory>

class QWidget;

namespace kolbran {

struct AppState;
class SearchView;

// The main window as the searches see it: its text area (positions counted with CR LF
// line ends, as the screen text has them), scroll bar, caret line, status panel 1 and
// pointer. Without a main window every call does nothing.
std::unique_ptr<SearchView> MainWindowSearchView(QWidget* mainWindow);

// Opens the search dialog (or brings the open one forward with the search text).
void OpenSearchDialog(AppState& state, QWidget* mainWindow);
// Closes a shown result list and builds a new one for the search text.
void OpenResultList(AppState& state, QWidget* mainWindow);
// Closes the result list and the search dialog (AppState::CloseSearchWindows).
void CloseSearchWindows(AppState& state);

}  // namespace kolbran
