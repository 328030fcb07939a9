#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/LongRun.h"

#include <QAction>
#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace kolbran;

// Runs never clear each other's flag, and each gives back only what it disabled.
TEST(LongRun, NestedRunsRestoreWhatEachChanged)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name};
    QGuiApplication app(argc, argv);
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    QStringList changes;
    state.RunsChanged = [&changes](bool going) { changes.append(going ? QStringLiteral("on") : QStringLiteral("off")); };
    QAction save, layout, alreadyOff;
    alreadyOff.setEnabled(false);
    {
        LongRun outer(state);
        outer.Disable(&save);
        outer.Disable(&alreadyOff);
        EXPECT_TRUE(state.BusyFlag);
        EXPECT_TRUE(RunGoing(state));
        {
            LongRun inner(state);
            inner.Disable(&layout);
            inner.Disable(&save);  // disabled twice: still off after the inner run
            EXPECT_EQ(state.RunsGoing, 2);
        }
        EXPECT_TRUE(state.BusyFlag);  // the inner end left the outer run going
        EXPECT_TRUE(layout.isEnabled());
        EXPECT_FALSE(save.isEnabled());
        state.BusyFlag = false;  // a cancel
        EXPECT_FALSE(outer.Going());
    }
    EXPECT_FALSE(state.BusyFlag);
    EXPECT_FALSE(RunGoing(state));
    EXPECT_TRUE(save.isEnabled());
    EXPECT_FALSE(alreadyOff.isEnabled());
    EXPECT_EQ(changes, (QStringList{QStringLiteral("on"), QStringLiteral("off")}));
}
