#include "core/ui/RunDialog.h"

#include "core/AppState.h"

#include <QCloseEvent>

namespace kolbran {

RunDialog::RunDialog(AppState& state, QWidget* parent) : QDialog(parent), runState_(state) {}

void RunDialog::AskClose()
{
    runState_.BusyFlag = false;
    closeAfterRun_ = true;
}

void RunDialog::CloseIfAsked()
{
    if (closeAfterRun_ && !running_) {
        closeAfterRun_ = false;
        close();
    }
}

void RunDialog::closeEvent(QCloseEvent* event)
{
    if (running_) {
        AskClose();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void RunDialog::done(int result)
{
    if (running_) {
        AskClose();
        return;
    }
    Closing();
    QDialog::done(result);
}

}  // namespace kolbran
