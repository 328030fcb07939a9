// The scan of BuildLineIndex: where lines start, for the files that matter.
#include "viewer/LoaderFixture.h"

#include "core/JapaneseCodes.h"
#include "core/LineIndex.h"

#include <QDir>
#include <QFileInfo>

using namespace kolbran;
using namespace kolbran::test;

namespace {

struct IndexCase {
    const char* name;
    QByteArray bytes;
    std::vector<FileOffset> entries;  // 1..LineCount + 1
    bool utf16 = false;
};

QByteArray X(int n)
{
    return QByteArray(n, 'x');
}
QByteArray B(std::initializer_list<int> bytes)
{
    QByteArray b;
    for (int v : bytes)
        b.append(char(v));
    return b;
}

class IndexCases : public LoaderFixture, public ::testing::WithParamInterface<IndexCase> {};

TEST_P(IndexCases, LineStarts)
{
    const IndexCase& c = GetParam();
    EXPECT_EQ(Index(c.bytes), c.entries);
    EXPECT_EQ(state.doc.LineCount, LineNumber(c.entries.size() - 1));
    EXPECT_EQ(state.doc.IsUtf16, c.utf16);
    EXPECT_TRUE(state.doc.HasFile());
    EXPECT_EQ(state.doc.FileLength, c.bytes.size());
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, IndexCases,
    ::testing::Values(
        IndexCase{"Empty", QByteArray(), {1}},
        IndexCase{"FinalCrLf", "abc\r\ndef\r\n", {1, 6, 11}},
        IndexCase{"NoFinalCrLf", "abc\r\ndef", {1, 6, 9}},
        // The final lone CR belongs to no line.
        IndexCase{"FinalLoneCr", "abc\r\nde\r", {1, 6, 8}},
        IndexCase{"OnlyCrLf", "\r\n\r\n", {1, 3, 5}},
        IndexCase{"LoneCrAndLfAreData", "a\rb\nc\r\nd", {1, 8, 9}},
        // LF-only: one line per 4,096 bytes.
        IndexCase{"LfOnly", Repeat("a\n", 5000), {1, 4097, 8193, 10001}},
        // CR-only with no CR at a chunk end: one line per 4,096 bytes; the final CR
        // belongs to no line.
        IndexCase{"CrOnly", Repeat("ab\r", 3000), {1, 4097, 8193, 9000}},
        // A CR in the last byte of a full chunk starts the next piece.
        IndexCase{"CrAtChunkEnds", QByteArray(8192, '\r'), {1, 4096, 8191, 8192}},
        IndexCase{"Line4094FitsOneChunk", X(4094) + "\r\ny\r\n", {1, 4097, 4100}},
        // The CR of a 4,095-byte line is the chunk's last byte: the CR LF becomes a line.
        IndexCase{"Line4095", X(4095) + "\r\ny", {1, 4096, 4098, 4099}},
        IndexCase{"Line4096", X(4096) + "\r\n", {1, 4097, 4099}},
        IndexCase{"LongLineSplitInPieces", X(10000), {1, 4097, 8193, 10001}},
        // A lead byte at the chunk end moves the split back by one byte.
        IndexCase{"LeadAtChunkEnd", X(4095) + "\x82\xa0\r\n", {1, 4096, 4100}},
        IndexCase{"LeadE0AtChunkEnd", X(4095) + "\xe0\x40\r\n", {1, 4096, 4100}},
        // ... unless the byte before it is itself a lead 81..9F.
        IndexCase{"LeadAfterLeadAtChunkEnd", X(4094) + "\x82\x82\r\n", {1, 4097, 4099}},
        // Bytes that are no lead in the rule's sense change nothing.
        IndexCase{"KanaAtChunkEnd", X(4095) + "\xb1\r\n", {1, 4097, 4099}},
        IndexCase{"EbAtChunkEnd", X(4095) + "\xeb\x40\r\n", {1, 4097, 4100}},
        // UTF-16: line 1 starts after the byte-order mark; CR 00 LF 00 on a code unit.
        IndexCase{"Utf16", B({0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0, 'b', 0}), {3, 9, 11}, true},
        // The same bytes one byte off are the units U+0D61 U+0A00 U+6200: no line end, as
        // a piece that ended there would leave every later character one byte off.
        IndexCase{"Utf16OddOffset", B({0xFF, 0xFE, 'a', 0x0D, 0, 0x0A, 0, 'b'}), {3, 9}, true},
        IndexCase{"Utf16CrLfOnlyIsData", B({0xFF, 0xFE, 'a', 0, 0x0D, 0x0A, 'b', 0}), {3, 9}, true},
        // A CR 00 at the very end leaves no room for LF 00: no byte past the data is read
        // and it belongs to no line, like a final lone CR.
        IndexCase{"Utf16FinalCr", B({0xFF, 0xFE, 'a', 0, 0x0D, 0}), {3, 5}, true},
        IndexCase{"FfFeLaterIsNoMark", B({'a', 0xFF, 0xFE}), {1, 4}}),
    [](const ::testing::TestParamInfo<IndexCase>& info) { return std::string(info.param.name); });

TEST_F(LoaderFixture, Utf16CrLfAcrossChunkEndStartsNextPiece)
{
    // CR 00 LF 00 with the CR at offset 4,094 of a full chunk: the piece ends before the
    // CR and the next piece is the line end itself.
    QByteArray bytes = B({0xFF, 0xFE});
    bytes += X(4092) + B({0x0D, 0, 0x0A, 0}) + B({'z', 0});
    EXPECT_EQ(Index(bytes), (std::vector<FileOffset>{3, 4095, 4099, 4101}));
    EXPECT_TRUE(state.doc.IsUtf16);
}

// A UTF-16 line longer than a chunk is cut on a code unit: neither the Shift_JIS lead-byte
// step back (U+8A00 ends a chunk in 8A) nor a 0D in a unit's second byte (U+0D30) moves
// the cut to an odd offset.
TEST_F(LoaderFixture, LongUtf16LinesAreCutOnACodeUnit)
{
    // U+0D0D has a 0D on the unit at offset 4,094: the chunk rule still cuts before it.
    const std::pair<char16_t, FileOffset> cases[] = {{u'\u8A00', 4097}, {u'\u0D30', 4097}, {u'\u0D0D', 4095}};
    for (const auto& [unit, secondPiece] : cases) {
        SCOPED_TRACE(int(unit));
        const QString line(3000, QChar(unit));
        QByteArray bytes = B({0xFF, 0xFE});
        bytes += QByteArray(reinterpret_cast<const char*>(line.utf16()), line.size() * 2);
        bytes += B({0x0D, 0, 0x0A, 0});
        const std::vector<FileOffset> entries = Index(bytes);
        ASSERT_GE(entries.size(), 3u);
        EXPECT_EQ(entries[1], secondPiece);
        QString shown;
        for (LineNumber n = 1; n <= state.doc.LineCount; ++n) {
            ReadLine(state, n);
            shown += state.doc.LineBuffer;
        }
        EXPECT_EQ(shown, line + QStringLiteral("\r\n"));
    }
}

TEST_F(LoaderFixture, StatusIntervalFollowsTheFileLength)
{
    const std::vector<std::pair<FileOffset, int>> cases{
        {0, 99}, {5'543'999, 99}, {5'544'000, 99}, {5'600'000, 100}, {10'000'000, 178},
        {int64_t(3) << 31, 115'043}};
    for (const auto& [length, interval] : cases)
        EXPECT_EQ(StatusIntervalFor(length), interval) << length;
}

TEST_F(LoaderFixture, StatusPanelsWhileIndexing)
{
    Index(Repeat("line\r\n", 250));
    EXPECT_EQ(state.doc.StatusInterval, 99);
    EXPECT_EQ(host.PanelTexts(1).first(), QStringLiteral(u"ファイルを読み込み中です。"));
    // Panel 1 ends with the name of the display code (empty for the standard code).
    EXPECT_EQ(host.panels[1], QString());
    EXPECT_EQ(host.PanelTexts(5), QStringList{QStringLiteral(u"ｻｲｽﾞ:1,500")});
    EXPECT_EQ(host.PanelTexts(4), (QStringList{QStringLiteral(u"行数:99"), QStringLiteral(u"行数:198")}));
    EXPECT_EQ(host.afterOpenCount, 1);
    EXPECT_EQ(host.largeChange, 31);
}

TEST_F(LoaderFixture, QuietLoadWritesNothingButClearsPanel1)
{
    state.settings.QuietLoad = 1;
    Index(Repeat("line\r\n", 250));
    EXPECT_EQ(state.doc.LineCount, 250);
    EXPECT_EQ(state.doc.StatusInterval, 999);
    EXPECT_EQ(host.panelLog, (QList<std::pair<int, QString>>{{1, QString()}}));
    EXPECT_EQ(host.drawCount, 0);
    EXPECT_EQ(host.afterOpenCount, 0);
    EXPECT_TRUE(host.resets.isEmpty());
}

TEST_F(LoaderFixture, FirstScreenIsDrawnWhenLine57IsKnown)
{
    QList<std::pair<int64_t, LineNumber>> seen;
    QByteArray firstLine;
    host.onDraw = [&] {
        seen.append({state.doc.TopLine, state.doc.LineCount});
        firstLine = ReadDocumentBytes(state, GetLineStart(state, 1), 6);
    };
    Index(Repeat("line\r\n", 200));
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0], (std::pair<int64_t, LineNumber>{1, 56}));
    EXPECT_EQ(firstLine, "line\r\n");
    EXPECT_EQ(state.doc.LineCount, 200);
    EXPECT_EQ(state.doc.TopLine, 1);
}

TEST_F(LoaderFixture, ShortFileIsNotDrawnDuringTheScan)
{
    Index(Repeat("line\r\n", 55));
    EXPECT_EQ(host.drawCount, 0);
    EXPECT_EQ(state.doc.LineCount, 55);
}

TEST_F(LoaderFixture, ClearingBusyFlagStopsTheScanAndKeepsTheLinesSoFar)
{
    host.onPanel = [&](int panel, const QString&) {
        if (panel == 4)
            state.BusyFlag = false;
    };
    const std::vector<FileOffset> entries = Index(Repeat("abc\r\n", 1000));
    EXPECT_EQ(state.doc.LineCount, 99);
    EXPECT_EQ(entries.back(), 99 * 5 + 1);
    EXPECT_TRUE(state.doc.HasFile());
}

TEST_F(LoaderFixture, ReindexingFromLineKKeepsEntriesOneToK)
{
    const QString path = Write(QStringLiteral("doc.txt"), Repeat("aaaa\r\n", 10));
    PrOpen(state, host, path);
    const std::vector<FileOffset> before = Entries();
    // An edit from line 5 on: lines 5.. become longer; line 1 keeps a marker in the index
    // that a full scan would not write, so a rescan of lines 1..5 would show.
    SetLineStart(state, 2, 999);
    Write(QStringLiteral("doc.txt"), Repeat("aaaa\r\n", 4) + Repeat("bbbbbbbb\r\n", 3));
    ASSERT_TRUE(PrOpen2(state, host, path, 5));
    const std::vector<FileOffset> after = Entries();
    ASSERT_EQ(after.size(), 8u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], 999);
    EXPECT_EQ(after[2], before[2]);
    EXPECT_EQ(after[3], before[3]);
    EXPECT_EQ(after[4], before[4]);
    EXPECT_EQ(after[5], 25 + 10);
    EXPECT_EQ(after[6], 25 + 20);
    EXPECT_EQ(after[7], 25 + 30);
    EXPECT_EQ(state.doc.LineCount, 7);
}

