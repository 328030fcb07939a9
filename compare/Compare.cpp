#include "compare/Compare.h"

#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/Numbers.h"
#include "core/SequentialLineReader.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <memory>

namespace kolbran {

namespace {

constexpr qsizetype kPiece = SequentialLineReader::kBlockSize;
const QString kCrLf = QStringLiteral("\r\n");

// A number box: the number rounded and clamped to lo..hi.
int ClampBox(QStringView text, int lo, int hi, bool& rewritten)
{
    const double v = std::clamp(Val(text), -1e9, 1e9);
    const qint64 n = RoundHalfEven(v);
    rewritten = n < lo || n > hi;
    return int(std::clamp<qint64>(n, lo, hi));
}

// Reads lines back by their positions through a window of the file, so that the mostly
// forward accesses of a compare cost one read per window, not one per line.
class LineFile {
public:
    LineFile(const QString& path, const CompareLineTable& table)
        : file_(OpenFile(path, QIODevice::ReadOnly)), table_(table)
    {
    }

    QByteArrayView Bytes(LineNumber n)
    {
        const FileOffset start = table_.starts[size_t(n - 1)];
        const qsizetype length = qsizetype(table_.starts[size_t(n)] - start);
        if (start < windowStart_ || start + length > windowStart_ + window_.size())
            Fill(start, length);
        return QByteArrayView(window_.constData() + (start - windowStart_), length);
    }
    qsizetype Length(LineNumber n) const
    {
        return qsizetype(table_.starts[size_t(n)] - table_.starts[size_t(n - 1)]);
    }
    QString Text(LineNumber n)
    {
        const QByteArrayView b = Bytes(n);
        return table_.utf16 ? FromUtf16Le(b) : FromSjis(b);
    }

private:
    static constexpr qsizetype kWindow = 256 * 1024;
    static constexpr qsizetype kBehind = 32 * 1024;  // the look-back reads a little behind

    void Fill(FileOffset start, qsizetype length)
    {
        const FileOffset from = std::max<FileOffset>(0, start - kBehind);
        const qsizetype want = std::max(kWindow, qsizetype(start - from) + length);
        window_.resize(want);
        if (!file_->seek(from))
            ThrowFileError(*file_);
        const qint64 got = file_->read(window_.data(), want);
        if (got < 0)
            ThrowFileError(*file_);
        window_.resize(qsizetype(got));
        windowStart_ = from;
        // Another program cut the file short since its table was built.
        if (start + length > from + got)
            throw RuntimeError(Err::InputPastEnd);
    }

