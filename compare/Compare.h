#pragma once

#include "core/LineIndex.h"
#include "core/RuntimeError.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kolbran {

// The file compare: an old and a new text file, line by line, listed as deleted, added and
// changed blocks with unchanged context lines around them.

inline constexpr LineNumber kCompareLineLimit = 300'000;
inline constexpr int kCompareWidthMin = 42;
inline constexpr int kCompareWidthMax = 120;
inline constexpr int kCompareWidthDefault = 72;
inline constexpr int kCompareContextMin = 5;
inline constexpr int kCompareContextMax = 20;
inline constexpr int kCompareContextDefault = 5;

// The two number boxes read as a run reads them. A box that holds no number resets both
// to their defaults; a number outside its range is clamped (the box is then rewritten).
struct CompareNumbers {
    int width = kCompareWidthDefault;
    int context = kCompareContextDefault;
    bool valid = true;           // both boxes held numbers
    bool widthRewritten = false;
    bool contextRewritten = false;
};
CompareNumbers ReadCompareNumbers(QStringView widthText, QStringView contextText);

// One file's line table. Lines end after CR LF (CR 00 LF 00 in a UTF-16 file); 4,096 bytes
// without an end are one line; at most kCompareLineLimit lines take part.
struct CompareLineTable {
    bool utf16 = false;
    std::vector<FileOffset> starts;  // 0-based start of every line, then the end of the last
    std::vector<uint64_t> keys;      // a hash of every line's content (index 0 = line 1)
    std::vector<bool> searchBack;    // the line has more than 2 characters
    FileOffset fileSize = 0;
    bool cut = false;                // the file has more lines than the limit

    LineNumber Count() const { return starts.empty() ? 0 : LineNumber(starts.size() - 1); }
};

// How lines are told equal: byte for byte when both files are of one kind; as text when
// one is Shift_JIS and the other UTF-16, so that a file equals its UTF-16 copy.
enum class CompareKeyMode { Bytes, Text };

// Builds the table of `path`; `step` is called every few thousand lines and returns false
// to stop (std::nullopt then). Throws RuntimeError when the file cannot be read.
std::optional<CompareLineTable> BuildCompareTable(const QString& path, CompareKeyMode mode,
                                                  const std::function<bool(LineNumber)>& step = {});

// The pairing of new lines with old lines: result[j] (j = 1..newCount) is the old line that
// new line j is paired with, or 0; result[0] is 0. `oldKeys`/`newKeys` are content hashes
// (equal lines have equal keys; `equal(i, j)` decides on the content), `searchBack[i - 1]`
// whether old line i may be looked for behind the search position. `step(i)` is called
// after every old line and returns false to stop (an empty result then).
std::vector<LineNumber> PairLines(const std::vector<uint64_t>& oldKeys,
                                  const std::vector<uint64_t>& newKeys,
                                  const std::vector<bool>& searchBack,
                                  const std::function<bool(LineNumber i, LineNumber j)>& equal,
                                  const std::function<bool(LineNumber i)>& step = {});

// The diagnostic of debug flag 1: the pairings from the first new line that does not follow
// its predecessor's old line, in the Str form run together (at most 402); empty when every
// new line follows on.
QString PairingBreaks(const std::vector<LineNumber>& match);

struct CompareOptions {
    int width = kCompareWidthDefault;      // W, display columns of a row
    int context = kCompareContextDefault;  // C, unchanged lines around a block
    int tabWidth = 4;
    bool diagnostics = false;              // debug flag 1
};

enum class ComparePhase { Reading, Matching, Listing };

struct CompareHooks {
    // After every line (the reading phase: every few thousand lines, total 0); false stops.
    std::function<bool(ComparePhase phase, qint64 done, qint64 total)> step;
    // The listing as it grows; without it the text is kept in CompareResult::listing.
    std::function<void(const QString& text)> append;
    // The debug-flag-1 message after the matching phase.
    std::function<void(const QString& text)> diagnostic;
};

struct CompareFailure {
    RuntimeError error;
    ComparePhase phase;
    QString procedure;   // VRcount, PairLines, RecRead …
    qint64 record = 0;   // the line reached
};

struct CompareResult {
    QString listing;  // when no append hook was given
    qint64 changed = 0;
    qint64 added = 0;
    qint64 deleted = 0;
    LineNumber oldCount = 0;
    LineNumber newCount = 0;
    bool cancelled = false;
    bool cut = false;  // a file had more than kCompareLineLimit lines
    std::optional<CompareFailure> failure;

    // All counters 0 after a complete run: the files are the same (in the lines compared).
    bool Same() const { return !cancelled && !failure && changed == 0 && added == 0 && deleted == 0; }
};

// Compares two files and produces the listing with its summary. Neither file is held in
// memory: lines are read back by their positions when they are compared or listed.
CompareResult CompareFiles(const QString& oldPath, const QString& newPath,
                           const CompareOptions& options, const CompareHooks& hooks = {});

// The messages a run ends with.
inline const QString kCompareSameText = QStringLiteral(u"このファイルは同じです。");
inline const QString kCompareLimitTitle = QStringLiteral(u"コンペア処理において");
QString CompareLimitText();  // "300,001行以上のテキストファイルは正しく処理されません。"
QString CompareMissingText(const QString& path);  // "「path」ﾌｧｲﾙはありません。"
// A file that a compare can read: it exists and is a regular file (not a folder, a FIFO or
// a device, which would never end or block the read).
bool CompareSourceExists(const QString& path);

}  // namespace kolbran
