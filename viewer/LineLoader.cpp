#include "viewer/LineLoader.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/JapaneseCodes.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "viewer/ChunkLineEnd.h"
#include "viewer/LineEnds.h"
#include "viewer/TextLineReader.h"
#include "viewer/ViewerHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

namespace kolbran {

namespace {
constexpr bool IsChunkEndLead(uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA);
}

}  // namespace

ChunkEnd ChunkLineEnd(const uint8_t* p, int64_t c, bool utf16)
{
    int64_t k = -1;
    int terminator = 0;
    const uint8_t* q = p;
    const uint8_t* const end = p + c;
    const int64_t tail = utf16 ? 3 : 2;
    while ((q = static_cast<const uint8_t*>(std::memchr(q, 0x0D, size_t(end - q)))) != nullptr) {
        const int64_t at = q - p;
        // UTF-16 pieces start on a code unit: a 0D in a unit's second byte is no CR, and a
        // cut there would leave every later character one byte off.
        if (utf16 && at % 2 == 1) {
            ++q;
            continue;
        }
        if (at > c - tail) {
            k = at;
            break;
        }
        if (!utf16 ? q[1] == 0x0A : (q[1] == 0x00 && q[2] == 0x0A)) {
            k = at;
            terminator = utf16 ? 4 : 2;
            break;
        }
        ++q;
    }
    // The step back keeps a Shift_JIS character whole; UTF-16 chunks end on a unit already.
    if (k < 0)
        return {c, 0,
                !utf16 && c == kChunkSize && IsChunkEndLead(p[kChunkSize - 1]) &&
                    !(p[kChunkSize - 2] >= 0x81 && p[kChunkSize - 2] <= 0x9F)};
    return {k + terminator, terminator, false};
}

