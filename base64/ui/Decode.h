#pragma once

#include "core/ui/RunDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kolbran {

struct AppState;

// The conversion dialog: binary display files (DecodeMode 0: create B or K, restore) or
// BASE64 (DecodeMode 2: encode, decode) for a file named in it.
class Decode final : public RunDialog {
    Q_OBJECT
public:
    explicit Decode(AppState& state, QWidget* parent = nullptr);

    // 1 create, 2 restore, 3 encode, 4 decode; 0 before a choice.
    int OperationType() const { return type_; }

private:
    void Form_Load();
    void Command5_Click(int index);
    void Command3_Click();
    void Command2_Click();
    void SetPrompt(const QString& text);
    void ShowProgress(qint64 position, qint64 total);
    void SetRunning(bool running);

    AppState& state_;
    int mode_ = 0;
    int type_ = 0;

    QPushButton* Command5_1;
    QPushButton* Command5_2;
    QPushButton* Command5_3;
    QCheckBox* Check4;
    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command1;
    QLabel* Picture2;
    QProgressBar* Picture1;
    QLabel* Label2;
};

}  // namespace kolbran
