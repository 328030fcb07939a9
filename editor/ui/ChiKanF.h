#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kolbran {

class KanEdit;

// The editor's search (mode 2) and replace (mode 3) dialog. Replace-next and replace-all
// work on the editor's text; the whole-file replacement runs ChiKanAll over the document.
class ChiKanF final : public QDialog {
    Q_OBJECT
public:
    ChiKanF(KanEdit& editor, int mode);

    int Mode() const { return mode_; }
    // The 1-based position where the next replace-next or replace-all search starts.
    int SearchPosition() const { return position_; }
    bool Running() const { return running_; }

    QCheckBox* Check1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Command6_Click();
    // One replace-next step; false when nothing more was found.
    bool ReplaceNext(bool quiet);
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void NotFound(const QString& text);

    KanEdit& editor_;
    int mode_;
    int position_ = 1;
    bool running_ = false;
    bool closeAfterRun_ = false;
    QString savedSearch_;
};

}  // namespace kolbran
