#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace kolbran {

struct AppState;
class NonInteractivePrompter;

// What a kolbran-tool subcommand gets: the program state (settings already loaded),
// the prompter that writes messages to standard error (--force answers its overwrite
// questions with yes), and its own arguments (the subcommand name removed).
struct ToolContext {
    AppState& state;
    NonInteractivePrompter& prompter;
    QStringList args;
};

// Exit status: 0 success, 1 the operation refused or failed, 2 usage error.
using ToolFunction = std::function<int(ToolContext&)>;

struct ToolCommand {
    QString name;
    QString usage;    // "dump FILE [--bytes-per-line 16|32] …"
    QString summary;  // one line for --help
    ToolFunction run;
    // false for subcommands that draw nothing: they start without the GUI platform.
    bool needsGui = true;
};

class ToolRegistry {
public:
    void Add(ToolCommand command) { commands_.push_back(std::move(command)); }
    const ToolCommand* Find(const QString& name) const
    {
        for (const ToolCommand& c : commands_)
            if (c.name == name)
                return &c;
        return nullptr;
    }
    const std::vector<ToolCommand>& Commands() const { return commands_; }

private:
    std::vector<ToolCommand> commands_;
};

// Text on standard output: UTF-8, line ends LF.
void ToolPrint(const QString& text);
// A message on standard error, UTF-8.
void ToolPrintError(const QString& text);

// Each module adds its subcommands (defined in that module's ToolCommands.cpp).
void RegisterViewerToolCommands(ToolRegistry& registry);
void RegisterTransformToolCommands(ToolRegistry& registry);
void RegisterSearchToolCommands(ToolRegistry& registry);
void RegisterBinaryToolCommands(ToolRegistry& registry);
void RegisterSplitJoinToolCommands(ToolRegistry& registry);
void RegisterBase64ToolCommands(ToolRegistry& registry);
void RegisterCompareToolCommands(ToolRegistry& registry);
void RegisterImagesToolCommands(ToolRegistry& registry);
void RegisterImageListToolCommands(ToolRegistry& registry);
void RegisterPrintingToolCommands(ToolRegistry& registry);
void RegisterEditorToolCommands(ToolRegistry& registry);
void RegisterDrawingToolCommands(ToolRegistry& registry);
void RegisterMultiPrintToolCommands(ToolRegistry& registry);
void RegisterMultiSearchToolCommands(ToolRegistry& registry);
void RegisterMultiConvertToolCommands(ToolRegistry& registry);
void RegisterMultiReplaceToolCommands(ToolRegistry& registry);

}  // namespace kolbran
