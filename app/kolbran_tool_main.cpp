// kolbran-tool [--settings-dir DIR] SUBCOMMAND [ARGS] [OPTIONS]: Kolbran's file tools without windows.
#include "core/AppState.h"
#include "core/Fonts.h"
#include "core/Prompter.h"
#include "core/RuntimeError.h"
#include "core/Settings.h"
#include "core/SettingsFolder.h"
#include "core/ToolRegistry.h"
#include "generators/ToolCommands.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

QString Usage(const kolbran::ToolRegistry& registry)
{
    QString text = QStringLiteral(
        "usage: kolbran-tool [--settings-dir DIR] SUBCOMMAND [ARGS] [OPTIONS]\n"
        "       kolbran-tool --help\n"
        "       kolbran-tool SUBCOMMAND --help\n"
        "\n"
        "Runs Kolbran's file tools without windows; files are written as the windows write them.\n"
        "\n"
        "Common options:\n"
        "  --settings-dir DIR  read KOLBRAN.DAT and KOLBRAN.INI in DIR (before the subcommand)\n"
        "  -o OUT              the output file (default: the name the window would propose)\n"
        "  --force             overwrite an existing output instead of refusing\n"
        "\n"
        "Exit status: 0 success, 1 the operation refused or failed, 2 usage error.\n"
        "\n"
        "Subcommands:\n");
    if (registry.Commands().empty())
        text += QStringLiteral("  (none)\n");
    for (const kolbran::ToolCommand& c : registry.Commands()) {
        text += QStringLiteral("  ") + c.name.leftJustified(15) + u' ' + c.summary + u'\n';
        if (!c.usage.isEmpty())
            text += QStringLiteral("  ") + QString(16, u' ') + c.usage + u'\n';
    }
    return text;
}

int UsageError(const QString& message)
{
    kolbran::ToolPrintError(QStringLiteral("kolbran-tool: ") + message +
                            QStringLiteral(" (see kolbran-tool --help)"));
    return 2;
}

// Standard error carries the program's messages only: Qt's note about a missing runtime
// folder (the tool runs without a session) is left out.
void DropSessionNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    const QByteArray text = qFormatLogMessage(type, context, message).toLocal8Bit() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
}

bool IsHelp(const QString& arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

}  // namespace

int main(int argc, char* argv[])
{
    // Text drawing for the picture tools needs a GUI application, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(DropSessionNotes);

    kolbran::ToolRegistry registry;
    kolbran::RegisterViewerToolCommands(registry);
    kolbran::RegisterTransformToolCommands(registry);
    kolbran::RegisterSearchToolCommands(registry);
    kolbran::RegisterBinaryToolCommands(registry);
    kolbran::RegisterSplitJoinToolCommands(registry);
    kolbran::RegisterBase64ToolCommands(registry);
    kolbran::RegisterCompareToolCommands(registry);
    kolbran::RegisterImagesToolCommands(registry);
    kolbran::RegisterImageListToolCommands(registry);
    kolbran::RegisterPrintingToolCommands(registry);
    kolbran::RegisterGeneratorsToolCommands(registry);
    kolbran::RegisterEditorToolCommands(registry);
    kolbran::RegisterDrawingToolCommands(registry);
    kolbran::RegisterMultiPrintToolCommands(registry);
    kolbran::RegisterMultiSearchToolCommands(registry);
    kolbran::RegisterMultiConvertToolCommands(registry);
    kolbran::RegisterMultiReplaceToolCommands(registry);

    // A subcommand that draws nothing starts without the GUI platform, which costs more
    // than indexing a large file.
    bool gui = true;
    {
        int i = 1;
        if (i < argc && std::strcmp(argv[i], "--settings-dir") == 0)
            i += 2;
        if (i < argc)
            if (const kolbran::ToolCommand* c = registry.Find(QString::fromLocal8Bit(argv[i])))
                gui = c->needsGui;
    }
    std::unique_ptr<QCoreApplication> app;
    if (gui)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kolbran"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KOLBRAN_VERSION));
    if (gui)
        kolbran::InstallFontSubstitutions();

    QStringList args = QCoreApplication::arguments().mid(1);
    if (!args.isEmpty() && args[0] == QLatin1String("--settings-dir") && args.size() < 2)
        return UsageError(QStringLiteral("--settings-dir needs a folder"));
    const QString settingsDir = kolbran::TakeSettingsDirArgument(args);
    if (args.isEmpty()) {
        kolbran::ToolPrintError(Usage(registry));
        return 2;
    }
    if (IsHelp(args[0])) {
        kolbran::ToolPrint(Usage(registry));
        return 0;
    }
    const kolbran::ToolCommand* command = registry.Find(args[0]);
    if (!command)
        return UsageError(QStringLiteral("unknown subcommand '") + args[0] + u'\'');
    args.removeFirst();
    if (std::any_of(args.begin(), args.end(), IsHelp)) {
        kolbran::ToolPrint(QStringLiteral("usage: kolbran-tool ") + command->usage + u'\n' +
                           command->summary + u'\n');
        return 0;
    }

    kolbran::NonInteractivePrompter prompter(args.contains(QStringLiteral("--force")));
    kolbran::AppState state(prompter);
    state.SettingsFolder =
        kolbran::ChooseSettingsFolder(QCoreApplication::applicationDirPath(), settingsDir);
    // The extended line length, the tab width, the wrap width and the delete-line rules
    // come from the settings; the tool reads them and writes neither file.
    kolbran::LoadSettingsWithoutWriting(state.settings, state.SettingsFolder);

    kolbran::ToolContext context{state, prompter, args};
    try {
        return command->run(context);
    } catch (const kolbran::RuntimeError& e) {
        kolbran::ToolPrintError(e.Description() + QStringLiteral(" (") + QString::number(e.Number()) +
                                QStringLiteral(")") +
                                (e.Detail().isEmpty() ? QString() : QStringLiteral(": ") + e.Detail()));
        return 1;
    } catch (const std::exception& e) {
        kolbran::ToolPrintError(QString::fromUtf8(e.what()));
        return 1;
    }
}
