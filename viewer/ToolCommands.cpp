#include "core/AppState.h"
#include "core/JapaneseCodes.h"
#include "core/ToolRegistry.h"
#include "viewer/LineLoader.h"
#include "viewer/ScreenText.h"
#include "viewer/ViewerHost.h"

#include <optional>

namespace kolbran {

namespace {

// A whole-number option value, or nothing when it is not a number.
std::optional<qint64> NumberArgument(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

int UsageError(const QString& usage, const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + problem);
    ToolPrintError(QStringLiteral("usage: kolbran-tool ") + usage);
    return 2;
}

const QString kIndexUsage = QStringLiteral("index FILE [--no-limit]");
const QString kViewUsage =
    QStringLiteral("view FILE [--code 0|1|2|3|9] [--top N] [--lines N] [--numbers]");

int RunIndex(ToolContext& context)
{
    QString file;
    bool noLimit = false;
    for (const QString& arg : context.args) {
        if (arg == QLatin1String("--no-limit"))
            noLimit = true;
        else if (arg == QLatin1String("--force"))
            continue;
        else if (arg.startsWith(QLatin1String("--")) || !file.isEmpty())
            return UsageError(kIndexUsage, QStringLiteral("unexpected argument '") + arg + u'\'');
        else
            file = arg;
    }
    if (file.isEmpty())
        return UsageError(kIndexUsage, QStringLiteral("FILE is missing"));

    AppState& state = context.state;
    if (noLimit)
        state.settings.DebugFlags = int16_t(state.settings.DebugFlags | 4);  // debug flag 3
    ViewerHost host;
    PrOpen(state, host, file);
    if (!state.doc.HasFile())
        return 1;
    ToolPrint(QString::number(state.doc.LineCount) + u'\n');
    ResetDocumentState(state);
    return 0;
}

int RunView(ToolContext& context)
{
    QString file;
    int code = 0;
    qint64 top = 1;
    int lines = 32;
    bool numbers = false;
    const QStringList& args = context.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool takesValue = arg == QLatin1String("--code") || arg == QLatin1String("--top") ||
                                arg == QLatin1String("--lines");
        if (takesValue) {
            if (i + 1 >= args.size())
                return UsageError(kViewUsage, arg + QStringLiteral(" needs a value"));
            const std::optional<qint64> value = NumberArgument(args[++i]);
            if (arg == QLatin1String("--code")) {
                if (!value || !IsDisplayCode(int(*value)))
                    return UsageError(kViewUsage, QStringLiteral("--code must be 0, 1, 2, 3 or 9"));
                code = int(*value);
            } else if (arg == QLatin1String("--top")) {
                if (!value || *value < 1)
                    return UsageError(kViewUsage, QStringLiteral("--top must be a line number from 1"));
                top = *value;
            } else {
                if (!value || *value < 22 || *value > 56)
                    return UsageError(kViewUsage, QStringLiteral("--lines must be from 22 to 56"));
                lines = int(*value);
            }
        } else if (arg == QLatin1String("--numbers")) {
            numbers = true;
        } else if (arg == QLatin1String("--force")) {
            continue;
        } else if (arg.startsWith(QLatin1String("--")) || !file.isEmpty()) {
            return UsageError(kViewUsage, QStringLiteral("unexpected argument '") + arg + u'\'');
        } else {
            file = arg;
        }
    }
    if (file.isEmpty())
        return UsageError(kViewUsage, QStringLiteral("FILE is missing"));

    AppState& state = context.state;
    state.settings.LinesPerScreen = int16_t(lines);
    ViewerHost host;
    PrOpen(state, host, file);
    if (!state.doc.HasFile())
        return 1;
    state.doc.DisplayCode = code;
    ScreenRequest request;
    request.topLine = top;
    request.linesPerScreen = lines;
    request.lineNumbers = numbers;
    const ScreenContent screen = BuildScreenText(state, request);
    QString out;
    if (numbers) {
        for (const QString& number : screen.lineNumbers)
            out += number + u'\n';
        out += QStringLiteral("--\n");
    }
    out += screen.text;
    if (!screen.text.isEmpty() && !screen.text.endsWith(u'\n'))
        out += u'\n';
    ToolPrint(out);
    ResetDocumentState(state);
    return 0;
}

}  // namespace

void RegisterViewerToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("index"), kIndexUsage,
                  QStringLiteral("builds the line index as the viewer does and prints the line count"),
                  RunIndex, false});
    registry.Add({QStringLiteral("view"), kViewUsage,
                  QStringLiteral("prints the text the viewer shows for one screen"), RunView, false});
}

}  // namespace kolbran
