#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;
class QComboBox;
class QFrame;
class QLabel;
class QRadioButton;
class QScrollBar;
class QStackedLayout;

namespace kolbran {

struct AppState;

// The options dialog "属  性": four pages of the user settings. OK writes them into
// ViewerSettings and sets SettingsChanged; the main window applies them.
class Hyouji final : public QDialog {
    Q_OBJECT
public:
    // `optionsPage` is the page shown last when OK was pressed (kept by the opener).
    Hyouji(AppState& state, int& optionsPage, QWidget* parent = nullptr);

    int CurrentPage() const { return page_; }
    void ShowPage(int page);
    // The realised size of each nominal size of Combo2, for the text area's font.
    const std::array<double, 7>& RealisedSizes() const { return realised_; }

    std::array<QLabel*, 4> Label5{};
    std::array<QFrame*, 4> Picture1{};
    QScrollBar* HScroll4;
    QLabel* Label16;
    QComboBox* Combo1;
    QComboBox* Combo2;
    std::array<QRadioButton*, 2> Option4{};
    std::array<QScrollBar*, 3> HScroll5{};
    std::array<QLabel*, 3> Label3{};
    QLabel* Label2;
    std::array<QRadioButton*, 2> Option5{};
    QCheckBox* Check2;
    QScrollBar* HScroll1;
    QLabel* Label9;
    std::array<QRadioButton*, 2> Option3{};
    QRadioButton* Option1;
    QRadioButton* Option2;
    QScrollBar* HScroll2;
    QScrollBar* HScroll3;
    QLabel* Label11;
    std::array<QComboBox*, 2> Combo3{};
    QComboBox* Combo4;
    QPushButton* Command1;
    QPushButton* Command2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Command1_Click();
    void Option4_Click();
    void HScroll5_Change();
    void UpdateSample();

    AppState& state_;
    int& optionsPage_;
    int page_ = 0;
    QStackedLayout* pages_ = nullptr;
    std::array<double, 7> realised_{};
    int32_t sampleFore_ = 0;  // 0x00BBGGRR
    int32_t sampleBack_ = 0;
    bool loadingSliders_ = false;
};

// The colour of a stored value: only its low 24 bits (red, green, blue) count.
int32_t ColorValue(int64_t stored);

}  // namespace kolbran
