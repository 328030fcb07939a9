#pragma once

#include "core/RuntimeError.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

namespace kolbran {

struct MultiSearchOptions {
    QString needle;
    int compareMode = 1;   // 0 case significant, 1 case ignored
    int displayCode = 0;   // the code the files are read under (UTF-16 files aside)
    bool debugVariant = false;  // any debug flag set: long lines cut, one collecting chunk
    // The result box's 300,000-character rule; without it every result is given at once
    // (standard output, which keeps memory flat however many lines are found).
    bool boxRule = true;
};

// One result: name + ":" + the line number as "0000:" + the line's text with its line end,
// CR LF added when the line has none (so that it never runs into the next result). In the
// debug variant a line over 256 characters is cut to 256 and ends with CR LF.
QString MultiSearchResult(const QString& displayName, qint64 line, QStringView text, bool debugVariant);
// The line a failed file (or folder) gives: name + ":" + description + " ( 70 )" + CR LF.
QString MultiSearchErrorLine(const QString& displayName, const RuntimeError& error);

// The result box's rule. While the box holds at most 300,000 characters each result goes to it
// at once; beyond that the rest of the file's results are gathered in up to 101 chunks (a chunk
// is closed past 131,060 characters, the last one takes the rest) and given to the box when
// the file ends. The debug variant gathers into one chunk, given whenever it passes 300,000.
class ResultBox {
public:
    static constexpr qsizetype kDirectLimit = 300000;
    static constexpr qsizetype kChunkLimit = 131060;
    static constexpr int kChunks = 101;

    ResultBox(std::function<void(const QString&)> append, bool debugVariant);

    void Add(const QString& result);
    // The file ended: the gathered chunks go to the box in order.
    void EndFile();
    qsizetype BoxSize() const { return boxSize_; }
    // Every result goes to the box at once.
    void SetDirect(bool direct) { direct_ = direct; }

private:
    void Give(const QString& text);

    std::function<void(const QString&)> append_;
    bool debug_;
    bool direct_ = false;
    qsizetype boxSize_ = 0;
    std::vector<QString> chunks_;
};

struct MultiSearchHooks {
    // A file's turn: first `searching` false ("読取中 "), then true ("検索中 ") once it is open.
    std::function<void(qsizetype index, const QString& displayName, bool searching)> fileStarts;
    // Text for the result box, in order.
    std::function<void(const QString& text)> append;
    // File `index` of `total` is done (searched or failed); its results were appended.
    std::function<void(qsizetype index, qsizetype total)> fileDone;
    // Called every few lines and after each result; false cancels.
    std::function<bool()> step;
};

struct MultiSearchOutcome {
    qsizetype searched = 0;  // files whose search ended
    qsizetype failed = 0;    // files that could not be read (an error line each)
    qint64 found = 0;        // result lines
    bool cancelled = false;
};

// Searches `paths` in order (`names` are what the results show). A file that cannot be read
// gives its error line and the run goes on with the next one.
MultiSearchOutcome SearchFiles(const QStringList& paths, const QStringList& names, const MultiSearchOptions& options,
                               const MultiSearchHooks& hooks);

// Writes the result text as the save command does: Shift_JIS, nothing added, through a
// temporary file, so that a failed write keeps what was there. Throws RuntimeError.
void SaveMultiSearchResults(const QString& path, const QString& text);

// The text with every CR LF as LF (the result box and standard output break lines at LF),
// in one pass however long the text.
QString WithLfEnds(QStringView text);

// The progress step of a run over `count` files: Int(count / 860), at least 8.
qsizetype MultiSearchProgressStep(qsizetype count);

}  // namespace kolbran
