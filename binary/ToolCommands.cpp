#include "binary/BinaryFormats.h"
#include "binary/BinaryRuns.h"
#include "binary/DumpFormat.h"
#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/JapaneseCodes.h"
#include "core/Prompter.h"
#include "core/RuntimeError.h"
#include "core/ToolRegistry.h"

#include <QFileInfo>

namespace kolbran {

namespace {

struct Arguments {
    QString file;
    QString output;
    int bytesPerLine = 16;
    int pageBytes = 512;
    DumpCharCode code = DumpCharCode::ShiftJis;
    int width = 0;
    bool extended = false;
};

int UsageError(const QString& message)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + message);
    return 2;
}

enum Allow { kOutput = 1, kDumpLayout = 2, kWidth = 4, kExtended = 8 };

// FILE [options]; returns 0 or the usage-error status.
int Parse(const QStringList& args, int allow, Arguments& out)
{
    auto value = [&](qsizetype& i, const QString& name, QString& into) {
        if (++i >= args.size()) {
            UsageError(name + QStringLiteral(" needs a value"));
            return false;
        }
        into = args[i];
        return true;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString v;
        if (a == QLatin1String("--force")) {
            continue;
        } else if ((allow & kOutput) && a == QLatin1String("-o")) {
            if (!value(i, a, out.output))
                return 2;
        } else if ((allow & kDumpLayout) && a == QLatin1String("--bytes-per-line")) {
            if (!value(i, a, v))
                return 2;
            if (v != QLatin1String("16") && v != QLatin1String("32"))
                return UsageError(QStringLiteral("--bytes-per-line must be 16 or 32"));
            out.bytesPerLine = v.toInt();
        } else if ((allow & kDumpLayout) && a == QLatin1String("--page")) {
            if (!value(i, a, v))
                return 2;
            if (v != QLatin1String("512") && v != QLatin1String("1024"))
                return UsageError(QStringLiteral("--page must be 512 or 1024"));
            out.pageBytes = v.toInt();
        } else if ((allow & kDumpLayout) && a == QLatin1String("--chars")) {
            if (!value(i, a, v))
                return 2;
            if (v == QLatin1String("sjis"))
                out.code = DumpCharCode::ShiftJis;
            else if (v == QLatin1String("utf16"))
                out.code = DumpCharCode::Utf16;
            else if (v == QLatin1String("ebcdik"))
                out.code = DumpCharCode::Ebcdik;
            else
                return UsageError(QStringLiteral("--chars must be sjis, utf16 or ebcdik"));
        } else if ((allow & kWidth) && a == QLatin1String("--width")) {
            if (!value(i, a, v))
                return 2;
            bool ok = false;
            const int w = v.toInt(&ok);
            if (!ok || ValidExtendedLineLength(w) != w)
                return UsageError(QStringLiteral("--width must be 100, 110, 120, 130 or 140"));
            out.width = w;
        } else if ((allow & kExtended) && a == QLatin1String("--extended")) {
            out.extended = true;
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

// The source must exist and hold bytes; the output must pass the same-name refusal and the
// overwrite guard. Returns the output path, or empty after a refusal.
QString PrepareRun(ToolContext& context, const Arguments& a, const QString& extension)
{
    AppState& state = context.state;
    if (!FileExists(a.file)) {
        state.prompter.Message(QStringLiteral(u"「") + a.file + QStringLiteral(u"」ﾌｧｲﾙはありません。"),
                               MsgIcon::Warning);
        return {};
    }
    if (QFileInfo(FromNativeSeparators(a.file)).size() == 0) {
        state.prompter.Message(kEmptyFileMessage, MsgIcon::Warning);
        return {};
    }
    const QString target = a.output.isEmpty() ? DefaultOutputName(a.file, extension) : a.output;
    return AcceptOutputPath(state, a.file, target, MsgIcon::Warning) ? target : QString();
}

int Dump(ToolContext& context)
{
    Arguments a;
    if (const int usage = Parse(context.args, kOutput | kDumpLayout, a))
        return usage;
    const QString target = PrepareRun(context, a, QStringLiteral(".DMP"));
    if (target.isEmpty())
        return 1;
    DumpLayout layout;
    layout.bytesPerLine = a.bytesPerLine;
    layout.pageBytes = a.pageBytes;
    layout.code = a.code;
    layout.ebcdikTable = EbcdikTable(DisplayCode::EbcdikBinary).data();
    context.state.BusyFlag = true;
    try {
        const int64_t records = DumpRecordCount(QFileInfo(FromNativeSeparators(a.file)).size());
        WriteDumpFile(context.state, a.file, target, layout, DumpProgressInterval(records), {});
    } catch (const RuntimeError& e) {
        ReportError(context.state, e, 0);
        return 1;
    }
    return 0;
}

int Bin(ToolContext& context)
{
    Arguments a;
    if (const int usage = Parse(context.args, kOutput, a))
        return usage;
    const QString target = PrepareRun(context, a, QStringLiteral(".B"));
    if (target.isEmpty())
        return 1;
    context.state.BusyFlag = true;
    try {
        WriteBinaryDisplayFile(context.state, a.file, target, {});
    } catch (const RuntimeError& e) {
        context.state.prompter.Message(EncodeErrorMessage(e.Number()), MsgIcon::Warning);
        return 1;
    }
    return 0;
}

int Ext(ToolContext& context)
{
    Arguments a;
    if (const int usage = Parse(context.args, kOutput | kWidth, a))
        return usage;
    const QString target = PrepareRun(context, a, QStringLiteral(".K"));
    if (target.isEmpty())
        return 1;
    const int width = a.width != 0 ? a.width
                                   : ValidExtendedLineLength(context.state.settings.DumpExtendedLineLength);
    context.state.BusyFlag = true;
    try {
        WriteExtendedFile(context.state, a.file, target, width, 32, {});
    } catch (const RuntimeError& e) {
        context.state.prompter.Message(EncodeErrorMessage(e.Number()), MsgIcon::Warning);
        return 1;
    }
    return 0;
}

int Restore(ToolContext& context)
{
    Arguments a;
    if (const int usage = Parse(context.args, kOutput | kExtended, a))
        return usage;
    const QString target = PrepareRun(context, a, QStringLiteral(".XXX"));
    if (target.isEmpty())
        return 1;
    context.state.BusyFlag = true;
    try {
        RestoreFromFile(context.state, a.file, target, a.extended, {});
    } catch (const RuntimeError& e) {
        context.state.prompter.Message(RestoreErrorMessage(e.Number()), MsgIcon::Warning,
                                       MsgButtons::Ok, kRestoreDialogTitle);
        return 1;
    }
    return 0;
}

}  // namespace

void RegisterBinaryToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("dump"),
                  QStringLiteral("dump FILE [--bytes-per-line 16|32] [--page 512|1024] "
                                 "[--chars sjis|utf16|ebcdik] [-o OUT] [--force]"),
                  QStringLiteral("writes the dump file (default 16 bytes per line, 512-byte pages, "
                                 "Shift_JIS characters)"),
                  Dump, false});
    registry.Add({QStringLiteral("bin"), QStringLiteral("bin FILE [-o OUT] [--force]"),
                  QStringLiteral("writes the binary display file"), Bin, false});
    registry.Add({QStringLiteral("ext"),
                  QStringLiteral("ext FILE [--width 100|110|120|130|140] [-o OUT] [--force]"),
                  QStringLiteral("writes the extended binary display file (default width: the stored "
                                 "setting, 100 when unset)"),
                  Ext, false});
    registry.Add({QStringLiteral("restore"), QStringLiteral("restore FILE [--extended] [-o OUT] [--force]"),
                  QStringLiteral("restores the bytes from a binary display file, or from an extended one "
                                 "with --extended"),
                  Restore, false});
}

}  // namespace kolbran
