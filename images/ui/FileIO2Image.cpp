// The image panel of the file dialog: preview, zoom, pixel readout, delete, image window.
#include "images/ui/FileIO2.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Twips.h"
#include "core/ui/FileList.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kolbran {

namespace {
constexpr QSize kViewArea(360, 300);  // Picture1, in pixels

QPushButton* PanelButton(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

void KeepPlaceWhenHidden(QWidget* w)
{
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}
}  // namespace

void FileIO2::BuildImagePanel()
{
    Picture2 = new QFrame(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFrameShape(QFrame::StyledPanel);

    Picture1 = new QFrame(Picture2);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedSize(kViewArea);
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setFocusPolicy(Qt::ClickFocus);
    Picture1->installEventFilter(this);
    Image1 = new QLabel(Picture1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setMouseTracking(true);
    Image1->installEventFilter(this);
    Image1->move(0, 0);
    Image1->resize(0, 0);

    HScroll1 = new QScrollBar(Qt::Horizontal, Picture2);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    VScroll1 = new QScrollBar(Qt::Vertical, Picture2);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    KeepPlaceWhenHidden(HScroll1);
    KeepPlaceWhenHidden(VScroll1);
    HScroll1->hide();
    VScroll1->hide();

    Label7 = new QLabel(QStringLiteral(u"倍率"), Picture2);
    Label7->setObjectName(QStringLiteral("Label7"));
    Combo2 = new QComboBox(Picture2);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Label8 = new QLabel(Picture2);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label11 = new QLabel(Picture2);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setMinimumWidth(180);
    Label12 = new QLabel(Picture2);
    Label12->setObjectName(QStringLiteral("Label12"));
    Label12->setFixedSize(24, 18);
    Label12->setAutoFillBackground(true);
    Text8 = new QLineEdit(Picture2);
    Text8->setObjectName(QStringLiteral("Text8"));
    Text8->setReadOnly(true);
    Text8->setFixedWidth(100);
    Command4 = PanelButton(QStringLiteral(u"画像ｸﾘｱ(&C)"), "Command4", Picture2);
    Command10 = PanelButton(QStringLiteral(u"削除"), "Command10", Picture2);
    Command7 = PanelButton(QStringLiteral(u"別画面"), "Command7", Picture2);
    Command6 = PanelButton(QStringLiteral(u"戻す >>(&R)"), "Command6", Picture2);

    auto* box = new QVBoxLayout(Picture2);
    auto* view = new QGridLayout;
    view->setSpacing(0);
    view->addWidget(Picture1, 0, 0);
    view->addWidget(VScroll1, 0, 1);
    view->addWidget(HScroll1, 1, 0);
    box->addLayout(view);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(Label7);
    zoomRow->addWidget(Combo2);
    zoomRow->addWidget(Label8, 1);
    box->addLayout(zoomRow);
    auto* readoutRow = new QHBoxLayout;
    readoutRow->addWidget(Label11, 1);
    readoutRow->addWidget(Label12);
    readoutRow->addWidget(Text8);
    box->addLayout(readoutRow);
    auto* buttonRow = new QHBoxLayout;
    for (QPushButton* b : {Command4, Command10, Command7, Command6})
        buttonRow->addWidget(b);
    box->addLayout(buttonRow);
    box->addStretch();
    ResetReadout();

    connect(Command5, &QPushButton::clicked, this, &FileIO2::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &FileIO2::Command6_Click);
    connect(Command4, &QPushButton::clicked, this, &FileIO2::Command4_Click);
    connect(Command10, &QPushButton::clicked, this, &FileIO2::Command10_Click);
    connect(Command7, &QPushButton::clicked, this, &FileIO2::Command7_Click);
    connect(Combo2, &QComboBox::activated, this, &FileIO2::Combo2_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int v) { Image1->move(-v, Image1->y()); });
    connect(VScroll1, &QScrollBar::valueChanged, this, [this](int v) { Image1->move(Image1->x(), -v); });
}

void FileIO2::Command5_Click()
{
    panelMode_ = 1;
    Picture2->show();
    Command5->setEnabled(false);
    {
        const QSignalBlocker block(Combo1);
        Combo1->clear();
        Combo1->addItems(ImagePanelTypes());
        Combo1->setCurrentIndex(0);
    }
    ApplyFileType(Combo1->currentText());
}

void FileIO2::Command6_Click()
{
    {
        const QSignalBlocker block(Combo1);
        Combo1->clear();
        Combo1->addItems(FilePanelTypes());
        Combo1->setCurrentIndex(LimitTypeIndex(state_.settings.BrowserViewMode, Combo1->count()));
    }
    ApplyFileType(Combo1->currentText());
    ClearPreview();
    panelMode_ = 0;
    Picture2->hide();
    Command5->setEnabled(true);
    state_.TargetFilePath.clear();
}

void FileIO2::ResetReadout()
{
    Text8->clear();
    Label11->clear();
    QPalette p = Label12->palette();
    p.setColor(QPalette::Window, QColor(192, 192, 192));
    Label12->setPalette(p);
}

void FileIO2::PreviewPicked(const QString& name)
{
    zoom_ = 1.0f;
    ResetReadout();
    state_.TargetFilePath = name;
    SelFile->setFocusPolicy(Qt::ClickFocus);
    if (Combo2->currentText() == kNoPreview)
        return;
    LoadPreview(name);
}

bool FileIO2::LoadPreview(const QString& name)
{
    HideScrollBars();
    Image1->clear();
    Image1->resize(0, 0);
    Image1->setEnabled(true);
    YieldToEventLoopNow();
    try {
        Picture5 = LoadPicture(name);
    } catch (const RuntimeError& e) {
        Label8->setText(e.Description());
        Picture5 = QImage();
        pictureLoaded_ = false;
        Image1->clear();
        Image1->setEnabled(false);
        HideScrollBars();
        return false;
    }
    HScroll1->setValue(0);
    VScroll1->setValue(0);
    pictureLoaded_ = true;
    state_.ImageNaturalWidth = Picture5.width();
    state_.ImageNaturalHeight = Picture5.height();
    ShowAtZoom(1.0f);
    const QSignalBlocker block(Combo2);
    Combo2->setCurrentText(QStringLiteral("1.0"));
    return true;
}

void FileIO2::ShowAtZoom(float zoom)
{
    zoom_ = zoom;
    const QSize shown = ZoomedSize(Picture5.size(), zoom);
    // Nearest-pixel scaling keeps every pixel of the picture readable under the pointer.
    const QImage image = zoom == 1.0f ? Picture5
                                      : Picture5.scaled(shown, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    Image1->setPixmap(QPixmap::fromImage(image));
    Image1->resize(shown);
    ApplyScrollLayout(shown);
}

void FileIO2::HideScrollBars()
{
    HScroll1->setValue(0);
    VScroll1->setValue(0);
    HScroll1->hide();
    VScroll1->hide();
}

void FileIO2::ApplyScrollLayout(const QSize& shown)
{
    const ScrollLayout layout = ComputeScrollLayout(shown, kViewArea);
    const auto apply = [](QScrollBar* bar, const ScrollBarLayout& l) {
        bar->setRange(0, l.maximum);
        if (!l.visible)
            bar->setValue(0);
        bar->setVisible(l.visible);
    };
    apply(HScroll1, layout.horizontal);
    apply(VScroll1, layout.vertical);
    Image1->move(-HScroll1->value(), -VScroll1->value());
    if (SelFile->text() != QLatin1String("*.bmp"))
        Label8->setText(PictureSizeText(Picture5.size()));
}

void FileIO2::ClearPreview()
{
    Image1->clear();
    Image1->resize(0, 0);
}

void FileIO2::Combo2_Click(int index)
{
    if (panelMode_ != 1 || !Image1->isEnabled() || index < 0)
        return;
    const QString entry = Combo2->itemText(index);
    if (!pictureLoaded_ && entry != kNoPreview) {
        if (state_.TargetFilePath.isEmpty() || !LoadPreview(state_.TargetFilePath))
            return;
        const QSignalBlocker block(Combo2);
        Combo2->setCurrentIndex(index);
    }
    if (entry == kNoPreview) {
        ClearPreview();
        HideScrollBars();
        return;
    }
    if (pictureLoaded_)
        ShowAtZoom(ZoomFactorOf(entry));
}

void FileIO2::Command4_Click()
{
    if (panelMode_ != 1)
        return;
    ClearPreview();
    Picture5 = QImage();
    Image1->setEnabled(false);
    zoom_ = 1.0f;
    {
        const QSignalBlocker block(Combo2);
        Combo2->setCurrentText(QStringLiteral("1.0"));
    }
    HideScrollBars();
    Label8->clear();
    ResetReadout();
    pictureLoaded_ = false;
}

void FileIO2::Command10_Click()
{
    const QString target = state_.TargetFilePath;
    if (target.isEmpty())
        return;
    if (state_.prompter.Message(target + QStringLiteral(u"を削除します！"), MsgIcon::Question,
                                MsgButtons::OkCancel) == MsgAnswer::Ok &&
        state_.prompter.Message(QStringLiteral(u"本当に良いですか？!"), MsgIcon::Question,
                                MsgButtons::YesNo) == MsgAnswer::Yes) {
        QFile file(FromNativeSeparators(target));
        if (!file.exists()) {
            state_.prompter.Message(QStringLiteral(u"指定されたファイルは見つかりませんでした。"), MsgIcon::Warning);
        } else if (!file.remove()) {
            try {
                ThrowFileError(file, Err::PermissionDenied);
            } catch (const RuntimeError& e) {
                ReportError(state_, e, 1);
            }
        } else {
            FileSelect->Refresh();
            SelFile->clear();
            // Nothing may still show the file that is gone.
            ClearPreview();
            HideScrollBars();
            pictureLoaded_ = false;
            Label6->clear();
            SetLamps(FileAttributes{});
            ResetReadout();
        }
    }
    state_.TargetFilePath.clear();
}

void FileIO2::Command7_Click()
{
    if (SelFile->text().startsWith(QLatin1String("*."))) {
        state_.prompter.Message(QStringLiteral(u"ファイルが指定されていません。"), MsgIcon::Warning);
        return;
    }
    const auto launcher = state_.WindowCommands.find(QStringLiteral("Menu_Kaku_Bit"));
    if (launcher == state_.WindowCommands.end())
        return;
    state_.OpenedFromBrowser = 255;
    state_.BrowserFileNames = FileSelect->FileNames();
    state_.BrowserFileIndex = FileSelect->RowOf(SelFile->text());
    try {
        launcher->second(this);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
    state_.OpenedFromBrowser = 0;
    state_.ImageNaturalWidth = Picture5.width();
    state_.ImageNaturalHeight = Picture5.height();
}

void FileIO2::Image1_MouseMove(const QPointF& pixels)
{
    if (!pictureLoaded_ || Picture5.isNull())
        return;
    const PixelPosition p = PixelUnderPointer(zoom_, pixels.x() * kTwipsPerPixel,
                                              pixels.y() * kTwipsPerPixel);
    if (!InsidePicture(p, Picture5.size()))
        return;
    lastColour_ = ColourOf(Picture5.pixel(p.column - 1, p.row - 1));
    Label11->setText(PixelReadoutText(p, lastColour_));
    QPalette palette = Label12->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(QRgb(lastColour_)));
    Label12->setPalette(palette);
    Picture1->setFocus();
}

bool FileIO2::Picture1_Key(int key, bool press, bool autoRepeat)
{
    ColourNotation notation;
    if (!NotationOfKey(key, notation))
        return false;
    if (!press) {
        // The platform's key repeat sends releases too; only a real release re-arms the key.
        if (!autoRepeat)
            keys_.Release(key);
        return true;
    }
    if (keys_.Press(key)) {
        const QString code = ColourCode(lastColour_, notation);
        QApplication::clipboard()->setText(code);
        Text8->setText(code);
    }
    return true;
}

bool FileIO2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseMove) {
        Image1_MouseMove(static_cast<QMouseEvent*>(event)->position());
        return false;
    }
    if (watched == Picture1 && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return Picture1_Key(key->key(), event->type() == QEvent::KeyPress, key->isAutoRepeat());
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kolbran
