#include "help/ui/HelpMenu.h"

#include "core/AppState.h"
#include "help/HelpTexts.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace kolbran {

HelpMenu::HelpMenu(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("HelpMenu"));
    Combo1 = new QComboBox;
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Text1 = new QPlainTextEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral(u"ＭＳ ゴシック"));
    font.setPointSizeF(10.5);
    Text1->setFont(font);
    const QString captions[6] = {QStringLiteral(u"ﾌｧｲﾙ(&F)"),   QStringLiteral(u"編集(&E)"),
                                 QStringLiteral(u"ｵﾌﾟｼｮﾝ(&O)"), QStringLiteral(u"変換(&T)"),
                                 QStringLiteral(u"拡張機能(&K)"), QStringLiteral(u"ﾍﾙﾌﾟ(&H)")};
    auto* row = new QHBoxLayout;
    for (int i = 0; i < 6; ++i) {
        Command1[i] = new QPushButton(captions[i]);
        Command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        row->addWidget(Command1[i]);
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
    row->addWidget(Combo1, 1);
    Command2 = new QPushButton(QStringLiteral(u"閉じる(&X)"));
    Command2->setObjectName(QStringLiteral("Command2"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Command2);
    auto* main = new QVBoxLayout(this);
    main->addLayout(row);
    main->addWidget(Text1, 1);
    main->addLayout(bottom);
    connect(Command2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    resize(760, 520);
    Form_Load();
}

void HelpMenu::Form_Load()
{
    // Centred horizontally on the screen (and, freely, vertically).
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center().x() - width() / 2, area.top() + std::max(0, (area.height() - height()) / 2));
    }
    {
        const QSignalBlocker blocker(Combo1);
        Combo1->addItems(HelpTopicNames());
    }
    const int topic = HelpStartTopic(state_.HelpRequestIndex);
    if (topic < 0) {
        setWindowTitle(QStringLiteral(u"ﾒﾆｭｰﾊﾞｰの説明"));
        Combo1->hide();
        Command1_Click(0);
    } else {
        setWindowTitle(QStringLiteral(u"ヘルプ"));
        for (QPushButton* b : Command1)
            b->hide();
        Combo1->setCurrentIndex(topic - 2);
        Combo1_Click();
    }
}

void HelpMenu::Combo1_Click()
{
    Text1->setPlainText(HelpTopicText(Combo1->currentIndex() + 2));
}

void HelpMenu::Command1_Click(int index)
{
    Text1->setPlainText(MenuExplanationText(index));
}

}  // namespace kolbran
