#include "splitjoin/ui/BN_main.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/ui/FileDrop.h"
#include "splitjoin/SplitJoin.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kolbran {

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// major.minor.revision, each number in the Str form.
QString VersionText()
{
    const QStringList parts = QCoreApplication::applicationVersion().split(u'.');
    QString text;
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            text += u'.';
        text += StrNumber(i < parts.size() ? parts[i].toInt() : 0);
    }
    return text;
}

// The hourglass while a run copies bytes.
class WaitCursor {
public:
    void Start()
    {
        if (!on_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        on_ = true;
    }
    ~WaitCursor()
    {
        if (on_)
            QApplication::restoreOverrideCursor();
    }

private:
    bool on_ = false;
};

}  // namespace

BN_main::BN_main(AppState& state, QWidget* parent)
    : QDialog(parent),
      state_(state),
      Command1_0(Named(new QPushButton(QStringLiteral(u"分　割(&B)"), this), "Command1_0")),
      Command1_1(Named(new QPushButton(QStringLiteral(u"結　合(&K)"), this), "Command1_1")),
      Frame1(Named(new QGroupBox(QStringLiteral(u"分割量"), this), "Frame1")),
      HScroll1(Named(new QScrollBar(Qt::Horizontal, Frame1), "HScroll1")),
      Label4(Named(new QLabel(Frame1), "Label4")),
      Label3(Named(new QLabel(QStringLiteral("(KB)"), Frame1), "Label3")),
      Label1(Named(new QLabel(QStringLiteral(u"ファイルを指定して下さい。"), this), "Label1")),
      Text1(Named(new QLineEdit(this), "Text1")),
      Command3(Named(new QPushButton(QStringLiteral(u"ﾌｧｲﾙを選択(&F)..."), this), "Command3")),
      Command4(Named(new QPushButton(QStringLiteral(u"実　行"), this), "Command4")),
      Command5(Named(new QPushButton(QStringLiteral(u"ｷｬﾝｾﾙ"), this), "Command5")),
      Command2(Named(new QPushButton(QStringLiteral(u"閉じる(&C)"), this), "Command2")),
      Label2(Named(new QLabel(this), "Label2"))
{
    setObjectName(QStringLiteral("BN_main"));
    setWindowTitle(QStringLiteral(u"分割／結合"));
    setModal(true);

    auto* frameLayout = new QHBoxLayout(Frame1);
    HScroll1->setMinimumWidth(240);
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label4->setMinimumWidth(70);
    frameLayout->addWidget(HScroll1, 1);
    frameLayout->addWidget(Label4);
    frameLayout->addWidget(Label3);

    auto* operations = new QHBoxLayout;
    operations->addWidget(Command1_0);
    operations->addWidget(Command1_1);
    operations->addStretch();
    operations->addWidget(Command2);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(Text1, 1);
    nameRow->addWidget(Command3);

    auto* runRow = new QHBoxLayout;
    runRow->addStretch();
    runRow->addWidget(Command4);
    runRow->addWidget(Command5);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(operations);
    layout->addWidget(Frame1);
    layout->addWidget(Label1);
    layout->addLayout(nameRow);
    layout->addLayout(runRow);
    layout->addStretch();
    layout->addWidget(Label2, 0, Qt::AlignRight);
    resize(460, 260);

    AcceptFileDrops(Text1);
    Command4->setDefault(true);

    connect(Command1_0, &QPushButton::clicked, this, [this] { Command1_Click(0); });
    connect(Command1_1, &QPushButton::clicked, this, [this] { Command1_Click(1); });
    connect(Command3, &QPushButton::clicked, this, &BN_main::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &BN_main::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &BN_main::Command5_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::close);
    connect(HScroll1, &QScrollBar::valueChanged, this, &BN_main::HScroll1_Change);
    connect(Text1, &QLineEdit::textChanged, this, &BN_main::Text1_Change);

    Form_Load();
}

void BN_main::Form_Load()
{
    mode_ = 0;
    HScroll1->setRange(kPieceScrollMin, kPieceScrollMax);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(10);
    HScroll1->setValue(kPieceScrollDefault);
    HScroll1_Change();
    Label2->setText(VersionText());
    FirstState();
    Text1_Change();
}

void BN_main::FirstState()
{
    Command1_0->setVisible(true);
    Command1_1->setVisible(true);
    for (QWidget* w : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Text1), static_cast<QWidget*>(Command3),
                       static_cast<QWidget*>(Command4), static_cast<QWidget*>(Command5)})
        w->setVisible(false);
}

void BN_main::Command1_Click(int index)
{
    mode_ = index;
    if (index == 0) {
        Frame1->setVisible(true);
        Command1_1->setVisible(false);
        browseFilter_ = QStringLiteral(
            u"実行ﾌｧｲﾙ(*.EXE)|*.exe|圧縮ﾌｧｲﾙ(*.lzh;*.zip)|*.lzh;*.zip|全てのﾌｧｲﾙ(*.*)|*.*");
        browseTitle_ = QStringLiteral(u"ファイル分割");
    } else {
        Command1_0->setVisible(false);
        browseFilter_ = QStringLiteral(u"分割ﾌｧｲﾙ(*.001)|*.001|全てのﾌｧｲﾙ(*.*)|*.*");
        browseTitle_ = QStringLiteral(u"ファイル結合");
    }
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Text1),
                       static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command4),
                       static_cast<QWidget*>(Command5)})
        w->setVisible(true);
    Text1->setFocus();
}

void BN_main::Command3_Click()
{
    FileDialogRequest request;
    request.title = browseTitle_;
    request.filter = browseFilter_;
    try {
        Text1->setText(state_.prompter.OpenFileName(request));
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
}

void BN_main::Command4_Click()
{
    const QString name = Text1->text();
    SplitJoinOutcome outcome;
    {
        WaitCursor cursor;
        if (mode_ == 0) {
            outcome = RunSplit(state_, name, HScroll1->value(), [&cursor] { cursor.Start(); });
        } else {
            JoinOptions options;
            options.beforeWrite = [&cursor] { cursor.Start(); };
            outcome = RunJoin(state_, name, options);
        }
    }
    // Only a run that got as far as copying returns the dialog to its first state.
    if (outcome == SplitJoinOutcome::Done || outcome == SplitJoinOutcome::Failed) {
        mode_ = 0;
        Text1->clear();
        FirstState();
    }
}

void BN_main::Command5_Click()
{
    FirstState();
}

void BN_main::reject()
{
    if (Command5->isVisibleTo(this) && Command5->isEnabled()) {
        Command5_Click();
        return;
    }
    QDialog::reject();
}

void BN_main::HScroll1_Change()
{
    Label4->setText(FormatCount(qint64(HScroll1->value()) * 10));
}

void BN_main::Text1_Change()
{
    Command4->setEnabled(!Text1->text().isEmpty());
}

}  // namespace kolbran