    std::unique_ptr<QFile> file_;
    const CompareLineTable& table_;
    QByteArray window_;
    FileOffset windowStart_ = 0;
};

// The display width of each character in Shift_JIS bytes, kept per code unit.
int CharWidth(QStringView ch)
{
    const char16_t u = ch[0].unicode();
    if (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F))
        return 1;
    if (ch.size() > 1)
        return int(SjisLength(ch));
    static std::array<uint8_t, 65536> widths{};
    uint8_t& w = widths[u];
    if (w == 0)
        w = uint8_t(SjisLength(ch));
    return w;
}

struct Piece {
    qsizetype begin;  // code units
    qsizetype size;
    int width;
};

// Formats lines as rows: number, text padded or cut to W columns, "|".
class RowStream {
public:
    RowStream(LineFile& file, LineNumber first, LineNumber last, const CompareOptions& o)
        : file_(file), next_(first), last_(last), o_(o), digits_(last > 9999 ? 5 : 4)
    {
    }
    // The next row without its line end; false after the last.
    bool Next(QString& row)
    {
        while (rows_.empty()) {
            if (next_ > last_)
                return false;
            Format(next_++);
        }
        row = std::move(rows_.front());
        rows_.pop_front();
        return true;
    }

private:
    void Format(LineNumber n)
    {
        QString text = file_.Text(n);
        if (text.endsWith(kCrLf))
            text.chop(2);
        if (o_.tabWidth > 0 && text.contains(u'\t'))
            text.replace(u'\t', QString(o_.tabWidth, u' '));
        QString prefix = ZeroPad(n, digits_) + u'|';
        const QString more = QString(digits_, u' ') + u'|';

        qsizetype pos = 0;
        int total = 0;
        widths_.clear();
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() &&
                                          text[i + 1].isLowSurrogate()
                                      ? 2
                                      : 1;
            const int w = CharWidth(QStringView(text).mid(i, len));
            widths_.push_back({i, len, w});
            total += w;
            i += len;
        }
        size_t k = 0;
        while (total > o_.width) {
            // The shortest prefix at least W wide; a double-byte character across the edge
            // goes to the next row and this one ends with a blank.
            int acc = 0;
            size_t end = k;
            while (acc < o_.width)
                acc += widths_[end++].width;
            QString row = prefix;
            if (acc > o_.width) {
                --end;
                acc -= widths_[end].width;
            }
            const qsizetype to = end < widths_.size() ? widths_[end].begin : text.size();
            row += QStringView(text).mid(pos, to - pos);
            if (acc < o_.width)
                row += QString(o_.width - acc, u' ');
            row += u'|';
            rows_.push_back(std::move(row));
            total -= acc;
            pos = to;
            k = end;
            prefix = more;
        }
        prefix += QStringView(text).mid(pos);
        prefix += QString(o_.width - total, u' ');
        prefix += u'|';
        rows_.push_back(std::move(prefix));
    }

    LineFile& file_;
    LineNumber next_;
    LineNumber last_;
    const CompareOptions& o_;
    int digits_;
    std::deque<QString> rows_;
    std::vector<Piece> widths_;
};

class Stopped {};  // a cleared BusyFlag

// The listing phase: new lines in order against their pairings.
class Lister {
public:
    Lister(LineFile& oldFile, LineFile& newFile, LineNumber nOld, LineNumber nNew,
           const std::vector<LineNumber>& match, const CompareOptions& o, const CompareHooks& hooks,
           CompareResult& result)
        : old_(oldFile), new_(newFile), nOld_(nOld), nNew_(nNew), match_(match), o_(o),
          hooks_(hooks), result_(result)
    {
        const QString dashes(o.width - 11, u'-');
        auto sep = [&](const char16_t* label) -> QString { return QStringLiteral("    +") + dashes + QString::fromUtf16(label) + u'+'; };
        sepAdd_ = sep(u"- Add -----");
        sepDel_ = sep(u"- Del -----");
        sepBefore_ = sep(u"- Before --");
        sepAfter_ = sep(u"- After ---");
        sepPlain_ = sep(u"-----------");
        blank_ = QString(o.width + 6, u' ');
    }

    LineNumber reached = 0;

    void Run()
    {
        LineNumber p = 1;
        LineNumber c = 0, d = 0;  // the pending added range; c = 0: empty
        for (LineNumber n = 1; n <= nNew_; ++n) {
            reached = n;
            const LineNumber m = match_[size_t(n)];
            if (m == 0) {
                if (c == 0)
                    c = n;
                d = n;
            } else {
                if (m > p) {
                    const LineNumber a = p, b = m - 1;
                    if (c == 0)
                        Deleted(a, b);
                    else
                        Changed(a, b, c, d);
                    k_ = b + 1;
                    p = m;
                } else if (c != 0) {
                    Added(c, d, p, false);
                    k_ = p;
                }
                ++p;
                c = d = 0;
            }
            Step(n);
        }
        if (c == 0) {
            if (p <= nOld_)
                Deleted(p, nOld_);
            else if (Counted())
                Context(k_, std::min(nOld_, k_ + o_.context - 1));
        } else if (p > nOld_) {
            Added(c, d, p, true);
        } else {
            Changed(p, nOld_, c, d);
        }
        if (Counted())
            out_ += kCrLf;
    }

