#include "common/ToolTestFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class Base64ToolTest : public test::ToolFolderTest {
protected:
    Base64ToolTest() : ToolFolderTest(RegisterBase64ToolCommands, QStringLiteral("kolbran_b64tool")) {}
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
