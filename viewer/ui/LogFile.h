#pragma once

#include "viewer/ViewerHost.h"

#include <QMainWindow>
#include <QMap>
#include <QSet>

#include <cstdint>
#include <functional>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QScrollBar;
class QStatusBar;
class QTimer;
class QToolBar;

namespace kolbran {

struct AppState;

// The screen text as the text box shows it: a lone CR or LF (data, not a line end) becomes
// its control picture (U+240D, U+240A), so that rows and character positions stay the file's.
QString ShowLoneLineBreaks(QString text);

// The main window: the viewer. It builds its menus, toolbar and status bar (LogFileMenus.cpp),
// routes every command through one table (LogFileCommands.cpp), draws the screen and lays the
// controls out (LogFileScreen.cpp) and opens, closes and deletes documents
// (LogFileDocument.cpp).
//
// Menu items carry their names as objectName ("Menu_File_Open"); items of a control array
// add their index ("Menu_Edit_Line_1", "Menu_File_Fe_3", "Menu_Disp_Nippon_9", "Menu_H_M_4").
// Toolbar buttons carry their keys ("File_Open" … "Ver"). A tool is reached through
// AppState::WindowCommands under the item's objectName, or for an array item under the
// array's name ("Menu_Edit_Line", "Menu_H_M") after the hand-over value was set.
class LogFile final : public QMainWindow, public ViewerHost {
    Q_OBJECT
public:
    LogFile(AppState& state, const QString& commandLine, QWidget* parent = nullptr);
    ~LogFile() override;

    // --- what the loader and the tools ask of the window ---
    void SetStatusPanel(int panel, const QString& text) override;
    QString StatusPanel(int panel) const;
    void DrawScreen() override { DispR(); }
    void ResetToNoDocument(bool keepTextEnabled) override;
    void AfterOpen() override;
    void SetFileMenuEnabled(bool enabled) override;
    void SetDocumentCommandsEnabled(bool enabled) override;
    bool Timer1Enabled() const override;
    void SetTimer1Enabled(bool enabled) override;
    void SetScrollBarEnabled(bool enabled) override;
    void SetScrollLargeChange(int lines) override;
    void SetBusyCursor(bool busy) override;
    void ScrollToTopLine() override;

    // --- the viewport ---
    void DispR();
    void GyoDisp(int64_t line);
    void RetsuDisp(int64_t column);
    int64_t CaretLine() const { return caretLine_; }
    void LayOutWidths();
    // The vertical layout and the one height the window may have.
    void LayOutHeights();
    int WindowHeight() const { return windowHeight_; }
    int ScrollValue() const;
    // Moves the scroll bar (which redraws unless SuppressRedraw).
    void SetScrollValue(int value);
    void Timer1_Timer();
    void Timer2_Timer();
    bool AutoScrollRunning() const;

    // --- document commands other windows use ---
    void EnableForDocument();
    void EnableForNoDocument();
    // Opens a file as a drop or a recent file does; false when nothing was opened.
    bool OpenPath(const QString& path);
    void CloseDocument();
    // Checks item k of the display-code menu (0, 1, 2, 3, 9) and unchecks the others.
    void CheckDisplayCodeItem(int code);
    void Copy();
    void Menu_File_Quit_Click();

    // Runs the command of a menu item's objectName or a toolbar key; false when unknown.
    bool RunCommand(const QString& name);
    QAction* MenuItem(const QString& objectName) const;
    QAction* ToolButton(const QString& key) const;

Q_SIGNALS:
    // The window finished its unload; the program ends.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct LogFileCommandTable;

    // Start-up and shut-down.
    void BuildControls();
    void Form_Load(const QString& commandLine);
    void Form_Unload();
    void ApplySettingsToControls();
    void MeasureFont();
    void RunOpeningAnimation();

    // Menus, toolbar, status bar.
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption);
    QAction* AddSeparator(QMenu* menu, const QString& name = {});
    void RefreshRecentMenu();
    void Menu_Edit_Opening();
    void Menu_Trans_Opening();
    void ShowHelpMenuAt(const QPoint& globalPos);

