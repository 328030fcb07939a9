// Every file writer of kolbran-tool against the faults a user's machine has: a full disk, a
// read-only folder, a target that is a folder, a source that is a FIFO or a device, names the
// system code page cannot hold, names of 255 bytes, and a kill in the middle of a run. After
// each, the old output is byte-identical (or the new one complete) and nothing half-written is
// left behind.
#include "core/RuntimeError.h"
#include "core/Settings.h"
#include "core/ViewerSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace {

struct Result {
    int exitCode = -1;
    bool finished = false;
    QString err;
};

Result RunTool(const QStringList& args, int timeoutMs = 30000)
{
    QProcess p;
    p.start(QStringLiteral(KOLBRAN_TOOL), args);
    Result r;
    if (!p.waitForStarted())
        return r;
    p.closeWriteChannel();
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray RandomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

// Byte equality, reported by size (the contents are large and binary).
::testing::AssertionResult Same(const QByteArray& actual, const QByteArray& expected)
{
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.size() << " bytes (" << actual.left(20).toStdString()
                                         << "…) instead of " << expected.size() << " bytes ("
                                         << expected.left(20).toStdString() << "…)";
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Fills the file system of `folder` with a file "filler" until nothing is left, then gives
// `leave` bytes back.
void FillDisk(const QString& folder, qint64 leave)
{
    const QString path = folder + QStringLiteral("/filler");
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    char block[512] = {};
    qint64 size = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block, sizeof block);
        if (n <= 0)
            break;
        size += n;
    }
    ASSERT_EQ(::ftruncate(fd, std::max<qint64>(0, size - leave)), 0);
    ::close(fd);
}

// A writer: the arguments that turn SOURCE into OUT, and the source it reads.
struct Writer {
    const char* name;
    std::function<QStringList(const QString& source, const QString& out)> args;
    std::function<QByteArray()> source;
};

QByteArray TextOf(const char* subcommand, const QByteArray& bytes, const QStringList& extra = {})
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kolbranfault_XXXXXX"));
    Write(dir.filePath(QStringLiteral("src")), bytes);
    RunTool(QStringList{QString::fromLatin1(subcommand), dir.filePath(QStringLiteral("src")), QStringLiteral("-o"),
                        dir.filePath(QStringLiteral("out"))} + extra);
    return Read(dir.filePath(QStringLiteral("out")));
}

