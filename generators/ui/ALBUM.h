#pragma once

#include <QDialog>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kolbran {

struct AppState;
class DriveList;
class FileList;
class FolderList;

// The album dialog: writes an HTML page of the pictures of one folder.
class ALBUM final : public QDialog {
    Q_OBJECT
public:
    explicit ALBUM(AppState& state, QWidget* parent = nullptr);
    ~ALBUM() override;

    void Command4_Click();    // run
    void M_File_NameSave_Click();
    // The text of the page as it is saved (CR LF line ends).
    QString PageText() const;

    DriveList* Drive1;
    FolderList* Dir1;
    FileList* File1;
    QComboBox* Combo1;
    QLabel* Label2;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QComboBox* Combo2;
    QCheckBox* Check1;
    QLineEdit* Text1;
    QPlainTextEdit* Text3;
    QPushButton* Command4;
    QPushButton* Command2;
    QAction* M_File_EXE;
    QAction* M_File_NameSave;
    QAction* M_File_Close;
    QAction* M_Help_TABLE;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Combo1_Click();
    void Dir1_Change(const QString& folder);
    void Drive1_Change(const QString& root);
    void ShowCount();
    void StoreSettings();

    AppState& state_;
    int albumType_ = 0;
    int runStage_ = 0;
    QString startFolder_;
};

}  // namespace kolbran
