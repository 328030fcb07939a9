#include "core/FileListing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kolbran;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList Names(const QList<FileEntry>& entries)
{
    QStringList names;
    for (const FileEntry& e : entries)
        names.append(e.name);
    return names;
}

FileAttributes Attr(bool readOnly, bool hidden, bool system, bool archive)
{
    FileAttributes a;
    a.exists = true;
    a.readOnly = readOnly;
    a.hidden = hidden;
    a.system = system;
    a.archive = archive;
    return a;
}

}  // namespace

TEST(FileListing, FilterDecidesByAttributes)
{
    const AttributeFilter standard;  // normal, archive, read-only
    AttributeFilter all = standard;
    all.hidden = all.system = true;
    AttributeFilter readOnlyOnly{false, false, true, false, false};
    AttributeFilter archiveOnly{false, true, false, false, false};
    AttributeFilter noReadOnly{true, true, false, false, false};
    struct Case {
        const char* what;
        FileAttributes attributes;
        AttributeFilter filter;
        bool shown;
    } cases[] = {
        {"plain, standard", Attr(false, false, false, false), standard, true},
        {"hidden, standard", Attr(false, true, false, false), standard, false},
        {"hidden, all", Attr(false, true, false, false), all, true},
        {"system, standard", Attr(false, false, true, false), standard, false},
        {"read-only, standard", Attr(true, false, false, false), standard, true},
        {"read-only, read-only box off", Attr(true, false, false, false), noReadOnly, false},
        {"read-only hidden, standard", Attr(true, true, false, false), standard, false},
        {"plain, only read-only", Attr(false, false, false, false), readOnlyOnly, false},
        {"read-only, only read-only", Attr(true, false, false, false), readOnlyOnly, true},
        {"archive, only archive", Attr(false, false, false, true), archiveOnly, true},
        {"plain, only archive", Attr(false, false, false, false), archiveOnly, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PassesFilter(c.attributes, c.filter), c.shown) << c.what;
}

TEST(FileListing, FilterRoundTripsThroughSettings)
{
    const std::array<int16_t, 5> defaults{1, 1, 1, 0, 0};
    EXPECT_EQ(AttributeFilterFromSettings(defaults), AttributeFilter());
    const AttributeFilter f{false, true, false, true, true};
    EXPECT_EQ(AttributeFilterToSettings(f), (std::array<int16_t, 5>{0, 1, 0, 1, 1}));
}

TEST(FileListing, PatternsMatchWithoutCase)
{
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    } cases[] = {
        {"a.txt", "*.txt", true},       {"A.TXT", "*.txt", true},  {"a.txt.bak", "*.txt", false},
        {"README", "*.*", true},        {"a.bmp", "*.gif;*.bmp", true}, {"a.jpg", "*.gif; *.bmp", false},
        {"data1.csv", "data?.csv", true}, {"anything", "", true},  {"a.txt", "a.txt", true},
        {"b.txt", "a.txt", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesPattern(QString::fromUtf8(c.name), QString::fromUtf8(c.pattern)), c.match)
            << c.name << " " << c.pattern;
}

TEST(FileListing, ListsMatchingFilesInNaturalOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* n : {"b.txt", "a10.txt", "a2.txt", "A1.TXT", "c.csv", "日本語.txt"})
        WriteFile(dir.filePath(QString::fromUtf8(n)), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub.txt")));  // a folder is never a file
    EXPECT_EQ(Names(ListFiles(dir.path(), QStringLiteral("*.txt"), AttributeFilter())),
              (QStringList{"A1.TXT", "a2.txt", "a10.txt", "b.txt", QStringLiteral(u"日本語.txt")}));
    EXPECT_TRUE(ListFiles(dir.filePath(QStringLiteral("missing")), QStringLiteral("*.*"), AttributeFilter()).isEmpty());
}

TEST(FileListing, HiddenAndReadOnlyFilesFollowTheFilter)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(QStringLiteral("plain.txt")), "p");
    WriteFile(dir.filePath(QStringLiteral(".secret.txt")), "s");
    WriteFile(dir.filePath(QStringLiteral("locked.txt")), "l");
    QFile::setPermissions(dir.filePath(QStringLiteral("locked.txt")), QFileDevice::ReadOwner | QFileDevice::ReadUser);

    const QString all = QStringLiteral("*.*");
    AttributeFilter standard;
    EXPECT_EQ(Names(ListFiles(dir.path(), all, standard)), (QStringList{"locked.txt", "plain.txt"}));
    AttributeFilter withHidden = standard;
    withHidden.hidden = true;
    EXPECT_EQ(Names(ListFiles(dir.path(), all, withHidden)),
              (QStringList{".secret.txt", "locked.txt", "plain.txt"}));
    AttributeFilter noReadOnly = standard;
    noReadOnly.readOnly = false;
    EXPECT_EQ(Names(ListFiles(dir.path(), all, noReadOnly)), (QStringList{"plain.txt"}));
    const AttributeFilter onlyReadOnly{false, false, true, false, false};
    EXPECT_EQ(Names(ListFiles(dir.path(), all, onlyReadOnly)), (QStringList{"locked.txt"}));

    const QList<FileEntry> entries = ListFiles(dir.path(), QStringLiteral("locked.txt"), standard);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(entries[0].attributes.readOnly);
    EXPECT_EQ(entries[0].size, 1);
    QFile::setPermissions(dir.filePath(QStringLiteral("locked.txt")), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST(FileListing, SubfoldersLeaveHiddenOnesOut)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir d(dir.path());
    for (const char* n : {"b", "a10", "a2", ".git"})
        ASSERT_TRUE(d.mkdir(QString::fromUtf8(n)));
    WriteFile(dir.filePath(QStringLiteral("file")), "x");
    EXPECT_EQ(ListSubfolders(dir.path()), (QStringList{"a2", "a10", "b"}));
    EXPECT_EQ(ListSubfolders(dir.path(), true), (QStringList{".git", "a2", "a10", "b"}));
}