    // The command table.
    void RouteCommands();
    bool HasLauncher(const QString& name) const;
    // An item is available when the window runs it itself or its tool is registered.
    bool IsAvailable(const QString& item) const;
    void ApplyAvailability();
    void ApplyOptions();
    void ReopenDocumentShared();
    bool LaunchTool(const QString& name, const QString& arrayName = {});
    void SetItemEnabled(const QString& name, bool enabled);
    void SetButtonEnabled(const QString& key, bool enabled);
    void Menu_File_Open_Click();
    void AfterBinaryView();
    void Menu_Edit_Line_Click(int index);
    void Menu_Edit_Edit_Click();
    void Menu_Kaku_Hx_Click();
    void Menu_Kaku_Csv_Click();
    void Menu_Disp_Hyoji_Click();
    void Menu_Disp_Nippon_Click(int code);
    void Menu_Disp_Nashi_Click();
    void Menu_Disp_Width_Click();
    void ToggleBar(int which);
    void Menu_Disp_Ari_Click();
    void Menu_File_Del_Click();
    void Menu_File_Fe_Click(int item);

    // Screen helpers.
    void VScroll1_Change(int value);
    bool Text1_KeyDown(QKeyEvent* event);
    void SyncScrollBar();
    void SmoothScrollStep();
    void SetCaretRowColumn(int row, int column);
    QString Text1Selection() const;
    void MoveLine5(int64_t column);
    void ShowSplitter(int x);
    void EndFitWidth();
    void SetFitWidthCaption();

    // Document helpers.
    void CommonOpen();
    void AddRecent();
    void DropFile(const QString& path, bool onText);
    void SetWindowDropTarget(bool on);
    void SetTextDropTarget(bool on);
    void CloseSearchWindows();
    void ShowResultList(bool visible);
    // A long run started (true) or the last one ended (false): see core/LongRun.h.
    void RunsChanged(bool going);
    // The width of the line-number list for the document's widest number.
    int LineNumberListWidth() const;

    AppState& state_;

    // Controls, named as the form names them.
    QWidget* Form_ = nullptr;  // the client area below the toolbar
    QPlainTextEdit* Text1 = nullptr;
    QListWidget* List1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QWidget* Picture4 = nullptr;
    QLabel* Label9 = nullptr;
    QFrame* Line5 = nullptr;
    QFrame* Line4 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* panels_[5] = {};
    QMenu* Menu_Help = nullptr;
    QMenu* Menu_Edit = nullptr;
    QMenu* Menu_Trans = nullptr;

    QMap<QString, QAction*> items_;    // by objectName
    QMap<QString, QAction*> buttons_;  // by key
    QMap<QString, std::function<void()>> commands_;
    QSet<QString> ownCommands_;
    QMap<QString, QString> buttonItems_;  // toolbar key → menu item

    // Window fields.
    int lineHeight_ = 16;
    int charWidth_ = 8;
    int windowHeight_ = 0;
    int listWidth_ = 60;
    int lastScrollValue_ = 1;
    int64_t shownCaretLine_ = -1;
    int64_t shownCaretColumn_ = -1;
    int64_t caretLine_ = 0;
    bool suppressRedraw_ = false;
    bool fitWidth_ = false;
    bool fitting_ = false;
    int savedWidth_ = 0;
    int savedLeft_ = 0;
    bool splitterShown_ = false;
    bool unloaded_ = false;
    bool windowDropTarget_ = true;
    bool scanning_ = false;       // this window's own scan of a document is the run going on
    bool closeAfterRun_ = false;  // the window was closed during a run: close when it ends
    // The menu bar's menus while a run goes on: disabled, with the state each should have
    // afterwards (the run may open a document, which enables them).
    QMap<QAction*, bool> runHeld_;
    void SetActionEnabled(QAction* action, bool enabled);
    QString pendingDrop_;         // dropped during the scan: opened when it has stopped
    bool pendingDropOnText_ = false;
};

}  // namespace kolbran
