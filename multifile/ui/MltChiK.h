#pragma once

#include "multifile/ui/MultiFileSession.h"

#include "core/ui/RunDialog.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace kolbran {

struct AppState;
class FileSetControls;

// 複数ファイル文字列置換: replaces a string, or half-width katakana or Latin letters by their
// full-width forms, in each selected file of a folder, and logs every changed line.
class MltChiK final : public RunDialog {
    Q_OBJECT
public:
    MltChiK(AppState& state, QWidget* parent);
    ~MltChiK() override;

    FileSetControls* Sets = nullptr;
    QTabBar* TabStrip1 = nullptr;
    std::array<QLineEdit*, 2> Text1{};  // 0 the search text, 1 the replacement
    QComboBox* Combo2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;  // " n / total"
    QProgressBar* Picture1 = nullptr;

    // 0 string, 1 katakana, 2 Latin letters.
    int Mode() const { return mode_; }

    void Command1_Click();

protected:
    void Closing() override;

private:
    void TabStrip1_Click(int index);
    void Combo2_Click(int index);
    void AppendLog(const QString& text);
    void SetProgressVisible(bool visible);
    bool Step(int64_t done, int64_t total);

    AppState& state_;
    MultiFileSession session_;
    QStackedWidget* pages_ = nullptr;
    int mode_ = 0;
};

}  // namespace kolbran
