// The document side of the main window: enabled states, the after-open update and the
// no-document state, open, close, delete, recent files, drops, copy and the display code.
#include "viewer/ui/LogFile.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/FileListing.h"
#include "core/Guards.h"
#include "core/LongRun.h"
#include "core/Numbers.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "core/Twips.h"
#include "viewer/CodeChoice.h"
#include "viewer/LineLoader.h"
#include "viewer/Viewport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cerrno>

namespace kolbran {

// --- enabled states ---

void LogFile::EnableForDocument()
{
    for (const char* name : {"Menu_File_Close", "Menu_File_Save", "Menu_Disp", "Menu_Edit", "Menu_Trans_Nippon",
                             "Menu_Trans_Mm", "Menu_Trans_By", "Menu_Trans_Bb", "Menu_Trans_B1", "Menu_Trans_B2",
                             "Menu_Trans_Byg", "Menu_Trans_Kak", "Menu_File_Print", "Menu_File_Del", "Menu_Kaku_Hx",
                             "Menu_Kaku_Bit", "Menu_Kaku_Csv", "Menu_Disp_Nashi", "Menu_Disp_Nippon0"})
        SetItemEnabled(QString::fromLatin1(name), true);
    for (const char* name : {"Menu_Kaku_MltScan", "Menu_Kaku_MltPRT", "Menu_Kaku_Comp", "Menu_Kaku_Bunketsu",
                             "Menu_Kaku_Decode", "Menu_Kaku_ByFuku"})
        SetItemEnabled(QString::fromLatin1(name), false);
    for (const char* key : {"File_Close", "File_Print", "File_Delete", "Copy", "Kiri", "Sear", "Down", "Up", "Scroll", "Kan"})
        SetButtonEnabled(QString::fromLatin1(key), true);
    VScroll1->setEnabled(true);
}

void LogFile::EnableForNoDocument()
{
    for (const char* name : {"Menu_File_Close", "Menu_File_Save", "Menu_File_Del", "Menu_Disp_Nashi", "Menu_Kaku_Hx",
                             "Menu_Trans_Kak", "Menu_Kaku_Bit", "Menu_Kaku_Csv", "Menu_Disp_Nippon0", "Menu_Edit",
                             "Menu_Trans_Bb", "Menu_Trans_Nippon", "Menu_Trans_Mm", "Menu_Trans_By", "Menu_Trans_B1",
                             "Menu_Trans_B2", "Menu_Trans_Byg"})
        SetItemEnabled(QString::fromLatin1(name), false);
    for (const char* name : {"Menu_File_Open", "Menu_Kaku_MltScan", "Menu_Kaku_MltPRT", "Menu_Kaku_Comp",
                             "Menu_Kaku_Bunketsu", "Menu_Kaku_Decode", "Menu_Kaku_ByFuku"})
        SetItemEnabled(QString::fromLatin1(name), true);
    for (const char* key : {"File_Close", "File_Delete", "Copy", "Kiri", "Sear", "Down", "Up", "Scroll", "Kan"})
        SetButtonEnabled(QString::fromLatin1(key), false);
}

void LogFile::SetFileMenuEnabled(bool enabled)
{
    SetActionEnabled(items_.value(QStringLiteral("Menu_File")), enabled);
}

void LogFile::SetDocumentCommandsEnabled(bool enabled)
{
    if (enabled && state_.doc.HasFile())
        EnableForDocument();
    else
        EnableForNoDocument();
    for (const char* name : {"Menu_File", "Menu_Disp", "Menu_Trans"})
        if (QAction* menu = items_.value(QString::fromLatin1(name)))
            menu->setEnabled(enabled);
}

void LogFile::SetBusyCursor(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QApplication::overrideCursor() != nullptr)
            QApplication::restoreOverrideCursor();
}

// --- after an open, and the no-document state ---

void LogFile::AfterOpen()
{
    OpenDocument& doc = state_.doc;
    SetStatusPanel(4, QStringLiteral(u"行数:") + FormatCount(doc.LineCount));
    setWindowTitle(doc.DocumentName + QStringLiteral(" (") +
                   FormatFileTimestamp(doc.FileTimestamp) + QStringLiteral(")"));
    EnableForDocument();
    Text1->setEnabled(true);
    const int maximum = ScrollMaximum(doc.LineCount, state_.settings.LinesPerScreen);
    suppressRedraw_ = true;
    VScroll1->setRange(1, maximum);
    VScroll1->setValue(1);
    suppressRedraw_ = false;
    lastScrollValue_ = 1;
    doc.TopLine = 1;
    SetWindowDropTarget(false);
    SetTextDropTarget(true);
    if (doc.IsUtf16) {
        SetStatusPanel(1, QStringLiteral("Unicode"));
        for (const char* name : {"Menu_Disp_Nippon0", "Menu_Trans_By", "Menu_Trans_Bb", "Menu_Trans_B1", "Menu_Trans_B2"})
            SetItemEnabled(QString::fromLatin1(name), false);
    }
    shownCaretLine_ = -1;
    shownCaretColumn_ = -1;
    // Wide enough for the document's widest line number ("1000000:").
    listWidth_ = LineNumberListWidth();
    LayOutWidths();
    DispR();
}

