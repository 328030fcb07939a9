// kolbran-tool find: the result list's entries and heading on standard output.
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Prompter.h"
#include "core/ToolRegistry.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class SearchToolTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ToolRegistry registry;
    std::string out;

    void SetUp() override { RegisterSearchToolCommands(registry); }
    QString Write(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    int Run(const QStringList& args)
    {
        NonInteractivePrompter prompter;
        AppState state(prompter);
        state.SettingsFolder = dir.path();
        ToolContext context{state, prompter, args};
        testing::internal::CaptureStdout();
        const int status = registry.Find(QStringLiteral("find"))->run(context);
        out = testing::internal::GetCapturedStdout();
        return status;
    }
};

TEST_F(SearchToolTest, PrintsEachFoundLineAndTheHeading)
{
    const QString path = Write(ToSjis(QStringLiteral(u"abc abc\r\n日本\r\nxABCx\r\nlast abc")));
    EXPECT_EQ(Run({QStringLiteral("abc"), path}), 0);
    EXPECT_EQ(QString::fromStdString(out),
              QStringLiteral(u"1\tabc abc\n3\txABCx\n4\tlast abc\n「abc」の検索結果は 3行発見しました。\n"));
    EXPECT_EQ(Run({QStringLiteral("ABC"), path, QStringLiteral("--case")}), 0);
    EXPECT_EQ(QString::fromStdString(out), QStringLiteral(u"3\txABCx\n「ABC」の検索結果は 1行発見しました。\n"));
}

TEST_F(SearchToolTest, SearchesTheConvertedText)
{
    // "検索" in EUC-JP.
    const QString path = Write(QByteArray("x\r\n\xB8\xA1\xBA\xF7\r\n"));
    EXPECT_EQ(Run({QStringLiteral(u"検索"), path, QStringLiteral("--code"), QStringLiteral("1")}), 0);
    EXPECT_EQ(QString::fromStdString(out), QStringLiteral(u"2\t検索\n「検索」の検索結果は 1行発見しました。\n"));
}

TEST_F(SearchToolTest, RefusesBadArgumentsAndMissingFiles)
{
    const QString path = Write("a\r\n");
    EXPECT_EQ(Run({QStringLiteral("a")}), 2);
    EXPECT_EQ(Run({QStringLiteral("a"), path, QStringLiteral("--code"), QStringLiteral("4")}), 2);
    EXPECT_EQ(Run({QStringLiteral("a"), path, QStringLiteral("--bogus")}), 2);
    EXPECT_EQ(Run({QStringLiteral("a"), dir.filePath(QStringLiteral("missing.txt"))}), 1);
}

}  // namespace
