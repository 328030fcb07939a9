#include "multifile/MultiReplace.h"

#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "multifile/FileLines.h"
#include "multifile/FileRewrite.h"

#include <QFileDevice>
#include <QIODevice>
#include <QList>

#include <array>
#include <memory>

namespace kolbran {

namespace {

constexpr char16_t kVoicedMark = 0xFF9E;      // ﾞ
constexpr char16_t kSemiVoicedMark = 0xFF9F;  // ﾟ

// Full-width forms of ｦ (FF66) … ﾝ (FF9D), in code order (JIS X 0201 → JIS X 0208).
constexpr std::array<char16_t, 0xFF9D - 0xFF66 + 1> kKana = {
    u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ', u'ョ', u'ッ',  // ｦ ｧ ｨ ｩ ｪ ｫ ｬ ｭ ｮ ｯ
    u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ',                               // ｰ ｱ ｲ ｳ ｴ ｵ
    u'カ', u'キ', u'ク', u'ケ', u'コ', u'サ', u'シ', u'ス', u'セ', u'ソ',
    u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ', u'ネ', u'ノ',
    u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ',
    u'ヤ', u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン',
};

bool IsSjisTrail(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

struct Edit {
    qsizetype first;  // unit index
    qsizetype last;   // one past
    QString with;
};

void AddEdit(QList<Edit>& edits, qsizetype first, qsizetype last, QStringView with)
{
    if (!edits.isEmpty() && edits.back().last == first) {
        edits.back().last = last;
        edits.back().with += with;
    } else {
        edits.append({first, last, with.toString()});
    }
}

void FindEdits(QStringView text, int mode, const QString& from, const QString& to, QList<Edit>& edits)
{
    edits.clear();
    const qsizetype n = text.size();
    if (mode == ReplaceMode::String) {
        if (from.isEmpty())
            return;
        qsizetype pos = 0;
        qsizetype at;
        // Matches do not overlap and the replacement is never searched again.
        while ((at = text.indexOf(from, pos)) >= 0) {
            edits.append({at, at + from.size(), to});
            pos = at + from.size();
        }
        return;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (mode == ReplaceMode::Kana) {
            bool used = false;
            const char16_t full = FullWidthKana(c, i + 1 < n ? text[i + 1].unicode() : 0, &used);
            if (full == 0)
                continue;
            const QChar fc(full);
            AddEdit(edits, i, i + (used ? 2 : 1), QStringView(&fc, 1));
            if (used)
                ++i;
        } else if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
            const QChar fc(char16_t(c - u'A' + 0xFF21));
            AddEdit(edits, i, i + 1, QStringView(&fc, 1));
        }
    }
}

QString ApplyEdits(QStringView text, const QList<Edit>& edits)
{
    QString out;
    out.reserve(text.size() + 16);
    qsizetype prev = 0;
    for (const Edit& e : edits) {
        out += text.sliced(prev, e.first - prev);
        out += e.with;
        prev = e.last;
    }
    out += text.sliced(prev);
    return out;
}

// A Shift_JIS line as one character per unit, with where each unit starts (and the end).
void SjisUnits(QByteArrayView bytes, QString* text, QList<qsizetype>* starts)
{
    starts->clear();
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        starts->append(i);
        const auto b = static_cast<unsigned char>(bytes[i]);
        i += IsSjisLeadByte(b) && i + 1 < n && IsSjisTrail(static_cast<unsigned char>(bytes[i + 1])) ? 2 : 1;
    }
    starts->append(n);
    *text = FromSjis(bytes);
    const qsizetype units = starts->size() - 1;
    if (text->size() == units)
        return;
    text->resize(units);
    for (qsizetype u = 0; u < units; ++u) {
        const QString c = FromSjis(bytes.sliced(starts->at(u), starts->at(u + 1) - starts->at(u)));
        (*text)[u] = c.size() == 1 ? c[0] : QChar(QChar::ReplacementCharacter);
    }
}

class Output {
public:
    explicit Output(QIODevice& device) : device_(device) { buffer_.reserve(kFlush + (64 << 10)); }
    void Write(QByteArrayView bytes)
    {
        buffer_.append(bytes);
        if (buffer_.size() >= kFlush)
            Flush();
    }
    void Flush()
    {
        if (buffer_.isEmpty())
            return;
        if (device_.write(buffer_) != buffer_.size()) {
            if (auto* f = qobject_cast<QFileDevice*>(&device_))
                ThrowFileError(*f, Err::DiskFull);
            throw RuntimeError(Err::DiskFull);
        }
        buffer_.clear();
    }

private:
    static constexpr qsizetype kFlush = 1 << 20;
    QIODevice& device_;
    QByteArray buffer_;
};

QString WithCrLf(const QString& line)
{
    return line.endsWith(QLatin1String("\r\n")) ? line : line + QStringLiteral("\r\n");
}

}  // namespace

