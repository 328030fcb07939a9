#pragma once

#include <QMainWindow>

namespace kolbran {

struct AppState;

// The main window: the viewer.
class LogFile final : public QMainWindow {
    Q_OBJECT
public:
    LogFile(AppState& state, const QString& commandLine, QWidget* parent = nullptr);

private:
    AppState& state_;
};

}  // namespace kolbran
