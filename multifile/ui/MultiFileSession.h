#pragma once

#include "viewer/ViewerHost.h"

#include <cstdint>

class QWidget;

namespace kolbran {

struct AppState;

// What a multi-file dialog does to the main window around its runs. The dialog's parent is
// the main window (its ViewerHost; a silent host otherwise). A run stops the main window's
// caret timer and puts it back afterwards; the loader's quiet mode is put back as it was found
// on every exit; closing the dialog clears the document state and resets the main window to
// its no-document state.
class MultiFileSession {
public:
    MultiFileSession(AppState& state, QWidget* parent);
    ~MultiFileSession();
    MultiFileSession(const MultiFileSession&) = delete;
    MultiFileSession& operator=(const MultiFileSession&) = delete;

    ViewerHost& Host() { return *host_; }

    // Remembers the timer's state and stops it; RestoreTimer puts the remembered state back.
    void StopTimer();
    void RestoreTimer();
    // The loader without progress, menu changes or messages of its own (the batch mode).
    void SetQuietLoad(bool quiet);
    // The dialog closes: the document state is cleared and the main window reset (once).
    void Finish();

private:
    AppState& state_;
    ViewerHost silent_;
    ViewerHost* host_;
    int16_t quietLoad_;
    bool timerStopped_ = false;
    bool timerWasOn_ = false;
    bool finished_ = false;
};

}  // namespace kolbran
