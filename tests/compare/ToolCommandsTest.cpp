#include "common/ToolTestFixture.h"
#include "core/CodePage.h"
#include "core/Settings.h"

#include <cstdio>

using namespace kolbran;

namespace {

class CompareToolTest : public test::ToolFolderTest {
protected:
    CompareToolTest() : ToolFolderTest(RegisterCompareToolCommands, QStringLiteral("kolbran_comparetool")) {}
    void SetUp() override
    {
        ToolFolderTest::SetUp();
        Write("old.txt", "a\r\nb\r\n");
        Write("new.txt", "a\r\n\x82\xA0\r\n");
    }
};

TEST_F(CompareToolTest, WritesTheListingAsTheWindowSaves)
{
    ASSERT_EQ(Run("compare", {Path("old.txt"), Path("new.txt"), "-o", Path("out.txt")}), 0);
    const QByteArray out = Read("out.txt");
    const QString text = FromSjis(out);
    EXPECT_TRUE(out.contains("0002|b"));
    EXPECT_TRUE(out.contains("0002|\x82\xA0"));
    EXPECT_TRUE(text.endsWith(QStringLiteral(u"\r\n\r\n変更 : 0001\r\n追加 : 0000\r\n削除 : 0000\r\n")));
    EXPECT_EQ(out.count("\n"), out.count("\r\n"));

    // An existing OUT is refused without --force and kept; --force replaces it.
    Write("out.txt", "keep");
    EXPECT_EQ(Run("compare", {Path("old.txt"), Path("new.txt"), "-o", Path("out.txt")}), 1);
    EXPECT_EQ(Read("out.txt"), QByteArray("keep"));
    EXPECT_EQ(Run("compare", {Path("old.txt"), Path("new.txt"), "-o", Path("out.txt"), "--force"}), 0);
    EXPECT_EQ(FromSjis(Read("out.txt")), text);

    // --width and --context are clamped as the boxes are: 30 becomes 42.
    EXPECT_EQ(Run("compare", {Path("old.txt"), Path("new.txt"), "-o", Path("narrow.txt"), "--width", "30",
                              "--context", "50"}),
              0);
    EXPECT_TRUE(Read("narrow.txt").contains("    +" + QByteArray(31, '-') + "- Before --+"));
}

TEST_F(CompareToolTest, RefusalsAndUsage)
{
    const struct {
        QStringList args;
        int status;
    } cases[] = {
        {{Path("old.txt"), Path("old.txt")}, 0},                   // the same: nothing printed
        {{Path("old.txt"), Path("old.txt"), "-o", Path("same.txt")}, 0},
        {{Path("old.txt"), Path("missing.txt")}, 1},
        {{Path("old.txt"), dir.path()}, 1},                        // a folder is no file
        {{Path("old.txt")}, 2},
        {{Path("old.txt"), Path("new.txt"), "--width", "wide"}, 2},
        {{Path("old.txt"), Path("new.txt"), "--context"}, 2},
        {{Path("old.txt"), Path("new.txt"), "--frobnicate"}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        EXPECT_EQ(Run("compare", c.args), c.status);
    }
    // Equal files leave no output file.
    EXPECT_EQ(Read("same.txt"), QByteArray("<missing>"));
}

}  // namespace
