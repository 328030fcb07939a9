#include "viewer/ui/LogFile.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/LongRun.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "core/Twips.h"
#include "viewer/LineLoader.h"
#include "core/Numbers.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <utility>

namespace kolbran {

namespace {

// One growing rectangle of the opening animation: filled with the window's background
// and outlined with the default black pen.
class AnimationOverlay final : public QWidget {
public:
    explicit AnimationOverlay(const QColor& fill)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint), fill_(fill)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setObjectName(QStringLiteral("OpeningAnimation"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(Qt::black);
        p.setBrush(fill_);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    QColor fill_;
};

}  // namespace

LogFile::LogFile(AppState& state, const QString& commandLine, QWidget* parent)
    : QMainWindow(parent), state_(state)
{
    setObjectName(QStringLiteral("LogFile"));
    BuildControls();
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();
    RouteCommands();
    state_.OpenInViewer = [this](const QString& path) { OpenPath(path); };
    state_.RefreshScreen = [this] { DispR(); };
    state_.RunsChanged = [this](bool going) { RunsChanged(going); };
    Form_Load(commandLine);
}

LogFile::~LogFile()
{
    state_.OpenInViewer = nullptr;
    state_.RefreshScreen = nullptr;
    state_.RunsChanged = nullptr;
}

void LogFile::BuildControls()
{
    Form_ = new QWidget(this);
    Form_->setObjectName(QStringLiteral("Form"));
    Form_->setMouseTracking(true);
    Form_->installEventFilter(this);
    setCentralWidget(Form_);

    Picture4 = new QWidget(Form_);
    Picture4->setObjectName(QStringLiteral("Picture4"));
    Label9 = new QLabel(Picture4);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label9->setTextFormat(Qt::PlainText);
    Line5 = new QFrame(Picture4);
    Line5->setObjectName(QStringLiteral("Line5"));
    Line5->setFrameShape(QFrame::NoFrame);
    Line5->setAutoFillBackground(true);
    QPalette markerPalette = Line5->palette();
    markerPalette.setColor(QPalette::Window, Qt::red);
    Line5->setPalette(markerPalette);

    Text1 = new QPlainTextEdit(Form_);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setUndoRedoEnabled(false);
    // The text area has no menu of its own (Qt's would be English "Copy / Select All").
    Text1->setContextMenuPolicy(Qt::NoContextMenu);
    Text1->installEventFilter(this);
    Text1->viewport()->installEventFilter(this);

    List1 = new QListWidget(Form_);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setFocusPolicy(Qt::NoFocus);
    List1->setContextMenuPolicy(Qt::NoContextMenu);
    List1->setUniformItemSizes(true);
    List1->setVisible(false);
    List1->viewport()->installEventFilter(this);

    VScroll1 = new QScrollBar(Qt::Vertical, Form_);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setFocusPolicy(Qt::StrongFocus);
    VScroll1->setContextMenuPolicy(Qt::NoContextMenu);
    VScroll1->setRange(1, 1);
    VScroll1->setVisible(false);
    connect(VScroll1, &QScrollBar::valueChanged, this, &LogFile::VScroll1_Change);

    Line4 = new QFrame(Form_);
    Line4->setObjectName(QStringLiteral("Line4"));
    Line4->setFrameShape(QFrame::VLine);
    Line4->setFrameShadow(QFrame::Plain);
    Line4->setLineWidth(2);
    Line4->setVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &LogFile::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    connect(Timer2, &QTimer::timeout, this, &LogFile::Timer2_Timer);
}

void LogFile::Form_Load(const QString& commandLine)
{
    ViewerSettings& s = state_.settings;
    fitWidth_ = false;
    setWindowTitle(QStringLiteral("Kolbran"));
    Label9->setText(RulerText());

    LoadSettings(state_);
    RefreshRecentMenu();
    ApplySettingsToControls();
    MeasureFont();

    QAction* tool = items_.value(QStringLiteral("Menu_Disp_Tool"));
    QAction* memo = items_.value(QStringLiteral("Menu_Disp_Memo"));
    QAction* stat = items_.value(QStringLiteral("Menu_Disp_Stat"));
    tool->setChecked(s.ToolbarVisible);
    memo->setChecked(s.RulerVisible);
    stat->setChecked(s.StatusBarVisible);
    Toolbar1->setVisible(s.ToolbarVisible);
    Picture4->setVisible(s.RulerVisible);
    StatusBar1->setVisible(s.StatusBarVisible);

    ApplyAvailability();
    ResetToNoDocument(false);
    items_.value(QStringLiteral("Menu_Disp_Nashi"))->setEnabled(false);
    // The BASE64 decoding of lines is a debugging aid.
    items_.value(QStringLiteral("Menu_Edit_Line_4"))->setVisible(IsDebugFlag(s, 2) == 1);

    const int widthTwips = StartWindowWidthTwips(s);
    const QRect screen = (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    const int width = std::min(TwipsToPixels(widthTwips), screen.width());
    resize(width, height());
    LayOutHeights();
    LayOutWidths();
    move(screen.left() + CenteredStart(screen.width(), width),
         screen.top() + std::max(0, CenteredStart(screen.height(), windowHeight_)));

    if (s.StartupAnimation == 1)
        RunOpeningAnimation();
    show();
    LayOutWidths();

    QString name;
    if (!commandLine.isEmpty()) {
        if (IsDebugFlag(s, 1) == 1)
            state_.prompter.Message(CommandLineDebugMessage(commandLine));
        name = SplitCommandPath(state_, commandLine);
        if (IsDebugFlag(s, 1) == 1)
            state_.prompter.Message(SplitNameDebugMessage(name));
        if (!CheckFileExists(state_, name)) {
            state_.doc.DocumentName = name;
            scanning_ = true;
            {
                LongRun scan(state_);
                PrOpen(state_, *this, name);
            }
            scanning_ = false;
            SetTimer1Enabled(state_.doc.HasFile());
            if (state_.doc.HasFile())
                AddRecent();
            LayOutWidths();
        }
    }
    if (IsDrawingFileName(name) && state_.doc.HasFile())
        LaunchTool(QStringLiteral("Menu_Trans_Byg"));
}

void LogFile::ApplySettingsToControls()
{
    const ViewerSettings& s = state_.settings;
    QFont font = Text1->font();
    const QString family = FontNameForIndex(s.FontIndex);
    if (!family.isEmpty())
        font.setFamily(family);
    if (s.FontSize > 0)
        font.setPointSizeF(s.FontSize);
    // Japanese text needs no shaping; skipping it makes a screen refresh several times faster.
    font.setStyleStrategy(QFont::PreferNoShaping);
    Text1->setFont(font);
    List1->setFont(font);
    Label9->setFont(font);
    for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(List1)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, ColorFromBgr(s.BackColor));
        p.setColor(QPalette::Text, ColorFromBgr(s.ForeColor));
        w->setPalette(p);
    }
}

void LogFile::MeasureFont()
{
    // Line height: half the height of a two-line text, as the text box lays it out.
    const QFontMetricsF metrics(Text1->font());
    QTextDocument probe;
    probe.setDocumentLayout(new QPlainTextDocumentLayout(&probe));
    probe.setDefaultFont(Text1->font());
    probe.setDocumentMargin(0);
    // Each line holds what a screen may show: Japanese text, half-width kana, and the
    // glyphs that come from fallback fonts (raw EUC under 標準, replacement characters,
    // the pictures of lone CR and LF), which may be taller than the text's own font.
    probe.setPlainText(QStringLiteral(u"\n1あ漢ｱ､｢\uFFFD\u240D\u240A"));
    auto* layout = probe.documentLayout();
    const qreal tallest = std::max(layout->blockBoundingRect(probe.firstBlock()).height(),
                                   layout->blockBoundingRect(probe.lastBlock()).height());
    lineHeight_ = std::max(1, int(std::ceil(tallest)));
    charWidth_ = std::max(1, int(std::lround(metrics.horizontalAdvance(QStringLiteral("12")) / 2.0)));
    VScroll1->setPageStep(std::max(1, state_.settings.LinesPerScreen - 1));
    for (int i = 0; i < List1->count(); ++i)
        List1->item(i)->setSizeHint(QSize(0, lineHeight_));
}

void LogFile::RunOpeningAnimation()
{
    // Each rectangle covers the one before, so a window resized to it draws the same picture.
    AnimationOverlay overlay(palette().color(QPalette::Window));
    bool first = true;
    for (const QRect& step : OpeningAnimationRects(geometry())) {
        overlay.setGeometry(step.adjusted(0, 0, 1, 1));
        if (first)
            overlay.show();
        first = false;
        overlay.repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    overlay.hide();
}

void LogFile::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    ViewerSettings& s = state_.settings;
    Timer1->stop();
    Timer2->stop();
    const int width = WidthToStoreTwips(isMinimized(), fitWidth_, PixelsToTwips(savedWidth_), PixelsToTwips(this->width()));
    // The record holds a 16-bit value; a wider window is stored as the widest it can hold.
    if (width >= 0)
        s.WindowWidth = int16_t(std::min(width, 32767));
    ResetDocumentState(state_);
    try {
        SaveSettings(s);
    } catch (const RuntimeError& e) {
        if (IsDebugFlag(s, 1) == 1) {
            state_.prompter.Message(UnloadDebugMessage(s.SettingsPath), MsgIcon::None, MsgButtons::Ok,
                                    kUnloadDebugTitle);
            ReportError(state_, e, 0);
        }
    }
    CloseSearchWindows();
    Q_EMIT Unloaded();
}

void LogFile::Menu_File_Quit_Click()
{
    close();
}

void LogFile::closeEvent(QCloseEvent* event)
{
    if (RunGoing(state_)) {
        // The run is cancelled first; the window closes once it has stopped.
        state_.BusyFlag = false;
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void LogFile::RunsChanged(bool going)
{
    // The menu bar's menus are disabled one by one (disabling the bar itself would reset
    // the menus' own states when it is enabled again); the toolbar as a whole, whose
    // buttons keep their states underneath.
    Toolbar1->setEnabled(!going);
    if (going) {
        for (QAction* menu : menuBar()->actions())
            if (!runHeld_.contains(menu)) {
                runHeld_.insert(menu, menu->isEnabled());
                menu->setEnabled(false);
            }
        return;
    }
    const QMap<QAction*, bool> held = std::exchange(runHeld_, {});
    for (auto it = held.constBegin(); it != held.constEnd(); ++it)
        it.key()->setEnabled(it.value());
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        pendingDrop_.clear();
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    if (!pendingDrop_.isEmpty()) {
        const QString path = std::exchange(pendingDrop_, QString());
        const bool onText = pendingDropOnText_;
        QTimer::singleShot(0, this, [this, path, onText] { DropFile(path, onText); });
    }
}

void LogFile::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && state_.settings.SearchListOpen)
        ShowResultList(!isMinimized());
}

void LogFile::dragEnterEvent(QDragEnterEvent* event)
{
    if (windowDropTarget_ && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void LogFile::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!windowDropTarget_ || urls.isEmpty())
        return;
    event->acceptProposedAction();
    DropFile(urls.first().toLocalFile(), false);
}

int LogFile::LineNumberListWidth() const
{
    const QString widest = FormatLineNumber(std::max<int64_t>(1, state_.doc.LineCount));
    const int text = QFontMetrics(List1->font()).horizontalAdvance(widest);
    // The frame and the item's own margins on both sides.
    const int margins = 2 * List1->frameWidth() + 2 * (List1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 3);
    return std::max(TwipsToPixels(900), text + margins);
}

}  // namespace kolbran
