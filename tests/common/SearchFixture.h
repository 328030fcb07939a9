#pragma once

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "viewer/LineLoader.h"
#include "viewer/Search.h"
#include "viewer/ViewerHost.h"
#include "viewer/Viewport.h"

#include <QFile>
#include <QTemporaryDir>

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
    // The screen for the current TopLine: each line's text; the last line end is cut off
    // unless the screen reaches the end of the document.
    void Draw()
    {
        text.clear();
        OpenDocument& doc = state_.doc;
        if (doc.TopLine < 1)
            doc.TopLine = 1;
        const int64_t last = doc.TopLine + state_.settings.LinesPerScreen - 1;
        const int64_t saved = doc.TopLine;
        for (int64_t n = saved; n <= last && n <= doc.LineCount; ++n) {
            ReadLine(state_, n);
            text += doc.LineBuffer.left(doc.LineLength);
        }
        if (last < doc.LineCount && text.endsWith(QStringLiteral("\r\n")))
            text.chop(2);
        doc.TopLine = saved;
        selStart = 0;
        selLength = 0;
    }
    // Shows the document with `top` at the top, as the user would by scrolling.
    void ScrollTo(int64_t top)
    {
        state_.doc.TopLine = top;
        scrollValue = ScrollValueForFoundLine(top, Possible());
        state_.doc.TopLine = TopLineFromScrollMove(scrollValue, Possible());
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
        if (!ShimOpen(state, Write(name, bytes)))
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

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    AppState state;
    FakeSearchView view;
};

}  // namespace kolbran::test
