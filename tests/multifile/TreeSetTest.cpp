// The search's folder-tree walk.
#include "multifile/TreeSet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace kolbran;

namespace {

void Touch(const QTemporaryDir& dir, const QString& relative)
{
    const QString path = dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x\r\n");
}

QStringList Relative(const TreeSet& set)
{
    QStringList out;
    for (const QString& p : set.files)
        out.append(TreeDisplayName(set, p));
    return out;
}

TEST(TreeSet, FilesOfAFolderComeBeforeItsSubfoldersDepthFirstInNameOrder)
{
    QTemporaryDir dir;
    for (const char* name : {"b.txt", "A.csv", "a10.txt", "a2.txt", ".hidden", "sub2/z.txt", "sub1/y.txt",
                             "sub1/deep/x.txt", "sub1/a.txt", "sub10/q.txt", ".dot/h.txt"})
        Touch(dir, QString::fromLatin1(name));
    QDir().mkpath(dir.filePath(QStringLiteral("empty")));
    const TreeSet set = BuildTreeSet(dir.path());
    EXPECT_EQ(set.startFolder, dir.path() + u'/');
    EXPECT_TRUE(set.files.first().startsWith(set.startFolder));
    // No pattern: every file; hidden ones too.
    EXPECT_EQ(Relative(set), (QStringList{".hidden", "A.csv", "a2.txt", "a10.txt", "b.txt", ".dot/h.txt",
                                          "sub1/a.txt", "sub1/y.txt", "sub1/deep/x.txt", "sub2/z.txt",
                                          "sub10/q.txt"}));
    EXPECT_FALSE(set.capped);
    EXPECT_FALSE(set.cancelled);
    // A trailing separator is not doubled.
    EXPECT_EQ(BuildTreeSet(dir.path() + u'/').files, set.files);
}

TEST(TreeSet, StopsAtTheCapWithTheWarningAndReportsProgress)
{
    QTemporaryDir dir;
    for (const char* name : {"1.txt", "2.txt", "s/3.txt", "s/4.txt", "t/5.txt"})
        Touch(dir, QString::fromLatin1(name));
    TreeSetLimits limits;
    limits.maxFiles = 3;
    QList<std::pair<qsizetype, bool>> calls;
    TreeSetHooks hooks;
    hooks.progress = [&](qsizetype count, bool top) {
        calls.append({count, top});
        return true;
    };
    const TreeSet capped = BuildTreeSet(dir.path(), hooks, limits);
    EXPECT_EQ(Relative(capped), (QStringList{"1.txt", "2.txt", "s/3.txt"}));
    EXPECT_TRUE(capped.capped);
    EXPECT_EQ(calls, (QList<std::pair<qsizetype, bool>>{{2, true}}));

    // Exactly as many files as the cap loses nothing and warns of nothing.
    limits.maxFiles = 5;
    calls.clear();
    EXPECT_FALSE(BuildTreeSet(dir.path(), hooks, limits).capped);
    EXPECT_EQ(calls, (QList<std::pair<qsizetype, bool>>{{2, true}, {4, true}}));

    EXPECT_EQ(TreeCapWarning(), QStringLiteral(u"対象ﾌｧｲﾙ数 65535 以降は、処理できません。"));

    // A false answer cancels the walk.
    hooks.progress = [](qsizetype, bool) { return false; };
    const TreeSet cancelled = BuildTreeSet(dir.path(), hooks);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.files.size(), 2);
}

TEST(TreeSet, TooManySubfoldersIsARunTimeError)
{
    QTemporaryDir dir;
    for (const char* name : {"a/x/1", "a/y/1", "a/z/1", "b/1", "c/1"})
        Touch(dir, QString::fromLatin1(name));
    TreeSetLimits limits;
    limits.startSubfolders = 3;
    limits.subfolders = 3;
    EXPECT_EQ(BuildTreeSet(dir.path(), {}, limits).files.size(), 5);
    for (auto [start, other] : {std::pair{2, 3}, std::pair{3, 2}}) {
        limits.startSubfolders = start;
        limits.subfolders = other;
        try {
            BuildTreeSet(dir.path(), {}, limits);
            ADD_FAILURE() << "no error with limits " << start << "/" << other;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), Err::SubscriptOutOfRange);
        }
    }
}

#ifdef Q_OS_UNIX
TEST(TreeSet, LinksFifosAndUnreadableFolders)
{
    QTemporaryDir dir;
    Touch(dir, QStringLiteral("a.txt"));
    Touch(dir, QStringLiteral("sub/b.txt"));
    // A folder link back up would loop for ever if it were followed.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath(QStringLiteral("sub/loop"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("sub/c-link.txt"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("missing")), dir.filePath(QStringLiteral("sub/dangling"))));
    // A FIFO would block the search that opened it.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("sub/pipe"))).constData(), 0600), 0);
    Touch(dir, QStringLiteral("locked/secret.txt"));
    const QByteArray locked = QFile::encodeName(dir.filePath(QStringLiteral("locked")));
    ASSERT_EQ(::chmod(locked.constData(), 0), 0);

    QStringList errors;
    TreeSetHooks hooks;
    hooks.folderError = [&](const QString& name, const RuntimeError& e) {
        errors.append(name + QStringLiteral(" ") + QString::number(e.Number()));
    };
    const TreeSet set = BuildTreeSet(dir.path(), hooks);
    ::chmod(locked.constData(), 0700);
    if (::geteuid() == 0) {
        // root reads a folder whatever its mode.
        EXPECT_EQ(Relative(set), (QStringList{"a.txt", "locked/secret.txt", "sub/b.txt", "sub/c-link.txt"}));
        EXPECT_TRUE(errors.isEmpty());
    } else {
        EXPECT_EQ(Relative(set), (QStringList{"a.txt", "sub/b.txt", "sub/c-link.txt"}));
        EXPECT_EQ(errors, QStringList{QStringLiteral("locked/ 70")});
    }
}
#endif

}  // namespace
