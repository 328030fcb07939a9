#include "common/ToolTestFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class SplitJoinToolTest : public test::ToolFolderTest {
protected:
    SplitJoinToolTest() : ToolFolderTest(RegisterSplitJoinToolCommands, QStringLiteral("kolbran_sjtool")) {}
};

TEST_F(SplitJoinToolTest, SplitsAndJoinsByTheBase)
{
    const QByteArray data = QByteArray(250'000, 'q') + "end";
    Write("big.iso", data);
    EXPECT_EQ(Run("split", {Path("big.iso"), "--size-kb", "100"}), 0);
    EXPECT_EQ(QFileInfo(Path("big.001")).size(), 102'400);
    EXPECT_EQ(QFileInfo(Path("big.003")).size(), 250'003 - 2 * 102'400);
    EXPECT_EQ(Run("join", {Path("big")}), 0);  // the base names the pieces; the output is the base
    EXPECT_EQ(Read("big"), data);
    EXPECT_EQ(Run("join", {Path("big.002"), "-o", Path("copy.iso")}), 0);
    EXPECT_EQ(Read("copy.iso"), data);
}

TEST_F(SplitJoinToolTest, RefusesToOverwriteWithoutForce)
{
    Write("a.bin", "new bytes");
    Write("a.001", "old piece");
    EXPECT_EQ(Run("split", {Path("a.bin")}), 1);
    EXPECT_EQ(Read("a.001"), "old piece");
    EXPECT_EQ(Run("split", {Path("a.bin"), "--force"}), 0);
    EXPECT_EQ(Read("a.001"), "new bytes");

    Write("out", "keep");
    EXPECT_EQ(Run("join", {Path("a.001"), "-o", Path("out")}), 1);
    EXPECT_EQ(Read("out"), "keep");
    EXPECT_EQ(Run("join", {Path("a.001"), "-o", Path("out"), "--force"}), 0);
    EXPECT_EQ(Read("out"), "new bytes");
    // The piece itself is refused even with --force.
    EXPECT_EQ(Run("join", {Path("a.001"), "-o", Path("a.001"), "--force"}), 1);
    EXPECT_EQ(Read("a.001"), "new bytes");
}

TEST_F(SplitJoinToolTest, FilesAfterTheNewPiecesRefuseTheSplitWithoutForce)
{
    Write("r.txt", QByteArray(250'000, 'r'));
    Write("r.004", "mine");
    Write("r.005", "mine too");
    EXPECT_EQ(Run("split", {Path("r.txt"), "--size-kb", "100"}), 1);
    EXPECT_FALSE(QFileInfo::exists(Path("r.001")));
    EXPECT_EQ(Read("r.004"), "mine");
    EXPECT_EQ(Run("split", {Path("r.txt"), "--size-kb", "100", "--force"}), 0);
    EXPECT_TRUE(QFileInfo::exists(Path("r.003")));
    EXPECT_FALSE(QFileInfo::exists(Path("r.004")));
    EXPECT_FALSE(QFileInfo::exists(Path("r.005")));
}

TEST_F(SplitJoinToolTest, UsageErrors)
{
    Write("a.bin", "x");
    for (const QStringList& args : {QStringList{}, QStringList{Path("a.bin"), "--size-kb", "105"},
                                    QStringList{Path("a.bin"), "--size-kb", "90"},
                                    QStringList{Path("a.bin"), "--size-kb", "204810"},
                                    QStringList{Path("a.bin"), "--size-kb"}, QStringList{Path("a.bin"), "--bogus"}})
        EXPECT_EQ(Run("split", args), 2) << args.join(u' ').toStdString();
    EXPECT_EQ(Run("split", {Path("none.bin")}), 1);
    EXPECT_EQ(Run("join", {Path("a.bin"), "-o"}), 2);
}

}  // namespace
