// The transform and line-range subcommands of kolbran-tool: in place with the guards and the
// backup rule, or into -o OUT.
#include "common/ToolTestFixture.h"
#include "core/CodePage.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class TransformToolTest : public test::ToolFolderTest {
protected:
    TransformToolTest() : ToolFolderTest(RegisterTransformToolCommands, QStringLiteral("kolbran_transformtool")) {}
};

TEST_F(TransformToolTest, InPlaceWithBackupOrIntoOut)
{
    Write("a.txt", "x  \r\ny \r\n");
    EXPECT_EQ(Run("right-trim", {Path("a.txt")}), 0);
    EXPECT_EQ(Read("a.txt"), "x\r\ny\r\n");
    EXPECT_EQ(Read("a.bak"), "x  \r\ny \r\n");

    Write("b.txt", "a\nb\n");
    EXPECT_EQ(Run("to-crlf", {Path("b.txt"), "-o", Path("out.txt")}), 0);
    EXPECT_EQ(Read("out.txt"), "a\r\nb\r\n");
    EXPECT_EQ(Read("b.txt"), "a\nb\n");
    // An existing OUT needs --force; OUT naming FILE is refused even with it.
    EXPECT_EQ(Run("to-lf", {Path("out.txt"), "-o", Path("b.txt")}), 1);
    EXPECT_EQ(Read("b.txt"), "a\nb\n");
    EXPECT_EQ(Run("to-lf", {Path("out.txt"), "-o", Path("b.txt"), "--force"}), 0);
    EXPECT_EQ(Read("b.txt"), "a\nb\n");
    EXPECT_EQ(Run("remove-line-ends", {Path("b.txt"), "-o", Path("b.txt"), "--force"}), 1);
    EXPECT_EQ(Read("b.txt"), "a\nb\n");

    Write("w.txt", "0123456789abc\r\n");
    EXPECT_EQ(Run("word-wrap", {Path("w.txt"), "--width", "10", "-o", Path("w2.txt")}), 0);
    EXPECT_EQ(Read("w2.txt"), "0123456789\r\nabc\r\n");
}

TEST_F(TransformToolTest, RulesCodesAndRefusals)
{
    Write("r.txt", "001 a\r\n002 b\r\n001 c\r\nx\r\n");
    EXPECT_EQ(Run("delete-lines", {Path("r.txt")}), 1);  // no rule stored
    EXPECT_EQ(Run("delete-lines", {Path("r.txt"), "--rule", "001=2"}), 0);
    EXPECT_EQ(Read("r.txt"), "");
    Write("r.txt", "001 a\r\n002 b\r\n001 c\r\nx\r\n");
    EXPECT_EQ(Run("delete-lines", {Path("r.txt"), "--rule", "001=1", "--rule", "x=1"}), 0);
    EXPECT_EQ(Read("r.txt"), "002 b\r\n");
    EXPECT_EQ(Run("delete-lines", {Path("r.txt"), "--rule", "=1"}), 2);
    EXPECT_EQ(Run("delete-lines", {Path("r.txt"), "--rule", "k=21"}), 2);

    Write("e.txt", "\xA4\xA2\r\n");
    EXPECT_EQ(Run("save-code", {Path("e.txt")}), 1);  // code 0: the warning
    EXPECT_EQ(Run("save-code", {Path("e.txt"), "--code", "1"}), 0);
    EXPECT_EQ(Read("e.txt"), "\x82\xA0\r\n");

    Write("u.txt", QByteArray("\xFF\xFE", 2) + ToUtf16Le(u"a\r\n"));
    EXPECT_EQ(Run("to-lf", {Path("u.txt")}), 1);
    EXPECT_EQ(Run("word-wrap", {Path("u.txt"), "--width", "2"}), 1);
    Write(".hidden.txt", "a \r\n");
    EXPECT_EQ(Run("right-trim", {Path(".hidden.txt")}), 1);
    EXPECT_EQ(Read(".hidden.txt"), "a \r\n");
    EXPECT_EQ(Run("right-trim", {Path("missing.txt")}), 1);
    EXPECT_EQ(Run("word-wrap", {Path("w.txt"), "--width", "1"}), 2);
}

TEST_F(TransformToolTest, LineCopyAndLineDelete)
{
    Write("l.txt", "1\r\n2\r\n3\r\n4\r\n5");
    testing::internal::CaptureStdout();
    EXPECT_EQ(Run("line-copy", {Path("l.txt"), "2", "3"}), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "2\n3\n");
    EXPECT_EQ(Run("line-copy", {Path("l.txt"), "3", "2"}), 2);
    EXPECT_EQ(Run("line-delete", {Path("l.txt"), "2", "3", "-o", Path("m.txt")}), 0);
    EXPECT_EQ(Read("m.txt"), "1\r\n4\r\n5");
    EXPECT_EQ(Read("l.txt"), "1\r\n2\r\n3\r\n4\r\n5");
    EXPECT_EQ(Run("line-delete", {Path("l.txt"), "4", "9"}), 0);
    EXPECT_EQ(Read("l.txt"), "1\r\n2\r\n3\r\n");
}

}  // namespace
