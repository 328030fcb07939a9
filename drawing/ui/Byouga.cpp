#include "drawing/ui/Byouga.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/PaintJob.h"
#include "core/RuntimeError.h"
#include "core/ui/PrintDevice.h"
#include "drawing/DrawingOutput.h"
#include "drawing/DrawingSurface.h"
#include "viewer/ViewerHost.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kolbran {

namespace {

constexpr int kSmallStep = 15;  // pixels

QSize ScreenSize(const QWidget* w)
{
    const QScreen* screen = w->screen() != nullptr ? w->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->size() : QSize(1024, 768);
}

}  // namespace

void DrawingPicture::SetSurface(const DrawingSurface* surface)
{
    surface_ = surface;
    if (surface_ != nullptr)
        resize(surface_->Image().size());
    update();
}

void DrawingPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (surface_ != nullptr)
        p.drawImage(0, 0, surface_->Image());
    else
        p.fillRect(rect(), Qt::white);
}

void DrawingPicture::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT Clicked();
    event->accept();
}

Byouga::Byouga(AppState& state, QWidget* parent)
    : QDialog(parent), state_(state), host_(dynamic_cast<ViewerHost*>(parent)), interpreter_(state)
{
    setObjectName(QStringLiteral("Byouga"));
    setWindowTitle(QStringLiteral(u"描画"));
    setModal(true);
    BuildMenus();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    Area = new QWidget(this);
    Area->setObjectName(QStringLiteral("Area"));
    Area->installEventFilter(this);
    layout->addWidget(Area);

    Picture1 = new DrawingPicture(Area);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->hide();
    Image1 = new QLabel(Area);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->hide();
    Label1 = new QLabel(Area);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->hide();
    HScroll1 = new QScrollBar(Qt::Horizontal, Area);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->hide();
    VScroll1 = new QScrollBar(Qt::Vertical, Area);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->hide();
    for (QScrollBar* bar : {HScroll1, VScroll1}) {
        bar->setSingleStep(kSmallStep);
        connect(bar, &QScrollBar::valueChanged, this, &Byouga::Scrolled);
    }
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &Byouga::Timer1_Timer);
    connect(Picture1, &DrawingPicture::Clicked, this, &Byouga::Picture1_Click);

    interpreter_.status = [this](const QString& text) {
        if (host_ != nullptr)
            host_->SetStatusPanel(1, text);
    };
    interpreter_.yield = [] { YieldToEventLoopNow(); };
    const QSize screen = ScreenSize(this);
    interpreter_.screenSize = screen;
    resize(screen.width() * 3 / 4, screen.height() * 3 / 4);
}

Byouga::~Byouga() = default;

