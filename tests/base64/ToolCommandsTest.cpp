#include "core/AppState.h"
#include "core/Prompter.h"
#include "core/ToolRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class Base64ToolTest : public ::testing::Test {
protected:
    // Default names cut the path at its first ".": the folder has none.
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_b64tool_XXXXXX")};
    ToolRegistry registry;

    void SetUp() override
    {
        ASSERT_FALSE(dir.path().contains(u'.'));
        RegisterBase64ToolCommands(registry);
    }
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
    int Run(const QString& name, const QStringList& args)
    {
        NonInteractivePrompter prompter(args.contains(QStringLiteral("--force")));
        AppState state(prompter);
        ToolContext context{state, prompter, args};
        return registry.Find(name)->run(context);
    }
};

TEST_F(Base64ToolTest, EncodesToTheDefaultNameAndDecodesBack)
{
    Write("pic.jpeg", "abcd");
    EXPECT_EQ(Run("base64-encode", {Path("pic.jpeg")}), 0);
    EXPECT_EQ(Read("pic.b64"), "YWJjZA==\r\n");
    EXPECT_EQ(Run("base64-decode", {Path("pic.b64")}), 0);
    EXPECT_EQ(Read("pic.XXX"), "abcd");
    EXPECT_EQ(Run("base64-decode", {Path("pic.b64"), "-o", Path("back.jpeg")}), 0);
    EXPECT_EQ(Read("back.jpeg"), "abcd");
}

TEST_F(Base64ToolTest, RefusalsAndUsage)
{
    Write("a.bin", "abc");
    Write("a.b64", "old");
    EXPECT_EQ(Run("base64-encode", {Path("a.bin")}), 1);
    EXPECT_EQ(Read("a.b64"), "old");
    EXPECT_EQ(Run("base64-encode", {Path("a.bin"), "--force"}), 0);
    EXPECT_EQ(Read("a.b64"), "YWJj\r\n");
    EXPECT_EQ(Run("base64-encode", {Path("a.bin"), "-o", Path("a.bin"), "--force"}), 1);
    EXPECT_EQ(Read("a.bin"), "abc");
    Write("empty", "");
    EXPECT_EQ(Run("base64-encode", {Path("empty")}), 1);
    EXPECT_EQ(Run("base64-decode", {Path("none.b64")}), 1);
    EXPECT_EQ(Run("base64-encode", {}), 2);
    EXPECT_EQ(Run("base64-decode", {Path("a.b64"), "--width", "3"}), 2);
}

}  // namespace
