#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"
#include "core/ToolRegistry.h"
#include "multifile/FileSet.h"
#include "multifile/MultiReplace.h"
#include "viewer/LineLoader.h"

#include <QDir>
#include <QFileInfo>

#include <new>
#include <optional>

namespace kolbran {

namespace {

const QString kUsage = QStringLiteral(
    "multi-replace FOLDER [NAME...] (--from S [--to R] | --kana | --latin) [--pattern P] [--backup]");

int UsageError(const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + problem);
    ToolPrintError(QStringLiteral("usage: kolbran-tool ") + kUsage);
    return 2;
}

void PrintLog(const QString& text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    ToolPrint(out);
}

int RunMultiReplace(ToolContext& context)
{
    QStringList positional;
    std::optional<QString> from;
    QString to;
    bool hasTo = false;
    int patterns = 0;  // --kana, --latin
    int mode = ReplaceMode::String;
    QString pattern = QStringLiteral("*.txt");
    bool backup = false;
    const QStringList& args = context.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const auto value = [&](QString* target) {
            if (i + 1 >= args.size())
                return false;
            *target = args[++i];
            return true;
        };
        if (arg == QLatin1String("--from")) {
            QString v;
            if (!value(&v))
                return UsageError(QStringLiteral("--from needs a text"));
            from = v;
        } else if (arg == QLatin1String("--to")) {
            if (!value(&to))
                return UsageError(QStringLiteral("--to needs a text"));
            hasTo = true;
        } else if (arg == QLatin1String("--kana")) {
            mode = ReplaceMode::Kana;
            ++patterns;
        } else if (arg == QLatin1String("--latin")) {
            mode = ReplaceMode::Latin;
            ++patterns;
        } else if (arg == QLatin1String("--pattern")) {
            if (!value(&pattern))
                return UsageError(QStringLiteral("--pattern needs a pattern"));
        } else if (arg == QLatin1String("--backup")) {
            backup = true;
        } else if (arg.startsWith(QLatin1String("--")) && arg.size() > 2) {
            return UsageError(QStringLiteral("unexpected argument '") + arg + u'\'');
        } else {
            positional.append(arg);
        }
    }
    if (positional.isEmpty())
        return UsageError(QStringLiteral("FOLDER is needed"));
    if ((from ? 1 : 0) + patterns != 1)
        return UsageError(QStringLiteral("give one of --from S, --kana and --latin"));
    if (hasTo && !from)
        return UsageError(QStringLiteral("--to goes with --from"));
    if (from && from->isEmpty()) {
        ToolPrintError(QStringLiteral(u"置換文字列が指定されていません。"));
        return 1;
    }

    AppState& state = context.state;
    const QString folder = FromNativeSeparators(positional.takeFirst());
    if (!QFileInfo(folder).isDir()) {
        ToolPrintError(QStringLiteral(u"「") + folder + QStringLiteral(u"」ﾌｫﾙﾀﾞはありません。"));
        return 1;
    }
    QStringList unlisted;
    const QStringList names =
        ChooseFromSet(FileSetNames(folder, pattern, FileSetUse::Replace), positional, &unlisted);
    if (!unlisted.isEmpty()) {
        // Nothing is changed when a named file is not in the list (missing, read-only, other pattern).
        for (const QString& name : unlisted)
            ToolPrintError(QStringLiteral(u"「") + name + QStringLiteral(u"」は対象ﾌｧｲﾙの一覧にありません。"));
        return 1;
    }
    if (names.isEmpty())
        return 0;

    state.settings.NoBackup = !backup;
    const LineReplacer replacer(mode, from.value_or(QString()), to);
    ReplaceLog log(PrintLog);
    int exitCode = 0;
    for (const QString& name : names) {
        log.BeginFile(name);
        try {
            const FileReplaceResult result = ReplaceInFile(state, QDir(folder).filePath(name), replacer, log, {});
            const QString note = OutcomeNote(result);
            if (!note.isEmpty()) {
                log.Note(note);
                exitCode = 1;
            }
            log.EndFile();
        } catch (const RuntimeError& e) {
            log.Note(QStringLiteral(u"※ ") + e.Description() + QStringLiteral(u"（変更していません）"));
            log.EndFile();
            ReportError(state, e, 0);
            exitCode = 1;
            break;
        } catch (const std::bad_alloc&) {
            log.EndFile();
            ReportError(state, Err::OutOfMemory, 0);
            exitCode = 1;
            break;
        }
    }
    log.Finish();
    ResetDocumentState(state);
    return exitCode;
}

}  // namespace

void RegisterMultiReplaceToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("multi-replace"), kUsage,
                  QStringLiteral("replaces a string (or half-width katakana or Latin letters by full width) in "
                                 "the listed files of FOLDER; the log on standard output"),
                  RunMultiReplace, false});
}

}  // namespace kolbran