void Byouga::BuildMenus()
{
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption, auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    M_Gamen = menuBar->addMenu(QStringLiteral(u"画面(&G)"));
    M_Gamen->setObjectName(QStringLiteral("M_Gamen"));
    M_S_Ze = item(M_Gamen, "M_S_Ze", QStringLiteral(u"全面(&Z)"), [this] { M_S_Ze_Click(); });
    M_G_Matrix = item(M_Gamen, "M_G_Matrix", QStringLiteral("&Matrix"), [this] { M_G_Matrix_Click(); });
    M_G_Matrix_Step =
        item(M_Gamen, "M_G_Matrix_Step", QStringLiteral("Matrix_&Step"), [this] { M_G_Matrix_Step_Click(); });
    M_G_Print_1 = item(M_Gamen, "M_G_Print_1", QStringLiteral(u"画面印刷(&P)"), [this] { M_G_Print_Click(1); });
    M_G_Print_2 = item(M_Gamen, "M_G_Print_2", QStringLiteral(u"直接印刷(&D)"), [this] { M_G_Print_Click(2); });
    M_G_Close = item(M_Gamen, "M_G_Close", QStringLiteral(u"閉じる(&C)"), [this] { close(); });
    M_File = menuBar->addMenu(QStringLiteral(u"ﾌｧｲﾙ(&F)"));
    M_File->setObjectName(QStringLiteral("M_File"));
    M_F_Moto = item(M_File, "M_F_Moto", QStringLiteral(u"元の位置(&M)"), [this] { M_F_Moto_Click(); });
    M_F_Up = item(M_File, "M_F_Up", QStringLiteral(u"上へ(&U)"), [this] { M_F_Up_Click(); });
    M_F_Down = item(M_File, "M_F_Down", QStringLiteral(u"下へ(&D)"), [this] { M_F_Down_Click(); });
    M_F_save = item(M_File, "M_F_save", QStringLiteral(u"画像の保存(&S)"), [this] { M_F_save_Click(); });
    Menu_Help_B = menuBar->addMenu(QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    Menu_Help_B->setObjectName(QStringLiteral("Menu_Help_B"));
    Menu_H_M1 = item(Menu_Help_B, "Menu_H_M1", QStringLiteral(u"メニューの説明(&B)..."), [this] {
        const QString& br = state_.settings.LineBreak;
        const QStringList lines = {
            QStringLiteral(u"< 全面 >"), QStringLiteral(u"描画ダイアログが最大になる。"),
            QStringLiteral(u"表示領域をクリックすると元のサイズになる。"), QString(),
            QStringLiteral(u"< 画面印刷 >"), QStringLiteral(u"画面上に描画されたそのままを印刷する。"),
            QStringLiteral(u"(一般的に< 直接印刷 >より荒い感じ)"), QString(),
            QStringLiteral(u"< 直接印刷 >"), QStringLiteral(u"印刷する用紙上に描画する。印刷結果は、画面のドット密度とは"),
            QStringLiteral(u"違うため、画面上のものとは多少異なる。(一般的に画面より鮮明)"), QString(),
            QStringLiteral(u"< 画像の保存 >"),
            QStringLiteral(u"描画された図形を画像ファイル(ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ)として保存できる。")};
        state_.prompter.Message(lines.join(br), MsgIcon::Information, MsgButtons::Ok,
                                QStringLiteral(u"メニューの説明"));
    });
    Menu_H_M2 = item(Menu_Help_B, "Menu_H_M2", QStringLiteral(u"< Matrix >の説明(&M)..."), [this] {
        const QStringList lines = {
            QStringLiteral(u"< Matrix >"), QStringLiteral(u"Matrix,[[ｲﾝﾀｰﾊﾞﾙ],[文字数],[列数],[移動幅]]"), QString(),
            QStringLiteral(u"[ｲﾝﾀｰﾊﾞﾙ]：10～1000 (200)小さい数値にすると早くなる。"),
            QStringLiteral(u"[文字数] ： 6～50   (10) 縦表示する文字数"),
            QStringLiteral(u"[列数]   ：40～100  (50) 縦文字列を表示する列数"),
            QStringLiteral(u"[移動幅] ： 1～10   (5)  １回の移動で移動する長さ")};
        state_.prompter.Message(lines.join(state_.settings.LineBreak), MsgIcon::Information, MsgButtons::Ok,
                                QStringLiteral(u"< Matrix >の説明"));
    });
    Menu_H_M2->setVisible(false);
}

void Byouga::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        QTimer::singleShot(0, this, &Byouga::Form_Load);
    }
}

void Byouga::EndBusy()
{
    if (host_ != nullptr) {
        host_->SetDocumentCommandsEnabled(true);
        host_->SetStatusPanel(1, QString());
    }
    QApplication::restoreOverrideCursor();
    running_ = false;
}

