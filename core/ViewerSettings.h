#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace kolbran {

struct EraEntry {
    QString name;          // up to 4 characters
    QString abbreviation;  // up to 2 characters
    int year = 0;
    int month = 0;
    int day = 0;
};

// The process-wide settings: the persistent record of KOLBRAN.DAT (260 bytes),
// the values kept in KOLBRAN.INI, and run-time values set at every start.
struct ViewerSettings {
    // --- the persistent record (offsets in KOLBRAN.DAT in the comments) ---
    int16_t RecordVersion = 0;            // 0
    int16_t BrowserViewMode = 0;          // 2
    int16_t Reserved4 = 0;                // 4
    bool ToolbarVisible = false;          // 6
    int16_t LinesPerScreen = 0;           // 8
    float FontSize = 0;                   // 12
    int16_t WindowWidth = 0;              // 16, twips
    int16_t FontIndex = 0;                // 18
    QString FirstUseDate;                 // 20, char[10] MM-DD-YYYY
    int16_t SearchResultRow = 0;          // 30
    QString PrintFontName;                // 32, char[26]
    QString PrintFontSize;                // 58, char[8]
    int16_t ScrollBarLeft = 0;            // 66
    int16_t DeleteRuleCount = 0;          // 68
    int16_t OldBackColorIndex = 0;        // 70
    int16_t OldForeColorIndex = 0;        // 72
    bool RulerVisible = false;            // 74
    bool NoBackup = false;                // 76
    int16_t ReservedFlag = 0;             // 78
    bool StatusBarVisible = false;        // 80
    int16_t WrapWidth = 0;                // 82
    int16_t EditorLinesBefore = 0;        // 84
    int16_t EditorLinesAfter = 0;         // 86
    int16_t BrowserFlag = 0;              // 88
    int16_t RecentCount = 0;              // 90
    int16_t StartupAnimation = 0;         // 92
    std::array<int16_t, 5> BrowserAttributeFilter{};  // 94
    int16_t DumpWindowHeight = 0;         // 104
    int16_t DumpWindowWidth = 0;          // 106
    int16_t DumpWindowTop = 0;            // 108
    int16_t DumpWindowLeft = 0;           // 110
    int16_t DumpBytesPerLine = 0;         // 112
    int16_t DumpPageCode = 0;             // 114
    float DumpCharSize = 0;               // 116
    int32_t BackColor = 0;                // 120, 0x00BBGGRR
    int32_t ForeColor = 0;                // 124
    int16_t PrintHeader = 0;              // 128
    int16_t PrintLineNumbers = 0;         // 130
    int16_t PrintColumnOption = 0;        // 132
    int16_t PrintLeftMargin = 0;          // 134
    int16_t PrintLineNumberWidth = 0;     // 136
    int16_t ImagePrintSize = 0;           // 138
    int16_t ImagePrintOrientation = 0;    // 140
    QString Reserved142;                  // 142, char[2]
    int16_t DumpExtendedLineLength = 0;   // 144
    int16_t AlbumGridA = 0;               // 146
    int16_t AlbumGridB = 0;               // 148
    int16_t AlbumOption = 0;              // 150
    int16_t AlbumAddFolderName = 0;       // 152
    int16_t AlbumFileType = 0;            // 154
    int16_t Reserved156 = 0;              // 156
    int16_t ImagePrintWidth = 0;          // 158
    int16_t ImagePrintHeight = 0;         // 160
    int16_t EditorFontIndex = 0;          // 162
    QString Reserved164;                  // 164, char[30]
    QString Reserved194;                  // 194, char[60]
    int16_t QuietLoad = 0;                // 254
    int16_t DebugFlags = 0;               // 256

    // --- kept in KOLBRAN.INI ---
    QStringList RecentFiles = QStringList(9, QString());  // 9 entries, most recent first
    int RecentFileCount = 0;              // entries in use, 0..9
    int TabWidth = 4;
    int ImageListPrintValue = 4;
    QList<EraEntry> EraTable;             // up to 11

    // --- run-time values ---
    QString LineBreak = QStringLiteral("\r\n");
    bool LineNumbersVisible = false;
    bool SearchListOpen = false;
    bool AutoScrollDown = true;
    int AutoScrollSpeed = 100;
    int EditorLineLimit = 5000;
    double PrintLayoutValue = 8.0;        // the print dialogs' starting layout value
    // Display-code names by DisplayCode: 0 a blank at start, 1 "日本語１", 2 "日本語２",
    // 3 "EBCDIKｺｰﾄﾞ", 9 "不正ﾃﾞｰﾀ補正", the others empty.
    std::array<QString, 11> DisplayCodeNames{
        QStringLiteral(" "),         QStringLiteral(u"日本語１"), QStringLiteral(u"日本語２"),
        QStringLiteral(u"EBCDIKｺｰﾄﾞ"), QString(), QString(), QString(), QString(), QString(),
        QStringLiteral(u"不正ﾃﾞｰﾀ補正"), QString()};
    QString SettingsPath;                 // full path of KOLBRAN.DAT
    QString IniPath;                      // full path of KOLBRAN.INI
};

inline const QString kBase64Alphabet =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
// 90 characters: the repeat counts of the extended binary display file.
inline const QString kRepeatCountAlphabet = QStringLiteral(
    "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()=^~|@[]{}+*;:<>?_,./\\`");

}  // namespace kolbran

namespace kolbran {

// The debug-flag test: n = 0 asks whether any flag is set (1 or 0), n = 1..4 returns bit
// n − 1 of DebugFlags; a negative DebugFlags and any other n give 0.
inline int IsDebugFlag(const ViewerSettings& s, int n)
{
    if (n == 0)
        return s.DebugFlags > 0 ? 1 : 0;
    if (n < 1 || n > 4 || s.DebugFlags <= 0)
        return 0;
    return (s.DebugFlags >> (n - 1)) & 1;
}

}  // namespace kolbran
