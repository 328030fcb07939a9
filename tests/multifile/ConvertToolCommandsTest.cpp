// kolbran-tool multi-convert and multi-delete-lines.
#include "common/ToolTestFixture.h"

using namespace kolbran;
using namespace kolbran::test;

namespace {

class MultiConvertToolTest : public ToolFolderTest {
protected:
    MultiConvertToolTest() : ToolFolderTest(RegisterMultiConvertToolCommands, QStringLiteral("kolbran_multi")) {}
};

TEST_F(MultiConvertToolTest, ConvertsTheListAndFailsOnWarningsOrUnlistedNames)
{
    Write(QStringLiteral("a.txt"), "\xB0\xA1\r\n");
    Write(QStringLiteral("b.txt"), "\xB0\xA1\r\n");
    Write(QStringLiteral("c.csv"), "\xB0\xA1\r\n");
    // A name not in the list: nothing is converted.
    EXPECT_EQ(Run(QStringLiteral("multi-convert"), {QStringLiteral("2"), Path({}), QStringLiteral("a.txt"),
                                                    QStringLiteral("c.csv")}),
              1);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "\xB0\xA1\r\n");
    EXPECT_EQ(Run(QStringLiteral("multi-convert"), {QStringLiteral("2"), Path({}), QStringLiteral("--backup")}), 0);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "\x88\x9F\r\n");
    EXPECT_EQ(Read(QStringLiteral("b.bak")), "\xB0\xA1\r\n");
    EXPECT_EQ(Read(QStringLiteral("c.csv")), "\xB0\xA1\r\n");  // not under *.txt

    Write(QStringLiteral("u.txt"), "\xFF\xFE\x0A\x4E");
    EXPECT_EQ(Run(QStringLiteral("multi-convert"), {QStringLiteral("9"), Path({}), QStringLiteral("u.txt")}), 1);
    EXPECT_EQ(Read(QStringLiteral("u.txt")), "\xFF\xFE\x0A\x4E");
    EXPECT_EQ(Run(QStringLiteral("multi-convert"), {QStringLiteral("10"), Path({})}), 2);
    EXPECT_EQ(Run(QStringLiteral("multi-convert"), {QStringLiteral("7"), Path({}), QStringLiteral("--wrap-width"),
                                                    QStringLiteral("1")}),
              2);
}

TEST_F(MultiConvertToolTest, DeleteLinesWithRulesOrRefuses)
{
    Write(QStringLiteral("a.csv"), "// x\r\ny\r\nz\r\n");
    EXPECT_EQ(Run(QStringLiteral("multi-delete-lines"), {Path({}), QStringLiteral("--pattern"), QStringLiteral("*.csv"),
                                                         QStringLiteral("--rule"), QStringLiteral("//=2")}),
              0);
    EXPECT_EQ(Read(QStringLiteral("a.csv")), "z\r\n");
    EXPECT_EQ(Read(QStringLiteral("a.bak")), "<missing>");  // no backup without --backup
    // No rule given and none stored.
    EXPECT_EQ(Run(QStringLiteral("multi-delete-lines"), {Path({}), QStringLiteral("--pattern"), QStringLiteral("*.csv")}), 1);
    EXPECT_EQ(Run(QStringLiteral("multi-delete-lines"), {Path(QStringLiteral("missing")), QStringLiteral("--rule"),
                                                         QStringLiteral("//=2")}),
              1);
}

}  // namespace
