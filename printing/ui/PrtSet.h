#pragma once

#include "printing/PrintAttributes.h"

#include "core/ui/RunDialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace kolbran {

struct AppState;

// The print dialog: prints the open document (all of it or a range of lines), or, with no
// document, edits the print attributes alone ("印刷属性").
class PrtSet final : public RunDialog {
    Q_OBJECT
public:
    PrtSet(AppState& state, QWidget* parent = nullptr);

    bool AttributeMode() const { return attributeMode_; }
    bool Printing() const { return Running(); }

    QComboBox* Combo1;   // font name
    QComboBox* Combo2;   // font size
    QLabel* Label1;      // the sample
    QLabel* Label2;      // lines per page
    QGroupBox* Frame1;   // the range
    QRadioButton* Option1;
    QRadioButton* Option2;
    QScrollBar* HScroll1;
    QScrollBar* HScroll2;
    QLabel* Label3;      // start line
    QLabel* Label4;      // end line
    QLabel* Label5;      // lines to print
    QRadioButton* Option3_0;
    QRadioButton* Option3_1;
    QCheckBox* Check1_0;
    QCheckBox* Check1_1;
    QScrollBar* HScroll3;
    QLabel* Label6;      // start page number
    QCheckBox* Check3;
    QRadioButton* Option5_0;
    QRadioButton* Option5_1;
    QLineEdit* Text1;
    QCheckBox* Check2;
    QLabel* Label7;      // the "<NP>" note
    QCheckBox* Check4;
    QLabel* Label8;      // printer name
    QLabel* Label9;      // orientation
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command2;
    QPushButton* Command1;
    QGroupBox* Frame5;   // the wait frame
    QProgressBar* Picture1;
    QPushButton* Command5;

private:
    void Form_Load();
    void Combo_Change();
    void RangeChanged(bool startMoved);
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void ShowPrinter();
    void ShowRange();
    PrintAttributes Choices() const;
    int MarginChoice();
    void SetControlsEnabled(bool enabled);

    AppState& state_;
    bool attributeMode_ = false;
    double fontSize_ = 10.5;
    QString fontName_;
};

}  // namespace kolbran
