#include "printing/DocumentPrint.h"

#include "core/AppState.h"
#include "viewer/LineLoader.h"

#include <algorithm>

namespace kolbran {

QString DocumentPrintLine(AppState& state, int64_t n)
{
    ReadLine(state, n);
    return state.doc.LineBuffer.left(state.doc.LineLength);
}

TextPrintResult PrintDocument(AppState& state, PaintJob& job, const TextPrintOptions& options,
                              int64_t first, int64_t last, const PrintStep& step)
{
    const int64_t end = std::min<int64_t>(last, state.doc.LineCount);
    return PrintText(job, options, std::max<int64_t>(1, first), end,
                     [&](int64_t n) { return DocumentPrintLine(state, n); }, step);
}

}  // namespace kolbran
