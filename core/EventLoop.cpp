#include "core/EventLoop.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace kolbran {

namespace {
QElapsedTimer& Clock()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock;
}
unsigned long long runs = 0;
}  // namespace

void YieldToEventLoop()
{
    if (Clock().elapsed() < 15)
        return;
    YieldToEventLoopNow();
}

void YieldToEventLoopNow()
{
    if (QCoreApplication::instance()) {
        QCoreApplication::processEvents();
        ++runs;
    }
    Clock().restart();
}

unsigned long long EventLoopRuns()
{
    return runs;
}

}  // namespace kolbran
