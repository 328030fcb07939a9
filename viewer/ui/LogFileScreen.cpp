// The viewport of the main window: the screen refresh, the scroll bar, the keys of the text
// area, the caret tracker, auto-scroll and the layout.
#include "viewer/ui/LogFile.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/Twips.h"
#include "viewer/LineLoader.h"
#include "viewer/ScreenText.h"
#include "viewer/Viewport.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace kolbran {

namespace {

int64_t Possible(const AppState& s)
{
    return PossibleTopLines(s.doc.LineCount, s.settings.LinesPerScreen);
}

int64_t TopLineForValue(const AppState& s, int value)
{
    return ScrollValueToTopLine(value, s.doc.LineCount, s.settings.LinesPerScreen);
}

}  // namespace

// Only CR LF ends a line. A lone CR or LF is data, shown as its control picture so that the
// text box keeps one row per line and every character keeps its position.
QString ShowLoneLineBreaks(QString text)
{
    const qsizetype n = text.size();
    QChar* c = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        if (c[i] == u'\r' && !(i + 1 < n && c[i + 1] == u'\n'))
            c[i] = QChar(0x240D);
        else if (c[i] == u'\n' && !(i > 0 && text.at(i - 1) == u'\r'))
            c[i] = QChar(0x240A);
    }
    return text;
}

// --- the screen ---

void LogFile::DispR()
{
    OpenDocument& doc = state_.doc;
    if (!doc.HasFile())
        return;
    TraceAppend(state_, QStringLiteral("->DispR"));
    if (doc.TopLine < 1)
        doc.TopLine = 1;
    ScreenContent screen;
    try {
        screen = BuildCurrentScreen(state_);
    } catch (const RuntimeError&) {
        return;  // a failed read leaves the screen as it was
    }
    doc.TopLine = screen.topLine;
    if (state_.settings.LineNumbersVisible) {
        List1->setUpdatesEnabled(false);
        List1->clear();
        for (const QString& number : screen.lineNumbers) {
            auto* entry = new QListWidgetItem(number, List1);
            entry->setSizeHint(QSize(0, lineHeight_));
        }
        List1->setUpdatesEnabled(true);
    }
    Text1->setPlainText(ShowLoneLineBreaks(screen.text));
}

void LogFile::VScroll1_Change(int value)
{
    lastScrollValue_ = value;
    state_.doc.TopLine = TopLineFromScrollMove(value, Possible(state_));
    if (!suppressRedraw_)
        DispR();
}

int LogFile::ScrollValue() const
{
    return VScroll1->value();
}

void LogFile::SetScrollValue(int value)
{
    VScroll1->setValue(value);
}

void LogFile::SetScrollBarEnabled(bool enabled)
{
    VScroll1->setEnabled(enabled);
}

void LogFile::SetScrollLargeChange(int lines)
{
    VScroll1->setPageStep(std::max(1, lines));
}

// --- status fields and the caret tracker ---

void LogFile::GyoDisp(int64_t line)
{
    if (line < 0) {
        caretLine_ = 0;
        SetStatusPanel(2, QStringLiteral(u"行:"));
    } else {
        caretLine_ = line;
        SetStatusPanel(2, QStringLiteral(u"行:") + FormatCount(line));
    }
}

void LogFile::RetsuDisp(int64_t column)
{
    SetStatusPanel(3, column < 0 ? QStringLiteral(u"列:") : QStringLiteral(u"列:") + StrNumber(qint64(column)));
}

bool LogFile::Timer1Enabled() const
{
    return Timer1->isActive();
}

void LogFile::SetTimer1Enabled(bool enabled)
{
    if (enabled)
        Timer1->start();
    else
        Timer1->stop();
}

