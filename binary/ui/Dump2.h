#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace kolbran {

struct AppState;

// The partial binary view: the text selected in the main window and its bytes in
// hexadecimal.
class Dump2 final : public QDialog {
    Q_OBJECT
public:
    // `selectedText`: the text selected in the main window's text area.
    Dump2(AppState& state, const QString& selectedText, QWidget* parent = nullptr);

    // The control array Text1: index 0 the selected text, index 1 the hexadecimal.
    QPlainTextEdit* Text1[2] = {nullptr, nullptr};
    QPushButton* Command1 = nullptr;

private:
    void Form_Load(const QString& selectedText);

    AppState& state_;
};

}  // namespace kolbran
