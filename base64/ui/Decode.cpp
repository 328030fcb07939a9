#include "base64/ui/Decode.h"

#include "base64/Conversion.h"
#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/ui/FileDrop.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kolbran {

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The bar's own scale: positions are 64-bit, the widget's are not.
constexpr int kBarScale = 10000;

const QString kChoosePrompt = QStringLiteral(u"どちらかを選択してください。");

QString BrowseFilter(int type)
{
    switch (type) {
    case 1: return QStringLiteral(u"圧縮ﾌｧｲﾙ(*.LZH)|*.LZH|実行ﾌｧｲﾙ(*.exe)|*.exe|全てのﾌｧｲﾙ(*.*)|*.*");
    case 2: return QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ(*.B)|*.B|拡張ﾌｧｲﾙ(*.K)|*.K|全てのﾌｧｲﾙ(*.*)|*.*");
    case 3: return QStringLiteral(u"圧縮ﾌｧｲﾙ(*.LZH)|*.LZH|全てのﾌｧｲﾙ(*.*)|*.*");
    case 4: return QStringLiteral(u"ｴﾝｺｰﾄﾞﾌｧｲﾙ(*.b64)|*.b64|全てのﾌｧｲﾙ(*.*)|*.*");
    default: return QStringLiteral(u"全てのﾌｧｲﾙ(*.*)|*.*");
    }
}

}  // namespace

Decode::Decode(AppState& state, QWidget* parent)
    : RunDialog(state, parent),
      state_(state),
      Command5_1(Named(new QPushButton(QStringLiteral(u"ｴﾝｺｰﾄﾞ(&E)"), this), "Command5_1")),
      Command5_2(Named(new QPushButton(QStringLiteral(u"ﾃﾞｺｰﾄﾞ(&D)"), this), "Command5_2")),
      Command5_3(Named(new QPushButton(QStringLiteral(u"戻る(&C)"), this), "Command5_3")),
      Check4(Named(new QCheckBox(QStringLiteral(u"拡張ﾊﾞｲﾅﾘ(&K)"), this), "Check4")),
      Label1(Named(new QLabel(QStringLiteral(u"ﾌｧｲﾙ名(&F)："), this), "Label1")),
      Text1(Named(new QLineEdit(this), "Text1")),
      Command3(Named(new QPushButton(QStringLiteral(u"参照(&R)..."), this), "Command3")),
      Command2(Named(new QPushButton(QStringLiteral(u"実　行"), this), "Command2")),
      Command1(Named(new QPushButton(QStringLiteral(u"閉じる(&X)"), this), "Command1")),
      Picture2(Named(new QLabel(this), "Picture2")),
      Picture1(Named(new QProgressBar(this), "Picture1")),
      Label2(Named(new QLabel(this), "Label2"))
{
    setObjectName(QStringLiteral("Decode"));
    setModal(true);

    Picture2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture2->setStyleSheet(QStringLiteral("QLabel { color: red; background: white; border: 1px inset gray; padding: 4px; }"));
    Picture2->setMinimumHeight(48);
    Label1->setBuddy(Text1);
    Picture1->setRange(0, kBarScale);
    Picture1->setTextVisible(false);
    Picture1->setStyleSheet(QStringLiteral(
        "QProgressBar { border: 1px inset gray; background: white; }"
        "QProgressBar::chunk { background: #A6CAF0; }"));
    Label2->setMinimumWidth(80);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* choices = new QHBoxLayout;
    choices->addWidget(Command5_1);
    choices->addWidget(Command5_2);
    choices->addWidget(Command5_3);
    choices->addStretch();
    choices->addWidget(Check4);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(Label1);
    nameRow->addWidget(Text1, 1);
    nameRow->addWidget(Command3);

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(Picture1, 1);
    progressRow->addWidget(Label2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Picture2);
    layout->addLayout(choices);
    layout->addLayout(nameRow);
    layout->addLayout(progressRow);
    layout->addLayout(buttons);
    resize(520, 230);

    AcceptFileDrops(Text1);
    // Enter in the name box runs 実　行.
    Command2->setDefault(true);

    connect(Command5_1, &QPushButton::clicked, this, [this] { Command5_Click(1); });
    connect(Command5_2, &QPushButton::clicked, this, [this] { Command5_Click(2); });
    connect(Command5_3, &QPushButton::clicked, this, [this] { Command5_Click(3); });
    connect(Command3, &QPushButton::clicked, this, &Decode::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &Decode::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &QDialog::close);

    Form_Load();
}