    void Flush()
    {
        if (out_.isEmpty())
            return;
        if (hooks_.append)
            hooks_.append(out_);
        else
            result_.listing += out_;
        out_.clear();
    }

    void Emit(const QString& text) { out_ += text; }

private:
    bool Counted() const { return result_.changed || result_.added || result_.deleted; }

    void Step(LineNumber n)
    {
        Flush();
        if (hooks_.step && !hooks_.step(ComparePhase::Listing, n, nNew_))
            throw Stopped();
    }

    // Inside a block: a block of any size is handed on in pieces, and can be cancelled.
    void BlockStep()
    {
        if (++blockRows_ % 1024 == 0)
            Step(reached);
    }

    void Context(LineNumber from, LineNumber to)
    {
        if (from < 1)
            from = 1;
        const int digits = to > 9999 ? 5 : 4;
        for (LineNumber n = from; n <= to; ++n) {
            QString text = old_.Text(n);
            out_ += ZeroPad(n, digits);
            out_ += u' ';
            out_ += text;
            // A last line or a 4,096-byte piece has no line end of its own.
            if (!text.endsWith(kCrLf))
                out_ += kCrLf;
        }
    }

    // ABlist: the unchanged lines before a block that begins at old line a.
    void Before(LineNumber a)
    {
        const int c = o_.context;
        if (k_ == 0) {
            Context(a - c, a - 1);
        } else if (a - k_ <= 2 * c) {
            Context(k_, a - 1);
        } else {
            Context(k_, k_ + c - 1);
            out_ += kCrLf;
            Context(a - c, a - 1);
        }
    }

    void Rows(LineFile& file, LineNumber first, LineNumber last, const QString& indent)
    {
        RowStream rows(file, first, last, o_);
        QString row;
        while (rows.Next(row)) {
            out_ += indent;
            out_ += row;
            out_ += kCrLf;
            BlockStep();
        }
    }

    void Deleted(LineNumber a, LineNumber b)
    {
        Before(a);
        out_ += (b < 10000 ? QString() : QStringLiteral(" ")) + sepDel_ + kCrLf;
        Rows(old_, a, b, {});
        out_ += sepPlain_ + kCrLf;
        result_.deleted += b - a + 1;
    }

    void Changed(LineNumber a, LineNumber b, LineNumber c, LineNumber d)
    {
        Before(a);
        out_ += sepBefore_ + Gap(b) + sepAfter_ + kCrLf;
        // CHlist: old and new rows side by side, each side closed by one separator.
        RowStream left(old_, a, b, o_), right(new_, c, d, o_);
        bool leftShown = false, rightShown = false;
        QString l, r;
        while (!(leftShown && rightShown)) {
            if (!left.Next(l)) {
                l = leftShown ? blank_ : sepPlain_;
                leftShown = true;
            }
            if (!right.Next(r)) {
                r = rightShown ? QString() : sepPlain_;
                rightShown = true;
            }
            out_ += l;
            out_ += u' ';
            out_ += r;
            out_ += kCrLf;
            BlockStep();
        }
        result_.changed += std::max(b - a + 1, d - c + 1);
    }

    void Added(LineNumber c, LineNumber d, LineNumber beforeOld, bool final)
    {
        Before(beforeOld);
        const QString gap = Gap(d);
        out_ += blank_ + gap + sepAdd_ + kCrLf;
        QString indent(o_.width + 7, u' ');
        if (final && d >= 10000)
            indent.prepend(QStringLiteral("  "));
        Rows(new_, c, d, indent);
        out_ += blank_ + gap + sepPlain_ + kCrLf;
        result_.added += d - c + 1;
    }

    static QString Gap(LineNumber last) { return last < 10000 ? QStringLiteral(" ") : QStringLiteral("   "); }

