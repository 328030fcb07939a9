#pragma once

#include "viewer/Transforms.h"

#include <QObject>
#include <QPointer>
#include <QList>

class QMenu;
class QWidget;

namespace kolbran {

struct AppState;
class LogFile;

// While a long run of the main window yields, nothing may start another run, change the
// document or close it: the menus, the toolbar and file drops are off; closing the window
// cancels the run and closes it once the run has ended. The run's end clears only what
// the run set.
class MainWindowRunGuard final : public QObject {
public:
    MainWindowRunGuard(AppState& state, LogFile* window);
    ~MainWindowRunGuard() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppState& state_;
    QPointer<LogFile> window_;
    QList<QPointer<QWidget>> disabled_;
    QList<QPointer<QObject>> watched_;
    bool closeRequested_ = false;
};

// The Trans menu's commands on the open document: the guards, the question, the wait
// window, the rewrite and the reopening at the same scroll position.
void RunTransformCommand(AppState& state, LogFile* window, TransformKind kind);

// The rewrite's end: the document closed as the File menu closes it, indexed and shown
// again, the scroll value set back (limited to the new maximum).
void ReopenAtSameScroll(AppState& state, LogFile* window, const QString& name, int scrollValue);

}  // namespace kolbran
