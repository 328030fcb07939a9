#include "core/EventLoop.h"
#include "core/Fonts.h"
#include "core/Prompter.h"
#include "core/RuntimeError.h"
#include "core/SettingsFolder.h"
#include "core/Twips.h"

#include "common/ScriptedPrompter.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QDir>
#include <QFont>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {
// One application for the tests that need events or fonts (offscreen, from the test's
// environment).
void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "test_core_PlatformTest";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    Q_UNUSED(app);
}
}  // namespace

TEST(Prompter, DialogFilterPairs)
{
    const auto pairs = SplitDialogFilter(QStringLiteral(u"テキスト|*.txt|すべて|*.*"));
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs[0].first, QStringLiteral(u"テキスト"));
    EXPECT_EQ(pairs[1].second, QStringLiteral("*.*"));
    EXPECT_TRUE(SplitDialogFilter(QString()).isEmpty());
    EXPECT_EQ(SplitDialogFilter(QStringLiteral("a|*.a|odd")).size(), 1);
}

TEST(Prompter, NonInteractiveAnswers)
{
    const struct {
        bool force;
        MsgButtons buttons;
        MsgAnswer answer;
        int refused;
    } cases[] = {
        {false, MsgButtons::Ok, MsgAnswer::Ok, 0},
        {false, MsgButtons::YesNo, MsgAnswer::No, 1},
        {true, MsgButtons::YesNo, MsgAnswer::Yes, 0},
        {false, MsgButtons::OkCancel, MsgAnswer::Cancel, 1},
        {true, MsgButtons::OkCancel, MsgAnswer::Ok, 0},
        {true, MsgButtons::YesNoCancel, MsgAnswer::Yes, 0},
        {true, MsgButtons::RetryCancel, MsgAnswer::Cancel, 1},
    };
    for (const auto& c : cases) {
        NonInteractivePrompter p(c.force);
        EXPECT_EQ(p.Message(QStringLiteral("q"), MsgIcon::Question, c.buttons, {}), c.answer);
        EXPECT_EQ(p.RefusedQuestions(), c.refused);
    }
    NonInteractivePrompter p;
    EXPECT_EQ(p.Input(QStringLiteral("p"), {}, QStringLiteral("d")), std::optional<QString>(QStringLiteral("d")));
    try {
        p.OpenFileName({});
        ADD_FAILURE();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), Err::DialogCancelled);
    }
    EXPECT_THROW(p.SaveFileName({}), RuntimeError);
}

TEST(Prompter, ScriptedPrompterRecordsAndAnswersFromItsQueues)
{
    test::ScriptedPrompter p;
    p.answers.enqueue(MsgAnswer::Yes);
    EXPECT_EQ(p.Message(QStringLiteral("a"), MsgIcon::Warning, MsgButtons::YesNo, QStringLiteral("t")), MsgAnswer::Yes);
    EXPECT_EQ(p.Message(QStringLiteral("b"), MsgIcon::Warning, MsgButtons::YesNo, {}), MsgAnswer::No);
    EXPECT_EQ(p.Message(QStringLiteral("c"), MsgIcon::None, MsgButtons::Ok, {}), MsgAnswer::Ok);
    p.fileNames.enqueue(QStringLiteral("/x.txt"));
    EXPECT_EQ(p.OpenFileName({QStringLiteral("open"), {}, 1, {}, {}}), QStringLiteral("/x.txt"));
    EXPECT_THROW(p.SaveFileName({}), RuntimeError);
    EXPECT_EQ(p.Messages(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(p.prompts.size(), 5);
    EXPECT_EQ(p.prompts[0].title, QStringLiteral("t"));
}

TEST(SettingsFolder, CommandLineAndFolderChoice)
{
    QStringList args{QStringLiteral("--settings-dir"), QStringLiteral("/tmp/k"), QStringLiteral("a.txt")};
    EXPECT_EQ(TakeSettingsDirArgument(args), QStringLiteral("/tmp/k"));
    EXPECT_EQ(args, QStringList{QStringLiteral("a.txt")});
    QStringList later{QStringLiteral("a.txt"), QStringLiteral("--settings-dir"), QStringLiteral("/tmp/k")};
    EXPECT_EQ(TakeSettingsDirArgument(later), QString());  // only when it stands first
    EXPECT_EQ(later.size(), 3);

    QTemporaryDir dir;
    const QString given = dir.filePath(QStringLiteral("new/settings"));
    EXPECT_EQ(ChooseSettingsFolder(QStringLiteral("/usr/bin"), given), given);
    EXPECT_TRUE(QDir(given).exists());
    EXPECT_EQ(ChooseSettingsFolder(dir.path(), QString()), dir.path());
    // A folder that cannot be written falls back to the per-user folder.
    const QString fallback = ChooseSettingsFolder(dir.filePath(QStringLiteral("missing")), QString());
    EXPECT_NE(fallback, dir.filePath(QStringLiteral("missing")));
    EXPECT_FALSE(fallback.isEmpty());
}

TEST(Twips, ScreenAndPrinterConversions)
{
    const struct {
        double twips;
        int pixels;
    } cases[] = {{0, 0}, {15, 1}, {9105, 607}, {22.5, 2}, {37.5, 2}, {-15, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(TwipsToPixels(c.twips), c.pixels) << c.twips;
    EXPECT_EQ(PixelsToTwips(607), 9105);
    EXPECT_DOUBLE_EQ(TwipsToDevice(1440, 600), 600);
    EXPECT_DOUBLE_EQ(DeviceToTwips(300, 600), 720);
}

TEST(EventLoop, YieldingProcessesPendingEvents)
{
    EnsureApplication();
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    YieldToEventLoopNow();
    EXPECT_TRUE(ran);
}

TEST(Fonts, LogicalNamesAreSubstituted)
{
    EnsureApplication();
    InstallFontSubstitutions();
    const struct {
        const char16_t* logical;
        const char* first;
    } cases[] = {{u"ＭＳ 明朝", "IPAMincho"}, {u"ＭＳ ゴシック", "IPAGothic"},
                 {u"標準明朝", "IPAPMincho"}, {u"標準ゴシック", "IPAPGothic"}};
    for (const auto& c : cases) {
        const QString logical = QString::fromUtf16(c.logical);
        const QStringList subs = QFont::substitutes(logical);
        ASSERT_FALSE(subs.isEmpty());
        EXPECT_EQ(subs.first().compare(QString::fromLatin1(c.first), Qt::CaseInsensitive), 0);
        // The installed font answers to the logical name.
        EXPECT_EQ(QFontInfo(QFont(logical)).family(), QString::fromLatin1(c.first));
    }
}
