#pragma once

#include "core/LineIndex.h"
#include "viewer/LineRange.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QScrollBar;

namespace kolbran {

struct AppState;
class LogFile;
class SearchView;

// The line-range dialog: a range of document lines, preset from the main window's
// selection, copied to the clipboard (LineRangeMode 0), deleted from the file (1) or
// decoded as BASE64 (4, the action given by the BASE64 module).
class BubunPrt final : public QDialog {
    Q_OBJECT
public:
    // Returns true when the dialog is to close afterwards.
    using DecodeAction = std::function<bool(LineNumber first, LineNumber last)>;

    BubunPrt(AppState& state, QWidget* mainWindow, DecodeAction decode = {});
    ~BubunPrt() override;

    void HScroll1_Change(int value);
    void HScroll2_Change(int value);
    void Command1_Click();  // copy
    void Command3_Click();  // delete
    void Command4_Click();  // decode
    LineNumber StartLine() const;
    LineNumber EndLine() const;
    const RangeBars& Bars() const { return bars_; }

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* HScroll2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command2 = nullptr;

private:
    void Form_Load();
    void CloseSearchList();

    AppState& state_;
    LogFile* window_;
    std::unique_ptr<SearchView> view_;
    DecodeAction decode_;
    RangeBars bars_;
};

}  // namespace kolbran
