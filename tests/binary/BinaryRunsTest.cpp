#include "binary/BinaryRuns.h"

#include "binary/BinaryFormats.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/RuntimeError.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace kolbran;

namespace {

struct Fixture {
    test::ScriptedPrompter prompter;
    AppState state{prompter};
    QTemporaryDir dir;

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QByteArray Read(const QString& name)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        return f.readAll();
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
};

QByteArray RandomBytes(int n, quint32 seed, int alphabet)
{
    QRandomGenerator random(seed);
    QByteArray b(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        b[i] = char(random.bounded(alphabet));
    return b;
}

}  // namespace

TEST(BinaryRuns, RoundTripsThroughBinaryDisplayAndExtendedFiles)
{
    Fixture f;
    f.state.BusyFlag = true;
    const int sizes[] = {1, 2, 63, 64, 65, 91, 92, 511, 512, 513, 1023, 1024, 1025, 4096, 70001};
    quint32 seed = 7;
    for (int size : sizes) {
        // Runs of equal bytes are common with a small alphabet.
        for (int alphabet : {256, 2}) {
            const QByteArray data = RandomBytes(size, ++seed, alphabet);
            const QString source = f.Write(QStringLiteral("src.bin"), data);

            WriteBinaryDisplayFile(f.state, source, f.Path(QStringLiteral("src.B")), {});
            const QByteArray b = f.Read(QStringLiteral("src.B"));
            EXPECT_EQ(b.size(), 2 * size + 2 * ((size + 63) / 64));
            RestoreFromFile(f.state, f.Path(QStringLiteral("src.B")), f.Path(QStringLiteral("b.XXX")), false, {});
            EXPECT_EQ(f.Read(QStringLiteral("b.XXX")), data) << size;

            for (int width : {100, 130}) {
                WriteExtendedFile(f.state, source, f.Path(QStringLiteral("src.K")), width, 32, {});
                RestoreFromFile(f.state, f.Path(QStringLiteral("src.K")), f.Path(QStringLiteral("k.XXX")), true, {});
                EXPECT_EQ(f.Read(QStringLiteral("k.XXX")), data) << size << ' ' << width;
            }
        }
    }
}

TEST(BinaryRuns, RestoreFromUtf16Text)
{
    Fixture f;
    f.state.BusyFlag = true;
    const QByteArray data = RandomBytes(300, 3, 256);
    QByteArray b;
    for (qsizetype i = 0; i < data.size(); i += 512)
        AppendBinaryDisplayRecord(b, QByteArrayView(data).sliced(i, std::min<qsizetype>(512, data.size() - i)));
    const QString path = f.Write(QStringLiteral("u.B"), QByteArray("\xFF\xFE") + ToUtf16Le(QString::fromLatin1(b)));
    RestoreFromFile(f.state, path, f.Path(QStringLiteral("u.XXX")), false, {});
    EXPECT_EQ(f.Read(QStringLiteral("u.XXX")), data);
}

TEST(BinaryRuns, RestoreFromLinesReadsMarkersAndStopsOnALeadingOne)
{
    Fixture f;
    const QStringList lines = {QStringLiteral("41-4\r\n"), QStringLiteral("42\r\n")};
    RestoreFromLines(f.state, 2, 10, [&](LineNumber n) { return lines[n - 1]; },
                     f.Path(QStringLiteral("d.XXX")), {});
    EXPECT_EQ(f.Read(QStringLiteral("d.XXX")), QByteArray("AAAAAB"));

    const QStringList bad = {QStringLiteral("41\r\n"), QStringLiteral("-441\r\n")};
    try {
        RestoreFromLines(f.state, 2, 10, [&](LineNumber n) { return bad[n - 1]; },
                         f.Path(QStringLiteral("e.XXX")), {});
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(RestoreErrorMessage(e.Number()),
                  QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙではないようです。確認してください。( 5 )"));
    }
    EXPECT_EQ(RestoreErrorMessage(52, true), QStringLiteral(u"復元途中でキャンセルされました。( 52 )"));
}

TEST(BinaryRuns, DumpFileIsTheRecordsOfEveryPage)
{
    Fixture f;
    f.state.BusyFlag = true;
    const QByteArray data = RandomBytes(1000, 11, 256);
    const QString source = f.Write(QStringLiteral("d.bin"), data);
    for (int pageBytes : {512, 1024}) {
        DumpLayout layout;
        layout.pageBytes = pageBytes;
        WriteDumpFile(f.state, source, f.Path(QStringLiteral("d.DMP")), layout, 31, {});
        const QString expected = DumpRecordText(data.first(512), 1, false, layout) +
                                 DumpRecordText(data.sliced(512), 2, true, layout);
        EXPECT_EQ(f.Read(QStringLiteral("d.DMP")), ToSjis(expected)) << pageBytes;
        EXPECT_EQ(DumpPageTextOfFile(source, data.size(), 1, layout),
                  pageBytes == 1024 ? expected : DumpRecordText(data.first(512), 1, false, layout));
    }
}

TEST(BinaryRuns, ClearedBusyFlagStopsAtTheNextStep)
{
    Fixture f;
    f.state.BusyFlag = true;
    const QByteArray data = RandomBytes(512 * 100, 5, 256);
    const QString source = f.Write(QStringLiteral("c.bin"), data);
    int reports = 0;
    const qint64 done = WriteBinaryDisplayFile(f.state, source, f.Path(QStringLiteral("c.B")),
                                               [&](qint64 i, qint64 total) {
                                                   ++reports;
                                                   EXPECT_EQ(total, 100);
                                                   EXPECT_EQ(i, 32);
                                                   f.state.BusyFlag = false;
                                               });
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(done, 32);
    EXPECT_EQ(f.Read(QStringLiteral("c.B")).size(), 32 * 8 * 130);

    // The extended run writes its pending marker when it stops.
    f.state.BusyFlag = true;
    const QString zeros = f.Write(QStringLiteral("z.bin"), QByteArray(1024 * 40, '\0'));
    WriteExtendedFile(f.state, zeros, f.Path(QStringLiteral("z.K")), 100, 31,
                      [&](qint64, qint64) { f.state.BusyFlag = false; });
    f.state.BusyFlag = true;
    RestoreFromFile(f.state, f.Path(QStringLiteral("z.K")), f.Path(QStringLiteral("z.XXX")), true, {});
    EXPECT_EQ(f.Read(QStringLiteral("z.XXX")), QByteArray(1024 * 31, '\0'));
}

TEST(BinaryRuns, OutputNameSteps)
{
    Fixture f;
    const QString source = f.Write(QStringLiteral("a.txt"), "x");
    // Cancelled dialog: nothing.
    EXPECT_TRUE(ChooseOutputPath(f.state, source, OutputKind::BinaryDisplay, OutputCaller::BinaryView).isEmpty());
    ASSERT_EQ(f.prompter.prompts.size(), 1);
    EXPECT_EQ(f.prompter.prompts[0].request.title, QStringLiteral(u"バイナリ表示ファイルの生成"));
    EXPECT_EQ(f.prompter.prompts[0].request.initialName, QStringLiteral("a.B"));

    // Same name as the source.
    f.prompter.fileNames.enqueue(source);
    EXPECT_TRUE(ChooseOutputPath(f.state, source, OutputKind::Restore, OutputCaller::ConversionDialog).isEmpty());
    EXPECT_EQ(f.prompter.prompts.last().text, kSameNameMessage);
    EXPECT_EQ(f.prompter.prompts.last().icon, MsgIcon::Warning);
    EXPECT_EQ(f.prompter.prompts[1].request.filterIndex, 3);

    // An existing target whose overwrite is declined.
    const QString existing = f.Write(QStringLiteral("a.B"), "old");
    f.prompter.fileNames.enqueue(existing);
    EXPECT_TRUE(ChooseOutputPath(f.state, source, OutputKind::BinaryDisplay, OutputCaller::ConversionDialog).isEmpty());
    EXPECT_EQ(f.Read(QStringLiteral("a.B")), QByteArray("old"));

    f.prompter.fileNames.enqueue(f.Path(QStringLiteral("new.B")));
    EXPECT_EQ(ChooseOutputPath(f.state, source, OutputKind::BinaryDisplay, OutputCaller::ConversionDialog),
              f.Path(QStringLiteral("new.B")));
}