const QList<Writer>& Writers()
{
    static const QList<Writer> writers = [] {
        const auto plain = [](const char* sub, QStringList extra = {}) {
            return [sub, extra](const QString& s, const QString& o) {
                return QStringList{QString::fromLatin1(sub), s, QStringLiteral("-o"), o, QStringLiteral("--force")} + extra;
            };
        };
        const auto data = [] { return RandomBytes(400'000, 7); };
        return QList<Writer>{
            {"dump", plain("dump"), data},
            {"bin", plain("bin"), data},
            {"ext", plain("ext"), data},
            {"base64-encode", plain("base64-encode"), data},
            {"restore", plain("restore"), [] { return TextOf("bin", RandomBytes(200'000, 8)); }},
            {"restore-extended", plain("restore", {QStringLiteral("--extended")}),
             [] { return TextOf("ext", RandomBytes(200'000, 9)); }},
            {"base64-decode", plain("base64-decode"), [] { return TextOf("base64-encode", RandomBytes(300'000, 10)); }},
        };
    }();
    return writers;
}

class WriterFaults : public ::testing::TestWithParam<int> {
protected:
    const Writer& W() const { return Writers()[GetParam()]; }
    QString Path(const QString& name) const { return dir.filePath(name); }

    // A small file system of its own; false where mounting is not allowed here.
    bool MountTmpfs(const QString& folder, const char* options)
    {
        QDir().mkpath(folder);
        if (mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options) != 0)
            return false;
        mounts.append(folder);
        return true;
    }
    void TearDown() override
    {
        for (const QString& m : mounts)
            umount2(QFile::encodeName(m).constData(), MNT_DETACH);
    }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbranfault_XXXXXX")};
    QStringList mounts;
};

TEST_P(WriterFaults, AFullDiskKeepsTheOldOutputAndLeavesNothingBehind)
{
    const QString disk = Path(QStringLiteral("disk"));
    if (!MountTmpfs(disk, "size=256k"))
        GTEST_SKIP() << "tmpfs cannot be mounted here (needs root): full-disk case not run";
    const QString source = Path(QStringLiteral("source"));
    Write(source, W().source());
    const QString out = disk + QStringLiteral("/out");
    Write(out, "the old output");
    FillDisk(disk, 8192);

    const Result r = RunTool(W().args(source, out));
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_TRUE(Same(Read(out), "the old output"));
    EXPECT_EQ(Entries(disk), (QStringList{QStringLiteral("filler"), QStringLiteral("out")}));
}

TEST_P(WriterFaults, AReadOnlyFolderOrAFolderAsTargetIsRefused)
{
    const QString source = Path(QStringLiteral("source"));
    Write(source, W().source());

    const QString folderTarget = Path(QStringLiteral("target"));
    QDir().mkpath(folderTarget + QStringLiteral("/inside"));
    Result r = RunTool(W().args(source, folderTarget));
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QFileInfo(folderTarget + QStringLiteral("/inside")).isDir());

    const QString readOnly = Path(QStringLiteral("ro"));
    if (!MountTmpfs(readOnly, "size=64k"))
        GTEST_SKIP() << "tmpfs cannot be mounted here (needs root): read-only case not run";
    Write(readOnly + QStringLiteral("/out"), "the old output");
    ASSERT_EQ(mount("tmpfs", QFile::encodeName(readOnly).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
    r = RunTool(W().args(source, readOnly + QStringLiteral("/out")));
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_TRUE(Same(Read(readOnly + QStringLiteral("/out")), "the old output"));
}

TEST_P(WriterFaults, AFifoOrADeviceAsSourceIsRefusedWithoutHanging)
{
    const QString fifo = Path(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& source : {fifo, QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(source.toStdString());
        const QString out = Path(QStringLiteral("out"));
        const Result r = RunTool(W().args(source, out), 20000);
        ASSERT_TRUE(r.finished) << "the run hangs";
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST_P(WriterFaults, NamesOutsideShiftJisAndOf255BytesAreWritten)
{
    const QByteArray bytes = W().source();
    const QString plainSource = Path(QStringLiteral("source"));
    Write(plainSource, bytes);
    ASSERT_EQ(RunTool(W().args(plainSource, Path(QStringLiteral("expected")))).exitCode, 0);
    const QByteArray expected = Read(Path(QStringLiteral("expected")));

    const QString source = Path(QStringLiteral(u"café_ß_😀"));
    Write(source, bytes);
    const QString longName = QString(251, u'n') + QStringLiteral(".out");
    ASSERT_EQ(QFile::encodeName(longName).size(), 255);
    for (const QString& out : {Path(QStringLiteral(u"출력_é")), Path(longName)}) {
        SCOPED_TRACE(out.toStdString());
        const Result r = RunTool(W().args(source, out));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(Same(Read(out), expected));
    }
}

TEST_P(WriterFaults, AKillMidRunLeavesTheOldOrTheWholeNewOutput)
{
    // A larger source, so that most kills land inside the run.
    const QString source = Path(QStringLiteral("source"));
    const QByteArray one = W().source();
    Write(source, one.repeated(8));
    const QString out = Path(QStringLiteral("out"));
    ASSERT_EQ(RunTool(W().args(source, Path(QStringLiteral("expected")))).exitCode, 0);
    const QByteArray expected = Read(Path(QStringLiteral("expected")));
    QRandomGenerator random(42);
    for (int kill = 0; kill < 5; ++kill) {
        Write(out, "the old output");
        QProcess p;
        p.start(QStringLiteral(KOLBRAN_TOOL), W().args(source, out));
        ASSERT_TRUE(p.waitForStarted());
        p.waitForFinished(int(random.bounded(5, 120)));
        p.kill();
        p.waitForFinished();
        const QByteArray now = Read(out);
        EXPECT_TRUE(now == "the old output" || now == expected) << "kill " << kill << ": " << now.size() << " bytes";
    }
    // A later run completes whatever a killed one left.
    ASSERT_EQ(RunTool(W().args(source, out)).exitCode, 0);
    EXPECT_TRUE(Same(Read(out), expected));
}

TEST_F(WriterFaults, TheSettingsFilesSurviveAFullDisk)
{
    const QString disk = Path(QStringLiteral("disk"));
    if (!MountTmpfs(disk, "size=64k"))
        GTEST_SKIP() << "tmpfs cannot be mounted here (needs root): full-disk case not run";
    kolbran::ViewerSettings s;
    kolbran::LoadSettings(s, disk);
    s.TabWidth = 3;
    kolbran::SaveSettings(s);
    kolbran::WriteIniFile(s);
    const QByteArray dat = Read(disk + QStringLiteral("/KOLBRAN.DAT"));
    const QByteArray ini = Read(disk + QStringLiteral("/KOLBRAN.INI"));
    FillDisk(disk, 0);

    s.TabWidth = 8;
    s.RecentFiles[0] = QString(2000, u'p');
    s.RecentFileCount = 1;
    EXPECT_THROW(kolbran::SaveSettings(s), kolbran::RuntimeError);
    EXPECT_THROW(kolbran::WriteIniFile(s), kolbran::RuntimeError);
    EXPECT_TRUE(Same(Read(disk + QStringLiteral("/KOLBRAN.DAT")), dat));
    EXPECT_TRUE(Same(Read(disk + QStringLiteral("/KOLBRAN.INI")), ini));
    EXPECT_EQ(Entries(disk), (QStringList{QStringLiteral("KOLBRAN.DAT"), QStringLiteral("KOLBRAN.INI"),
                                          QStringLiteral("filler")}));
}

// The piece writers: split writes its pieces beside the source, join one file from them.
struct PieceWriter {
    const char* name;
    // Puts a source named `stem` (+ its ending) in `folder` (split) or `pieces` (join) and
    // returns the arguments of a run that writes into `folder`.
    std::function<QStringList(const QString& folder, const QString& pieces, const QString& stem,
                              const QByteArray& bytes)>
        setup;
    // What the run writes there.
    std::function<QStringList(const QString& folder, const QString& stem)> targets;
    // The files of `folder` besides the targets.
    std::function<QStringList(const QString& stem)> sources;
};

// Four pieces of 100 KB: 400,000 bytes give 001 … 004.
QString Piece(const QString& folder, const QString& stem, int n)
{
    return folder + u'/' + stem + QStringLiteral(".00") + QString::number(n);
}

const QList<PieceWriter>& PieceWriters()
{
    static const QList<PieceWriter> writers{
        {"split",
         [](const QString& folder, const QString&, const QString& stem, const QByteArray& bytes) {
             const QString source = folder + u'/' + stem + QStringLiteral(".dat");
             Write(source, bytes);
             return QStringList{QStringLiteral("split"), source, QStringLiteral("--size-kb"), QStringLiteral("100"),
                                QStringLiteral("--force")};
         },
         [](const QString& folder, const QString& stem) {
             QStringList t;
             for (int n = 1; n <= 4; ++n)
                 t.append(Piece(folder, stem, n));
             return t;
         },
         [](const QString& stem) { return QStringList{stem + QStringLiteral(".dat")}; }},
        {"join",
         [](const QString& folder, const QString& pieces, const QString& stem, const QByteArray& bytes) {
             QDir().mkpath(pieces);
             for (int n = 1; n <= 4; ++n)
                 Write(Piece(pieces, stem, n), bytes.mid((n - 1) * 102400, 102400));
             return QStringList{QStringLiteral("join"), Piece(pieces, stem, 1), QStringLiteral("-o"),
                                folder + u'/' + stem + QStringLiteral(".out"), QStringLiteral("--force")};
         },
         [](const QString& folder, const QString& stem) { return QStringList{folder + u'/' + stem + QStringLiteral(".out")}; },
         [](const QString&) { return QStringList{}; }},
    };
    return writers;
}

class PieceWriterFaults : public WriterFaults {
protected:
    const PieceWriter& P() const { return PieceWriters()[GetParam()]; }
    QString Pieces() const { return Path(QStringLiteral("pieces")); }
    static QByteArray Old(const QString& target) { return "old " + QFileInfo(target).fileName().toUtf8(); }
    void WriteOld(const QStringList& targets)
    {
        for (const QString& t : targets)
            Write(t, Old(t));
    }
    ::testing::AssertionResult AllOld(const QStringList& targets)
    {
        for (const QString& t : targets)
            if (Read(t) != Old(t))
                return ::testing::AssertionFailure() << t.toStdString() << " changed";
        return ::testing::AssertionSuccess();
    }
    // The targets of a plain run of `bytes` into a folder of its own.
    QList<QByteArray> Expected(const QString& stem, const QByteArray& bytes)
    {
        const QString folder = Path(QStringLiteral("expected"));
        QDir().mkpath(folder);
        EXPECT_EQ(RunTool(P().setup(folder, Path(QStringLiteral("expected_pieces")), stem, bytes)).exitCode, 0);
        QList<QByteArray> out;
        for (const QString& t : P().targets(folder, stem))
            out.append(Read(t));
        return out;
    }
};

TEST_P(PieceWriterFaults, AFullDiskKeepsTheOldOutputAndLeavesNothingBehind)
{
    const QString disk = Path(QStringLiteral("disk"));
    if (!MountTmpfs(disk, "size=1m"))
        GTEST_SKIP() << "tmpfs cannot be mounted here (needs root): full-disk case not run";
    const QStringList args = P().setup(disk, Pieces(), QStringLiteral("src"), RandomBytes(400'000, 11));
    const QStringList targets = P().targets(disk, QStringLiteral("src"));
    WriteOld(targets);
    FillDisk(disk, 8192);

    const Result r = RunTool(args);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_TRUE(AllOld(targets));
    QStringList expected = P().sources(QStringLiteral("src")) + QStringList{QStringLiteral("filler")};
    for (const QString& t : targets)
        expected.append(QFileInfo(t).fileName());
    expected.sort();
    EXPECT_EQ(Entries(disk), expected);
}

TEST_P(PieceWriterFaults, AReadOnlyFolderOrAFolderAsTargetIsRefused)
{
    const QString folder = Path(QStringLiteral("out"));
    QDir().mkpath(folder);
    const QStringList args = P().setup(folder, Pieces(), QStringLiteral("src"), RandomBytes(400'000, 12));
    const QString first = P().targets(folder, QStringLiteral("src"))[0];
    QDir().mkpath(first + QStringLiteral("/inside"));
    Result r = RunTool(args);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QFileInfo(first + QStringLiteral("/inside")).isDir());

    const QString readOnly = Path(QStringLiteral("ro"));
    if (!MountTmpfs(readOnly, "size=1m"))
        GTEST_SKIP() << "tmpfs cannot be mounted here (needs root): read-only case not run";
    const QStringList roArgs = P().setup(readOnly, Pieces(), QStringLiteral("src"), RandomBytes(400'000, 12));
    const QStringList targets = P().targets(readOnly, QStringLiteral("src"));
    WriteOld(targets);
    ASSERT_EQ(mount("tmpfs", QFile::encodeName(readOnly).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m"), 0);
    r = RunTool(roArgs);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_TRUE(AllOld(targets));
}

TEST_P(PieceWriterFaults, AFifoOrADeviceAsSourceIsRefusedWithoutHanging)
{
    // split: the FIFO is the file to cut; join: it is the first piece.
    const QString folder = Path(QStringLiteral("out"));
    QDir().mkpath(folder);
    QDir().mkpath(Pieces());
    const bool split = P().name == std::string("split");
    const QString fifo = split ? folder + QStringLiteral("/fifo.dat") : Pieces() + QStringLiteral("/fifo.001");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString out = folder + QStringLiteral("/fifo.out");
    const QStringList args = split ? QStringList{QStringLiteral("split"), fifo, QStringLiteral("--force")}
                                   : QStringList{QStringLiteral("join"), fifo, QStringLiteral("-o"), out};
    Result r = RunTool(args, 20000);
    ASSERT_TRUE(r.finished) << "the run hangs";
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(split ? folder + QStringLiteral("/fifo.001") : out));
    if (split) {
        // A device has no pieces either (and none may appear beside it).
        r = RunTool({QStringLiteral("split"), QStringLiteral("/dev/zero"), QStringLiteral("--force")}, 20000);
        ASSERT_TRUE(r.finished) << "the run hangs";
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_FALSE(QFile::exists(QStringLiteral("/dev/zero.001")));
        QFile::remove(QStringLiteral("/dev/zero.001"));
    }
}

TEST_P(PieceWriterFaults, NamesOutsideShiftJisAndOf255BytesAreWritten)
{
    const QByteArray bytes = RandomBytes(400'000, 13);
    const QList<QByteArray> expected = Expected(QStringLiteral("src"), bytes);
    // 251 bytes and ".001" / ".dat" / ".out": names of 255 bytes.
    for (const QString& stem : {QStringLiteral(u"café_ß_😀"), QStringLiteral(u"출력_é"), QString(251, u'n')}) {
        SCOPED_TRACE(stem.toStdString());
        const QString folder = Path(QStringLiteral("names"));
        QDir(folder).removeRecursively();
        QDir(Pieces()).removeRecursively();
        QDir().mkpath(folder);
        const Result r = RunTool(P().setup(folder, Pieces(), stem, bytes));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QStringList targets = P().targets(folder, stem);
        for (qsizetype i = 0; i < targets.size(); ++i)
            EXPECT_TRUE(Same(Read(targets[i]), expected[i])) << targets[i].toStdString();
    }
}

TEST_P(PieceWriterFaults, AKillMidRunLeavesEachTargetOldOrWhole)
{
    // Eight times the bytes, so that most kills land inside the run; 32 pieces.
    const QByteArray bytes = RandomBytes(3'200'000, 14);
    const QString folder = Path(QStringLiteral("out"));
    QDir().mkpath(folder);
    const QStringList args = P().setup(folder, Pieces(), QStringLiteral("src"), bytes);
    QStringList targets = P().targets(folder, QStringLiteral("src"));
    QList<QByteArray> expected;
    if (P().name == std::string("split")) {
        targets.clear();
        for (int n = 1; n <= 32; ++n)
            targets.append(folder + QStringLiteral("/src.") + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')));
        for (int n = 0; n < 32; ++n)
            expected.append(bytes.mid(n * 102400, 102400));
    } else {
        for (int n = 5; n <= 32; ++n)  // the other pieces of the larger source
            Write(Pieces() + QStringLiteral("/src.") + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')),
                  bytes.mid((n - 1) * 102400, 102400));
        for (int n = 1; n <= 4; ++n)
            Write(Piece(Pieces(), QStringLiteral("src"), n), bytes.mid((n - 1) * 102400, 102400));
        expected.append(bytes);
    }
    QRandomGenerator random(43);
    for (int kill = 0; kill < 5; ++kill) {
        WriteOld(targets);
        const QStringList before = Entries(folder);
        QProcess p;
        p.start(QStringLiteral(KOLBRAN_TOOL), args);
        ASSERT_TRUE(p.waitForStarted());
        p.waitForFinished(int(random.bounded(5, 120)));
        p.kill();
        p.waitForFinished();
        for (qsizetype i = 0; i < targets.size(); ++i) {
            const QByteArray now = Read(targets[i]);
            EXPECT_TRUE(now == Old(targets[i]) || now == expected[i])
                << "kill " << kill << ", " << targets[i].toStdString() << ": " << now.size() << " bytes";
        }
        EXPECT_LE(Entries(folder).size(), before.size() + 1) << "more than one temporary file left";
    }
    // A later run completes whatever a killed one left.
    WriteOld(targets);
    ASSERT_EQ(RunTool(args).exitCode, 0);
    for (qsizetype i = 0; i < targets.size(); ++i)
        EXPECT_TRUE(Same(Read(targets[i]), expected[i]));
}

INSTANTIATE_TEST_SUITE_P(Writers, PieceWriterFaults, ::testing::Range(0, int(PieceWriters().size())),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(PieceWriters()[info.param].name);
                         });

INSTANTIATE_TEST_SUITE_P(Writers, WriterFaults, ::testing::Range(0, int(Writers().size())),
                         [](const ::testing::TestParamInfo<int>& info) {
                             QString name = QString::fromLatin1(Writers()[info.param].name);
                             return name.replace(u'-', u'_').toStdString();
                         });

}  // namespace
