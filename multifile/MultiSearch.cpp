#include "multifile/MultiSearch.h"

#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/Numbers.h"
#include "multifile/FileLines.h"
#include "viewer/SearchScanner.h"

#include <QFileInfo>
#include <QSaveFile>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <memory>

namespace kolbran {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr qsizetype kDebugLineCut = 256;
constexpr int kLinesPerStep = 64;

// Shift_JIS lines that cannot hold the needle are passed over a block at a time: the lines
// before the first place the needle's bytes may start. Returns false at a cancel.
void SkipHopelessLines(FileLines& lines, const SearchMatcher& matcher)
{
    const QByteArrayView pending = lines.Pending();
    // A line as long as a piece would come in pieces, each counted: leave those to Next.
    if (pending.size() < 2 || pending.size() >= FileLines::kMaxLinePiece)
        return;
    const char* p = pending.data();
    const qsizetype candidate = matcher.FindCandidate(p, pending.size(), 0);
    qsizetype end = candidate < 0 ? pending.size() : candidate;
    // Back to the end of the last whole line before it.
    while (end >= 2 && !(p[end - 2] == '\r' && p[end - 1] == '\n'))
        --end;
    if (end < 2)
        return;
    int64_t count = 0;
    qsizetype i = 1;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= end; i += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
        count += __builtin_popcount(
            unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, lf), _mm_cmpeq_epi8(before, cr)))));
    }
#endif
    for (; i < end; ++i)
        count += (p[i] == '\n') & (p[i - 1] == '\r');
    lines.SkipPending(end, count);
}

}  // namespace

QString MultiSearchResult(const QString& displayName, qint64 line, QStringView text, bool debugVariant)
{
    QStringView content = text;
    if (content.endsWith(kCrLf))
        content.chop(2);
    if (debugVariant && content.size() > kDebugLineCut)
        content = content.first(kDebugLineCut);
    QString result;
    result.reserve(displayName.size() + 8 + content.size() + 2);
    result += displayName;
    result += u':';
    result += FormatLineNumber(line);
    result += content;
    result += kCrLf;
    return result;
}

QString MultiSearchErrorLine(const QString& displayName, const RuntimeError& error)
{
    return displayName + u':' + error.Description() + QStringLiteral(" (") + StrNumber(qint64(error.Number())) +
           QStringLiteral(" )") + kCrLf;
}

ResultBox::ResultBox(std::function<void(const QString&)> append, bool debugVariant)
    : append_(std::move(append)), debug_(debugVariant)
{
}

void ResultBox::Give(const QString& text)
{
    if (text.isEmpty())
        return;
    boxSize_ += text.size();
    if (append_)
        append_(text);
}

void ResultBox::Add(const QString& result)
{
    if (direct_ || (boxSize_ <= kDirectLimit && chunks_.empty())) {
        Give(result);
        return;
    }
    if (debug_) {
        if (chunks_.empty())
            chunks_.emplace_back();
        chunks_.front() += result;
        if (chunks_.front().size() > kDirectLimit) {
            Give(chunks_.front());
            chunks_.front().clear();
        }
        return;
    }
    if (chunks_.empty() || (chunks_.back().size() > kChunkLimit && int(chunks_.size()) < kChunks))
        chunks_.emplace_back();
    chunks_.back() += result;
}

void ResultBox::EndFile()
{
    for (const QString& chunk : chunks_)
        Give(chunk);
    chunks_.clear();
}

void SaveMultiSearchResults(const QString& path, const QString& text)
{
    QSaveFile file(FromNativeSeparators(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowFileError(file);
    const QByteArray bytes = ToSjis(text);
    if (file.write(bytes) != bytes.size() || !file.commit())
        ThrowFileError(file);
}

QString WithLfEnds(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar* o = out.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i)
        if (!(text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n'))
            *o++ = text[i];
    out.truncate(o - out.constData());
    return out;
}

qsizetype MultiSearchProgressStep(qsizetype count)
{
    return std::max<qsizetype>(8, count / 860);
}

MultiSearchOutcome SearchFiles(const QStringList& paths, const QStringList& names, const MultiSearchOptions& options,
                               const MultiSearchHooks& hooks)
{
    MultiSearchOutcome outcome;
    ResultBox box(hooks.append, options.debugVariant);
    box.SetDirect(!options.boxRule);
    // The matchers of both kinds of file, built once.
    std::unique_ptr<SearchMatcher> matchers[2];
    auto matcherFor = [&](bool utf16) -> const SearchMatcher& {
        auto& m = matchers[utf16 ? 1 : 0];
        if (!m)
            m = std::make_unique<SearchMatcher>(options.needle, options.compareMode, utf16);
        return *m;
    };
    auto going = [&] { return !hooks.step || hooks.step(); };

    const qsizetype total = paths.size();
    for (qsizetype i = 0; i < total; ++i) {
        const QString& name = i < names.size() ? names[i] : paths[i];
        if (hooks.fileStarts)
            hooks.fileStarts(i, name, false);
        bool complete = false;
        try {
            // A FIFO or a device would block or never end: only regular files are read.
            if (!QFileInfo(paths[i]).isFile())
                throw RuntimeError(QFileInfo(paths[i]).exists() ? Err::PathFileAccess : Err::FileNotFound, paths[i]);
            FileLines lines(paths[i]);
            if (!going()) {
                outcome.cancelled = true;
                break;
            }
            if (hooks.fileStarts)
                hooks.fileStarts(i, name, true);
            const bool utf16 = lines.IsUtf16();
            const SearchMatcher& matcher = matcherFor(utf16);
            // Raw bytes can rule a line out where they are what is shown.
            const bool prefilter = utf16 || options.displayCode == 0;
            complete = true;
            if (!matcher.NeverFound()) {
                QByteArrayView line;
                int sinceStep = 0;
                const bool skipping = prefilter && !utf16;
                for (;;) {
                    if (skipping)
                        SkipHopelessLines(lines, matcher);
                    if (!lines.Next(&line))
                        break;
                    bool hit = false;
                    if (!prefilter || matcher.MayContain(line.data(), line.size())) {
                        const QString text = FileLineText(line, utf16, options.displayCode);
                        if (matcher.Find(text) > 0) {
                            hit = true;
                            ++outcome.found;
                            box.Add(MultiSearchResult(name, lines.LineNumber(), text, options.debugVariant));
                        }
                    }
                    if (hit || ++sinceStep >= kLinesPerStep) {
                        sinceStep = 0;
                        if (!going()) {
                            complete = false;
                            break;
                        }
                    }
                }
            }
        } catch (const RuntimeError& e) {
            box.Add(MultiSearchErrorLine(name, e));
            ++outcome.failed;
            complete = false;
        }
        box.EndFile();
        if (complete)
            ++outcome.searched;
        if (hooks.fileDone)
            hooks.fileDone(i, total);
        if (!going()) {
            outcome.cancelled = true;
            break;
        }
    }
    box.EndFile();
    return outcome;
}

}  // namespace kolbran
