#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace kolbran {

struct AppState;

// What one screen of the open document shows, for a given top line.
struct ScreenRequest {
    int64_t topLine = 1;       // below 1 is taken as 1
    int linesPerScreen = 32;
    bool lineNumbers = false;  // fill the line-number column entries
    bool printRun = false;     // a print run reads each line and drops its last character
};

struct ScreenContent {
    int64_t topLine = 1;       // the top line actually used
    QString text;              // the text area's text
    QStringList lineNumbers;   // "0000:" entries, one per shown line (when asked)
};

// Builds the text of one screen as the screen refresh shows it: the standard code reads
// the lines from the top line's start to the screen's end as one block (cutting the last
// line end unless the block reaches the end of the index); other codes read each line
// with ReadLine; the line-input mode reads with the sequential text reader. Without an
// open document the text is empty. Reads only the document, never keeps it.
ScreenContent BuildScreenText(AppState& state, const ScreenRequest& request);

// The screen of the document's current TopLine with the settings' LinesPerScreen and the
// line-number column when LineNumbersVisible.
ScreenContent BuildCurrentScreen(AppState& state);

// The number of possible top lines P = lineCount − (linesPerScreen − 1) and the scroll
// bar's maximum (P limited to 1..32,767).
int64_t PossibleTopLines(int64_t lineCount, int linesPerScreen);
int ScrollMaximum(int64_t lineCount, int linesPerScreen);
// The top line for scroll value v: v when P ≤ 32,767, else Int((v − 1) × P ÷ 32,767) + 1.
int64_t ScrollValueToTopLine(int64_t value, int64_t lineCount, int linesPerScreen);

}  // namespace kolbran
