#include "help/ui/Vrfrm.h"

#include "core/AppState.h"
#include "help/HelpTexts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

namespace kolbran {

Vrfrm::Vrfrm(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("Vrfrm"));
    lblTitle = new QLabel;
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel;
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblDescription = new QLabel(QStringLiteral(u"説明:ﾌｧｲﾙﾋﾞｭｱｰ(ﾃｷｽﾄ、ﾊﾞｲﾅﾘ表示、画像)"));
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    auto* flags = new QHBoxLayout;
    for (int k = 1; k <= 3; ++k) {
        Check3[k] = new QCheckBox(QStringLiteral(u"ﾃﾞﾊﾞｯｸﾞﾌﾗｸﾞ%1").arg(k));
        Check3[k]->setObjectName(QStringLiteral("Check3_%1").arg(k));
        flags->addWidget(Check3[k]);
    }
    cmdOK = new QPushButton(QStringLiteral(u"閉じる"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral(u"ｼｽﾃﾑ情報(&S)..."));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* main = new QVBoxLayout(this);
    main->addWidget(lblTitle);
    main->addWidget(lblVersion);
    main->addWidget(lblDescription);
    main->addSpacing(12);
    main->addLayout(flags);
    main->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
    Form_Load();
}

void Vrfrm::Form_Load()
{
    setWindowTitle(kProgramTitle + QStringLiteral(u"のﾊﾞｰｼﾞｮﾝ情報"));
    lblVersion->setText(QStringLiteral(u"ﾊﾞｰｼﾞｮﾝ ") + ProgramVersion());
    lblTitle->setText(kProgramTitle);
    // Box k shows debug flag k.
    for (int k = 1; k <= 3; ++k)
        Check3[k]->setChecked(IsDebugFlag(state_.settings, k) == 1);
    // The line limit cannot change while a file is loaded.
    if (state_.doc.HasFile())
        Check3[3]->setEnabled(false);
}

void Vrfrm::cmdOK_Click()
{
    state_.settings.DebugFlags = int16_t((Check3[1]->isChecked() ? 1 : 0) + 2 * (Check3[2]->isChecked() ? 1 : 0) +
                                         4 * (Check3[3]->isChecked() ? 1 : 0));
    // The main window's BASE64 decode item follows debug flag 2.
    const bool visible = IsDebugFlag(state_.settings, 2) == 1;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (QAction* item = w->findChild<QAction*>(QStringLiteral("Menu_Edit_Line_4")))
            item->setVisible(visible);
    accept();
}

void Vrfrm::cmdSysInfo_Click()
{
    const QStringList command = SystemInfoCommand();
    if (command.isEmpty() || !QProcess::startDetached(command[0], command.mid(1))) {
        state_.prompter.Message(QStringLiteral(u"現時点ではｼｽﾃﾑ情報を使用できません"), MsgIcon::None, MsgButtons::Ok);
    }
}

}  // namespace kolbran
