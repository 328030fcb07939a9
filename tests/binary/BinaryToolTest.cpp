#include "common/ToolTestFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kolbran;

namespace {

struct Tool {
    ToolRegistry registry;
    Tool() { RegisterBinaryToolCommands(registry); }
    int Run(const QStringList& args)
    {
        return test::RunToolCommand(registry, args[0], args.mid(1));
    }
};

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(BinaryTool, WritesAndRestoresUnderDefaultNames)
{
    QTemporaryDir dir;
    Tool tool;
    const QString source = dir.filePath(QStringLiteral("data.bin"));
    QByteArray data = QByteArray(200, 'A') + QByteArray("\x00\x01\x02\xFF", 4);
    WriteFile(source, data);

    EXPECT_EQ(tool.Run({QStringLiteral("bin"), source}), 0);
    EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("data.B"))).left(4), QByteArray("4141"));
    EXPECT_EQ(tool.Run({QStringLiteral("ext"), source, QStringLiteral("--width"), QStringLiteral("120")}), 0);
    EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("data.K"))), QByteArray("41-`41-`41-H000102FF"));
    EXPECT_EQ(tool.Run({QStringLiteral("dump"), source, QStringLiteral("--bytes-per-line"), QStringLiteral("32")}), 0);
    EXPECT_TRUE(ReadFile(dir.filePath(QStringLiteral("data.DMP"))).startsWith("00000000 41414141"));

    // The restore's default name is data.XXX; a second run asks to overwrite and refuses.
    EXPECT_EQ(tool.Run({QStringLiteral("restore"), dir.filePath(QStringLiteral("data.K")), QStringLiteral("--extended")}), 0);
    EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("data.XXX"))), data);
    EXPECT_EQ(tool.Run({QStringLiteral("restore"), dir.filePath(QStringLiteral("data.B"))}), 1);
    EXPECT_EQ(tool.Run({QStringLiteral("restore"), dir.filePath(QStringLiteral("data.B")), QStringLiteral("--force")}), 0);
    EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("data.XXX"))), data);
}

TEST(BinaryTool, RefusalsAndUsage)
{
    QTemporaryDir dir;
    Tool tool;
    const QString source = dir.filePath(QStringLiteral("x.bin"));
    WriteFile(source, "abc");
    const QString empty = dir.filePath(QStringLiteral("e.bin"));
    WriteFile(empty, {});
    EXPECT_EQ(tool.Run({QStringLiteral("bin"), dir.filePath(QStringLiteral("none"))}), 1);
    EXPECT_EQ(tool.Run({QStringLiteral("bin"), empty}), 1);
    EXPECT_EQ(tool.Run({QStringLiteral("bin"), source, QStringLiteral("-o"), source, QStringLiteral("--force")}), 1);
    EXPECT_EQ(ReadFile(source), QByteArray("abc"));
    EXPECT_EQ(tool.Run({QStringLiteral("ext"), source, QStringLiteral("--width"), QStringLiteral("105")}), 2);
    EXPECT_EQ(tool.Run({QStringLiteral("dump"), source, QStringLiteral("--chars"), QStringLiteral("latin")}), 2);
    EXPECT_EQ(tool.Run({QStringLiteral("restore")}), 2);

    // A K file whose line starts with a marker.
    const QString bad = dir.filePath(QStringLiteral("bad.K"));
    WriteFile(bad, "-441");
    EXPECT_EQ(tool.Run({QStringLiteral("restore"), bad, QStringLiteral("--extended")}), 1);
}