char16_t FullWidthKana(char16_t c, char16_t mark, bool* used)
{
    *used = false;
    if (c < 0xFF66 || c > 0xFF9D)
        return 0;
    const char16_t full = kKana[c - 0xFF66];
    if (mark == kVoicedMark) {
        // ウ, カ…コ, サ…ソ, タ…ト, ハ…ホ: the voiced form is the next code.
        if (full == u'ウ') {
            *used = true;
            return u'ヴ';
        }
        if ((full >= u'カ' && full <= u'ド' && full != u'ッ') || (full >= u'ハ' && full <= u'ホ')) {
            *used = true;
            return char16_t(full + 1);
        }
    } else if (mark == kSemiVoicedMark && full >= u'ハ' && full <= u'ホ') {
        *used = true;
        return char16_t(full + 2);
    }
    return full;
}

QString ReplaceText(QStringView text, int mode, const QString& from, const QString& to)
{
    QList<Edit> edits;
    FindEdits(text, mode, from, to, edits);
    return edits.isEmpty() ? text.toString() : ApplyEdits(text, edits);
}

LineReplacer::LineReplacer(int mode, QString from, QString to)
    : mode_(mode), from_(std::move(from)), to_(std::move(to))
{
    toSjis_ = ToSjis(to_);
    toFitsSjis_ = FromSjis(toSjis_) == to_;
    toUtf16_ = ToUtf16Le(to_);
    // ASCII comes only from ASCII bytes, so a line can match only when it holds the search
    // text's longest ASCII run as bytes.
    qsizetype bestStart = 0, bestLength = 0;
    for (qsizetype i = 0; i < from_.size();) {
        if (from_[i].unicode() >= 0x80) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < from_.size() && from_[j].unicode() < 0x80)
            ++j;
        if (j - i > bestLength) {
            bestStart = i;
            bestLength = j - i;
        }
        i = j;
    }
    fromAscii_ = from_.mid(bestStart, bestLength).toLatin1();
}

bool LineReplacer::Replace(QByteArrayView line, bool utf16, QByteArray* out) const
{
    if (mode_ == ReplaceMode::String && from_.isEmpty())
        return false;
    if (utf16) {
        const qsizetype even = line.size() & ~qsizetype(1);
        const QString text = FromUtf16Le(line.first(even));
        QList<Edit> edits;
        FindEdits(text, mode_, from_, to_, edits);
        if (edits.isEmpty())
            return false;
        QByteArray bytes;
        bytes.reserve(line.size() + 16);
        qsizetype prev = 0;
        for (const Edit& e : edits) {
            bytes.append(line.sliced(prev * 2, (e.first - prev) * 2));
            bytes.append(mode_ == ReplaceMode::String ? toUtf16_ : ToUtf16Le(e.with));
            prev = e.last;
        }
        bytes.append(line.sliced(prev * 2));  // with an odd last byte as it was
        if (QByteArrayView(bytes) == line)
            return false;
        *out = std::move(bytes);
        return true;
    }

    // Lines that cannot change go out without decoding.
    if (mode_ == ReplaceMode::String) {
        if (!fromAscii_.isEmpty() && line.indexOf(fromAscii_) < 0)
            return false;
    } else {
        bool candidate = false;
        for (char ch : line) {
            const auto b = static_cast<unsigned char>(ch);
            if (mode_ == ReplaceMode::Kana ? (b >= 0xA6 && b <= 0xDD)
                                           : ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))) {
                candidate = true;
                break;
            }
        }
        if (!candidate)
            return false;
    }

    QString text;
    QList<qsizetype> starts;
    SjisUnits(line, &text, &starts);
    QList<Edit> edits;
    FindEdits(text, mode_, from_, to_, edits);
    if (edits.isEmpty())
        return false;
    QByteArray bytes;
    bytes.reserve(line.size() + 16);
    qsizetype prev = 0;
    for (const Edit& e : edits) {
        bytes.append(line.sliced(starts[prev], starts[e.first] - starts[prev]));
        bytes.append(mode_ == ReplaceMode::String ? toSjis_ : ToSjis(e.with));
        prev = e.last;
    }
    bytes.append(line.sliced(starts[prev]));
    if (QByteArrayView(bytes) == line)
        return false;
    *out = std::move(bytes);
    return true;
}