void LogFile::Timer1_Timer()
{
    OpenDocument& doc = state_.doc;
    if (doc.LineCount <= 0)
        return;
    const QTextCursor cursor = Text1->textCursor();
    const QTextBlock block = cursor.block();
    const int row = block.blockNumber();
    const int64_t line = doc.TopLine + row;
    if (line != shownCaretLine_) {
        GyoDisp(line);
        shownCaretLine_ = line;
    }
    // The text box shows each CR LF as one line break: the rows above the caret count their
    // Shift_JIS bytes and two for the line end.
    int64_t screenBytes = 0;
    for (QTextBlock b = Text1->document()->firstBlock(); b.isValid() && b != block; b = b.next())
        screenBytes += SjisLength(b.text()) + 2;
    // B0: the bytes from the top of the screen to the caret line, from the index (UTF-16
    // documents: the Shift_JIS length of the screen text up to that line).
    const int64_t bytesBefore =
        doc.IsUtf16 ? screenBytes : GetLineStart(state_, line) - GetLineStart(state_, doc.TopLine);
    const QString left = block.text().left(cursor.positionInBlock());
    const int64_t column = screenBytes + CaretColumn(left, bytesBefore);
    if (state_.settings.LineNumbersVisible && row < List1->count())
        List1->setCurrentRow(row);
    if (column != shownCaretColumn_) {
        RetsuDisp(column);
        MoveLine5(column);
        shownCaretColumn_ = column;
    }
}

void LogFile::MoveLine5(int64_t column)
{
    // Offset of the text inside its box, so that the marker stands over the caret column.
    const int inset = Text1->frameWidth() + int(Text1->document()->documentMargin());
    Line5->move(inset + int(charWidth_ * std::max<int64_t>(0, column)) + TwipsToPixels(10), 0);
}

// --- keys of the text area ---

void LogFile::SetCaretRowColumn(int row, int column)
{
    QTextBlock block = Text1->document()->findBlockByNumber(row);
    if (!block.isValid())
        block = Text1->document()->lastBlock();
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::min(column, std::max(0, block.length() - 1)));
    Text1->setTextCursor(cursor);
}

bool LogFile::Text1_KeyDown(QKeyEvent* event)
{
    const int key = event->key();
    // Modifier keys alone, the menu keys (Alt, F10) and access keys (Alt+E) keep the focus
    // on the text, so that a selection can still be copied through the menu.
    const bool modifierOnly = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
                              key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_Super_L ||
                              key == Qt::Key_Super_R || key == Qt::Key_Hyper_L || key == Qt::Key_Hyper_R ||
                              key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == 0;
    const bool menuKey = key == Qt::Key_F10 || (event->modifiers() & Qt::AltModifier);
    const bool stays = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up ||
                       key == Qt::Key_Down || modifierOnly || menuKey || key == Qt::Key_C || key == Qt::Key_G;
    if (!stays) {
        if (!VScroll1->isVisible() || !VScroll1->isEnabled())
            return false;
        VScroll1->setFocus(Qt::OtherFocusReason);
        // The key that moved the focus acts on the scroll bar at once (Page Up, Home …).
        QKeyEvent copy(event->type(), key, event->modifiers(), event->text());
        QCoreApplication::sendEvent(VScroll1, &copy);
        return true;
    }
    if (event->modifiers() & Qt::ShiftModifier || (key != Qt::Key_Up && key != Qt::Key_Down))
        return false;
    OpenDocument& doc = state_.doc;
    if (!doc.HasFile())
        return false;
    Timer1_Timer();  // the caret line as it is now
    const int lines = state_.settings.LinesPerScreen;
    const int column = Text1->textCursor().positionInBlock();
    const int64_t possible = Possible(state_);
    if (key == Qt::Key_Up) {
        if (caretLine_ - 1 >= doc.TopLine || doc.TopLine <= 1)
            return false;
        if (possible > kScrollLimit) {
            // One line exactly, even where one scroll position spans several lines.
            doc.TopLine -= 1;
            SyncScrollBar();
            DispR();
        } else {
            VScroll1->setValue(std::max(1, VScroll1->value() - 1));
        }
        SetCaretRowColumn(0, column);
        Timer1_Timer();
        return true;
    }
    if (caretLine_ + 1 <= doc.TopLine + lines - 1 || caretLine_ + 1 > doc.LineCount)
        return false;
    if (VScroll1->value() >= VScroll1->maximum()) {
        doc.TopLine = TopLineForNextLine(caretLine_, lines);
        DispR();
    } else if (possible > kScrollLimit) {
        doc.TopLine += 1;
        SyncScrollBar();
        DispR();
    } else {
        VScroll1->setValue(VScroll1->value() + 1);
    }
    SetCaretRowColumn(int(caretLine_ + 1 - doc.TopLine), column);
    Timer1_Timer();
    return true;
}

