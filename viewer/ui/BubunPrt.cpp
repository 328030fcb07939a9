#include "viewer/ui/BubunPrt.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "viewer/LineLoader.h"
#include "viewer/Search.h"
#include "viewer/SpliceLines.h"
#include "viewer/ui/LogFile.h"
#include "viewer/ui/SearchWindows.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

namespace kolbran {

namespace {

template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Restores the pointer however the action ends.
struct Hourglass {
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

BubunPrt::BubunPrt(AppState& state, QWidget* mainWindow, DecodeAction decode)
    : QDialog(mainWindow),
      state_(state),
      window_(qobject_cast<LogFile*>(mainWindow)),
      view_(MainWindowSearchView(mainWindow)),
      decode_(std::move(decode))
{
    setObjectName(QStringLiteral("BubunPrt"));
    setWindowTitle(QStringLiteral(u"部分削除/行指定コピー"));
    setModal(true);
    setFixedSize(420, 170);

    Label1 = Named(new QLabel(QStringLiteral(u"開始行"), this), "Label1");
    Label2 = Named(new QLabel(QStringLiteral("1"), this), "Label2");
    Label3 = Named(new QLabel(QStringLiteral(u"終了行"), this), "Label3");
    Label4 = Named(new QLabel(QStringLiteral("1"), this), "Label4");
    Label5 = Named(new QLabel(this), "Label5");
    HScroll1 = Named(new QScrollBar(Qt::Horizontal, this), "HScroll1");
    HScroll2 = Named(new QScrollBar(Qt::Horizontal, this), "HScroll2");
    Command1 = Named(new QPushButton(QStringLiteral(u"コピー(&C)"), this), "Command1");
    Command3 = Named(new QPushButton(QStringLiteral(u"行削除(&D)"), this), "Command3");
    Command4 = Named(new QPushButton(QStringLiteral(u"デコード(&D)"), this), "Command4");
    Command2 = Named(new QPushButton(QStringLiteral(u"取　消(&X)"), this), "Command2");

    Label1->setGeometry(12, 12, 50, 20);
    Label2->setGeometry(66, 12, 80, 20);
    HScroll1->setGeometry(12, 36, 280, 18);
    Label3->setGeometry(12, 64, 50, 20);
    Label4->setGeometry(66, 64, 80, 20);
    HScroll2->setGeometry(12, 88, 280, 18);
    Label5->setGeometry(12, 120, 280, 40);
    Label5->setWordWrap(true);
    Command1->setGeometry(306, 12, 102, 28);
    Command3->setGeometry(306, 46, 102, 28);
    Command4->setGeometry(306, 80, 102, 28);
    Command2->setGeometry(306, 130, 102, 28);
    for (QScrollBar* bar : {HScroll1, HScroll2})
        bar->setPageStep(1);

    connect(HScroll1, &QScrollBar::valueChanged, this, &BubunPrt::HScroll1_Change);
    connect(HScroll2, &QScrollBar::valueChanged, this, &BubunPrt::HScroll2_Change);
    connect(Command1, &QPushButton::clicked, this, &BubunPrt::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &BubunPrt::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &BubunPrt::Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

BubunPrt::~BubunPrt() = default;

void BubunPrt::Form_Load()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 3);
    }

    const OpenDocument& doc = state_.doc;
    const SelectionLines range =
        LinesFromSelection(view_->Text(), view_->SelStart(), view_->SelLength(), doc.TopLine, doc.LineCount);
    // The text area shows the whole lines while the dialog is open.
    view_->Select(range.selStart, range.selLength);
    bars_ = SetUpRangeBars(state_.LineRangeMode, range.startLine, range.endLine, doc.LineCount);
    HScroll1->setRange(0, bars_.maximum);
    HScroll1->setValue(bars_.startPosition);
    HScroll2->setRange(bars_.endMinimum, bars_.maximum);
    HScroll2->setValue(bars_.endPosition);
    HScroll1_Change(HScroll1->value());
    HScroll2_Change(HScroll2->value());

    const int mode = state_.LineRangeMode;
    QPushButton* action = Command1;
    if (mode == 1) {
        setWindowTitle(QStringLiteral(u"部分削除"));
        Label5->setText(QStringLiteral(u"指定された行をﾌｧｲﾙから削除する"));
        action = Command3;
    } else if (mode == 4) {
        setWindowTitle(QStringLiteral(u"BASE64 デコード"));
        Label5->setText(QStringLiteral(u"指定された行をﾃﾞｺｰﾄﾞしてﾌｧｲﾙを作成する"));
        action = Command4;
    } else {
        setWindowTitle(QStringLiteral(u"行指定コピー"));
        Label5->setText(QStringLiteral(u"指定行間の文字列をｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰする"));
    }
    for (QPushButton* b : {Command1, Command3, Command4})
        b->setVisible(b == action);
    action->move(action->x(), Command1->y());
    action->setDefault(true);
}

LineNumber BubunPrt::StartLine() const
{
    return bars_.rangeBase + HScroll1->value();
}

LineNumber BubunPrt::EndLine() const
{
    return bars_.rangeBase + HScroll2->value();
}

void BubunPrt::HScroll1_Change(int value)
{
    Label2->setText(QString::number(bars_.rangeBase + value));
    // The end line never lies before the start line: the end bar follows.
    HScroll2->setMinimum(value);
}

void BubunPrt::HScroll2_Change(int value)
{
    Label4->setText(QString::number(bars_.rangeBase + value));
}

void BubunPrt::CloseSearchList()
{
    if (state_.settings.SearchListOpen && state_.CloseSearchWindows) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("KenIchi") && w->isVisible()) {
                state_.CloseSearchWindows();
                break;
            }
    }
}

void BubunPrt::Command1_Click()
{
    LineText collected;
    {
        Hourglass hourglass;
        collected = CollectLineText(state_, StartLine(), EndLine());
        QGuiApplication::clipboard()->clear();
        QGuiApplication::clipboard()->setText(collected.text);
    }
    if (collected.stoppedAt != 0) {
        state_.prompter.Message(QStringLiteral(u"１度に処理できる限界を超えたため、") + state_.settings.LineBreak +
                                    StrNumber(qint64(collected.stoppedAt)) +
                                    QStringLiteral(u"行目までしか処理できませんでした。"),
                                MsgIcon::Information);
        return;
    }
    accept();
    CloseSearchList();
}

void BubunPrt::Command3_Click()
{
    const QString name = state_.doc.DocumentName;
    {
        Hourglass hourglass;
        try {
            SpliceLines(state_, StartLine(), EndLine(), std::nullopt);
        } catch (const RuntimeError& e) {
            ReportError(state_, e, 0);
        }
    }
    accept();
    // The document is read again from the start, showing the file as it now stands.
    state_.doc.File.reset();
    if (window_) {
        window_->CloseDocument();
        PrOpen(state_, *window_, name);
        if (state_.doc.HasFile()) {
            window_->DispR();
            window_->SetTimer1Enabled(true);
        }
    } else {
        ViewerHost host;
        PrOpen(state_, host, name);
    }
    CloseSearchList();
}

void BubunPrt::Command4_Click()
{
    if (!decode_)
        return;
    if (decode_(StartLine(), EndLine())) {
        accept();
        CloseSearchList();
    }
}

}  // namespace kolbran
