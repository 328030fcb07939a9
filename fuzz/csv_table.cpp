// The CSV table: any file, opened as the viewer opens it (Shift_JIS or UTF-16), is measured
// and laid out. The lines the table reads in blocks equal the lines the viewer reads one by
// one, every row has one bar more than the table has columns and the same display width,
// and a field that fits its column is shown whole.
#include "fuzz/Harness.h"

#include "common/RecordingViewerHost.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "generators/CsvTable.h"
#include "viewer/LineLoader.h"

#include <QStringList>

using namespace kolbran;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    fuzz::EnsureGuiApplication();
    // The first byte picks the delimiter and whether the file is UTF-16 (FF FE first).
    const int delimiterIndex = data[0] % 3;
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] & 4)
        bytes.prepend("\xFF\xFE", 2);
    const QString path = fuzz::WriteScratchFile(QStringLiteral("table.csv"), bytes.constData(), size_t(bytes.size()));

    test::ScriptedPrompter prompter;
    AppState state(prompter);
    state.SettingsFolder = fuzz::ScratchFolder();
    state.settings.LinesPerScreen = 32;
    test::RecordingViewerHost host;
    PrOpen(state, host, path);
    if (!state.doc.HasFile())
        return 0;
    const qint64 lineCount = state.doc.LineCount;

    const CsvLineSource source = DocumentLineSource(state);
    QStringList lines;
    for (qint64 n = 1; n <= lineCount; ++n)
        lines.append(source(n));
    for (qint64 n = 1; n <= lineCount; ++n) {
        ReadLine(state, n);
        QString plain = state.doc.LineBuffer.left(state.doc.LineLength);
        if (plain.endsWith(QStringLiteral("\r\n")))
            plain.chop(2);
        fuzz::Check(plain == lines[qsizetype(n - 1)], "a line read in a block differs from ReadLine's");
    }

    CsvLayout layout(CsvDelimiter(delimiterIndex));
    auto all = [](qint64) { return true; };
    auto listed = [&lines](qint64 n) { return lines[qsizetype(n - 1)]; };
    fuzz::Check(CsvMeasurePass(layout, lineCount, listed, all), "the measuring pass stopped");
    QString table;
    CsvTableProgress progress;
    fuzz::Check(CsvTablePass(layout, lineCount, listed, all, [&table](const QString& rows) { table += rows; },
                             progress),
                "the table pass stopped");

    int total = 0;
    for (int w : layout.Widths())
        total += w;
    const QChar bar(0x2502);
    const int rowWidth = total + (layout.Columns() + 1) * DisplayWidth(QStringView(&bar, 1));
    const QStringList rows = table.split(QStringLiteral("\r\n"));
    fuzz::Check(rows.size() == lineCount + 1 && rows.back().isEmpty(), "not one row per line");
    for (qint64 n = 0; n < lineCount; ++n) {
        const QString& row = rows[qsizetype(n)];
        fuzz::Check(row.count(bar) >= layout.Columns() + 1, "a row lacks a bar");
        fuzz::Check(DisplayWidth(row) == rowWidth, "rows of different widths");
        // A field with no bar of its own that fits its column is in the row whole.
        const QStringList fields = lines[qsizetype(n)].split(layout.Delimiter());
        if (lines[qsizetype(n)].contains(bar))
            continue;
        const QStringList cells = row.split(bar);
        for (qsizetype c = 0; c < fields.size(); ++c)
            fuzz::Check(cells[c + 1].startsWith(fields[c]), "a field that fits is not shown whole");
    }
    return 0;
}
