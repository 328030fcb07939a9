#include "viewer/ui/TransformCommands.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/JapaneseCodes.h"
#include "core/Numbers.h"
#include "core/ui/CancelF.h"
#include "viewer/LineLoader.h"
#include "viewer/ui/LogFile.h"

#include <QAbstractScrollArea>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolBar>

namespace kolbran {

MainWindowRunGuard::MainWindowRunGuard(AppState& state, LogFile* window) : state_(state), window_(window)
{
    if (!window)
        return;
    QList<QWidget*> targets{window->menuBar()};
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
        targets.append(menu);  // the Help menu also pops up over the free area
    if (auto* toolbar = window->findChild<QToolBar*>(QStringLiteral("Toolbar1")))
        targets.append(toolbar);
    for (QWidget* w : targets)
        if (w->isEnabled()) {
            w->setEnabled(false);
            disabled_.append(w);
        }
    QList<QObject*> watch{window};
    if (auto* text = window->findChild<QPlainTextEdit*>(QStringLiteral("Text1")))
        watch.append(text->viewport());
    for (QObject* o : watch) {
        o->installEventFilter(this);
        watched_.append(o);
    }
}

MainWindowRunGuard::~MainWindowRunGuard()
{
    for (const QPointer<QObject>& o : watched_)
        if (o)
            o->removeEventFilter(this);
    for (const QPointer<QWidget>& w : disabled_)
        if (w)
            w->setEnabled(true);
    if (closeRequested_ && window_)
        QTimer::singleShot(0, window_.data(), [w = window_] {
            if (w)
                w->close();
        });
}

bool MainWindowRunGuard::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        event->ignore();
        return true;
    case QEvent::Close:
        if (watched == window_.data()) {
            // The run stops at its next step; the window closes after it.
            closeRequested_ = true;
            state_.CancelRequested = true;
            event->ignore();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

namespace {

struct CommandTexts {
    QString question;
    QString title;
    QString status = QStringLiteral(u"変換中です。");
};

CommandTexts TextsFor(const AppState& state, TransformKind kind, int wrapWidth)
{
    const QString& br = state.settings.LineBreak;
    const QString name = state.doc.DocumentName;
    const QString head = QStringLiteral(u"「") + name;
    switch (kind) {
    case TransformKind::DeleteLines:
        return {head + QStringLiteral(u"」を変換します！") + br + QStringLiteral(u"(削除行実行)"),
                QStringLiteral(u"削除行実行"), QStringLiteral(u"処理中です。")};
    case TransformKind::RightTrim:
        return {head + QStringLiteral(u"」を変換します！") + br + QStringLiteral(u"全ての行の右側の半角スペースを削除します。"),
                QStringLiteral(u"右側の空白削除")};
    case TransformKind::WordWrap:
        return {head + QStringLiteral(u"」の１行を") + StrNumber(wrapWidth) + QStringLiteral(u"ﾊﾞｲﾄで") + br +
                    QStringLiteral(u"自動改行しファイルを更新します！") + br + br + QStringLiteral(u"(ﾊﾞｲﾄ数は「属性」で変更できます)"),
                QStringLiteral(u"ﾜｰﾄﾞﾗｯﾌﾟ機能")};
    case TransformKind::ToCrLf:
        return {head + QStringLiteral(u"」の1ﾊﾞｲﾄ改行文字を") + br + QStringLiteral(u"2ﾊﾞｲﾄ改行文字に変換します！"),
                QStringLiteral(u"2ﾊﾞｲﾄ改行へ…")};
    case TransformKind::ToLf:
        return {head + QStringLiteral(u"」の2ﾊﾞｲﾄ改行文字を") + br + QStringLiteral(u"1ﾊﾞｲﾄ改行文字に変換します！"),
                QStringLiteral(u"1ﾊﾞｲﾄ改行へ…")};
    case TransformKind::RemoveLineEnds:
        return {head + QStringLiteral(u"」の") + br + QStringLiteral(u"改行文字を消します！"), QStringLiteral(u"改行削除")};
    case TransformKind::SaveCode:
        return {head + QStringLiteral(u"」を｢") + DisplayCodeName(state.doc.DisplayCode) + QStringLiteral(u"｣で変換します！"),
                QStringLiteral(u"変換処理")};
    }
    return {};
}

bool ByteLevel(TransformKind kind)
{
    return kind == TransformKind::WordWrap || kind == TransformKind::ToCrLf || kind == TransformKind::ToLf ||
           kind == TransformKind::RemoveLineEnds;
}

void ReopenShared(AppState& state)
{
    OpenDocument& doc = state.doc;
    doc.File.reset();
    if (!doc.DocumentName.isEmpty())
        doc.File = OpenFile(doc.DocumentName, QIODevice::ReadOnly, FileShare::Shared);
}

}  // namespace

void ReopenAtSameScroll(AppState& state, LogFile* window, const QString& name, int scrollValue)
{
    window->CloseDocument();
    PrOpen(state, *window, name);
    if (state.doc.HasFile()) {
        window->SetScrollValue(scrollValue);  // the bar limits it to the new maximum
        window->DispR();
        window->SetTimer1Enabled(true);
    }
}

void RunTransformCommand(AppState& state, LogFile* window, TransformKind kind)
{
    OpenDocument& doc = state.doc;
    if (!window || !doc.HasFile())
        return;
    if (RefuseProtected(state, true) != 0)
        return;
    TransformOptions options;
    try {
        options = DocumentTransformOptions(state, kind);
    } catch (const RuntimeError& e) {
        ReportError(state, e, 1);
        return;
    }
    if (doc.IsUtf16 && ByteLevel(kind))
        return;  // these work on single-byte line ends only
    if (kind == TransformKind::DeleteLines && options.rules.isEmpty())
        return;
    if (kind == TransformKind::WordWrap && options.wrapWidth >= doc.FileLength)
        return;  // nothing to cut: no question either
    if (kind == TransformKind::SaveCode && doc.DisplayCode == DisplayCode::Standard) {
        state.prompter.Message(QStringLiteral(u"標準値のままでは変換処理できません。"), MsgIcon::Warning,
                               MsgButtons::Ok, QStringLiteral(u"変換処理"));
        return;
    }
    const CommandTexts texts = TextsFor(state, kind, options.wrapWidth);
    if (state.prompter.Message(texts.question, MsgIcon::Question, MsgButtons::OkCancel, texts.title) != MsgAnswer::Ok)
        return;
    if (ByteLevel(kind)) {
        doc.DisplayCode = DisplayCode::Standard;
        window->CheckDisplayCodeItem(0);
    }

    const QString name = doc.DocumentName;
    const int scrollValue = window->ScrollValue();
    const bool timerWas = window->Timer1Enabled();
    bool replaced = false;
    {
        MainWindowRunGuard guard(state, window);
        window->SetTimer1Enabled(false);
        window->SetBusyCursor(true);
        window->SetStatusPanel(1, texts.status);
        state.BusyFlag = true;
        CancelF wait(state, window);
        wait.Open();
        YieldToEventLoopNow();  // the wait window is drawn before the work starts
        const bool debug = IsDebugFlag(state.settings, 1) == 1;
        bool locked = false;
        try {
            LockDocument(state);
            locked = true;
        } catch (const RuntimeError& e) {
            wait.Finish();
            window->SetBusyCursor(false);
            ReportError(state, e, 0);
            replaced = !doc.HasFile();  // reindex only when even the shared handle is gone
        }
        if (locked) {
            try {
                QFile* handle = doc.File.get();
                const quint64 generation = doc.OpenGeneration;
                const auto step = [&](int64_t done, int64_t total) {
                    wait.SetProgress(done, total);
                    if (debug)
                        wait.SetStatusText(FormatPercent(total > 0 ? double(done) / double(total) : 1.0));
                    YieldToEventLoop();
                    // Stopped by the wait window, by a cleared BusyFlag, or by the document's
                    // handle going away (closed from elsewhere).
                    return state.BusyFlag && !state.CancelRequested && doc.File.get() == handle &&
                           doc.OpenGeneration == generation;
                };
                replaced = RewriteDocument(state, options, step);
                if (!replaced && doc.File.get() == handle && doc.OpenGeneration == generation &&
                    !doc.DocumentName.isEmpty()) {
                    // The document is as it was: unlock it and show it again.
                    ReopenShared(state);
                    window->DispR();
                }
            } catch (const RuntimeError& e) {
                wait.Finish();
                window->SetBusyCursor(false);
                ReportError(state, e, 0);
                replaced = true;  // show whatever the document's name holds now
            }
        }
        wait.Finish();
        window->SetBusyCursor(false);
        window->SetStatusPanel(1, DisplayCodeName(doc.DisplayCode, doc.IsUtf16));
        state.BusyFlag = false;
    }
    if (replaced && !name.isEmpty())
        ReopenAtSameScroll(state, window, name, scrollValue);
    else
        window->SetTimer1Enabled(timerWas && doc.HasFile());
}

}  // namespace kolbran
