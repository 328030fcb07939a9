#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

namespace kolbran {

struct AppState;

// The delimiters of the delimiter list, by index.
QStringList CsvDelimiterNames();
QChar CsvDelimiter(int index);

// The display width of a text: its length in Shift_JIS bytes (1 per single-byte,
// 2 per double-byte character).
int DisplayWidth(QStringView text);

// The column widths of a table: every delimiter separates fields (no quote handling).
// The table has as many columns as the line with the most fields.
class CsvLayout {
public:
    explicit CsvLayout(QChar delimiter) : delimiter_(delimiter) {}
    // Widens the columns for one line (without its line end).
    void Measure(QStringView line);
    // The row of one line: "│", each field padded with blanks to its column's width and
    // "│"; missing fields blank; CR LF at the end.
    void AppendRow(QStringView line, QString& out) const;
    int Columns() const { return int(widths_.size()); }
    const std::vector<int>& Widths() const { return widths_; }
    QChar Delimiter() const { return delimiter_; }

private:
    QChar delimiter_;
    std::vector<int> widths_ = std::vector<int>(1, 0);
};

// Line n (1-based) of a source, without its line end.
using CsvLineSource = std::function<QString(qint64 n)>;
// Called after each line with its number; false stops the pass (a cancel).
using CsvStep = std::function<bool(qint64 n)>;

// The measuring pass over lines 1..lineCount; false when it was stopped.
bool CsvMeasurePass(CsvLayout& layout, qint64 lineCount, const CsvLineSource& source, const CsvStep& step);

// Where a table pass stands: the rows not yet handed over and the last line done. A
// failure thrown out of the pass leaves them as they were at that moment.
struct CsvTableProgress {
    QString pending;
    qint64 line = 0;
};
// The table pass: the rows, handed to `sink` 20 lines at a time and at the end. False when
// it was stopped (the rows made so far have been handed over).
bool CsvTablePass(const CsvLayout& layout, qint64 lineCount, const CsvLineSource& source, const CsvStep& step,
                  const std::function<void(const QString& rows)>& sink, CsvTableProgress& progress);

// Lines of the document open in `state`, as the screen shows them (the display code).
CsvLineSource DocumentLineSource(AppState& state);

// The message of a table pass that ran out of memory at `line`.
QString CsvOutOfMemoryMessage(qint64 line);

}  // namespace kolbran