// Puts the scroll bar where the current top line lies, without moving the top line.
void LogFile::SyncScrollBar()
{
    const QSignalBlocker blocker(VScroll1);
    VScroll1->setValue(ScrollValueForTopLine(state_.doc.TopLine, Possible(state_)));
    lastScrollValue_ = VScroll1->value();
}

void LogFile::ScrollToTopLine()
{
    SyncScrollBar();
    DispR();
}

// --- auto-scroll ---

bool LogFile::AutoScrollRunning() const
{
    return Timer2->isActive();
}

void LogFile::Menu_Disp_Nashi_Click()
{
    QAction* item = items_.value(QStringLiteral("Menu_Disp_Nashi"));
    if (Timer2->isActive()) {
        Timer2->stop();
        item->setChecked(false);
        return;
    }
    Timer2->start(std::max(1, state_.settings.AutoScrollSpeed));
    item->setChecked(true);
    if (Text1->isEnabled())
        Text1->setFocus(Qt::OtherFocusReason);
}

void LogFile::Timer2_Timer()
{
    auto stop = [this] {
        Timer2->stop();
        items_.value(QStringLiteral("Menu_Disp_Nashi"))->setChecked(false);
    };
    if (state_.settings.AutoScrollDown) {
        if (VScroll1->value() < VScroll1->maximum()) {
            if (IsDebugFlag(state_.settings, 1) == 1)
                SmoothScrollStep();
            else
                VScroll1->setValue(VScroll1->value() + 1);
        } else {
            stop();
            if (IsDebugFlag(state_.settings, 1) == 1)
                Text1->moveCursor(QTextCursor::Start);
        }
    } else if (VScroll1->value() > VScroll1->minimum()) {
        VScroll1->setValue(VScroll1->value() - 1);
    } else {
        stop();
    }
}

// The smooth mode moves the text by one line without rebuilding the screen.
void LogFile::SmoothScrollStep()
{
    OpenDocument& doc = state_.doc;
    suppressRedraw_ = true;
    VScroll1->setValue(VScroll1->value() + 1);
    QTextCursor cursor(Text1->document());
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    const int64_t bottom = doc.TopLine + state_.settings.LinesPerScreen - 1;
    ReadLine(state_, bottom);
    QString text = doc.LineBuffer;
    if (!text.isEmpty()) {
        if (text.endsWith(QStringLiteral("\r\n")))
            text.chop(2);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("\n") + ShowLoneLineBreaks(text));
        if (state_.settings.LineNumbersVisible) {
            delete List1->takeItem(0);
            auto* entry = new QListWidgetItem(FormatLineNumber(bottom), List1);
            entry->setSizeHint(QSize(0, lineHeight_));
        }
    }
    suppressRedraw_ = false;
}

// --- layout ---

