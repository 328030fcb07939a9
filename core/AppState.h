#pragma once

#include "core/LineIndex.h"
#include "core/OpenDocument.h"
#include "core/PrinterChoice.h"
#include "core/Prompter.h"
#include "core/ViewerSettings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

class QWidget;

namespace kolbran {

// Everything the program keeps process-wide. main() makes one; windows and operations
// receive it by reference; each test makes its own.
struct AppState {
    explicit AppState(Prompter& prompter) : prompter(prompter) {}
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    Prompter& prompter;
    ViewerSettings settings;
    OpenDocument doc;
    LineIndex index;

    bool BusyFlag = false;
    // Long runs going on (core/LongRun.h) and the main window's hook that disables its
    // commands while one is going on (true) and enables them again after the last (false).
    int RunsGoing = 0;
    std::function<void(bool going)> RunsChanged;
    bool CancelRequested = false;
    QString SearchString;
    int SearchCompareMode = 1;  // 0 binary (case-sensitive), 1 text (case ignored)
    int SearchHit = 0;          // the last search: -1 empty text, 0 not found, else the position
    QString TraceText;
    // Set by the options dialog when the main window must apply new settings.
    bool SettingsChanged = false;

    // Hand-over values between the main window and its tools.
    QString TargetFilePath;
    int FileDialogMode = 0;
    int DecodeMode = 0;
    int LineRangeMode = 0;
    int DumpActionCode = 0;
    QString DumpFilePath;  // the dump file the binary view wrote, for action codes 1 and 2
    int HelpRequestIndex = 0;

    // Shared between the file dialog's image browser and the image window.
    int OpenedFromBrowser = 0;  // 255 while the image window runs from the browser
    int ImageNaturalWidth = 0;  // the previewed picture's size in pixels
    int ImageNaturalHeight = 0;
    QStringList BrowserFileNames;  // the browser's file list, for stepping through it
    int BrowserFileIndex = -1;     // its selected entry

    // The CSV table's last delimiter (index of its list), kept while the program runs.
    int CsvDelimiterIndex = 0;

    // The multi-file replacement's pattern index, search and replacement texts of its last
    // completed run, kept while the program runs.
    int MltChiKPatternIndex = 0;
    QString MltChiKFrom;
    QString MltChiKTo;

    // The printer the windows print on (the printer-setup box edits it).
    PrinterChoice Printer;

    // The folder of KOLBRAN.DAT and KOLBRAN.INI (the executable's folder, the per-user
    // configuration folder, or --settings-dir).
    QString SettingsFolder;

    // Tool windows by the objectName of the menu item that opens them.
    std::map<QString, std::function<void(QWidget* parent)>> WindowCommands;

    // Hooks the main window sets so that tools can act on the viewer.
    std::function<void(const QString& path)> OpenInViewer;  // open and show a file
    std::function<void()> RefreshScreen;                    // redraw the current screen
    // Closes the search dialog and the result list (set by the search windows); the file
    // dialog, the line-range dialog and the editor's line save call it while SearchListOpen.
    std::function<void()> CloseSearchWindows;
};

}  // namespace kolbran
