// Times the screen refresh (DispR) of the real main window, offscreen: the scroll bar moved
// to positions spread over the whole document, each move rebuilding the 56-line screen.
// Usage: bench_screen FILE [REFRESHES]; prints the median, 99th percentile and worst
// processor time in milliseconds, with and without the line-number column.
#include "core/AppState.h"
#include "core/Fonts.h"
#include "core/Prompter.h"
#include "viewer/ui/LogFile.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Processor time of this thread: on a shared machine the wall clock also counts the time
// other processes held the processor.
double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Times {
    double median = 0, p99 = 0, worst = 0;
};

Times Measure(kolbran::LogFile& window, QScrollBar* bar, int refreshes)
{
    QRandomGenerator random(42);
    std::vector<double> ms;
    ms.reserve(size_t(refreshes));
    for (int i = 0; i < refreshes; ++i) {
        int value = int(random.bounded(bar->minimum(), bar->maximum() + 1));
        if (value == bar->value())
            value = value == bar->maximum() ? bar->minimum() : value + 1;
        const double start = ThreadCpuMs();
        window.SetScrollValue(value);  // VScroll1_Change → DispR
        ms.push_back(ThreadCpuMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)], ms.back()};
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_screen FILE [REFRESHES]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int refreshes = argc > 2 ? std::max(10, atoi(argv[2])) : 2000;
    kolbran::InstallFontSubstitutions();

    QTemporaryDir settings;
    kolbran::NonInteractivePrompter prompter;
    kolbran::AppState state(prompter);
    state.SettingsFolder = settings.path();
    kolbran::LogFile window(state, QString());
    state.settings.LinesPerScreen = 56;
    window.LayOutHeights();

    QElapsedTimer load;
    load.start();
    if (!window.OpenPath(path)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const double loadSeconds = double(load.nsecsElapsed()) / 1e9;
    QScrollBar* bar = window.findChild<QScrollBar*>(QStringLiteral("VScroll1"));

    const Times plain = Measure(window, bar, refreshes);
    window.MenuItem(QStringLiteral("Menu_Disp_Ari"))->trigger();
    const Times numbered = Measure(window, bar, refreshes);
    std::printf("lines %lld, open %.3f s\n", static_cast<long long>(state.doc.LineCount), loadSeconds);
    window.close();
    std::printf("refresh median %.3f ms, p99 %.3f ms, worst %.3f ms\n", plain.median, plain.p99, plain.worst);
    std::printf("with line numbers median %.3f ms, p99 %.3f ms, worst %.3f ms\n", numbered.median, numbered.p99,
                numbered.worst);
    return 0;
}
