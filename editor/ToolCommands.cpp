#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"
#include "core/ToolRegistry.h"
#include "editor/WholeFileReplace.h"
#include "viewer/LineLoader.h"
#include "viewer/SpliceLines.h"
#include "viewer/ViewerHost.h"

#include <QFile>

#include <optional>

namespace kolbran {

namespace {

const QString kReplaceUsage = QStringLiteral("replace FROM TO FILE [-o OUT] [--force]");
const QString kSpliceUsage =
    QStringLiteral("splice FILE FIRST LAST (--text-file T | --delete) [-o OUT] [--force]");

int UsageError(const QString& usage, const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + problem);
    ToolPrintError(QStringLiteral("usage: kolbran-tool ") + usage);
    return 2;
}

// With FILE open as the document: the guards of the rewrite in place (then the document is
// locked) or of the output name. nullopt to go on, else the exit status.
std::optional<int> PrepareTarget(AppState& state, const QString& file, const QString& out)
{
    if (out.isEmpty()) {
        if (RefuseProtected(state, true) == 1)
            return 1;
        LockDocument(state);
        return std::nullopt;
    }
    if (SamePath(out, file)) {
        ToolPrintError(QStringLiteral(u"「") + out + QStringLiteral(u"」は入力ファイルと同じです。"));
        return 1;
    }
    if (CheckSaveTarget(state, out) != SaveTarget::Allowed)
        return 1;
    return std::nullopt;
}

int RunReplace(ToolContext& context)
{
    QStringList positional;
    QString out;
    const QStringList& args = context.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("-o")) {
            if (i + 1 >= args.size())
                return UsageError(kReplaceUsage, QStringLiteral("-o needs a file name"));
            out = args[++i];
        } else if (arg == QLatin1String("--force")) {
            continue;
        } else if (arg.startsWith(QLatin1String("--")) && arg.size() > 2) {
            return UsageError(kReplaceUsage, QStringLiteral("unexpected argument '") + arg + u'\'');
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 3)
        return UsageError(kReplaceUsage, QStringLiteral("FROM, TO and FILE are needed"));
    if (positional[0].isEmpty())
        return UsageError(kReplaceUsage, QStringLiteral("FROM is empty"));

    AppState& state = context.state;
    ViewerHost host;
    try {
        PrOpen(state, host, positional[2]);
        if (!state.doc.HasFile())
            return 1;
        if (const auto exit = PrepareTarget(state, positional[2], out)) {
            ResetDocumentState(state);
            return *exit;
        }
        WholeFileReplaceOptions options;
        options.output = out;
        ChiKanAll(state, positional[0], positional[1], options);
    } catch (const RuntimeError& e) {
        ReportError(state, e, 0);
        ResetDocumentState(state);
        return 1;
    }
    ResetDocumentState(state);
    ToolPrintError(QStringLiteral(u"置換処理は完了しました。"));
    return 0;
}

int RunSplice(ToolContext& context)
{
    QStringList positional;
    QString out;
    QString textFile;
    bool remove = false;
    const QStringList& args = context.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("-o") || arg == QLatin1String("--text-file")) {
            if (i + 1 >= args.size())
                return UsageError(kSpliceUsage, arg + QStringLiteral(" needs a file name"));
            (arg == QLatin1String("-o") ? out : textFile) = args[++i];
        } else if (arg == QLatin1String("--delete")) {
            remove = true;
        } else if (arg == QLatin1String("--force")) {
            continue;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return UsageError(kSpliceUsage, QStringLiteral("unexpected argument '") + arg + u'\'');
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 3)
        return UsageError(kSpliceUsage, QStringLiteral("FILE, FIRST and LAST are needed"));
    if (remove == !textFile.isEmpty())
        return UsageError(kSpliceUsage, QStringLiteral("give one of --text-file T and --delete"));
    bool okFirst = false, okLast = false;
    const qint64 first = positional[1].toLongLong(&okFirst);
    const qint64 last = positional[2].toLongLong(&okLast);
    if (!okFirst || !okLast)
        return UsageError(kSpliceUsage, QStringLiteral("FIRST and LAST must be line numbers"));

    std::optional<QString> text;
    if (!remove) {
        QFile t(FromNativeSeparators(textFile));
        if (!t.open(QIODevice::ReadOnly)) {
            ToolPrintError(QStringLiteral(u"「") + textFile + QStringLiteral(u"」ﾌｧｲﾙはありません。"));
            return 1;
        }
        text = QString::fromUtf8(t.readAll());
    }

    AppState& state = context.state;
    ViewerHost host;
    try {
        PrOpen(state, host, positional[0]);
        if (!state.doc.HasFile())
            return 1;
        if (first < 1 || first > last + 1 || last + 1 > int64_t(state.doc.LineCount) + 1) {
            ResetDocumentState(state);
            return UsageError(kSpliceUsage, QStringLiteral("lines must satisfy 1 <= FIRST <= LAST + 1 <= ") +
                                                QString::number(int64_t(state.doc.LineCount) + 1));
        }
        if (const auto exit = PrepareTarget(state, positional[0], out)) {
            ResetDocumentState(state);
            return *exit;
        }
        SpliceIo io;
        io.output = out;
        SpliceLines(state, LineNumber(first), LineNumber(last), text, io);
    } catch (const RuntimeError& e) {
        ReportError(state, e, 0);
        ResetDocumentState(state);
        return 1;
    }
    ResetDocumentState(state);
    return 0;
}

}  // namespace

void RegisterEditorToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("replace"), kReplaceUsage,
                  QStringLiteral("replaces FROM by TO in the whole file, as the editor's whole-file replacement"),
                  RunReplace, false});
    registry.Add({QStringLiteral("splice"), kSpliceUsage,
                  QStringLiteral("puts a text in place of lines FIRST..LAST, or deletes them, as the editor saves"),
                  RunSplice, false});
}

}  // namespace kolbran