void Byouga::Form_Load()
{
    restoreFlag_ = float(frameGeometry().height() - Area->height());
    matrixMode_ = false;
    surface_ = std::make_unique<DrawingSurface>(DefaultPictureSize(ScreenSize(this)));
    Picture1->SetSurface(surface_.get());
    running_ = true;
    for (QAction* a : {M_G_Print_1, M_G_Print_2, M_F_save, M_G_Matrix, M_G_Matrix_Step})
        a->setEnabled(false);
    if (host_ != nullptr) {
        host_->SetStatusPanel(1, QStringLiteral(u"描画処理中"));
        host_->SetDocumentCommandsEnabled(false);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    YieldToEventLoopNow();
    try {
        if (closePending_)
            throw RuntimeError(0);
        Picture1->show();
        interpreter_.ScanLabels();
        if (host_ != nullptr)
            host_->SetStatusPanel(1, QStringLiteral(u"描画処理中 ＼(^_^)／"));
        YieldToEventLoopNow();
        interpreter_.RunDrawing(*surface_, false);
        matrixMode_ = interpreter_.Matrix().on;
        Picture1->SetSurface(surface_.get());
        if (matrixMode_) {
            matrix_.Arm(interpreter_.Matrix());
            M_G_Print_1->setVisible(false);
            M_G_Print_2->setVisible(false);
            M_File->menuAction()->setVisible(false);
            Menu_H_M1->setVisible(false);
            Menu_H_M2->setVisible(true);
        } else {
            VScroll1->show();
            M_G_Matrix->setVisible(false);
            M_G_Matrix_Step->setVisible(false);
        }
        LayOut();
        EndBusy();
    } catch (const RuntimeError& e) {
        EndBusy();
        if (e.Number() != 0)
            ShowErrorReport(e, interpreter_.LineCounter());
    }
    for (QAction* a : {M_G_Print_1, M_G_Print_2, M_F_save, M_G_Matrix, M_G_Matrix_Step})
        a->setEnabled(true);
    Q_EMIT Loaded();
    if (closePending_)
        close();
}

void Byouga::ShowErrorReport(const RuntimeError& error, LineNumber line)
{
    Picture1->hide();
    VScroll1->hide();
    HScroll1->hide();
    Label1->setText(DrawingErrorText(error, line));
    Label1->setGeometry(8, 8, std::max(100, Area->width() - 16), std::max(40, Area->height() - 16));
    Label1->show();
}

bool Byouga::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Area && event->type() == QEvent::Resize)
        LayOut();
    return QDialog::eventFilter(watched, event);
}

void Byouga::LayOut()
{
    const int innerW = Area->width();
    const int innerH = Area->height();
    const QSize pic = Picture1->size();
    const bool shown = !Picture1->isHidden();
    int hb = HScroll1->isHidden() ? 0 : HScroll1->sizeHint().height();
    int vw = 0;
    if (innerH - hb > pic.height()) {
        VScroll1->hide();
        VScroll1->setValue(0);
    } else if (shown) {
        VScroll1->show();
        vw = VScroll1->sizeHint().width();
    }
    if (innerW - vw > pic.width()) {
        HScroll1->hide();
        HScroll1->setValue(0);
        hb = 0;
    } else if (shown) {
        HScroll1->show();
        hb = HScroll1->sizeHint().height();
        HScroll1->setGeometry(0, innerH - hb, innerW - vw, hb);
        // Pixels over the whole picture: no range cut.
        HScroll1->setMaximum(std::max(0, pic.width() - (innerW - vw)));
        HScroll1->setPageStep(std::max(1, (innerW - vw) / 2));
    }
    if (vw > 0) {
        VScroll1->setGeometry(innerW - vw, 0, vw, innerH);
        VScroll1->setMaximum(std::max(0, pic.height() - innerH + hb));
        VScroll1->setPageStep(std::max(1, (innerH - hb) / 2));
    }
    Scrolled();
    if (!Label1->isHidden())
        Label1->setGeometry(8, 8, std::max(100, innerW - 16), std::max(40, innerH - 16));
}

void Byouga::Scrolled()
{
    const int left = HScroll1->isHidden() ? 0 : -HScroll1->value();
    const int top = VScroll1->isHidden() ? 0 : -VScroll1->value();
    Picture1->move(left, top);
}

void Byouga::M_S_Ze_Click()
{
    restoreFlag_ = 120;
    showMaximized();
}

void Byouga::Picture1_Click()
{
    if (restoreFlag_ < 740) {
        restoreFlag_ = 740;
        showNormal();
    }
}

void Byouga::M_G_Matrix_Click()
{
    if (!surface_ || running_)
        return;
    if (Timer1->isActive()) {
        Timer1->stop();
        return;
    }
    matrix_.Start(*surface_);
    Timer1->start(matrix_.Interval());
}

void Byouga::M_G_Matrix_Step_Click()
{
    const std::optional<QString> answer = state_.prompter.Input(
        QStringLiteral(u"インターバルを指定してください。(10～1000)"), QStringLiteral("MATRIX"),
        QString::number(matrix_.Interval()));
    matrix_.SetInterval(MatrixIntervalFromAnswer(answer.value_or(QString())));
    if (Timer1->isActive())
        Timer1->setInterval(matrix_.Interval());
}