void Decode::Form_Load()
{
    mode_ = state_.DecodeMode == 0 ? 0 : 2;
    SetPrompt(kChoosePrompt);
    if (mode_ == 0) {
        setWindowTitle(QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ作成/復元"));
        Command5_1->setText(QStringLiteral(u"ﾊﾞｲﾅﾘ表示"));
        Command5_2->setText(QStringLiteral(u"復元"));
    } else {
        setWindowTitle(QStringLiteral(u"BASE64 (エンコード/デコード)"));
    }
    for (QWidget* w : {static_cast<QWidget*>(Command2), static_cast<QWidget*>(Command3),
                       static_cast<QWidget*>(Text1), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Command5_3), static_cast<QWidget*>(Check4),
                       static_cast<QWidget*>(Picture1)})
        w->setVisible(false);
    Label2->setText(QStringLiteral(" "));
}

void Decode::SetPrompt(const QString& text)
{
    Picture2->setText(text);
}

void Decode::Command5_Click(int index)
{
    type_ = index + mode_;
    const bool binary = mode_ == 0;
    const QList<QWidget*> nameControls = {Command2, Command3, Text1, Label1};
    if (index == 1 || index == 2) {
        if (index == 1)
            SetPrompt(binary ? QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙにするﾌｧｲﾙを指定してください。")
                             : QStringLiteral(u"エンコードするファイルを指定してください。"));
        else
            SetPrompt(binary ? QStringLiteral(u"ﾊﾞｲﾅﾘ復元するファイルを指定してください。")
                             : QStringLiteral(u"エンコードファイルを元に戻します。"));
        (index == 1 ? Command5_2 : Command5_1)->setVisible(false);
        Command5_3->setVisible(true);
        Check4->setVisible(binary);
        for (QWidget* w : nameControls)
            w->setVisible(true);
        Text1->setFocus();
        return;
    }
    type_ = 0;
    SetPrompt(kChoosePrompt);
    for (QWidget* w : nameControls)
        w->setVisible(false);
    Check4->setVisible(false);
    Command5_3->setVisible(false);
    Command5_1->setVisible(true);
    Command5_2->setVisible(true);
}

void Decode::Command3_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral(u"ファイルの選択");
    request.filter = BrowseFilter(type_);
    request.filterIndex = type_ == 2 && Check4->isChecked() ? 2 : 1;
    const QString folder = QDir::currentPath();
    try {
        Text1->setText(state_.prompter.OpenFileName(request));
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
    QDir::setCurrent(folder);
}

void Decode::Command2_Click()
{
    if (Running()) {
        // The run stops at its next check.
        state_.BusyFlag = false;
        YieldToEventLoopNow();
        return;
    }
    if (Text1->text().isEmpty() || type_ < 1 || type_ > 4)
        return;
    ConversionRequest request;
    request.type = ConversionType(type_);
    request.source = Text1->text();
    request.extended = Check4->isChecked();
    ConversionHooks hooks;
    hooks.started = [this] { SetRunning(true); };
    hooks.progress = [this](qint64 position, qint64 total) { ShowProgress(position, total); };
    hooks.finished = [this] { SetRunning(false); };
    ExecuteConversion(state_, request, hooks);
    CloseIfAsked();
}

void Decode::ShowProgress(qint64 position, qint64 total)
{
    if (total <= 0)
        return;
    const qint64 shown = std::clamp<qint64>(position, 0, total);
    Label2->setText(FormatPercent(double(shown) / double(total)));
    Picture1->setVisible(true);
    Picture1->setValue(int(shown * kBarScale / total));
}

void Decode::SetRunning(bool running)
{
    SetRunGoing(running);
    Command2->setText(running ? QStringLiteral(u"ｷｬﾝｾﾙ") : QStringLiteral(u"実　行"));
    for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Command1),
                       static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command5_1),
                       static_cast<QWidget*>(Command5_2), static_cast<QWidget*>(Command5_3),
                       static_cast<QWidget*>(Check4)})
        w->setEnabled(!running);
    if (running) {
        Picture1->setValue(0);
    } else {
        Picture1->setVisible(false);
        Label2->setText(QStringLiteral(" "));
    }
}



}  // namespace kolbran
