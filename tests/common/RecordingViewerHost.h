#pragma once

#include "viewer/ViewerHost.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace kolbran::test {

// A ViewerHost that remembers what the loader asked of the main window.
class RecordingViewerHost : public ViewerHost {
public:
    std::array<QString, 6> panels;            // the last text of panels 1..5
    QList<std::pair<int, QString>> panelLog;  // every write, in order
    int drawCount = 0;
    std::function<void()> onDraw;             // runs at each DrawScreen
    std::function<void(int, const QString&)> onPanel;
    QList<bool> resets;                       // ResetToNoDocument(textEnabled) calls
    int afterOpenCount = 0;
    QList<bool> fileMenu;
    bool timer1 = false;
    QList<bool> timerLog;
    QList<bool> scrollBar;
    int largeChange = -1;
    QList<bool> cursor;

    void SetStatusPanel(int panel, const QString& text) override
    {
        if (panel >= 1 && panel <= 5)
            panels[size_t(panel)] = text;
        panelLog.append({panel, text});
        if (onPanel)
            onPanel(panel, text);
    }
    void DrawScreen() override
    {
        ++drawCount;
        if (onDraw)
            onDraw();
    }
    void ResetToNoDocument(bool textEnabled) override { resets.append(textEnabled); }
    void AfterOpen() override { ++afterOpenCount; }
    void SetFileMenuEnabled(bool enabled) override { fileMenu.append(enabled); }
    bool Timer1Enabled() const override { return timer1; }
    void SetTimer1Enabled(bool enabled) override
    {
        timer1 = enabled;
        timerLog.append(enabled);
    }
    void SetScrollBarEnabled(bool enabled) override { scrollBar.append(enabled); }
    void SetScrollLargeChange(int lines) override { largeChange = lines; }
    void SetBusyCursor(bool busy) override { cursor.append(busy); }

    // The texts written to `panel`, in order.
    QStringList PanelTexts(int panel) const
    {
        QStringList texts;
        for (const auto& [p, text] : panelLog)
            if (p == panel)
                texts.append(text);
        return texts;
    }
};

}  // namespace kolbran::test
