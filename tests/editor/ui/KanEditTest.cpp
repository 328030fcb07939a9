// The simple editor and its search/replace dialog, driven through their controls, on a
// test AppState; and the editor opened from the main window.
#include "common/RecordingViewerHost.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/Guards.h"
#include "core/ui/WindowRegistry.h"
#include "editor/ui/ChiKanF.h"
#include "editor/ui/KanEdit.h"
#include "viewer/LineLoader.h"
#include "viewer/ui/LogFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <memory>

using namespace kolbran;
using kolbran::test::RecordingViewerHost;
using kolbran::test::ScriptedPrompter;

namespace {

QByteArray NumberedLines(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    return bytes;
}

QString U(const char16_t* s) { return QString::fromUtf16(s); }

struct Bench {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    AppState state{prompter};
    RecordingViewerHost host;
    QString path;

    explicit Bench(const QByteArray& bytes, int64_t top = 1)
    {
        state.SettingsFolder = dir.path();
        state.settings.LinesPerScreen = 32;
        state.settings.EditorLinesBefore = 120;
        state.settings.EditorLinesAfter = 240;
        state.settings.NoBackup = true;
        path = dir.filePath(QStringLiteral("doc.txt"));
        Write(bytes);
        PrOpen(state, host, path);
        state.doc.TopLine = top;
        LockDocument(state);
    }
    void Write(const QByteArray& bytes) const
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    }
    QByteArray Doc() const
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    std::unique_ptr<KanEdit> Open()
    {
        auto editor = std::make_unique<KanEdit>(state, host, nullptr, 400);
        editor->show();
        return editor;
    }
};

// Runs `act` on the modal dialog of type T once it is shown.
template <typename T>
void WhenShown(std::function<void(T&)> act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(w); dialog && dialog->isVisible()) {
                act(*dialog);
                return;
            }
        QFAIL("dialog not shown");
    });
}

QString BoxRow(const KanEdit& editor, int row)
{
    return editor.Text1->document()->findBlockByNumber(row).text();
}

}  // namespace

class KanEditTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensAroundTheMainViewsTopLine()
    {
        Bench b(NumberedLines(1000), 500);
        auto editor = b.Open();
        QCOMPARE(editor->windowTitle(), U(u"簡易エディタ <380～740行の編集>"));
        const QTextCursor caret = editor->Text1->textCursor();
        QCOMPARE(caret.block().text(), QStringLiteral("line 500"));
        QCOMPARE(caret.positionInBlock(), 0);
        QCOMPARE(editor->Text1->verticalScrollBar()->value(), caret.blockNumber());  // on top
        QVERIFY(!editor->TextModified(editor->Text1));
        QVERIFY(b.prompter.Messages().isEmpty());
    }

    void saveWritesTheEditAndReloads()
    {
        Bench b("one\r\ntwo\nkept\r\nthree\r\n");
        auto editor = b.Open();
        QCOMPARE(BoxRow(*editor, 1), U(u"two\u240Akept"));  // a lone LF shown as data
        QTextCursor c(editor->Text1->document()->findBlockByNumber(2));
        c.movePosition(QTextCursor::EndOfBlock);
        editor->Text1->setTextCursor(c);
        // Japanese typed through the input method, then a new line.
        QInputMethodEvent preedit(U(u"にほんご"), {});
        QApplication::sendEvent(editor->Text1, &preedit);
        QInputMethodEvent commit;
        commit.setCommitString(U(u"日本語"));
        QApplication::sendEvent(editor->Text1, &commit);
        QTest::keyClick(editor->Text1, Qt::Key_Return);
        QTest::keyClicks(editor->Text1, QStringLiteral("new"));
        QVERIFY(editor->TextModified(editor->Text1));

        b.prompter.answers.enqueue(MsgAnswer::Yes);
        editor->Item(QStringLiteral("M_Line_S"))->trigger();
        QCOMPARE(b.prompter.Messages(), QStringList{U(u"ファイルを更新します！")});
        QCOMPARE(b.Doc(), QByteArray("one\r\ntwo\nkept\r\nthree\x93\xfa\x96\x7b\x8c\xea\r\nnew\r\n"));
        QVERIFY(!editor->TextModified(editor->Text1));
        QCOMPARE(b.state.doc.LineCount, 4);
        QVERIFY(b.state.doc.HasFile());
    }

    void aFailedSaveKeepsTheEditorAndItsText()
    {
        Bench b("abc\r\n");
        auto editor = b.Open();
        QTest::keyClicks(editor->Text1, QStringLiteral("x"));
        b.Write("changed by another program\r\n");
        b.prompter.answers.enqueue(MsgAnswer::Yes);
        editor->Item(QStringLiteral("M_Line_Save"))->trigger();
        QCOMPARE(b.prompter.Messages().size(), 2);  // the question, then error 55
        QVERIFY(b.prompter.Messages()[1].contains(U(u"を確認してください。処理できません。")));
        QVERIFY(editor->isVisible());
        QVERIFY(editor->TextModified(editor->Text1));
        QCOMPARE(editor->ModelText(), QStringLiteral("xabc\r\n"));
        QCOMPARE(b.Doc(), QByteArray("changed by another program\r\n"));

        // A character Shift_JIS lacks: refused, named.
        b.Write("abc\r\n");
        Bench fresh("abc\r\n");
        auto second = fresh.Open();
        second->Text1->textCursor().insertText(U(u"€"));
        fresh.prompter.answers.enqueue(MsgAnswer::Yes);
        second->Item(QStringLiteral("M_Line_S"))->trigger();
        QVERIFY(fresh.prompter.Messages().last().startsWith(U(u"「€」（1行目）")));
        QCOMPARE(fresh.Doc(), QByteArray("abc\r\n"));
        QVERIFY(second->TextModified(second->Text1));
    }

    void closingAsksAndYesThenCancelKeepsTheEditorOpen()
    {
        struct Case {
            QList<MsgAnswer> answers;
            bool open;
            QByteArray file;
        };
        const QList<Case> cases{
            {{MsgAnswer::Cancel}, true, "abc\r\n"},
            {{MsgAnswer::Yes, MsgAnswer::Cancel}, true, "abc\r\n"},
            {{MsgAnswer::No}, false, "abc\r\n"},
            {{MsgAnswer::Yes, MsgAnswer::Yes}, false, "zabc\r\n"},
            {{MsgAnswer::Yes, MsgAnswer::No}, false, "abc\r\n"},
        };
        for (const Case& c : cases) {
            Bench b("abc\r\n");
            auto editor = b.Open();
            QTest::keyClicks(editor->Text1, QStringLiteral("z"));
            for (MsgAnswer a : c.answers)
                b.prompter.answers.enqueue(a);
            editor->close();
            QCOMPARE(b.prompter.Messages().first(),
                     U(u"内容が変更されています。") + QStringLiteral("\r\n") + U(u"変更を保存しますか？"));
            QVERIFY2(editor->isVisible() == c.open, qPrintable(QString::number(c.answers.size())));
            QCOMPARE(b.Doc(), c.file);
        }
    }

    void errorStateShowsOnlyItsCloseButton()
    {
        Bench b("abc\r\n");
        b.state.doc.File.reset();  // the range cannot be read
        auto editor = b.Open();
        QVERIFY(editor->InErrorState());
        QVERIFY(editor->ClosePromptDone());
        QVERIFY(editor->Command1->isVisible());
        QVERIFY(!editor->Toolbar1->isVisible());
        QVERIFY(editor->Text1->toPlainText().startsWith(U(u"領域不足のため操作できません。")));
        QTest::mouseClick(editor->Command1, Qt::LeftButton);
        QVERIFY(!editor->isVisible());
    }

    void palettesFontsAndFindNext()
    {
        Bench b("ab ab ab\r\n");
        auto editor = b.Open();
        editor->Button(QStringLiteral("Button3"))->trigger();  // no palette chosen: nothing
        QVERIFY(!editor->TextModified(editor->Text1));
        editor->Button(QStringLiteral("Sen1"))->trigger();
        editor->Button(QStringLiteral("Button3"))->trigger();
        editor->Item(QStringLiteral("M_KK_2"))->trigger();
        editor->Item(QStringLiteral("M_KK_4"))->trigger();
        QCOMPARE(editor->ModelText(), U(u"┌│┐ab ab ab\r\n"));
        b.prompter.answers.enqueue(MsgAnswer::Yes);
        editor->Item(QStringLiteral("M_Line_S"))->trigger();
        QCOMPARE(b.Doc().left(6), QByteArray("\x84\xa1\x84\xa0\x84\xa2"));

        editor->Combo1->setCurrentIndex(2);
        Q_EMIT editor->Combo1->activated(2);
        QCOMPARE(editor->Text1->font().family(), U(u"標準明朝"));
        QCOMPARE(editor->Combo2->count(), 6);
        Q_EMIT editor->Combo2->activated(3);
        QCOMPARE(editor->Text1->font().pointSizeF(), 12.0);

        // F3 after a copy finds the copied text after the selection, without wrapping.
        editor->SelectModel(3, 2);
        editor->Text1->setFocus();
        editor->Item(QStringLiteral("M_E_C"))->trigger();
        QCOMPARE(b.state.SearchString, QStringLiteral("ab"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ab"));
        b.state.SearchString = QStringLiteral("AB");  // text comparison ignores case
        editor->M_E_SeaDown_Click();
        QCOMPARE(editor->ModelSelStart(), 6);
        editor->M_E_SeaDown_Click();
        editor->M_E_SeaDown_Click();
        QCOMPARE(editor->ModelSelStart(), 9);
        b.state.SearchCompareMode = 0;
        editor->SelectModel(0, 0);
        editor->M_E_SeaDown_Click();
        QCOMPARE(editor->ModelSelStart(), 0);  // binary comparison: nothing found
        QCOMPARE(editor->ModelSelLength(), 0);
    }

    void f6MovesTwentyLinesInAMillionLines()
    {
        Bench b(QByteArray("x\r\n").repeated(1'000'000), 900'000);
        auto editor = b.Open();
        QCOMPARE(editor->Range().AnchorLine, 900'000);
        editor->Item(QStringLiteral("M_E_Ido_2"))->trigger();
        QCOMPARE(editor->Range().AnchorLine, 900'020);
        QCOMPARE(b.state.doc.TopLine, 900'020);
        QCOMPARE(editor->windowTitle(), U(u"簡易エディタ <899900～900260行の編集>"));
        editor->Item(QStringLiteral("M_E_Ido_1"))->trigger();
        QCOMPARE(b.state.doc.TopLine, 900'000);
    }

    void replaceNextAllAndWholeFile()
    {
        Bench b("ab ab\r\nAB\r\n");
        auto editor = b.Open();
        b.state.SearchString = QStringLiteral("before");
        ChiKanF dialog(*editor, 3);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), U(u"置換"));
        dialog.Text1->setText(QStringLiteral("ab"));
        dialog.Text2->setText(QStringLiteral("abab"));
        QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        QCOMPARE(editor->ModelText(), QStringLiteral("abab abab\r\nAB\r\n"));
        QTest::mouseClick(dialog.Command1, Qt::LeftButton);  // the case box is on: AB matches
        QCOMPARE(editor->ModelText(), QStringLiteral("abab abab\r\nabab\r\n"));
        QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        QCOMPARE(b.prompter.Messages().last(), U(u"「ab」は見つかりません。"));

        // Replace all from the start: a → aa ends.
        editor->Text1->setPlainText(QStringLiteral("a a\n"));
        dialog.Text1->setText(QStringLiteral("a"));
        Q_EMIT dialog.Text1->textEdited(dialog.Text1->text());
        dialog.Text2->setText(QStringLiteral("aa"));
        QTest::mouseClick(dialog.Command3, Qt::LeftButton);
        QCOMPARE(editor->ModelText(), QStringLiteral("aa aa\r\n"));
        QCOMPARE(dialog.SearchPosition(), 1);

        // The whole file compares exactly; the editor's changes are dropped on No.
        dialog.Text1->setText(QStringLiteral("ab"));
        dialog.Text2->setText(QStringLiteral("x"));
        b.prompter.answers.enqueue(MsgAnswer::No);
        QTest::mouseClick(dialog.Command4, Qt::LeftButton);
        QCOMPARE(b.prompter.Messages().last(), U(u"置換処理は完了しました。"));
        QCOMPARE(b.Doc(), QByteArray("x x\r\nAB\r\n"));
        QCOMPARE(editor->ModelText(), QStringLiteral("x x\r\nAB\r\n"));
        QVERIFY(!editor->TextModified(editor->Text1));
        QCOMPARE(dialog.Command4->text(), U(u"ﾌｧｲﾙ全体の置換"));

        dialog.close();
        QCOMPARE(b.state.SearchString, QStringLiteral("before"));  // restored at close
    }

    void searchModeFindsWithTheCaseBox()
    {
        Bench b("abc ABC\r\n");
        auto editor = b.Open();
        ChiKanF dialog(*editor, 2);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), U(u"検索"));
        QVERIFY(!dialog.Command4->isVisible());
        dialog.Check1->click();  // off: exact
        QCOMPARE(b.state.SearchCompareMode, 0);
        dialog.Text3->setText(QStringLiteral("ABC"));
        QTest::mouseClick(dialog.Command6, Qt::LeftButton);
        QCOMPARE(editor->ModelSelStart(), 4);
        QCOMPARE(b.state.SearchString, QStringLiteral("ABC"));
    }

    void theMainWindowOpensTheEditorAndShowsTheSavedEdit()
    {
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        AppState state(prompter);
        state.SettingsFolder = dir.path();
        state.settings.NoBackup = true;
        state.settings.EditorLinesBefore = 120;
        state.settings.EditorLinesAfter = 240;
        RegisterEditorWindows(state);
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(NumberedLines(300));
        }
        LogFile window(state, path);
        window.show();
        QVERIFY(window.MenuItem(QStringLiteral("Menu_Edit_Edit"))->isEnabled());
        QVERIFY(window.ToolButton(QStringLiteral("Kan"))->isEnabled());
        auto* scroll = window.findChild<QScrollBar*>(QStringLiteral("VScroll1"));
        scroll->setValue(100);
        QCOMPARE(state.doc.TopLine, 100);

        prompter.answers.enqueue(MsgAnswer::Yes);
        WhenShown<KanEdit>([&](KanEdit& editor) {
            QCOMPARE(editor.Text1->textCursor().block().text(), QStringLiteral("line 100"));
            editor.Text1->textCursor().insertText(QStringLiteral("edited "));
            editor.Item(QStringLiteral("M_Line_S"))->trigger();
            QCOMPARE(state.doc.TopLine, 100);
            editor.Item(QStringLiteral("M_End"))->trigger();
        });
        window.ToolButton(QStringLiteral("Kan"))->trigger();
        auto* text = window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
        QVERIFY(text->toPlainText().startsWith(QStringLiteral("edited line 100")));
        QCOMPARE(state.doc.TopLine, 100);
        QVERIFY(state.doc.HasFile());
    }

    // The pictures of the manual: KOLBRAN_SCREENSHOTS names the folder, KOLBRAN_SAMPLE the
    // text shown (at line 100, after a palette insert).
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("KOLBRAN_SCREENSHOTS");
        const QString sample = qEnvironmentVariable("KOLBRAN_SAMPLE");
        if (folder.isEmpty() || sample.isEmpty())
            QSKIP("KOLBRAN_SCREENSHOTS and KOLBRAN_SAMPLE are not set");
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        AppState state(prompter);
        state.SettingsFolder = dir.path();
        state.settings.EditorLinesBefore = 120;
        state.settings.EditorLinesAfter = 240;
        RegisterEditorWindows(state);
        const QString path = dir.filePath(QStringLiteral("sample.txt"));
        QFile::copy(sample, path);
        LogFile window(state, path);
        window.resize(900, 640);
        window.show();
        window.findChild<QScrollBar*>(QStringLiteral("VScroll1"))->setValue(100);
        WhenShown<KanEdit>([&](KanEdit& editor) {
            editor.resize(900, 560);
            editor.Button(QStringLiteral("Sen1"))->trigger();
            for (const char* key : {"Button3", "Button1", "Button4"})
                editor.Button(QString::fromLatin1(key))->trigger();
            QApplication::processEvents();
            editor.grab().save(folder + QStringLiteral("/editor.png"));
            ChiKanF replace(editor, 3);
            replace.Text1->setText(U(u"日本"));
            replace.Text2->setText(U(u"にほん"));
            replace.show();
            QApplication::processEvents();
            replace.grab().save(folder + QStringLiteral("/editor-replace.png"));
            replace.close();
            ChiKanF search(editor, 2);
            search.show();
            QApplication::processEvents();
            search.close();
            prompter.answers.enqueue(MsgAnswer::No);
            editor.Item(QStringLiteral("M_End"))->trigger();
        });
        window.ToolButton(QStringLiteral("Kan"))->trigger();
    }

    void aNewFileOpensTheEditorOnItsEmptyDocument()
    {
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        AppState state(prompter);
        state.SettingsFolder = dir.path();
        state.settings.NoBackup = true;
        RegisterEditorWindows(state);
        const QString path = dir.filePath(QStringLiteral("new.txt"));
        // The file dialog's new-file mode makes the empty file and opens it.
        state.WindowCommands[QStringLiteral("Menu_File_New")] = [&](QWidget*) {
            QFile f(path);
            f.open(QIODevice::WriteOnly | QIODevice::NewOnly);
            f.close();
            state.OpenInViewer(path);
        };
        LogFile window(state, QString());
        window.show();
        prompter.answers.enqueue(MsgAnswer::Yes);
        WhenShown<KanEdit>([&](KanEdit& editor) {
            QCOMPARE(editor.windowTitle(), U(u"簡易エディタ <1～0行の編集>"));
            QTest::keyClicks(editor.Text1, QStringLiteral("hello"));
            editor.Item(QStringLiteral("M_Line_Save"))->trigger();
        });
        window.MenuItem(QStringLiteral("Menu_File_New"))->trigger();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("hello"));
        QCOMPARE(state.doc.LineCount, 1);
    }
};

QTEST_MAIN(KanEditTest)
#include "KanEditTest.moc"
