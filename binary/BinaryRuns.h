#pragma once

#include "core/FileFacade.h"

#include "binary/DumpFormat.h"
#include "core/LineIndex.h"
#include "core/Prompter.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace kolbran {

struct AppState;

// The runs that write dump, binary display (B) and extended (K) files and restore bytes from
// B and K text. They run on the user-interface thread: at every progress step they report,
// yield to the event loop and stop when AppState::BusyFlag has been cleared (the caller sets
// it before the run). File errors throw RuntimeError; the caller reports them.

// Messages and titles.
inline const QString kSameNameMessage = QStringLiteral(u"元ファイルと同名のファイル名は使用できません。");
inline const QString kEmptyFileViewMessage = QStringLiteral(u"ファイルサイズが０のため表示できません。");
inline const QString kEmptyFileMessage = QStringLiteral(u"ファイルサイズが０のため処理できません。");
inline const QString kBinaryViewTitle = QStringLiteral(u"ﾊﾞｲﾅﾘ表示");
inline const QString kRestoreTitle = QStringLiteral(u"ﾊﾞｲﾅﾘ復元");        // main window
inline const QString kRestoreDialogTitle = QStringLiteral(u"復元");        // conversion dialog
inline const QString kRestoreProgressText = QStringLiteral(u"バイナリファイルの復元中 ");
inline const QString kGeneratedSuffix = QStringLiteral(u"を生成しました。");
// "ﾊﾞｲﾅﾘ表示ﾌｧｲﾙではないようです。確認してください。( 5 )", or the cancel text when the
// document was closed during the run.
QString RestoreErrorMessage(int errorNumber, bool documentClosed = false);
// "ｴﾝｺｰﾄﾞﾌｧｲﾙではないようです。確認してください。( 57 )": a failed write from the conversion dialog.
QString EncodeErrorMessage(int errorNumber);
// "処理中 " + ratio as "0.00 %": the binary view's progress text.
QString ProcessingText(double ratio);

// Progress: `done` of `total` (records, or bytes read for a named-file restore, or lines).
using ProgressFn = std::function<void(int64_t done, int64_t total)>;

// Progress intervals.
int64_t DumpProgressInterval(int64_t recordCount);                         // max(31, Int(R / 700))
int64_t BinaryDisplayProgressInterval(int64_t recordCount);                // max(32, Int(R / 700))
int64_t ExtendedProgressInterval(int64_t recordCount, int minimum);        // max(min, Int(R / 700))
int64_t RestoreProgressInterval(int64_t fileSize);                         // max(32, Int(size / 39000))

// Who asks for the output name; it decides the dialog texts and the same-name icon.
enum class OutputKind { Dump, BinaryDisplay, Extended, Restore };
enum class OutputCaller { BinaryView, ConversionDialog, MainWindow };

struct OutputDialogTexts {
    QString extension;  // with its dot: ".DMP", ".B", ".K", ".XXX"
    QString title;
    QString filter;
    int filterIndex = 1;
};
OutputDialogTexts OutputDialog(OutputKind kind, OutputCaller caller);

// The output name: default name from `source`, the save dialog, the current folder put back,
// the same-name refusal and the overwrite guard. Empty when nothing is to be written.
QString ChooseOutputPath(AppState& state, const QString& source, OutputKind kind,
                         OutputCaller caller);
// The same-name refusal and the overwrite guard for a path chosen without a dialog.
// true when the run may start.
bool AcceptOutputPath(AppState& state, const QString& source, const QString& target,
                      MsgIcon sameNameIcon);

// One 512-byte record of a file, read afresh (open, read, close).
QByteArray ReadDumpRecord(const QString& path, int64_t recordNumber);
// The text of page `page` of the binary view on `path` (of `fileSize` bytes).
QString DumpPageTextOfFile(const QString& path, int64_t fileSize, int64_t page,
                           const DumpLayout& layout);

// Writers: the number of records done (all of them unless the run was stopped).
// The dump file: pages 1..R under `layout`; progress every `interval` records.
int64_t WriteDumpFile(AppState& state, const QString& source, const QString& target,
                      const DumpLayout& layout, int64_t interval, const ProgressFn& progress);
int64_t WriteBinaryDisplayFile(AppState& state, const QString& source, const QString& target,
                               const ProgressFn& progress);
// `minimumInterval`: 31 in the binary view, 32 in the conversion dialog.
int64_t WriteExtendedFile(AppState& state, const QString& source, const QString& target,
                          int lineLength, int minimumInterval, const ProgressFn& progress);

// Restorers: the number of lines done.
// From a named B or K file read with the sequential line reader; progress in bytes read.
int64_t RestoreFromFile(AppState& state, const QString& source, const QString& target,
                        bool extended, const ProgressFn& progress);
// From lines 1..lineCount given by `fetchLine` (text with its line end), markers read;
// progress in lines every RestoreProgressInterval(fileSize) lines.
using LineFetch = std::function<QString(LineNumber line)>;
int64_t RestoreFromLines(AppState& state, LineNumber lineCount, int64_t fileSize,
                         const LineFetch& fetchLine, const QString& target,
                         const ProgressFn& progress);

}  // namespace kolbran
