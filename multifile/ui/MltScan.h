#pragma once

#include "core/ui/RunDialog.h"
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kolbran {

struct AppState;
class FileSetControls;
class MultiFileSession;
struct MultiSearchOutcome;

// The multi-file search "複数ファイル検索": every line holding the search text in the files
// of a folder (or of its whole tree), listed as name:0012:text and saved as a text file.
class MltScan final : public RunDialog {
    Q_OBJECT
public:
    explicit MltScan(AppState& state, QWidget* parent = nullptr);
    ~MltScan() override;

    // The results as the box shows them, with their CR LF ends (what Command1 saves).
    const QString& Results() const { return results_; }
    // The pattern chosen in the last run that searched a file (kept while the program runs).
    static int RememberedPattern();

    FileSetControls* Sets = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* Label3 = nullptr;  // the percentage
    QLabel* Label4 = nullptr;  // the file being read or searched
    QProgressBar* Picture1 = nullptr;
    QLabel* Label5 = nullptr;
    QPlainTextEdit* Text3 = nullptr;

protected:
    void Closing() override;

private:
    void Check1_Click();
    void Check2_Click();
    void Command4_Click();
    void Command1_Click();
    void Command3_Click();

    // The set of the run (false when the walk failed or was cancelled); paths and names.
    bool BuildSet(QStringList* paths, QStringList* names);
    MultiSearchOutcome SearchSet(const QStringList& paths, const QStringList& names, const QString& needle,
                                 QString* into);
    void Prepare();
    void Finish();
    void AppendToBox(const QString& text);
    void FlushBox();

    AppState& state_;
    std::unique_ptr<MultiFileSession> session_;
    int displayCode_ = 0;
    QString results_;
    QString pending_;  // results not yet in the box
    QElapsedTimer shown_;
};

}  // namespace kolbran
