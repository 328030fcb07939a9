#pragma once

#include "core/ui/ModelessDialog.h"

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kolbran {

struct AppState;
class SearchView;

// The modeless search dialog: searches relative to the caret line and opens the result list.
class Kensaku final : public ModelessDialog {
    Q_OBJECT
public:
    // `openList` closes a shown result list and builds a new one.
    Kensaku(AppState& state, std::unique_ptr<SearchView> view, std::function<void()> openList,
            QWidget* parent = nullptr);
    ~Kensaku() override;

    // The opening from the Edit menu: the text pre-filled with SearchString.
    void Open();

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command3 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Check1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    // SearchString = Text1; false (after the empty-text handling) when it is empty.
    bool TakeSearchText();

    AppState& state_;
    std::unique_ptr<SearchView> view_;
    std::function<void()> openList_;
};

}  // namespace kolbran
