#include "generators/ui/CalFm.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "generators/Calendar.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kolbran {

GameField::GameField(const BrickGame& game, QWidget* parent) : QWidget(parent), game_(game)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(257, 257);
}

void GameField::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const int side = std::min(width(), height());
    p.drawImage(QRect((width() - side) / 2, (height() - side) / 2, side, side), game_.Field());
}

void GameField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Left)
        Q_EMIT ArrowKey(37);
    else if (event->key() == Qt::Key_Right)
        Q_EMIT ArrowKey(39);
    else
        QWidget::keyPressEvent(event);
}

CalFm::CalFm(AppState& state, QWidget* parent)
    : QDialog(parent),
      state_(state),
      random_(std::mt19937::result_type(QDateTime::currentMSecsSinceEpoch())),
      game_([this] { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); })
{
    setObjectName(QStringLiteral("CalFm"));
    setWindowTitle(QStringLiteral(u"カレンダー作成"));
    QFont font(QStringLiteral(u"ＭＳ ゴシック"));
    font.setPointSizeF(10.5);
    setFont(font);
    auto named = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Combo1 = named(new QComboBox(this), "Combo1");
    Combo1->setEditable(true);
    Label1 = named(new QLabel(QStringLiteral(u"年"), this), "Label1");
    Combo2 = named(new QComboBox(this), "Combo2");
    Label2 = named(new QLabel(QStringLiteral(u"月"), this), "Label2");
    Frame2 = named(new QGroupBox(QStringLiteral(u"よこ(&Y)"), this), "Frame2");
    Option3_1 = named(new QRadioButton(QStringLiteral(u"４"), Frame2), "Option3_1");
    Option3_0 = named(new QRadioButton(QStringLiteral(u"３"), Frame2), "Option3_0");
    Frame1 = named(new QGroupBox(QStringLiteral(u"たて(&T)"), this), "Frame1");
    Option1_0 = named(new QRadioButton(QStringLiteral(u"５"), Frame1), "Option1_0");
    Option1_1 = named(new QRadioButton(QStringLiteral(u"６"), Frame1), "Option1_1");
    Text2 = named(new QPlainTextEdit(this), "Text2");
    Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Command1 = named(new QPushButton(QStringLiteral(u"出 力(&S)"), this), "Command1");
    Command2 = named(new QPushButton(QStringLiteral(u"閉じる(&X)"), this), "Command2");
    Command3 = named(new QPushButton(QStringLiteral(u"スタート"), this), "Command3");
    for (QPushButton* b : {Command1, Command2, Command3})
        b->setAutoDefault(false);
    Picture1 = named(new GameField(game_, this), "Picture1");
    Timer1 = named(new QTimer(this), "Timer1");

    auto* f2 = new QHBoxLayout(Frame2);
    f2->addWidget(Option3_1);
    f2->addWidget(Option3_0);
    auto* f1 = new QHBoxLayout(Frame1);
    f1->addWidget(Option1_0);
    f1->addWidget(Option1_1);
    auto* top = new QHBoxLayout;
    top->addWidget(Combo1);
    top->addWidget(Label1);
    top->addWidget(Combo2);
    top->addWidget(Label2);
    top->addWidget(Frame2);
    top->addWidget(Frame1);
    top->addStretch(1);
    top->addWidget(Command1);
    top->addWidget(Command3);
    top->addWidget(Command2);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(Text2, 1);
    outer->addWidget(Picture1, 1);
    resize(760, 620);

    Command3->hide();
    Picture1->hide();

    Form_Load();

    connect(Command1, &QPushButton::clicked, this, &CalFm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CalFm::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &CalFm::Command3_Click);
    connect(Picture1, &GameField::ArrowKey, this, &CalFm::Picture1_KeyDown);
    connect(Timer1, &QTimer::timeout, this, &CalFm::Timer1_Timer);
}

void CalFm::Form_Load()
{
    const QDate today = QDate::currentDate();
    for (int y = today.year() - 3; y <= today.year() + 3; ++y)
        Combo1->addItem(StrNumber(y));
    Combo1->setCurrentIndex(3);
    for (int m = 1; m <= 12; ++m)
        Combo2->addItem(StrNumber(m));
    Combo2->setCurrentIndex(today.month() - 1);
    Option3_1->setChecked(true);
    Option1_0->setChecked(true);
    Timer1->setInterval(state_.settings.DebugFlags == 1 ? 70 : 35);
}

bool CalFm::InGameMode() const
{
    return !Command1->isVisibleTo(this);
}