void ReplaceLog::Emit(const QString& text)
{
    if (text.isEmpty())
        return;
    length_ += text.size();
    if (sink_)
        sink_(text);
}

void ReplaceLog::BeginFile(const QString& name)
{
    EndFile();
    Emit(QStringLiteral("--- ") + name + QStringLiteral("--------------\r\n"));
}

void ReplaceLog::Changed(int64_t lineNumber, const QString& before, const QString& after)
{
    const QString entry = QString::number(lineNumber).rightJustified(3, u'0') + QStringLiteral(":\r\n") +
                          QStringLiteral(u"前:") + WithCrLf(before) + QStringLiteral(u"後:") + WithCrLf(after);
    if (length_ > kReplaceLogLimit || !held_.isEmpty())
        held_ += entry;
    else
        Emit(entry);
}

void ReplaceLog::Note(const QString& text)
{
    if (!held_.isEmpty())
        held_ += WithCrLf(text);
    else
        Emit(WithCrLf(text));
}

void ReplaceLog::EndFile()
{
    QString held;
    held.swap(held_);
    Emit(held);
}

void ReplaceLog::Finish()
{
    EndFile();
    Emit(QStringLiteral(u"--- 終了-----------------\r\n"));
}

FileReplaceResult ReplaceInFile(AppState& state, const QString& path, const LineReplacer& replacer,
                                ReplaceLog& log, const ReplaceStep& step)
{
    FileReplaceResult result;
    bool cancelled = false;
    bool unwritable = false;
    const RewriteResult rewrite = RewriteFile(
        state, path,
        [&](QIODevice& device) -> bool {
            std::unique_ptr<FileLines> lines;
            try {
                lines = std::make_unique<FileLines>(path);
            } catch (const RuntimeError& e) {
                result.error = e;
                return false;
            }
            const bool utf16 = lines->IsUtf16();
            Output out(device);
            if (utf16)
                out.Write("\xFF\xFE");
            QByteArray changed;
            QByteArrayView line;
            for (;;) {
                try {
                    if (!lines->Next(&line))
                        break;
                } catch (const RuntimeError& e) {
                    result.error = e;
                    return false;
                }
                if (replacer.Replace(line, utf16, &changed)) {
                    if (!utf16 && !replacer.ReplacementFitsSjis()) {
                        unwritable = true;
                        return false;
                    }
                    ++result.changedLines;
                    log.Changed(lines->LineNumber(), FileLineText(line, utf16, 0), FileLineText(changed, utf16, 0));
                    out.Write(changed);
                } else {
                    out.Write(line);
                }
                if (lines->LineNumber() % kReplaceStepLines == 0 && step &&
                    !step(lines->Position(), lines->Size())) {
                    cancelled = true;
                    return false;
                }
            }
            out.Flush();
            return result.changedLines > 0;
        },
        &result.reason);

    switch (rewrite) {
    case RewriteResult::Replaced: result.outcome = FileReplaceOutcome::Replaced; break;
    case RewriteResult::Refused: result.outcome = FileReplaceOutcome::Refused; break;
    case RewriteResult::Kept:
        result.outcome = result.error     ? FileReplaceOutcome::ReadFailed
                         : cancelled      ? FileReplaceOutcome::Cancelled
                         : unwritable     ? FileReplaceOutcome::Unwritable
                                          : FileReplaceOutcome::Unchanged;
        break;
    }
    return result;
}

QString OutcomeNote(const FileReplaceResult& result)
{
    switch (result.outcome) {
    case FileReplaceOutcome::Replaced:
    case FileReplaceOutcome::Unchanged: return {};
    case FileReplaceOutcome::Cancelled:
        return QStringLiteral(u"※ 中止しました。このファイルは変更していません。");
    case FileReplaceOutcome::Refused:
        return QStringLiteral(u"※ ") + result.reason + QStringLiteral(u"（変更していません）");
    case FileReplaceOutcome::Unwritable:
        return QStringLiteral(u"※ 置換後の文字列に Shift_JIS で書けない文字があるため、変更していません。");
    case FileReplaceOutcome::ReadFailed:
        return QStringLiteral(u"※ 読み込めません: ") +
               (result.error ? result.error->Description() + QStringLiteral(" (") +
                                   QString::number(result.error->Number()) + QStringLiteral(")")
                             : QString()) +
               QStringLiteral(u"（変更していません）");
    }
    return {};
}

}  // namespace kolbran