    LineFile& old_;
    LineFile& new_;
    LineNumber nOld_;
    LineNumber nNew_;
    const std::vector<LineNumber>& match_;
    const CompareOptions& o_;
    const CompareHooks& hooks_;
    CompareResult& result_;
    LineNumber k_ = 0;
    qint64 blockRows_ = 0;
    QString out_;
    QString sepAdd_, sepDel_, sepBefore_, sepAfter_, sepPlain_, blank_;
};

bool StartsWithMark(const QString& path)
{
    auto file = OpenFile(path, QIODevice::ReadOnly);
    char mark[2];
    return file->read(mark, 2) == 2 && uchar(mark[0]) == 0xFF && uchar(mark[1]) == 0xFE;
}

}  // namespace

CompareNumbers ReadCompareNumbers(QStringView widthText, QStringView contextText)
{
    CompareNumbers n;
    if (!IsNumeric(widthText) || !IsNumeric(contextText)) {
        n.valid = false;
        n.widthRewritten = n.contextRewritten = true;
        return n;
    }
    n.width = ClampBox(widthText, kCompareWidthMin, kCompareWidthMax, n.widthRewritten);
    n.context = ClampBox(contextText, kCompareContextMin, kCompareContextMax, n.contextRewritten);
    return n;
}

std::optional<CompareLineTable> BuildCompareTable(const QString& path, CompareKeyMode mode,
                                                  const std::function<bool(LineNumber)>& step)
{
    CompareLineTable t;
    auto file = OpenFile(path, QIODevice::ReadOnly);
    t.fileSize = file->size();
    // Read ahead in large blocks; only the 4,096-byte piece decides where a line ends.
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    FileOffset bufferStart = 0;
    qsizetype filled = 0;
    auto ensure = [&](FileOffset pos) {
        const qsizetype need = qsizetype(std::min<FileOffset>(kPiece, t.fileSize - pos));
        if (pos - bufferStart + need <= filled)
            return;
        const qsizetype keep = qsizetype(bufferStart + filled - pos);
        std::memmove(buffer.data(), buffer.constData() + (pos - bufferStart), size_t(keep));
        bufferStart = pos;
        filled = keep;
        while (filled < need) {
            const qint64 got = file->read(buffer.data() + filled, buffer.size() - filled);
            if (got < 0)
                ThrowFileError(*file);
            if (got == 0)
                throw RuntimeError(Err::InputPastEnd);
            filled += qsizetype(got);
        }
    };

    FileOffset pos = 0;
    if (t.fileSize >= 2) {
        ensure(0);
        t.utf16 = uchar(buffer[0]) == 0xFF && uchar(buffer[1]) == 0xFE;
        if (t.utf16)
            pos = 2;
    }
    t.starts.reserve(size_t(std::min<FileOffset>(t.fileSize / 16 + 2, kCompareLineLimit + 1)));
    while (pos < t.fileSize && LineNumber(t.keys.size()) < kCompareLineLimit) {
        ensure(pos);
        const qsizetype avail = qsizetype(std::min<FileOffset>(kPiece, t.fileSize - pos));
        const QByteArrayView piece(buffer.constData() + (pos - bufferStart), avail);
        const bool fileEnds = pos + avail >= t.fileSize;
        const qsizetype length = SequentialLineLength(piece, t.utf16, pos % 2 == 0, fileEnds);
        const QByteArrayView line = piece.first(length);
        t.starts.push_back(pos);
        bool longer;
        if (mode == CompareKeyMode::Bytes) {
            t.keys.push_back(qHash(line, size_t(0x9E3779B97F4A7C15ull)));
            longer = t.utf16 ? length / 2 > 2 : (length > 4 || FromSjis(line).size() > 2);
        } else {
            const QString text = t.utf16 ? FromUtf16Le(line) : FromSjis(line);
            t.keys.push_back(qHash(text, size_t(0x9E3779B97F4A7C15ull)));
            longer = text.size() > 2;
        }
        t.searchBack.push_back(longer);
        pos += length;
        if (step && t.keys.size() % 4096 == 0 && !step(LineNumber(t.keys.size())))
            return std::nullopt;
    }
    t.starts.push_back(pos);
    t.cut = pos < t.fileSize;
    return t;
}

