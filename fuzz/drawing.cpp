// The drawing language: any program text is split, scanned for labels and run on a small
// bitmap without a crash, and every run ends. Work is bounded the way the drawing window
// bounds it: the run looks at the event loop every few thousand lines and every 65,536
// points of a series, and a closed window (BusyFlag cleared) stops it; the harness closes
// it after a few looks. The bitmap may grow to 256 KB only.
#include "fuzz/Harness.h"

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/RuntimeError.h"
#include "drawing/DrawingInterpreter.h"
#include "drawing/DrawingSurface.h"

#include <QDir>
#include <QImage>
#include <QStringList>

using namespace kolbran;

namespace {

constexpr int kLooks = 4;

void PrepareFolder()
{
    // Relative names in Open and Image find these two files.
    static const bool done = [] {
        QDir::setCurrent(fuzz::ScratchFolder());
        const char text[] = "1,\"two\",3\r\nfour  ,five\r\n\"six";
        fuzz::WriteScratchFile(QStringLiteral("a.txt"), text, sizeof text - 1);
        QImage picture(4, 3, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(fuzz::ScratchFolder() + QStringLiteral("/p.bmp"), "BMP");
        return true;
    }();
    (void)done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnsureGuiApplication();
    PrepareFolder();
    // The program text as the viewer shows a Shift_JIS file, one line per LF.
    const QStringList lines =
        QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size)).split(u'\n');

    test::ScriptedPrompter prompter;
    AppState state(prompter);
    DrawingInterpreter interpreter(
        state, [&lines](LineNumber n) { return lines.value(qsizetype(n - 1)) + QStringLiteral("\r\n"); },
        LineNumber(lines.size()));
    int looks = 0;
    interpreter.yield = [&] {
        if (++looks >= kLooks)
            state.BusyFlag = false;
    };
    interpreter.screenSize = QSize(64, 48);
    DrawingSurface surface(QSize(32, 24));
    surface.SetMaxBitmapBytes(256 << 10);
    RunEnd end = RunEnd::LastLine;
    try {
        interpreter.ScanLabels();
        end = interpreter.RunDrawing(surface, false);
    } catch (const RuntimeError&) {
        // An error names its line; the run is over either way.
    }
    (void)end;
    fuzz::Check(interpreter.OpenFileCount() == 0, "a file opened by the drawing stays open");
    fuzz::Check(!state.BusyFlag, "the run did not give BusyFlag back");
    fuzz::Check(qint64(surface.Image().sizeInBytes()) <= 256 << 10, "the bitmap grew past its limit");
    return 0;
}
