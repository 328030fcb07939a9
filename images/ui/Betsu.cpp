#include "images/ui/Betsu.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "core/Settings.h"
#include "core/Twips.h"
#include "images/ImageOps.h"
#include "core/PaintJob.h"
#include "core/ui/PrintDevice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

namespace kolbran {

namespace {

QAction* AddAction(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

// The hourglass for the time of one command.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};

QSize ScreenSize(const QWidget* w)
{
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize(1024, 768);
}

constexpr int kMinWidthTwips = 1960;
constexpr int kMinHeightTwips = 1000;
constexpr int kNarrowTwips = 2800;

}  // namespace

Betsu::Betsu(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("Betsu"));
    setWindowTitle(QStringLiteral(u"別画面"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Area = new QWidget(this);
    Area->setObjectName(QStringLiteral("Area"));
    Area->setMinimumSize(1, 1);
    column->addWidget(Area, 1);
    Image1 = new QLabel(Area);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->installEventFilter(this);
    Label1 = new QLabel(Area);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(8, 8, 400, 60);
    Label1->hide();
    BuildMenus();
    Form_Load();
}

Betsu::~Betsu() = default;

void Betsu::BuildMenus()
{
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    static_cast<QVBoxLayout*>(layout())->setMenuBar(MenuBar);

    M_Gamen = MenuBar->addMenu(QStringLiteral(u"画面(&G)"));
    M_Gamen->setObjectName(QStringLiteral("M_Gamen"));
    connect(AddAction(M_Gamen, QStringLiteral("M_S_Ze"), QStringLiteral(u"全面(&Z)")), &QAction::triggered, this,
            &Betsu::M_S_Ze_Click);
    connect(AddAction(M_Gamen, QStringLiteral("M_S_To"), QStringLiteral(u"等倍に戻す(&T)")), &QAction::triggered,
            this, &Betsu::M_S_To_Click);
    QMenu* size = M_Gamen->addMenu(QStringLiteral(u"ｻｲｽﾞ(&S)"));
    size->setObjectName(QStringLiteral("M_S_Size"));
    M_S_S_Free = AddAction(size, QStringLiteral("M_S_S_Free"), QStringLiteral(u"自由ｻｲｽﾞ"));
    M_S_S_Koyu = AddAction(size, QStringLiteral("M_S_S_Koyu"), QStringLiteral(u"固有ｻｲｽﾞ"));
    M_S_S_Free->setCheckable(true);
    M_S_S_Koyu->setCheckable(true);
    connect(M_S_S_Free, &QAction::triggered, this, &Betsu::M_S_S_Free_Click);
    connect(M_S_S_Koyu, &QAction::triggered, this, &Betsu::M_S_S_Koyu_Click);
    M_Gamen->addSeparator();
    connect(AddAction(M_Gamen, QStringLiteral("M_G_Settei0"), QStringLiteral(u"プリンタの設定(&R)...")),
            &QAction::triggered, this, &Betsu::M_G_Settei0_Click);
    QMenu* direction = M_Gamen->addMenu(QStringLiteral(u"用紙方向(&H)"));
    direction->setObjectName(QStringLiteral("M_G_Houkou"));
    const QString fits[] = {QStringLiteral(u"用紙の横幅に合わせる(&Y)"), QStringLiteral(u"用紙の縦幅に合わせる(&T)")};
    for (int i = 0; i < 2; ++i) {
        M_G_Ptayo[size_t(i)] = AddAction(direction, QStringLiteral("M_G_Ptayo_%1").arg(i), fits[i]);
        M_G_Ptayo[size_t(i)]->setCheckable(true);
        connect(M_G_Ptayo[size_t(i)], &QAction::triggered, this, [this, i] { M_G_Ptayo_Click(i); });
    }
    QMenu* papers = M_Gamen->addMenu(QStringLiteral(u"用紙サイズ(&Y)"));
    papers->setObjectName(QStringLiteral("M_G_Size"));
    const QString sizes[] = {QStringLiteral(u"はがき(&0)"), QStringLiteral(u"Ｌ判　(&1)"), QStringLiteral(u"Ａ６　(&2)"),
                             QStringLiteral(u"Ａ５　(&3)"), QStringLiteral(u"Ｂ６　(&4)"),
                             QStringLiteral(u"用紙に合わせる(&5)"), QStringLiteral(u"任意　(&6)")};
    for (int i = 0; i < 7; ++i) {
        M_G_Psize[size_t(i)] = AddAction(papers, QStringLiteral("M_G_Psize_%1").arg(i), sizes[i]);
        M_G_Psize[size_t(i)]->setCheckable(true);
        connect(M_G_Psize[size_t(i)], &QAction::triggered, this, [this, i] { M_G_Psize_Click(i); });
    }
    connect(AddAction(M_Gamen, QStringLiteral("M_G_Print"), QStringLiteral(u"印刷(&P)...")), &QAction::triggered,
            this, &Betsu::M_G_Print_Click);
    M_Gamen->addSeparator();
    connect(AddAction(M_Gamen, QStringLiteral("M_G_Close"), QStringLiteral(u"閉じる(&C)")), &QAction::triggered,
            this, [this] { close(); });

    M_File = MenuBar->addMenu(QStringLiteral(u"ﾌｧｲﾙ(&F)"));
    M_File->setObjectName(QStringLiteral("M_File"));
    F_Back = AddAction(M_File, QStringLiteral("F_Back"), QStringLiteral(u"前ﾌｧｲﾙ(&B)"));
    F_Next = AddAction(M_File, QStringLiteral("F_Next"), QStringLiteral(u"次ﾌｧｲﾙ(&N)"));
    connect(F_Back, &QAction::triggered, this, &Betsu::F_Back_Click);
    connect(F_Next, &QAction::triggered, this, &Betsu::F_Next_Click);
    F_Separator = M_File->addSeparator();
    connect(AddAction(M_File, QStringLiteral("M_F_R90"), QStringLiteral(u"右回転(&R)")), &QAction::triggered, this,
            &Betsu::M_F_R90_Click);
    connect(AddAction(M_File, QStringLiteral("M_F_L90"), QStringLiteral(u"左回転(&L)")), &QAction::triggered, this,
            &Betsu::M_F_L90_Click);
    connect(AddAction(M_File, QStringLiteral("M_F_mono"), QStringLiteral(u"ﾓﾉｸﾛ(&M)")), &QAction::triggered, this,
            &Betsu::M_F_mono_Click);
    M_F_Kaiseki = AddAction(M_File, QStringLiteral("M_F_Kaiseki"), QStringLiteral(u"解析(&K)..."));
    connect(M_F_Kaiseki, &QAction::triggered, this, &Betsu::M_F_Kaiseki_Click);
    connect(AddAction(M_File, QStringLiteral("M_F_Text_G"), QStringLiteral(u"ﾃｷｽﾄ画像(&T)...")), &QAction::triggered,
            this, &Betsu::M_F_Text_G_Click);
    connect(AddAction(M_File, QStringLiteral("M_F_save"), QStringLiteral(u"保存(&S)")), &QAction::triggered, this,
            &Betsu::M_F_save_Click);

    M_Help = MenuBar->addMenu(QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    M_Help->setObjectName(QStringLiteral("M_Help"));
    connect(AddAction(M_Help, QStringLiteral("M_Help_M1"), QStringLiteral(u"用紙サイズ一覧(&Y)...")),
            &QAction::triggered, this, &Betsu::M_Help_M1_Click);
}

void Betsu::Form_Load()
{
    F_Back->setVisible(false);
    F_Next->setVisible(false);
    F_Separator->setVisible(false);
    M_F_Kaiseki->setVisible(IsDebugFlag(state_.settings, 2) == 1);

    const ImagePrintSetup setup = ImagePrintSetupFromSettings(state_.settings);
    M_G_Ptayo_Click(setup.fitMode);
    if (setup.paperChoice > kPaperFitPrinter) {
        for (size_t i = 0; i < M_G_Psize.size(); ++i)
            M_G_Psize[i]->setChecked(int(i) == kPaperCustom);
        paperChoice_ = kPaperCustom;
        paper_ = setup.customSize;
        StoreSettings();
    } else {
        ApplyPaperChoice(setup.paperChoice, false);
    }

    path_ = state_.TargetFilePath;
    sizeMode_ = 1;
    M_S_S_Koyu->setChecked(true);
    M_S_S_Free->setChecked(false);
    setWindowTitle(path_);
    fromBrowser_ = state_.OpenedFromBrowser == 255;
    try {
        ShowPicture(LoadShownPicture(path_));
        Label1->hide();
        SizeToPicture();
        if (fromBrowser_) {
            last_ = int(state_.BrowserFileNames.size()) - 1;
            index_ = state_.BrowserFileIndex;
            M_File->setEnabled(true);
            F_Back->setVisible(true);
            F_Next->setVisible(true);
            F_Separator->setVisible(true);
        }
    } catch (const RuntimeError& e) {
        loaded_ = false;
        Image1->hide();
        Label1->setText(e.Description());
        Label1->show();
        SetMenusVisible(false);
        SizeWindow(PixelsToTwips(qMax(420, Label1->width() + 16)), 2000);
    }
}

void Betsu::ShowPicture(const QImage& picture)
{
    picture_ = picture;
    loaded_ = true;
    state_.ImageNaturalWidth = picture_.width();
    state_.ImageNaturalHeight = picture_.height();
    Image1->setPixmap(QPixmap::fromImage(picture_));
    Image1->show();
}

void Betsu::SetMenusVisible(bool visible)
{
    M_Gamen->menuAction()->setVisible(visible);
    M_Help->menuAction()->setVisible(visible);
    M_File->menuAction()->setVisible(visible && (fromBrowser_ || loaded_));
}

void Betsu::SizeWindow(int w, int h)
{
    // Twips in; the window's inner area is sized, the menu bar added to it.
    const QSize screen = ScreenSize(this);
    int width = TwipsToPixels(w), height = TwipsToPixels(h);
    int left = 0, top = 0;
    if (screen.width() > width)
        left = (screen.width() - width) / 2;
    else
        width = screen.width();
    if (screen.height() > height)
        top = (screen.height() - height) / 2;
    else
        height = screen.height();
    width = qMax(width, TwipsToPixels(kMinWidthTwips));
    height = qMax(height, TwipsToPixels(kMinHeightTwips));
    const QRect available = screen.isValid() && this->screen() ? this->screen()->availableGeometry() : QRect();
    const int menu = MenuBar->isVisible() || !isVisible() ? MenuBar->sizeHint().height() : 0;
    setGeometry(available.left() + left, available.top() + top, width, height + menu);
}

void Betsu::SizeToPicture()
{
    SizeWindow(PixelsToTwips(picture_.width()), PixelsToTwips(picture_.height()));
    Layout();
}

void Betsu::Layout()
{
    if (!loaded_ || picture_.isNull())
        return;
    const QSize area(qMax(1, Area->width()), qMax(1, Area->height()));
    const double pw = picture_.width(), ph = picture_.height();
    QRect target;
    if (sizeMode_ == 1) {
        if (double(area.width()) / area.height() >= pw / ph) {
            const int w = int(RoundHalfEven(area.height() * pw / ph));
            target = QRect(int(RoundHalfEven((area.width() - w) / 2.0)), 0, w, area.height());
        } else {
            const int h = int(RoundHalfEven(area.width() * ph / pw));
            target = QRect(0, int(RoundHalfEven((area.height() - h) / 2.0)), area.width(), h);
        }
    } else {
        target = QRect(QPoint(0, 0), area);
    }
    if (PixelsToTwips(target.height()) > frameHeight_)
        Image1->setGeometry(target);
    else
        Image1->setGeometry(QRect(target.topLeft(), picture_.size()));
    if (PixelsToTwips(width()) < kNarrowTwips && !isMaximized())
        resize(TwipsToPixels(kNarrowTwips + 1), height());
}

void Betsu::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Layout();
}

bool Betsu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        Image1_MouseDown(mouse->button(), mouse->globalPosition().toPoint());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Betsu::Image1_MouseDown(Qt::MouseButton button, const QPoint& globalPos)
{
    if (running_)
        return;
    if (frameHeight_ < 740) {
        frameHeight_ = 740;
        if (isMaximized() || isFullScreen())
            showNormal();
        SetMenusVisible(true);
        setWindowTitle(path_);
    }
    if (button == Qt::RightButton)
        M_File->popup(globalPos);
}

void Betsu::M_S_Ze_Click()
{
    frameHeight_ = 120;
    SetMenusVisible(false);
    setWindowTitle(QString());
    showMaximized();
}

void Betsu::M_S_To_Click()
{
    if (isMaximized() || isFullScreen())
        showNormal();
    SizeToPicture();
}

void Betsu::M_S_S_Free_Click()
{
    sizeMode_ = 0;
    M_S_S_Free->setChecked(true);
    M_S_S_Koyu->setChecked(false);
}

void Betsu::M_S_S_Koyu_Click()
{
    sizeMode_ = 1;
    M_S_S_Free->setChecked(false);
    M_S_S_Koyu->setChecked(true);
    Layout();
}

bool Betsu::ShowFile(const QString& path)
{
    try {
        ShowPicture(LoadShownPicture(path));
        Label1->hide();
        SizeToPicture();
        return true;
    } catch (const RuntimeError& e) {
        loaded_ = false;
        picture_ = QImage();
        Image1->hide();
        Label1->setText(e.Description());
        Label1->show();
        SizeWindow(3000, 2000);
        return false;
    }
}

void Betsu::FlSel(int index)
{
    // Only entries of the list: a typed name gives the index −1.
    if (running_ || index < 0 || index > last_ || index >= state_.BrowserFileNames.size())
        return;
    BusyPointer busy;
    index_ = index;
    path_ = state_.BrowserFileNames[index];
    setWindowTitle(path_);
    ShowFile(path_);
}

void Betsu::F_Back_Click()
{
    if (index_ > 0)
        FlSel(index_ - 1);
}

void Betsu::F_Next_Click()
{
    if (index_ < last_)
        FlSel(index_ + 1);
}

void Betsu::BeginRun()
{
    running_ = true;
    stop_ = false;
    closePending_ = false;
    lastPercent_.clear();
    MenuBar->setEnabled(false);
}

void Betsu::EndRun()
{
    running_ = false;
    MenuBar->setEnabled(true);
    setWindowTitle(path_);
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

bool Betsu::Progress(double fraction, bool yield)
{
    const QString text = FormatPercent(fraction);
    if (text != lastPercent_) {
        lastPercent_ = text;
        setWindowTitle(text);
    }
    if (yield)
        YieldToEventLoop();
    return !stop_;
}

void Betsu::RunPixelOperation(const std::function<QImage(const std::function<bool(double)>&)>& work, bool turned)
{
    if (!loaded_ || running_)
        return;
    BusyPointer busy;
    BeginRun();
    try {
        const QImage result = work([this](double f) { return Progress(f, false); });
        Progress(1.0, false);
        ShowPicture(result);
        if (turned)
            M_S_To_Click();
        Layout();
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
    EndRun();
}

void Betsu::M_F_R90_Click()
{
    RunPixelOperation([this](const PixelProgress& p) { return RotateRight(picture_, p); }, true);
}

void Betsu::M_F_L90_Click()
{
    RunPixelOperation([this](const PixelProgress& p) { return RotateLeft(picture_, p); }, true);
}

void Betsu::M_F_mono_Click()
{
    RunPixelOperation([this](const PixelProgress& p) { return GreyPicture(picture_, p); }, false);
}

void Betsu::M_F_Kaiseki_Click()
{
    if (!loaded_ || running_)
        return;
    if (state_.prompter.Message(QStringLiteral(u"解析処理を実行しますか？"), MsgIcon::Question, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return;
    const QString out = ProgramFilePath(state_.SettingsFolder, kAnalysisFileName);
    BusyPointer busy;
    BeginRun();
    try {
        if (CheckSaveTarget(state_, out) == SaveTarget::Allowed)
            WriteAnalysis(picture_, out, [this](double f) { return Progress(f, true); });
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 0);
    }
    EndRun();
}

void Betsu::M_F_Text_G_Click()
{
    if (!loaded_ || running_)
        return;
    int n = kDefaultTextPictureWidth;
    const QString& br = state_.settings.LineBreak;
    if (IsDebugFlag(state_.settings, 2) == 1) {
        const std::optional<QString> answer = state_.prompter.Input(
            QStringLiteral(u"１行分の文字数を指定してください。") + br + QStringLiteral(u"( 124 ～ 360 ) 標準値：174"),
            QStringLiteral(u"ﾃｷｽﾄ画像処理"), QStringLiteral("174"));
        n = TextPictureWidth(answer.value_or(QString()));
    }
    const QString folder = QDir::currentPath();
    QString out;
    BeginRun();
    try {
        FileDialogRequest request;
        request.title = QStringLiteral(u"ﾃｷｽﾄ画像処理を実行します");
        request.filter = QStringLiteral(u"ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*");
        request.initialName = kTextPictureFileName;
        out = state_.prompter.SaveFileName(request);
        if (CheckSaveTarget(state_, out) == SaveTarget::Allowed) {
            BusyPointer busy;
            const QStringList lines = TextPicture(picture_, n, [this](double f) { return Progress(f, true); });
            if (!stop_)
                WriteTextPicture(lines, out);
        }
    } catch (const RuntimeError& e) {
        ReportError(state_, RuntimeError(e.Number(), out), 0);
    }
    QDir::setCurrent(folder);
    EndRun();
}

void Betsu::M_F_save_Click()
{
    if (!loaded_ || running_)
        return;
    const QString folder = QDir::currentPath();
    try {
        FileDialogRequest request;
        request.title = QStringLiteral(u"画像をﾋﾞｯﾄﾏｯﾌﾟ形式で保存します");
        request.filter = QStringLiteral(u"すべてのファイル (*.*)|*.*|ビットマップ ファイル (*.bmp)|*.bmp|");
        request.filterIndex = 2;
        request.initialName = QStringLiteral("XXXXXX.BMP");
        const QString name = state_.prompter.SaveFileName(request);
        if (ConfirmBitmapTarget(state_, path_, name)) {
            BusyPointer busy;
            SaveBitmap(picture_, name);
        }
    } catch (const RuntimeError& e) {
        if (e.Number() != Err::DialogCancelled)
            ReportError(state_, e, 0);
    }
    QDir::setCurrent(folder);
}

void Betsu::M_G_Settei0_Click()
{
    if (running_)
        return;
    if (state_.prompter.PrinterSetup(state_.Printer) && paperChoice_ != kPaperCustom)
        ApplyPaperChoice(paperChoice_, false);  // the new orientation or printable area
}

void Betsu::M_G_Ptayo_Click(int index)
{
    index = index == 1 ? 1 : 0;
    M_G_Ptayo[0]->setChecked(index == 0);
    M_G_Ptayo[1]->setChecked(index == 1);
    fitMode_ = index;
    StoreSettings();
}

void Betsu::M_G_Psize_Click(int index)
{
    if (running_)
        return;
    ApplyPaperChoice(index, true);
}

void Betsu::ApplyPaperChoice(int index, bool ask)
{
    index = qBound(0, index, kPaperCustom);
    for (size_t i = 0; i < M_G_Psize.size(); ++i)
        M_G_Psize[i]->setChecked(int(i) == index);
    paperChoice_ = index;
    const bool portrait = !state_.Printer.Landscape;
    QSizeF custom = paper_;
    if (index == kPaperCustom && ask) {
        const auto w = state_.prompter.Input(QStringLiteral(u"幅を指定してください。(105～420㎜)"),
                                             QStringLiteral(u"用紙の幅"), StrSingle(float(paper_.width())).trimmed());
        const int width = ClampCustomWidth(Val(w.value_or(QString())));
        const auto h = state_.prompter.Input(QStringLiteral(u"高さを指定してください。(74～297㎜)"),
                                             QStringLiteral(u"用紙の高さ"), StrSingle(float(paper_.height())).trimmed());
        const int height = ClampCustomHeight(Val(h.value_or(QString())));
        state_.prompter.Message(QStringLiteral(u"( 幅：") + StrNumber(width) + QStringLiteral(u" ㎜　　高さ：") +
                                    StrNumber(height) + QStringLiteral(u" ㎜ )"),
                                MsgIcon::Information);
        custom = QSizeF(width, height);
    }
    paper_ = PaperSizeFor(index, PrintableSizeMm(*MeasuringDevice(state_.Printer)), portrait, custom);
    StoreSettings();
}

void Betsu::StoreSettings()
{
    // Kept at every change: a modeless window may close after the main window saved.
    StoreImagePrintSetup(state_.settings, paperChoice_, fitMode_, paper_);
}

void Betsu::M_G_Print_Click()
{
    if (!loaded_ || running_)
        return;
    const QRectF rect = PrintRectangle(paper_, fitMode_, picture_.size());
    if (state_.prompter.Message(PrintQuestion(PaperName(paperChoice_), fitMode_, paper_, state_.settings.LineBreak),
                                MsgIcon::Question, MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    BeginRun();
    try {
        if (const std::unique_ptr<PaintJob> job = BeginPrintJob(state_, path_, path_)) {
            BusyPointer busy;
            PaintPictureMm(job->Painter(), job->Device(), picture_, rect);
            job->Commit();
        }
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
    EndRun();
}

void Betsu::M_Help_M1_Click()
{
    state_.prompter.Message(PaperSizeListText(state_.settings.LineBreak), MsgIcon::Information, MsgButtons::Ok,
                            QStringLiteral(u"用紙サイズ　単位：ミリ"));
}

void Betsu::closeEvent(QCloseEvent* event)
{
    if (running_) {
        // The run stops at its next step and closes the window then.
        stop_ = true;
        closePending_ = true;
        event->ignore();
        return;
    }
    StoreSettings();
    QDialog::closeEvent(event);
}

void Betsu::done(int result)
{
    if (running_) {
        stop_ = true;
        closePending_ = true;
        return;
    }
    StoreSettings();
    QDialog::done(result);
}

void ShowImageWindow(AppState& state, QWidget* parent)
{
    Betsu window(state, parent);
    window.exec();
}

}  // namespace kolbran
