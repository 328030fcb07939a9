#include "editor/ui/KanEdit.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"
#include "core/FileFacade.h"
#include "core/Twips.h"
#include "editor/ui/ChiKanF.h"
#include "viewer/LineLoader.h"
#include "viewer/ScreenText.h"
#include "viewer/SpliceLines.h"
#include "viewer/ViewerHost.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>

#include <new>

namespace kolbran {

KanEdit::KanEdit(AppState& state, ViewerHost& host, QWidget* mainWindow, int heightBasis)
    : QDialog(mainWindow), state_(state), host_(host)
{
    setObjectName(QStringLiteral("KanEdit"));
    setWindowTitle(QStringLiteral(u"簡易エディタ"));
    setModal(true);
    BuildControls();
    Form_Load(mainWindow, heightBasis);
}

void KanEdit::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    MenuBar = new QMenuBar(this);
    layout->setMenuBar(MenuBar);
    BuildMenus();
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    BuildToolbar();
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Toolbar1->addSeparator();
    Toolbar1->addWidget(Combo1);
    Toolbar1->addWidget(Combo2);
    layout->addWidget(Toolbar1);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setTabChangesFocus(false);
    layout->addWidget(Text1, 1);

    Command1 = new QPushButton(QStringLiteral(u"閉じる"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setVisible(false);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(Command1, 0, Qt::AlignCenter);
}

void KanEdit::SetBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

namespace {

QFont MainTextFont(QWidget* mainWindow)
{
    const auto* text =
        mainWindow ? mainWindow->findChild<QPlainTextEdit*>(QStringLiteral("Text1")) : nullptr;
    return text ? text->font() : QFont();
}

}  // namespace

void KanEdit::Form_Load(QWidget* mainWindow, int heightBasis)
{
    FillFontLists();
    SetBusy(true);
    DispText();
    SetBusy(false);
    if (state_.settings.DebugFlags != 0)
        state_.prompter.Message(QStringLiteral("CellP = ") + QString::number(range_.CaretOffset),
                                MsgIcon::Information);
    if (errorState_)
        return;
    try {
        if (mainWindow) {
            const QRect main = mainWindow->geometry();
            setGeometry(main.left() + TwipsToPixels(300), main.top() + TwipsToPixels(300),
                        main.width(), heightBasis + TwipsToPixels(350));
        } else {
            resize(800, heightBasis + TwipsToPixels(350));
        }
        QFont font = MainTextFont(mainWindow);
        Text1->setFont(font);
        ScrollToAnchor();
        // The stored font entry, and the size entry the box's size realises (else the first).
        Combo1->setCurrentIndex(std::clamp<int>(state_.settings.EditorFontIndex, 0, 3));
        Combo1_Click(Combo1->currentIndex());
        const double dpi = logicalDpiY();
        int sizeIndex = 0;
        for (int i = 0; i < int(kEditorFontSizes.size()); ++i)
            if (std::abs(RealisedFontSize(kEditorFontSizes[size_t(i)], dpi) -
                         RealisedFontSize(font.pointSizeF(), dpi)) < 1e-6)
                sizeIndex = i;
        Combo2->setCurrentIndex(sizeIndex);
        Combo2_Click(sizeIndex);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
        SetErrorState(true);
    }
}

void KanEdit::FillFontLists()
{
    const QSignalBlocker b1(Combo1), b2(Combo2);
    Combo1->clear();
    for (int i = 0; i < 4; ++i)
        Combo1->addItem(EditorFontLabel(i));
    Combo2->clear();
    const double dpi = logicalDpiY();
    for (double size : kEditorFontSizes)
        Combo2->addItem(FontSizeText(RealisedFontSize(size, dpi)));
    connect(Combo1, &QComboBox::activated, this, &KanEdit::Combo1_Click, Qt::UniqueConnection);
    connect(Combo2, &QComboBox::activated, this, &KanEdit::Combo2_Click, Qt::UniqueConnection);
}

void KanEdit::Combo1_Click(int index)
{
    QFont font = Text1->font();
    font.setFamily(EditorFontName(index));
    Text1->setFont(font);
}

void KanEdit::Combo2_Click(int index)
{
    if (index < 0 || index >= int(kEditorFontSizes.size()))
        return;
    QFont font = Text1->font();
    font.setPointSizeF(kEditorFontSizes[size_t(index)]);
    Text1->setFont(font);
}

void KanEdit::DispText()
{
    OpenDocument& doc = state_.doc;
    if (doc.TopLine < 1)
        doc.TopLine = 1;
    try {
        range_ = LoadEditRange(state_, doc.TopLine, state_.settings.EditorLinesBefore,
                               state_.settings.EditorLinesAfter);
        setWindowTitle(EditorCaption(range_.FirstLine, range_.LastLine));
        Text1->setPlainText(BoxTextFromModel(range_.Text));
        Text1->document()->setModified(false);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
        SetErrorState(true);
    } catch (const std::bad_alloc&) {
        ReportError(state_, Err::OutOfMemory, 1);
        SetErrorState(true);
    }
}

void KanEdit::SetErrorState(bool messageShown)
{
    (void)messageShown;
    errorState_ = true;
    closePromptDone_ = true;
    Text1->setPlainText(QStringLiteral(u"領域不足のため操作できません。") + u'\n' +
                        QStringLiteral(u"編集対象行を狭くして再実行してください。"));
    Text1->document()->setModified(false);
    Command1->setVisible(true);
    Toolbar1->setVisible(false);
    for (QMenu* menu : hideInError_)
        menu->menuAction()->setVisible(false);
}

void KanEdit::ScrollToAnchor()
{
    const int box = BoxOffsetFromModel(range_.Text, std::min(range_.CaretOffset, kEditorMaxChars));
    QTextCursor cursor = Text1->textCursor();
    cursor.setPosition(std::min(box, Text1->document()->characterCount() - 1));
    Text1->setTextCursor(cursor);
    // The caret's row on top: a row of the box is a line of the file, but a cut line or a
    // lone line break makes counting lines unreliable, so the caret's own row is used.
    Text1->verticalScrollBar()->setValue(cursor.block().blockNumber());
}

bool KanEdit::TextModified(const QPlainTextEdit* box) const
{
    return box && box->document()->isModified();
}

QString KanEdit::ModelText() const
{
    return ModelTextFromBox(Text1->document()->toRawText());
}

int KanEdit::ModelSelStart() const
{
    const QString raw = Text1->document()->toRawText();
    const int start = Text1->textCursor().selectionStart();
    return int(ModelTextFromBox(QStringView(raw).first(std::min<qsizetype>(start, raw.size()))).size());
}

int KanEdit::ModelSelLength() const
{
    return int(ModelTextFromBox(Text1->textCursor().selectedText()).size());
}

void KanEdit::SelectModel(int start, int length)
{
    const QString model = ModelText();
    const int from = BoxOffsetFromModel(model, start);
    const int to = BoxOffsetFromModel(model, start + length);
    QTextCursor cursor = Text1->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    Text1->setTextCursor(cursor);
}

void KanEdit::SetVScroll()
{
    OpenDocument& doc = state_.doc;
    const int lines = state_.settings.LinesPerScreen > 0 ? state_.settings.LinesPerScreen : 32;
    const int64_t possible = std::max<int64_t>(1, PossibleTopLines(doc.LineCount, lines));
    doc.TopLine = std::clamp<int64_t>(range_.AnchorLine, 1, possible);
    host_.ScrollToTopLine();
}

bool KanEdit::WriteBack()
{
    try {
        SpliceLines(state_, range_.FirstLine, range_.LastLine, ModelText());
        return true;
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 0);
    } catch (const std::bad_alloc&) {
        ReportError(state_, Err::OutOfMemory, 0);
    }
    // The document as it was, open for reading again; the edits stay in the box.
    if (!state_.doc.HasFile())
        Reopen(0);
    return false;
}

void KanEdit::Reopen(LineNumber fromLine)
{
    const QString name = state_.doc.DocumentName;
    if (fromLine > 0)
        PrOpen2(state_, host_, name, fromLine);
    if (!state_.doc.HasFile())
        return;
    try {
        LockDocument(state_);
    } catch (const RuntimeError&) {
        // Another program holds it now: reading goes on through a shared handle.
        state_.doc.File = OpenFile(name, int(QIODevice::ReadOnly), FileShare::Shared);
    }
}

bool KanEdit::M_Line_S_Click()
{
    if (state_.prompter.Message(QStringLiteral(u"ファイルを更新します！"), MsgIcon::Question,
                                MsgButtons::YesNo) != MsgAnswer::Yes)
        return true;
    SetBusy(true);
    const bool ok = WriteBack();
    if (ok) {
        Reopen(range_.FirstLine);
        SetVScroll();
    }
    SetBusy(false);
    if (!ok)
        return false;
    DispText();
    if (!errorState_)
        ScrollToAnchor();
    return true;
}

bool KanEdit::M_Line_Save_Click()
{
    if (!SaveForClose())
        return false;
    closing_ = true;
    close();
    return true;
}

bool KanEdit::SaveForClose()
{
    const MsgAnswer answer =
        state_.prompter.Message(QStringLiteral(u"ファイルを更新して簡易ｴﾃﾞｨﾀを終了します！"),
                                MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer != MsgAnswer::Yes && answer != MsgAnswer::No)
        return false;
    if (answer == MsgAnswer::Yes) {
        SetBusy(true);
        const bool ok = WriteBack();
        if (ok) {
            Reopen(range_.FirstLine);
            SetVScroll();
        }
        SetBusy(false);
        if (!ok)
            return false;  // the editor stays open with its text
    }
    closePromptDone_ = true;
    if (state_.settings.SearchListOpen && state_.CloseSearchWindows)
        state_.CloseSearchWindows();
    return true;
}

MsgAnswer KanEdit::AskSaveChanges()
{
    return state_.prompter.Message(QStringLiteral(u"内容が変更されています。") + state_.settings.LineBreak +
                                       QStringLiteral(u"変更を保存しますか？"),
                                   MsgIcon::Warning, MsgButtons::YesNoCancel);
}

void KanEdit::reject()
{
    close();  // Esc closes as the close box does
}

void KanEdit::closeEvent(QCloseEvent* event)
{
    if (!closing_) {
        replaceMode_ = 0;
        if (!closePromptDone_ && TextModified(Text1)) {
            const MsgAnswer answer = AskSaveChanges();
            // Yes: save-and-close asks its own question; its Cancel keeps the editor open.
            if (answer == MsgAnswer::Yes ? !SaveForClose() : answer != MsgAnswer::No) {
                event->ignore();
                return;
            }
        }
    }
    state_.settings.EditorFontIndex = int16_t(std::max(0, Combo1->currentIndex()));
    closing_ = true;
    event->accept();
    QDialog::done(QDialog::Accepted);
}

void KanEdit::M_E_Ido_Click(int index)
{
    OpenDocument& doc = state_.doc;
    if (TextModified(Text1)) {
        const MsgAnswer answer = AskSaveChanges();
        if (answer == MsgAnswer::Cancel)
            return;
        if (answer == MsgAnswer::Yes) {
            SetBusy(true);
            const bool ok = WriteBack();
            if (ok)
                Reopen(range_.FirstLine);
            SetBusy(false);
            if (!ok)
                return;  // nothing moves: the edits stay
        }
    }
    const int lines = state_.settings.LinesPerScreen > 0 ? state_.settings.LinesPerScreen : 32;
    const int64_t possible = std::max<int64_t>(1, PossibleTopLines(doc.LineCount, lines));
    int64_t anchor = range_.AnchorLine + (index == 1 ? -20 : 20);
    anchor = std::clamp<int64_t>(anchor, 1, possible);
    range_.AnchorLine = LineNumber(anchor);
    SetVScroll();
    DispText();
    if (!errorState_)
        ScrollToAnchor();
}

void KanEdit::M_E_SeaDown_Click()
{
    const QString& needle = state_.SearchString;
    if (needle.isEmpty())
        return;
    const QString model = ModelText();
    const qsizetype at = FindInText(model, needle, state_.SearchCompareMode,
                                    ModelSelStart() + ModelSelLength());
    if (at < 0)
        return;
    SelectModel(int(at), int(needle.size()));
}

void KanEdit::M_Line_Max_Click()
{
    QAction* item = items_.value(QStringLiteral("M_Line_Max"));
    if (isMaximized()) {
        showNormal();
        item->setText(QStringLiteral(u"最大表示(&M)"));
    } else {
        showMaximized();
        item->setText(QStringLiteral(u"表示を元に戻す(&M)"));
    }
}

void KanEdit::M_Edit_Opening()
{
    const bool selection = Text1->textCursor().hasSelection();
    items_.value(QStringLiteral("M_E_X"))->setEnabled(selection);
    items_.value(QStringLiteral("M_E_C"))->setEnabled(selection);
    items_.value(QStringLiteral("M_E_V"))->setEnabled(!QApplication::clipboard()->text().isEmpty());
}

void KanEdit::M_E_C_Click()
{
    if (focusWidget() != Text1 && !Text1->hasFocus() && QApplication::focusWidget() != Text1)
        return;
    const QString text = ModelTextFromBox(Text1->textCursor().selectedText());
    state_.SearchString = text;
    QApplication::clipboard()->setText(text);
}

void KanEdit::M_E_V_Click()
{
    try {
        InsertText(QApplication::clipboard()->text());
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
}

void KanEdit::InsertText(const QString& text)
{
    // A line break of the inserted text (LF or CR LF) becomes a line of the box.
    QString model = text;
    model.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    model.replace(u'\n', QStringLiteral("\r\n"));
    Text1->textCursor().insertText(BoxTextFromModel(model));
}

void KanEdit::OpenChiKanF(int mode)
{
    replaceMode_ = mode;
    ChiKanF dialog(*this, mode);
    dialog.exec();
    Text1->setFocus();
}

}  // namespace kolbran