void LogFile::ResetToNoDocument(bool keepTextEnabled)
{
    ResetDocumentState(state_);
    if (!keepTextEnabled)
        Text1->setEnabled(false);
    Text1->clear();
    GyoDisp(-1);
    RetsuDisp(-1);
    EnableForNoDocument();
    SetStatusPanel(4, QStringLiteral(u"行数:"));
    SetStatusPanel(5, QStringLiteral(u"ｻｲｽﾞ:"));
    setWindowTitle(QStringLiteral("Kolbran"));
    List1->clear();
    SetBusyCursor(false);
    CloseSearchWindows();
    // The CSV table shows this document: it goes with it.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("CSV"))
            w->close();
    MoveLine5(0);
    Line5->move(TwipsToPixels(1), 0);
    SetStatusPanel(1, QString());
    CheckDisplayCodeItem(0);
    SetWindowDropTarget(true);
    SetTextDropTarget(false);
    shownCaretLine_ = -1;
    shownCaretColumn_ = -1;
    VScroll1->setRange(1, 1);
    LayOutWidths();
}

void LogFile::CheckDisplayCodeItem(int code)
{
    for (int k : {0, 1, 2, 3, 9})
        items_.value(QStringLiteral("Menu_Disp_Nippon_%1").arg(k))->setChecked(k == code);
}

void LogFile::Menu_Disp_Nippon_Click(int code)
{
    const CodeChoiceResult result = ChooseDisplayCode(state_, *this, code, VScroll1->value());
    for (int k : {0, 1, 2, 3, 9})
        items_.value(QStringLiteral("Menu_Disp_Nippon_%1").arg(k))->setChecked(result.checked[size_t(k)]);
}

// --- drop targets and the search windows ---

void LogFile::SetWindowDropTarget(bool on)
{
    windowDropTarget_ = on;
    setAcceptDrops(on);
}

void LogFile::SetTextDropTarget(bool on)
{
    Text1->viewport()->setAcceptDrops(on);
}

void LogFile::CloseSearchWindows()
{
    // The search dialog and its result list live beside the main window as top-level windows.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("KenIchi") || w->objectName() == QLatin1String("Kensaku"))
            w->close();
    state_.settings.SearchListOpen = false;
}

void LogFile::ShowResultList(bool visible)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("KenIchi"))
            w->setVisible(visible);
}

// --- opening ---

void LogFile::AddRecent()
{
    try {
        AddRecentFile(state_, QString());
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 0);
    }
    RefreshRecentMenu();
}

void LogFile::CommonOpen()
{
    Text1->setEnabled(true);
    const QString name = state_.doc.DocumentName;  // a copy: the reset inside empties the field
    scanning_ = true;
    {
        LongRun scan(state_);
        PrOpen(state_, *this, name);
    }
    scanning_ = false;
    if (state_.doc.HasFile()) {
        AddRecent();
        DispR();
    }
    LayOutWidths();
}

bool LogFile::OpenPath(const QString& path)
{
    if (path.isEmpty() || CheckFileExists(state_, path))
        return false;
    SetTimer1Enabled(false);
    if (state_.doc.File)
        state_.doc.File->close();
    state_.doc.DocumentName = SplitCommandPath(state_, path);
    state_.BusyFlag = false;
    state_.doc.LineCount = 0;
    CommonOpen();
    SetTimer1Enabled(state_.doc.HasFile());
    return state_.doc.HasFile();
}

void LogFile::Menu_File_Fe_Click(int item)
{
    const QStringList& recent = state_.settings.RecentFiles;
    if (item < 1 || item > recent.size())
        return;
    const QString path = recent[item - 1];
    if (CheckFileExists(state_, path))
        return;  // the message was shown; the current document stays
    if (state_.doc.File)
        state_.doc.File->close();
    state_.doc.DocumentName = SplitCommandPath(state_, path);
    state_.BusyFlag = false;
    state_.doc.LineCount = 0;
    LayOutWidths();
    SetTimer1Enabled(false);
    CommonOpen();
    SetTimer1Enabled(state_.doc.HasFile());
    SetTextDropTarget(state_.doc.HasFile());
}

