// kolbran-tool subcommands of the whole-file transforms and the line-range dialog.
#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/JapaneseCodes.h"
#include "core/Numbers.h"
#include "core/Prompter.h"
#include "core/ToolRegistry.h"
#include "viewer/DeleteRules.h"
#include "viewer/LineLoader.h"
#include "viewer/LineRange.h"
#include "viewer/SpliceLines.h"
#include "viewer/Transforms.h"
#include "viewer/ViewerHost.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace kolbran {

namespace {

struct Arguments {
    QStringList positional;
    QString output;
    std::optional<int> code;
    std::optional<int> width;
    QList<DeleteRule> rules;
};

int Usage(const QString& usage, const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + problem);
    ToolPrintError(QStringLiteral("usage: kolbran-tool ") + usage);
    return 2;
}

// Parses the arguments; returns an exit status (2) on a usage error.
std::optional<int> Parse(const QStringList& args, const QString& usage, const QStringList& allowed,
                         int positionals, Arguments* out)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--force"))
            continue;
        const bool valued = a == QLatin1String("-o") || a == QLatin1String("--code") ||
                            a == QLatin1String("--width") || a == QLatin1String("--rule");
        if (valued) {
            if (!allowed.contains(a))
                return Usage(usage, QStringLiteral("unknown option ") + a);
            if (++i >= args.size())
                return Usage(usage, a + QStringLiteral(" needs a value"));
            const QString& v = args[i];
            bool ok = false;
            if (a == QLatin1String("-o")) {
                out->output = v;
            } else if (a == QLatin1String("--code")) {
                const int code = v.toInt(&ok);
                if (!ok || !IsDisplayCode(code))
                    return Usage(usage, QStringLiteral("--code must be 0, 1, 2, 3 or 9"));
                out->code = code;
            } else if (a == QLatin1String("--width")) {
                const int width = v.toInt(&ok);
                if (!ok || width < 2 || width > 256)
                    return Usage(usage, QStringLiteral("--width must be from 2 to 256"));
                out->width = width;
            } else {
                DeleteRule rule;
                if (!ParseRuleArgument(v, &rule))
                    return Usage(usage, QStringLiteral("--rule must be KEY=COUNT with a key and a count from 1 to 20"));
                out->rules.append(rule);
            }
        } else if (a.startsWith(u'-') && a.size() > 1 && !a.at(1).isDigit()) {
            return Usage(usage, QStringLiteral("unknown option ") + a);
        } else {
            out->positional.append(a);
        }
    }
    if (out->positional.size() < positionals)
        return Usage(usage, positionals == 1 ? QStringLiteral("FILE is missing")
                                             : QStringLiteral("FILE, FROM and TO are needed"));
    if (out->positional.size() > positionals)
        return Usage(usage, QStringLiteral("unexpected argument '") + out->positional.last() + u'\'');
    return std::nullopt;
}

// The document as the main window holds it for a rewrite: named, open for reading,
// its UTF-16 flag known. false (with the message shown) when it cannot be used.
bool OpenForRewrite(AppState& state, const QString& file)
{
    if (CheckFileExists(state, file))
        return false;
    if (!QFileInfo(FromNativeSeparators(file)).isFile()) {
        state.prompter.Message(QStringLiteral(u"「") + file + QStringLiteral(u"」はファイルではありません。"), MsgIcon::Warning);
        return false;
    }
    state.doc.DocumentName = file;
    state.doc.IsUtf16 = FileIsUtf16(file);
    state.doc.File = OpenFile(file, QIODevice::ReadOnly, FileShare::Shared);
    state.doc.FileLength = state.doc.File->size();
    return true;
}

// -o OUT: refused when it is FILE; an existing OUT only with --force.
bool OutputAllowed(AppState& state, const QString& file, const QString& output)
{
    if (SamePath(file, output)) {
        state.prompter.Message(QStringLiteral(u"入力ファイルと同じ名前には出力できません。"), MsgIcon::Warning);
        return false;
    }
    return CheckSaveTarget(state, output) == SaveTarget::Allowed;
}

// The transform on FILE: in place (its guards and backup rule) or into OUT.
int RunOn(ToolContext& context, const QString& file, const QString& output, TransformOptions options)
{
    AppState& state = context.state;
    if (!OpenForRewrite(state, file))
        return 1;
    options.utf16 = state.doc.IsUtf16;
    if (output.isEmpty()) {
        if (RefuseProtected(state, true) != 0)
            return 1;
        if (options.kind == TransformKind::WordWrap && options.wrapWidth >= state.doc.FileLength)
            return 0;  // nothing longer than a piece: the file stays as it is
        RewriteDocument(state, options, {});
        return 0;
    }
    state.doc.File.reset();
    if (!OutputAllowed(state, file, output))
        return 1;
    TransformFileTo(file, output, options, {});
    return 0;
}

