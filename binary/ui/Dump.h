#pragma once

#include "binary/BinaryRuns.h"
#include "binary/DumpFormat.h"

#include <QDialog>
#include <QList>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QScrollBar;

namespace kolbran {

struct AppState;

// Opens the binary view modally on AppState::TargetFilePath. This is the launcher of both
// openers: the main window's "ﾊﾞｲﾅﾘ表示(&D)..." (Menu_Kaku_Hx, which sets TargetFilePath to
// the document first) and the file dialog's "ﾊﾞｲﾅﾘ表示" button (which sets TargetFilePath to
// its file and calls this directly). An empty file is refused with its warning and 0 is
// returned. Otherwise returns the view's action code, also left in AppState::DumpActionCode:
// 0 nothing, 1 open the dump file just written, 2 open and print it, −1 the view failed
// while opening. For 1 and 2 that file's path is put in TargetFilePath (and DumpFilePath);
// acting on the code is the opener's part.
int ShowBinaryView(AppState& state, QWidget* parent);

// The binary view: pages of dump lines of a file, read afresh one 512-byte record at a
// time, and the writers of the dump, binary display and extended binary display files.
class Dump final : public QDialog {
    Q_OBJECT
public:
    explicit Dump(AppState& state, QWidget* parent = nullptr);

    // Set when the view closes: see ShowBinaryView.
    int ActionCode() const { return actionCode_; }
    int64_t CurrentPage() const { return currentPage_; }
    int64_t PageCount() const;

    // Controls, named as the form names them.
    QPlainTextEdit* Text1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;

protected:
    void done(int result) override;

private:
    void BuildMenus();
    QAction* AddAction(QMenu* menu, const QString& name, const QString& caption);

    void Form_Load();
    void Form_Unload();
    QString ChooseTarget(OutputKind kind);
    void M_16_Save_Click();
    void M_16_disp_Click(int action);
    void M_16_By_Click();
    void M_16_Kaku_Click();
    void M_16_Kgyou_Click(int index);
    void M_16_End_Click();
    void Page_Click(PageCommand command);
    void M_O_16_Click();
    void M_O_32_Click();
    void M_O_256_Click();
    void M_O_512_Click();
    void M_O_BorS_Click(int index);
    void M_O_CODE_Click(int index);
    void M_Help_Ka_Click(int index);
    void HScroll1_Change(int value);

    void ApplyPageLayout();
    void SetFontSize(double size);
    void ShowPage(int64_t page);
    void SetScrollQuietly(int value);
    // Runs a writer as a long run (its menus disabled, the hourglass shown).
    enum class WriterEnd { Complete, Stopped, Failed };
    WriterEnd RunWriter(const std::function<int64_t()>& run, int64_t total);

    AppState& state_;
    DumpLayout layout_;
    int64_t fileSize_ = 0;
    int64_t recordCount_ = 0;
    int64_t currentPage_ = 0;
    bool pageShown_ = false;
    double baseSize_ = 10;
    double fontSize_ = 10;
    int extendedLineLength_ = 100;
    int actionCode_ = 0;
    bool running_ = false;
    bool unloaded_ = false;

    QAction* M_O_16 = nullptr;
    QAction* M_O_32 = nullptr;
    QAction* M_O_256 = nullptr;
    QAction* M_O_512 = nullptr;
    QList<QAction*> M_16_Kgyou;  // 0..4
    QList<QAction*> M_O_BorS;    // 1, 2 (index 0 unused)
    QList<QAction*> M_O_CODE;    // 0..2
};

}  // namespace kolbran
