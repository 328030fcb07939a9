#pragma once

#include "core/LineIndex.h"
#include "viewer/SearchScanner.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace kolbran {

struct AppState;

// What the searches ask of the main window: its text area, scroll bar, caret line, status
// panel 1 and pointer. The base class does nothing (kolbran-tool); the main window's
// adapter overrides it. Character positions are 0-based in the text area's text.
class SearchView {
public:
    virtual ~SearchView() = default;

    virtual QString Text() const { return {}; }
    virtual int SelStart() const { return 0; }
    virtual int SelLength() const { return 0; }
    virtual void Select(int start, int length) { (void)start; (void)length; }
    // Sets VScroll1; its change handler sets TopLine and redraws when the value changes.
    virtual void SetScrollValue(int value) { (void)value; }
    // Enables the text area and gives it the focus.
    virtual void FocusText() {}
    virtual bool TextEnabled() const { return false; }
    virtual void SetTextDropEnabled(bool enabled) { (void)enabled; }
    virtual LineNumber CaretLine() const { return 0; }
    virtual void SetCaretLine(LineNumber line) { (void)line; }
    virtual void SetBusyCursor(bool busy) { (void)busy; }
    virtual QString StatusText() const { return {}; }
    virtual void SetStatusText(const QString& text) { (void)text; }
};

// One search over the document with the search text and mode taken when it starts. The
// cursor is TopLine: the search moves it line by line and leaves it on the found line (or
// past the searched range); callers save it first and restore or replace it afterwards.
// A run keeps its block of lines between calls (the result list calls it once per hit).
class LineSearch {
public:
    explicit LineSearch(AppState& state);

    // SearchHit: −1 empty search text, 0 not found, else the 1-based position of the first
    // occurrence in the found line's text.
    int Forward();
    int Backward();
    // The text of the line last found, line end included.
    const QString& FoundText() const { return foundText_; }
    const QString& Needle() const { return needle_; }

private:
    bool UseBlock(LineNumber n, bool forwards);
    int TestLine(LineNumber n, bool forwards);

    AppState& state_;
    QString needle_;
    SearchMatcher matcher_;
    LineBlockReader reader_;
    bool matcherUtf16_;
    QString foundText_;
};

// The engines on their own (each a fresh LineSearch); they set state.SearchHit.
int SearchForward(AppState& state);
int SearchBackward(AppState& state);

// r: SearchResultRow, a value outside 1..20 counting as 1.
int ResultRow(const AppState& state);
// The top line that shows found line F at row r: F − r + 1 within 1..P.
int64_t FoundLineTop(int64_t foundLine, int row, int64_t possibleTopLines);
// Moves the view so that line F shows at row r (TopLine, then the scroll bar).
void PlaceFoundLine(AppState& state, SearchView& view, LineNumber foundLine);
// Selects the first occurrence of the search text at or after character k + 1.
void SelectHitFrom(AppState& state, SearchView& view, int k);
// The character count of the screen text that lies before found line F.
int CharactersBeforeLine(const AppState& state, const QString& screenText, LineNumber foundLine);
void SelectFromStart(AppState& state, SearchView& view);
void SelectFromFoundLine(AppState& state, SearchView& view, LineNumber foundLine);

// "「X」は見つかりませんでした。"
QString NotFoundMessage(const QString& text);

// The Edit menu's "下方向に検索" and "上方向に検索".
void MenuSearchDown(AppState& state, SearchView& view);
void MenuSearchUp(AppState& state, SearchView& view);

// The search dialog's buttons, relative to the caret line. They return the SearchHit of the
// run, or std::nullopt when nothing was searched.
std::optional<int> DialogSearchDown(AppState& state, SearchView& view);
std::optional<int> DialogSearchUp(AppState& state, SearchView& view);

// The result list: at most 65,532 entries are kept (a table of 65,533 line numbers less the
// one that overflowed it).
inline constexpr int kResultTableSize = 65533;
struct SearchResults {
    std::vector<LineNumber> lines;  // ResultLines, in list order
    QStringList texts;              // the entries: each found line's text, line end included
    QString heading;                // Label4
    bool full = false;              // a 65,534th line was found
};
// "「X」の検索結果は 1,234行発見しました。"
QString ResultHeading(const QString& text, qint64 count);
// " 65532行以上は扱えません。"
QString ResultLimitMessage();
// Builds the list for the search text: status panel 1 shows "検索中です。" meanwhile,
// `onEntry` receives each entry as it is found, the limit message is shown when the table
// overflows, TopLine is restored and SearchListOpen set.
SearchResults BuildResultList(AppState& state, SearchView& view,
                              const std::function<void(LineNumber, const QString&)>& onEntry = {});

// The entries one after the other, each with its own line end (clipboard and file).
QString JoinedEntries(const QStringList& texts);
// Writes the entries as Shift_JIS to `path` after the shared save-as checks; false when
// refused. Throws RuntimeError when writing fails (nothing is left under the name then).
bool SaveResultList(AppState& state, const QString& path, const QStringList& texts);

}  // namespace kolbran
