#include "multifile/MultiPrint.h"

#include "core/AppState.h"
#include "core/Numbers.h"
#include "core/PaintJob.h"
#include "core/RuntimeError.h"
#include "multifile/FileLines.h"

#include <QDir>

namespace kolbran {

TextPrintOptions MultiPrintOptions(const PrintAttributes& attributes, bool header, const QString& path,
                                   const QDate& date, int tabWidth)
{
    TextPrintOptions o = TextPrintOptionsFor(attributes, path, date, tabWidth);
    o.PageNumbering = header;
    o.HeaderText = QDir::toNativeSeparators(path) + u' ' + date.toString(QStringLiteral("yyyy-MM-dd"));
    o.StartPage = 1;
    o.NewPageKey = false;
    o.OnePageOnly = false;
    // Four lines of one line spacing each: Int(height × 4 ÷ 4 spacings) lines fit the page.
    o.MeasureText = QStringLiteral("1\nA\nB\n");
    o.MeasureFactor = 4;
    o.ColumnGap = 57;
    o.MaxPiece = 600;
    return o;
}

QString MultiPrintErrorText(int number)
{
    return QStringLiteral(u"印刷途中でエラーが発生しました。(") + StrNumber(number) + u')';
}

int64_t CountFileLines(const QString& path, const std::function<bool()>& going)
{
    FileLines lines(path);
    QByteArrayView line;
    while (lines.Next(&line))
        if ((lines.LineNumber() & 0xFFF) == 0 && going && !going())
            return -1;
    return lines.LineNumber();
}

TextPrintResult PrintFileLines(PaintJob& job, const TextPrintOptions& options, const QString& path,
                               int64_t lineCount, int displayCode, const MultiPrintStep& step)
{
    FileLines lines(path);
    bool shrunk = false;  // the file lost lines since they were counted
    // The engine asks for lines 1, 2, 3… once each, so they come straight from the stream.
    const PrintLineSource source = [&](int64_t) -> QString {
        QByteArrayView line;
        if (!lines.Next(&line)) {
            shrunk = true;
            return {};
        }
        return FileLineText(line, lines.IsUtf16(), displayCode);
    };
    TextPrintResult r = PrintText(job, options, 1, lineCount, source, [&](int64_t n) {
        if (shrunk)
            return false;
        return !step || step(n, lineCount);
    });
    if (shrunk)
        r.Cancelled = false;
    return r;
}

MultiPrintSummary PrintFiles(AppState& state, const QStringList& paths, const PrintAttributes& attributes,
                             bool header, const QDate& date, int displayCode, const MultiPrintHooks& hooks)
{
    MultiPrintSummary summary;
    for (const QString& path : paths) {
        if (hooks.Going && !hooks.Going()) {
            summary.Cancelled = true;
            break;
        }
        std::unique_ptr<PaintJob> job;
        try {
            // Counted first, so that an unreadable file opens no job and the progress has its scale.
            const int64_t count = CountFileLines(path, hooks.Going);
            if (count < 0) {
                summary.Cancelled = true;
                break;
            }
            job = hooks.BeginJob(path);
            if (!job) {
                ++summary.Skipped;
                continue;
            }
            if (hooks.FileStarted)
                hooks.FileStarted(path, count);
            const TextPrintOptions o =
                MultiPrintOptions(attributes, header, path, date, state.settings.TabWidth);
            const TextPrintResult r = PrintFileLines(*job, o, path, count, displayCode, hooks.Step);
            if (r.Cancelled && (r.PrintedRows == 0 || !hooks.EndCancelledJob)) {
                job->Discard();
                summary.Cancelled = true;
                break;
            }
            // A cancelled job ends after its last row: what was printed comes out.
            job->Commit();
            ++summary.Printed;
            if (r.Cancelled) {
                summary.Cancelled = true;
                break;
            }
        } catch (const RuntimeError& e) {
            if (job)
                job->Discard();
            ++summary.Failed;
            state.prompter.Message(MultiPrintErrorText(e.Number()), MsgIcon::None, MsgButtons::Ok);
        }
    }
    return summary;
}

}  // namespace kolbran