TEST_F(LoaderFixture, ReindexingAUtf16DocumentKeepsItsMark)
{
    QByteArray bytes = B({0xFF, 0xFE});
    for (int i = 0; i < 4; ++i)
        bytes += B({'a', 0, 0x0D, 0, 0x0A, 0});
    const QString path = Write(QStringLiteral("u.txt"), bytes);
    PrOpen(state, host, path);
    ASSERT_TRUE(PrOpen2(state, host, path, 3));
    EXPECT_TRUE(state.doc.IsUtf16);
    EXPECT_EQ(Entries(), (std::vector<FileOffset>{3, 9, 15, 21, 27}));
}

// 1,000,001 empty lines, fast: the file is 2 MB of CR LF.
QByteArray ManyLines(int64_t count, const QByteArray& tail = {})
{
    return QByteArray("\r\n").repeated(qsizetype(count)) + tail;
}

TEST_F(LoaderFixture, MemoryFormStopsAfterOneMillionLinesWithAWarning)
{
    Index(ManyLines(1'000'001) + "more");
    EXPECT_EQ(state.doc.LineCount, 1'000'000);
    EXPECT_EQ(GetLineStart(state, 1'000'001), 2'000'001);
    ASSERT_EQ(prompter.Messages(), QStringList{QStringLiteral(u"1,000,001行以降は読み込めません。")});
    EXPECT_EQ(prompter.prompts[0].icon, MsgIcon::Warning);
    EXPECT_EQ(host.PanelTexts(4).last(), QStringLiteral(u"行数:1,000,000"));
    EXPECT_TRUE(state.doc.HasFile());
}