std::vector<LineNumber> PairLines(const std::vector<uint64_t>& oldKeys,
                                  const std::vector<uint64_t>& newKeys,
                                  const std::vector<bool>& searchBack,
                                  const std::function<bool(LineNumber i, LineNumber j)>& equal,
                                  const std::function<bool(LineNumber i)>& step)
{
    const LineNumber nOld = LineNumber(oldKeys.size());
    const LineNumber nNew = LineNumber(newKeys.size());
    std::vector<LineNumber> match(size_t(nNew) + 1, 0);

    // The new lines grouped by key, each group in line order.
    struct Entry {
        uint64_t key;
        LineNumber line;
        bool operator<(const Entry& o) const { return key != o.key ? key < o.key : line < o.line; }
    };
    std::vector<Entry> byKey(static_cast<size_t>(nNew));
    for (LineNumber j = 1; j <= nNew; ++j)
        byKey[size_t(j - 1)] = {newKeys[size_t(j - 1)], j};
    std::sort(byKey.begin(), byKey.end());

    // The paired new lines in increasing order: a pairing at j drops those above j.
    std::vector<LineNumber> paired;
    auto pairAt = [&](LineNumber j, LineNumber i) {
        while (!paired.empty() && paired.back() > j) {
            match[size_t(paired.back())] = 0;
            paired.pop_back();
        }
        match[size_t(j)] = i;
        paired.push_back(j);
    };

    LineNumber p = 1;   // the next new line to search from
    LineNumber w0 = 1;  // the lower end of the look-back window
    for (LineNumber i = 1; i <= nOld; ++i) {
        const uint64_t key = oldKeys[size_t(i - 1)];
        const auto group = std::equal_range(byKey.begin(), byKey.end(), Entry{key, 0},
                                            [](const Entry& a, const Entry& b) { return a.key < b.key; });
        auto from = [&](LineNumber line) {
            return std::lower_bound(group.first, group.second, line,
                                    [](const Entry& e, LineNumber l) { return e.line < l; });
        };
        bool done = false;
        for (auto it = from(p); it != group.second; ++it) {
            const LineNumber j = it->line;
            if (match[size_t(j)] != 0 || !equal(i, j))
                continue;
            const bool follows = match[size_t(j - 1)] != 0;
            pairAt(j, i);
            // A distant match advances the search by one only, so that the lines in
            // between stay in reach.
            p = follows ? j + 1 : p + 1;
            done = true;
            break;
        }
        if (!done && searchBack[size_t(i - 1)]) {
            if (p - w0 > 240)
                w0 = p - 240;
            for (auto it = from(w0); it != group.second && it->line < p; ++it) {
                const LineNumber j = it->line;
                if (!equal(i, j))
                    continue;
                if (match[size_t(j)] == 0) {
                    pairAt(j, i);
                    p = j + 1;
                }
                break;
            }
        }
        if (step && !step(i))
            return {};
    }
    return match;
}

QString PairingBreaks(const std::vector<LineNumber>& match)
{
    const LineNumber n = LineNumber(match.size()) - 1;
    for (LineNumber j = 1; j <= n; ++j) {
        if (match[size_t(j)] - match[size_t(j - 1)] == 1)
            continue;
        QString text;
        for (LineNumber k = j; k <= n && k < j + 402; ++k)
            text += StrNumber(match[size_t(k)]);
        return text;
    }
    return {};
}

QString CompareLimitText()
{
    return FormatCount(kCompareLineLimit + 1) + QStringLiteral(u"行以上のテキストファイルは正しく処理されません。");
}

