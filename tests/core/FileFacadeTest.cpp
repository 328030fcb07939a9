#include "core/FileFacade.h"
#include "core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

using namespace kolbran;

namespace {
void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
}  // namespace

TEST(FileFacade, AttributesOfEveryKindOfName)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    QDir(dir.path()).mkdir(QStringLiteral(".hiddenfolder"));
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const struct {
        const char* name;
        bool create;
        bool makeReadOnly;
        FileAttributes expected;  // exists, isFolder, readOnly, hidden
    } cases[] = {
        {"plain.txt", true, false, {true, false, false, false}},
        {"ro.txt", true, true, {true, false, true, false}},
        {".hidden", true, false, {true, false, false, true}},
        {".rohidden", true, true, {true, false, true, true}},
        {"folder", false, false, {true, true, false, false}},
        {".hiddenfolder", false, false, {true, true, false, true}},
        {"missing", false, false, {false, false, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        if (c.create)
            WriteFile(path, "x");
        if (c.makeReadOnly) {
            ASSERT_TRUE(QFile::setPermissions(path, readOnly));
        }
        const FileAttributes a = GetFileAttributes(path);
        EXPECT_EQ(a.exists, c.expected.exists);
        EXPECT_EQ(a.isFolder, c.expected.isFolder);
        EXPECT_EQ(a.readOnly, c.expected.readOnly);
        EXPECT_EQ(a.hidden, c.expected.hidden);
        EXPECT_FALSE(a.system);
        EXPECT_FALSE(a.archive);
        EXPECT_EQ(FileExists(path), c.expected.exists && !c.expected.isFolder);
        EXPECT_EQ(IsFolder(path), c.expected.isFolder);
    }
    EXPECT_FALSE(GetFileAttributes(QString()).exists);
}

TEST(FileFacade, OpeningSharedAndExclusive)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    WriteFile(path, "abc");
    auto first = OpenFile(path, QIODevice::ReadOnly);
    auto second = OpenFile(path, QIODevice::ReadOnly);  // readers share
    EXPECT_EQ(second->readAll(), QByteArray("abc"));
    const struct {
        QString path;
        int mode;
        FileShare share;
        int error;
    } failures[] = {
        {path, QIODevice::ReadWrite, FileShare::Exclusive, Err::PermissionDenied},
        {dir.filePath(QStringLiteral("none.txt")), QIODevice::ReadOnly, FileShare::Shared, Err::FileNotFound},
        {dir.path(), QIODevice::ReadOnly, FileShare::Shared, Err::PathFileAccess},
        {dir.filePath(QStringLiteral("no/such/folder.txt")), QIODevice::WriteOnly, FileShare::Shared,
         Err::FileNotFound},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.path.toStdString());
        try {
            OpenFile(f.path, f.mode, f.share);
            ADD_FAILURE() << "opened";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), f.error);
        }
    }
    first.reset();
    second.reset();
    auto exclusive = OpenFile(path, QIODevice::ReadWrite, FileShare::Exclusive);
    EXPECT_THROW(OpenFile(path, QIODevice::ReadOnly), RuntimeError);
}

TEST(FileFacade, PathsWithEitherSeparator)
{
    const struct {
        QString path;
        QString folder;
        QString name;
    } cases[] = {
        {QStringLiteral("/home/u/a.txt"), QStringLiteral("/home/u"), QStringLiteral("a.txt")},
        {QStringLiteral("C:\\dir\\a.txt"), QStringLiteral("C:\\dir"), QStringLiteral("a.txt")},
        {QStringLiteral("C:\\a.txt"), QStringLiteral("C:\\"), QStringLiteral("a.txt")},
        {QStringLiteral("/a.txt"), QStringLiteral("/"), QStringLiteral("a.txt")},
        {QStringLiteral("dir/sub\\a.txt"), QStringLiteral("dir/sub"), QStringLiteral("a.txt")},
        {QStringLiteral("a.txt"), QString(), QStringLiteral("a.txt")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderPart(c.path), c.folder) << c.path.toStdString();
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path.toStdString();
    }
    EXPECT_EQ(JoinPath(QStringLiteral("/home"), QStringLiteral("a")), QStringLiteral("/home/a"));
    EXPECT_EQ(JoinPath(QStringLiteral("/"), QStringLiteral("a")), QStringLiteral("/a"));
    EXPECT_EQ(JoinPath(QString(), QStringLiteral("a")), QStringLiteral("a"));
#ifndef Q_OS_WIN
    EXPECT_EQ(FromNativeSeparators(QStringLiteral("a\\b")), QStringLiteral("a/b"));
    EXPECT_EQ(ToNativeSeparators(QStringLiteral("a/b")), QStringLiteral("a/b"));
#endif
}

