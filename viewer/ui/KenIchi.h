#pragma once

#include "core/LineIndex.h"

#include "core/ui/ModelessDialog.h"
#include <QStringList>

#include <memory>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace kolbran {

struct AppState;
class SearchView;

// The modeless result list: every line of the document that holds the search text, with
// jump, clipboard copy and save.
class KenIchi final : public ModelessDialog {
    Q_OBJECT
public:
    KenIchi(AppState& state, std::unique_ptr<SearchView> view, QWidget* parent = nullptr);
    ~KenIchi() override;

    // Shows the window and builds the list.
    void Open();
    // Searches the document and fills the list (the event loop runs meanwhile).
    void Form_Load();
    // Shows result i in the main window.
    void ShowResult(int i);

    const std::vector<LineNumber>& ResultLines() const { return resultLines_; }
    const QStringList& Entries() const { return entries_; }

    QLabel* Label4 = nullptr;
    QListWidget* List1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AddEntry(LineNumber line, const QString& text);
    void List1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Form_Unload();
    void ReportFailure(const QString& where, int number);

    AppState& state_;
    std::unique_ptr<SearchView> view_;
    std::vector<LineNumber> resultLines_;
    QStringList entries_;
    QString savedDirectory_;
    bool building_ = false;
    bool closePending_ = false;
    bool unloaded_ = false;
};

}  // namespace kolbran
