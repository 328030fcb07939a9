#pragma once

#include "core/ViewerSettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace kolbran {

struct AppState;

// KOLBRAN.DAT: the 260-byte settings record, read and written as record 1 of 396-byte
// records, and the delete-line rules (64-byte records).
//
// Rule placement: the rules start at byte 512 (rule k at 512 + 64 × (k − 1)), after the
// whole 396-byte slot of the settings record, so that a write of either never touches the
// other. The spare bytes 260..395 of the slot carry kRuleLayoutMarker. A file without the
// marker is laid out the old way (rule k at 256 + 64 × (k − 1), its first rule sharing
// bytes 256..259 with the end of the settings record); LoadSettings moves its rules to the
// new place. The old first rule is kept only when bytes 258..259 are not zero (the rules
// were written after the settings, so DebugFlags there is rule text and reads as 0);
// otherwise its first four key bytes were overwritten and it is dropped.
inline constexpr int kSettingsRecordSize = 260;
inline constexpr int kSettingsSlotSize = 396;
inline constexpr int kCurrentRecordVersion = 241;
inline constexpr int kRuleRecordSize = 64;
inline constexpr int kRuleAreaStart = 512;
inline constexpr int kOldRuleAreaStart = 256;
inline constexpr char kRuleLayoutMarker[] = "KOLBRAN RULES@512";
inline constexpr int kMaxRecentFiles = 9;
inline constexpr int kMaxEras = 11;
inline constexpr int kDefaultWindowWidth = 9105;  // twips

// --- the persistent record ---

// The 260 bytes of the record: little-endian, strings as Shift_JIS padded with blanks.
QByteArray EncodeSettingsRecord(const ViewerSettings& s);
// Reads the record's fields from `bytes` (a shorter input leaves the missing fields 0, as a
// read past the end of the file gives zeros).
void DecodeSettingsRecord(QByteArrayView bytes, ViewerSettings& s);
// First run: the values a new KOLBRAN.DAT starts with; `today` gives FirstUseDate.
void SetFirstRunValues(ViewerSettings& s, const QDate& today);
// The run-time values set at every start, before the files are read.
void SetRunTimeValues(ViewerSettings& s);
// The corrections applied at every load, in the order of the record's table.
void ApplyLoadCorrections(ViewerSettings& s);
// The four eras used when KOLBRAN.INI gave none.
QList<EraEntry> DefaultEraTable();

// The folder-path routine: `folder`, a separator when it does not end in one, and `name`.
QString ProgramFilePath(const QString& folder, const QString& name);

// What LoadSettings found, for the main window's debug messages and for tests.
struct SettingsLoadReport {
    bool firstRun = false;
    bool rulesMoved = false;       // an old-layout file was rewritten with the rules at 512
    bool firstOldRuleDropped = false;
    int storedVersion = 0;         // RecordVersion as found in the file
    QStringList skippedSteps;      // upgrade steps that failed ("INI: …")
};

// Fills `s` from KOLBRAN.DAT and KOLBRAN.INI in `folder` (creating an empty KOLBRAN.DAT
// when absent). Never throws: a damaged or unreadable file starts with what could be read.
SettingsLoadReport LoadSettings(ViewerSettings& s, const QString& folder,
                                const QDate& today = QDate::currentDate());
// The same on state.settings and state.SettingsFolder.
SettingsLoadReport LoadSettings(AppState& state);
// The same reading without writing anything (no new KOLBRAN.DAT, no rule move, no INI
// upgrade on disk): kolbran-tool reads the settings it needs and leaves the files alone.
SettingsLoadReport LoadSettingsWithoutWriting(ViewerSettings& s, const QString& folder);
// Writes the record as record 1 of KOLBRAN.DAT (the rules are kept). Throws RuntimeError.
void SaveSettings(const ViewerSettings& s);

// --- KOLBRAN.INI ---

// Reads KOLBRAN.INI (`storedVersion` below 224: the old plain list, which is upgraded and
// rewritten first). A damaged file stops the reading; the values read so far are kept and
// the reason is returned (empty when the file was read to its end).
QString ReadIniFile(ViewerSettings& s, int storedVersion, bool writeUpgrade = true);
// The bytes of KOLBRAN.INI for `s`: Shift_JIS, CR LF, quoted strings, decimal numbers.
QByteArray IniFileBytes(const ViewerSettings& s);
// Rewrites KOLBRAN.INI from `s` through a temporary file. Throws RuntimeError.
void WriteIniFile(const ViewerSettings& s);

// --- the recent files ---

// Moves `path` to the head of RecentFiles (exact, case-sensitive comparison; the oldest
// entry drops off a full list) and rewrites KOLBRAN.INI. An empty `path` adds the open
// document's name made absolute with the current folder. Throws RuntimeError when the INI
// cannot be written (the list in memory is updated all the same).
void AddRecentFile(AppState& state, const QString& path);
// The list part of AddRecentFile, without the file write.
void MoveToRecentHead(ViewerSettings& s, const QString& name);
// The menu label of a recent path: the path when it has at most 22 characters, otherwise
// its first 5 characters, "…" and its last 16.
QString RecentFileLabel(const QString& path);

// What the File menu shows for the recent files. captions[i] is the caption of item i + 1
// of Menu_File_Fe ("&1 label" …, to be made visible); items after the last caption are
// hidden. separatorVisible is the state of Menu_File_E. A caption is the program's text
// as it is: a "&" inside a path is a mnemonic marker unless the window escapes it.
struct RecentFileMenu {
    QStringList captions;
    bool separatorVisible = false;
};
RecentFileMenu RecentFileMenuItems(const ViewerSettings& s);

// --- what the main window applies to its controls ---

// The font table of FontIndex: "ＭＳ 明朝", "ＭＳ ゴシック", "標準明朝", "標準ゴシック";
// empty for other values (the text area keeps its built-in font).
QString FontNameForIndex(int fontIndex);
// A stored colour (0x00BBGGRR) as a QColor, and back.
QColor ColorFromBgr(int32_t bgr);
int32_t BgrFromColor(const QColor& color);
// The 16-colour palette: 0 black … 7 white (192, 192, 192), 8 grey, 9..15 the light
// versions; an index outside 0..15 gives black.
QColor PaletteColor(int index);
int32_t PaletteBgr(int index);

// --- the delete-line rules ---

struct DeleteRule {
    QString key;     // trailing blanks removed
    int16_t count = 1;
    bool operator==(const DeleteRule&) const = default;
};
// One 64-byte rule record: the key as Shift_JIS cut or padded with blanks to 48 bytes,
// 14 reserved bytes, the count as int16 at 62.
QByteArray EncodeDeleteRule(const DeleteRule& rule);
DeleteRule DecodeDeleteRule(QByteArrayView record);
// Number of rule records the file holds (the rules dialog's n).
int DeleteRuleCapacity(const QString& datPath);
// Rules 1..min(count, capacity) of KOLBRAN.DAT (either layout). Throws RuntimeError.
QList<DeleteRule> ReadDeleteRules(const QString& datPath, int count);
// Writes `rules` as rules 1..n; records after n and the settings record are kept.
// Throws RuntimeError.
void WriteDeleteRules(const QString& datPath, const QList<DeleteRule>& rules);

}  // namespace kolbran