void Byouga::Timer1_Timer()
{
    if (!surface_ || running_)
        return;
    matrix_.Tick(*surface_);
    Picture1->update();
}

void Byouga::M_G_Print_Click(int index)
{
    if (running_ || !surface_)
        return;
    const QString text = (index == 1 ? QStringLiteral(u"画面 ") : QStringLiteral(u"直接 ")) + QStringLiteral(u"印刷します！");
    if (state_.prompter.Message(text, MsgIcon::Question, MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        if (index == 1)
            PrintScreen();
        else
            PrintDirect();
    } catch (const RuntimeError& e) {
        QApplication::restoreOverrideCursor();
        ReportError(state_, e, 0);
        return;
    }
    QApplication::restoreOverrideCursor();
}

void Byouga::PrintScreen()
{
    const bool vertical = !VScroll1->isHidden();
    VScroll1->hide();
    const QImage shot = Area->grab().toImage();
    if (vertical && !Picture1->isHidden())
        VScroll1->show();
    std::unique_ptr<PaintJob> page = BeginPrintJob(state_, state_.doc.DocumentName, windowTitle());
    if (!page)
        return;
    {
        QPainter& painter = page->Painter();
        const double dots = page->Device().logicalDpiX() / 96.0;  // 15 twips a pixel
        painter.save();
        painter.scale(dots, dots);
        painter.drawImage(0, 0, shot);
        painter.restore();
    }
    page->Commit();
}

void Byouga::PrintDirect()
{
    std::unique_ptr<PaintJob> page = BeginPrintJob(state_, state_.doc.DocumentName, windowTitle());
    if (!page)
        return;
    running_ = true;
    PrintOutcome outcome;
    {
        DrawingSurface surface(page->Device(), page->Painter());
        try {
            outcome.end = interpreter_.RunDrawing(surface, true);
        } catch (const RuntimeError& e) {
            outcome.error = e;
            outcome.errorLine = interpreter_.LineCounter();
        }
    }
    running_ = false;
    // The page so far is printed; then the user learns why it is short.
    page->Commit();
    if (host_ != nullptr)
        host_->SetStatusPanel(1, QString());
    if (outcome.error)
        state_.prompter.Message(DrawingErrorText(*outcome.error, outcome.errorLine), MsgIcon::Critical);
    if (closePending_)
        close();
}

void Byouga::M_F_Moto_Click()
{
    HScroll1->setValue(0);
    VScroll1->setValue(0);
    Picture1->move(0, 0);
    LayOut();
}

void Byouga::M_F_Up_Click()
{
    VScroll1->setValue(std::max(0, VScroll1->value() - Area->height() / 2));
    LayOut();
}

void Byouga::M_F_Down_Click()
{
    VScroll1->setValue(std::min(VScroll1->maximum(), VScroll1->value() + Area->height() / 2));
    LayOut();
}

void Byouga::M_F_save_Click()
{
    if (!surface_ || running_)
        return;
    const QString folder = QDir::currentPath();
    FileDialogRequest request;
    request.title = QStringLiteral(u"画像の保存");
    request.filter = QStringLiteral(u"すべてのファイル (*.*)|*.*|ビットマップ ファイル (*.bmp)|*.bmp|");
    request.filterIndex = 2;
    request.initialName = QStringLiteral("XXXXXX.BMP");
    request.initialFolder = folder;
    try {
        const QString path = state_.prompter.SaveFileName(request);
        if (!path.isEmpty() && ConfirmDrawingTarget(state_, path))
            SaveDrawingPicture(surface_->Image(), path, "bmp");
    } catch (const RuntimeError& e) {
        if (e.Number() != Err::DialogCancelled)
            ReportError(state_, e, 0);
    }
    QDir::setCurrent(folder);
}

void Byouga::reject()
{
    close();
}

void Byouga::closeEvent(QCloseEvent* event)
{
    if (running_) {
        // The run stops at its next step; the window closes after it.
        state_.BusyFlag = false;
        closePending_ = true;
        event->ignore();
        return;
    }
    Timer1->stop();
    Picture1->SetSurface(nullptr);
    surface_.reset();
    event->accept();
    QDialog::reject();
}

}  // namespace kolbran
