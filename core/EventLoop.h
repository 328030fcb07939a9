#pragma once

namespace kolbran {

// Long operations run inside their event handler and call this at their steps.
// Pending events are processed at most about every 15 ms, so calling it after every
// line costs nearly nothing. Callers poll BusyFlag / CancelRequested right after it.
void YieldToEventLoop();
// Processes pending events now, whatever the time since the last call.
void YieldToEventLoopNow();
// Counts the times pending events were processed: work that keeps data read before a
// yield (a block of lines) compares it to know whether anything else may have run.
unsigned long long EventLoopRuns();

}  // namespace kolbran
