// kolbran-tool [--settings-dir DIR] SUBCOMMAND [ARGS] [OPTIONS]: Kolbran's file tools without windows.
#include "core/AppState.h"
#include "core/Fonts.h"
#include "core/Prompter.h"
#include "core/SettingsFolder.h"
#include "core/ToolRegistry.h"

#include <QGuiApplication>

namespace {

void PrintUsage(const kolbran::ToolRegistry& registry)
{
    QString text = QStringLiteral(
        "usage: kolbran-tool [--settings-dir DIR] SUBCOMMAND [ARGS] [OPTIONS]\n"
        "       kolbran-tool SUBCOMMAND --help\n\n"
        "Exit status: 0 success, 1 the operation refused or failed, 2 usage error.\n\n"
        "Subcommands:\n");
    if (registry.Commands().empty())
        text += QStringLiteral("  (none yet)\n");
    for (const kolbran::ToolCommand& c : registry.Commands())
        text += QStringLiteral("  ") + c.name.leftJustified(15) + u' ' + c.summary + u'\n';
    kolbran::ToolPrint(text);
}

}  // namespace

int main(int argc, char* argv[])
{
    // Text drawing for the picture tools needs a GUI application, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Kolbran"));
    kolbran::InstallFontSubstitutions();

    kolbran::ToolRegistry registry;
    kolbran::RegisterViewerToolCommands(registry);
    kolbran::RegisterSearchToolCommands(registry);
    kolbran::RegisterBinaryToolCommands(registry);
    kolbran::RegisterSplitJoinToolCommands(registry);
    kolbran::RegisterBase64ToolCommands(registry);

    QStringList args = QGuiApplication::arguments().mid(1);
    const QString settingsDir = kolbran::TakeSettingsDirArgument(args);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        PrintUsage(registry);
        return args.isEmpty() ? 2 : 0;
    }
    const kolbran::ToolCommand* command = registry.Find(args[0]);
    if (!command) {
        kolbran::ToolPrintError(QStringLiteral("kolbran-tool: unknown subcommand '") + args[0] +
                                QStringLiteral("' (see kolbran-tool --help)"));
        return 2;
    }
    args.removeFirst();
    if (args.contains(QStringLiteral("--help"))) {
        kolbran::ToolPrint(QStringLiteral("usage: kolbran-tool ") + command->usage + u'\n' +
                           command->summary + u'\n');
        return 0;
    }

    kolbran::NonInteractivePrompter prompter(args.contains(QStringLiteral("--force")));
    kolbran::AppState state(prompter);
    state.SettingsFolder =
        kolbran::ChooseSettingsFolder(QGuiApplication::applicationDirPath(), settingsDir);
    kolbran::ToolContext context{state, prompter, args};
    try {
        return command->run(context);
    } catch (const std::exception& e) {
        kolbran::ToolPrintError(QString::fromUtf8(e.what()));
        return 1;
    }
}
