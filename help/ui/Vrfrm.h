#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kolbran {

struct AppState;

// The version box: title and version, the system-information button, and the three
// debug flags (written when it is closed with its button).
class Vrfrm final : public QDialog {
    Q_OBJECT
public:
    Vrfrm(AppState& state, QWidget* parent = nullptr);

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    std::array<QCheckBox*, 4> Check3{};  // 1..3
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    AppState& state_;
};

}  // namespace kolbran
