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
}  // namespace

void YieldToEventLoop()
{
    if (Clock().elapsed() < 15)
        return;
    YieldToEventLoopNow();
}

void YieldToEventLoopNow()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    Clock().restart();
}

}  // namespace kolbran
