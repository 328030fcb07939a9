// The line scan and the screen reader: any file indexes as the plain restatement of the chunk
// rules says (the fast search and the byte-by-byte path alike), and every line reads back
// under every display code, UTF-16 documents included.
#include "fuzz/Harness.h"

#include "common/ReferenceLineScan.h"
#include "core/AppState.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"

using namespace kolbran;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first byte repeats the rest, so that small inputs reach past chunk ends; the second
    // picks the display code.
    const int repeat = 1 + data[0] % 16;
    static constexpr int kCodes[] = {0, 1, 2, 3, 9};
    const int code = kCodes[data[1] % 5];
    const QByteArray bytes =
        QByteArray(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2)).repeated(repeat);
    const QString path = fuzz::WriteScratchFile(QStringLiteral("doc.txt"), bytes.constData(), size_t(bytes.size()));

    NonInteractivePrompter prompter;
    AppState state(prompter);
    state.SettingsFolder = fuzz::ScratchFolder();
    state.settings.LinesPerScreen = 32;
    ViewerHost host;
    PrOpen(state, host, path);
    if (!state.doc.IsUtf16) {
        const std::vector<FileOffset> expected = test::ReferenceLineStarts(bytes);
        fuzz::Check(int64_t(state.doc.LineCount) + 1 == int64_t(expected.size()), "line count differs");
        for (int64_t n = 1; n <= int64_t(expected.size()); ++n)
            fuzz::Check(GetLineStart(state, n) == expected[size_t(n - 1)], "line start differs");
    }
    state.doc.DisplayCode = code;
    for (int64_t n = 1; n <= int64_t(state.doc.LineCount) + 1; ++n) {
        ReadLine(state, n);
        fuzz::Check(state.doc.LineLength >= 0, "negative line length");
    }
    ResetDocumentState(state);
    return 0;
}
