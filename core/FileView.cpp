#include "core/FileView.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <csetjmp>
#include <csignal>
#endif

namespace kolbran {

FileView::FileView(QFile& file, int64_t offset, int64_t length) : file_(file)
{
    if (offset < 0 || length <= 0 || !file.isOpen())
        return;
    data_ = file.map(offset, length);
    length_ = length;
}

FileView::~FileView()
{
    if (data_)
        file_.unmap(data_);
}

#ifdef Q_OS_UNIX

namespace {

// The guarded range of the one read in progress. Only the user-interface thread scans
// views, one read at a time; the signal handler sees these through plain static storage.
sigjmp_buf gJump;
const uint8_t* volatile gLow = nullptr;
const uint8_t* volatile gHigh = nullptr;
struct sigaction gPrevious;

void OnBusError(int signal, siginfo_t* info, void* uc)
{
    const auto* address = static_cast<const uint8_t*>(info->si_addr);
    if (gLow && address >= gLow && address < gHigh)
        siglongjmp(gJump, 1);
    // Not a fault of the guarded read: the previous handling takes over when the faulting
    // instruction runs again; a handler of its own is called here directly.
    sigaction(SIGBUS, &gPrevious, nullptr);
    if ((gPrevious.sa_flags & SA_SIGINFO) && gPrevious.sa_sigaction)
        gPrevious.sa_sigaction(signal, info, uc);
    else if (!(gPrevious.sa_flags & SA_SIGINFO) && gPrevious.sa_handler != SIG_DFL &&
             gPrevious.sa_handler != SIG_IGN)
        gPrevious.sa_handler(signal);
}

}  // namespace

bool ReadViewGuarded(const uint8_t* low, int64_t length, void (*read)(void*), void* context)
{
    struct sigaction action = {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGBUS, &action, &gPrevious) != 0) {
        // Without the guard a fault could not be caught: the caller reads the file instead.
        return false;
    }
    volatile bool finished = false;
    // The saved signal mask is restored by the jump, so SIGBUS is not left blocked.
    if (sigsetjmp(gJump, 1) == 0) {
        gLow = low;
        gHigh = low + length;
        read(context);
        finished = true;
    }
    gLow = nullptr;
    gHigh = nullptr;
    sigaction(SIGBUS, &gPrevious, nullptr);
    return finished;
}

#else

// Elsewhere a mapped file cannot be cut short while it is mapped.
bool ReadViewGuarded(const uint8_t*, int64_t, void (*read)(void*), void* context)
{
    read(context);
    return true;
}

#endif

}  // namespace kolbran
