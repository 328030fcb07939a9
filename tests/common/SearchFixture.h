#pragma once

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "viewer/LineLoader.h"
#include "viewer/ScreenText.h"
#include "viewer/Search.h"
#include "viewer/ViewerHost.h"
#include "viewer/Viewport.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace kolbran::test {

// A main window as the searches see it: the scroll bar maps to TopLine as the real one
// does, and a change of its value redraws the screen text from the document.
class FakeSearchView final : public SearchView {
public:
    explicit FakeSearchView(AppState& state) : state_(state) {}

    QString Text() const override { return text; }
    int SelStart() const override { return selStart; }
    int SelLength() const override { return selLength; }
    void Select(int start, int length) override
    {
        selStart = start;
        selLength = length;
    }
    void SetScrollValue(int value) override
    {
        if (value == scrollValue)
            return;
        scrollValue = value;
        state_.doc.TopLine = TopLineFromScrollMove(value, Possible());
        Draw();
        ++redraws;
    }
    void FocusText() override { ++focused; }
    bool TextEnabled() const override { return true; }
    void SetTextDropEnabled(bool enabled) override { dropEnabled = enabled; }
    LineNumber CaretLine() const override { return caretLine; }
    void SetCaretLine(LineNumber line) override { caretLine = line; }
    void SetBusyCursor(bool busy) override { busyCount += busy ? 1 : -1; }
    QString StatusText() const override { return status; }
    void SetStatusText(const QString& text) override
    {
        status = text;
        statusHistory.append(text);
    }

    int64_t Possible() const
    {
        return PossibleTopLines(state_.doc.LineCount, state_.settings.LinesPerScreen);
    }
    // The screen for the current TopLine, as the screen refresh builds it.
    void Draw()
    {
        ScreenRequest request;
        request.topLine = state_.doc.TopLine;
        request.linesPerScreen = state_.settings.LinesPerScreen;
        text = BuildScreenText(state_, request).text;
        selStart = 0;
        selLength = 0;
    }
    // Shows the document with `top` at the top (short documents only).
    void ScrollTo(int64_t top)
    {
        state_.doc.TopLine = top;
        scrollValue = int(top);
        Draw();
    }

    QString text;
    int selStart = 0;
    int selLength = 0;
    int scrollValue = 1;
    int redraws = 0;
    int focused = 0;
    bool dropEnabled = true;
    LineNumber caretLine = 1;
    int busyCount = 0;
    QString status;
    QStringList statusHistory;

private:
    AppState& state_;
};

// The dialog works on its own view; the fixture's view shows what it did.
class SharedSearchView final : public SearchView {
public:
    explicit SharedSearchView(FakeSearchView& v) : v_(v) {}
    QString Text() const override { return v_.Text(); }
    int SelStart() const override { return v_.SelStart(); }
    int SelLength() const override { return v_.SelLength(); }
    void Select(int start, int length) override { v_.Select(start, length); }
    void SetScrollValue(int value) override { v_.SetScrollValue(value); }
    void FocusText() override { v_.FocusText(); }
    bool TextEnabled() const override { return v_.TextEnabled(); }
    void SetTextDropEnabled(bool enabled) override { v_.SetTextDropEnabled(enabled); }
    LineNumber CaretLine() const override { return v_.CaretLine(); }
    void SetCaretLine(LineNumber line) override { v_.SetCaretLine(line); }
    void SetBusyCursor(bool busy) override { v_.SetBusyCursor(busy); }
    QString StatusText() const override { return v_.StatusText(); }
    void SetStatusText(const QString& text) override { v_.SetStatusText(text); }

private:
    FakeSearchView& v_;
};


// A test state with a document written from bytes in a temporary folder.
struct SearchFixture {
    SearchFixture() : state(prompter), view(state)
    {
        state.settings.LinesPerScreen = 32;
        state.settings.SearchResultRow = 1;
    }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    // Opens the document and shows its first screen.
    bool Open(const QByteArray& bytes, const QString& name = QStringLiteral("doc.txt"))
    {
        ViewerHost host;
        PrOpen(state, host, Write(name, bytes));
        if (!state.doc.HasFile())
            return false;
        view.scrollValue = 1;
        state.doc.TopLine = 1;
        view.Draw();
        return true;
    }
    // Lines "line N\r\n" with `word` added to the lines listed.
    static QByteArray Lines(int count, std::initializer_list<int> hits, const QByteArray& word)
    {
        QByteArray bytes;
        auto it = hits.begin();
        for (int n = 1; n <= count; ++n) {
            bytes += "line " + QByteArray::number(n);
            if (it != hits.end() && *it == n) {
                bytes += " " + word;
                ++it;
            }
            bytes += "\r\n";
        }
        return bytes;
    }

    // A view for a window under test that acts on this fixture's view.
    std::unique_ptr<SearchView> SharedView() { return std::make_unique<SharedSearchView>(view); }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    AppState state;
    FakeSearchView view;
};

}  // namespace kolbran::test
