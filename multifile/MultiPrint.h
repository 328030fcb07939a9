#pragma once

#include "printing/PrintAttributes.h"
#include "printing/TextPrint.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

namespace kolbran {

struct AppState;
class PaintJob;

// The multi-file print's variant of the print engine for file `path`: with `header` a header
// line of the path, the date " yyyy-mm-dd" and the page number; lines per page from the
// measuring text "1" LF "A" LF "B" LF (one line spacing a line, so the lines fit the page);
// two-column width Int(printable width ÷ 2 − 57); pieces of at most 600 characters; "<NP>"
// printed as text; every file from page 1. Font, line numbers, columns, margin and
// line-number digits come from `attributes` (the margin only with one column).
TextPrintOptions MultiPrintOptions(const PrintAttributes& attributes, bool header, const QString& path,
                                   const QDate& date, int tabWidth);

// "印刷途中でエラーが発生しました。(" + the number with its leading blank + ")".
QString MultiPrintErrorText(int number);

// The number of lines of a file as the viewer splits them (no line limit). `going` is asked
// every few thousand lines; false stops the count (the result is then -1). Throws
// RuntimeError when the file cannot be read.
int64_t CountFileLines(const QString& path, const std::function<bool()>& going = {});

// Called after each printed row with the file's line and its line count; false cancels.
using MultiPrintStep = std::function<bool(int64_t line, int64_t lineCount)>;

// Prints the `lineCount` lines of file `path` on `job`, streaming them from the file under
// `displayCode`. The job is neither ended nor discarded. Throws RuntimeError when the file
// or the device fails.
TextPrintResult PrintFileLines(PaintJob& job, const TextPrintOptions& options, const QString& path,
                               int64_t lineCount, int displayCode, const MultiPrintStep& step = {});

struct MultiPrintHooks {
    // The job of one file, nullptr when the user declined it (the file is skipped). Throws
    // RuntimeError when the device cannot be opened.
    std::function<std::unique_ptr<PaintJob>(const QString& path)> BeginJob;
    // A file's print begins (its line count is known).
    std::function<void(const QString& path, int64_t lineCount)> FileStarted;
    MultiPrintStep Step;
    // Asked during a file's line count; false cancels the run.
    std::function<bool()> Going;
    // A cancelled job ends with the rows printed so far (a printer's way); false drops it
    // (kolbran-tool stopped by a signal leaves no partial PDF).
    bool EndCancelledJob = true;
};

struct MultiPrintSummary {
    int Printed = 0;   // jobs ended
    int Failed = 0;    // files that gave an error message
    int Skipped = 0;   // files whose job the user declined
    bool Cancelled = false;
};

// Prints each file of `paths` as a job of its own, from page 1. A file that fails gives
// MultiPrintErrorText (OK, no icon) and the run goes on with the next one. A cancel ends the
// current job after the row printed last, so that what was printed comes out, and prints no
// further file.
MultiPrintSummary PrintFiles(AppState& state, const QStringList& paths, const PrintAttributes& attributes,
                             bool header, const QDate& date, int displayCode, const MultiPrintHooks& hooks);

}  // namespace kolbran