QString CompareMissingText(const QString& path)
{
    return QStringLiteral(u"「") + path + QStringLiteral(u"」ﾌｧｲﾙはありません。");
}

bool CompareSourceExists(const QString& path)
{
    return FileExists(path) && QFileInfo(FromNativeSeparators(path)).isFile();
}

CompareResult CompareFiles(const QString& oldPath, const QString& newPath,
                           const CompareOptions& options, const CompareHooks& hooks)
{
    CompareResult result;
    ComparePhase phase = ComparePhase::Reading;
    QString procedure = QStringLiteral("VRcount");
    qint64 record = 0;
    auto step = [&](qint64 done, qint64 total) {
        record = done;
        return !hooks.step || hooks.step(phase, done, total);
    };
    try {
        // Bytes decide unless one file is Shift_JIS and the other UTF-16.
        const CompareKeyMode mode = StartsWithMark(oldPath) == StartsWithMark(newPath)
                                        ? CompareKeyMode::Bytes
                                        : CompareKeyMode::Text;
        auto reading = [&](LineNumber n) { return step(n, 0); };
        std::optional<CompareLineTable> oldTable = BuildCompareTable(oldPath, mode, reading);
        if (oldTable)
            result.oldCount = oldTable->Count();
        std::optional<CompareLineTable> newTable =
            oldTable ? BuildCompareTable(newPath, mode, reading) : std::nullopt;
        if (!newTable) {
            result.cancelled = true;
            return result;
        }
        result.newCount = newTable->Count();
        result.cut = oldTable->cut || newTable->cut;

        phase = ComparePhase::Matching;
        procedure = QStringLiteral("PairLines");
        LineFile oldFile(oldPath, *oldTable), newFile(newPath, *newTable);
        std::function<bool(LineNumber, LineNumber)> equal;
        if (mode == CompareKeyMode::Bytes)
            equal = [&](LineNumber i, LineNumber j) {
                return oldFile.Length(i) == newFile.Length(j) && oldFile.Bytes(i) == newFile.Bytes(j);
            };
        else
            equal = [&](LineNumber i, LineNumber j) { return oldFile.Text(i) == newFile.Text(j); };
        const LineNumber nOld = result.oldCount;
        std::vector<LineNumber> match =
            PairLines(oldTable->keys, newTable->keys, oldTable->searchBack, equal,
                      [&](LineNumber i) { return step(i, nOld); });
        if (match.empty()) {
            result.cancelled = true;
            return result;
        }
        oldTable->keys = {};
        newTable->keys = {};
        if (options.diagnostics && hooks.diagnostic) {
            const QString breaks = PairingBreaks(match);
            if (!breaks.isEmpty())
                hooks.diagnostic(breaks);
        }

        phase = ComparePhase::Listing;
        procedure = QStringLiteral("RecRead");
        record = 0;
        Lister lister(oldFile, newFile, nOld, result.newCount, match, options, hooks, result);
        try {
            lister.Run();
        } catch (const Stopped&) {
            lister.Flush();
            result.cancelled = true;
            return result;
        } catch (...) {
            lister.Flush();
            record = lister.reached;
            throw;
        }
        if (result.Same())
            return result;
        lister.Emit(kCrLf + QStringLiteral(u"変更 : ") + ZeroPad(result.changed, 4) + kCrLf +
                    QStringLiteral(u"追加 : ") + ZeroPad(result.added, 4) + kCrLf +
                    QStringLiteral(u"削除 : ") + ZeroPad(result.deleted, 4) + kCrLf);
        lister.Flush();
    } catch (const RuntimeError& e) {
        result.failure = CompareFailure{e, phase, procedure, record};
    } catch (const std::bad_alloc&) {
        result.failure = CompareFailure{RuntimeError(Err::OutOfMemory), phase, procedure, record};
    }
    return result;
}

}  // namespace kolbran
