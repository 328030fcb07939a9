#include "viewer/ui/Kensaku.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/Twips.h"
#include "viewer/Search.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kolbran {

Kensaku::Kensaku(AppState& state, std::unique_ptr<SearchView> view, std::function<void()> openList,
                 QWidget* parent)
    : ModelessDialog(parent), state_(state), view_(std::move(view)), openList_(std::move(openList))
{
    setObjectName(QStringLiteral("Kensaku"));
    setWindowTitle(QStringLiteral(u"検索"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    Label1 = new QLabel(QStringLiteral(u"検索する文字列を入力してください(&S)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);
    Check1 = new QCheckBox(QStringLiteral(u"大文字と小文字を区別しない(&C)"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Command1 = MakeButton("Command1", QStringLiteral(u"下方向に検索(&D)"));
    Command2 = MakeButton("Command2", QStringLiteral(u"上方向に検索(&U)"));
    Command4 = MakeButton("Command4", QStringLiteral(u"一覧作成(&L)"));
    Command3 = MakeButton("Command3", QStringLiteral(u"閉じる(&X)"));
    Command1->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Text1, 1, 0);
    layout->addWidget(Check1, 2, 0);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {Command1, Command2, Command4, Command3})
        buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 1, 4, 1);
    layout->setRowStretch(3, 1);
    Text1->setMinimumWidth(260);

    connect(Check1, &QCheckBox::clicked, this, &Kensaku::Check1_Click);
    connect(Command1, &QPushButton::clicked, this, &Kensaku::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Kensaku::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Kensaku::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Kensaku::Command4_Click);
    Form_Load();
}

Kensaku::~Kensaku() = default;

void Kensaku::Form_Load()
{
    adjustSize();
    Check1->setChecked(state_.SearchCompareMode == 1);
}

void Kensaku::Open()
{
    Text1->setText(state_.SearchString);
    const bool first = !isVisible();
    show();
    // At the right edge of the screen, centred vertically (the frame is known once shown).
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (first && screen) {
        const QRect area = screen->geometry();
        const QSize size = frameGeometry().size();
        move(area.left() + area.width() - size.width() - TwipsToPixels(10),
             area.top() + (area.height() - size.height()) / 2);
    }
    raise();
    activateWindow();
}

void Kensaku::Check1_Click()
{
    state_.SearchCompareMode = Check1->isChecked() ? 1 : 0;
}

bool Kensaku::TakeSearchText()
{
    state_.SearchString = Text1->text();
    if (!state_.SearchString.isEmpty())
        return true;
    if (state_.SearchHit == -1) {
        state_.SearchHit = 1;
        close();
    } else {
        Text1->setFocus();
    }
    return false;
}

void Kensaku::Command1_Click()
{
    if (!TakeSearchText())
        return;
    try {
        if (DialogSearchDown(state_, *view_) == 0)
            Text1->setFocus();
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
}

void Kensaku::Command2_Click()
{
    if (!TakeSearchText())
        return;
    try {
        if (DialogSearchUp(state_, *view_) == 0)
            Text1->setFocus();
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
}

void Kensaku::Command3_Click()
{
    state_.SearchHit = -1;
    close();
}

void Kensaku::Command4_Click()
{
    if (!TakeSearchText())
        return;
    // The dialog is gone once closed: keep what builds the list.
    const std::function<void()> openList = openList_;
    close();
    if (openList)
        openList();
}

void Kensaku::closeEvent(QCloseEvent* event)
{
    if (isVisible() && view_->TextEnabled()) {
        view_->FocusText();
        state_.SearchString = Text1->text();
    }
    AcceptClose(event);
}

}  // namespace kolbran
