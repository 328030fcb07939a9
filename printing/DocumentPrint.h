#pragma once

#include "printing/TextPrint.h"

namespace kolbran {

struct AppState;

// The text of document line n for printing: the line reader's first LineLength characters.
QString DocumentPrintLine(AppState& state, int64_t n);

// Prints lines first..min(last, LineCount) of the open document.
TextPrintResult PrintDocument(AppState& state, PaintJob& job, const TextPrintOptions& options,
                              int64_t first, int64_t last, const PrintStep& step = {});

}  // namespace kolbran
