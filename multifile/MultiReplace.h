#pragma once

#include "core/RuntimeError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <optional>

namespace kolbran {

struct AppState;

// The replacement's modes: 0 the search text by the replacement (exact, case-sensitive),
// 1 half-width katakana to full width, 2 half-width Latin letters to full width.
namespace ReplaceMode {
inline constexpr int String = 0;
inline constexpr int Kana = 1;
inline constexpr int Latin = 2;
}  // namespace ReplaceMode

// The full-width form of the half-width katakana `c` (ｦ…ﾝ, ｰ), combined with a following
// voiced or semi-voiced mark (ﾞ, ﾟ) where that form exists; 0 for other characters. `mark` is
// the next character (0 when none); *used tells whether it was taken in.
char16_t FullWidthKana(char16_t c, char16_t mark, bool* used);

// The replacement of one line's text (its line end included): modes 0, 1 and 2.
QString ReplaceText(QStringView text, int mode, const QString& from = {}, const QString& to = {});

// Replaces within the lines of one file, keeping every byte it does not replace: a Shift_JIS
// line is walked character by character (a lead byte and a valid trail byte, otherwise one
// byte), a UTF-16 line code unit by code unit, and only the replaced characters are written
// anew (in Shift_JIS, or UTF-16LE in a UTF-16 file).
class LineReplacer {
public:
    LineReplacer(int mode, QString from = {}, QString to = {});

    int Mode() const { return mode_; }
    // false when the replacement text has a character Shift_JIS lacks, so that it cannot be
    // written into a Shift_JIS file.
    bool ReplacementFitsSjis() const { return toFitsSjis_; }

    // The line's new bytes in *out; false (out untouched) when nothing changed.
    bool Replace(QByteArrayView line, bool utf16, QByteArray* out) const;

private:
    int mode_;
    QString from_;
    QString to_;
    QByteArray toSjis_;
    QByteArray toUtf16_;
    QByteArray fromAscii_;  // the longest run of ASCII in the search text (a line without it cannot match)
    bool toFitsSjis_ = true;
};

// The run's log as the dialog's result box shows it. Entries go to `sink` as they come until
// the text passes 299,999 characters; from then on the entries of a file are kept and go out
// together after its last line, so that the box is not updated line by line.
class ReplaceLog {
public:
    explicit ReplaceLog(std::function<void(const QString&)> sink) : sink_(std::move(sink)) {}

    // "--- " + name + "--------------"
    void BeginFile(const QString& name);
    // The entry of a changed line: its number "000:", "前:" + the old text, "後:" + the new.
    void Changed(int64_t lineNumber, const QString& before, const QString& after);
    // A remark of the program about the file (not replaced, refused…), on a line of its own.
    void Note(const QString& text);
    // The kept entries of the file go out.
    void EndFile();
    // "--- 終了-----------------"
    void Finish();

    qsizetype Length() const { return length_; }

private:
    void Emit(const QString& text);

    std::function<void(const QString&)> sink_;
    qsizetype length_ = 0;  // characters sent to the sink
    QString held_;
};

inline constexpr qsizetype kReplaceLogLimit = 299999;
inline constexpr int kReplaceStepLines = 100;

enum class FileReplaceOutcome {
    Replaced,   // at least one line changed: the file rewritten (backup by the option)
    Unchanged,  // no line changed: file, time and backup untouched
    Cancelled,  // the run was cancelled in this file: the file as it was
    Refused,    // read-only or hidden: not rewritten
    Unwritable, // the replacement would need a character Shift_JIS lacks: the file as it was
    ReadFailed, // the file could not be read: the file as it was
};

struct FileReplaceResult {
    FileReplaceOutcome outcome = FileReplaceOutcome::Unchanged;
    int64_t changedLines = 0;
    QString reason;                     // Refused: the refusal's text
    std::optional<RuntimeError> error;  // ReadFailed: why
};

// Called every 100 lines with the bytes read so far and the file's size; false cancels.
using ReplaceStep = std::function<bool(int64_t done, int64_t total)>;

// Replaces in one file (`path`; `name` is how the log names it) through RewriteFile: each line
// as the file's lines come (no line limit), the changed lines logged, the file replaced only
// when a line changed and the whole file was read. Errors in writing the new version or in
// putting it in place (a full disk) throw RuntimeError with the file as it was.
FileReplaceResult ReplaceInFile(AppState& state, const QString& path, const LineReplacer& replacer,
                                ReplaceLog& log, const ReplaceStep& step);

// The log's remark for an outcome that leaves a file as it was for a reason the user should
// know (empty for Replaced and Unchanged).
QString OutcomeNote(const FileReplaceResult& result);

}  // namespace kolbran
