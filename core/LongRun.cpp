#include "core/LongRun.h"

#include "core/AppState.h"

#include <QVariant>

namespace kolbran {

LongRun::LongRun(AppState& state) : state_(state), outerBusy_(state.BusyFlag)
{
    state_.BusyFlag = true;
    if (state_.RunsGoing++ == 0 && state_.RunsChanged)
        state_.RunsChanged(true);
}

LongRun::~LongRun()
{
    // Later disables first, so that a command disabled twice ends as it was at the start.
    for (auto it = disabled_.crbegin(); it != disabled_.crend(); ++it)
        if (it->first)
            it->first->setProperty("enabled", it->second);
    state_.BusyFlag = outerBusy_;
    if (--state_.RunsGoing == 0 && state_.RunsChanged)
        state_.RunsChanged(false);
}

void LongRun::Disable(QObject* command)
{
    if (!command)
        return;
    const QVariant enabled = command->property("enabled");
    if (!enabled.isValid())
        return;
    disabled_.append({QPointer<QObject>(command), enabled.toBool()});
    command->setProperty("enabled", false);
}

bool LongRun::Going() const
{
    return state_.BusyFlag;
}

bool RunGoing(const AppState& state)
{
    return state.RunsGoing > 0;
}

}  // namespace kolbran
