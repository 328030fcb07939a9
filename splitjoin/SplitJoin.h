#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class QFile;
class QIODevice;

namespace kolbran {

struct AppState;

// The piece size is the scroll bar value times 10 KB.
inline constexpr int kPieceScrollMin = 10;
inline constexpr int kPieceScrollMax = 20480;
inline constexpr int kPieceScrollDefault = 144;
inline constexpr int64_t kPieceUnit = 10240;
// Piece numbers have three digits.
inline constexpr int kMaxPieces = 999;

constexpr int64_t PieceSize(int scrollValue) { return int64_t(scrollValue) * kPieceUnit; }

// The path up to its first "." (of the whole path, folders included), or the whole path.
QString PieceBase(const QString& path);
// base + "." + the number in three digits.
QString PieceName(const QString& base, int number);
// Pieces a split writes: a source of 0 bytes still gives one (empty) piece.
int64_t PieceCount(int64_t sourceSize, int64_t pieceSize);
// The smallest scroll value whose pieces number at most 999; std::nullopt when even the
// largest piece size needs more.
std::optional<int> SmallestFittingScrollValue(int64_t sourceSize);

// Copies the next `length` bytes of `source` into a new file `pieceName`; an existing file
// of that name is replaced without asking.
void ReadB(QIODevice& source, const QString& pieceName, int64_t length);
// Cuts `size` bytes of `source` into pieces base.001, base.002 …; returns the piece count.
int Bunkatsu(QIODevice& source, int64_t size, const QString& base, int64_t pieceSize);
// Appends the whole piece to `output`.
void ReadK(QIODevice& output, const QString& pieceName);
// Appends base.001, base.002 … up to the first missing number; returns the pieces joined.
int Ketsugou(QIODevice& output, const QString& base);
// The pieces a join of `base` reads: 001 up to the first missing number.
int ExistingPieceCount(const QString& base);
// The files base.(pieceCount+1), … up to the first missing number: a join after a split
// into pieceCount pieces would read them too.
QStringList LeftoverPieces(const QString& base, int pieceCount);
// The split's question about them: the first one's name, how many there are, "削除しますか？".
QString LeftoverQuestion(const AppState& state, const QStringList& leftovers);

// What a run of the dialog's "実　行" came to.
enum class SplitJoinOutcome {
    Nothing,  // empty name, a name with "*", a cancelled dialog
    Refused,  // a message told the user why nothing was written
    Failed,   // a run-time error, reported through ReportError
    Done,
};

// Split `name` into pieces of PieceSize(scrollValue) bytes beside its base. An existing
// read-only piece refuses the split (ReportError, nothing written); files numbered after
// the last new piece are deleted after the split only when the user answers Yes to
// LeftoverQuestion (No keeps them and the split goes on). Messages go
// through the prompter; run-time errors through ReportError. `beforeWrite` runs once the
// checks have passed (the window shows the hourglass from there).
SplitJoinOutcome RunSplit(AppState& state, const QString& name, int scrollValue,
                          const std::function<void()>& beforeWrite = {});
struct JoinOptions {
    // The output; without it the save dialog asks for one.
    std::optional<QString> output;
    // Ask the overwrite question of CheckSaveTarget before replacing an existing output
    // (kolbran-tool); the dialog replaces it as the user chose it.
    bool confirmOverwrite = false;
    // Runs once the output is settled, before anything is written.
    std::function<void()> beforeWrite;
};
// Join the pieces that belong to `name` into the output.
SplitJoinOutcome RunJoin(AppState& state, const QString& name, const JoinOptions& options = {});

// The texts of the save dialog of a join.
inline const QString kJoinSaveTitle = QStringLiteral(u"復元するファイル名を入力してください。");
inline const QString kJoinSaveFilter =
    QStringLiteral(u"圧縮ﾌｧｲﾙ(*.LZH)|*.LZH|実行ﾌｧｲﾙ(*.EXE)|*.EXE|全てのﾌｧｲﾙ(*.*)|*.*");

}  // namespace kolbran
