#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace kolbran {

struct AppState;

// The help window: the menu-bar explanation (six menu buttons) or a topic list, by the
// help request index.
class HelpMenu final : public QDialog {
    Q_OBJECT
public:
    HelpMenu(AppState& state, QWidget* parent = nullptr);

    QComboBox* Combo1;
    QPlainTextEdit* Text1;
    std::array<QPushButton*, 6> Command1{};
    QPushButton* Command2;

private:
    void Form_Load();
    void Combo1_Click();
    void Command1_Click(int index);

    AppState& state_;
};

}  // namespace kolbran
