#pragma once

#include "multifile/FileRewrite.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace kolbran {

struct AppState;

// The conversion kinds of the multi-file conversion, in list order.
namespace ConvertKind {
inline constexpr int SjisToUnicode = 0;
inline constexpr int UnicodeToSjis = 1;
inline constexpr int FromEucJp = 2;
inline constexpr int FromIso2022Jp = 3;
inline constexpr int FromEbcdik = 4;
inline constexpr int Corrected = 5;
inline constexpr int RightTrim = 6;
inline constexpr int WordWrap = 7;
inline constexpr int ToCrLf = 8;
inline constexpr int ToLf = 9;
inline constexpr int Count = 10;
}  // namespace ConvertKind

// The kind list's captions ("S_JIS→Unicode" … "1ﾊﾞｲﾄ改行へ").
QStringList ConvertKindCaptions();
// The display code a kind reads the lines under (0 for the kinds that take them raw).
int ConvertKindCode(int kind);
// The per-file question: "「" + name + "」を｢" + caption + "｣で変換します！".
QString ConvertQuestion(const QString& name, int kind);
// A UTF-16 file the kind would damage, left as it was.
QString Utf16KeptText(const QString& name);

struct ConvertOptions {
    int kind = ConvertKind::SjisToUnicode;
    QString keyword;  // not empty: only files whose first line begins with it
    int wrapWidth = 80;
};

enum class ConvertOutcome {
    Converted,  // the new content took the file's place
    Unchanged,  // keyword not matched, or the file already in the kind's target form
    Utf16Kept,  // a UTF-16 file the kind would corrupt (line-end kinds, EUC/JIS/correction)
    Cancelled,  // stopped inside the file: the file as it was
    Refused,    // read-only or hidden: not rewritten (`reason` says why)
};

// Bytes of the file done and its size; returning false cancels the file.
using ConvertStep = std::function<bool(int64_t done, int64_t total)>;

// Converts one file in place (a temporary file beside it, then ReplaceWithBackup): either the
// whole new content takes its place or it stays as it was. Lines are streamed, so there is no
// line limit, and bytes the kind does not change are written as read. Throws RuntimeError on
// a read or write failure (the file then unchanged).
ConvertOutcome ConvertFile(AppState& state, const QString& path, const ConvertOptions& options,
                           const ConvertStep& step, QString* reason = nullptr);

// The word wrap of one UTF-16 line's content (without its CR LF) at `width` Shift_JIS bytes:
// the pieces, each but the last to be followed by CR LF.
QStringList WrapLineText(const QString& content, int width);

}  // namespace kolbran