const QString kDeleteUsage = QStringLiteral("delete-lines FILE [--rule KEY=COUNT]... [--code N] [-o OUT] [--force]");
const QString kTrimUsage = QStringLiteral("right-trim FILE [--code N] [-o OUT] [--force]");
const QString kWrapUsage = QStringLiteral("word-wrap FILE [--width 2..256] [-o OUT] [--force]");
const QString kSaveCodeUsage = QStringLiteral("save-code FILE --code 1|2|3|9 [-o OUT] [--force]");
const QString kCopyUsage = QStringLiteral("line-copy FILE FROM TO [--code N]");
const QString kLineDeleteUsage = QStringLiteral("line-delete FILE FROM TO [-o OUT] [--force]");

int RunDeleteLines(ToolContext& c)
{
    Arguments a;
    if (auto status = Parse(c.args, kDeleteUsage, {QStringLiteral("-o"), QStringLiteral("--code"), QStringLiteral("--rule")}, 1, &a))
        return *status;
    TransformOptions o;
    o.kind = TransformKind::DeleteLines;
    o.code = a.code.value_or(0);
    if (!a.rules.isEmpty()) {
        o.rules = a.rules;
    } else if (c.state.settings.DeleteRuleCount > 0) {
        o.rules = UsableRules(ReadDeleteRules(c.state.settings.SettingsPath, c.state.settings.DeleteRuleCount));
    }
    if (o.rules.isEmpty()) {
        ToolPrintError(QStringLiteral(u"削除行が設定されていません。"));
        return 1;
    }
    return RunOn(c, a.positional[0], a.output, o);
}

int RunSimple(ToolContext& c, TransformKind kind, const QString& usage)
{
    Arguments a;
    QStringList allowed{QStringLiteral("-o")};
    if (kind == TransformKind::RightTrim || kind == TransformKind::SaveCode)
        allowed << QStringLiteral("--code");
    if (kind == TransformKind::WordWrap)
        allowed << QStringLiteral("--width");
    if (auto status = Parse(c.args, usage, allowed, 1, &a))
        return *status;
    TransformOptions o;
    o.kind = kind;
    o.code = a.code.value_or(0);
    const int stored = c.state.settings.WrapWidth;
    o.wrapWidth = a.width.value_or(stored >= 2 && stored <= 256 ? stored : 80);
    if (kind == TransformKind::SaveCode && o.code == DisplayCode::Standard) {
        c.state.prompter.Message(QStringLiteral(u"標準値のままでは変換処理できません。"), MsgIcon::Warning,
                                 MsgButtons::Ok, QStringLiteral(u"変換処理"));
        return 1;
    }
    const bool byteLevel = kind == TransformKind::WordWrap || kind == TransformKind::ToCrLf ||
                           kind == TransformKind::ToLf || kind == TransformKind::RemoveLineEnds;
    if (byteLevel && FileIsUtf16(a.positional[0])) {
        ToolPrintError(QStringLiteral(u"UTF-16 のファイルは変換できません。"));
        return 1;
    }
    return RunOn(c, a.positional[0], a.output, o);
}

// FROM and TO as line numbers of the open document; 0 when not usable.
bool LineArguments(const Arguments& a, const QString& usage, LineNumber* from, LineNumber* to, int* status)
{
    bool ok1 = false;
    bool ok2 = false;
    *from = a.positional[1].toInt(&ok1);
    *to = a.positional[2].toInt(&ok2);
    if (!ok1 || !ok2 || *from < 1 || *to < *from) {
        *status = Usage(usage, QStringLiteral("FROM and TO must be line numbers with FROM <= TO"));
        return false;
    }
    return true;
}