void LogFile::LayOutHeights()
{
    const ViewerSettings& s = state_.settings;
    HeightsInput in;
    in.rulerVisible = s.RulerVisible;
    in.rulerLabelHeight = Label9->sizeHint().height();
    in.rulerExtra = TwipsToPixels(60);
    in.linesPerScreen = s.LinesPerScreen > 0 ? s.LinesPerScreen : 32;
    in.lineHeight = lineHeight_;
    // The box's own frame, margins and horizontal scroll bar, at least 355 twips.
    const int chrome = 2 * Text1->frameWidth() + 2 * int(Text1->document()->documentMargin()) +
                       Text1->horizontalScrollBar()->sizeHint().height() + 2;
    in.textExtra = std::max(TwipsToPixels(355), chrome);
    in.scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    in.listExtra = TwipsToPixels(100);
    const HeightsLayout h = kolbran::LayOutHeights(in);

    Picture4->setGeometry(Picture4->x(), h.rulerTop, Picture4->width(), h.rulerHeight);
    Label9->setGeometry(Label9->x(), TwipsToPixels(30), Label9->width(), in.rulerLabelHeight);
    Line5->setGeometry(Line5->x(), 0, 1, h.rulerHeight);
    Text1->setGeometry(Text1->x(), h.textTop, Text1->width(), h.textHeight);
    VScroll1->setGeometry(VScroll1->x(), h.textTop, VScroll1->width(), h.scrollHeight);
    // The list's rows start where the text box's first line does.
    const int rowInset = Text1->frameWidth() + int(Text1->document()->documentMargin()) - List1->frameWidth();
    List1->setGeometry(List1->x(), h.textTop + std::max(0, rowInset), List1->width(), h.listHeight);
    Line4->setGeometry(Line4->x(), 0, Line4->width(), h.textTop + h.textHeight);
    Form_->setFixedHeight(h.areaHeight);

    int height = menuBar()->sizeHint().height() + h.areaHeight;
    if (!Toolbar1->isHidden())
        height += Toolbar1->sizeHint().height();
    if (!StatusBar1->isHidden())
        height += StatusBar1->sizeHint().height();
    windowHeight_ = height;
    // The user may change the width only: the window keeps this height.
    setFixedHeight(windowHeight_);
}

void LogFile::LayOutWidths()
{
    const ViewerSettings& s = state_.settings;
    const int lines = s.LinesPerScreen > 0 ? s.LinesPerScreen : 32;
    WidthsInput in;
    in.innerWidth = Form_->width() > 0 ? Form_->width() : width();
    in.scrollBarVisible = state_.doc.LineCount > lines;
    in.scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    in.scrollBarLeft = s.ScrollBarLeft == 1;
    in.lineNumbersVisible = s.LineNumbersVisible;
    in.listWidth = listWidth_;
    in.listGap = TwipsToPixels(60);
    in.textGap = TwipsToPixels(50);
    const WidthsLayout w = kolbran::LayOutWidths(in);

    VScroll1->setVisible(in.scrollBarVisible);
    VScroll1->setGeometry(w.scrollLeft, VScroll1->y(), w.scrollWidth, VScroll1->height());
    List1->setVisible(in.lineNumbersVisible);
    List1->setGeometry(w.listLeft, List1->y(), listWidth_, List1->height());
    Text1->setGeometry(w.textLeft, Text1->y(), w.textWidth, Text1->height());
    Picture4->setGeometry(w.rulerLeft, Picture4->y(), w.rulerWidth, Picture4->height());
    const int inset = Text1->frameWidth() + int(Text1->document()->documentMargin());
    Label9->setGeometry(inset, Label9->y(), w.rulerLabelWidth, Label9->height());
}

void LogFile::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (fitWidth_ && !fitting_ && event->oldSize().width() != event->size().width() &&
        windowState() == Qt::WindowNoState)
        EndFitWidth();
    LayOutWidths();
}

void LogFile::ToggleBar(int which)
{
    ViewerSettings& s = state_.settings;
    static const char* const kItems[] = {"Menu_Disp_Tool", "Menu_Disp_Memo", "Menu_Disp_Stat"};
    QAction* item = items_.value(QString::fromLatin1(kItems[which]));
    bool* flag = which == 0 ? &s.ToolbarVisible : which == 1 ? &s.RulerVisible : &s.StatusBarVisible;
    *flag = !*flag;
    item->setChecked(*flag);
    QWidget* bar = which == 0 ? static_cast<QWidget*>(Toolbar1)
                   : which == 1 ? Picture4
                                : static_cast<QWidget*>(StatusBar1);
    bar->setVisible(*flag);
    LayOutHeights();
    LayOutWidths();
}

void LogFile::Menu_Disp_Ari_Click()
{
    ViewerSettings& s = state_.settings;
    s.LineNumbersVisible = !s.LineNumbersVisible;
    items_.value(QStringLiteral("Menu_Disp_Ari"))->setChecked(s.LineNumbersVisible);
    if (!s.LineNumbersVisible)
        List1->clear();
    LayOutWidths();
    if (state_.doc.HasFile()) {
        state_.doc.TopLine = TopLineForValue(state_, VScroll1->value());
        DispR();
    }
}