TEST(FileListing, FolderChainRunsFromTheRoot)
{
    EXPECT_EQ(FolderChain(QStringLiteral("/usr/share/doc")),
              (QStringList{"/", "/usr", "/usr/share", "/usr/share/doc"}));
    EXPECT_EQ(FolderChain(QStringLiteral("/")), (QStringList{"/"}));
}

TEST(FileListing, InformationLineShowsSizeAndTimeStamp)
{
    FileEntry e;
    e.name = QStringLiteral(u"資料.txt");
    e.size = 1234567;
    e.modified = QDateTime(QDate(2024, 1, 5), QTime(13, 45, 10));
    EXPECT_EQ(FileInfoText(e), QStringLiteral(u"資料.txt(1,234,567ﾊﾞｲﾄ)<2024/01/05 13:45:10>を選択"));
    e.size = 0;
    e.name = QStringLiteral("e");
    EXPECT_EQ(FileInfoText(e), QStringLiteral(u"e(0ﾊﾞｲﾄ)<2024/01/05 13:45:10>を選択"));
}

TEST(FileListing, DrivesOfferTheRootsAUserPicks)
{
    const QList<MountPoint> mounts{
        {"/", "overlay"},          {"/proc", "proc"},        {"/sys", "sysfs"},
        {"/dev/shm", "tmpfs"},     {"/etc/hosts", "ext4"},   {"/run/media/u/USB", "vfat"},
        {"/media/cdrom", "iso9660"}, {"/mnt/share", "cifs"}, {"/data", "xfs"},
        {"/boot/efi", "vfat"},     {"/srv/cache", "tmpfs"},  {"/home/u", "ext4"},
    };
    EXPECT_EQ(DriveRoots(mounts, QStringLiteral("/home/u")),
              (QStringList{"/", "/home/u", "/data", "/media/cdrom", "/mnt/share", "/run/media/u/USB"}));
    EXPECT_EQ(DriveRoots({}, QStringLiteral("/")), (QStringList{"/"}));
}

TEST(FileListing, DriveOfPathTakesTheLongestRoot)
{
    const QStringList roots{"/", "/home/u", "/media/usb"};
    EXPECT_EQ(DriveOfPath(roots, QStringLiteral("/home/u/docs")), QStringLiteral("/home/u"));
    EXPECT_EQ(DriveOfPath(roots, QStringLiteral("/home/user2")), QStringLiteral("/"));
    EXPECT_EQ(DriveOfPath(roots, QStringLiteral("/media/usb")), QStringLiteral("/media/usb"));
}
