#pragma once

#include <QString>

namespace kolbran {

// What the document loader and the searches ask of the main window. The base class does
// nothing, which is what kolbran-tool and the quiet loads of the multi-file tools need;
// LogFile overrides it.
class ViewerHost {
public:
    virtual ~ViewerHost() = default;

    // Status-bar panel 1..5.
    virtual void SetStatusPanel(int panel, const QString& text) { (void)panel; (void)text; }
    // The screen refresh (DispR) for the document's current TopLine.
    virtual void DrawScreen() {}
    // The main window's no-document state; `textEnabled` keeps the text area enabled.
    virtual void ResetToNoDocument(bool textEnabled) { (void)textEnabled; }
    // The after-open update: line count, caption, scroll range, menus.
    virtual void AfterOpen() {}
    virtual void SetFileMenuEnabled(bool enabled) { (void)enabled; }
    // A tool's run that reads the document (the drawing window's load): its commands and
    // the ﾌｧｲﾙ, ｵﾌﾟｼｮﾝ and 変換 menus off meanwhile, on again afterwards.
    virtual void SetDocumentCommandsEnabled(bool enabled) { (void)enabled; }
    // The caret tracker Timer1.
    virtual bool Timer1Enabled() const { return false; }
    virtual void SetTimer1Enabled(bool enabled) { (void)enabled; }
    // The vertical scroll bar VScroll1.
    virtual void SetScrollBarEnabled(bool enabled) { (void)enabled; }
    virtual void SetScrollLargeChange(int lines) { (void)lines; }
    // Puts the scroll bar where the document's TopLine lies (without deriving the top line
    // back from it) and redraws the screen once.
    virtual void ScrollToTopLine() {}
    // The hourglass pointer while a file is read.
    virtual void SetBusyCursor(bool busy) { (void)busy; }
};

}  // namespace kolbran