void CalFm::Command1_Click()
{
    try {
        const QString text = Combo1->currentText();
        if (!IsNumeric(text))
            throw RuntimeError(Err::TypeMismatch);
        const int year = ToInt16(Val(text));
        if (year < 1) {
            EnterGameMode();
            return;
        }
        CalendarRequest request;
        request.year = year;
        request.month = Combo2->currentIndex() + 1;
        request.wide = Option3_1->isChecked();
        request.sixLines = Option1_1->isChecked();
        if (IsDebugFlag(state_.settings, 0) == 1)
            request.era = EraText(state_.settings.EraTable, request.year, request.month);
        QString calendar = CalendarText(request);
        calendar.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        Text2->setPlainText(calendar);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
}

QString CalFm::CalendarTextShown() const
{
    QString text = Text2->toPlainText();
    if (text.isEmpty())
        return text;
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void CalFm::EnterGameMode()
{
    for (QWidget* w : std::initializer_list<QWidget*>{Text2, Combo1, Combo2, Frame2, Label2, Command1})
        w->hide();
    Command3->show();
    Picture1->show();
    Init_rtn();
    Frame1->setTitle(QStringLiteral(u"ｽﾋﾟｰﾄﾞ(&T)"));
    Option1_0->setText(QStringLiteral(u"速"));
    Option1_0->setChecked(true);
    Option1_1->setText(QStringLiteral(u"遅"));
    Command2->setText(QStringLiteral(u"戻る(&X)"));
    Command3->setEnabled(true);
}

void CalFm::Init_rtn()
{
    random_.seed(std::mt19937::result_type(QDateTime::currentMSecsSinceEpoch()));
    game_.Init();
    ShowScore();
    Picture1->update();
}

void CalFm::ShowScore()
{
    Label1->setText(QStringLiteral(u"ｽｺｱ:") + StrNumber(game_.Score()));
}

void CalFm::Command3_Click()
{
    if (state_.settings.DebugFlags == 0) {
        Timer1->setInterval(Option1_0->isChecked() ? 35 : 55);
        Frame1->setEnabled(false);
    }
    Init_rtn();
    Command3->setEnabled(false);
    Timer1->start();
    Picture1->setFocus();
}

void CalFm::Picture1_KeyDown(int keyCode)
{
    if (keyCode == 37)
        game_.MovePaddle(-1);
    else if (keyCode == 39)
        game_.MovePaddle(1);
    Picture1->update();
}

void CalFm::Timer1_Timer()
{
    const BrickGame::Outcome outcome = game_.Tick();
    ShowScore();
    Picture1->update();
    Finish(outcome);
}

void CalFm::Finish(BrickGame::Outcome outcome)
{
    if (outcome == BrickGame::Outcome::Running)
        return;
    Timer1->stop();
    if (state_.settings.DebugFlags == 0)
        Frame1->setEnabled(true);
    Command3->setEnabled(true);
    if (outcome == BrickGame::Outcome::Won) {
        state_.prompter.Message(QStringLiteral(u"おめでとう"), MsgIcon::Information, MsgButtons::Ok,
                                QStringLiteral("OK"));
    } else {
        Command3->setFocus();
        state_.prompter.Message(QStringLiteral(u"ざんねん"), MsgIcon::Information, MsgButtons::Ok,
                                QStringLiteral("NG"));
    }
}

void CalFm::Command2_Click()
{
    if (!InGameMode()) {
        close();
        return;
    }
    Timer1->stop();
    for (QWidget* w : std::initializer_list<QWidget*>{Text2, Combo1, Combo2, Frame2, Label2, Command1})
        w->show();
    Command3->hide();
    Picture1->hide();
    Label1->setText(QStringLiteral(u"年"));
    Frame1->setEnabled(true);
    Frame1->setTitle(QStringLiteral(u"たて(&T)"));
    Option1_0->setText(QStringLiteral(u"５"));
    Option1_0->setChecked(true);
    Option1_1->setText(QStringLiteral(u"６"));
    Command2->setText(QStringLiteral(u"閉じる(&X)"));
}

void CalFm::reject()
{
    // Escape leaves the game first, as the back button does.
    if (InGameMode() && !closing_)
        Command2_Click();
    else
        QDialog::reject();
}

void CalFm::closeEvent(QCloseEvent* event)
{
    Timer1->stop();
    closing_ = true;
    QDialog::closeEvent(event);
    closing_ = false;
}

}  // namespace kolbran
