#include "multifile/ui/MultiFileSession.h"

#include "core/AppState.h"
#include "viewer/LineLoader.h"

#include <QWidget>

namespace kolbran {

MultiFileSession::MultiFileSession(AppState& state, QWidget* parent)
    : state_(state), host_(dynamic_cast<ViewerHost*>(parent)), quietLoad_(state.settings.QuietLoad)
{
    if (host_ == nullptr)
        host_ = &silent_;
}

MultiFileSession::~MultiFileSession()
{
    RestoreTimer();
    state_.settings.QuietLoad = quietLoad_;
}

void MultiFileSession::StopTimer()
{
    if (timerStopped_)
        return;
    timerWasOn_ = host_->Timer1Enabled();
    host_->SetTimer1Enabled(false);
    timerStopped_ = true;
}

void MultiFileSession::RestoreTimer()
{
    if (!timerStopped_)
        return;
    host_->SetTimer1Enabled(timerWasOn_);
    timerStopped_ = false;
}

void MultiFileSession::SetQuietLoad(bool quiet)
{
    state_.settings.QuietLoad = quiet ? 1 : quietLoad_;
}

void MultiFileSession::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    RestoreTimer();
    state_.settings.QuietLoad = quietLoad_;
    ResetDocumentState(state_);
    host_->ResetToNoDocument(false);
}

}  // namespace kolbran
