#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/JapaneseCodes.h"
#include "core/Numbers.h"
#include "core/PaintJob.h"
#include "core/ToolRegistry.h"
#include "printing/DocumentPrint.h"
#include "printing/PrintAttributes.h"
#include "printing/PrintToolOptions.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"

#include <optional>

namespace kolbran {

namespace {

const QString kPrintUsage = QStringLiteral(
    "print FILE [-o OUT] [--font NAME] [--size PT] [--header N] [--line-numbers] [--digits N] "
    "[--columns 1|2] [--margin MM] [--from N] [--to N] [--start-page N] [--np] [--one-page] [--code N] "
    "[--paper A4|A3|B4|B5|Letter] [--landscape] [--date YYYY-MM-DD] [--force]");

int UsageError(const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + problem);
    ToolPrintError(QStringLiteral("usage: kolbran-tool ") + kPrintUsage);
    return 2;
}

std::optional<qint64> Whole(const QString& text)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

int RunPrint(ToolContext& context)
{
    AppState& state = context.state;
    PrintAttributes a = ReadPrintAttributes(state.settings);
    QString file, out;
    qint64 from = 1, to = -1, startPage = 1;
    int code = 0;
    bool np = false, onePage = false, force = false;
    QDate date = QDate::currentDate();
    PrinterChoice choice;
    const QStringList& args = context.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString problem;
        switch (TakePrintOption(args, i, a, date, &problem)) {
        case PrintOptionResult::Taken:
            continue;
        case PrintOptionResult::Bad:
            return UsageError(problem);
        case PrintOptionResult::NotMine:
            break;
        }
        const QString& arg = args[i];
        static const QStringList valued{"-o", "--header", "--digits", "--from", "--to", "--start-page", "--code",
                                        "--paper"};
        if (valued.contains(arg)) {
            if (i + 1 >= args.size())
                return UsageError(arg + QStringLiteral(" needs a value"));
            const QString v = args[++i];
            const std::optional<qint64> n = Whole(v);
            if (arg == QLatin1String("-o")) {
                out = v;
            } else if (arg == QLatin1String("--header")) {
                if (!n || *n == 0 || *n < -7 || *n > 7)
                    return UsageError(QStringLiteral("--header must be -7..-1 or 1..7"));
                a.PageNumbering = *n > 0;
                const qint64 m = *n > 0 ? *n : -*n;
                a.HeaderFileName = (m & 2) != 0;
                a.HeaderDate = (m & 4) != 0;
            } else if (arg == QLatin1String("--digits")) {
                if (!n || *n < 0 || *n > 32767)
                    return UsageError(QStringLiteral("--digits must be a whole number"));
                a.LineNumberDigits = int(*n);
            } else if (arg == QLatin1String("--from") || arg == QLatin1String("--to")) {
                if (!n || *n < 1)
                    return UsageError(arg + QStringLiteral(" must be a line number from 1"));
                (arg == QLatin1String("--from") ? from : to) = *n;
            } else if (arg == QLatin1String("--start-page")) {
                if (!n || *n < 1 || *n > 1024)
                    return UsageError(QStringLiteral("--start-page must be from 1 to 1024"));
                startPage = *n;
            } else if (arg == QLatin1String("--code")) {
                if (!n || !IsDisplayCode(int(*n)))
                    return UsageError(QStringLiteral("--code must be 0, 1, 2, 3 or 9"));
                code = int(*n);
            } else if (arg == QLatin1String("--paper")) {
                static const std::pair<const char*, QPageSize::PageSizeId> papers[] = {
                    {"A4", QPageSize::A4}, {"A3", QPageSize::A3}, {"B4", QPageSize::JisB4},
                    {"B5", QPageSize::JisB5}, {"Letter", QPageSize::Letter}};
                bool found = false;
                for (const auto& [name, id] : papers)
                    if (v.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                        choice.Paper = id;
                        found = true;
                    }
                if (!found)
                    return UsageError(QStringLiteral("--paper must be A4, A3, B4, B5 or Letter"));
            }
        } else if (arg == QLatin1String("--np")) {
            np = true;
        } else if (arg == QLatin1String("--one-page")) {
            onePage = true;
        } else if (arg == QLatin1String("--landscape")) {
            choice.Landscape = true;
        } else if (arg == QLatin1String("--force")) {
            force = true;
        } else if (arg.startsWith(u'-') || !file.isEmpty()) {
            return UsageError(QStringLiteral("unexpected argument '") + arg + u'\'');
        } else {
            file = arg;
        }
    }
    if (file.isEmpty())
        return UsageError(QStringLiteral("FILE is missing"));
    if (to >= 1 && from > to)
        return UsageError(QStringLiteral("--from must not pass --to"));

    if (out.isEmpty())
        out = ReplaceFromFirstDot(file, QStringLiteral(".pdf"));
    if (SamePath(out, file)) {
        ToolPrintError(QStringLiteral(u"元ファイルと同名のファイル名は使用できません。"));
        return 1;
    }
    if (!PdfTargetAllowed(state, out, force))
        return 1;

    ViewerHost host;
    PrOpen(state, host, file);
    if (!state.doc.HasFile())
        return 1;
    state.doc.DisplayCode = code;

    TextPrintOptions o = TextPrintOptionsFor(a, state.doc.DocumentName, date, state.settings.TabWidth);
    o.StartPage = int(startPage);
    o.NewPageKey = np;
    o.OnePageOnly = onePage;
    const int64_t last = to >= 1 ? to : state.doc.LineCount;

    const ToolStopSignals stopSignals;
    int status = 0;
    try {
        PdfJob job(out, choice, state.doc.DocumentName);
        const TextPrintResult r =
            PrintDocument(state, job, o, from, last, [](int64_t) { return !ToolStopSignals::Stopped(); });
        if (r.Cancelled) {
            job.Discard();
            status = 1;
        } else {
            job.Commit();
        }
    } catch (const RuntimeError& e) {
        ToolPrintError(QStringLiteral(u"印刷途中でエラーが発生しました。(") + StrNumber(e.Number()) + u')');
        status = 1;
    }
    ResetDocumentState(state);
    return status;
}

}  // namespace

void RegisterPrintingToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("print"), kPrintUsage,
                  QStringLiteral("prints FILE to a PDF as the print dialog does"), RunPrint, true});
}

}  // namespace kolbran