TEST(FileFacade, DefaultOutputNames)
{
    const struct {
        QString path;
        QString name;
    } cases[] = {
        {QStringLiteral("report.txt"), QStringLiteral("report.DMP")},
        {QStringLiteral("a.b.c"), QStringLiteral("a.DMP")},
        {QStringLiteral("noext"), QStringLiteral("noext.DMP")},
        {QStringLiteral("/data.old/log"), QStringLiteral("/data.old/log.DMP")},
        {QStringLiteral("./x.txt"), QStringLiteral("./x.DMP")},
        {QStringLiteral("C:\\v1.2\\x.txt"), QStringLiteral("C:\\v1.2\\x.DMP")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceFromFirstDot(c.path, QStringLiteral(".DMP")), c.name) << c.path.toStdString();
}

TEST(FileFacade, RenameReplacesAtomically)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a")), b = dir.filePath(QStringLiteral("b"));
    WriteFile(a, "new");
    WriteFile(b, "old");
    EXPECT_TRUE(RenameReplacing(a, b));
    QFile f(b);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("new"));
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_FALSE(RenameReplacing(a, b));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_TRUE(SyncFile(b));
}

TEST(RuntimeErrors, NumbersAndDescriptions)
{
    const struct {
        int number;
        const char16_t* text;
    } cases[] = {
        {5, u"プロシージャの呼び出し、または引数が不正です。"}, {6, u"オーバーフローしました。"},
        {53, u"ファイルが見つかりません。"}, {61, u"ディスクの空き容量が不足しています。"},
        {70, u"書き込みできません。"}, {76, u"パスが見つかりません。"},
        {12345, u"アプリケーション定義またはオブジェクト定義のエラーです。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorDescription(c.number), QString::fromUtf16(c.text)) << c.number;
    const RuntimeError e(Err::FileNotFound, QStringLiteral("x.txt"));
    EXPECT_EQ(e.Number(), 53);
    EXPECT_EQ(e.Detail(), QStringLiteral("x.txt"));
    EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral(u"ファイルが見つかりません。 (53): x.txt"));
}

TEST(RuntimeErrors, ErrnoAndFileErrorsMapInOnePlace)
{
    const struct {
        int errnoValue;
        int number;
    } errnos[] = {{ENOENT, 53}, {EACCES, 70}, {EPERM, 70}, {EROFS, 70}, {ENOSPC, 61}, {EISDIR, 75},
                  {EEXIST, 58}, {ENOTDIR, 76}, {EXDEV, 75}, {ENOMEM, 7}, {EIO, 57}};
    for (const auto& c : errnos)
        EXPECT_EQ(ErrorFromErrno(c.errnoValue), c.number) << c.errnoValue;
    EXPECT_EQ(ErrorFromFileError(QFileDevice::NoError), 0);
    EXPECT_EQ(ErrorFromFileError(QFileDevice::ResourceError), Err::DiskFull);
    EXPECT_EQ(ErrorFromFileError(QFileDevice::OpenError, ENOENT), Err::FileNotFound);
    EXPECT_EQ(ErrorFromFileError(QFileDevice::OpenError, EACCES), Err::PermissionDenied);
    EXPECT_EQ(ErrorFromFileError(QFileDevice::PermissionsError), Err::PermissionDenied);
}
