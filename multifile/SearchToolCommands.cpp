// kolbran-tool multi-find: the multi-file search without a window.
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Prompter.h"
#include "core/ToolRegistry.h"
#include "multifile/FileSet.h"
#include "multifile/MultiSearch.h"
#include "multifile/TreeSet.h"

#include <QSaveFile>

#include <functional>
#include <memory>

namespace kolbran {

namespace {

const QString kUsage = QStringLiteral("multi-find TEXT FOLDER [--tree] [--case] [-o OUT] [--force] [--pattern P]");

int Usage(const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool multi-find: ") + problem + QStringLiteral(" (usage: kolbran-tool ") +
                   kUsage + u')');
    return 2;
}

int RunMultiFind(ToolContext& context)
{
    QStringList positional;
    bool tree = false;
    bool caseSensitive = false;
    QString output;
    QString pattern = QStringLiteral("*.txt");
    const QStringList& args = context.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--tree")) {
            tree = true;
        } else if (a == QLatin1String("--case")) {
            caseSensitive = true;
        } else if (a == QLatin1String("--force")) {
            // The prompter answers the overwrite question.
        } else if (a == QLatin1String("-o") || a == QLatin1String("--pattern")) {
            if (i + 1 >= args.size())
                return Usage(a + QStringLiteral(" needs a value"));
            (a == QLatin1String("-o") ? output : pattern) = args[++i];
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return Usage(QStringLiteral("unknown option ") + a);
        } else {
            positional.append(a);
        }
    }
    if (positional.size() != 2)
        return Usage(QStringLiteral("TEXT and FOLDER are needed"));
    if (positional[0].isEmpty())
        return Usage(QStringLiteral("TEXT is empty"));

    AppState& state = context.state;
    const QString folder = FromNativeSeparators(positional[1]);
    if (!IsFolder(folder)) {
        ReportError(state, RuntimeError(Err::PathNotFound, folder), 1);
        return 1;
    }
    if (!output.isEmpty() && CheckSaveTarget(state, output) != SaveTarget::Allowed)
        return 1;

    QString text;   // the result box's text, CR LF ends
    bool problem = false;
    std::function<void()> flush;
    // Printed as each file ends, and in 1 MB pieces in between, so memory stays flat.
    auto emitText = [&](const QString& t) {
        text += t;
        if (text.size() >= (1 << 20) && flush)
            flush();
    };

    QStringList paths;
    QStringList names;
    if (tree) {
        TreeSetHooks walkHooks;
        walkHooks.folderError = [&](const QString& name, const RuntimeError& e) {
            emitText(MultiSearchErrorLine(name, e));
            problem = true;
        };
        const TreeSet set = BuildTreeSet(folder, walkHooks);
        paths = set.files;
        names.reserve(paths.size());
        for (const QString& p : paths)
            names.append(TreeDisplayName(set, p));
        if (set.capped) {
            state.prompter.Message(TreeCapWarning(), MsgIcon::Warning);
            problem = true;
        }
    } else {
        names = FileSetNames(folder, pattern, FileSetUse::Search);
        for (const QString& n : names)
            paths.append(JoinPath(folder, n));
    }

    std::unique_ptr<QSaveFile> out;
    if (!output.isEmpty()) {
        out = std::make_unique<QSaveFile>(FromNativeSeparators(output));
        if (!out->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            ReportError(state, RuntimeError(ErrorFromFileError(out->error())), 0);
            return 1;
        }
    }
    bool written = true;
    // What gathered goes out at each file's end (and every 1 MB).
    flush = [&] {
        if (text.isEmpty())
            return;
        ToolPrint(WithLfEnds(text));
        if (out) {
            const QByteArray bytes = ToSjis(text);
            written = written && out->write(bytes) == bytes.size();
        }
        text.clear();
    };
    flush();

    MultiSearchOptions options;
    options.needle = positional[0];
    options.compareMode = caseSensitive ? 0 : 1;
    options.debugVariant = IsDebugFlag(state.settings, 0) == 1;
    options.boxRule = false;
    MultiSearchHooks hooks;
    hooks.append = emitText;
    hooks.fileDone = [&](qsizetype, qsizetype) { flush(); };
    state.SearchString = options.needle;
    const MultiSearchOutcome outcome = SearchFiles(paths, names, options, hooks);
    flush();
    if (outcome.failed > 0)
        problem = true;
    if (outcome.searched == 0 && outcome.failed == 0) {
        state.prompter.Message(QStringLiteral(u"対象ファイルがありません。"), MsgIcon::Warning);
        problem = true;
    }
    if (out && (!written || !out->commit())) {
        ReportError(state, RuntimeError(ErrorFromFileError(out->error())), 0);
        return 1;
    }
    return problem ? 1 : 0;
}

}  // namespace

void RegisterMultiSearchToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("multi-find"), kUsage,
                  QStringLiteral("every line holding TEXT in the files of FOLDER (or its whole tree): "
                                 "name:0012:line; -o saves them as the multi-file search does"),
                  RunMultiFind, false});
}

}  // namespace kolbran
