#include "editor/WholeFileReplace.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"
#include "viewer/ChunkLineEnd.h"
#include "viewer/LineLoader.h"
#include "viewer/SearchScanner.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace kolbran {

qsizetype ChiKan(QString& text, const QString& from, const QString& to, qsizetype pos,
                 int compareMode)
{
    if (from.isEmpty() || pos < 0 || pos > text.size())
        return -1;
    const qsizetype at =
        text.indexOf(from, pos, compareMode == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive);
    if (at < 0)
        return -1;
    text.replace(at, from.size(), to);
    return at;
}

namespace {

constexpr int64_t kReadBlock = 1 << 20;

// The document's lines as the index cuts them, read in large blocks from the start.
class LineWalker {
public:
    explicit LineWalker(const AppState& state)
        : state_(state), end_(FileOffset(state.doc.File->size()) + 1), utf16_(state.doc.IsUtf16)
    {
    }

    // The next line's bytes (a view into the block, valid until the next call); false at
    // the end of the file.
    bool Next(QByteArrayView* line, FileOffset* start)
    {
        if (s_ >= end_)
            return false;
        const int64_t c = std::min<int64_t>(kChunkSize, end_ - s_);
        if (s_ < blockStart_ || s_ + c > blockStart_ + int64_t(block_.size()))
            Fill(s_);
        const auto* p = reinterpret_cast<const uint8_t*>(block_.constData() + (s_ - blockStart_));
        const ChunkEnd e = ChunkLineEnd(p, c, utf16_);
        FileOffset next = s_ + e.length;
        if (e.splitBack)
            next -= 1;
        // A UTF-16 document's first line starts after its byte-order mark.
        const FileOffset lineStart = first_ && utf16_ ? std::min<FileOffset>(3, next) : s_;
        first_ = false;
        *start = lineStart;
        *line = QByteArrayView(block_).sliced(qsizetype(lineStart - blockStart_),
                                              qsizetype(next - lineStart));
        s_ = next;
        return true;
    }
    FileOffset Position() const { return s_; }

private:
    void Fill(FileOffset from)
    {
        // Keep the bytes of the chunk in progress: the block starts at the current line.
        const int64_t want = std::min<int64_t>(std::max<int64_t>(kReadBlock, kChunkSize), end_ - from);
        block_.resize(qsizetype(want));
        const int64_t got = ReadDocumentInto(state_, from, block_.data(), want);
        if (got != want)
            throw RuntimeError(Err::InputPastEnd, state_.doc.DocumentName);
        blockStart_ = from;
    }

    const AppState& state_;
    const FileOffset end_;
    const bool utf16_;
    FileOffset s_ = 1;
    bool first_ = true;
    QByteArray block_;
    FileOffset blockStart_ = 0;
};

// A line read but left for the next chunk.
struct CarriedLine {
    QByteArray bytes;
    qsizetype chars;
};

// The characters FromSjis makes of `bytes`: one per byte, or one per lead byte and the trail
// byte after it.
qsizetype SjisCharCount(QByteArrayView bytes)
{
    qsizetype count = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++count) {
        const uint8_t b = p[i];
        if (b >= 0x81 && IsSjisLeadByte(b) && i + 1 < n &&
            ((p[i + 1] >= 0x40 && p[i + 1] <= 0x7E) || (p[i + 1] >= 0x80 && p[i + 1] <= 0xFC)))
            i += 2;
        else
            i += 1;
    }
    return count;
}

// The bytes of one Shift_JIS character at `i`: a lead byte and a trail byte, or one byte (the
// same cut as SjisCharCount).
inline qsizetype SjisCharSize(const uint8_t* p, qsizetype i, qsizetype n)
{
    const uint8_t b = p[i];
    if (b >= 0x81 && IsSjisLeadByte(b) && i + 1 < n &&
        ((p[i + 1] >= 0x40 && p[i + 1] <= 0x7E) || (p[i + 1] >= 0x80 && p[i + 1] <= 0xFC)))
        return 2;
    return 1;
}

// Whether byte `j` of a Shift_JIS line starts a character: the lead-range bytes just before
// it pair up from the left, so an odd run of them makes j the trail byte of the last one.
inline bool SjisBoundary(const uint8_t* p, qsizetype j)
{
    qsizetype k = 0;
    while (j - k > 0 && IsSjisLeadByte(p[j - k - 1]))
        ++k;
    if (k % 2 == 0)
        return true;
    return SjisCharSize(p, j - 1, j + 1) == 1;  // a lead byte without a valid trail stands alone
}

