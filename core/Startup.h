#pragma once

#include <QList>
#include <QRect>
#include <QString>

namespace kolbran {

struct AppState;
struct ViewerSettings;

// The main window's start-up and shut-down arithmetic; the window applies the results.

// The parts of a command-line path. `folder` is empty when no folder change is made (a bare
// name, or a network path "\\…" / "//…", which is taken whole as the file name).
struct CommandPathParts {
    QString folder;    // the folder to make current; a root keeps its separator
    QString fileName;  // the name to open, without quotation marks
};
// Both "\" and "/" separate; the whole argument may be enclosed in double quotation marks.
CommandPathParts ParseCommandPath(const QString& argument);
// Splits `argument`, makes its folder current and returns the file name. When the folder
// cannot be made current the argument without its quotation marks is returned (so that the
// open guard checks the whole path); with debug flag 1 that is reported (error 76).
QString SplitCommandPath(AppState& state, const QString& argument);

// The 300 rectangles of the opening animation for a window at `window` (screen pixels):
// rectangle i (1..300) is round(i/300 × W) × round(i/300 × H), centred on the window,
// every rounding to the nearest integer with halves to even. QRect(left, top, w, h): the
// drawn rectangle runs from (left, top) to (left + w, top + h).
QList<QRect> OpeningAnimationRects(const QRect& window);

// The ruler text: three copies of "----+----1…----0" (300 characters).
QString RulerText();

// The window width at start, twips: WindowWidth, or 9,105 when it is below 1.
int StartWindowWidthTwips(const ViewerSettings& s);
// The text area height, twips: LinesPerScreen × line height + 355.
int TextAreaHeightTwips(int linesPerScreen, int lineHeightTwips);
// The left (or top) that centres `size` on `screen` (any unit), halves to even.
int CenteredStart(int screen, int size);
// The width stored in WindowWidth at shut-down: the width before fitting when the
// fit-to-width mode is on, else the current width; -1 when minimised (nothing stored).
int WidthToStoreTwips(bool minimised, bool fitted, int widthBeforeFitTwips, int currentWidthTwips);

// true when the opened name ends exactly in ".byg" (case-sensitive): the drawing window opens.
bool IsDrawingFileName(const QString& name);

// The debug-flag-1 messages of the start-up and shut-down.
QString CommandLineDebugMessage(const QString& argument);  // "コマンドライン引数は, " + arg + " です."
QString SplitNameDebugMessage(const QString& fileName);    // "---" + name + "---"
QString UnloadDebugMessage(const QString& settingsPath);   // "Form_Unload --- Fil:" + path + " ---"
inline const QString kUnloadDebugTitle = QStringLiteral("Unload");

}  // namespace kolbran
