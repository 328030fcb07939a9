#include "printing/ui/PrtSet.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/ui/PrintDevice.h"
#include "printing/DocumentPrint.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPagedPaintDevice>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace kolbran {

namespace {

const QString kSample = QStringLiteral(u"あいうＡＢＣｱｲｳABC");

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QScrollBar* Bar(const char* name)
{
    auto* bar = Named(new QScrollBar(Qt::Horizontal), name);
    bar->setMinimumWidth(160);
    return bar;
}

}  // namespace

PrtSet::PrtSet(AppState& state, QWidget* parent) : RunDialog(state, parent), state_(state)
{
    setObjectName(QStringLiteral("PrtSet"));
    attributeMode_ = !state_.doc.HasFile();
    setWindowTitle(attributeMode_ ? QStringLiteral(u"印刷属性") : QStringLiteral(u"印刷"));

    Combo1 = Named(new QComboBox, "Combo1");
    Combo1->setEditable(true);
    Combo2 = Named(new QComboBox, "Combo2");
    Combo2->setEditable(true);
    Label1 = Named(new QLabel(kSample), "Label1");
    Label1->setFrameShape(QFrame::Panel);
    Label1->setMinimumHeight(40);
    Label2 = Named(new QLabel, "Label2");

    Frame1 = Named(new QGroupBox(QStringLiteral(u"印刷範囲の選択(&C)")), "Frame1");
    Option1 = Named(new QRadioButton(QStringLiteral(u"全　部")), "Option1");
    Option2 = Named(new QRadioButton(QStringLiteral(u"部　分")), "Option2");
    HScroll1 = Bar("HScroll1");
    HScroll2 = Bar("HScroll2");
    Label3 = Named(new QLabel, "Label3");
    Label4 = Named(new QLabel, "Label4");
    Label5 = Named(new QLabel, "Label5");
    {
        auto* g = new QGridLayout(Frame1);
        g->addWidget(Option1, 0, 0);
        g->addWidget(Option2, 0, 1);
        g->addWidget(new QLabel(QStringLiteral(u"開始行")), 1, 0);
        g->addWidget(HScroll1, 1, 1);
        g->addWidget(Label3, 1, 2);
        g->addWidget(new QLabel(QStringLiteral(u"終了行")), 2, 0);
        g->addWidget(HScroll2, 2, 1);
        g->addWidget(Label4, 2, 2);
        g->addWidget(Label5, 3, 0, 1, 3);
    }

    auto* header = Named(new QGroupBox(QStringLiteral(u"ヘッダー(&H)")), "Frame2");
    Option3_0 = Named(new QRadioButton(QStringLiteral(u"なし")), "Option3_0");
    Option3_1 = Named(new QRadioButton(QStringLiteral(u"あり")), "Option3_1");
    Check1_0 = Named(new QCheckBox(QStringLiteral(u"ﾌｧｲﾙ名(&N)")), "Check1_0");
    Check1_1 = Named(new QCheckBox(QStringLiteral(u"日付(&D)")), "Check1_1");
    HScroll3 = Bar("HScroll3");
    HScroll3->setRange(1, 1024);
    HScroll3->setPageStep(10);
    HScroll3->setValue(1);
    Label6 = Named(new QLabel(QStringLiteral("1")), "Label6");
    auto* startPageCaption = Named(new QLabel(QStringLiteral(u"開始ﾍﾟｰｼﾞ番号：")), "Label10");
    {
        auto* g = new QGridLayout(header);
        g->addWidget(Option3_0, 0, 0);
        g->addWidget(Option3_1, 0, 1);
        g->addWidget(Check1_0, 1, 0);
        g->addWidget(Check1_1, 1, 1);
        g->addWidget(startPageCaption, 2, 0);
        g->addWidget(HScroll3, 2, 1);
        g->addWidget(Label6, 2, 2);
    }

    auto* numbers = Named(new QGroupBox(QStringLiteral(u"行番号(&G)")), "Frame3");
    Check3 = Named(new QCheckBox(QStringLiteral(u"行番号を付ける")), "Check3");
    (new QVBoxLayout(numbers))->addWidget(Check3);

    auto* columns = Named(new QGroupBox, "Frame4");
    Option5_0 = Named(new QRadioButton(QStringLiteral(u"１段組")), "Option5_0");
    Option5_1 = Named(new QRadioButton(QStringLiteral(u"２段組")), "Option5_1");
    Text1 = Named(new QLineEdit, "Text1");
    Text1->setMaximumWidth(50);
    {
        auto* g = new QGridLayout(columns);
        g->addWidget(Option5_0, 0, 0);
        g->addWidget(Option5_1, 0, 1);
        auto* margin = new QHBoxLayout;
        margin->addWidget(new QLabel(QStringLiteral(u"左ﾏｰｼﾞﾝ＝ﾊｰﾄﾞﾏｰｼﾞﾝ＋")));
        margin->addWidget(Text1);
        margin->addWidget(new QLabel(QStringLiteral("mm")));
        margin->addStretch();
        g->addLayout(margin, 1, 0, 1, 2);
    }

    Check2 = Named(new QCheckBox(QStringLiteral(u"改頁文字キー\"<NP>\"を有効にする(&M)")), "Check2");
    Label7 = Named(new QLabel(QStringLiteral(u"(先頭に\"<NP>\"があるとその行で改頁する。｢行番号｣を付けると無効!)")), "Label7");
    Check4 = Named(new QCheckBox(QStringLiteral(u"１ページのみ印刷する(&S)")), "Check4");

    auto* printer = Named(new QGroupBox(QStringLiteral(u"プリンタ")), "Frame6");
    Label8 = Named(new QLabel, "Label8");
    Label9 = Named(new QLabel, "Label9");
    Command3 = Named(new QPushButton(QStringLiteral(u"プリンタの設定")), "Command3");
    {
        auto* h = new QHBoxLayout(printer);
        h->addWidget(Label8, 1);
        h->addWidget(Label9);
        h->addWidget(Command3);
    }

    Command4 = Named(new QPushButton(QStringLiteral(u"設定保存(&Z)")), "Command4");
    Command2 = Named(new QPushButton(QStringLiteral(u"閉じる(&X)")), "Command2");
    Command1 = Named(new QPushButton(QStringLiteral(u"印  刷(&P)")), "Command1");

    Frame5 = Named(new QGroupBox(QStringLiteral(u"しばらくおまちください。")), "Frame5");
    Picture1 = Named(new QProgressBar, "Picture1");
    Picture1->setTextVisible(false);
    Command5 = Named(new QPushButton(QStringLiteral(u"キャンセル")), "Command5");
    {
        auto* h = new QHBoxLayout(Frame5);
        h->addWidget(Picture1, 1);
        h->addWidget(Command5);
    }
    Frame5->hide();

    auto* top = new QGridLayout;
    auto* nameCaption = new QLabel(QStringLiteral(u"フォント名(&F):"));
    nameCaption->setBuddy(Combo1);
    auto* sizeCaption = new QLabel(QStringLiteral(u"フォントサイズ(&S)："));
    sizeCaption->setBuddy(Combo2);
    top->addWidget(nameCaption, 0, 0);
    top->addWidget(Combo1, 0, 1);
    top->addWidget(sizeCaption, 1, 0);
    top->addWidget(Combo2, 1, 1);
    top->addWidget(Label1, 2, 0, 1, 2);
    auto* linesRow = new QHBoxLayout;
    linesRow->addWidget(new QLabel(QStringLiteral(u"１ページに印刷される行数：")));
    linesRow->addWidget(Label2);
    linesRow->addStretch();
    top->addLayout(linesRow, 3, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command4);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(Frame1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(header);
    auto* right = new QVBoxLayout;
    right->addWidget(numbers);
    right->addWidget(columns);
    middle->addLayout(right);
    main->addLayout(middle);
    main->addWidget(Check2);
    main->addWidget(Label7);
    main->addWidget(Check4);
    main->addWidget(printer);
    main->addLayout(buttons);
    main->addWidget(Frame5);

    connect(Combo1, &QComboBox::currentTextChanged, this, [this] { Combo_Change(); });
    connect(Combo2, &QComboBox::currentTextChanged, this, [this] { Combo_Change(); });
    connect(Option1, &QRadioButton::toggled, this, [this] { ShowRange(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { RangeChanged(true); });
    connect(HScroll2, &QScrollBar::valueChanged, this, [this] { RangeChanged(false); });
    connect(HScroll3, &QScrollBar::valueChanged, this, [this](int v) { Label6->setText(QString::number(v)); });
    connect(Option3_0, &QRadioButton::toggled, this, [this] { Combo_Change(); });
    connect(Option5_0, &QRadioButton::toggled, this, [this](bool one) { Text1->setEnabled(one); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });

    if (attributeMode_) {
        Command1->hide();
        Frame1->setEnabled(false);
        Check2->hide();
        Label7->hide();
        startPageCaption->hide();
        HScroll3->hide();
        Label6->hide();
    }
    Check4->setVisible(IsDebugFlag(state_.settings, 2) == 1 && !attributeMode_);
    Form_Load();
}

void PrtSet::Form_Load()
{
    const PrintAttributes a = ReadPrintAttributes(state_.settings);
    {
        const QSignalBlocker b1(Combo1), b2(Combo2);
        Combo1->addItems(PrintFontNames());
        Combo1->setCurrentIndex(-1);
        Combo1->setEditText(a.FontName);
        Combo2->addItems(PrintSizeChoices());
        Combo2->setCurrentIndex(-1);
        Combo2->setEditText(a.FontSize);
    }
    fontName_ = a.FontName.isEmpty() ? QStringLiteral(u"ＭＳ 明朝") : a.FontName;
    fontSize_ = PrintSizeValue(a.FontSize).value_or(10.5);
    (a.PageNumbering ? Option3_1 : Option3_0)->setChecked(true);
    Check1_0->setChecked(a.HeaderFileName);
    Check1_1->setChecked(a.HeaderDate);
    Check3->setChecked(a.LineNumbers);
    (a.OneColumn ? Option5_0 : Option5_1)->setChecked(true);
    Text1->setEnabled(a.OneColumn);
    Text1->setText(QString::number(a.LeftMarginMm));

    // The range spans 4,096 lines either side of the main view's top line.
    const int64_t count = std::max<int64_t>(1, state_.doc.LineCount);
    const int64_t top = std::clamp<int64_t>(state_.doc.TopLine, 1, count);
    const int64_t from = std::max<int64_t>(1, top - 4096);
    const int64_t to = std::min<int64_t>(top + 4096, count);
    const int64_t end = std::min<int64_t>(top + std::max<int>(1, state_.settings.LinesPerScreen) - 1, to);
    {
        const QSignalBlocker b1(HScroll1), b2(HScroll2);
        HScroll1->setRange(int(from), int(to));
        HScroll2->setRange(int(from), int(to));
        HScroll1->setValue(int(top));
        HScroll2->setValue(int(end));
    }
    Option1->setChecked(true);
    ShowRange();
    ShowPrinter();
    Combo_Change();
    resize(sizeHint());
}

void PrtSet::Combo_Change()
{
    // A name or size the printer cannot use keeps the previous font.
    const QString name = Combo1->currentText().trimmed();
    if (!name.isEmpty())
        fontName_ = name;
    if (const auto size = PrintSizeValue(Combo2->currentText().trimmed()))
        fontSize_ = *size;
    TextPrintOptions o;
    o.FontName = fontName_;
    o.FontSize = fontSize_;
    o.PageNumbering = Option3_1->isChecked();
    const auto device = MeasuringDevice(state_.Printer);
    Label2->setText(QString::number(ComputeTextPrintLayout(*device, o).LinesPerPage));
    QFont sample = PrintFont(o);
    sample.setPointSizeF(fontSize_);
    Label1->setFont(sample);
}

void PrtSet::RangeChanged(bool startMoved)
{
    // The start never passes the end: the other bar follows.
    if (HScroll1->value() > HScroll2->value()) {
        if (startMoved)
            HScroll2->setValue(HScroll1->value());
        else
            HScroll1->setValue(HScroll2->value());
    }
    ShowRange();
}

void PrtSet::ShowRange()
{
    const bool part = Option2->isChecked() && !attributeMode_;
    HScroll1->setEnabled(part);
    HScroll2->setEnabled(part);
    Label3->setText(QString::number(HScroll1->value()));
    Label4->setText(QString::number(HScroll2->value()));
    Label5->setText(QStringLiteral(u"印刷する行数:") + FormatCount(HScroll2->value() - HScroll1->value() + 1));
}

void PrtSet::ShowPrinter()
{
    Label8->setText(PrintTargetName(state_.Printer));
    Label9->setText(state_.Printer.Landscape ? QStringLiteral(u"横") : QStringLiteral(u"縦"));
}

int PrtSet::MarginChoice()
{
    const QString text = Text1->text().trimmed();
    const double v = IsNumeric(text) ? Val(text) : -1;
    if (!(v >= 0 && v <= 99)) {
        Text1->setText(QStringLiteral("10"));
        return 10;
    }
    return int(v);
}

PrintAttributes PrtSet::Choices() const
{
    PrintAttributes a = ReadPrintAttributes(state_.settings);
    a.FontName = fontName_;
    a.FontSize = PrintSizeValue(Combo2->currentText().trimmed()) ? Combo2->currentText().trimmed()
                                                                  : StrNumber(fontSize_).trimmed();
    a.PageNumbering = Option3_1->isChecked();
    a.HeaderFileName = Check1_0->isChecked();
    a.HeaderDate = Check1_1->isChecked();
    a.LineNumbers = Check3->isChecked();
    a.OneColumn = Option5_0->isChecked();
    return a;
}

void PrtSet::Command3_Click()
{
    state_.prompter.PrinterSetup(state_.Printer);
    ShowPrinter();
    Combo_Change();
}

void PrtSet::Command4_Click()
{
    PrintAttributes a = Choices();
    a.LeftMarginMm = MarginChoice();
    WritePrintAttributes(state_.settings, a);
    state_.prompter.Message(QStringLiteral(u"印刷属性を保存しました。"), MsgIcon::Information);
}

void PrtSet::Command5_Click()
{
    state_.BusyFlag = false;
}

void PrtSet::SetControlsEnabled(bool enabled)
{
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w == Frame5 || Frame5->isAncestorOf(w))
            continue;
        if (w->parentWidget() == this)
            w->setEnabled(enabled);
    }
    if (enabled) {
        Frame1->setEnabled(!attributeMode_);
        Text1->setEnabled(Option5_0->isChecked());
        ShowRange();
    }
}

void PrtSet::Command1_Click()
{
    if (attributeMode_ || Running())
        return;
    PrintAttributes a = Choices();
    a.LeftMarginMm = MarginChoice();
    TextPrintOptions o = TextPrintOptionsFor(a, state_.doc.DocumentName, QDate::currentDate(), state_.settings.TabWidth);
    o.FontName = fontName_;
    o.FontSize = fontSize_;
    o.StartPage = HScroll3->value();
    o.NewPageKey = Check2->isChecked();
    o.OnePageOnly = Check4->isVisible() && Check4->isChecked();
    const int64_t first = Option1->isChecked() ? 1 : HScroll1->value();
    const int64_t last = Option1->isChecked() ? state_.doc.LineCount : HScroll2->value();

    std::unique_ptr<PaintJob> job;
    bool cancelled = false;
    SetRunGoing(true);
    try {
        job = BeginPrintJob(state_, state_.doc.DocumentName, state_.doc.DocumentName);
        if (job) {
            state_.BusyFlag = true;
            SetControlsEnabled(false);
            Picture1->setRange(0, int(std::max<int64_t>(1, last - first + 1)));
            Picture1->setValue(0);
            Frame5->show();
            const TextPrintResult r = PrintDocument(state_, *job, o, first, last, [&](int64_t n) {
                Picture1->setValue(int(n - first + 1));
                YieldToEventLoop();
                return state_.BusyFlag;
            });
            cancelled = r.Cancelled;
            if (cancelled)
                job->Discard();
            else
                job->Commit();
        }
    } catch (const RuntimeError& e) {
        if (job)
            job->Discard();
        job.reset();
        state_.BusyFlag = false;
        SetRunGoing(false);
        Frame5->hide();
        SetControlsEnabled(true);
        state_.prompter.Message(QStringLiteral(u"印刷途中でエラーが発生しました。(") + StrNumber(e.Number()) + u')',
                                MsgIcon::Warning);
        if (IsDebugFlag(state_.settings, 1))
            ReportError(state_, e, 0);
        CloseIfAsked();
        return;
    }
    const bool printed = job && !cancelled;
    state_.BusyFlag = false;
    SetRunGoing(false);
    Frame5->hide();
    SetControlsEnabled(true);
    if (printed) {
        WritePrintAttributes(state_.settings, a);
        accept();
    } else {
        CloseIfAsked();
    }
}



}  // namespace kolbran