// Replaces `from` by `to` in a Shift_JIS line on its bytes: matches start on character
// boundaries only, as in the decoded text, and every other byte stays as it is. At most
// `limit` replacements (all with a negative one). Returns their number; `out` receives the new
// line when there was one.
qsizetype ReplaceSjisBytes(QByteArrayView line, QByteArrayView from, QByteArrayView to, QByteArray& out,
                           qsizetype limit = -1)
{
    const auto* p = reinterpret_cast<const uint8_t*>(line.data());
    qsizetype count = 0;
    qsizetype copied = 0;
    for (qsizetype i = 0; count != limit;) {
        const qsizetype at = line.indexOf(from, i);
        if (at < 0)
            break;
        if (!SjisBoundary(p, at)) {
            i = at + 1;
            continue;
        }
        if (count == 0)
            out.resize(0);
        out.append(line.sliced(copied, at - copied));
        out.append(to);
        i = copied = at + from.size();
        ++count;
    }
    if (count > 0)
        out.append(line.sliced(copied));
    return count;
}

// Writes to the temporary file, a failed write thrown as the file's error.
void Put(QFileDevice& out, QByteArrayView bytes, const SpliceIo& io)
{
    if (bytes.isEmpty())
        return;
    QFile* file = qobject_cast<QFile*>(&out);
    const qint64 written = io.write && file ? io.write(*file, bytes.data(), bytes.size())
                                            : out.write(bytes.data(), bytes.size());
    if (written != bytes.size())
        ThrowFileError(out, Err::DiskFull);
}

// The replaced text of document lines from `line` on, in the document's code; a character
// Shift_JIS lacks refuses the whole run.
QByteArray EncodeOrRefuse(AppState& state, const QString& text, bool utf16, int64_t line)
{
    if (utf16)
        return ToUtf16Le(text);
    QByteArray bytes = ToSjis(text);
    if (bytes.count('?') != text.count(u'?')) {
        const qsizetype bad = FirstUnsavableChar(text);
        if (bad >= 0)
            RefuseUnsavableChar(state, text, bad,
                                line + QStringView(text).first(bad).count(QStringLiteral("\r\n")));
    }
    return bytes;
}

}  // namespace