namespace {

// The scan reads this much at a time and takes its 4,096-byte chunks from it.
constexpr int64_t kScanBlock = 1024 * 1024;
constexpr int64_t kLongLineBlock = 64 * 1024;
// The pairs are given up when most of this many lines end by the chunk rules, and taken up
// again after this many lines in a row that end at CR LF.
constexpr int64_t kPairsWindow = 256;
constexpr int64_t kTakeUpPairsAfter = 64;
constexpr int64_t kFirstScreenLine = 57;

constexpr QIODevice::OpenMode kReadMode = QIODevice::ReadOnly | QIODevice::Unbuffered;

QString LinesText(int64_t n)
{
    return QStringLiteral(u"行数:") + FormatCount(n);
}

// Restores Timer1 however the scan ends.
class TimerRestore {
public:
    explicit TimerRestore(ViewerHost& host) : host_(host), was_(host.Timer1Enabled())
    {
        host_.SetTimer1Enabled(false);
    }
    ~TimerRestore()
    {
        if (was_)
            host_.SetTimer1Enabled(true);
    }
    TimerRestore(const TimerRestore&) = delete;
    TimerRestore& operator=(const TimerRestore&) = delete;

private:
    ViewerHost& host_;
    bool was_;
};

// Steps shared by both indexers: progress set-up before the scan.
void BeginIndexing(AppState& state, ViewerHost& host, const QString& name, LineNumber fromLine)
{
    OpenDocument& doc = state.doc;
    if (state.settings.QuietLoad == 1) {
        doc.StatusInterval = 999;
    } else {
        host.SetStatusPanel(1, QStringLiteral(u"ファイルを読み込み中です。"));
        doc.FileLength = QFileInfo(FromNativeSeparators(name)).size();
        doc.StatusInterval = StatusIntervalFor(doc.FileLength);
        host.SetStatusPanel(5, QStringLiteral(u"ｻｲｽﾞ:") + FormatCount(doc.FileLength));
    }
    // The form is chosen by a full indexing; a re-indexing keeps the entries where they are.
    if (fromLine <= 1) {
        if (IsDebugFlag(state.settings, 3) == 1)
            state.index.UseDiskForm(DiskIndexFolder(state));
        else
            state.index.UseMemoryForm();
    }
    doc.File.reset();
}

void EndIndexing(AppState& state, ViewerHost& host)
{
    state.index.Flush();
    state.doc.File.reset();
    host.SetStatusPanel(1, QString());
}

// Reads up to `length` bytes at the 0-based `offset` into `dest`; returns the count read.
int64_t ReadAt(QFile& file, int64_t offset, char* dest, int64_t length)
{
    if (length <= 0 || !file.seek(offset))
        return 0;
    int64_t done = 0;
    while (done < length) {
        const qint64 got = file.read(dest + done, length - done);
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

// The binary scan. Returns false when the document was reset while events were processed.
bool ScanChunks(AppState& state, ViewerHost& host, QFile* file, LineNumber fromLine)
{
    OpenDocument& doc = state.doc;
    LineIndex& index = state.index;
    const bool quiet = state.settings.QuietLoad == 1;
    const bool limited = index.HasLineLimit();
    const int interval = std::max(1, doc.StatusInterval);

    std::vector<char> block(static_cast<size_t>(kScanBlock));
    int64_t blockStart = 1;  // 1-based position of block[0]
    int64_t blockLength = 0;
    int64_t fileLength = file->size();

    doc.TopLine = 1;
    int64_t i = 1;
    index.Set(1, 1);
    int64_t s = 1;
    bool firstChunk = true;
    int64_t untilStatus = interval;  // line ends until i is a multiple of the interval

    // Text that is not UTF-16 finds its CR LF pairs the fast way (see CrLfPairs); the chunks
    // below are read only where a line does not end within its first chunk.
    std::optional<CrLfPairs> pairs;
    // Where the pairs do not help (binary data: lines cut at chunk ends) they are given up,
    // and taken up again once lines end at CR LF in a row.
    bool slowRun = false;                     // the last line end came from the chunk rules
    int64_t crLfSteps = 0;                    // the chunk-rule line ends in a row that were a CR LF
    int64_t windowLines = 0, windowSlow = 0;  // lines, and those of the chunk rules, lately

    while (doc.TopLine != -1 && doc.File.get() == file && state.BusyFlag) {
        if (pairs) {
            // The lines up to the next one at which something happens (progress, the first
            // screen, a limit) go in one batch; that line takes the step below.
            int64_t room = untilStatus - 1;
            if (i < kFirstScreenLine)
                room = std::min(room, kFirstScreenLine - 1 - i);
            if (limited)
                room = std::min(room, LineIndex::kMemoryCapacity - 1 - i);
            room = std::min(room, int64_t(std::numeric_limits<LineNumber>::max()) - 1 - i);
            if (room > 0) {
                const int64_t before = i;
                s = 1 + pairs->FollowNearLineEnds(s - 1, kChunkSize - 2, room, [&](int64_t start) {
                    index.Set(++i, start + 1);
                });
                untilStatus -= i - before;
                doc.TopLine = s;
                if (i > before)
                    slowRun = false;
                windowLines += i - before;
            }
        }
        int64_t next = -1;
        bool splitBack = false;
        if (pairs) {
            // A pair whose CR lies within the chunk's first 4,095 bytes ends the line,
            // whatever lone CRs come before it.
            const int64_t cr = pairs->Next(s - 1);
            if (cr >= 0 && cr - (s - 1) <= kChunkSize - 2) {
                next = cr + 3;
                slowRun = false;
                ++windowLines;
            }
        }
        if (next < 0) {
            // The chunk at s: taken from the block, which is read again when the chunk would
            // run past it (the file's length is asked again near the end).
            int64_t available = blockStart + blockLength - s;
            if (s < blockStart || available < kChunkSize) {
                fileLength = file->size();
                if (s < blockStart || fileLength - s + 1 > available) {
                    blockStart = s;
                    // With the pairs at hand only the rare long line is read here: a
                    // smaller block keeps it from costing a whole block each time, until
                    // the chunk rules go on for longer (a file of few CR LFs).
                    const int64_t size = pairs && !slowRun ? kLongLineBlock : kScanBlock;
                    blockLength =
                        ReadAt(*file, s - 1, block.data(), std::min(size, fileLength - s + 1));
                    available = blockLength;
                }
            }
            const int64_t remaining = fileLength - s + 1;
            const int64_t c = std::min({remaining, int64_t(kChunkSize), available});
            if (c < 1) {
                doc.TopLine = -1;
                break;
            }
            const auto* p = reinterpret_cast<const uint8_t*>(block.data() + (s - blockStart));

            if (firstChunk) {
                firstChunk = false;
                doc.IsUtf16 = c >= 2 && p[0] == 0xFF && p[1] == 0xFE;
                if (doc.IsUtf16)
                    index.Set(1, 3);
                if (fromLine > 1) {
                    i = fromLine;
                    untilStatus = (interval - i % interval) % interval + 1;
                    s = index.Get(fromLine);
                    index.Set(fromLine, s);
                    doc.TopLine = s;
                }
                if (!doc.IsUtf16)
                    pairs.emplace(*file, s - 1);
                if (fromLine > 1)
                    continue;
            }

            const ChunkEnd end = ChunkLineEnd(p, c, doc.IsUtf16);
            next = s + end.length;
            splitBack = end.splitBack;
            slowRun = true;
            crLfSteps = end.terminator > 0 ? crLfSteps + 1 : 0;
            ++windowLines;
            ++windowSlow;
            const bool mostlySlow = windowLines >= kPairsWindow && windowSlow * 2 > windowLines;
            if (windowLines >= kPairsWindow)
                windowLines = windowSlow = 0;
            if (pairs && mostlySlow) {
                pairs.reset();
            } else if (!pairs && !doc.IsUtf16 && crLfSteps >= kTakeUpPairsAfter) {
                pairs.emplace(*file, next - 1);
                slowRun = false;
            }
        }

        doc.TopLine = next;
        if (next == s)
            break;

        // i is a multiple of StatusInterval when the countdown runs out.
        if (--untilStatus == 0) {
            untilStatus = interval;
            if (!quiet)
                host.SetStatusPanel(4, LinesText(i));
            YieldToEventLoop();
            if (doc.File.get() != file)
                return false;
        }

        if (splitBack)
            doc.TopLine -= 1;

        ++i;
        index.Set(i, doc.TopLine);

        if (i == kFirstScreenLine && !quiet) {
            const int64_t savedTop = doc.TopLine;
            const LineNumber savedCount = doc.LineCount;
            doc.TopLine = 1;
            doc.LineCount = LineNumber(kFirstScreenLine - 1);
            host.DrawScreen();
            if (doc.File.get() != file)
                return false;
            doc.TopLine = savedTop;
            doc.LineCount = savedCount;
        }

        if (limited && i == LineIndex::kMemoryCapacity) {
            // A file of exactly 1,000,000 lines ends here: nothing is left out.
            if (doc.TopLine > file->size())
                break;
            if (!quiet)
                host.SetStatusPanel(4, LinesText(LineIndex::kMaxMemoryLines));
            state.prompter.Message(FormatCount(LineIndex::kMemoryCapacity) +
                                       QStringLiteral(u"行以降は読み込めません。"),
                                   MsgIcon::Warning);
            break;
        }
        if (i == std::numeric_limits<LineNumber>::max())
            break;
        s = doc.TopLine;
    }
    doc.LineCount = LineNumber(i - 1);
    return true;
}

// The line-by-line scan. Returns false when the document was reset while events were
// processed.
bool ScanLines(AppState& state, ViewerHost& host, QFile* file, LineNumber fromLine)
{
    OpenDocument& doc = state.doc;
    LineIndex& index = state.index;
    const bool quiet = state.settings.QuietLoad == 1;
    const int interval = std::max(1, doc.StatusInterval);

    int64_t i;
    if (fromLine > 0) {
        i = fromLine;
        doc.TopLine = index.Get(i);
    } else {
        i = 1;
        doc.TopLine = 1;
        index.Set(1, 1);
    }
    TextLineReader reader(*file, doc.TopLine);
    bool stoppedEarly = false;
    bool readAny = false;
    for (;;) {
        if (!reader.SkipLine()) {
            // Nothing left to read: the last entry stored is the end.
            if (!readAny)
                --i;
            break;
        }
        readAny = true;
        if (reader.AtEnd())
            break;
        if (!state.BusyFlag) {
            stoppedEarly = true;
            break;
        }
        if (i % interval == 0) {
            if (!quiet)
                host.SetStatusPanel(4, LinesText(i));
            YieldToEventLoop();
            if (doc.File.get() != file)
                return false;
        }
        doc.TopLine = reader.Position();
        ++i;
        index.Set(i, doc.TopLine);
    }
    if (stoppedEarly) {
        // The current line's end is not known: it is not part of the index.
        doc.LineCount = LineNumber(i - 1);
    } else {
        doc.LineCount = LineNumber(i);
        if (readAny)
            index.Set(i + 1, file->size() + 1);
    }
    doc.TopLine = 1;
    return true;
}

}  // namespace

int StatusIntervalFor(FileOffset fileLength)
{
    const int64_t n = IntFloor(double(fileLength) / 56000.0);
    return int(std::clamp<int64_t>(n, 99, std::numeric_limits<int>::max()));
}

QString DiskIndexFolder(const AppState& state)
{
    if (!state.SettingsFolder.isEmpty())
        return state.SettingsFolder;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void BuildLineIndexByLines(AppState& state, ViewerHost& host, const QString& name,
                           LineNumber fromLine)
{
    TimerRestore timer(host);
    BeginIndexing(state, host, name, fromLine);
    OpenDocument& doc = state.doc;
    doc.LineInputMode = true;
    doc.File = OpenFile(name, int(kReadMode), FileShare::Shared);
    if (!ScanLines(state, host, doc.File.get(), fromLine))
        return;
    EndIndexing(state, host);
}

void BuildLineIndex(AppState& state, ViewerHost& host, const QString& name, LineNumber fromLine)
{
    TimerRestore timer(host);
    BeginIndexing(state, host, name, fromLine);
    OpenDocument& doc = state.doc;
    doc.LineInputMode = false;
    try {
        doc.File = OpenFile(name, int(kReadMode), FileShare::Shared);
    } catch (const RuntimeError&) {
        doc.LineInputMode = true;
        doc.File = OpenFile(name, int(kReadMode), FileShare::Shared);
        if (!ScanLines(state, host, doc.File.get(), fromLine))
            return;
        EndIndexing(state, host);
        return;
    }
    if (!ScanChunks(state, host, doc.File.get(), fromLine))
        return;
    EndIndexing(state, host);
}

FileOffset GetLineStart(const AppState& state, int64_t n)
{
    const int64_t last = int64_t(state.doc.LineCount) + 1;
    return state.index.Get(std::min(n, last));
}

void SetLineStart(AppState& state, int64_t n, FileOffset position)
{
    state.index.Set(n, position);
}

namespace {

// `length` cut to the bytes the open document has from `start`; 0 without a document.
int64_t AvailableLength(const AppState& state, FileOffset start, int64_t length)
{
    if (!state.doc.HasFile() || start < 1 || length <= 0)
        return 0;
    return std::max<int64_t>(0, std::min<int64_t>(length, state.doc.File->size() - (start - 1)));
}

}  // namespace

int64_t ReadDocumentInto(const AppState& state, FileOffset start, char* dest, int64_t length)
{
    length = AvailableLength(state, start, length);
    return length > 0 ? ReadAt(*state.doc.File, start - 1, dest, length) : 0;
}

QByteArray ReadDocumentBytes(const AppState& state, FileOffset start, int64_t length)
{
    length = AvailableLength(state, start, length);
    if (length <= 0)
        return QByteArray();
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    bytes.truncate(qsizetype(ReadAt(*state.doc.File, start - 1, bytes.data(), length)));
    return bytes;
}

void ReadLine(AppState& state, int64_t n)
{
    OpenDocument& doc = state.doc;
    doc.LineBuffer.clear();
    if (n > doc.LineCount)
        return;
    n = std::max<int64_t>(n, 1);
    const FileOffset start = GetLineStart(state, n);
    if (doc.DisplayCode == DisplayCode::Standard || doc.IsUtf16) {
        const QByteArray bytes =
            ReadDocumentBytes(state, start, GetLineStart(state, n + 1) - start);
        doc.LineBuffer = doc.IsUtf16 ? FromUtf16Le(bytes) : FromSjis(bytes);
        doc.LineLength = int32_t(doc.LineBuffer.size());
        return;
    }
    const QByteArray window = ReadDocumentBytes(state, start, kChunkSize);
    QByteArray converted;
    try {
        converted = ConvertWindow(doc.DisplayCode, window);
    } catch (const RuntimeError& e) {
        doc.DisplayCode = DisplayCode::Standard;
        ReportError(state, e, 1);
    } catch (const std::bad_alloc&) {
        doc.DisplayCode = DisplayCode::Standard;
        ReportError(state, Err::OutOfMemory, 1);
    }
    doc.LineBuffer = FromSjis(converted);
    const qsizetype crlf = doc.LineBuffer.indexOf(QStringLiteral("\r\n"));
    doc.LineLength = int32_t(crlf >= 0 ? crlf + 2 : doc.LineBuffer.size());
}

void ResetDocumentState(AppState& state)
{
    OpenDocument& doc = state.doc;
    doc.File.reset();
    state.index.UseMemoryForm();
    doc.DocumentName.clear();
    doc.LineCount = 0;
    doc.TopLine = 0;
    doc.LineBuffer.clear();
    doc.IsUtf16 = false;
    doc.DisplayCode = DisplayCode::Standard;
    doc.LineInputMode = false;
    state.BusyFlag = false;
    state.TraceText.clear();
}

bool PrOpen2(AppState& state, ViewerHost& host, const QString& name, LineNumber fromLine)
{
    OpenDocument& doc = state.doc;
    ++doc.OpenGeneration;
    const bool quiet = state.settings.QuietLoad == 1;
    const bool timerWas = host.Timer1Enabled();
    host.SetTimer1Enabled(false);
    host.SetScrollBarEnabled(false);
    if (!quiet)
        host.SetBusyCursor(true);

    state.BusyFlag = true;
    if (CheckFileExists(state, name)) {
        host.SetBusyCursor(false);
        return false;
    }

    int error = 0;
    RuntimeError failure(0);
    try {
        BuildLineIndex(state, host, name, fromLine);
        doc.File = OpenFile(name, int(kReadMode), FileShare::Shared);
        doc.FileLength = doc.File->size();
        doc.FileTimestamp = QFileInfo(doc.File->fileName()).lastModified();
        doc.TopLine = 1;
        if (!quiet) {
            host.SetStatusPanel(1, DisplayCodeName(doc.DisplayCode, doc.IsUtf16));
            host.AfterOpen();
            const int lines =
                state.settings.LinesPerScreen > 0 ? state.settings.LinesPerScreen : 32;
            host.SetScrollLargeChange(doc.LineCount < 300001 ? lines - 1 : 10);
        }
    } catch (const RuntimeError& e) {
        error = e.Number();
        failure = e;
    } catch (const std::bad_alloc&) {
        error = Err::OutOfMemory;
        failure = RuntimeError(Err::OutOfMemory);
    }
    if (error != 0) {
        host.SetStatusPanel(2, QString());
        host.SetScrollBarEnabled(true);
        host.SetBusyCursor(false);
        if (!quiet)
            ReportError(state, failure, 1);
        ResetDocumentState(state);
        host.ResetToNoDocument(false);
        return false;
    }
    host.SetBusyCursor(false);
    host.SetTimer1Enabled(timerWas);
    host.SetScrollBarEnabled(true);
    return true;
}

void PrOpen(AppState& state, ViewerHost& host, QString name)
{
    const bool quiet = state.settings.QuietLoad == 1;
    if (!quiet) {
        ResetDocumentState(state);
        host.ResetToNoDocument(true);
        host.SetFileMenuEnabled(false);
    } else {
        state.doc.File.reset();
    }
    state.doc.DocumentName = name;
    PrOpen2(state, host, name, 0);
    if (!quiet)
        host.SetFileMenuEnabled(true);
}

}  // namespace kolbran
