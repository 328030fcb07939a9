#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace kolbran {

struct AppState;

// The split/join dialog "分割／結合": cuts a file into numbered pieces and joins them back.
class BN_main final : public QDialog {
    Q_OBJECT
public:
    explicit BN_main(AppState& state, QWidget* parent = nullptr);

    // 0 split, 1 join.
    int Mode() const { return mode_; }

protected:
    // Esc: ｷｬﾝｾﾙ while a file is being named (split or join), otherwise close.
    void reject() override;

private:
    void Form_Load();
    void Command1_Click(int index);
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void HScroll1_Change();
    void Text1_Change();
    // Both operation buttons shown, everything else hidden.
    void FirstState();

    AppState& state_;
    int mode_ = 0;
    QString browseFilter_;
    QString browseTitle_;

    QPushButton* Command1_0;
    QPushButton* Command1_1;
    QGroupBox* Frame1;
    QScrollBar* HScroll1;
    QLabel* Label4;
    QLabel* Label3;
    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command2;
    QLabel* Label2;
};

}  // namespace kolbran
