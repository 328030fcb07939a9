#pragma once

#include "core/ui/ModelessDialog.h"

#include <QString>

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kolbran {

struct AppState;

// The CSV table beside the main window: the open document split at a delimiter and shown
// with fixed-width columns.
class CSV final : public ModelessDialog {
    Q_OBJECT
public:
    explicit CSV(AppState& state, QWidget* parent = nullptr);

    // Shows the window and runs the analysis with the remembered delimiter.
    void Open();
    void Combo1_Click(int index);
    void Combo2_Click(int index);
    void Command1_Click();
    bool Running() const { return running_; }

    // Called before each line is read (tests make a run fail or act in the middle of it).
    std::function<void(qint64 line)> BeforeLine;

    QComboBox* Combo1;
    QComboBox* Combo2;
    QPlainTextEdit* Text1;
    std::array<QLabel*, 5> Label2{};
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Analyse(int delimiterIndex);
    void WriteTempFile(const QString& text);

    AppState& state_;
    bool running_ = false;
    bool closeRequested_ = false;
};

// Opens the CSV table of the open document (a running one is brought to the front).
void OpenCsvWindow(AppState& state, QWidget* mainWindow);

}  // namespace kolbran
