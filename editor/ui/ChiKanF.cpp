#include "editor/ui/ChiKanF.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"
#include "editor/EditorText.h"
#include "editor/WholeFileReplace.h"
#include "editor/ui/KanEdit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include <new>

namespace kolbran {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(260);
    return edit;
}

}  // namespace

ChiKanF::ChiKanF(KanEdit& editor, int mode) : QDialog(&editor), editor_(editor), mode_(mode)
{
    setObjectName(QStringLiteral("ChiKanF"));
    setModal(true);
    AppState& s = editor_.State();
    savedSearch_ = s.SearchString;
    setWindowTitle(mode_ == 2 ? QStringLiteral(u"検索") : QStringLiteral(u"置換"));

    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    layout->addLayout(fields);
    auto* buttons = new QHBoxLayout;

    Text3 = MakeEdit(this, "Text3");
    Command6 = MakeButton(this, "Command6", QStringLiteral(u"下方向に検索(&D)"));
    Text1 = MakeEdit(this, "Text1");
    Text2 = MakeEdit(this, "Text2");
    Command1 = MakeButton(this, "Command1", QStringLiteral(u"置換して次"));
    Command3 = MakeButton(this, "Command3", QStringLiteral(u"全ての置換"));
    Command4 = MakeButton(this, "Command4", QStringLiteral(u"ﾌｧｲﾙ全体の置換"));
    Command5 = MakeButton(this, "Command5", QStringLiteral(u"改行文字"));
    Command2 = MakeButton(this, "Command2", QStringLiteral(u"閉じる(&X)"));
    Check1 = new QCheckBox(QStringLiteral(u"大文字と小文字を区別しない(&C)"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setChecked(s.SearchCompareMode == 1);

    if (mode_ == 2) {
        auto* label = new QLabel(QStringLiteral(u"検索する文字列を入力してください(&S)"), this);
        label->setBuddy(Text3);
        fields->addWidget(label, 0, 0);
        fields->addWidget(Text3, 1, 0);
        Text3->setText(s.SearchString);
        buttons->addWidget(Command6);
        for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2),
                           static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command3),
                           static_cast<QWidget*>(Command4), static_cast<QWidget*>(Command5)})
            w->hide();
    } else {
        auto* from = new QLabel(QStringLiteral(u"置換前の文字列(&N)："), this);
        from->setBuddy(Text1);
        auto* to = new QLabel(QStringLiteral(u"置換後の文字列(&P)："), this);
        to->setBuddy(Text2);
        fields->addWidget(from, 0, 0);
        fields->addWidget(Text1, 0, 1);
        fields->addWidget(to, 1, 0);
        fields->addWidget(Text2, 1, 1);
        Text1->setText(s.SearchString);
        buttons->addWidget(Command1);
        buttons->addWidget(Command3);
        buttons->addWidget(Command4);
        buttons->addWidget(Command5);
        Command5->setVisible(s.settings.DebugFlags != 0);
        Text3->hide();
        Command6->hide();
    }
    layout->addWidget(Check1);
    buttons->addWidget(Command2);
    layout->addLayout(buttons);

    connect(Check1, &QCheckBox::clicked, this,
            [this](bool on) { editor_.State().SearchCompareMode = on ? 1 : 0; });
    connect(Text1, &QLineEdit::textEdited, this, [this] { position_ = 1; });
    connect(Command6, &QPushButton::clicked, this, &ChiKanF::Command6_Click);
    connect(Command1, &QPushButton::clicked, this, &ChiKanF::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &ChiKanF::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &ChiKanF::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &ChiKanF::Command5_Click);
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);
}

void ChiKanF::Command6_Click()
{
    AppState& s = editor_.State();
    s.SearchString = Text3->text();
    if (!s.SearchString.isEmpty())
        editor_.M_E_SeaDown_Click();
}

void ChiKanF::NotFound(const QString& text)
{
    editor_.State().prompter.Message(QStringLiteral(u"「") + text + QStringLiteral(u"」は見つかりません。"),
                                     MsgIcon::Information);
}

bool ChiKanF::ReplaceNext(bool quiet)
{
    AppState& s = editor_.State();
    s.SearchString = Text1->text();
    const QString& from = s.SearchString;
    if (from.isEmpty())
        return false;
    const QString to = Text2->text();
    const QString model = editor_.ModelText();
    const qsizetype at = FindInText(model, from, s.SearchCompareMode, position_ - 1);
    if (at < 0) {
        if (!quiet)
            NotFound(from);
        return false;
    }
    editor_.SelectModel(int(at), int(from.size()));
    editor_.Text1->textCursor().insertText(BoxTextFromModel(to));
    editor_.SelectModel(int(at), int(to.size()));
    position_ = int(at + to.size()) + 1;
    return true;
}

void ChiKanF::Command1_Click()
{
    ReplaceNext(false);
}

