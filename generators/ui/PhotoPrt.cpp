#include "generators/ui/PhotoPrt.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/FileListing.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"
#include "core/ui/DriveList.h"
#include "core/ui/FileList.h"
#include "core/ui/FolderList.h"
#include "images/ui/Betsu.h"
#include "core/PaintJob.h"
#include "core/ui/PrintDevice.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kolbran {

namespace {

// The canvas Picture1: shows the list's persistent image.
class ListCanvas final : public QWidget {
public:
    ListCanvas(const QImage& image, QWidget* parent) : QWidget(parent), image_(image)
    {
        setFixedSize(kListCanvasWidth, kListCanvasHeight);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, image_);
    }

private:
    const QImage& image_;
};

class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};

QAction* AddAction(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

PhotoPrt::PhotoPrt(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("PhotoPrt"));
    setWindowTitle(QStringLiteral(u"画像ﾌｧｲﾙ一覧表示"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    canvas_ = QImage(kListCanvasWidth, kListCanvasHeight, QImage::Format_RGB32);
    canvas_.fill(Qt::white);
    OpenImageWindow = [this] { ShowImageWindow(state_, this); };
    BuildControls();
    BuildMenus();
    Form_Load();
    resize(1000, 720);
}

PhotoPrt::~PhotoPrt() = default;

void PhotoPrt::BuildControls()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Picture3 = new QFrame(this);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    auto* strip = new QHBoxLayout(Picture3);
    strip->setContentsMargins(4, 4, 4, 4);
    Command4 = Button(QStringLiteral(u"表　示"), "Command4", Picture3);
    Command5 = Button(QStringLiteral(u"画面クリア(&C)"), "Command5", Picture3);
    Command1 = Button(QStringLiteral(u"<<前頁(&B)"), "Command1", Picture3);
    Command3 = Button(QStringLiteral(u"次頁>>(&N)"), "Command3", Picture3);
    Command2 = Button(QStringLiteral(u"閉じる(&X)"), "Command2", Picture3);
    for (QPushButton* b : {Command4, Command5, Command1, Command3})
        strip->addWidget(b);
    strip->addStretch(1);
    strip->addWidget(Command2);
    column->addWidget(Picture3);

    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    Picture2 = new QFrame(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFixedWidth(220);
    auto* left = new QVBoxLayout(Picture2);
    left->setContentsMargins(4, 4, 4, 4);
    Label1 = new QLabel(Picture2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Drive1 = new DriveList(Picture2);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new FolderList(Picture2);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Label2 = new QLabel(Picture2);
    Label2->setObjectName(QStringLiteral("Label2"));
    File1 = new FileList(Picture2);
    File1->setObjectName(QStringLiteral("File1"));
    Combo1 = new QComboBox(Picture2);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    left->addWidget(Label1);
    left->addWidget(Drive1);
    left->addWidget(Dir1, 1);
    left->addWidget(Label2);
    left->addWidget(File1, 1);
    left->addWidget(Combo1);
    row->addWidget(Picture2);

    Scroll = new QScrollArea(this);
    Scroll->setObjectName(QStringLiteral("Scroll"));
    Picture1 = new ListCanvas(canvas_, Scroll);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->installEventFilter(this);
    Scroll->setWidget(Picture1);
    Scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    HScroll1 = Scroll->horizontalScrollBar();
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    VScroll1 = Scroll->verticalScrollBar();
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    row->addWidget(Scroll, 1);
    column->addLayout(row, 1);

    for (size_t i = 0; i < Line2.size(); ++i) {
        auto* line = new QFrame(Picture1);
        line->setObjectName(QStringLiteral("Line2_%1").arg(i));
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, QColor(128, 0, 128));  // colour 5
        line->setPalette(palette);
        line->hide();
        Line2[i] = line;
    }

    connect(Command4, &QPushButton::clicked, this, &PhotoPrt::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &PhotoPrt::Command5_Click);
    connect(Command1, &QPushButton::clicked, this, &PhotoPrt::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &PhotoPrt::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    connect(Dir1, &FolderList::PathChanged, this, &PhotoPrt::Dir1_Change);
    connect(Drive1, &DriveList::DriveChanged, this, &PhotoPrt::Drive1_Change);
}

void PhotoPrt::BuildMenus()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MenuBar"));
    static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);
    QMenu* file = bar->addMenu(QStringLiteral(u"ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("M_File"));
    M_File_EXE = AddAction(file, QStringLiteral("M_File_EXE"), QStringLiteral(u"表示(&E)"));
    M_File_Cls = AddAction(file, QStringLiteral("M_File_Cls"), QStringLiteral(u"画面クリア(&C)"));
    file->addSeparator();
    M_File_Lprt = AddAction(file, QStringLiteral("M_File_Lprt"), QStringLiteral(u"一覧印刷(&P)"));
    file->addSeparator();
    M_File_Back = AddAction(file, QStringLiteral("M_File_Back"), QStringLiteral(u"前頁(&B)"));
    M_File_Next = AddAction(file, QStringLiteral("M_File_Next"), QStringLiteral(u"次頁(&N)"));
    file->addSeparator();
    M_File_Close = AddAction(file, QStringLiteral("M_File_Close"), QStringLiteral(u"閉じる(&X)"));
    QMenu* help = bar->addMenu(QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("M_Help"));
    M_Help_USE = AddAction(help, QStringLiteral("M_Help_USE"), QStringLiteral(u"使い方(&U)"));
    connect(M_File_EXE, &QAction::triggered, this, &PhotoPrt::Command4_Click);
    connect(M_File_Cls, &QAction::triggered, this, &PhotoPrt::Command5_Click);
    connect(M_File_Lprt, &QAction::triggered, this, &PhotoPrt::M_File_Lprt_Click);
    connect(M_File_Back, &QAction::triggered, this, &PhotoPrt::Command1_Click);
    connect(M_File_Next, &QAction::triggered, this, &PhotoPrt::Command3_Click);
    connect(M_File_Close, &QAction::triggered, this, [this] { close(); });
    connect(M_Help_USE, &QAction::triggered, this, &PhotoPrt::M_Help_USE_Click);
}

void PhotoPrt::Form_Load()
{
    AttributeFilter all;
    all.normal = all.archive = all.readOnly = all.hidden = all.system = true;
    File1->SetFilter(all);
    startFolder_ = QDir::currentPath();
    File1->SetFolder(startFolder_);
    Dir1->SetPath(startFolder_);
    Drive1->SetDrives();
    Drive1->SetDriveOf(startFolder_);
    Combo1->addItems(ImageListPatterns());
    Combo1->setCurrentIndex(ImageListPatternIndex(state_.settings.AlbumFileType));
    File1->SetPattern(Combo1->currentText());
    connect(Combo1, &QComboBox::currentIndexChanged, this, &PhotoPrt::Combo1_Click);
    UpdateCount();
    hover_ = pressed_ = -1;
    pressedButton_ = Qt::NoButton;
    page_ = 1;
    printValue_ = ImageListPrintValueOf(state_.settings.ImageListPrintValue);
    Picture1->setEnabled(false);
    SetSelectMode(true);
    Command1->setEnabled(false);
    Command3->setEnabled(false);
}

void PhotoPrt::UpdateCount()
{
    Label2->setText(ImageListCountText(int(File1->Entries().size())));
}

void PhotoPrt::Dir1_Change(const QString& folder)
{
    File1->SetFolder(folder);
    QDir::setCurrent(folder);
    UpdateCount();
}

void PhotoPrt::Drive1_Change(const QString& root)
{
    const QString remembered = Dir1->Path();
    if (!IsFolder(root) || !QDir(root).isReadable()) {
        state_.prompter.Message(ErrorDescription(Err::DiskNotReady), MsgIcon::None, MsgButtons::Ok);
        Drive1->SetDriveOf(remembered);
        return;
    }
    Dir1->SetPath(root);
    Dir1_Change(Dir1->Path());
}

void PhotoPrt::Combo1_Click(int index)
{
    if (index < 0)
        return;
    File1->SetPattern(Combo1->itemText(index));
    UpdateCount();
}

void PhotoPrt::SetSelectMode(bool on)
{
    selecting_ = on;
    ApplyEnabled();
}

void PhotoPrt::ApplyEnabled()
{
    const bool idle = !running_;
    for (QWidget* w : {static_cast<QWidget*>(Dir1), static_cast<QWidget*>(Drive1), static_cast<QWidget*>(Combo1),
                       static_cast<QWidget*>(File1)})
        w->setEnabled(selecting_ && idle);
    M_File_Lprt->setEnabled(!selecting_ && idle);
    M_File_Back->setEnabled(!selecting_ && idle);
    M_File_Next->setEnabled(!selecting_ && idle);
    Command1->setEnabled(!selecting_ && idle && page_ > 1);
    Command3->setEnabled(!selecting_ && idle && page_ < pageCount_);
    Command4->setEnabled(idle);
    Command5->setEnabled(idle);
    M_File_EXE->setEnabled(idle);
    M_File_Cls->setEnabled(idle);
}

void PhotoPrt::ClearCanvas()
{
    canvas_.fill(Qt::white);
    cells_.clear();
    BarFunc(0, 15);
    Picture1->update();
}

void PhotoPrt::BeginRun()
{
    running_ = true;
    stop_ = false;
    ApplyEnabled();
}

void PhotoPrt::EndRun()
{
    running_ = false;
    ApplyEnabled();
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

bool PhotoPrt::Step()
{
    YieldToEventLoopNow();
    return !stop_;
}

void PhotoPrt::Command4_Click()
{
    if (running_)
        return;
    Picture1->setEnabled(true);
    ClearCanvas();
    SetSelectMode(false);
    {
        BusyPointer busy;
        File1->Refresh();
        UpdateCount();
        QDir::setCurrent(File1->Folder());
        names_ = File1->FileNames();
        count_ = int(names_.size());
        page_ = 1;
        pageCount_ = ImageListPageCount(count_);
        if (count_ >= 1) {
            DrawPage(1);
            return;
        }
    }
    Command5_Click();
    state_.prompter.Message(QStringLiteral(u"対象ファイルがありません。"), MsgIcon::Warning);
}

void PhotoPrt::DrawPage(int page)
{
    BusyPointer busy;
    page_ = page;
    Label1->setText(ImageListPageText(page_, pageCount_));
    BeginRun();
    QPainter painter(&canvas_);
    cells_ = DrawListPage(painter, File1->Folder(), names_, page_, [this] {
        Picture1->update();
        return Step();
    });
    painter.end();
    Picture1->update();
    EndRun();
}

void PhotoPrt::Command1_Click()
{
    if (running_ || selecting_ || page_ <= 1)
        return;
    ClearCanvas();
    DrawPage(page_ - 1);
}

void PhotoPrt::Command3_Click()
{
    if (running_ || selecting_ || page_ >= pageCount_)
        return;
    ClearCanvas();
    DrawPage(page_ + 1);
}

void PhotoPrt::Command5_Click()
{
    if (running_)
        return;
    ClearCanvas();
    Label1->clear();
    Picture1->setEnabled(false);
    hover_ = pressed_ = -1;
    pressedButton_ = Qt::NoButton;
    count_ = 0;
    names_.clear();
    pageCount_ = 0;
    page_ = 1;
    SetSelectMode(true);
}

void PhotoPrt::BarFunc(int index, int mode)
{
    if (index < 0)
        return;
    if (mode == 15) {
        for (QFrame* line : Line2)
            line->hide();
        rectangleHidden_ = true;
        return;
    }
    const QRect s = ImageListSelectionSquare(index, page_);
    const int x1 = s.left(), y1 = s.top(), x2 = s.right(), y2 = s.bottom();
    Line2[0]->setGeometry(x1 - 1, y1 - 1, x2 - x1 + 2, 2);  // top
    Line2[1]->setGeometry(x2 - 1, y1 - 1, 2, y2 - y1 + 2);  // right
    Line2[2]->setGeometry(x1 - 1, y2 - 1, x2 - x1 + 2, 2);  // bottom
    Line2[3]->setGeometry(x1 - 1, y1 - 1, 2, y2 - y1 + 2);  // left
    for (QFrame* line : Line2) {
        line->show();
        line->raise();
    }
    rectangleHidden_ = false;
}

void PhotoPrt::Picture1_MouseMove(const QPoint& at)
{
    if (selecting_)
        return;
    hover_ = ImageListCellAt(at, page_, count_);
    if (pressed_ < 0)
        return;
    if (!rectangleHidden_ && (hover_ == -1 || hover_ != pressed_))
        BarFunc(pressed_, 15);
    else if (rectangleHidden_ && hover_ == pressed_)
        BarFunc(pressed_, 5);
}

void PhotoPrt::Picture1_MouseDown(Qt::MouseButton button)
{
    if (selecting_ || running_ || pressedButton_ != Qt::NoButton)
        return;
    if (hover_ != -1 && hover_ != pressed_) {
        BarFunc(hover_, 5);
        pressed_ = hover_;
        pressedButton_ = button;
    }
}

void PhotoPrt::Picture1_MouseUp(Qt::MouseButton button)
{
    if (button != pressedButton_)
        return;
    const int pressed = pressed_;
    pressed_ = -1;
    pressedButton_ = Qt::NoButton;
    if (pressed < 0 || pressed >= count_ || pressed >= names_.size())
        return;
    if (!rectangleHidden_)
        BarFunc(pressed, 15);
    if (hover_ == pressed && !running_) {
        state_.TargetFilePath = names_[pressed];
        state_.OpenedFromBrowser = 0;
        try {
            OpenImageWindow();
        } catch (const RuntimeError& e) {
            ReportError(state_, e, 1);
        }
    }
}

bool PhotoPrt::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Picture1) {
        switch (event->type()) {
        case QEvent::MouseMove:
            Picture1_MouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            Picture1_MouseMove(mouse->position().toPoint());
            Picture1_MouseDown(mouse->button());
            return true;
        }
        case QEvent::MouseButtonRelease:
            Picture1_MouseUp(static_cast<QMouseEvent*>(event)->button());
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PhotoPrt::M_File_Lprt_Click()
{
    if (running_ || selecting_)
        return;
    const QString& br = state_.settings.LineBreak;
    const MsgAnswer answer = state_.prompter.Message(
        QStringLiteral(u"はい：現在表示のページをそのまま印刷") + br + QStringLiteral(u"いいえ：印刷領域に合わせて一覧印刷") + br +
            QStringLiteral(u"キャンセル：印刷しない。"),
        MsgIcon::None, MsgButtons::YesNoCancel);
    if (answer != MsgAnswer::Yes && answer != MsgAnswer::No)
        return;
    BeginRun();
    try {
        // The PDF without a printer is named after the listed folder.
        if (const std::unique_ptr<PaintJob> job = BeginPrintJob(state_, File1->Folder(), windowTitle())) {
            BusyPointer busy;
            if (answer == MsgAnswer::Yes) {
                PrintCanvas(job->Painter(), job->Device(), canvas_);
                job->Commit();
            } else {
                const FittedResult result = PrintFittedList(job->Painter(), job->Device(), File1->Folder(), names_,
                                                            printValue_, nullptr, [this] { return Step(); });
                if (result == FittedResult::Printed) {
                    job->Commit();
                } else {
                    job->Discard();
                    if (result == FittedResult::TooSmall)
                        state_.prompter.Message(FittedTooSmallText(), MsgIcon::Warning);
                }
            }
        }
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
    EndRun();
}

void PhotoPrt::M_Help_USE_Click()
{
    const QString& br = state_.settings.LineBreak;
    const QStringList lines = {
        QStringLiteral(u"< 使い方 >"),
        QStringLiteral(u"①ダイアログ左側にあるﾄﾞﾗｲﾌﾞﾘｽﾄﾎﾞｯｸｽ、ﾌｧｲﾙﾘｽﾄﾎﾞｯｸｽなどで"),
        QStringLiteral(u"　画像ファイルがあるフォルダを選択する。"),
        QStringLiteral(u"②[表示]ボタンをクリックすると、対象ファイル一覧が右側に表示されます。"),
        QStringLiteral(u"③１頁に１６画像づつ表示されます。[次頁>>]ボタンでそれ以降が表示されます。"),
        QStringLiteral(u"④一覧印刷するには、一覧を表示した状態でメインメニュー[ﾌｧｲﾙ]->[一覧印刷]"),
        QStringLiteral(u"⑤一覧表示の各要素をクリックすると選択された画像が原寸サイズで別の"),
        QStringLiteral(u"　ダイアログに表示されます。"),
        QStringLiteral(u"⑥別のフォルダのファイルを表示するには、[画面クリア]ボタンをクリック"),
        QStringLiteral(u"　してから、①②の操作を行ってください。")};
    QString text;
    for (const QString& l : lines)
        text += l + br;
    state_.prompter.Message(text, MsgIcon::None, MsgButtons::Ok, QStringLiteral(u"画像一覧表示の使い方"));
}

void PhotoPrt::closeEvent(QCloseEvent* event)
{
    if (running_) {
        stop_ = true;
        closePending_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void PhotoPrt::done(int result)
{
    if (running_) {
        stop_ = true;
        closePending_ = true;
        return;
    }
    if (QDir::currentPath() != startFolder_)
        QDir::setCurrent(startFolder_);
    QDialog::done(result);
}

void ShowImageList(AppState& state, QWidget* parent)
{
    PhotoPrt window(state, parent);
    window.exec();
}

}  // namespace kolbran
