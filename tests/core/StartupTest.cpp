#include "core/AppState.h"
#include "core/Settings.h"
#include "core/Guards.h"
#include "core/Startup.h"

#include "common/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

TEST(Startup, ParseCommandPath)
{
    const struct {
        QString argument;
        QString folder;
        QString fileName;
    } cases[] = {
        {QStringLiteral("C:\\file.txt"), QStringLiteral("C:\\"), QStringLiteral("file.txt")},
        {QStringLiteral("\"C:\\file.txt\""), QStringLiteral("C:\\"), QStringLiteral("file.txt")},
        {QStringLiteral("C:\\dir\\sub\\a.txt"), QStringLiteral("C:\\dir\\sub"), QStringLiteral("a.txt")},
        {QStringLiteral("\"C:\\My Docs\\a b.txt\""), QStringLiteral("C:\\My Docs"), QStringLiteral("a b.txt")},
        {QStringLiteral("/file.txt"), QStringLiteral("/"), QStringLiteral("file.txt")},
        {QStringLiteral("/home/user/a.txt"), QStringLiteral("/home/user"), QStringLiteral("a.txt")},
        {QStringLiteral("/home/user\\a.txt"), QStringLiteral("/home/user"), QStringLiteral("a.txt")},
        {QStringLiteral("a.txt"), QString(), QStringLiteral("a.txt")},
        {QStringLiteral("\"a.txt\""), QString(), QStringLiteral("a.txt")},
        {QStringLiteral("\\\\server\\share\\a.txt"), QString(), QStringLiteral("\\\\server\\share\\a.txt")},
        {QStringLiteral("\"\\\\server\\share\\a.txt\""), QString(), QStringLiteral("\\\\server\\share\\a.txt")},
        {QStringLiteral("//server/share/a.txt"), QString(), QStringLiteral("//server/share/a.txt")},
    };
    for (const auto& c : cases) {
        const CommandPathParts parts = ParseCommandPath(c.argument);
        EXPECT_EQ(parts.folder, c.folder) << c.argument.toStdString();
        EXPECT_EQ(parts.fileName, c.fileName) << c.argument.toStdString();
    }
}

TEST(Startup, SplitCommandPathMakesTheFolderCurrent)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString saved = QDir::currentPath();
    test::ScriptedPrompter prompter;
    AppState state(prompter);

    EXPECT_EQ(SplitCommandPath(state, u'"' + dir.path() + QStringLiteral("/sub/a.txt\"")), QStringLiteral("a.txt"));
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path() + QStringLiteral("/sub")).canonicalPath());

    // A folder that does not exist changes nothing and says nothing outside debug mode;
    // the whole path comes back, so that a b.txt of the current folder is not opened.
    QFile here(QStringLiteral("b.txt"));
    ASSERT_TRUE(here.open(QIODevice::WriteOnly));
    here.close();
    const QString missing = dir.path() + QStringLiteral("/none/b.txt");
    EXPECT_EQ(SplitCommandPath(state, missing), missing);
    EXPECT_TRUE(prompter.prompts.isEmpty());
    EXPECT_TRUE(CheckFileExists(state, missing));
    EXPECT_EQ(SplitCommandPath(state, u'"' + missing + u'"'), missing);
    prompter.prompts.clear();
    state.settings.DebugFlags = 1;
    EXPECT_EQ(SplitCommandPath(state, dir.path() + QStringLiteral("/none/b.txt")),
              dir.path() + QStringLiteral("/none/b.txt"));
    EXPECT_EQ(prompter.Messages().size(), 1);
    QDir::setCurrent(saved);
}

TEST(Startup, OpeningAnimationRectangles)
{
    const QList<QRect> r = OpeningAnimationRects(QRect(100, 50, 607, 401));
    ASSERT_EQ(r.size(), 300);
    EXPECT_EQ(r.last(), QRect(100, 50, 607, 401));
    // i = 150: 303.5 → 304 (even), 200.5 → 200; left 100 + (607 − 304) / 2 = 251.5 → 252.
    EXPECT_EQ(r[149], QRect(252, 150, 304, 200));
    // i = 1: 2.02 → 2, 1.34 → 1; left 100 + 302.5 → 402 (even), top 50 + 200 = 250.
    EXPECT_EQ(r[0], QRect(402, 250, 2, 1));
    for (int i = 1; i < 300; ++i) {
        EXPECT_GE(r[i].width(), r[i - 1].width());
        EXPECT_GE(r[i].height(), r[i - 1].height());
    }
    const QList<QRect> square = OpeningAnimationRects(QRect(0, 0, 300, 300));
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(square[i].width(), i + 1);
}

TEST(Startup, WindowArithmetic)
{
    ViewerSettings s;
    const struct {
        int stored;
        int expected;
    } widths[] = {{0, 9105}, {-5, 9105}, {1, 1}, {12000, 12000}};
    for (const auto& w : widths) {
        s.WindowWidth = qint16(w.stored);
        EXPECT_EQ(StartWindowWidthTwips(s), w.expected);
    }
    EXPECT_EQ(TextAreaHeightTwips(32, 225), 32 * 225 + 355);
    EXPECT_EQ(CenteredStart(1000, 400), 300);
    EXPECT_EQ(CenteredStart(1001, 400), 300);  // 300.5 → 300
    EXPECT_EQ(CenteredStart(1003, 400), 302);  // 301.5 → 302
    EXPECT_EQ(WidthToStoreTwips(true, false, 0, 9000), -1);
    EXPECT_EQ(WidthToStoreTwips(false, true, 8000, 15000), 8000);
    EXPECT_EQ(WidthToStoreTwips(false, false, 8000, 15000), 15000);
    EXPECT_EQ(WidthToStoreTwips(false, false, 0, 40000), 32767);
}

TEST(Startup, TextsAndNames)
{
    EXPECT_EQ(RulerText().size(), 300);
    EXPECT_TRUE(RulerText().startsWith(QStringLiteral("----+----1----+")));
    EXPECT_TRUE(RulerText().endsWith(QStringLiteral("----9----+----0")));
    EXPECT_TRUE(IsDrawingFileName(QStringLiteral("plan.byg")));
    EXPECT_FALSE(IsDrawingFileName(QStringLiteral("plan.BYG")));
    EXPECT_FALSE(IsDrawingFileName(QStringLiteral("byg")));
    EXPECT_EQ(CommandLineDebugMessage(QStringLiteral("a.txt")), QStringLiteral(u"コマンドライン引数は, a.txt です."));
    EXPECT_EQ(SplitNameDebugMessage(QStringLiteral("a.txt")), QStringLiteral("---a.txt---"));
    EXPECT_EQ(UnloadDebugMessage(QStringLiteral("/k/KOLBRAN.DAT")), QStringLiteral("Form_Unload --- Fil:/k/KOLBRAN.DAT ---"));
}
