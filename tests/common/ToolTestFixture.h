#pragma once

#include "core/AppState.h"
#include "core/Prompter.h"
#include "core/ToolRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kolbran::test {

// Runs one kolbran-tool subcommand as the executable does: a fresh AppState whose
// prompter answers the overwrite questions with yes only under --force.
inline int RunToolCommand(const ToolRegistry& registry, const QString& name, const QStringList& args)
{
    NonInteractivePrompter prompter(args.contains(QStringLiteral("--force")));
    AppState state(prompter);
    ToolContext context{state, prompter, args};
    return registry.Find(name)->run(context);
}

// A temporary folder without "." in its path (default names cut the path at its first "."),
// and the subcommands of one module.
class ToolFolderTest : public ::testing::Test {
protected:
    ToolFolderTest(void (*registerCommands)(ToolRegistry&), const QString& folderPrefix)
        : dir(QDir::tempPath() + u'/' + folderPrefix + QStringLiteral("_XXXXXX"))
    {
        registerCommands(registry);
    }

    void SetUp() override { ASSERT_FALSE(dir.path().contains(u'.')); }

    QString Path(const QString& name) const { return dir.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Read(const QString& name)
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    int Run(const QString& name, const QStringList& args) { return RunToolCommand(registry, name, args); }

    QTemporaryDir dir;
    ToolRegistry registry;
};

}  // namespace kolbran::test
