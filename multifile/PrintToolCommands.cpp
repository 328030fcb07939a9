#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/PaintJob.h"
#include "core/Prompter.h"
#include "core/ToolRegistry.h"
#include "multifile/FileSet.h"
#include "multifile/MultiPrint.h"
#include "printing/PrintToolOptions.h"

#include <QDir>

namespace kolbran {

namespace {

const QString kMultiPrintUsage = QStringLiteral(
    "multi-print FOLDER [NAME...] [--font NAME] [--size PT] [--no-header] [--line-numbers] [--columns 1|2] "
    "[--margin MM] [--date YYYY-MM-DD] [--pdf-dir DIR] [--force] [--pattern P]");

int UsageError(const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + problem);
    ToolPrintError(QStringLiteral("usage: kolbran-tool ") + kMultiPrintUsage);
    return 2;
}

int RunMultiPrint(ToolContext& context)
{
    AppState& state = context.state;
    PrintAttributes a = ReadPrintAttributes(state.settings);
    // The dialog's header box is on unless the stored header mode is 0.
    bool header = state.settings.PrintHeader != 0;
    QDate date = QDate::currentDate();
    QString folder, pdfDir, pattern = QStringLiteral("*.txt");
    QStringList names;
    bool force = false;
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
        if (arg == QLatin1String("--pdf-dir") || arg == QLatin1String("--pattern")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return UsageError(arg + QStringLiteral(" needs a value"));
            (arg == QLatin1String("--pdf-dir") ? pdfDir : pattern) = args[++i];
        } else if (arg == QLatin1String("--no-header")) {
            header = false;
        } else if (arg == QLatin1String("--force")) {
            force = true;
        } else if (arg.startsWith(u'-')) {
            return UsageError(QStringLiteral("unexpected argument '") + arg + u'\'');
        } else if (folder.isEmpty()) {
            folder = arg;
        } else {
            names.append(arg);
        }
    }
    if (folder.isEmpty())
        return UsageError(QStringLiteral("FOLDER is missing"));
    if (!IsFolder(folder)) {
        ToolPrintError(QStringLiteral("kolbran-tool: not a folder: ") + folder);
        return 1;
    }
    if (pdfDir.isEmpty())
        pdfDir = folder;
    if (!IsFolder(pdfDir)) {
        ToolPrintError(QStringLiteral("kolbran-tool: not a folder: ") + pdfDir);
        return 1;
    }

    QStringList unlisted;
    const QStringList chosen = ChooseFromSet(FileSetNames(folder, pattern, FileSetUse::Print), names, &unlisted);
    if (!unlisted.isEmpty()) {
        for (const QString& name : unlisted)
            ToolPrintError(QStringLiteral("kolbran-tool: not in the list of ") + folder + QStringLiteral(": ") + name);
        return 1;
    }
    if (chosen.isEmpty()) {
        state.prompter.Message(QStringLiteral(u"ファイルが選択されていません。"), MsgIcon::None, MsgButtons::Ok);
        return 1;
    }
    QStringList paths;
    for (const QString& name : chosen)
        paths.append(QDir(folder).filePath(name));

    const ToolStopSignals stopSignals;
    MultiPrintHooks hooks;
    hooks.EndCancelledJob = false;
    hooks.Going = [] { return !ToolStopSignals::Stopped(); };
    hooks.Step = [](int64_t, int64_t) { return !ToolStopSignals::Stopped(); };
    hooks.BeginJob = [&](const QString& path) -> std::unique_ptr<PaintJob> {
        // The whole name and ".pdf": a.txt and a.csv of one folder never meet.
        const QString out = QDir(pdfDir).filePath(FileNamePart(path) + QStringLiteral(".pdf"));
        if (!PdfTargetAllowed(state, out, force))
            return nullptr;
        return std::make_unique<PdfJob>(out, PrinterChoice{}, path);
    };
    const MultiPrintSummary s = PrintFiles(state, paths, a, header, date, 0, hooks);
    return s.Printed == paths.size() && !s.Cancelled ? 0 : 1;
}

}  // namespace

void RegisterMultiPrintToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("multi-print"), kMultiPrintUsage,
                  QStringLiteral("prints each chosen file of FOLDER to DIR/<name>.pdf as the multi-file print does"),
                  RunMultiPrint, true});
}

}  // namespace kolbran
