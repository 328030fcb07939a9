#include "viewer/ui/LineSea.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/Settings.h"
#include "viewer/DeleteRules.h"
#include "viewer/Transforms.h"

#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kolbran {

namespace {

constexpr int kRuleRole = Qt::UserRole;
constexpr int kCountRole = Qt::UserRole + 1;

template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

LineSea::LineSea(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("LineSea"));
    setWindowTitle(QStringLiteral(u"削除行の設定"));
    setModal(true);

    Label1 = Named(new QLabel(QStringLiteral(u"登録文字列（最大48ﾊﾞｲﾄ）"), this), "Label1");
    Text1 = Named(new QLineEdit(this), "Text1");
    Label2 = Named(new QLabel(QStringLiteral(u"削除行数(1～20)"), this), "Label2");
    HScroll1 = Named(new QScrollBar(Qt::Horizontal, this), "HScroll1");
    HScroll1->setRange(1, 20);
    HScroll1->setPageStep(1);
    Label3 = Named(new QLabel(QStringLiteral("1"), this), "Label3");
    Label3->setMinimumWidth(24);
    List1 = Named(new QListWidget(this), "List1");
    QFont fixed(QStringLiteral(u"ＭＳ ゴシック"));
    fixed.setStyleHint(QFont::Monospace);
    List1->setFont(fixed);
    List1->setMinimumWidth(460);
    Command1 = Named(new QPushButton(QStringLiteral(u"設定"), this), "Command1");
    Command3 = Named(new QPushButton(QStringLiteral(u"全削除"), this), "Command3");
    Command4 = Named(new QPushButton(QStringLiteral(u"登録"), this), "Command4");
    Command2 = Named(new QPushButton(QStringLiteral(u"閉じる(&X)"), this), "Command2");
    Label4 = Named(new QLabel(QStringLiteral(u"☆登録文字列で始まる行から削除行数分削除されます。") + u'\n' +
                                  QStringLiteral(u"☆一覧から１行削除するには、削除したい行をﾀﾞﾌﾞﾙｸﾘｯｸする。"),
                              this),
                   "Label4");
    for (QPushButton* b : {Command1, Command3, Command4, Command2})
        b->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1, 1, 2);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(HScroll1, 1, 1);
    grid->addWidget(Label3, 1, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {Command1, Command3, Command4})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Command2);
    auto* middle = new QHBoxLayout;
    middle->addWidget(List1, 1);
    middle->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(middle, 1);
    layout->addWidget(Label4);

    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int v) { Label3->setText(QString::number(v)); });
    connect(Command1, &QPushButton::clicked, this, &LineSea::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &LineSea::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &LineSea::Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::accept);
    connect(List1, &QListWidget::itemClicked, this, &LineSea::List1_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &LineSea::List1_DblClick);

    Form_Load();
}

void LineSea::Form_Load()
{
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 3);
    }
    Text1->clear();
    ViewerSettings& s = state_.settings;
    if (s.DeleteRuleCount <= 0)
        return;
    try {
        const int capacity = DeleteRuleCapacity(s.SettingsPath);
        // Records that could never work (an empty key, a count outside 1..20) come back
        // usable or not at all.
        const QList<DeleteRule> rules =
            UsableRules(ReadDeleteRules(s.SettingsPath, std::min<int>(s.DeleteRuleCount, capacity)));
        for (const DeleteRule& r : rules)
            AddEntry(r);
        s.DeleteRuleCount = int16_t(rules.size());
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
}

void LineSea::AddEntry(const DeleteRule& rule)
{
    auto* item = new QListWidgetItem(RuleListEntry(rule), List1);
    item->setData(kRuleRole, rule.key);
    item->setData(kCountRole, int(rule.count));
}

DeleteRule LineSea::EntryRule(const QListWidgetItem* item)
{
    if (!item->data(kRuleRole).isValid())
        return RuleFromListEntry(item->text());
    return {item->data(kRuleRole).toString(), int16_t(item->data(kCountRole).toInt())};
}

void LineSea::Command1_Click()
{
    const QString key = StorableRuleKey(Text1->text());
    if (key.isEmpty())
        return;
    AddEntry({key, int16_t(HScroll1->value())});
}

void LineSea::Command3_Click()
{
    List1->clear();
}

void LineSea::Command4_Click()
{
    QList<DeleteRule> rules;
    for (int i = 0; i < List1->count(); ++i)
        rules.append(EntryRule(List1->item(i)));
    ViewerSettings& s = state_.settings;
    try {
        WriteDeleteRules(s.SettingsPath, rules);
        s.DeleteRuleCount = int16_t(rules.size());
        // The count goes to the file now too, so that the rules are in force for the
        // headless tools and after a crash.
        SaveSettings(s);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 0);
        return;
    }
    state_.prompter.Message(QStringLiteral(u"登録しました。"), MsgIcon::None);
}

void LineSea::List1_Click(QListWidgetItem* item)
{
    if (!item)
        return;
    const DeleteRule rule = EntryRule(item);
    Text1->setText(rule.key);
    Label3->setText(QString::number(rule.count));
    if (rule.count > 0)
        HScroll1->setValue(std::min<int>(rule.count, 20));
}

void LineSea::List1_DblClick(QListWidgetItem* item)
{
    delete item;
}

}  // namespace kolbran
