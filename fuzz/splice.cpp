// The editor's range reading and write-back on any file (Shift_JIS or UTF-16): the range
// the editor loads is the text of its lines, the text box gives that text back unchanged,
// and writing the same text back over the range leaves every byte of the file as it was,
// with no file left beside it.
#include "fuzz/Harness.h"

#include "common/RecordingViewerHost.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/RuntimeError.h"
#include "editor/EditorText.h"
#include "viewer/LineLoader.h"
#include "viewer/SpliceLines.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace kolbran;

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fuzz::Fail("document not readable");
    return f.readAll();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    fuzz::EnsureGuiApplication();
    // Bytes 0-3: UTF-16 or not, the anchor line, the lines before and after it.
    QByteArray bytes(reinterpret_cast<const char*>(data + 4), qsizetype(size - 4));
    if (data[0] & 1)
        bytes.prepend("\xFF\xFE", 2);
    const int maxChars = data[0] & 2 ? 64 : kEditorMaxChars;
    const QString folder = fuzz::ScratchFolder() + QStringLiteral("/doc");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/doc.txt");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            fuzz::Fail("document not written");
    }

    test::ScriptedPrompter prompter;
    AppState state(prompter);
    state.SettingsFolder = fuzz::ScratchFolder();
    state.settings.LinesPerScreen = 32;
    state.settings.NoBackup = true;
    test::RecordingViewerHost host;
    PrOpen(state, host, path);
    if (!state.doc.HasFile())
        return 0;

    const EditRange range = LoadEditRange(state, data[1], data[2] % 64, data[3] % 64, maxChars);
    if (range.LastLine < range.FirstLine)
        return 0;
    const QStringList lines = ReadRangeLines(state, range.FirstLine, range.LastLine);
    fuzz::Check(lines.size() == range.LastLine - range.FirstLine + 1, "not one text per line of the range");
    fuzz::Check(lines.join(QString()) == range.Text, "the range's text is not its lines'");
    fuzz::Check(range.Text.size() <= maxChars, "the range holds more than the editor takes");

    // The box shows the file's own control characters as pictures; text without the
    // pictures' own characters comes back from the box as it went in.
    const QString box = BoxTextFromModel(range.Text);
    QString raw = box;
    raw.replace(u'\n', QChar(0x2029));
    if (!range.Text.contains(QChar(0x240D)) && !range.Text.contains(QChar(0x240A)) &&
        !range.Text.contains(QChar(0x2029)))
        fuzz::Check(ModelTextFromBox(raw) == range.Text, "the text box changes the text");

    try {
        SpliceLines(state, range.FirstLine, range.LastLine, range.Text);
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "error %d\n", e.Number());
        fuzz::Fail("writing the same text back was refused");
    }
    fuzz::Check(FileBytes(path) == bytes, "writing the same text back changed the file");
    fuzz::Check(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System) == QStringList{QStringLiteral("doc.txt")},
                "a file was left beside the document");
    return 0;
}
