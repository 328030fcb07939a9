#pragma once

#include "multifile/ui/MultiFileSession.h"
#include "printing/PrintAttributes.h"

#include "core/ui/RunDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kolbran {

struct AppState;
class FileSetControls;

// The multi-file print "複数ファイル印刷": each selected file of a folder printed as a job
// of its own, from page 1, on the chosen printer (or into "<file name>.pdf" beside it when
// there is no printer).
class MltPRT final : public RunDialog {
    Q_OBJECT
public:
    MltPRT(AppState& state, QWidget* parent = nullptr);
    ~MltPRT() override;

    bool Printing() const { return Running(); }

    FileSetControls* Files;
    QComboBox* Combo3;   // font name
    QComboBox* Combo2;   // font size
    QLabel* Label4;      // the sample
    QLabel* Label5;      // lines per page
    QCheckBox* Check1;   // header
    QCheckBox* Check3;   // line numbers
    QCheckBox* Check2;   // two columns
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label3;      // the file being printed
    QProgressBar* Picture1;

protected:
    void Closing() override;

private:
    void Form_Load();
    void Combo_Change();
    void Command1_Click();
    PrintAttributes Choices() const;

    AppState& state_;
    MultiFileSession session_;
    int displayCode_ = 0;
    QString fontName_;
    double fontSize_ = 10.5;
};

}  // namespace kolbran
