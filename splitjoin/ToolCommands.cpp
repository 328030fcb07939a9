#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Prompter.h"
#include "core/ToolRegistry.h"
#include "splitjoin/SplitJoin.h"

#include <QFileInfo>

namespace kolbran {

namespace {

struct Arguments {
    QString file;
    QString output;
    int sizeKb = kPieceScrollDefault * 10;
    bool force = false;
};

int UsageError(const QString& message)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + message);
    return 2;
}

// Parses FILE [--size-kb N] [-o OUT] [--force]; returns 0 or the usage-error status.
int Parse(const QStringList& args, bool allowSize, bool allowOutput, Arguments& out)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--force")) {
            out.force = true;
        } else if (allowSize && a == QLatin1String("--size-kb")) {
            if (++i >= args.size())
                return UsageError(QStringLiteral("--size-kb needs a value"));
            bool ok = false;
            const int kb = args[i].toInt(&ok);
            if (!ok || kb % 10 != 0 || kb < kPieceScrollMin * 10 || kb > kPieceScrollMax * 10)
                return UsageError(QStringLiteral("--size-kb must be a multiple of 10 from 100 to 204800"));
            out.sizeKb = kb;
        } else if (allowOutput && a == QLatin1String("-o")) {
            if (++i >= args.size())
                return UsageError(QStringLiteral("-o needs a file name"));
            out.output = args[i];
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return UsageError(QStringLiteral("unknown option ") + a);
        } else if (out.file.isEmpty()) {
            out.file = a;
        } else {
            return UsageError(QStringLiteral("one FILE only"));
        }
    }
    if (out.file.isEmpty())
        return UsageError(QStringLiteral("FILE is missing"));
    return 0;
}

int Status(SplitJoinOutcome outcome)
{
    return outcome == SplitJoinOutcome::Done ? 0 : 1;
}

int Split(ToolContext& context)
{
    Arguments a;
    if (const int usage = Parse(context.args, true, false, a))
        return usage;
    const int scrollValue = a.sizeKb / 10;
    // The window replaces existing pieces silently; the tool asks first (--force answers).
    if (FileExists(a.file)) {
        const QString base = PieceBase(a.file);
        const int64_t count = PieceCount(QFileInfo(FromNativeSeparators(a.file)).size(), PieceSize(scrollValue));
        for (int n = 1; n <= std::min<int64_t>(count, kMaxPieces); ++n) {
            const QString piece = PieceName(base, n);
            if (!FileExists(piece))
                continue;
            const MsgAnswer answer = context.state.prompter.Message(
                QStringLiteral(u"「") + FileNamePart(piece) + QStringLiteral(u"」ﾌｧｲﾙは既に存在します。") +
                    context.state.settings.LineBreak + QStringLiteral(u"上書きしますか？"),
                MsgIcon::Warning, MsgButtons::YesNo, QStringLiteral(u"名前を付けて保存"));
            if (answer != MsgAnswer::Yes)
                return 1;
            break;
        }
        // Files a later join would read after the new pieces: refused unless --force.
        const QStringList leftovers = LeftoverPieces(base, int(std::min<int64_t>(count, kMaxPieces)));
        if (!leftovers.isEmpty() && !a.force) {
            QStringList names;
            for (const QString& leftover : leftovers)
                names.append(FileNamePart(FromNativeSeparators(leftover)));
            context.state.prompter.Message(
                QStringLiteral(u"分割ﾌｧｲﾙの後に続くﾌｧｲﾙがあります (--force で削除します): ") +
                    names.join(QStringLiteral(", ")),
                MsgIcon::Warning, MsgButtons::Ok, {});
            return 1;
        }
    }
    return Status(RunSplit(context.state, a.file, scrollValue));
}

int Join(ToolContext& context)
{
    Arguments a;
    if (const int usage = Parse(context.args, false, true, a))
        return usage;
    // The base itself names the pieces when the joined file is gone.
    if (!FileExists(a.file) && FileExists(PieceName(PieceBase(a.file), 1)))
        a.file = PieceName(PieceBase(a.file), 1);
    JoinOptions options;
    options.output = a.output.isEmpty() ? PieceBase(a.file) : a.output;
    options.confirmOverwrite = true;
    return Status(RunJoin(context.state, a.file, options));
}

}  // namespace

void RegisterSplitJoinToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("split"), QStringLiteral("split FILE [--size-kb N] [--force]"),
                  QStringLiteral("cuts FILE into numbered pieces of N KB (a multiple of 10 from 100 to "
                                 "204800; default 1440)"),
                  Split, false});
    registry.Add({QStringLiteral("join"), QStringLiteral("join FILE [-o OUT] [--force]"),
                  QStringLiteral("joins the pieces that belong to FILE (any piece's name, or the base) "
                                 "into OUT"),
                  Join, false});
}

}  // namespace kolbran