void LogFile::ShowSplitter(int x)
{
    const int offset = VScroll1->isVisible() && state_.settings.ScrollBarLeft == 1 ? VScroll1->width() : 0;
    Line4->move(ClampSplitter(x + TwipsToPixels(6), offset), 0);
    Line4->resize(2, Text1->y() + Text1->height());
    Line4->raise();
    Line4->show();
    splitterShown_ = true;
}

// --- fit to the screen width ---

void LogFile::SetFitWidthCaption()
{
    items_.value(QStringLiteral("Menu_Disp_Width"))
        ->setText(fitWidth_ ? QStringLiteral(u"表示幅を元に戻す(&W)") : QStringLiteral(u"画面の幅に合わせる(&W)"));
}

void LogFile::Menu_Disp_Width_Click()
{
    fitting_ = true;
    if (!fitWidth_) {
        savedLeft_ = x();
        savedWidth_ = width();
        const QRect screen = this->screen()->availableGeometry();
        const int frame = frameGeometry().width() - geometry().width();
        move(screen.left(), y());
        resize(screen.width() - frame, height());
        fitWidth_ = true;
    } else {
        move(savedLeft_, y());
        resize(savedWidth_, height());
        fitWidth_ = false;
    }
    fitting_ = false;
    SetFitWidthCaption();
    LayOutWidths();
}

void LogFile::EndFitWidth()
{
    fitWidth_ = false;
    SetFitWidthCaption();
}

// --- events of the controls ---

bool LogFile::eventFilter(QObject* watched, QEvent* event)
{
    if (Text1 == nullptr || List1 == nullptr || VScroll1 == nullptr)
        return QMainWindow::eventFilter(watched, event);  // still building the controls
    if (watched == Text1 && event->type() == QEvent::KeyPress)
        return Text1_KeyDown(static_cast<QKeyEvent*>(event));
    if ((watched == Text1->viewport() || watched == List1->viewport()) && event->type() == QEvent::Wheel) {
        // The text box has no vertical range of its own: the wheel moves the document.
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->angleDelta().y() == 0 || !VScroll1->isVisible() || !VScroll1->isEnabled())
            return false;
        QCoreApplication::sendEvent(VScroll1, wheel);
        return true;
    }
    if (watched == Text1->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (Text1->viewport()->acceptDrops() && drag->mimeData()->hasUrls())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QList<QUrl> urls = drop->mimeData()->urls();
            if (Text1->viewport()->acceptDrops() && !urls.isEmpty()) {
                drop->acceptProposedAction();
                DropFile(urls.first().toLocalFile(), true);
            }
            return true;
        }
        default:
            return false;
        }
    }
    if (watched == Form_) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                // The Help menu belongs to the free area; a right click on a control (the
                // text area, the line numbers) reaches here too and is swallowed.
                if (Form_->childAt(mouse->position().toPoint()) == nullptr)
                    ShowHelpMenuAt(mouse->globalPosition().toPoint());
                return true;
            }
            if (mouse->button() == Qt::LeftButton && Form_->cursor().shape() == Qt::SplitHCursor) {
                ShowSplitter(mouse->position().toPoint().x());
                return true;
            }
            return false;
        }
        case QEvent::MouseMove: {
            const int x = static_cast<QMouseEvent*>(event)->position().toPoint().x();
            if (splitterShown_) {
                ShowSplitter(x);
                return true;
            }
            const bool inGap = state_.settings.LineNumbersVisible && x >= List1->geometry().right() &&
                               x <= Text1->x();
            Form_->setCursor(inGap ? Qt::SplitHCursor : Qt::ArrowCursor);
            return false;
        }
        case QEvent::MouseButtonRelease:
            if (splitterShown_) {
                const int offset = VScroll1->isVisible() && state_.settings.ScrollBarLeft == 1 ? VScroll1->width() : 0;
                listWidth_ = Line4->x() - offset;
                Line4->hide();
                splitterShown_ = false;
                LayOutWidths();
                return true;
            }
            return false;
        default:
            return false;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace kolbran