void ChiKanF::Command3_Click()
{
    AppState& s = editor_.State();
    s.SearchString = Text1->text();
    const QString from = s.SearchString;
    if (from.isEmpty())
        return;
    const QString to = Text2->text();
    QString model = editor_.ModelText();
    int count = 0;
    qsizetype pos = position_ - 1;
    qsizetype at;
    while ((at = ChiKan(model, from, to, pos, s.SearchCompareMode)) >= 0) {
        pos = at + to.size();
        ++count;
    }
    if (count > 0) {
        // One edit of the box, so that undo takes it back at once.
        QTextCursor cursor = editor_.Text1->textCursor();
        cursor.select(QTextCursor::Document);
        cursor.insertText(BoxTextFromModel(model));
        editor_.Text1->setTextCursor(cursor);
    }
    NotFound(from);
    position_ = 1;
}

void ChiKanF::Command4_Click()
{
    AppState& s = editor_.State();
    if (running_) {
        s.BusyFlag = false;  // "中　止"
        return;
    }
    s.SearchString = Text1->text();
    const QString from = s.SearchString;
    if (from.isEmpty())
        return;
    if (editor_.TextModified(editor_.Text1)) {
        const MsgAnswer answer = s.prompter.Message(
            QStringLiteral(u"内容が変更されています。保存して処理を続行しますか。"), MsgIcon::None,
            MsgButtons::YesNoCancel);
        if (answer != MsgAnswer::Yes && answer != MsgAnswer::No)
            return;
        if (answer == MsgAnswer::Yes && !editor_.M_Line_S_Click())
            return;  // the save failed: the edits stay, nothing runs
    }

    running_ = true;
    Command4->setText(QStringLiteral(u"中　止"));
    for (QWidget* w : {static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command3),
                       static_cast<QWidget*>(Command2), static_cast<QWidget*>(Text1),
                       static_cast<QWidget*>(Text2), static_cast<QWidget*>(Check1)})
        w->setEnabled(false);
    int64_t chunkFirst = 1;
    WholeFileReplaceOptions options;
    options.onChunk = [this, &chunkFirst](int64_t first, int64_t last) {
        chunkFirst = first;
        editor_.setWindowTitle(EditorCaption(first, last));
    };
    WholeFileReplaceResult result;
    bool failed = false;
    try {
        result = ChiKanAll(s, from, Text2->text(), options);
    } catch (const RuntimeError& e) {
        ReportError(s, e, 0);
        failed = true;
    } catch (const std::bad_alloc&) {
        ReportError(s, Err::OutOfMemory, 0);
        failed = true;
    }
    if (result.written) {
        editor_.SetBusy(true);
        const int64_t count = std::max<int64_t>(1, s.doc.LineCount);
        editor_.Reopen(LineNumber(std::clamp<int64_t>(result.firstChangedLine, 1, count)));
        editor_.SetBusy(false);
    } else {
        editor_.Reopen(0);
    }

    // The editor's own range again, and the main view on its anchor line.
    s.doc.TopLine = editor_.Range().AnchorLine;
    editor_.DispText();
    if (!editor_.InErrorState())
        editor_.ScrollToAnchor();
    if (result.written)
        editor_.SetVScroll();
    position_ = 1;
    Command4->setText(QStringLiteral(u"ﾌｧｲﾙ全体の置換"));
    for (QWidget* w : {static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command3),
                       static_cast<QWidget*>(Command2), static_cast<QWidget*>(Text1),
                       static_cast<QWidget*>(Text2), static_cast<QWidget*>(Check1)})
        w->setEnabled(true);
    running_ = false;
    if (!failed) {
        if (result.cancelled) {
            if (s.settings.DebugFlags != 0)
                s.prompter.Message(QStringLiteral("ExLine =") + QString::number(result.lineReached) +
                                       QStringLiteral(u"　LineA =") + QString::number(chunkFirst),
                                   MsgIcon::Information);
            s.prompter.Message(QStringLiteral(u"「中止」が押されました。") + u' ' +
                                   QString::number(result.lineReached) +
                                   QStringLiteral(u"行まで処理しました。"),
                               MsgIcon::Information);
        } else {
            s.prompter.Message(QStringLiteral(u"置換処理は完了しました。"), MsgIcon::Information);
        }
    }
    if (closeAfterRun_)
        close();
}

void ChiKanF::Command5_Click()
{
    Text1->setText(QStringLiteral("\r\n\r\n\r\n"));
    Text2->setText(QStringLiteral("\r\n\r\n"));
    position_ = 1;
}

void ChiKanF::reject()
{
    close();
}

void ChiKanF::closeEvent(QCloseEvent* event)
{
    if (running_) {
        // Closing cancels the run first; the window closes when it has stopped.
        editor_.State().BusyFlag = false;
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    if (mode_ == 3)
        editor_.State().SearchString = savedSearch_;
    editor_.Text1->setFocus();
    event->accept();
    QDialog::done(QDialog::Accepted);
}

}  // namespace kolbran
