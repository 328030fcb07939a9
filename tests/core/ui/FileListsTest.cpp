#include "core/ui/DriveList.h"
#include "core/ui/FileList.h"
#include "core/ui/FolderList.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace kolbran;

class FileListsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    static void Touch(const QString& path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        for (const char* n : {"a.txt", "b.txt", "c.csv"})
            Touch(dir_.filePath(QString::fromLatin1(n)));
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("inner")));
    }

    void aClickOrAKeyPicksOnce()
    {
        FileList list;
        list.resize(200, 200);
        list.show();
        list.SetFolder(dir_.path());
        list.SetPattern(QStringLiteral("*.txt"));
        QCOMPARE(list.FileNames(), (QStringList{"a.txt", "b.txt"}));
        QSignalSpy picked(&list, &FileList::FilePicked);
        QSignalSpy doubled(&list, &FileList::FileDoubleClicked);
        const QPoint second = list.visualItemRect(list.item(1)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(picked.size(), 1);
        QCOMPARE(picked[0][0].value<FileEntry>().name, QStringLiteral("b.txt"));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);  // the same entry again
        QCOMPARE(picked.size(), 2);
        list.setFocus();
        QTest::keyClick(list.viewport(), Qt::Key_Up);
        QCOMPARE(picked.size(), 3);
        QCOMPARE(picked[2][0].value<FileEntry>().name, QStringLiteral("a.txt"));
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(doubled.size(), 1);
    }

    void folderListOpensAnEntry()
    {
        FolderList folders;
        folders.SetPath(dir_.path());
        const QStringList chain = FolderChain(dir_.path());
        QCOMPARE(folders.count(), chain.size() + 1);
        QCOMPARE(folders.FolderAt(0), QStringLiteral("/"));
        QCOMPARE(folders.FolderAt(folders.count() - 1), dir_.filePath(QStringLiteral("inner")));
        QSignalSpy changed(&folders, &FolderList::PathChanged);
        Q_EMIT folders.itemActivated(folders.item(folders.count() - 1));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(folders.Path(), dir_.filePath(QStringLiteral("inner")));
        QCOMPARE(folders.count(), chain.size() + 1);  // the chain one deeper, no sub-folders
    }

    void driveListFollowsThePath()
    {
        DriveList drives;
        drives.SetDrives({QStringLiteral("/"), dir_.path()});
        drives.SetDriveOf(dir_.filePath(QStringLiteral("inner")));
        QCOMPARE(drives.Drive(), dir_.path());
        QSignalSpy changed(&drives, &DriveList::DriveChanged);
        drives.SetDriveOf(QStringLiteral("/usr"));
        QCOMPARE(drives.Drive(), QStringLiteral("/"));
        QCOMPARE(changed.size(), 0);  // only the user's choice is told
        Q_EMIT drives.activated(1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toString(), dir_.path());
    }
};

QTEST_MAIN(FileListsTest)
#include "FileListsTest.moc"
