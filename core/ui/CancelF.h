#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QPushButton;

namespace kolbran {

struct AppState;

// The progress bar of the wait window: a box filled from 0 to the position, on the scale
// of the run's total (64-bit: whole files of any size).
class CancelFProgress final : public QWidget {
public:
    explicit CancelFProgress(QWidget* parent = nullptr);
    void SetProgress(int64_t position, int64_t total);
    int64_t Position() const { return position_; }
    int64_t Total() const { return total_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int64_t position_ = 0;
    int64_t total_ = 0;
};

// The shared wait window of the long whole-file runs: shown without blocking while the run
// goes on and yields; "取　消" (and equally its title-bar close and Escape) closes it and sets
// CancelRequested, which the run polls after each yield.
class CancelF final : public QDialog {
    Q_OBJECT
public:
    explicit CancelF(AppState& state, QWidget* parent = nullptr);

    // Clears CancelRequested, then shows the window centred on the screen.
    void Open();
    // The run's progress: the bar at `position` of `total`.
    void SetProgress(int64_t position, int64_t total);
    // The status text under the wait message (Label1).
    void SetStatusText(const QString& text);
    // Closes the window at the run's end without setting CancelRequested.
    void Finish();

    void Command1_Click();

    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    CancelFProgress* Picture1 = nullptr;
    QPushButton* Command1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    AppState& state_;
};

}  // namespace kolbran
