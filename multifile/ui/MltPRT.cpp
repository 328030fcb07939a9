#include "multifile/ui/MltPRT.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/LongRun.h"
#include "core/Numbers.h"
#include "core/PaintJob.h"
#include "core/ui/PrintDevice.h"
#include "multifile/MultiPrint.h"
#include "multifile/ui/FileSetControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace kolbran {

namespace {

const QString kSample = QStringLiteral(u"ABC123あいう");

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

MltPRT::MltPRT(AppState& state, QWidget* parent)
    : RunDialog(state, parent), state_(state), session_(state, parent), displayCode_(state.doc.DisplayCode)
{
    setObjectName(QStringLiteral("MltPRT"));
    setWindowTitle(QStringLiteral(u"複数ファイル印刷"));

    Files = new FileSetControls(state_, FileSetUse::Print, 0, this);
    Combo3 = Named(new QComboBox, "Combo3");
    Combo3->setEditable(true);
    Combo3->setMinimumWidth(200);
    Combo2 = Named(new QComboBox, "Combo2");
    Combo2->setEditable(true);
    Label4 = Named(new QLabel(kSample), "Label4");
    Label4->setFrameShape(QFrame::Panel);
    Label4->setMinimumHeight(40);
    Label5 = Named(new QLabel, "Label5");
    Check1 = Named(new QCheckBox(QStringLiteral(u"ﾍｯﾀﾞｰを付ける(&H)")), "Check1");
    Check3 = Named(new QCheckBox(QStringLiteral(u"行番号を付ける(&G)")), "Check3");
    Check2 = Named(new QCheckBox(QStringLiteral(u"２段組(&K)")), "Check2");
    Command1 = Named(new QPushButton(QStringLiteral(u"印刷")), "Command1");
    Command2 = Named(new QPushButton(QStringLiteral(u"閉じる(&X)")), "Command2");
    Label3 = Named(new QLabel, "Label3");
    Picture1 = Named(new QProgressBar, "Picture1");
    Picture1->setTextVisible(false);
    Picture1->setValue(0);

    auto* fontName = new QLabel(QStringLiteral(u"ﾌｫﾝﾄ名(&N)"));
    fontName->setBuddy(Combo3);
    auto* fontSize = new QLabel(QStringLiteral(u"ﾌｫﾝﾄｻｲｽﾞ(&S)"));
    fontSize->setBuddy(Combo2);
    auto* settings = new QGridLayout;
    settings->addWidget(fontName, 0, 0);
    settings->addWidget(Combo3, 0, 1);
    settings->addWidget(fontSize, 1, 0);
    settings->addWidget(Combo2, 1, 1);
    settings->addWidget(Label4, 2, 0, 1, 2);
    auto* lines = new QHBoxLayout;
    lines->addWidget(new QLabel(QStringLiteral(u"行数／頁")));
    lines->addWidget(Label5);
    lines->addStretch();
    settings->addLayout(lines, 3, 0, 1, 2);
    settings->addWidget(Check1, 4, 0, 1, 2);
    settings->addWidget(Check3, 5, 0, 1, 2);
    settings->addWidget(Check2, 6, 0, 1, 2);
    settings->setRowStretch(7, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    settings->addLayout(buttons, 8, 0, 1, 2);

    auto* top = new QHBoxLayout;
    top->addWidget(Files, 1);
    top->addLayout(settings);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top, 1);
    main->addWidget(Label3);
    main->addWidget(Picture1);

    connect(Combo3, &QComboBox::currentTextChanged, this, [this] { Combo_Change(); });
    connect(Combo2, &QComboBox::currentTextChanged, this, [this] { Combo_Change(); });
    connect(Check1, &QCheckBox::toggled, this, [this] { Combo_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });

    Form_Load();
}

MltPRT::~MltPRT() = default;

void MltPRT::Form_Load()
{
    const PrintAttributes a = ReadPrintAttributes(state_.settings);
    {
        const QSignalBlocker b1(Combo3), b2(Combo2), b3(Check1);
        Combo3->addItems(PrintFontNames());
        Combo3->setCurrentIndex(-1);
        Combo3->setEditText(a.FontName);
        Combo2->addItems(PrintSizeChoices());
        Combo2->setCurrentIndex(-1);
        Combo2->setEditText(a.FontSize);
        // Off only when the stored header mode is 0.
        Check1->setChecked(state_.settings.PrintHeader != 0);
    }
    Check3->setChecked(a.LineNumbers);
    Check2->setChecked(!a.OneColumn);
    fontName_ = a.FontName.isEmpty() ? QStringLiteral(u"ＭＳ 明朝") : a.FontName;
    fontSize_ = PrintSizeValue(a.FontSize).value_or(10.5);
    Combo_Change();
    resize(sizeHint().expandedTo(QSize(640, 420)));
}

PrintAttributes MltPRT::Choices() const
{
    PrintAttributes a = ReadPrintAttributes(state_.settings);
    a.FontName = fontName_;
    a.FontSize = PrintSizeValue(Combo2->currentText().trimmed()) ? Combo2->currentText().trimmed()
                                                                  : StrNumber(fontSize_).trimmed();
    a.LineNumbers = Check3->isChecked();
    a.OneColumn = !Check2->isChecked();
    return a;
}

void MltPRT::Combo_Change()
{
    // A name or size that cannot be used keeps the previous font.
    const QString name = Combo3->currentText().trimmed();
    if (!name.isEmpty())
        fontName_ = name;
    if (const auto size = PrintSizeValue(Combo2->currentText().trimmed()))
        fontSize_ = *size;
    const TextPrintOptions o = MultiPrintOptions(Choices(), Check1->isChecked(), {}, QDate::currentDate(), 4);
    const auto device = MeasuringDevice(state_.Printer);
    Label5->setText(QString::number(ComputeTextPrintLayout(*device, o).LinesPerPage));
    Label4->setFont(PrintFont(o));
}

void MltPRT::Command1_Click()
{
    if (Running()) {
        state_.BusyFlag = false;
        return;
    }
    const QStringList names = Files->SelectedNames();
    if (names.isEmpty()) {
        state_.prompter.Message(QStringLiteral(u"ファイルが選択されていません。"), MsgIcon::None, MsgButtons::Ok);
        return;
    }
    const QString folder = Files->Folder();
    QStringList paths;
    for (const QString& name : names)
        paths.append(QDir(folder).filePath(name));
    const PrintAttributes a = Choices();
    const bool header = Check1->isChecked();

    session_.StopTimer();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    MultiPrintSummary summary;
    {
        LongRun going(state_);
        // Nothing that changes the set or the layout while it prints; the button cancels.
        going.DisableAll(QList<QWidget*>{Files, Combo3, Combo2, Check1, Check3, Check2, Command2});
        SetRunGoing(true);
        Command1->setText(QStringLiteral(u"中止"));
        Picture1->setValue(0);

        MultiPrintHooks hooks;
        hooks.Going = [this] {
            YieldToEventLoop();
            return state_.BusyFlag;
        };
        hooks.BeginJob = [this](const QString& path) {
            // Without a printer each file goes to its own "<file name>.pdf" beside it.
            return BeginPrintJob(state_, path, path, false, path + QStringLiteral(".pdf"));
        };
        hooks.FileStarted = [this](const QString& path, int64_t count) {
            Label3->setText(QDir::toNativeSeparators(path));
            Picture1->setRange(0, int(std::clamp<int64_t>(count, 1, INT_MAX)));
            Picture1->setValue(0);
        };
        hooks.Step = [this](int64_t line, int64_t) {
            Picture1->setValue(int(std::min<int64_t>(line, Picture1->maximum())));
            YieldToEventLoop();
            return state_.BusyFlag;
        };
        summary = PrintFiles(state_, paths, a, header, QDate::currentDate(), displayCode_, hooks);
        SetRunGoing(false);
    }
    QApplication::restoreOverrideCursor();
    Label3->clear();
    Picture1->setValue(0);
    Command1->setText(QStringLiteral(u"印刷"));
    if (summary.Printed > 0) {
        state_.settings.PrintFontName = a.FontName;
        state_.settings.PrintFontSize = a.FontSize;
    }
    session_.RestoreTimer();
    CloseIfAsked();
}



void MltPRT::Closing()
{
    session_.Finish();
}

}  // namespace kolbran
