#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "splitjoin/SplitJoin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

QByteArray RandomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(gen.bounded(256));
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

// Piece bases stop at the first "." of the whole path: the folder must have none.
QString TempTemplate()
{
    return QDir::tempPath() + QStringLiteral("/kolbran_splitjoin_XXXXXX");
}

class SplitJoinTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir.path().contains(u'.')); }
    QTemporaryDir dir{TempTemplate()};
    test::ScriptedPrompter prompter;
    AppState state{prompter};

    QString Path(const QString& name) const { return dir.filePath(name); }
};

TEST(PieceNames, BaseIsCutAtTheFirstDotOfTheWholePath)
{
    const struct {
        const char* path;
        const char* base;
    } cases[] = {
        {"C:\\data\\movie.avi", "C:\\data\\movie"},
        {"C:\\my.dir\\data.bin", "C:\\my"},
        {"/tmp/a.b.c", "/tmp/a"},
        {"/tmp/noext", "/tmp/noext"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PieceBase(QString::fromUtf8(c.path)), QString::fromUtf8(c.base)) << c.path;
    EXPECT_EQ(PieceName(QStringLiteral("C:\\data\\movie"), 1), QStringLiteral("C:\\data\\movie.001"));
    EXPECT_EQ(PieceName(QStringLiteral("x"), 999), QStringLiteral("x.999"));
    EXPECT_EQ(PieceSize(kPieceScrollDefault), 1'474'560);
}

TEST(PieceNames, CountAndSmallestFittingSize)
{
    EXPECT_EQ(PieceCount(0, PieceSize(144)), 1);
    EXPECT_EQ(PieceCount(3'000'000, PieceSize(144)), 3);
    EXPECT_EQ(PieceCount(2 * 1'474'560, PieceSize(144)), 2);
    const int64_t limitAtSmallest = int64_t(kMaxPieces) * PieceSize(kPieceScrollMin);
    EXPECT_EQ(SmallestFittingScrollValue(0), kPieceScrollMin);
    EXPECT_EQ(SmallestFittingScrollValue(limitAtSmallest), kPieceScrollMin);
    EXPECT_EQ(SmallestFittingScrollValue(limitAtSmallest + 1), kPieceScrollMin + 1);
    const int64_t limitAtLargest = int64_t(kMaxPieces) * PieceSize(kPieceScrollMax);
    EXPECT_EQ(SmallestFittingScrollValue(limitAtLargest), kPieceScrollMax);
    EXPECT_EQ(SmallestFittingScrollValue(limitAtLargest + 1), std::nullopt);
}

TEST_F(SplitJoinTest, SplitsAtTheDefaultSizeAndJoinsBackTheSameBytes)
{
    const QByteArray data = RandomBytes(3'000'000, 1);
    WriteFile(Path("movie.avi"), data);
    ASSERT_EQ(RunSplit(state, Path("movie.avi"), kPieceScrollDefault), SplitJoinOutcome::Done);
    EXPECT_EQ(QFileInfo(Path("movie.001")).size(), 1'474'560);
    EXPECT_EQ(QFileInfo(Path("movie.002")).size(), 1'474'560);
    EXPECT_EQ(QFileInfo(Path("movie.003")).size(), 50'880);
    EXPECT_FALSE(QFileInfo::exists(Path("movie.004")));
    EXPECT_TRUE(prompter.prompts.isEmpty()) << "no completion message";

    JoinOptions options;
    options.output = Path("joined.avi");
    ASSERT_EQ(RunJoin(state, Path("movie.002"), options), SplitJoinOutcome::Done);
    EXPECT_EQ(ReadAll(Path("joined.avi")), data);
    EXPECT_TRUE(prompter.prompts.isEmpty());
}

TEST_F(SplitJoinTest, EdgeSizes)
{
    const struct {
        qsizetype size;
        int scroll;
        QList<qint64> pieces;
    } cases[] = {
        {0, 144, {0}},
        {102'400, 10, {102'400}},
        {204'800, 10, {102'400, 102'400}},
        {204'801, 10, {102'400, 102'400, 1}},
        {5000, 10, {5000}},
    };
    for (const auto& c : cases) {
        QTemporaryDir sub(TempTemplate());
        const QByteArray data = RandomBytes(c.size, quint32(c.size));
        WriteFile(sub.filePath("src.bin"), data);
        ASSERT_EQ(RunSplit(state, sub.filePath("src.bin"), c.scroll), SplitJoinOutcome::Done);
        QList<qint64> sizes;
        for (int n = 1; QFileInfo::exists(sub.filePath(QStringLiteral("src.%1").arg(n, 3, 10, QChar(u'0')))); ++n)
            sizes.append(QFileInfo(sub.filePath(QStringLiteral("src.%1").arg(n, 3, 10, QChar(u'0')))).size());
        EXPECT_EQ(sizes, c.pieces) << c.size;
        JoinOptions options;
        options.output = sub.filePath("back.bin");
        ASSERT_EQ(RunJoin(state, sub.filePath("src.001"), options), SplitJoinOutcome::Done);
        EXPECT_EQ(ReadAll(sub.filePath("back.bin")), data) << c.size;
    }
}

TEST_F(SplitJoinTest, FolderNameWithADotCutsTheBaseThere)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("my.dir"));
    WriteFile(Path("my.dir/data.bin"), RandomBytes(300'000, 2));
    ASSERT_EQ(RunSplit(state, Path("my.dir/data.bin"), 10), SplitJoinOutcome::Done);
    EXPECT_EQ(QFileInfo(Path("my.001")).size(), 102'400);
    EXPECT_EQ(QFileInfo(Path("my.003")).size(), 300'000 - 2 * 102'400);
    EXPECT_FALSE(QFileInfo::exists(Path("my.dir/data.001")));
}

TEST_F(SplitJoinTest, ExistingPiecesAreOverwrittenAndFilesAfterThemGoOnlyWhenTheUserSaysSo)
{
    const QByteArray data = RandomBytes(1000, 4);
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        SCOPED_TRACE(answer == MsgAnswer::Yes ? "yes" : "no");
        prompter.prompts.clear();
        WriteFile(Path("a.001"), RandomBytes(500'000, 3));
        WriteFile(Path("a.002"), "mine");
        WriteFile(Path("a.003"), "mine");
        WriteFile(Path("a.005"), "unrelated");
        WriteFile(Path("a.txt"), data);
        prompter.answers.enqueue(answer);
        ASSERT_EQ(RunSplit(state, Path("a.txt"), kPieceScrollDefault), SplitJoinOutcome::Done);
        // One question, naming the first of the files a join would read after the piece.
        ASSERT_EQ(prompter.prompts.size(), 1);
        EXPECT_EQ(prompter.prompts[0].text,
                  QStringLiteral(u"「a.002」以降の2個のﾌｧｲﾙは分割ﾌｧｲﾙと一緒に結合されます。\r\n削除しますか？"));
        EXPECT_EQ(prompter.prompts[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(ReadAll(Path("a.001")), data);
        EXPECT_EQ(QFileInfo::exists(Path("a.002")), answer == MsgAnswer::No);
        EXPECT_EQ(QFileInfo::exists(Path("a.003")), answer == MsgAnswer::No);
        EXPECT_TRUE(QFileInfo::exists(Path("a.005")));
    }
}

TEST_F(SplitJoinTest, AReadOnlyPieceRefusesTheSplitBeforeAnythingIsWritten)
{
    WriteFile(Path("a.txt"), RandomBytes(300'000, 5));
    WriteFile(Path("a.001"), "old");
    WriteFile(Path("a.002"), "locked");
    ASSERT_TRUE(QFile::setPermissions(Path("a.002"), QFile::ReadOwner));
    EXPECT_EQ(RunSplit(state, Path("a.txt"), 10), SplitJoinOutcome::Failed);
    EXPECT_EQ(ReadAll(Path("a.001")), "old");
    EXPECT_EQ(ReadAll(Path("a.002")), "locked");
    EXPECT_FALSE(QFileInfo::exists(Path("a.003")));
    EXPECT_EQ(prompter.Messages().size(), 1);  // the error report
    QFile::setPermissions(Path("a.002"), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(SplitJoinTest, JoinStopsAtTheFirstMissingNumber)
{
    WriteFile(Path("p.001"), "one-");
    WriteFile(Path("p.002"), "two-");
    WriteFile(Path("p.004"), "four");
    JoinOptions options;
    options.output = Path("out.bin");
    ASSERT_EQ(RunJoin(state, Path("p.004"), options), SplitJoinOutcome::Done);
    EXPECT_EQ(ReadAll(Path("out.bin")), "one-two-");
}

TEST_F(SplitJoinTest, JoinWithoutPiece001CreatesAnEmptyOutputAndReplacesAnOldOne)
{
    WriteFile(Path("q.txt"), "text");
    WriteFile(Path("out.bin"), "old content");
    JoinOptions options;
    options.output = Path("out.bin");
    ASSERT_EQ(RunJoin(state, Path("q.txt"), options), SplitJoinOutcome::Done);
    EXPECT_EQ(ReadAll(Path("out.bin")), QByteArray());
}

TEST_F(SplitJoinTest, NamesThatDoNothingOrAreMissing)
{
    EXPECT_EQ(RunSplit(state, QString(), 144), SplitJoinOutcome::Nothing);
    EXPECT_EQ(RunSplit(state, Path("*.avi"), 144), SplitJoinOutcome::Nothing);
    EXPECT_EQ(RunJoin(state, Path("*.001")), SplitJoinOutcome::Nothing);
    EXPECT_TRUE(prompter.prompts.isEmpty());

    const QString missing = Path("none.bin");
    EXPECT_EQ(RunSplit(state, missing, 144), SplitJoinOutcome::Refused);
    EXPECT_EQ(RunJoin(state, missing), SplitJoinOutcome::Refused);
    ASSERT_EQ(prompter.prompts.size(), 2);
    for (const auto& p : prompter.prompts) {
        EXPECT_EQ(p.text, QStringLiteral(u"「") + missing + QStringLiteral(u"」ﾌｧｲﾙはありません。"));
        EXPECT_EQ(p.icon, MsgIcon::None);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(SplitJoinTest, SplitNeedingMoreThan999PiecesIsRefusedBeforeWriting)
{
    QFile big(Path("big.bin"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(int64_t(kMaxPieces) * PieceSize(10) + 1));  // sparse
    big.close();
    EXPECT_EQ(RunSplit(state, Path("big.bin"), 10), SplitJoinOutcome::Refused);
    ASSERT_EQ(prompter.Messages(),
              QStringList{QStringLiteral(u"分割数が999を超えるため分割できません。\r\n分割量を110 KB 以上にしてください。")});
    EXPECT_EQ(prompter.prompts[0].icon, MsgIcon::Warning);
    EXPECT_FALSE(QFileInfo::exists(Path("big.001")));
}

TEST_F(SplitJoinTest, SplittingAPieceUnderItsOwnNameIsRefused)
{
    WriteFile(Path("movie.002"), "keep me");
    EXPECT_EQ(RunSplit(state, Path("movie.002"), 10), SplitJoinOutcome::Refused);
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral(u"元ファイルと同名のファイル名は使用できません。")});
    EXPECT_EQ(ReadAll(Path("movie.002")), "keep me");
    EXPECT_FALSE(QFileInfo::exists(Path("movie.001")));
}

TEST_F(SplitJoinTest, JoinAsksForTheOutputAndRefusesThePiecesOwnNames)
{
    WriteFile(Path("m.001"), "abc");
    WriteFile(Path("m.002"), "def");

    // Cancel: nothing happens.
    EXPECT_EQ(RunJoin(state, Path("m.001")), SplitJoinOutcome::Nothing);
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0].kind, QStringLiteral("save"));
    EXPECT_EQ(prompter.prompts[0].request.title, QStringLiteral(u"復元するファイル名を入力してください。"));
    EXPECT_EQ(prompter.prompts[0].request.filter,
              QStringLiteral(u"圧縮ﾌｧｲﾙ(*.LZH)|*.LZH|実行ﾌｧｲﾙ(*.EXE)|*.EXE|全てのﾌｧｲﾙ(*.*)|*.*"));
    EXPECT_EQ(prompter.prompts[0].request.initialName, Path("m"));

    for (const char* taken : {"m.001", "m.002"}) {
        prompter.prompts.clear();
        prompter.fileNames.enqueue(Path(taken));
        EXPECT_EQ(RunJoin(state, Path("m.001")), SplitJoinOutcome::Refused) << taken;
        ASSERT_EQ(prompter.Messages(), QStringList{QStringLiteral(u"元ファイルと同名のファイル名は使用できません。")});
        EXPECT_EQ(prompter.prompts.last().icon, MsgIcon::Critical);
    }
    EXPECT_EQ(ReadAll(Path("m.001")), "abc");
    EXPECT_EQ(ReadAll(Path("m.002")), "def");

    prompter.fileNames.enqueue(Path("m"));
    EXPECT_EQ(RunJoin(state, Path("m.002")), SplitJoinOutcome::Done);
    EXPECT_EQ(ReadAll(Path("m")), "abcdef");
}

TEST_F(SplitJoinTest, ConfirmedOverwriteAsksAndDeclineKeepsTheOldOutput)
{
    WriteFile(Path("m.001"), "new");
    WriteFile(Path("out"), "old");
    JoinOptions options;
    options.output = Path("out");
    options.confirmOverwrite = true;
    EXPECT_EQ(RunJoin(state, Path("m.001"), options), SplitJoinOutcome::Refused);
    EXPECT_EQ(ReadAll(Path("out")), "old");
    prompter.answers.enqueue(MsgAnswer::Yes);
    EXPECT_EQ(RunJoin(state, Path("m.001"), options), SplitJoinOutcome::Done);
    EXPECT_EQ(ReadAll(Path("out")), "new");
}

TEST_F(SplitJoinTest, ReadErrorsGoToTheErrorReport)
{
    WriteFile(Path("m.001"), "abc");
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
    JoinOptions options;
    options.output = Path("out");
    EXPECT_EQ(RunJoin(state, Path("m.001"), options), SplitJoinOutcome::Failed);
    EXPECT_EQ(prompter.Messages().size(), 1);
    EXPECT_EQ(prompter.prompts[0].icon, MsgIcon::Warning);
}

}  // namespace
