#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <utility>

namespace kolbran {

struct AppState;

// One long run that yields to the event loop (a dump, a restore, a scan, a conversion…).
// While it lives: BusyFlag is set, AppState::RunsGoing counts it, and the commands given to
// Disable are disabled (those that could start another run, change what this one uses, or
// close it; never the one that cancels it). The first run to start calls
// AppState::RunsChanged(true), by which the main window disables its own commands; the
// last one to end calls RunsChanged(false).
//
// At its end the run puts back only what it changed: each command it disabled gets its
// earlier enabled state, and BusyFlag the value it had before (so an inner run's end never
// clears an outer run's flag). Cancelling is clearing BusyFlag, as before.
class LongRun {
public:
    explicit LongRun(AppState& state);
    ~LongRun();
    LongRun(const LongRun&) = delete;
    LongRun& operator=(const LongRun&) = delete;

    // A QAction or a QWidget (anything with an "enabled" property).
    void Disable(QObject* command);
    template <typename List>
    void DisableAll(const List& commands)
    {
        for (auto* c : commands)
            Disable(c);
    }
    // false once the run was cancelled (BusyFlag cleared).
    bool Going() const;

private:
    AppState& state_;
    bool outerBusy_;
    QList<std::pair<QPointer<QObject>, bool>> disabled_;
};

// true while any long run is going on.
bool RunGoing(const AppState& state);

}  // namespace kolbran
