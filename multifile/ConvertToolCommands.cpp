// kolbran-tool subcommands of the multi-file conversion and line deletion.
#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Prompter.h"
#include "core/RuntimeError.h"
#include "core/ToolRegistry.h"
#include "multifile/FileSet.h"
#include "multifile/MultiConvert.h"
#include "multifile/MultiDelete.h"
#include "viewer/DeleteRules.h"

#include <QDir>

#include <functional>
#include <optional>

namespace kolbran {

namespace {

const QString kConvertUsage = QStringLiteral(
    "multi-convert KIND FOLDER [NAME...] [--keyword K] [--wrap-width W] [--pattern P] [--backup]");
const QString kDeleteUsage =
    QStringLiteral("multi-delete-lines FOLDER [NAME...] [--rule KEY=COUNT]... [--pattern P] [--backup]");

struct Arguments {
    QStringList positional;
    QString pattern = QStringLiteral("*.txt");
    bool backup = false;
    std::optional<QString> keyword;
    std::optional<int> wrapWidth;
    QList<DeleteRule> rules;
};

int Usage(const QString& usage, const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + problem);
    ToolPrintError(QStringLiteral("usage: kolbran-tool ") + usage);
    return 2;
}

std::optional<int> Parse(const QStringList& args, const QString& usage, const QStringList& allowed, int needed,
                         Arguments* out)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--backup")) {
            out->backup = true;
            continue;
        }
        if (a == QLatin1String("--pattern") || a == QLatin1String("--keyword") || a == QLatin1String("--wrap-width") ||
            a == QLatin1String("--rule")) {
            if (a != QLatin1String("--pattern") && !allowed.contains(a))
                return Usage(usage, QStringLiteral("unknown option ") + a);
            if (++i >= args.size())
                return Usage(usage, a + QStringLiteral(" needs a value"));
            const QString& v = args[i];
            bool ok = false;
            if (a == QLatin1String("--pattern")) {
                if (v.isEmpty())
                    return Usage(usage, QStringLiteral("--pattern needs a value"));
                out->pattern = v;
            } else if (a == QLatin1String("--keyword")) {
                out->keyword = v;
            } else if (a == QLatin1String("--wrap-width")) {
                const int w = v.toInt(&ok);
                if (!ok || w < 2 || w > 256)
                    return Usage(usage, QStringLiteral("--wrap-width must be from 2 to 256"));
                out->wrapWidth = w;
            } else {
                DeleteRule rule;
                if (!ParseRuleArgument(v, &rule))
                    return Usage(usage, QStringLiteral("--rule must be KEY=COUNT with a key and a count from 1 to 20"));
                out->rules.append(rule);
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            return Usage(usage, QStringLiteral("unknown option ") + a);
        } else {
            out->positional.append(a);
        }
    }
    if (out->positional.size() < needed)
        return Usage(usage, needed == 2 ? QStringLiteral("KIND and FOLDER are needed") : QStringLiteral("FOLDER is missing"));
    return std::nullopt;
}

// The files of the run: FOLDER's list under the pattern, the NAMEs chosen from it. Empty
// (with the message written) when the folder is missing, the list is empty or a NAME is not
// in it; nothing is then rewritten.
std::optional<QStringList> ChooseFiles(const QString& folder, const QStringList& chosen, const QString& pattern,
                                       FileSetUse use)
{
    if (!IsFolder(folder)) {
        ToolPrintError(QStringLiteral(u"「") + folder + QStringLiteral(u"」") + ErrorDescription(Err::PathNotFound));
        return std::nullopt;
    }
    QStringList unlisted;
    const QStringList names = ChooseFromSet(FileSetNames(folder, pattern, use), chosen, &unlisted);
    for (const QString& name : unlisted)
        ToolPrintError(QStringLiteral(u"「") + name + QStringLiteral(u"」は対象ファイルの一覧にありません。"));
    if (!unlisted.isEmpty())
        return std::nullopt;
    if (names.isEmpty()) {
        ToolPrintError(QStringLiteral(u"対象ファイルがありません。"));
        return std::nullopt;
    }
    return names;
}

// Every file through `one`, which returns its status word and whether it is a warning; a
// failure is reported as the window reports it and the run goes on. 1 when any file was
// refused, failed or warned.
int RunFiles(AppState& state, const QString& folder, const QStringList& names,
             const std::function<std::pair<QString, bool>(const QString& name, const QString& path)>& one)
{
    int status = 0;
    for (const QString& name : names) {
        QString word;
        try {
            const auto [w, warning] = one(name, QDir(folder).filePath(name));
            word = w;
            if (warning)
                status = 1;
        } catch (const RuntimeError& e) {
            ReportError(state, e, 0);
            word = QStringLiteral("failed");
            status = 1;
        }
        ToolPrint(name + QStringLiteral(": ") + word + u'\n');
    }
    return status;
}

