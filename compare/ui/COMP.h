#pragma once

#include "core/ui/RunDialog.h"
#include <QString>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kolbran {

struct AppState;
enum class ComparePhase;

// The file compare dialog "ﾌｧｲﾙ ｺﾝﾍﾟｱ": compares an old and a new text file and lists
// the differences, which can be saved as a text file.
class COMP final : public RunDialog {
    Q_OBJECT
public:
    explicit COMP(AppState& state, QWidget* parent = nullptr);

    // The listing as the result box shows it (what Command5 saves).
    const QString& Listing() const { return listing_; }

private:
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Browse(QLineEdit* box, const QString& title);
    void Run();
    void SetRunning(bool running);
    bool Step(ComparePhase phase, qint64 done, qint64 total);
    void FlushListing();

    AppState& state_;
    QString listing_;
    QString pending_;  // listing text not yet in the result box
    int shownPhase_ = -1;
    int shownValue_ = -1;

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* Command3;
    QLabel* Label3_0;
    QLineEdit* Text4;
    QLabel* Label3_1;
    QLineEdit* Text5;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command2;
    QProgressBar* Picture1;
    QLabel* Shinchoku;
    QPlainTextEdit* Text3;
};

}  // namespace kolbran
