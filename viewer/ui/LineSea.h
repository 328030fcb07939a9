#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QScrollBar;

namespace kolbran {

struct AppState;
struct DeleteRule;

// The delete-line rules dialog "削除行の設定": a working list of key and count entries,
// stored in KOLBRAN.DAT only by "登録".
class LineSea final : public QDialog {
    Q_OBJECT
public:
    explicit LineSea(AppState& state, QWidget* parent = nullptr);

    void Command1_Click();  // 設定
    void Command3_Click();  // 全削除
    void Command4_Click();  // 登録
    void List1_Click(QListWidgetItem* item);
    void List1_DblClick(QListWidgetItem* item);
    // The rule an entry holds (its key and count, not re-read from its text).
    static DeleteRule EntryRule(const QListWidgetItem* item);

    QLineEdit* Text1 = nullptr;
    QLabel* Label1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label4 = nullptr;

private:
    void Form_Load();
    void AddEntry(const DeleteRule& rule);

    AppState& state_;
};

}  // namespace kolbran
