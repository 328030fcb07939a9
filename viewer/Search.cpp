#include "viewer/Search.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "viewer/LineLoader.h"
#include "viewer/ScreenText.h"
#include "viewer/Viewport.h"

#include <QSaveFile>

namespace kolbran {

namespace {

Qt::CaseSensitivity Sensitivity(const AppState& state)
{
    return state.SearchCompareMode == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

int64_t PossibleTop(const AppState& state)
{
    return PossibleTopLines(state.doc.LineCount, state.settings.LinesPerScreen);
}

// The pointer shows the hourglass for the lifetime of this object.
class BusyPointer {
public:
    explicit BusyPointer(SearchView& view) : view_(view) { view_.SetBusyCursor(true); }
    ~BusyPointer() { view_.SetBusyCursor(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    SearchView& view_;
};

}  // namespace

LineSearch::LineSearch(AppState& state)
    : state_(state),
      needle_(state.SearchString),
      matcher_(needle_, state.SearchCompareMode, state.doc.IsUtf16),
      reader_(state),
      matcherUtf16_(state.doc.IsUtf16)
{
}

bool LineSearch::UseBlock(LineNumber n, bool forwards)
{
    if (state_.doc.IsUtf16 != matcherUtf16_)
        return false;
    if (reader_.Holds(n))
        return true;
    try {
        return reader_.Load(n, forwards);
    } catch (const RuntimeError&) {
        reader_.Drop();
        return false;  // read line by line, which reports what fails
    }
}

int LineSearch::TestLine(LineNumber n, bool forwards)
{
    OpenDocument& doc = state_.doc;
    try {
        if (UseBlock(n, forwards)) {
            const char* bytes = reader_.LineBytes(n);
            const qsizetype size = reader_.LineSize(n);
            if (!matcher_.MayContain(bytes, size))
                return 0;
            // The line's text exactly as ReadLine gives it for these bytes.
            const QByteArrayView view(bytes, size);
            QString text = doc.IsUtf16 ? FromUtf16Le(view) : FromSjis(view);
            const int position = matcher_.Find(text);
            if (position > 0) {
                doc.LineBuffer = text;
                doc.LineLength = int32_t(text.size());
                foundText_ = std::move(text);
            }
            return position;
        }
        ReadLine(state_, n);
        const QStringView text = QStringView(doc.LineBuffer).left(doc.LineLength);
        const int position = matcher_.Find(text);
        if (position > 0)
            foundText_ = text.toString();
        return position;
    } catch (const RuntimeError& e) {
        // A line that cannot be read is passed over.
        if (IsDebugFlag(state_.settings, 1) == 1)
            ReportError(state_, e, 1);
        return 0;
    }
}

int LineSearch::Forward()
{
    OpenDocument& doc = state_.doc;
    if (needle_.isEmpty())
        return state_.SearchHit = -1;
    state_.SearchHit = 0;
    if (doc.TopLine < 1)
        doc.TopLine = 1;
    while (doc.TopLine <= doc.LineCount) {
        const LineNumber n = LineNumber(doc.TopLine);
        if (UseBlock(n, true)) {
            // Lines of the block that cannot hold the text are passed over together.
            const LineNumber candidate = reader_.NextCandidate(n, matcher_);
            if (candidate > n) {
                doc.TopLine = candidate;
                if (doc.TopLine > doc.LineCount)
                    break;
                if (!reader_.Holds(candidate))
                    YieldToEventLoop();
                continue;
            }
        }
        const int hit = TestLine(n, true);
        if (hit > 0)
            return state_.SearchHit = hit;
        doc.TopLine = int64_t(n) + 1;
        if (doc.TopLine > doc.LineCount)
            break;
        // Within a block nothing outside the search can run; yield between blocks.
        if (!reader_.Holds(n + 1))
            YieldToEventLoop();
    }
    return state_.SearchHit = 0;
}

int LineSearch::Backward()
{
    OpenDocument& doc = state_.doc;
    if (needle_.isEmpty())
        return state_.SearchHit = -1;
    // The search starts at the last line at most (it must not skip lines above it).
    if (doc.TopLine > doc.LineCount)
        doc.TopLine = doc.LineCount;
    state_.SearchHit = 0;
    while (doc.TopLine > 0) {
        const LineNumber n = LineNumber(doc.TopLine);
        const int hit = TestLine(n, false);
        if (hit > 0)
            return state_.SearchHit = hit;
        doc.TopLine = int64_t(n) - 1;
        if (!reader_.Holds(n - 1))
            YieldToEventLoop();
    }
    doc.TopLine = 0;
    return state_.SearchHit = 0;
}

int SearchForward(AppState& state)
{
    LineSearch search(state);
    return search.Forward();
}

int SearchBackward(AppState& state)
{
    LineSearch search(state);
    return search.Backward();
}

int ResultRow(const AppState& state)
{
    const int r = state.settings.SearchResultRow;
    return r >= 1 && r <= 20 ? r : 1;
}

int64_t FoundLineTop(int64_t foundLine, int row, int64_t possibleTopLines)
{
    int64_t top = foundLine - row + 1;
    if (top > possibleTopLines)
        top = possibleTopLines;
    if (top < 1)
        top = 1;
    return top;
}

void PlaceFoundLine(AppState& state, SearchView& view, LineNumber foundLine)
{
    const int64_t p = PossibleTop(state);
    const int64_t top = FoundLineTop(foundLine, ResultRow(state), p);
    state.doc.TopLine = top;
    view.SetScrollValue(ScrollValueForFoundLine(top, p));
}

void SelectHitFrom(AppState& state, SearchView& view, int k)
{
    const QString& needle = state.SearchString;
    if (needle.isEmpty())
        return;
    const QString text = view.Text();
    if (k < 0)
        k = 0;
    if (k > text.size())
        return;
    const qsizetype p = text.indexOf(needle, k, Sensitivity(state));
    if (p >= 0)
        view.Select(int(p), int(needle.size()));
}

int CharactersBeforeLine(const AppState& state, const QString& screenText, LineNumber foundLine)
{
    const FileOffset d = GetLineStart(state, foundLine) - GetLineStart(state, state.doc.TopLine);
    if (d <= 0)
        return 0;
    // UTF-16 documents: the distance is two bytes per character of the screen text.
    if (state.doc.IsUtf16)
        return int(std::min<FileOffset>(d / 2, screenText.size()));
    const QByteArray bytes = ToSjis(screenText);
    return int(FromSjis(QByteArrayView(bytes).first(std::min<qsizetype>(d, bytes.size()))).size());
}

void SelectFromStart(AppState& state, SearchView& view)
{
    SelectHitFrom(state, view, 0);
}

void SelectFromFoundLine(AppState& state, SearchView& view, LineNumber foundLine)
{
    SelectHitFrom(state, view, CharactersBeforeLine(state, view.Text(), foundLine));
}

QString NotFoundMessage(const QString& text)
{
    return QStringLiteral(u"「") + text + QStringLiteral(u"」は見つかりませんでした。");
}

void MenuSearchDown(AppState& state, SearchView& view)
{
    const QString needle = state.SearchString;
    if (needle.isEmpty())
        return;
    const QString text = view.Text();
    const qsizetype from = qsizetype(view.SelStart()) + view.SelLength();
    if (from <= text.size()) {
        const qsizetype p = text.indexOf(needle, from, Sensitivity(state));
        if (p >= 0) {
            view.Select(int(p), int(needle.size()));
            return;
        }
    }
    OpenDocument& doc = state.doc;
    const int64_t saved = doc.TopLine;
    doc.TopLine = saved + state.settings.LinesPerScreen;
    int hit;
    {
        BusyPointer busy(view);
        hit = SearchForward(state);
    }
    if (hit <= 0) {
        doc.TopLine = saved;
        view.FocusText();
        state.prompter.Message(NotFoundMessage(needle), MsgIcon::Information);
        return;
    }
    PlaceFoundLine(state, view, LineNumber(doc.TopLine));
    SelectFromStart(state, view);
}

void MenuSearchUp(AppState& state, SearchView& view)
{
    OpenDocument& doc = state.doc;
    const QString needle = state.SearchString;
    if (needle.isEmpty() || doc.TopLine == 1)
        return;
    const int64_t saved = doc.TopLine;
    doc.TopLine = saved - 1;
    int hit;
    {
        BusyPointer busy(view);
        hit = SearchBackward(state);
    }
    if (hit <= 0) {
        doc.TopLine = saved;
        view.FocusText();
        state.prompter.Message(NotFoundMessage(needle), MsgIcon::Information);
        return;
    }
    const LineNumber found = LineNumber(doc.TopLine);
    PlaceFoundLine(state, view, found);
    SelectFromFoundLine(state, view, found);
}

std::optional<int> DialogSearchDown(AppState& state, SearchView& view)
{
    const QString needle = state.SearchString;
    if (needle.isEmpty())
        return std::nullopt;
    OpenDocument& doc = state.doc;
    const int64_t saved = doc.TopLine;
    doc.TopLine = int64_t(view.CaretLine()) + 1;
    int hit;
    {
        BusyPointer busy(view);
        hit = SearchForward(state);
    }
    if (hit <= 0) {
        doc.TopLine = saved;
        state.prompter.Message(QStringLiteral(u"「") + needle + QStringLiteral(u"」見つかりませんでした。"));
        return hit;
    }
    const LineNumber found = LineNumber(doc.TopLine);
    PlaceFoundLine(state, view, found);
    view.SetCaretLine(LineNumber(doc.TopLine));
    SelectFromFoundLine(state, view, found);
    return hit;
}

std::optional<int> DialogSearchUp(AppState& state, SearchView& view)
{
    const QString needle = state.SearchString;
    if (needle.isEmpty() || view.CaretLine() == 1)
        return std::nullopt;
    OpenDocument& doc = state.doc;
    const int64_t saved = doc.TopLine;
    doc.TopLine = int64_t(view.CaretLine()) - 1;
    int hit;
    {
        BusyPointer busy(view);
        hit = SearchBackward(state);
    }
    if (hit <= 0) {
        doc.TopLine = saved;
        state.prompter.Message(NotFoundMessage(needle));
        return hit;
    }
    const LineNumber found = LineNumber(doc.TopLine);
    PlaceFoundLine(state, view, found);
    SelectFromFoundLine(state, view, found);
    return hit;
}

QString ResultHeading(const QString& text, qint64 count)
{
    return QStringLiteral(u"「") + text + QStringLiteral(u"」の検索結果は ") + FormatCount(count) +
           QStringLiteral(u"行発見しました。");
}

QString ResultLimitMessage()
{
    return StrNumber(kResultTableSize - 1) + QStringLiteral(u"行以上は扱えません。");
}

SearchResults BuildResultList(AppState& state, SearchView& view,
                              const std::function<void(LineNumber, const QString&)>& onEntry)
{
    SearchResults results;
    OpenDocument& doc = state.doc;
    view.SetTextDropEnabled(false);
    const int64_t savedTop = doc.TopLine;
    view.SetBusyCursor(true);
    const QString savedStatus = view.StatusText();
    view.SetStatusText(QStringLiteral(u"検索中です。"));
    YieldToEventLoopNow();

    LineSearch search(state);
    try {
        LineNumber line = 1;
        while (line <= doc.LineCount) {
            doc.TopLine = line;
            if (search.Forward() <= 0)
                break;
            const LineNumber found = LineNumber(doc.TopLine);
            if (int(results.lines.size()) == kResultTableSize) {
                // The table is full: the last line it took is given up with it, so that the
                // list and its heading agree.
                results.lines.pop_back();
                results.texts.pop_back();
                results.full = true;
                doc.TopLine = savedTop;
                state.prompter.Message(ResultLimitMessage(), MsgIcon::Information);
                break;
            }
            results.lines.push_back(found);
            results.texts.push_back(search.FoundText());
            // The entry that fills the table is shown once it is known to stay.
            if (int(results.lines.size()) < kResultTableSize && onEntry)
                onEntry(found, search.FoundText());
            if (found % 100 == 0)
                YieldToEventLoop();
            line = found + 1;
        }
    } catch (const RuntimeError& e) {
        if (state.settings.DebugFlags != 0)
            state.prompter.Message(QStringLiteral("KenIchi Load ! (") + StrNumber(e.Number()) +
                                       QStringLiteral(" )"),
                                   MsgIcon::Warning);
    }
    if (!results.full && int(results.lines.size()) == kResultTableSize && onEntry)
        onEntry(results.lines.back(), results.texts.back());

    state.settings.SearchListOpen = true;
    doc.TopLine = savedTop;
    view.SetBusyCursor(false);
    results.heading = ResultHeading(search.Needle(), qint64(results.lines.size()));
    view.SetStatusText(savedStatus);
    return results;
}

QString JoinedEntries(const QStringList& texts)
{
    return texts.join(QString());
}

bool SaveResultList(AppState& state, const QString& path, const QStringList& texts)
{
    if (CheckSaveTarget(state, path) != SaveTarget::Allowed)
        return false;
    // Written beside the target and put in place once complete.
    QSaveFile file(path);
    // Unbuffered, so that a write failing on a full disk is seen before commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowFileError(file, Err::PathFileAccess);
    const QByteArray bytes = ToSjis(JoinedEntries(texts));
    if (file.write(bytes) != bytes.size())
        ThrowFileError(file, Err::DiskFull);
    if (!file.commit())
        ThrowFileError(file, Err::DiskFull);
    return true;
}

}  // namespace kolbran