int RunLineCopy(ToolContext& c)
{
    Arguments a;
    if (auto status = Parse(c.args, kCopyUsage, {QStringLiteral("--code")}, 3, &a))
        return *status;
    LineNumber from = 0;
    LineNumber to = 0;
    int status = 0;
    if (!LineArguments(a, kCopyUsage, &from, &to, &status))
        return status;
    AppState& state = c.state;
    ViewerHost host;
    PrOpen(state, host, a.positional[0]);
    if (!state.doc.HasFile())
        return 1;
    state.doc.DisplayCode = state.doc.IsUtf16 ? 0 : a.code.value_or(0);
    const LineText collected = CollectLineText(state, from, to);
    QString text = collected.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ToolPrint(text);
    ResetDocumentState(state);
    if (collected.stoppedAt != 0) {
        ToolPrintError(QStringLiteral(u"１度に処理できる限界を超えたため、\n") + StrNumber(qint64(collected.stoppedAt)) +
                       QStringLiteral(u"行目までしか処理できませんでした。"));
        return 1;
    }
    return 0;
}

int RunLineDelete(ToolContext& c)
{
    Arguments a;
    if (auto status = Parse(c.args, kLineDeleteUsage, {QStringLiteral("-o")}, 3, &a))
        return *status;
    LineNumber from = 0;
    LineNumber to = 0;
    int status = 0;
    if (!LineArguments(a, kLineDeleteUsage, &from, &to, &status))
        return status;
    AppState& state = c.state;
    ViewerHost host;
    PrOpen(state, host, a.positional[0]);
    if (!state.doc.HasFile())
        return 1;
    SpliceIo io;
    if (a.output.isEmpty()) {
        if (RefuseProtected(state, true) != 0)
            return 1;
        LockDocument(state);
    } else {
        if (!OutputAllowed(state, a.positional[0], a.output))
            return 1;
        io.output = a.output;
    }
    SpliceLines(state, from, std::min(to, state.doc.LineCount), std::nullopt, io);
    ResetDocumentState(state);
    return 0;
}

// Failures are reported as the window reports them (a refusal that showed its own
// message carries number 0 and adds nothing).
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

int RunTrim(ToolContext& c) { return RunSimple(c, TransformKind::RightTrim, kTrimUsage); }
int RunWrap(ToolContext& c) { return RunSimple(c, TransformKind::WordWrap, kWrapUsage); }
int RunCrLf(ToolContext& c) { return RunSimple(c, TransformKind::ToCrLf, QStringLiteral("to-crlf FILE [-o OUT] [--force]")); }
int RunLf(ToolContext& c) { return RunSimple(c, TransformKind::ToLf, QStringLiteral("to-lf FILE [-o OUT] [--force]")); }
int RunRemove(ToolContext& c)
{
    return RunSimple(c, TransformKind::RemoveLineEnds, QStringLiteral("remove-line-ends FILE [-o OUT] [--force]"));
}
int RunSaveCode(ToolContext& c) { return RunSimple(c, TransformKind::SaveCode, kSaveCodeUsage); }

}  // namespace

void RegisterTransformToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("delete-lines"), kDeleteUsage,
                  QStringLiteral("deletes the lines that start with a rule's key (stored rules unless --rule)"),
                  Reported(RunDeleteLines), false});
    registry.Add({QStringLiteral("right-trim"), kTrimUsage, QStringLiteral("removes the blanks at the end of every line"),
                  Reported(RunTrim), false});
    registry.Add({QStringLiteral("word-wrap"), kWrapUsage,
                  QStringLiteral("cuts lines into pieces of at most WIDTH bytes (default: the stored width)"),
                  Reported(RunWrap), false});
    registry.Add({QStringLiteral("to-crlf"), QStringLiteral("to-crlf FILE [-o OUT] [--force]"),
                  QStringLiteral("writes every LF as CR LF"), Reported(RunCrLf), false});
    registry.Add({QStringLiteral("to-lf"), QStringLiteral("to-lf FILE [-o OUT] [--force]"),
                  QStringLiteral("writes every CR LF as LF"), Reported(RunLf), false});
    registry.Add({QStringLiteral("remove-line-ends"), QStringLiteral("remove-line-ends FILE [-o OUT] [--force]"),
                  QStringLiteral("removes every CR and LF"), Reported(RunRemove), false});
    registry.Add({QStringLiteral("save-code"), kSaveCodeUsage,
                  QStringLiteral("writes FILE converted from display code N to Shift_JIS"), Reported(RunSaveCode),
                  false});
    registry.Add({QStringLiteral("line-copy"), kCopyUsage,
                  QStringLiteral("prints lines FROM..TO as the line copy puts them on the clipboard"),
                  Reported(RunLineCopy), false});
    registry.Add({QStringLiteral("line-delete"), kLineDeleteUsage,
                  QStringLiteral("deletes lines FROM..TO from FILE, as the line-range dialog does"),
                  Reported(RunLineDelete), false});
}

}  // namespace kolbran