WholeFileReplaceResult ChiKanAll(AppState& state, const QString& from, const QString& to,
                                 const WholeFileReplaceOptions& options)
{
    WholeFileReplaceResult result;
    OpenDocument& doc = state.doc;
    if (from.isEmpty())
        return result;
    if (doc.DocumentName.isEmpty() || !doc.HasFile())
        throw RuntimeError(Err::BadFileNameOrNumber);
    CheckDocumentUnchanged(state);
    const bool inPlace = options.output.isEmpty();
    if (inPlace && RefuseProtected(state, true) == 1)
        throw RuntimeError(0);
    const bool utf16 = doc.IsUtf16;
    if (!utf16) {
        const qsizetype bad = FirstUnsavableChar(to);
        if (bad >= 0)
            RefuseUnsavableChar(state, to, bad, 1);
    }

    // In place: beside the document, put there by ReplaceWithBackup; otherwise the output's
    // own temporary file, which takes its name only when complete.
    std::unique_ptr<QFileDevice> out;
    QTemporaryFile* temp = nullptr;
    if (inPlace) {
        auto t = std::make_unique<QTemporaryFile>(
            QFileInfo(FromNativeSeparators(doc.DocumentName)).absolutePath() +
            QStringLiteral("/.kolbran-replace-XXXXXX"));
        if (!t->open())
            ThrowFileError(*t, Err::PathFileAccess);
        temp = t.get();
        out = std::move(t);
    } else {
        auto f = std::make_unique<QSaveFile>(FromNativeSeparators(options.output));
        if (!f->open(QIODevice::WriteOnly))
            ThrowFileError(*f, Err::PathFileAccess);
        out = std::move(f);
    }

    state.BusyFlag = true;
    struct BusyEnd {
        AppState& s;
        ~BusyEnd() { s.BusyFlag = false; }
    } busyEnd{state};

    LineWalker walker(state);
    if (utf16)
        Put(*out, ReadDocumentBytes(state, 1, std::min<int64_t>(2, doc.File->size())), options.io);

    const SearchMatcher matcher(from, 0, utf16);
    // A Shift_JIS text whose bytes stand for it exactly is replaced on the bytes of the lines,
    // without decoding and encoding them.
    const QByteArray fromBytes = utf16 ? QByteArray() : ToSjis(from);
    const bool onBytes = !utf16 && FromSjis(fromBytes) == from;
    const QByteArray toBytes = onBytes ? ToSjis(to) : QByteArray();
    QByteArray replacedBytes;
    const bool withinLines = !from.contains(u'\r') && !from.contains(u'\n');
    QByteArray chunkBytes;
    std::vector<qsizetype> byteStarts;  // each line's first byte in chunkBytes, then its end
    std::vector<qsizetype> starts;      // each line's first character in the chunk text
    std::optional<CarriedLine> carried;
    int64_t first = 1;
    for (;;) {
        // The chunk: up to 1,000 lines, fewer than 65,536 characters, at least one line.
        chunkBytes.resize(0);
        byteStarts.clear();
        starts.clear();
        qsizetype chars = 0;
        auto take = [&](QByteArrayView bytes, qsizetype count) {
            if (!starts.empty() && chars + count >= kReplaceChunkChars) {
                carried = CarriedLine{bytes.toByteArray(), count};
                return false;
            }
            byteStarts.push_back(chunkBytes.size());
            starts.push_back(chars);
            chunkBytes.append(bytes);
            chars += count;
            return true;
        };
        if (carried) {
            const CarriedLine line = std::move(*carried);
            carried.reset();
            take(line.bytes, line.chars);
        }
        QByteArrayView raw;
        FileOffset rawStart = 0;
        while (int(starts.size()) < kReplaceChunkLines && walker.Next(&raw, &rawStart)) {
            if (!take(raw, utf16 ? FromUtf16Le(raw).size() : SjisCharCount(raw)))
                break;
        }
        if (starts.empty())
            break;
        const qsizetype n = qsizetype(starts.size());
        byteStarts.push_back(chunkBytes.size());
        const int64_t last = first + n - 1;
        if (options.onChunk)
            options.onChunk(first, last);
        auto lineBytes = [&](qsizetype k) {
            return QByteArrayView(chunkBytes).sliced(byteStarts[size_t(k)],
                                                     byteStarts[size_t(k + 1)] - byteStarts[size_t(k)]);
        };

        // Most chunks cannot hold the text at all: their bytes go out as they are.
        if (!matcher.MayContain(chunkBytes.constData(), chunkBytes.size())) {
            Put(*out, chunkBytes, options.io);
            first = last + 1;
            continue;
        }
        // A line cut by the index (no line end) joins the next one in the chunk text.
        bool linesEnd = withinLines;
        for (qsizetype k = 0; linesEnd && k + 1 < n; ++k) {
            const QByteArrayView b = lineBytes(k);
            linesEnd = utf16 ? b.endsWith(QByteArrayView("\r\0\n\0", 4)) : b.endsWith("\r\n");
        }
        if (linesEnd) {
            // The text holds no line break and every line ends with one: an occurrence lies
            // within one line, so only the lines whose bytes may hold it are decoded.
            for (qsizetype k = 0; k < n && !result.cancelled; ++k) {
                const QByteArrayView bytes = lineBytes(k);
                if (!matcher.MayContain(bytes.data(), bytes.size())) {
                    Put(*out, bytes, options.io);
                    continue;
                }
                if (onBytes) {
                    const qsizetype found = ReplaceSjisBytes(bytes, fromBytes, toBytes, replacedBytes);
                    if (found == 0) {
                        Put(*out, bytes, options.io);
                        continue;
                    }
                    // One step per replacement, as on the text, so that a cancel stops at one.
                    qsizetype done = 0;
                    while (done < found && !result.cancelled) {
                        ++done;
                        ++result.replacements;
                        YieldToEventLoop();
                        if (!state.BusyFlag)
                            result.cancelled = true;
                    }
                    if (done < found)  // cancelled inside the line: its first replacements only
                        ReplaceSjisBytes(bytes, fromBytes, toBytes, replacedBytes, done);
                    if (result.firstChangedLine == 0)
                        result.firstChangedLine = first + k;
                    result.lineReached = first + k;
                    Put(*out, replacedBytes, options.io);
                    continue;
                }
                QString line = utf16 ? FromUtf16Le(bytes) : FromSjis(bytes);
                int64_t found = 0;
                for (qsizetype at = 0; !result.cancelled && (at = ChiKan(line, from, to, at)) >= 0;
                     at += to.size()) {
                    ++found;
                    ++result.replacements;
                    YieldToEventLoop();
                    if (!state.BusyFlag)
                        result.cancelled = true;
                }
                if (found == 0) {
                    Put(*out, bytes, options.io);
                    continue;
                }
                if (result.firstChangedLine == 0)
                    result.firstChangedLine = first + k;
                result.lineReached = first + k;
                Put(*out, EncodeOrRefuse(state, line, utf16, first + k), options.io);
            }
            if (result.cancelled) {
                // The lines of the chunk after the cancel as they were.
                const qsizetype done = qsizetype(result.lineReached - first) + 1;
                Put(*out, QByteArrayView(chunkBytes).sliced(byteStarts[size_t(done)]), options.io);
            }
        } else {
        // The chunk text, decoded at once; line by line where that gives other characters
        // (a double-byte character cut between two lines).
        QString chunk = utf16 ? FromUtf16Le(chunkBytes) : FromSjis(chunkBytes);
        if (chunk.size() != chars) {
            chunk.clear();
            for (qsizetype k = 0; k < n; ++k) {
                starts[size_t(k)] = chunk.size();
                chunk += utf16 ? FromUtf16Le(lineBytes(k)) : FromSjis(lineBytes(k));
            }
        }

        // The occurrences, replaced one by one.
        std::vector<qsizetype> hits;  // in the original chunk text
        qsizetype pos = 0;
        while (!result.cancelled) {
            const qsizetype at = chunk.indexOf(from, pos, Qt::CaseSensitive);
            if (at < 0)
                break;
            hits.push_back(at);
            pos = at + from.size();
            ++result.replacements;
            YieldToEventLoop();
            if (!state.BusyFlag)
                result.cancelled = true;
        }

        if (hits.empty()) {
            Put(*out, chunkBytes, options.io);
        } else {
            // The lines an occurrence touches (runs of them, adjacent ones joined) are written
            // from the replaced text; the others keep their bytes.
            auto lineOf = [&](qsizetype charPos) {
                return qsizetype(std::upper_bound(starts.begin(), starts.end(), charPos) -
                                 starts.begin()) - 1;
            };
            size_t h = 0;
            qsizetype k = 0;
            while (k < n) {
                if (h >= hits.size() || lineOf(hits[h]) > k) {
                    const qsizetype until = h >= hits.size() ? n : lineOf(hits[h]);
                    Put(*out, QByteArrayView(chunkBytes).sliced(byteStarts[size_t(k)],
                                                                byteStarts[size_t(until)] - byteStarts[size_t(k)]),
                        options.io);
                    k = until;
                    continue;
                }
                qsizetype runEnd = k;
                QString replaced;
                qsizetype cursor = starts[size_t(k)];
                while (h < hits.size() && lineOf(hits[h]) <= runEnd + 1) {
                    replaced += QStringView(chunk).sliced(cursor, hits[h] - cursor);
                    replaced += to;
                    cursor = hits[h] + from.size();
                    runEnd = std::max(runEnd, lineOf(cursor - 1));
                    ++h;
                }
                const qsizetype runTo = runEnd + 1 < n ? starts[size_t(runEnd + 1)] : chunk.size();
                replaced += QStringView(chunk).sliced(cursor, runTo - cursor);
                if (result.firstChangedLine == 0)
                    result.firstChangedLine = first + k;
                Put(*out, EncodeOrRefuse(state, replaced, utf16, first + k), options.io);
                k = runEnd + 1;
            }
            result.lineReached = first + lineOf(hits.back() + from.size() - 1);
        }
        }
        if (result.cancelled) {
            // The rest as it was: the line left for the next chunk and what follows it.
            if (carried)
                Put(*out, carried->bytes, options.io);
            while (walker.Next(&raw, &rawStart))
                Put(*out, raw, options.io);
            break;
        }
        first = last + 1;
    }

    if (inPlace && result.replacements == 0)
        return result;  // nothing to write: the temporary file goes with `out`
    if (inPlace) {
        if (!temp->flush())
            ThrowFileError(*temp, Err::DiskFull);
        temp->close();
        temp->setAutoRemove(false);
        try {
            ReplaceWithBackup(state, temp->fileName(), options.io.ops);
        } catch (const RuntimeError&) {
            try {
                doc.File = OpenFile(doc.DocumentName,
                                    int(QIODevice::ReadOnly | QIODevice::Unbuffered),
                                    FileShare::Shared);
            } catch (const RuntimeError&) {
            }
            throw;
        }
    } else {
        auto* save = static_cast<QSaveFile*>(out.get());
        if (!save->commit())
            ThrowFileError(*save, Err::DiskFull);
    }
    result.written = true;
    return result;
}

}  // namespace kolbran
