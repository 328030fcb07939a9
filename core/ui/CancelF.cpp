#include "core/ui/CancelF.h"

#include "core/AppState.h"
#include "core/Settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace kolbran {

CancelFProgress::CancelFProgress(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setFixedHeight(18);
}

void CancelFProgress::SetProgress(int64_t position, int64_t total)
{
    if (position == position_ && total == total_)
        return;
    position_ = position;
    total_ = total;
    update();
}

void CancelFProgress::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (total_ > 0 && position_ > 0) {
        const double part = std::min(1.0, double(position_) / double(total_));
        p.fillRect(QRect(0, 0, int(part * width() + 0.5), height()), PaletteColor(9));
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

CancelF::CancelF(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("CancelF"));
    setWindowTitle(QStringLiteral("Kolbran"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label2 = new QLabel(QStringLiteral(u"しばらくお待ちください。(^o^)"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Picture1 = new CancelFProgress(this);
    Command1 = new QPushButton(QStringLiteral(u"取　消"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addWidget(Label1);
    layout->addWidget(Picture1);
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    setFixedSize(300, 130);

    connect(Command1, &QPushButton::clicked, this, &CancelF::Command1_Click);
}

void CancelF::Open()
{
    state_.CancelRequested = false;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
    show();
}

void CancelF::SetProgress(int64_t position, int64_t total)
{
    Picture1->SetProgress(position, total);
}

void CancelF::SetStatusText(const QString& text)
{
    Label1->setText(text);
}

void CancelF::Finish()
{
    hide();
}

void CancelF::Command1_Click()
{
    hide();
    state_.CancelRequested = true;
    // The print settings dialog would otherwise go on with a cancelled run.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("PrtSet") && w->isVisible())
            w->close();
}

void CancelF::closeEvent(QCloseEvent* event)
{
    // The title bar's close is a cancel too, never a silent way out of the run.
    event->ignore();
    if (isVisible())
        Command1_Click();
}

void CancelF::reject()
{
    // Escape.
    if (isVisible())
        Command1_Click();
}

}  // namespace kolbran
