#pragma once

#include <QDialog>

class QCloseEvent;

namespace kolbran {

struct AppState;

// A dialog whose runs yield to the event loop. Closing it while a run goes on (the title
// bar's close box, Escape, a close button) only cancels the run — BusyFlag is cleared — and
// the dialog closes once the run has ended (the run's end calls CloseIfAsked). Closing() is
// called once the dialog really closes.
class RunDialog : public QDialog {
    Q_OBJECT
public:
    explicit RunDialog(AppState& state, QWidget* parent = nullptr);

    bool Running() const { return running_; }

protected:
    void SetRunGoing(bool going) { running_ = going; }
    // Closes the dialog when a close was asked for during the run that just ended.
    void CloseIfAsked();
    bool CloseAsked() const { return closeAfterRun_; }

    // What the dialog does as it closes (after any run).
    virtual void Closing() {}

    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void AskClose();

    AppState& runState_;
    bool running_ = false;
    bool closeAfterRun_ = false;
};

}  // namespace kolbran
