#pragma once

#include "core/Prompter.h"
#include "editor/EditorText.h"

#include <QDialog>
#include <QMap>

class QAction;
class QComboBox;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QToolBar;

namespace kolbran {

struct AppState;
class ViewerHost;

// The simple editor: a window of lines of the open document, edited and written back into
// it with SpliceLines. Modal; the main window locks the document while it is open.
class KanEdit final : public QDialog {
    Q_OBJECT
public:
    // `heightBasis`: the main text area's height + 735 twips, in pixels.
    KanEdit(AppState& state, ViewerHost& host, QWidget* mainWindow, int heightBasis);

    // (Re)loads the range for the main view's top line; the error state on failure.
    void DispText();
    bool TextModified(const QPlainTextEdit* box) const;
    // Puts the main view back on AnchorLine (capped at the last possible top line).
    void SetVScroll();
    // The overwrite save. False only when the write-back failed (the text is kept).
    bool M_Line_S_Click();
    void M_E_SeaDown_Click();

    // The text as the file holds it (CR LF line ends, lone CR/LF as data).
    QString ModelText() const;
    // Selects model positions [start, start + length) in the box.
    void SelectModel(int start, int length);
    int ModelSelStart() const;
    int ModelSelLength() const;
    const EditRange& Range() const { return range_; }
    // Scrolls the text so that the anchor line is the first visible row.
    void ScrollToAnchor();
    // The write-back of the range; false after a failure (reported, text kept).
    bool WriteBack();
    // Re-indexes the document from `fromLine` after a write-back and locks it again.
    void Reopen(LineNumber fromLine);
    bool InErrorState() const { return errorState_; }
    int SymbolPalette() const { return symbolPalette_; }
    bool ClosePromptDone() const { return closePromptDone_; }
    AppState& State() { return state_; }
    ViewerHost& Host() { return host_; }
    void SetBusy(bool busy);

    QAction* Item(const QString& name) const { return items_.value(name); }
    QAction* Button(const QString& key) const { return buttons_.value(key); }

    // Controls, named as the form names them.
    QPlainTextEdit* Text1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QPushButton* Command1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QMenuBar* MenuBar = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void BuildMenus();
    void BuildToolbar();
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption,
                     const QKeySequence& shortcut = {});
    void Form_Load(QWidget* mainWindow, int heightBasis);
    void SetErrorState(bool messageShown);
    void FillFontLists();
    void Combo1_Click(int index);
    void Combo2_Click(int index);

    // Returns true when the window is to close.
    bool M_Line_Save_Click();
    // Save-and-close's question and write-back; true when the window is to close.
    bool SaveForClose();
    void M_Line_Max_Click();
    void M_Edit_Opening();
    void M_E_C_Click();
    void M_E_V_Click();
    void M_E_Ido_Click(int index);
    void OpenChiKanF(int mode);
    void ChoosePalette(int palette);
    void InsertSymbol(int item);
    void InsertText(const QString& text);
    void Menu_H_K_Click(int index);
    MsgAnswer AskSaveChanges();

    AppState& state_;
    ViewerHost& host_;
    EditRange range_;
    bool errorState_ = false;
    bool closePromptDone_ = false;
    bool closing_ = false;
    int symbolPalette_ = 0;
    int replaceMode_ = 0;  // the search/replace dialog's mode: 0 none, 2 search, 3 replace
    QList<QMenu*> hideInError_;
    QMap<QString, QAction*> items_;
    QMap<QString, QAction*> buttons_;
};

}  // namespace kolbran
