#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/ui/FileList.h"
#include "core/ui/FolderList.h"
#include "generators/Album.h"
#include "generators/ui/ALBUM.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kolbran;

class ALBUMTest : public QObject {
    Q_OBJECT

    QString home_ = QDir::currentPath();

    static void Picture(const QString& path, int w, int h)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::blue);
        QVERIFY(QImageWriter(path, "png").write(img));
    }

private Q_SLOTS:
    void cleanup() { QDir::setCurrent(home_); }

    void EmptyFolderWarnsAndStoresTheSettings()
    {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.AlbumGridA = 5;
        state.settings.AlbumGridB = 2;
        state.settings.AlbumOption = 9;  // outside the list
        state.settings.AlbumFileType = -1;
        ALBUM dlg(state);
        QCOMPARE(dlg.Label2->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 0"));
        QCOMPARE(dlg.Text1->text(), FolderTran(QDir::toNativeSeparators(dlg.Dir1->Path())));
        QCOMPARE(dlg.Combo2->currentIndex(), 0);
        QCOMPARE(dlg.Combo1->currentText(), QStringLiteral("*.jpg"));
        QVERIFY(!dlg.M_Help_TABLE->isEnabled());  // no help window yet
        dlg.Text4->setText(QStringLiteral("100"));
        dlg.Text5->setText(QStringLiteral("0"));
        dlg.Command4->click();
        QCOMPARE(dlg.Text3->toPlainText(), QString());
        QCOMPARE(prompter.prompts.size(), 1);
        QCOMPARE(prompter.prompts[0].text, QStringLiteral(u"対象ファイルがありません。"));
        QCOMPARE(prompter.prompts[0].icon, MsgIcon::Warning);
        QCOMPARE(dlg.Text4->text(), QStringLiteral("99"));
        QCOMPARE(dlg.Text5->text(), QStringLiteral("1"));
        QCOMPARE(state.settings.AlbumGridA, 99);
        QCOMPARE(state.settings.AlbumGridB, 1);
        QCOMPARE(state.settings.AlbumOption, 0);
        QCOMPARE(state.settings.AlbumFileType, 0);
    }

    void RunBuildsThePageAndSavesIt()
    {
        QTemporaryDir dir;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"})
            Picture(dir.filePath(QString::fromLatin1(name)), 64, 48);
        Picture(dir.filePath(QStringLiteral("x.gif")), 10, 10);
        QDir::setCurrent(dir.path());
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.settings.AlbumGridA = 2;
        state.settings.AlbumGridB = 2;
        state.settings.AlbumOption = 3;
        ALBUM dlg(state);
        QCOMPARE(dlg.Label2->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 5"));
        dlg.Text5->setText(QStringLiteral("abc"));  // back to the stored 2
        dlg.Check1->setChecked(true);
        dlg.Command4->click();
        QCOMPARE(dlg.Text5->text(), QStringLiteral("2"));
        const QString page = dlg.PageText();
        QCOMPARE(page.count(QStringLiteral("<TD ")), 4);
        QVERIFY(page.contains(QStringLiteral("<IMG SRC=\"") + dlg.Text1->text() +
                              QStringLiteral("/d.jpg\" ALT=\"d.jpg\" WIDTH= 160 HEIGHT= 120>")));
        QVERIFY(!page.contains(QStringLiteral("e.jpg")));
        QCOMPARE(state.settings.AlbumOption, 3);
        QCOMPARE(state.settings.AlbumAddFolderName, 1);
        QCOMPARE(dlg.Text3->textCursor().position(), 0);

        // Pattern "*.gif": one file.
        dlg.Combo1->setCurrentIndex(1);
        Q_EMIT dlg.Combo1->activated(1);
        QCOMPARE(dlg.Label2->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 1"));

        const QString out = dir.filePath(QStringLiteral("album.htm"));
        prompter.fileNames.enqueue(out);
        dlg.M_File_NameSave->trigger();
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("<HTML>\r\n"));
        QVERIFY(bytes.endsWith("</HTML>\r\n"));
        QCOMPARE(prompter.prompts.last().kind, QStringLiteral("save"));
        QCOMPARE(prompter.prompts.last().request.title, QStringLiteral(u"名前を付けて保存"));

        // An existing file: the overwrite question, answered No, leaves it alone.
        prompter.fileNames.enqueue(out);
        dlg.Text3->setPlainText(QStringLiteral("changed"));
        dlg.M_File_NameSave->trigger();
        QCOMPARE(prompter.prompts.last().buttons, MsgButtons::YesNo);
        f.seek(0);
        QCOMPARE(f.readAll(), bytes);
    }

    void FolderChangesFollowAndTheFolderComesBack()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString sub = dir.filePath(QStringLiteral("sub"));
        Picture(sub + QStringLiteral("/p.jpg"), 8, 8);
        QDir::setCurrent(dir.path());
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        {
            ALBUM dlg(state);
            dlg.Text1->setText(QStringLiteral("typed"));
            dlg.Dir1->SetPath(sub);
            Q_EMIT dlg.Dir1->PathChanged(sub);
            QCOMPARE(dlg.Text1->text(), FolderTran(QDir::toNativeSeparators(dlg.Dir1->Path())));
            QCOMPARE(dlg.Label2->text(), QStringLiteral(u"対象ﾌｧｲﾙ数: 1"));
            QVERIFY(QDir::currentPath().endsWith(QStringLiteral("/sub")));
        }
        QCOMPARE(QDir(QDir::currentPath()).canonicalPath(), QDir(dir.path()).canonicalPath());
    }
};

QTEST_MAIN(ALBUMTest)
#include "ALBUMTest.moc"