void LogFile::DropFile(const QString& path, bool onText)
{
    if (path.isEmpty())
        return;
    if (RunGoing(state_)) {
        // Never a second open inside a run. The document's own scan is cancelled and the
        // dropped file opened once it has stopped; other runs keep the drop out.
        if (scanning_) {
            pendingDrop_ = path;
            pendingDropOnText_ = onText;
            state_.BusyFlag = false;
        }
        return;
    }
    if (onText && IsDebugFlag(state_.settings, 1) == 1)
        state_.prompter.Message(QStringLiteral("Text OLEDrag - ") + path, MsgIcon::None, MsgButtons::Ok,
                                QStringLiteral("DEBUG"));
    // The folder becomes current only for a file that passes the open guard.
    if (CheckFileExists(state_, path))
        return;
    const QString name = SplitCommandPath(state_, path);
    if (onText) {
        if (state_.doc.File)
            state_.doc.File->close();
        state_.doc.DocumentName = name;
        state_.BusyFlag = false;
        state_.doc.LineCount = 0;
        LayOutWidths();
        SetTimer1Enabled(false);
        YieldToEventLoopNow();
    } else {
        state_.doc.DocumentName = name;
    }
    CommonOpen();
    SetTimer1Enabled(state_.doc.HasFile());
}

void LogFile::ReopenDocumentShared()
{
    OpenDocument& doc = state_.doc;
    if (doc.DocumentName.isEmpty())
        return;
    if (doc.File)
        doc.File->close();
    doc.File = OpenFile(doc.DocumentName, QIODevice::ReadOnly, FileShare::Shared);
}

// --- close and delete ---

void LogFile::CloseDocument()
{
    SetTimer1Enabled(false);
    Timer2->stop();
    items_.value(QStringLiteral("Menu_Disp_Nashi"))->setChecked(false);
    if (state_.doc.File)
        state_.doc.File->close();
    ResetToNoDocument(false);
    LayOutWidths();
}

void LogFile::Menu_File_Del_Click()
{
    const QString name = state_.doc.DocumentName;
    const QString title = QStringLiteral(u"ﾌｧｲﾙ削除");
    if (state_.prompter.Message(name + QStringLiteral(u"を削除します！"), MsgIcon::Question, MsgButtons::OkCancel,
                                title) != MsgAnswer::Ok)
        return;
    if (state_.prompter.Message(QStringLiteral(u"本当に良いですか？!"), MsgIcon::Question, MsgButtons::YesNo,
                                title) != MsgAnswer::Yes)
        return;
    SetTimer1Enabled(false);
    Timer2->stop();
    items_.value(QStringLiteral("Menu_Disp_Nashi"))->setChecked(false);
    if (state_.doc.File)
        state_.doc.File->close();
    QFile file(FromNativeSeparators(name));
    if (!file.remove()) {
        const int number = ErrorFromFileError(file.error(), errno);
        state_.prompter.Message(QStringLiteral(u"ファイルを削除できませんでした。(") + StrNumber(number) +
                                    QStringLiteral(" )"),
                                MsgIcon::Warning);
        // The file is still there: keep showing it.
        try {
            ReopenDocumentShared();
            SetTimer1Enabled(true);
        } catch (const RuntimeError&) {
            ResetToNoDocument(false);
        }
        return;
    }
    ResetToNoDocument(false);
    LayOutWidths();
    state_.prompter.Message(name + QStringLiteral(u"を削除しました。"), MsgIcon::Information);
}

// --- copy ---

QString LogFile::Text1Selection() const
{
    QString text = Text1->textCursor().selectedText();
    text.replace(QChar(0x2029), QStringLiteral("\r\n"));
    text.replace(QChar(0x240D), u'\r');
    text.replace(QChar(0x240A), u'\n');
    return text;
}

void LogFile::Copy()
{
    // The control that has (or last had) the focus in this window.
    if (focusWidget() != Text1)
        return;
    const QString text = Text1Selection();
    state_.SearchString = text;
    QApplication::clipboard()->setText(text);
}

// --- the options dialog's result ---

void LogFile::ApplyOptions()
{
    ApplySettingsToControls();
    MeasureFont();
    LayOutHeights();
    if (state_.doc.HasFile()) {
        // The lines per screen may have changed: so have the possible top lines.
        OpenDocument& doc = state_.doc;
        const int lines = state_.settings.LinesPerScreen;
        const QSignalBlocker blocker(VScroll1);
        VScroll1->setRange(1, ScrollMaximum(doc.LineCount, lines));
        VScroll1->setPageStep(std::max(1, ScrollLargeChange(doc.LineCount, lines)));
        doc.TopLine = ScrollValueToTopLine(VScroll1->value(), doc.LineCount, lines);
        DispR();
    }
    if (Text1->isEnabled())
        Text1->setFocus(Qt::OtherFocusReason);
    LayOutWidths();
}

}  // namespace kolbran
