#include "editor/WholeFileReplace.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"
#include "viewer/ChunkLineEnd.h"
#include "viewer/LineLoader.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
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

struct ChunkLine {
    QByteArray bytes;
    QString text;
};

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

    std::vector<ChunkLine> lines;
    std::vector<qsizetype> starts;  // each line's first character in the chunk text
    std::optional<ChunkLine> carried;  // a line read but left for the next chunk
    int64_t first = 1;
    for (;;) {
        // The chunk: up to 1,000 lines, fewer than 65,536 characters, at least one line.
        lines.clear();
        starts.clear();
        qsizetype chars = 0;
        auto take = [&](ChunkLine line) {
            if (!lines.empty() && chars + line.text.size() >= kReplaceChunkChars) {
                carried = std::move(line);
                return false;
            }
            starts.push_back(chars);
            chars += line.text.size();
            lines.push_back(std::move(line));
            return true;
        };
        if (carried) {
            ChunkLine line = std::move(*carried);
            carried.reset();
            take(std::move(line));
        }
        QByteArrayView raw;
        FileOffset rawStart = 0;
        while (int(lines.size()) < kReplaceChunkLines && walker.Next(&raw, &rawStart)) {
            if (!take({raw.toByteArray(), utf16 ? FromUtf16Le(raw) : FromSjis(raw)}))
                break;
        }
        if (lines.empty())
            break;
        const int64_t last = first + int64_t(lines.size()) - 1;
        if (options.onChunk)
            options.onChunk(first, last);

        // The chunk text and its occurrences, replaced one by one.
        QString chunk;
        chunk.reserve(chars);
        for (const ChunkLine& l : lines)
            chunk += l.text;
        struct Hit {
            qsizetype at;  // in the original chunk text
        };
        std::vector<Hit> hits;
        qsizetype pos = 0;
        while (!result.cancelled) {
            const qsizetype at = chunk.indexOf(from, pos, Qt::CaseSensitive);
            if (at < 0)
                break;
            hits.push_back({at});
            pos = at + from.size();
            ++result.replacements;
            YieldToEventLoop();
            if (!state.BusyFlag)
                result.cancelled = true;
        }

        if (hits.empty()) {
            for (const ChunkLine& l : lines)
                Put(*out, l.bytes, options.io);
        } else {
            // The lines an occurrence touches (runs of them joined where one spans lines) are
            // written from the replaced text; the others keep their bytes.
            auto lineOf = [&](qsizetype charPos) {
                return qsizetype(std::upper_bound(starts.begin(), starts.end(), charPos) -
                                 starts.begin()) - 1;
            };
            size_t h = 0;
            qsizetype k = 0;
            const qsizetype n = qsizetype(lines.size());
            while (k < n) {
                if (h >= hits.size() || lineOf(hits[h].at) > k) {
                    Put(*out, lines[size_t(k)].bytes, options.io);
                    ++k;
                    continue;
                }
                // A run from line k to the line holding the end of the last occurrence in it.
                qsizetype runEnd = lineOf(hits[h].at + from.size() - 1);
                const qsizetype runFrom = starts[size_t(k)];
                QString replaced;
                qsizetype cursor = runFrom;
                while (h < hits.size() && lineOf(hits[h].at) <= runEnd) {
                    replaced += QStringView(chunk).sliced(cursor, hits[h].at - cursor);
                    replaced += to;
                    cursor = hits[h].at + from.size();
                    runEnd = std::max(runEnd, lineOf(cursor - 1));
                    ++h;
                }
                const qsizetype runTo = runEnd + 1 < n ? starts[size_t(runEnd + 1)] : chunk.size();
                replaced += QStringView(chunk).sliced(cursor, runTo - cursor);
                if (result.firstChangedLine == 0)
                    result.firstChangedLine = first + k;
                if (utf16) {
                    Put(*out, ToUtf16Le(replaced), options.io);
                } else {
                    const qsizetype bad = FirstUnsavableChar(replaced);
                    if (bad >= 0)
                        RefuseUnsavableChar(state, replaced, bad,
                                            first + k +
                                                QStringView(replaced).first(bad).count(
                                                    QStringLiteral("\r\n")));
                    Put(*out, ToSjis(replaced), options.io);
                }
                k = runEnd + 1;
            }
            result.lineReached = first + lineOf(hits.back().at + from.size() - 1);
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
