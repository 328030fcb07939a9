// The result list window: building, jumping, copying, saving and closing.
#include "common/SearchFixture.h"
#include "core/CodePage.h"
#include "viewer/ui/KenIchi.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace kolbran;
using kolbran::test::SearchFixture;

class KenIchiTest : public QObject {
    Q_OBJECT
private:
    static QPointer<KenIchi> Build(SearchFixture& f, const QString& text)
    {
        f.state.SearchString = text;
        auto* list = new KenIchi(f.state, f.SharedView());
        list->Open();
        return list;
    }

private Q_SLOTS:
    void listsEachFoundLineOnce()
    {
        SearchFixture f;
        QVERIFY(f.Open(QByteArray("word word\r\nnone\r\nWORD\r\n")));
        QPointer<KenIchi> list = Build(f, QStringLiteral("word"));
        QCOMPARE(list->windowTitle(), QStringLiteral(u"検索結果一覧"));
        QCOMPARE(list->List1->count(), 2);
        QCOMPARE(list->List1->item(0)->text(), QStringLiteral("word word"));
        QCOMPARE(list->Entries(), (QStringList{QStringLiteral("word word\r\n"), QStringLiteral("WORD\r\n")}));
        QCOMPARE(list->Label4->text(), QStringLiteral(u"「word」の検索結果は 2行発見しました。"));
        QVERIFY(f.state.settings.SearchListOpen);
        QVERIFY(!f.view.dropEnabled);
        delete list;
    }

    void emptyResultShowsZero()
    {
        SearchFixture f;
        QVERIFY(f.Open(QByteArray("a\r\nb\r\n")));
        QPointer<KenIchi> list = Build(f, QStringLiteral("zzz"));
        QCOMPARE(list->List1->count(), 0);
        QCOMPARE(list->Label4->text(), QStringLiteral(u"「zzz」の検索結果は 0行発見しました。"));
        QTest::mouseClick(list->Command2, Qt::LeftButton);  // nothing selected: nothing happens
        QCOMPARE(f.view.redraws, 0);
        delete list;
    }

    void jumpsToTheSelectedResult()
    {
        SearchFixture f;
        f.state.settings.SearchResultRow = 3;
        QVERIFY(f.Open(SearchFixture::Lines(200, {20, 150}, "word")));
        QPointer<KenIchi> list = Build(f, QStringLiteral("word"));
        // Nothing picked yet: no position, whatever row the list made current.
        QCOMPARE(list->Label2->text(), QString());
        list->List1->setCurrentRow(0);
        QCOMPARE(list->Label2->text(), QString());
        const QRect second = list->List1->visualItemRect(list->List1->item(1));
        QTest::mouseClick(list->List1->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(list->Label2->text(), QStringLiteral("150"));
        QCOMPARE(list->Label1->text(), QStringLiteral(u"選択された結果の位置："));
        QTest::mouseClick(list->Command2, Qt::LeftButton);
        QCOMPARE(f.state.doc.TopLine, int64_t(148));
        QCOMPARE(f.view.text.mid(f.view.selStart, 4), QStringLiteral("word"));

        // A double-click shows the entry too.
        const QRect first = list->List1->visualItemRect(list->List1->item(0));
        QTest::mouseClick(list->List1->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseDClick(list->List1->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(f.state.doc.TopLine, int64_t(18));
        delete list;
    }

    void copiesAllEntriesToTheClipboard()
    {
        SearchFixture f;
        QVERIFY(f.Open(QByteArray("one x\r\ntwo\r\nthree x")));
        QPointer<KenIchi> list = Build(f, QStringLiteral("x"));
        QTest::mouseClick(list->Command3, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("one x\r\nthree x"));
        QCOMPARE(f.view.busyCount, 0);
        delete list;
    }

    void savesTheEntriesAsShiftJis()
    {
        SearchFixture f;
        QVERIFY(f.Open(ToSjis(QStringLiteral(u"日本語 語\r\nなし\r\n語\r\n"))));
        QPointer<KenIchi> list = Build(f, QStringLiteral(u"語"));
        const QString path = f.dir.filePath(QStringLiteral("result.txt"));

        f.prompter.fileNames.enqueue(QString());  // cancelled: nothing happens
        QTest::mouseClick(list->Command4, Qt::LeftButton);
        QVERIFY(!QFile::exists(path));

        f.prompter.fileNames.enqueue(path);
        QTest::mouseClick(list->Command4, Qt::LeftButton);
        const auto& save = f.prompter.prompts.last();
        QCOMPARE(save.kind, QStringLiteral("save"));
        QCOMPARE(save.request.title, QStringLiteral(u"名前を付けて保存"));
        QCOMPARE(save.request.filter, QStringLiteral(u"ﾃｷｽﾄ文書(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), ToSjis(QStringLiteral(u"日本語 語\r\n語\r\n")));
        delete list;
    }

    void closingRestoresTheFolderAndTheDropTarget()
    {
        SearchFixture f;
        QVERIFY(f.Open(QByteArray("a\r\n")));
        const QString before = QDir::currentPath();
        QPointer<KenIchi> list = Build(f, QStringLiteral("a"));
        QDir(f.dir.path()).mkdir(QStringLiteral("sub"));
        QDir::setCurrent(f.dir.filePath(QStringLiteral("sub")));
        QTest::mouseClick(list->Command1, Qt::LeftButton);
        QCOMPARE(QDir::currentPath(), before);
        QVERIFY(!f.state.settings.SearchListOpen);
        QVERIFY(f.view.dropEnabled);
        QTRY_VERIFY(list.isNull());
    }
};

QTEST_MAIN(KenIchiTest)
#include "KenIchiTest.moc"