TEST_F(LoaderFixture, ExactlyOneMillionLinesIsNoReasonForTheWarning)
{
    for (const QByteArray& bytes : {ManyLines(1'000'000), ManyLines(999'999, "end")}) {
        Index(bytes);
        EXPECT_EQ(state.doc.LineCount, 1'000'000);
        EXPECT_EQ(GetLineStart(state, 1'000'001), bytes.size() + 1);
    }
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

TEST_F(LoaderFixture, DiskFormIndexesBeyondTheLimit)
{
    state.settings.DebugFlags = 4;  // debug flag 3
    const QString path = Write(QStringLiteral("big.txt"), ManyLines(1'000'003, "end"));
    PrOpen(state, host, path);
    EXPECT_TRUE(prompter.Messages().isEmpty());
    EXPECT_EQ(state.doc.LineCount, 1'000'004);
    EXPECT_EQ(GetLineStart(state, 1), 1);
    EXPECT_EQ(GetLineStart(state, 1'000'002), 2'000'003);
    EXPECT_EQ(GetLineStart(state, 1'000'004), 2'000'007);
    EXPECT_EQ(GetLineStart(state, 1'000'005), 2'000'010);
    ReadLine(state, 1'000'004);
    EXPECT_EQ(state.doc.LineBuffer, QStringLiteral("end"));

    // The temporary index lives in the program's folder and goes with the document.
    const QString indexFile = state.index.DiskFilePath();
    ASSERT_FALSE(indexFile.isEmpty());
    EXPECT_EQ(QFileInfo(indexFile).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(indexFile).fileName().contains(u'F'));
    EXPECT_EQ(QFileInfo(indexFile).size(), 1'000'005 * 8);
    ResetDocumentState(state);
    EXPECT_FALSE(QFile::exists(indexFile));
    EXPECT_TRUE(state.index.HasLineLimit());
}

TEST_F(LoaderFixture, DiskFormReindexesFromLineKAndIsDeletedAtEveryOpen)
{
    state.settings.DebugFlags = 4;
    const QString path = Write(QStringLiteral("d.txt"), Repeat("aa\r\n", 100));
    PrOpen(state, host, path);
    const QString first = state.index.DiskFilePath();
    Write(QStringLiteral("d.txt"), Repeat("aa\r\n", 50) + Repeat("b\r\n", 10));
    ASSERT_TRUE(PrOpen2(state, host, path, 50));
    EXPECT_EQ(state.index.DiskFilePath(), first);
    EXPECT_EQ(state.doc.LineCount, 60);
    EXPECT_EQ(GetLineStart(state, 50), 197);
    EXPECT_EQ(GetLineStart(state, 61), 231);

    PrOpen(state, host, path);
    EXPECT_TRUE(QFile::exists(state.index.DiskFilePath()));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*F*")}, QDir::Files).size(), 1);
}

TEST(LineIndexDisk, NamesAreUniqueInOneFolder)
{
    QTemporaryDir dir;
    LineIndex a;
    LineIndex b;
    a.UseDiskForm(dir.path());
    b.UseDiskForm(dir.path());
    EXPECT_NE(a.DiskFilePath(), b.DiskFilePath());
    a.Set(1, 1);
    b.Set(1, 2);
    a.Flush();
    b.Flush();
    EXPECT_EQ(a.Get(1), 1);
    EXPECT_EQ(b.Get(1), 2);
    const QString path = a.DiskFilePath();
    a.UseMemoryForm();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(LineIndexDisk, RandomStoresReadBack)
{
    QTemporaryDir dir;
    LineIndex index;
    index.UseDiskForm(dir.path());
    for (int64_t n = 1; n <= 20'000; ++n)
        index.Set(n, n * 3);
    index.Set(5, 7);  // an entry stored again out of order
    index.Set(30'000, int64_t(5) << 32);
    EXPECT_EQ(index.Get(5), 7);
    EXPECT_EQ(index.Get(19'999), 59'997);
    index.Flush();
    EXPECT_EQ(index.Get(5), 7);
    EXPECT_EQ(index.Get(20'000), 60'000);
    EXPECT_EQ(index.Get(30'000), int64_t(5) << 32);
    EXPECT_EQ(index.Get(25'000), 0);
}

TEST(LineIndexMemory, PositionsAre64Bit)
{
    LineIndex index;
    const FileOffset beyond4GiB = (int64_t(1) << 32) + 17;
    index.Set(1'000'001, beyond4GiB);
    EXPECT_EQ(index.Get(1'000'001), beyond4GiB);
    index.Set(1'000'002, 5);  // past the capacity: dropped
    EXPECT_EQ(index.Get(1'000'002), 0);
}

TEST_F(LoaderFixture, LineByLineIndexerFindsTheSameLines)
{
    const QByteArray bytes = "abc\r\n\x82\xa0\x82\xa2\r\nlone\rcr\r\nlast";
    const QString path = Write(QStringLiteral("t.txt"), bytes);
    state.doc.DocumentName = path;
    state.BusyFlag = true;
    BuildLineIndexByLines(state, host, path, 0);
    EXPECT_TRUE(state.doc.LineInputMode);
    EXPECT_EQ(Entries(), (std::vector<FileOffset>{1, 6, 12, 21, 25}));
    EXPECT_FALSE(state.doc.HasFile());
    EXPECT_EQ(host.panels[1], QString());

    // Resuming from line 3 keeps entries 1..3.
    SetLineStart(state, 2, 777);
    BuildLineIndexByLines(state, host, path, 3);
    EXPECT_EQ(Entries(), (std::vector<FileOffset>{1, 777, 12, 21, 25}));
}

TEST_F(LoaderFixture, LineByLineIndexerOnEmptyAndCrLfEndedFiles)
{
    const std::vector<std::pair<QByteArray, std::vector<FileOffset>>> cases{
        {QByteArray(), {1}}, {"a\r\nb\r\n", {1, 4, 7}}};
    for (const auto& [bytes, entries] : cases) {
        const QString path = Write(QStringLiteral("t.txt"), bytes);
        state.BusyFlag = true;
        BuildLineIndexByLines(state, host, path, 0);
        EXPECT_EQ(Entries(), entries);
    }
}

}  // namespace
