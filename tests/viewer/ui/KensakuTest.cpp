// The search dialog: its opening, its buttons and its closing.
#include "common/SearchFixture.h"
#include "viewer/ui/Kensaku.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace kolbran;
using kolbran::test::FakeSearchView;
using kolbran::test::SearchFixture;


class KensakuTest : public QObject {
    Q_OBJECT
private:
    QPointer<Kensaku> Make(SearchFixture& f, int* listsOpened = nullptr)
    {
        auto* dialog = new Kensaku(f.state, f.SharedView(), [listsOpened] {
            if (listsOpened)
                ++*listsOpened;
        });
        dialog->Open();
        return dialog;
    }

private Q_SLOTS:
    void opensBesideTheRightEdgeWithTheSearchText()
    {
        SearchFixture f;
        f.state.SearchString = QStringLiteral("abc");
        f.state.SearchCompareMode = 0;
        QPointer<Kensaku> d = Make(f);
        QCOMPARE(d->windowTitle(), QStringLiteral(u"検索"));
        QCOMPARE(d->Text1->text(), QStringLiteral("abc"));
        QVERIFY(!d->Check1->isChecked());
        QVERIFY(!d->isModal());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(d->frameGeometry().right() + 1 - (screen.right() + 1 - 1)) <= 1);
        QCOMPARE(d->Command1->text(), QStringLiteral(u"下方向に検索(&D)"));
        QCOMPARE(d->Command4->text(), QStringLiteral(u"一覧作成(&L)"));

        // The case box writes the comparison mode.
        QTest::mouseClick(d->Check1, Qt::LeftButton);
        QCOMPARE(f.state.SearchCompareMode, 1);
        QTest::mouseClick(d->Check1, Qt::LeftButton);
        QCOMPARE(f.state.SearchCompareMode, 0);
        delete d;
    }

    void searchesDownAndUpFromTheCaretLine()
    {
        SearchFixture f;
        QVERIFY(f.Open(SearchFixture::Lines(100, {5, 9, 40}, "word")));
        QPointer<Kensaku> d = Make(f);
        d->Text1->setText(QStringLiteral("WORD"));
        f.view.caretLine = 5;
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QCOMPARE(f.state.SearchString, QStringLiteral("WORD"));
        QCOMPARE(f.state.doc.TopLine, int64_t(9));
        QCOMPARE(f.view.caretLine, 9);

        f.view.caretLine = 40;
        QTest::mouseClick(d->Command2, Qt::LeftButton);
        QCOMPARE(f.state.doc.TopLine, int64_t(9));

        f.view.caretLine = 41;
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QCOMPARE(f.prompter.Messages(), QStringList{QStringLiteral(u"「WORD」見つかりませんでした。")});
        QCOMPARE(f.state.doc.TopLine, int64_t(9));
        f.view.caretLine = 3;
        QTest::mouseClick(d->Command2, Qt::LeftButton);
        QCOMPARE(f.prompter.Messages().last(), QStringLiteral(u"「WORD」は見つかりませんでした。"));
        QVERIFY(d->isVisible());
        delete d;
    }

    void emptyTextClosesOnlyAfterAClose()
    {
        SearchFixture f;
        QVERIFY(f.Open(SearchFixture::Lines(10, {}, "")));
        QPointer<Kensaku> d = Make(f);
        f.state.SearchHit = 0;
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        QVERIFY(d->isVisible());
        QVERIFY(f.prompter.prompts.isEmpty());

        f.state.SearchHit = -1;
        QTest::mouseClick(d->Command2, Qt::LeftButton);
        QCOMPARE(f.state.SearchHit, 1);
        QVERIFY(!d || !d->isVisible());
        delete d;
    }

    void closingHandsTheTextToTheViewer()
    {
        SearchFixture f;
        QVERIFY(f.Open(SearchFixture::Lines(10, {}, "")));
        QPointer<Kensaku> d = Make(f);
        d->Text1->setText(QStringLiteral("kept"));
        QTest::mouseClick(d->Command3, Qt::LeftButton);
        QCOMPARE(f.state.SearchHit, -1);
        QCOMPARE(f.state.SearchString, QStringLiteral("kept"));
        QCOMPARE(f.view.focused, 1);
        QTRY_VERIFY(d.isNull());
    }

    void escapeClosesAsTheCloseButtonDoes()
    {
        SearchFixture f;
        QVERIFY(f.Open(SearchFixture::Lines(10, {}, "")));
        QPointer<Kensaku> d = Make(f);
        d->Text1->setText(QStringLiteral("kept"));
        QTest::keyClick(d->Text1, Qt::Key_Escape);
        QCOMPARE(f.state.SearchString, QStringLiteral("kept"));
        QCOMPARE(f.view.focused, 1);
        QTRY_VERIFY(d.isNull());
    }

    void listButtonClosesAndOpensTheList()
    {
        SearchFixture f;
        QVERIFY(f.Open(SearchFixture::Lines(10, {}, "")));
        int lists = 0;
        QPointer<Kensaku> d = Make(f, &lists);
        QTest::mouseClick(d->Command4, Qt::LeftButton);
        QCOMPARE(lists, 0);  // nothing to search for
        d->Text1->setText(QStringLiteral("line"));
        QTest::mouseClick(d->Command4, Qt::LeftButton);
        QCOMPARE(lists, 1);
        QCOMPARE(f.state.SearchString, QStringLiteral("line"));
        QTRY_VERIFY(d.isNull());
    }
};

QTEST_MAIN(KensakuTest)
#include "KensakuTest.moc"
