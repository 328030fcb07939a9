// One file of a multi-file run rewritten: whole or not at all.
#include "multifile/FileRewrite.h"

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class RewriteFixture : public ::testing::Test {
protected:
    RewriteFixture() : state(prompter) { state.settings.NoBackup = false; }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QByteArray Read(const QString& name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
    AppState state;
};

TEST_F(RewriteFixture, ReplacedWithBackupOrKept)
{
    const QString a = Write(QStringLiteral("a.txt"), "old");
    EXPECT_EQ(RewriteFile(state, a, [](QIODevice& out) { return out.write("new") == 3; }), RewriteResult::Replaced);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "new");
    EXPECT_EQ(Read(QStringLiteral("a.bak")), "old");

    const QString b = Write(QStringLiteral("b.txt"), "same");
    EXPECT_EQ(RewriteFile(state, b, [](QIODevice& out) { out.write("partial"); return false; }), RewriteResult::Kept);
    EXPECT_EQ(Read(QStringLiteral("b.txt")), "same");
    EXPECT_EQ(Files(), (QStringList{"a.bak", "a.txt", "b.txt"}));  // no backup, no temporary file
}

TEST_F(RewriteFixture, FailureOrRefusalLeavesTheFile)
{
    const QString a = Write(QStringLiteral("a.txt"), "old");
    EXPECT_THROW(RewriteFile(state, a,
                             [](QIODevice& out) -> bool {
                                 out.write("half");
                                 throw RuntimeError(Err::DiskFull);
                             }),
                 RuntimeError);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "old");

    const QString hidden = Write(QStringLiteral(".h.txt"), "old");
    QString reason;
    EXPECT_EQ(RewriteFile(state, hidden, [](QIODevice& out) { return out.write("new") == 3; }, &reason),
              RewriteResult::Refused);
    EXPECT_EQ(reason, QStringLiteral(u"「隠しファイル」を更新することはできません。"));
    EXPECT_EQ(Read(QStringLiteral(".h.txt")), "old");
    EXPECT_EQ(Files(), (QStringList{".h.txt", "a.txt"}));
}

}  // namespace