std::pair<QString, bool> Refused(const QString& name, const QString& reason)
{
    ToolPrintError(QStringLiteral(u"「") + name + QStringLiteral(u"」") + reason);
    return {QStringLiteral("refused"), true};
}

int RunConvert(ToolContext& c)
{
    Arguments a;
    if (auto status = Parse(c.args, kConvertUsage, {QStringLiteral("--keyword"), QStringLiteral("--wrap-width")}, 2, &a))
        return *status;
    bool ok = false;
    const int kind = a.positional[0].toInt(&ok);
    if (!ok || kind < 0 || kind >= ConvertKind::Count)
        return Usage(kConvertUsage, QStringLiteral("KIND must be from 0 to 9"));
    const QString folder = a.positional[1];
    const auto names = ChooseFiles(folder, a.positional.mid(2), a.pattern, FileSetUse::Convert);
    if (!names)
        return 1;
    AppState& state = c.state;
    state.settings.NoBackup = !a.backup;
    ConvertOptions options;
    options.kind = kind;
    options.keyword = a.keyword.value_or(QString());
    const int stored = state.settings.WrapWidth;
    options.wrapWidth = a.wrapWidth.value_or(stored >= 2 && stored <= 256 ? stored : 80);
    return RunFiles(state, folder, *names, [&](const QString& name, const QString& path) -> std::pair<QString, bool> {
        QString reason;
        switch (ConvertFile(state, path, options, {}, &reason)) {
        case ConvertOutcome::Converted: return {QStringLiteral("converted"), false};
        case ConvertOutcome::Unchanged: return {QStringLiteral("unchanged"), false};
        case ConvertOutcome::Utf16Kept:
            ToolPrintError(Utf16KeptText(name));
            return {QStringLiteral("unchanged (UTF-16)"), true};
        case ConvertOutcome::Cancelled: return {QStringLiteral("cancelled"), true};
        case ConvertOutcome::Refused: return Refused(name, reason);
        }
        return {QString(), true};
    });
}

int RunDeleteLines(ToolContext& c)
{
    Arguments a;
    if (auto status = Parse(c.args, kDeleteUsage, {QStringLiteral("--rule")}, 1, &a))
        return *status;
    AppState& state = c.state;
    const QList<DeleteRule> rules = a.rules.isEmpty() ? CurrentDeleteRules(state) : a.rules;
    if (rules.isEmpty()) {
        ToolPrintError(QStringLiteral(u"削除行が設定されていません。"));
        return 1;
    }
    const QString folder = a.positional[0];
    const auto names = ChooseFiles(folder, a.positional.mid(1), a.pattern, FileSetUse::DeleteLines);
    if (!names)
        return 1;
    state.settings.NoBackup = !a.backup;
    return RunFiles(state, folder, *names, [&](const QString& name, const QString& path) -> std::pair<QString, bool> {
        QString reason;
        // Without --rule the stored rules are read again for every file, as the window does.
        const QList<DeleteRule> now = a.rules.isEmpty() ? CurrentDeleteRules(state) : a.rules;
        switch (DeleteLinesInFile(state, path, now, {}, &reason)) {
        case DeleteOutcome::Rewritten: return {QStringLiteral("rewritten"), false};
        case DeleteOutcome::Cancelled: return {QStringLiteral("cancelled"), true};
        case DeleteOutcome::Refused: return Refused(name, reason);
        }
        return {QString(), true};
    });
}

// A failure outside one file's handling is reported as the window reports it.
ToolFunction Reported(int (*run)(ToolContext&))
{
    return [run](ToolContext& c) {
        try {
            return run(c);
        } catch (const RuntimeError& e) {
            ReportError(c.state, e, 0);
            return 1;
        }
    };
}

}  // namespace

void RegisterMultiConvertToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("multi-convert"), kConvertUsage,
                  QStringLiteral("converts every file of FOLDER's list (or the NAMEs) by conversion kind 0..9"),
                  Reported(RunConvert), false});
    registry.Add({QStringLiteral("multi-delete-lines"), kDeleteUsage,
                  QStringLiteral("deletes the lines that start with a rule's key in every file of FOLDER's list"),
                  Reported(RunDeleteLines), false});
}

}  // namespace kolbran
