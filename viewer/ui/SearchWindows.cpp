#include "viewer/ui/SearchWindows.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/ui/WindowRegistry.h"
#include "viewer/Search.h"
#include "viewer/ui/KenIchi.h"
#include "viewer/ui/Kensaku.h"
#include "viewer/ui/LogFile.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>

namespace kolbran {

namespace {

class LogFileSearchView final : public SearchView {
public:
    explicit LogFileSearchView(LogFile* window)
        : window_(window), text_(window ? window->findChild<QPlainTextEdit*>(QStringLiteral("Text1")) : nullptr)
    {
    }

    // The text box keeps one break per line end; the screen text has CR LF.
    QString Text() const override
    {
        if (!text_)
            return {};
        QString text = text_->toPlainText();
        text.replace(u'\n', QStringLiteral("\r\n"));
        return text;
    }
    int SelStart() const override { return text_ ? ToScreen(text_->textCursor().selectionStart()) : 0; }
    int SelLength() const override
    {
        if (!text_)
            return 0;
        const QTextCursor c = text_->textCursor();
        return ToScreen(c.selectionEnd()) - ToScreen(c.selectionStart());
    }
    void Select(int start, int length) override
    {
        if (!text_)
            return;
        QTextCursor c = text_->textCursor();
        c.setPosition(ToBox(start));
        c.setPosition(ToBox(start + length), QTextCursor::KeepAnchor);
        text_->setTextCursor(c);
    }
    void SetScrollValue(int value) override
    {
        if (window_)
            window_->SetScrollValue(value);
    }
    void FocusText() override
    {
        if (!text_)
            return;
        text_->setEnabled(true);
        text_->setFocus();
    }
    bool TextEnabled() const override { return text_ && text_->isEnabled(); }
    void SetTextDropEnabled(bool enabled) override
    {
        if (text_)
            text_->viewport()->setAcceptDrops(enabled);
    }
    LineNumber CaretLine() const override { return window_ ? LineNumber(window_->CaretLine()) : 0; }
    void SetCaretLine(LineNumber line) override
    {
        if (window_)
            window_->GyoDisp(line);
    }
    void SetBusyCursor(bool busy) override
    {
        if (window_)
            window_->SetBusyCursor(busy);
    }
    QString StatusText() const override { return window_ ? window_->StatusPanel(1) : QString(); }
    void SetStatusText(const QString& text) override
    {
        if (window_)
            window_->SetStatusPanel(1, text);
    }

private:
    // Box position → screen-text position: one more for every line end before it.
    int ToScreen(int box) const
    {
        const QString plain = text_->toPlainText();
        return box + int(QStringView(plain).left(box).count(u'\n'));
    }
    // Screen-text position → box position: one less for every CR LF before it.
    int ToBox(int screen) const
    {
        const QString text = Text();
        int box = 0;
        for (int i = 0; i < screen && i < text.size(); ++i)
            if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n'))
                ++box;
        return box;
    }

    QPointer<LogFile> window_;
    QPointer<QPlainTextEdit> text_;
};

template <typename W>
W* OpenWindow(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            if (auto* window = qobject_cast<W*>(w))
                return window;
    return nullptr;
}

// Menu commands report their failures like every command of the main window.
template <typename F>
void Guarded(AppState& state, F&& f)
{
    try {
        f();
    } catch (const RuntimeError& e) {
        ReportError(state, e, 1);
    }
}

}  // namespace

std::unique_ptr<SearchView> MainWindowSearchView(QWidget* mainWindow)
{
    return std::make_unique<LogFileSearchView>(qobject_cast<LogFile*>(mainWindow));
}

void OpenSearchDialog(AppState& state, QWidget* mainWindow)
{
    Kensaku* dialog = OpenWindow<Kensaku>(QStringLiteral("Kensaku"));
    if (!dialog) {
        QPointer<QWidget> parent(mainWindow);
        dialog = new Kensaku(state, MainWindowSearchView(mainWindow),
                             [&state, parent] { OpenResultList(state, parent); }, mainWindow);
    }
    dialog->Open();
}

void OpenResultList(AppState& state, QWidget* mainWindow)
{
    if (KenIchi* old = OpenWindow<KenIchi>(QStringLiteral("KenIchi")))
        old->close();
    QPointer<KenIchi> list = new KenIchi(state, MainWindowSearchView(mainWindow), mainWindow);
    list->Open();
}

void CloseSearchWindows(AppState& state)
{
    for (const char* name : {"KenIchi", "Kensaku"})
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(name))
                w->close();
    state.settings.SearchListOpen = false;
}

void RegisterSearchWindows(AppState& state)
{
    state.CloseSearchWindows = [&state] { CloseSearchWindows(state); };
    state.WindowCommands[QStringLiteral("Menu_Sea_Sea")] = [&state](QWidget* parent) {
        OpenSearchDialog(state, parent);
    };
    state.WindowCommands[QStringLiteral("Menu_Sea_Down")] = [&state](QWidget* parent) {
        Guarded(state, [&] {
            const auto view = MainWindowSearchView(parent);
            MenuSearchDown(state, *view);
        });
    };
    state.WindowCommands[QStringLiteral("Menu_Sea_Up")] = [&state](QWidget* parent) {
        Guarded(state, [&] {
            const auto view = MainWindowSearchView(parent);
            MenuSearchUp(state, *view);
        });
    };
}

}  // namespace kolbran
