#include "generators/CsvTable.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/JapaneseCodes.h"
#include "core/Numbers.h"
#include "viewer/LineLoader.h"

#include <memory>

namespace kolbran {

QStringList CsvDelimiterNames()
{
    return {QStringLiteral(u"ｶﾝﾏ(,)"), QStringLiteral(u"ｾﾐｺﾛﾝ(;)"), QStringLiteral(u"ﾀﾌﾞ(Tab)")};
}

QChar CsvDelimiter(int index)
{
    switch (index) {
    case 1:
        return u';';
    case 2:
        return u'\t';
    default:
        return u',';
    }
}

int DisplayWidth(QStringView text)
{
    return int(SjisLength(text));
}

namespace {

const QChar kBar(0x2502);  // │

// Calls f(column, field) for every field of the line.
template <typename F>
void ForEachField(QStringView line, QChar delimiter, F&& f)
{
    int column = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = line.indexOf(delimiter, start);
        if (end < 0) {
            f(column, line.mid(start));
            return;
        }
        f(column++, line.mid(start, end - start));
        start = end + 1;
    }
}

}  // namespace

void CsvLayout::Measure(QStringView line)
{
    ForEachField(line, delimiter_, [this](int column, QStringView field) {
        if (column >= int(widths_.size()))
            widths_.resize(size_t(column) + 1, 0);
        widths_[size_t(column)] = std::max(widths_[size_t(column)], DisplayWidth(field));
    });
}

void CsvLayout::AppendRow(QStringView line, QString& out) const
{
    out += kBar;
    int done = 0;
    ForEachField(line, delimiter_, [&](int column, QStringView field) {
        if (column >= int(widths_.size()))
            return;  // a line the layout was not measured with
        const int width = widths_[size_t(column)];
        int used = DisplayWidth(field);
        if (used <= width) {
            out += field;
        } else {
            // Cut to the width, character by character.
            used = 0;
            for (qsizetype k = 0; k < field.size(); ++k) {
                const int w = DisplayWidth(field.mid(k, 1));
                if (used + w > width)
                    break;
                out += field[k];
                used += w;
            }
        }
        out += QString(width - used, u' ');
        out += kBar;
        done = column + 1;
    });
    for (int column = done; column < int(widths_.size()); ++column) {
        out += QString(widths_[size_t(column)], u' ');
        out += kBar;
    }
    out += QStringLiteral("\r\n");
}

bool CsvMeasurePass(CsvLayout& layout, qint64 lineCount, const CsvLineSource& source, const CsvStep& step)
{
    for (qint64 n = 1; n <= lineCount; ++n) {
        layout.Measure(source(n));
        if (!step(n))
            return false;
    }
    return true;
}

bool CsvTablePass(const CsvLayout& layout, qint64 lineCount, const CsvLineSource& source, const CsvStep& step,
                  const std::function<void(const QString& rows)>& sink, CsvTableProgress& progress)
{
    progress.pending.clear();
    progress.line = 0;
    bool completed = true;
    for (qint64 n = 1; n <= lineCount; ++n) {
        layout.AppendRow(source(n), progress.pending);
        progress.line = n;
        if (n % 20 == 0) {
            sink(progress.pending);
            progress.pending.clear();
        }
        if (!step(n)) {
            completed = false;
            break;
        }
    }
    if (!progress.pending.isEmpty()) {
        sink(progress.pending);
        progress.pending.clear();
    }
    return completed;
}

CsvLineSource DocumentLineSource(AppState& state)
{
    // Lines read one by one as ReadLine reads them; under the standard code (and for UTF-16)
    // the bytes of many whole lines are read at once and each line decoded by itself, which
    // gives the same text with far fewer reads.
    struct Block {
        qint64 first = 0;  // lines first..last are in bytes
        qint64 last = -1;
        FileOffset start = 0;
        QByteArray bytes;
    };
    auto block = std::make_shared<Block>();
    return [&state, block](qint64 n) {
        const OpenDocument& doc = state.doc;
        QString line;
        if (n < 1 || n > doc.LineCount) {
            line.clear();
        } else if (doc.DisplayCode == DisplayCode::Standard || doc.IsUtf16) {
            if (n < block->first || n > block->last) {
                constexpr qint64 kBlockBytes = 1 << 20;
                block->first = n;
                block->start = GetLineStart(state, n);
                qint64 last = n;
                while (last < doc.LineCount && GetLineStart(state, last + 2) - block->start <= kBlockBytes)
                    ++last;
                block->last = last;
                block->bytes = ReadDocumentBytes(state, block->start, GetLineStart(state, last + 1) - block->start);
            }
            const qint64 from = GetLineStart(state, n) - block->start;
            const qint64 to = std::min<qint64>(GetLineStart(state, n + 1) - block->start, block->bytes.size());
            const QByteArrayView bytes = QByteArrayView(block->bytes).sliced(
                qsizetype(std::min<qint64>(from, block->bytes.size())), qsizetype(std::max<qint64>(0, to - from)));
            line = doc.IsUtf16 ? FromUtf16Le(bytes) : FromSjis(bytes);
        } else {
            ReadLine(state, n);
            line = doc.LineBuffer.left(doc.LineLength);
        }
        if (line.endsWith(QStringLiteral("\r\n")))
            line.chop(2);
        return line;
    };
}

QString CsvOutOfMemoryMessage(qint64 line)
{
    return QStringLiteral(u"処理領域不足のため、") + StrNumber(line) + QStringLiteral(u"行までしか処理されませんでした。");
}

}  // namespace kolbran
