#include "core/ui/Hyouji.h"

#include "core/AppState.h"
#include "core/Numbers.h"
#include "core/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace kolbran {

namespace {

constexpr double kNominalSizes[7] = {8.0, 9.75, 10.5, 12.0, 13.5, 15.0, 18.0};
constexpr int kEditorLines[5] = {60, 120, 240, 360, 480};

template <typename T>
T* Named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QScrollBar* Slider(const QString& name, int min, int max)
{
    auto* bar = Named(new QScrollBar(Qt::Horizontal), name);
    bar->setRange(min, max);
    bar->setMinimumWidth(150);
    return bar;
}

QLabel* Caption(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

int32_t ColorValue(int64_t stored)
{
    return int32_t(((stored % 0x1000000) + 0x1000000) % 0x1000000);
}

Hyouji::Hyouji(AppState& state, int& optionsPage, QWidget* parent)
    : QDialog(parent), state_(state), optionsPage_(optionsPage)
{
    setObjectName(QStringLiteral("Hyouji"));
    setWindowTitle(QStringLiteral(u"属  性"));

    const QString tabs[4] = {QStringLiteral(u"表示属性"), QStringLiteral(u"検索/更新"),
                             QStringLiteral(u"自動ｽｸﾛｰﾙ/ﾜｰﾄﾞﾗｯﾌﾟ"), QStringLiteral(u"簡易エディタ/その他")};
    auto* tabRow = new QHBoxLayout;
    pages_ = new QStackedLayout;
    for (int i = 0; i < 4; ++i) {
        Label5[i] = Named(new QLabel(tabs[i]), QStringLiteral("Label5_%1").arg(i));
        Label5[i]->setFrameShape(QFrame::Panel);
        Label5[i]->setAlignment(Qt::AlignCenter);
        Label5[i]->installEventFilter(this);
        tabRow->addWidget(Label5[i]);
        Picture1[i] = Named(new QFrame, QStringLiteral("Picture1_%1").arg(i));
        Picture1[i]->setFrameShape(QFrame::StyledPanel);
        Picture1[i]->setFocusPolicy(Qt::StrongFocus);
        Picture1[i]->installEventFilter(this);
        pages_->addWidget(Picture1[i]);
    }

    // Page 0: display.
    HScroll4 = Slider(QStringLiteral("HScroll4"), 22, 56);
    Label16 = Named(new QLabel, QStringLiteral("Label16"));
    Combo1 = Named(new QComboBox, QStringLiteral("Combo1"));
    Combo2 = Named(new QComboBox, QStringLiteral("Combo2"));
    auto* colours = new QGroupBox(QStringLiteral(u"色"));
    Option4[0] = Named(new QRadioButton(QStringLiteral(u"文字色(&R)")), QStringLiteral("Option4_0"));
    Option4[1] = Named(new QRadioButton(QStringLiteral(u"背景色(&B)")), QStringLiteral("Option4_1"));
    const QString sliderNames[3] = {QStringLiteral(u"赤(&1)"), QStringLiteral(u"緑(&2)"), QStringLiteral(u"青(&3)")};
    auto* cg = new QGridLayout(colours);
    cg->addWidget(Option4[0], 0, 0);
    cg->addWidget(Option4[1], 0, 1);
    for (int i = 0; i < 3; ++i) {
        HScroll5[i] = Slider(QStringLiteral("HScroll5_%1").arg(i), 0, 255);
        Label3[i] = Named(new QLabel(QStringLiteral("0")), QStringLiteral("Label3_%1").arg(i));
        Label3[i]->setMinimumWidth(30);
        cg->addWidget(Caption(sliderNames[i], HScroll5[i]), i + 1, 0);
        cg->addWidget(HScroll5[i], i + 1, 1);
        cg->addWidget(Label3[i], i + 1, 2);
    }
    auto* sample = new QGroupBox(QStringLiteral(u"ｻﾝﾌﾟﾙ"));
    Label2 = Named(new QLabel(QStringLiteral("ABC123")), QStringLiteral("Label2"));
    Label2->setAutoFillBackground(true);
    Label2->setMinimumSize(160, 40);
    (new QVBoxLayout(sample))->addWidget(Label2);
    auto* scrollSide = new QGroupBox(QStringLiteral(u"縦ｽｸﾛｰｽﾊﾞｰの表示位置(&V)"));
    Option5[0] = Named(new QRadioButton(QStringLiteral(u"左側")), QStringLiteral("Option5_0"));
    Option5[1] = Named(new QRadioButton(QStringLiteral(u"右側")), QStringLiteral("Option5_1"));
    {
        auto* h = new QHBoxLayout(scrollSide);
        h->addWidget(Option5[0]);
        h->addWidget(Option5[1]);
    }
    Check2 = Named(new QCheckBox(QStringLiteral(u"ﾌﾟﾛｸﾞﾗﾑ開始時の工夫")), QStringLiteral("Check2"));
    {
        auto* g = new QGridLayout(Picture1[0]);
        g->addWidget(Caption(QStringLiteral(u"表示する行数(&N)："), HScroll4), 0, 0);
        g->addWidget(HScroll4, 0, 1);
        g->addWidget(Label16, 0, 2);
        g->addWidget(Caption(QStringLiteral(u"ﾌｫﾝﾄ名(&F)："), Combo1), 1, 0);
        g->addWidget(Combo1, 1, 1, 1, 2);
        g->addWidget(Caption(QStringLiteral(u"ﾌｫﾝﾄｻｲｽﾞ(&S)："), Combo2), 2, 0);
        g->addWidget(Combo2, 2, 1, 1, 2);
        g->addWidget(colours, 0, 3, 4, 1);
        g->addWidget(sample, 3, 0, 1, 3);
        g->addWidget(scrollSide, 4, 0, 1, 3);
        g->addWidget(Check2, 4, 3);
    }

    // Page 1: search and backups.
    HScroll1 = Slider(QStringLiteral("HScroll1"), 1, 20);
    Label9 = Named(new QLabel, QStringLiteral("Label9"));
    auto* backup = new QGroupBox(QStringLiteral(u"ﾌｧｲﾙ更新時にﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙを作成(&A)"));
    Option3[1] = Named(new QRadioButton(QStringLiteral(u"する")), QStringLiteral("Option3_1"));
    Option3[0] = Named(new QRadioButton(QStringLiteral(u"しない")), QStringLiteral("Option3_0"));
    {
        auto* v = new QVBoxLayout(backup);
        auto* h = new QHBoxLayout;
        h->addWidget(Option3[1]);
        h->addWidget(Option3[0]);
        v->addLayout(h);
        v->addWidget(new QLabel(QStringLiteral(u"ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ名：ﾌｧｲﾙ名.BAK")));
        auto* g = new QGridLayout(Picture1[1]);
        g->addWidget(Caption(QStringLiteral(u"検索結果の表示位置(&K):"), HScroll1), 0, 0);
        g->addWidget(HScroll1, 0, 1);
        g->addWidget(Label9, 0, 2);
        g->addWidget(new QLabel(QStringLiteral(u"1～20の範囲で指定できます。")), 1, 1);
        g->addWidget(backup, 2, 0, 1, 3);
        g->setRowStretch(3, 1);
    }

    // Page 2: auto-scroll and word wrap.
    auto* direction = new QGroupBox(QStringLiteral(u"ｽｸﾛｰﾙ方向(&C)"));
    Option1 = Named(new QRadioButton(QStringLiteral(u"↓(上から下)")), QStringLiteral("Option1"));
    Option2 = Named(new QRadioButton(QStringLiteral(u"↑(下から上)")), QStringLiteral("Option2"));
    HScroll2 = Slider(QStringLiteral("HScroll2"), 1, 200);
    {
        auto* v = new QVBoxLayout(direction);
        v->addWidget(Option1);
        v->addWidget(Option2);
        auto* speed = new QHBoxLayout;
        speed->addWidget(new QLabel(QStringLiteral(u"遅く")));
        speed->addWidget(HScroll2);
        speed->addWidget(new QLabel(QStringLiteral(u"速く")));
        v->addLayout(speed);
    }
    auto* wrap = new QGroupBox(QStringLiteral(u"ﾜｰﾄﾞﾗｯﾌﾟ(&W)"));
    HScroll3 = Slider(QStringLiteral("HScroll3"), 2, 256);
    Label11 = Named(new QLabel, QStringLiteral("Label11"));
    {
        auto* g = new QGridLayout(wrap);
        g->addWidget(Caption(QStringLiteral(u"１行の自動改行ﾊﾞｲﾄ(&P):"), HScroll3), 0, 0);
        g->addWidget(HScroll3, 0, 1);
        g->addWidget(Label11, 0, 2);
        g->addWidget(new QLabel(QStringLiteral(u"2～256の範囲で指定できます。")), 1, 1);
        auto* h = new QHBoxLayout(Picture1[2]);
        h->addWidget(direction);
        h->addWidget(wrap);
    }

    // Page 3: editor and recent files.
    Combo3[0] = Named(new QComboBox, QStringLiteral("Combo3_0"));
    Combo3[1] = Named(new QComboBox, QStringLiteral("Combo3_1"));
    Combo4 = Named(new QComboBox, QStringLiteral("Combo4"));
    {
        auto* g = new QGridLayout(Picture1[3]);
        auto* note = new QLabel(QStringLiteral(u"現在表示している先頭行を基準に前後何行を編集対象にするかを指定する。"));
        note->setWordWrap(true);
        g->addWidget(note, 0, 0, 1, 4);
        g->addWidget(Caption(QStringLiteral(u"前の行数："), Combo3[0]), 1, 0);
        g->addWidget(Combo3[0], 1, 1);
        g->addWidget(Caption(QStringLiteral(u"後の行数："), Combo3[1]), 1, 2);
        g->addWidget(Combo3[1], 1, 3);
        g->addWidget(Caption(QStringLiteral(u"最近使ったファイルの一覧"), Combo4), 2, 0, 1, 2);
        g->addWidget(Combo4, 2, 2);
        g->addWidget(new QLabel(QStringLiteral(u"まで表示する。")), 2, 3);
        g->setRowStretch(3, 1);
    }

    Command1 = Named(new QPushButton(QStringLiteral(u"了　解")), QStringLiteral("Command1"));
    Command2 = Named(new QPushButton(QStringLiteral(u"取 消(&X)")), QStringLiteral("Command2"));
    Command1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* main = new QVBoxLayout(this);
    main->addLayout(tabRow);
    main->addLayout(pages_);
    main->addLayout(buttons);

    connect(HScroll4, &QScrollBar::valueChanged, this, [this](int v) { Label16->setText(QString::number(v)); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int v) { Label9->setText(QString::number(v)); });
    connect(HScroll3, &QScrollBar::valueChanged, this, [this](int v) { Label11->setText(QString::number(v)); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { UpdateSample(); });
    connect(Combo2, &QComboBox::currentIndexChanged, this, [this] { UpdateSample(); });
    for (QRadioButton* o : Option4)
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                Option4_Click();
        });
    for (QScrollBar* bar : HScroll5)
        connect(bar, &QScrollBar::valueChanged, this, [this] { HScroll5_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

void Hyouji::Form_Load()
{
    ViewerSettings& s = state_.settings;
    for (int i = 0; i < 4; ++i)
        Combo1->addItem(FontNameForIndex(i));
    Combo1->setCurrentIndex(s.FontIndex >= 0 && s.FontIndex < 4 ? s.FontIndex : 0);

    // The realised sizes are measured on a copy of the text area's font: the main window is
    // left as it is whatever the dialog's end.
    QFont probe(FontNameForIndex(Combo1->currentIndex()));
    for (int i = 0; i < 7; ++i) {
        probe.setPointSizeF(kNominalSizes[i]);
        realised_[i] = float(QFontInfo(probe).pointSizeF());
        Combo2->addItem(StrNumber(realised_[i]));
    }
    const float current = s.FontSize;
    int size = 0;
    for (int i = 0; i <= 5; ++i)
        if (float(realised_[i]) == current) {
            size = i;
            break;
        }
    if (size == 0 && float(realised_[0]) != current && float(realised_[6]) == current)
        size = 6;
    Combo2->setCurrentIndex(size);

    HScroll4->setValue(std::clamp<int>(s.LinesPerScreen, 22, 56));
    Label16->setText(QString::number(HScroll4->value()));

    sampleFore_ = ColorValue(s.ForeColor);
    sampleBack_ = ColorValue(s.BackColor);
    Label2->setText(state_.doc.DocumentName.isEmpty() ? QStringLiteral("ABC123") : state_.doc.DocumentName);
    Option4[0]->setChecked(true);
    Option4_Click();
    UpdateSample();

    Option5[s.ScrollBarLeft == 1 ? 0 : 1]->setChecked(true);
    Check2->setChecked(s.StartupAnimation != 0);
    // The only setting the dialog corrects before OK.
    if (s.SearchResultRow < 1 || s.SearchResultRow > 20)
        s.SearchResultRow = 1;
    HScroll1->setValue(s.SearchResultRow);
    Label9->setText(QString::number(HScroll1->value()));
    Option3[s.NoBackup ? 0 : 1]->setChecked(true);
    (s.AutoScrollDown ? Option1 : Option2)->setChecked(true);
    HScroll2->setValue(HScroll2->maximum() - std::clamp(s.AutoScrollSpeed, 1, 200) + HScroll2->minimum());
    HScroll3->setValue(std::clamp<int>(s.WrapWidth, 2, 256));
    Label11->setText(QString::number(HScroll3->value()));

    const int16_t lines[2] = {s.EditorLinesBefore, s.EditorLinesAfter};
    const int fallback[2] = {2, 3};
    for (int k = 0; k < 2; ++k) {
        int chosen = fallback[k];
        for (int i = 0; i < 5; ++i) {
            Combo3[k]->addItem(QString::number(kEditorLines[i]));
            if (kEditorLines[i] == lines[k])
                chosen = i;
        }
        Combo3[k]->setCurrentIndex(chosen);
    }
    for (int i = 1; i <= 9; ++i)
        Combo4->addItem(QString::number(i));
    // A count outside 1..9 selects nothing and is kept unless one is chosen.
    Combo4->setCurrentIndex(s.RecentCount >= 1 && s.RecentCount <= 9 ? s.RecentCount - 1 : -1);

    ShowPage(optionsPage_);
}

void Hyouji::ShowPage(int page)
{
    page_ = ((page % 4) + 4) % 4;
    for (int i = 0; i < 4; ++i) {
        QFont f = Label5[i]->font();
        f.setBold(i == page_);
        Label5[i]->setFont(f);
        Label5[i]->setLineWidth(i == page_ ? 3 : 2);
        Picture1[i]->setEnabled(i == page_);
    }
    pages_->setCurrentIndex(page_);
    Picture1[page_]->setFocus(Qt::OtherFocusReason);
}

bool Hyouji::eventFilter(QObject* watched, QEvent* event)
{
    for (int i = 0; i < 4; ++i) {
        if (watched == Label5[i] && event->type() == QEvent::MouseButtonPress) {
            ShowPage(i);
            return true;
        }
        if (watched == Picture1[i] && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Left || key == Qt::Key_Right) {
                ShowPage(page_ + (key == Qt::Key_Left ? -1 : 1));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Hyouji::Option4_Click()
{
    const int32_t c = Option4[0]->isChecked() ? sampleFore_ : sampleBack_;
    loadingSliders_ = true;
    HScroll5[0]->setValue(c % 256);
    HScroll5[1]->setValue((c / 256) % 256);
    HScroll5[2]->setValue((c / 65536) % 256);
    loadingSliders_ = false;
    for (int i = 0; i < 3; ++i)
        Label3[i]->setText(QString::number(HScroll5[i]->value()));
}

void Hyouji::HScroll5_Change()
{
    for (int i = 0; i < 3; ++i)
        Label3[i]->setText(QString::number(HScroll5[i]->value()));
    if (loadingSliders_)
        return;
    const int32_t c = HScroll5[0]->value() + 256 * HScroll5[1]->value() + 65536 * HScroll5[2]->value();
    (Option4[0]->isChecked() ? sampleFore_ : sampleBack_) = c;
    UpdateSample();
}

void Hyouji::UpdateSample()
{
    QFont f(Combo1->currentText());
    const int i = Combo2->currentIndex();
    f.setPointSizeF(kNominalSizes[i >= 0 && i < 7 ? i : 0]);
    Label2->setFont(f);
    QPalette p = Label2->palette();
    p.setColor(QPalette::Window, ColorFromBgr(sampleBack_));
    p.setColor(QPalette::WindowText, ColorFromBgr(sampleFore_));
    Label2->setPalette(p);
}

void Hyouji::Command1_Click()
{
    ViewerSettings& s = state_.settings;
    s.LinesPerScreen = int16_t(Label16->text().toInt());
    s.BackColor = sampleBack_;
    s.ForeColor = sampleFore_;
    const int size = std::max(0, Combo2->currentIndex());
    s.FontSize = float(realised_[size]);
    s.FontIndex = int16_t(std::max(0, Combo1->currentIndex()));
    s.SearchResultRow = int16_t(HScroll1->value());
    s.ScrollBarLeft = Option5[1]->isChecked() ? 0 : 1;
    s.StartupAnimation = Check2->isChecked() ? 1 : 0;
    s.NoBackup = Option3[0]->isChecked();
    s.AutoScrollDown = Option1->isChecked();
    s.AutoScrollSpeed = HScroll2->maximum() - HScroll2->value() + HScroll2->minimum();
    optionsPage_ = page_;
    s.WrapWidth = int16_t(HScroll3->value());
    s.EditorLinesBefore = int16_t(kEditorLines[std::max(0, Combo3[0]->currentIndex())]);
    s.EditorLinesAfter = int16_t(kEditorLines[std::max(0, Combo3[1]->currentIndex())]);
    if (Combo4->currentIndex() >= 0)
        s.RecentCount = int16_t(Combo4->currentIndex() + 1);
    state_.SettingsChanged = true;
    accept();
}

}  // namespace kolbran
