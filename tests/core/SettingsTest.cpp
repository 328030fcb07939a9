#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Settings.h"

#include "common/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>

#include <cstring>
#include <functional>

using namespace kolbran;

namespace {

const QDate kToday(2026, 12, 10);

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

int I16(const QByteArray& b, int offset)
{
    return qFromLittleEndian<qint16>(b.constData() + offset);
}
qint32 I32(const QByteArray& b, int offset)
{
    return qFromLittleEndian<qint32>(b.constData() + offset);
}
float F32(const QByteArray& b, int offset)
{
    const quint32 bits = qFromLittleEndian<quint32>(b.constData() + offset);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
void Set16(QByteArray& b, int offset, int v)
{
    qToLittleEndian<qint16>(qint16(v), b.data() + offset);
}

// A record as the program writes it on first run, with changes made by `edit`.
QByteArray FirstRunRecord(const std::function<void(ViewerSettings&)>& edit = {})
{
    ViewerSettings s;
    SetFirstRunValues(s, kToday);
    if (edit)
        edit(s);
    return EncodeSettingsRecord(s);
}

struct Folder {
    QTemporaryDir dir;
    QString Dat() const { return dir.filePath(QStringLiteral("KOLBRAN.DAT")); }
    QString Ini() const { return dir.filePath(QStringLiteral("KOLBRAN.INI")); }
};

}  // namespace

TEST(Settings, FirstRunCreatesAnEmptyDatAndSavesTheFirstRunRecord)
{
    Folder f;
    ViewerSettings s;
    const SettingsLoadReport report = LoadSettings(s, f.dir.path(), kToday);
    EXPECT_TRUE(report.firstRun);
    EXPECT_TRUE(QFile::exists(f.Dat()));
    EXPECT_EQ(QFileInfo(f.Dat()).size(), 0);
    EXPECT_FALSE(QFile::exists(f.Ini()));
    EXPECT_EQ(s.TabWidth, 4);
    EXPECT_EQ(s.EraTable.size(), 4);

    SaveSettings(s);
    const QByteArray b = ReadFile(f.Dat());
    ASSERT_EQ(b.size(), kSettingsSlotSize);
    const struct {
        int offset;
        int value;
    } words[] = {
        {0, 241}, {2, 0},   {4, -99}, {6, -1},   {8, 32},  {10, 0},  {16, 0},  {18, 0},  {30, 0},
        {66, 0},  {68, 0},  {70, 0},  {72, 0},   {74, 0},  {76, -1}, {78, 1},  {80, -1}, {82, 80},
        {84, 120}, {86, 240}, {88, 0}, {90, 4},  {92, 1},  {94, 1},  {96, 1},  {98, 1},  {100, 0},
        {102, 0}, {104, 0}, {112, 0}, {114, 0},  {128, 7}, {130, 0}, {132, -1}, {134, 10}, {136, 4},
        {138, 0}, {140, 0}, {144, 0}, {146, 5},  {148, 2}, {150, 0}, {152, 0}, {154, 0}, {156, 0},
        {158, 0}, {160, 0}, {162, 0}, {254, 0},  {256, 0}, {258, 0},
    };
    for (const auto& w : words)
        EXPECT_EQ(I16(b, w.offset), w.value) << "offset " << w.offset;
    EXPECT_EQ(F32(b, 12), 10.5f);
    EXPECT_EQ(F32(b, 116), 0.0f);
    EXPECT_EQ(I32(b, 120), 0xFFFFFF);
    EXPECT_EQ(I32(b, 124), 0);
    EXPECT_EQ(b.mid(20, 10), QByteArray("12-10-2026"));
    EXPECT_EQ(b.mid(32, 26), ToSjis(QStringLiteral(u"ＭＳ 明朝")).leftJustified(26, ' '));
    EXPECT_EQ(b.mid(58, 8), QByteArray("10.5    "));
    EXPECT_EQ(b.mid(142, 2), QByteArray("  "));
    EXPECT_EQ(b.mid(164, 90), QByteArray(90, ' '));
    EXPECT_EQ(b.mid(260, int(std::strlen(kRuleLayoutMarker))), QByteArray(kRuleLayoutMarker));
}

TEST(Settings, RecordRoundTripsEveryField)
{
    // Distinct values in every field: decoding the bytes and encoding again gives them back.
    QByteArray bytes(kSettingsRecordSize, '\0');
    for (int i = 0; i < kSettingsRecordSize; i += 2)
        Set16(bytes, i, 1000 + i);
    const struct {
        int offset;
        int length;
        QString text;
    } strings[] = {
        {20, 10, QStringLiteral("01-02-2003")}, {32, 26, QStringLiteral(u"標準ゴシック")},
        {58, 8, QStringLiteral("12")},          {142, 2, QStringLiteral("  ")},
        {164, 30, QStringLiteral("x")},         {194, 60, QStringLiteral(u"予備")},
    };
    for (const auto& s : strings)
        bytes.replace(s.offset, s.length, ToSjis(s.text).leftJustified(s.length, ' '));
    float size = 12.75f;
    std::memcpy(bytes.data() + 12, &size, 4);
    Set16(bytes, 6, -1);
    Set16(bytes, 74, 0);
    Set16(bytes, 76, -1);
    Set16(bytes, 80, -1);
    Set16(bytes, 10, 0);
    Set16(bytes, 258, 0);
    Set16(bytes, 254, 0);  // QuietLoad, which is never written as anything else
    ViewerSettings s;
    DecodeSettingsRecord(bytes, s);
    EXPECT_EQ(s.PrintFontName, QStringLiteral(u"標準ゴシック"));
    EXPECT_EQ(s.FontSize, 12.75f);
    EXPECT_EQ(s.DebugFlags, 1256);
    EXPECT_EQ(EncodeSettingsRecord(s), bytes);
    s.QuietLoad = 1;  // set while a tool loads: never written
    EXPECT_EQ(EncodeSettingsRecord(s).mid(254, 2), QByteArray(2, '\0'));
}

TEST(Settings, StringsAreCutOnACharacterBoundaryAndPadded)
{
    ViewerSettings s;
    SetFirstRunValues(s, kToday);
    s.PrintFontSize = QStringLiteral(u"１２３４５");  // 10 bytes into 8
    const QByteArray b = EncodeSettingsRecord(s);
    EXPECT_EQ(b.mid(58, 8), ToSjis(QStringLiteral(u"１２３４")));
    s.PrintFontSize = QStringLiteral(u"あaいう");  // 7 bytes: the last one a blank
    EXPECT_EQ(EncodeSettingsRecord(s).mid(58, 8), ToSjis(QStringLiteral(u"あaいう ")));
}

TEST(Settings, UpgradeStepsByStoredVersion)
{
    // A record with non-default values everywhere the upgrade steps write.
    auto old = [](int version) {
        return FirstRunRecord([version](ViewerSettings& s) {
            s.RecordVersion = qint16(version);
            s.BackColor = 0x123456;
            s.ForeColor = 0x654321;
            s.NoBackup = false;
            s.StartupAnimation = 0;
            s.BrowserAttributeFilter = {0, 0, 0, 0, 0};
            s.OldBackColorIndex = 9;
            s.OldForeColorIndex = 4;
            s.PrintHeader = 1;
            s.PrintColumnOption = 3;
            s.PrintLeftMargin = 20;
            s.AlbumGridA = 9;
            s.AlbumOption = 3;
            s.ScrollBarLeft = 1;
            s.PrintLineNumberWidth = 6;
            s.RecentCount = 0;
        });
    };
    const struct {
        int version;
        bool white;        // step 1
        bool animation;    // step 2
        bool palette;      // step 4
        bool print;        // step 5
        bool album;        // step 6
        bool scrollLeft0;  // step 7
        bool lineNumber4;  // step 8
    } cases[] = {
        {10, true, true, true, true, true, true, true},
        {16, false, true, true, true, true, true, true},
        {21, false, false, true, true, true, true, true},
        {211, false, false, false, true, true, true, true},
        {226, false, false, false, false, true, true, true},
        {231, false, false, false, false, false, true, true},
        {232, false, false, false, false, false, false, true},
        {241, false, false, false, false, false, false, false},
        {32761, true, false, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        Folder f;
        WriteFile(f.Dat(), old(c.version));
        ViewerSettings s;
        const SettingsLoadReport report = LoadSettings(s, f.dir.path(), kToday);
        EXPECT_FALSE(report.firstRun);
        EXPECT_EQ(report.storedVersion, c.version);
        EXPECT_EQ(s.RecordVersion, 241);
        // The palette step comes after step 1 and decides the colours when it runs.
        const qint32 back = c.palette ? 0xFF0000 : c.white ? 0xFFFFFF : 0x123456;
        EXPECT_EQ(s.BackColor, back);
        EXPECT_EQ(s.ForeColor, c.palette ? 0x000080 : 0x654321);
        EXPECT_EQ(s.NoBackup, c.white);
        EXPECT_EQ(s.StartupAnimation, c.animation ? 1 : 0);
        EXPECT_EQ(s.BrowserAttributeFilter[2], c.animation ? 1 : 0);
        EXPECT_EQ(s.PrintHeader, c.print ? 7 : 1);
        EXPECT_EQ(s.PrintColumnOption, c.print ? -1 : 3);
        EXPECT_EQ(s.PrintLeftMargin, c.print ? 10 : 20);
        EXPECT_EQ(s.AlbumGridA, c.album ? 5 : 9);
        EXPECT_EQ(s.AlbumOption, c.album ? 0 : 3);
        EXPECT_EQ(s.ScrollBarLeft, c.scrollLeft0 ? 0 : 1);
        EXPECT_EQ(s.PrintLineNumberWidth, c.lineNumber4 ? 4 : 6);
    }
}

TEST(Settings, AFailingUpgradeStepIsSkippedAndTheOthersRun)
{
    Folder f;
    WriteFile(f.Dat(), FirstRunRecord([](ViewerSettings& s) {
                  s.RecordVersion = 200;
                  s.OldBackColorIndex = 99;  // no such palette colour
                  s.PrintHeader = 1;
                  s.RecentCount = 0;
              }));
    ViewerSettings s;
    const SettingsLoadReport report = LoadSettings(s, f.dir.path(), kToday);
    EXPECT_EQ(report.skippedSteps.size(), 1);
    EXPECT_EQ(s.BackColor, 0xFFFFFF);
    EXPECT_EQ(s.PrintHeader, 7);
}

TEST(Settings, LoadCorrectionsAtTheirBounds)
{
    const struct {
        const char* name;
        std::function<void(ViewerSettings&, int)> set;
        std::function<int(const ViewerSettings&)> get;
        int stored;
        int expected;
    } cases[] = {
        {"lines", [](ViewerSettings& s, int v) { s.LinesPerScreen = qint16(v); s.FontSize = 12; },
         [](const ViewerSettings& s) { return int(s.LinesPerScreen * 100 + s.FontSize * 2); }, 21,
         3221},
        {"lines", [](ViewerSettings& s, int v) { s.LinesPerScreen = qint16(v); s.FontSize = 12; },
         [](const ViewerSettings& s) { return int(s.LinesPerScreen * 100 + s.FontSize * 2); }, 57,
         3221},
        {"lines", [](ViewerSettings& s, int v) { s.LinesPerScreen = qint16(v); s.FontSize = 12; },
         [](const ViewerSettings& s) { return int(s.LinesPerScreen * 100 + s.FontSize * 2); }, 22,
         2224},
        {"lines", [](ViewerSettings& s, int v) { s.LinesPerScreen = qint16(v); s.FontSize = 12; },
         [](const ViewerSettings& s) { return int(s.LinesPerScreen * 100 + s.FontSize * 2); }, 56,
         5624},
        {"flag", [](ViewerSettings& s, int v) { s.ReservedFlag = qint16(v); },
         [](const ViewerSettings& s) { return int(s.ReservedFlag); }, 0, 0},
        {"flag", [](ViewerSettings& s, int v) { s.ReservedFlag = qint16(v); },
         [](const ViewerSettings& s) { return int(s.ReservedFlag); }, 2, 1},
        {"flag", [](ViewerSettings& s, int v) { s.ReservedFlag = qint16(v); },
         [](const ViewerSettings& s) { return int(s.ReservedFlag); }, -1, 1},
        {"wrap", [](ViewerSettings& s, int v) { s.WrapWidth = qint16(v); },
         [](const ViewerSettings& s) { return int(s.WrapWidth); }, 1, 80},
        {"wrap", [](ViewerSettings& s, int v) { s.WrapWidth = qint16(v); },
         [](const ViewerSettings& s) { return int(s.WrapWidth); }, 2, 2},
        {"wrap", [](ViewerSettings& s, int v) { s.WrapWidth = qint16(v); },
         [](const ViewerSettings& s) { return int(s.WrapWidth); }, 256, 256},
        {"wrap", [](ViewerSettings& s, int v) { s.WrapWidth = qint16(v); },
         [](const ViewerSettings& s) { return int(s.WrapWidth); }, 257, 80},
        {"browser flag", [](ViewerSettings& s, int v) { s.BrowserFlag = qint16(v); },
         [](const ViewerSettings& s) { return int(s.BrowserFlag); }, 1, 1},
        {"browser flag", [](ViewerSettings& s, int v) { s.BrowserFlag = qint16(v); },
         [](const ViewerSettings& s) { return int(s.BrowserFlag); }, 2, 0},
        {"tab", [](ViewerSettings& s, int v) { s.TabWidth = v; },
         [](const ViewerSettings& s) { return s.TabWidth; }, 0, 4},
        {"tab", [](ViewerSettings& s, int v) { s.TabWidth = v; },
         [](const ViewerSettings& s) { return s.TabWidth; }, 1, 1},
        {"tab", [](ViewerSettings& s, int v) { s.TabWidth = v; },
         [](const ViewerSettings& s) { return s.TabWidth; }, 10, 10},
        {"tab", [](ViewerSettings& s, int v) { s.TabWidth = v; },
         [](const ViewerSettings& s) { return s.TabWidth; }, 11, 4},
        {"view mode", [](ViewerSettings& s, int v) { s.BrowserViewMode = qint16(v); },
         [](const ViewerSettings& s) { return int(s.BrowserViewMode); }, 9, 9},
        {"view mode", [](ViewerSettings& s, int v) { s.BrowserViewMode = qint16(v); },
         [](const ViewerSettings& s) { return int(s.BrowserViewMode); }, 10, 0},
        {"view mode", [](ViewerSettings& s, int v) { s.BrowserViewMode = qint16(v); },
         [](const ViewerSettings& s) { return int(s.BrowserViewMode); }, -1, 0},
        // Font sizes (× 100): the options dialog's list, as realised within half a point.
        {"font size", [](ViewerSettings& s, int v) { s.FontSize = float(v) / 100; },
         [](const ViewerSettings& s) { return int(std::lround(s.FontSize * 100)); }, 200000, 1050},
        {"font size", [](ViewerSettings& s, int v) { s.FontSize = float(v) / 100; },
         [](const ViewerSettings& s) { return int(std::lround(s.FontSize * 100)); }, 0, 1050},
        {"font size", [](ViewerSettings& s, int v) { s.FontSize = float(v) / 100; },
         [](const ViewerSettings& s) { return int(std::lround(s.FontSize * 100)); }, 975, 975},
        {"font size", [](ViewerSettings& s, int v) { s.FontSize = float(v) / 100; },
         [](const ViewerSettings& s) { return int(std::lround(s.FontSize * 100)); }, 1230, 1230},
        {"font size", [](ViewerSettings& s, int v) { s.FontSize = float(v) / 100; },
         [](const ViewerSettings& s) { return int(std::lround(s.FontSize * 100)); }, 1275, 1050},
        {"font size", [](ViewerSettings& s, int v) { s.FontSize = float(v) / 100; },
         [](const ViewerSettings& s) { return int(std::lround(s.FontSize * 100)); }, 1800, 1800},
        {"font size", [](ViewerSettings& s, int v) { s.FontSize = float(v) / 100; },
         [](const ViewerSettings& s) { return int(std::lround(s.FontSize * 100)); }, 2400, 1050},
        // QuietLoad is a run-time value: a stored 1 would hide every later open.
        {"quiet load", [](ViewerSettings& s, int v) { s.QuietLoad = qint16(v); },
         [](const ViewerSettings& s) { return int(s.QuietLoad); }, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.stored));
        ViewerSettings s;
        SetFirstRunValues(s, kToday);
        c.set(s, c.stored);
        ApplyLoadCorrections(s);
        EXPECT_EQ(c.get(s), c.expected);
    }
}

TEST(Settings, StoredLinesPerScreenOutOfRangeStartsWith32LinesAnd105Points)
{
    Folder f;
    WriteFile(f.Dat(), FirstRunRecord([](ViewerSettings& s) {
                  s.LinesPerScreen = 57;
                  s.FontSize = 14;
                  s.WrapWidth = 1;
                  s.RecentCount = 0;
              }));
    ViewerSettings s;
    LoadSettings(s, f.dir.path(), kToday);
    EXPECT_EQ(s.LinesPerScreen, 32);
    EXPECT_EQ(s.FontSize, 10.5f);
    EXPECT_EQ(s.WrapWidth, 80);
}

TEST(Settings, DamagedAndTruncatedDatFilesStartNormally)
{
    const QByteArray full = FirstRunRecord([](ViewerSettings& s) {
        s.LinesPerScreen = 40;
        s.RecentCount = 0;
    });
    const struct {
        const char* name;
        QByteArray bytes;
        int lines;
        int version;
    } cases[] = {
        {"cut after the lines field", full.left(10), 40, 241},
        {"one byte", QByteArray("\x05", 1), 32, 5},
        {"garbage", QByteArray(300, '\xEE'), 32, -4370},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folder f;
        WriteFile(f.Dat(), c.bytes);
        ViewerSettings s;
        const SettingsLoadReport report = LoadSettings(s, f.dir.path(), kToday);
        EXPECT_FALSE(report.firstRun);
        EXPECT_EQ(report.storedVersion, c.version);
        EXPECT_EQ(s.RecordVersion, 241);
        EXPECT_EQ(s.LinesPerScreen, c.lines);
        EXPECT_GE(s.WrapWidth, 2);
        EXPECT_EQ(s.EraTable.size(), 4);
        SaveSettings(s);
        EXPECT_EQ(I16(ReadFile(f.Dat()), 0), 241);
    }
}

TEST(Settings, IniBytesForAFirstRunFileWithOneRecentPath)
{
    ViewerSettings s;
    SetFirstRunValues(s, kToday);
    s.EraTable = DefaultEraTable();
    MoveToRecentHead(s, QStringLiteral(u"/home/太郎/memo.txt"));
    const QByteArray expected =
        QByteArray("\"[FileName List]\",1\r\n\"") + ToSjis(QStringLiteral(u"/home/太郎/memo.txt")) +
        "\"\r\n"
        "\"[Img ListPrt]\",4\r\n"
        "\"[Tab Space]\",4\r\n"
        "\"[Prt Bango]\",4\r\n"
        "\"[WAREKI]\",4\r\n\"" +
        ToSjis(QStringLiteral(u"明治")) + "\",\"M\",1868,9,8\r\n\"" + ToSjis(QStringLiteral(u"大正")) +
        "\",\"T\",1912,7,30\r\n\"" + ToSjis(QStringLiteral(u"昭和")) + "\",\"S\",1926,12,25\r\n\"" +
        ToSjis(QStringLiteral(u"平成")) + "\",\"H\",1989,1,8\r\n";
    EXPECT_EQ(IniFileBytes(s), expected);
}

TEST(Settings, IniIsReadBackAfterAddRecentFile)
{
    Folder f;
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    state.SettingsFolder = f.dir.path();
    LoadSettings(state.settings, f.dir.path(), kToday);
    state.settings.TabWidth = 8;
    state.settings.ImageListPrintValue = 6;
    state.settings.EraTable.append({QStringLiteral(u"令和"), QStringLiteral("R"), 2019, 5, 1});
    AddRecentFile(state, QStringLiteral("/tmp/a.txt"));
    AddRecentFile(state, QStringLiteral("/tmp/b.txt"));
    SaveSettings(state.settings);

    ViewerSettings again;
    const SettingsLoadReport report = LoadSettings(again, f.dir.path(), kToday);
    EXPECT_TRUE(report.skippedSteps.isEmpty()) << report.skippedSteps.join(u'\n').toStdString();
    EXPECT_EQ(again.RecentFileCount, 2);
    EXPECT_EQ(again.RecentFiles[0], QStringLiteral("/tmp/b.txt"));
    EXPECT_EQ(again.RecentFiles[1], QStringLiteral("/tmp/a.txt"));
    EXPECT_EQ(again.TabWidth, 8);
    EXPECT_EQ(again.ImageListPrintValue, 6);
    ASSERT_EQ(again.EraTable.size(), 5);
    EXPECT_EQ(again.EraTable[4].name, QStringLiteral(u"令和"));
    EXPECT_EQ(again.EraTable[4].day, 1);
}

TEST(Settings, IniWithAnEmptyRecentListKeepsTheValuesAfterIt)
{
    // A file written before any file was opened holds "[FileName List]",0: the key that
    // follows is not taken for the count, so the values after it are read.
    Folder f;
    ViewerSettings s;
    LoadSettings(s, f.dir.path(), kToday);
    s.RecentFileCount = 0;
    s.ImageListPrintValue = 16;
    s.TabWidth = 2;
    WriteIniFile(s);

    ViewerSettings again;
    again.IniPath = s.IniPath;
    EXPECT_EQ(ReadIniFile(again, 224, false), QString());
    EXPECT_EQ(again.RecentFileCount, 0);
    EXPECT_EQ(again.ImageListPrintValue, 16);
    EXPECT_EQ(again.TabWidth, 2);
    EXPECT_EQ(IniFileBytes(again), IniFileBytes(s));
}

// Paths Shift_JIS cannot hold come back whole after a restart; the others are stored as
// plain Shift_JIS, as before.
TEST(Settings, RecentPathsOutsideShiftJisSurviveARestart)
{
    Folder f;
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    state.SettingsFolder = f.dir.path();
    LoadSettings(state.settings, f.dir.path(), kToday);
    const QStringList paths{QStringLiteral(u"/tmp/日本語.txt"), QStringLiteral(u"/tmp/café 100%.txt"),
                            QStringLiteral(u"/tmp/\"q\".txt"), QStringLiteral("/tmp/*UTF8*plain.txt")};
    for (const QString& path : paths)
        AddRecentFile(state, path);
    SaveSettings(state.settings);

    ViewerSettings again;
    LoadSettings(again, f.dir.path(), kToday);
    ASSERT_EQ(again.RecentFileCount, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(again.RecentFiles[i], paths[3 - i]) << i;
    QFile ini(f.dir.filePath(QStringLiteral("KOLBRAN.INI")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray bytes = ini.readAll();
    EXPECT_TRUE(bytes.contains('"' + ToSjis(QStringLiteral(u"/tmp/日本語.txt")) + '"'));
    EXPECT_FALSE(bytes.contains("caf?"));
}

TEST(Settings, DamagedIniStopsReadingAndKeepsWhatWasRead)
{
    const QByteArray head = "\"[Tab Space]\",7\r\n";
    const struct {
        const char* name;
        QByteArray ini;
        int recentCount;
        int tab;
        int eras;
        int printWidth;
    } cases[] = {
        {"ten recent files", head + "\"[FileName List]\",10\r\n\"a\"\r\n\"[Prt Bango]\",6\r\n", 0, 7,
         4, 4},
        {"twelve eras", head + "\"[WAREKI]\",12\r\n\"[Prt Bango]\",6\r\n", 0, 7, 4, 4},
        {"a text where a number belongs", head + "\"[Img ListPrt]\",\"x\"\r\n\"[Prt Bango]\",6\r\n", 0,
         7, 4, 4},
        {"cut inside the list", head + "\"[FileName List]\",3\r\n\"a\"\r\n\"b\"\r\n", 2, 7, 4, 4},
        {"cut inside an era", head + "\"[WAREKI]\",1\r\n\"x\",\"X\",2000\r\n", 0, 7, 4, 4},
        {"unknown keys are skipped", head + "\"[Other]\",1\r\n\"[Prt Bango]\",0\r\n", 0, 7, 4, 4},
        {"zero line-number width becomes 4", head + "\"[Prt Bango]\",0\r\n", 0, 7, 4, 4},
        {"all read", head + "\"[Prt Bango]\",6\r\n\"[FileName List]\",1\r\n\"z\"\r\n", 1, 7, 4, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folder f;
        WriteFile(f.Dat(), FirstRunRecord());
        WriteFile(f.Ini(), c.ini);
        ViewerSettings s;
        LoadSettings(s, f.dir.path(), kToday);
        EXPECT_EQ(s.RecentFileCount, c.recentCount);
        EXPECT_EQ(s.TabWidth, c.tab);
        EXPECT_EQ(s.EraTable.size(), c.eras);
        EXPECT_EQ(s.PrintLineNumberWidth, c.printWidth);
        EXPECT_EQ(s.LinesPerScreen, 32);
    }
}

TEST(Settings, RecentCountZeroLeavesTheIniUnread)
{
    Folder f;
    WriteFile(f.Dat(), FirstRunRecord([](ViewerSettings& s) { s.RecentCount = 0; }));
    WriteFile(f.Ini(), "\"[Tab Space]\",8\r\n\"[WAREKI]\",1\r\n\"x\",\"X\",2000,1,1\r\n");
    ViewerSettings s;
    LoadSettings(s, f.dir.path(), kToday);
    EXPECT_EQ(s.TabWidth, 4);
    EXPECT_EQ(s.EraTable.size(), 4);
}

TEST(Settings, OldPlainIniIsUpgradedAndRewritten)
{
    Folder f;
    WriteFile(f.Dat(), FirstRunRecord([](ViewerSettings& s) { s.RecordVersion = 223; }));
    WriteFile(f.Ini(), "\"C:\\a.txt\"\r\n\"C:\\b.txt\"\r\n");
    ViewerSettings s;
    LoadSettings(s, f.dir.path(), kToday);
    EXPECT_EQ(s.RecentFileCount, 2);
    EXPECT_EQ(s.RecentFiles[0], QStringLiteral("C:\\a.txt"));
    EXPECT_EQ(s.RecentFiles[1], QStringLiteral("C:\\b.txt"));
    EXPECT_EQ(ReadFile(f.Ini()),
              QByteArray("\"[FileName List]\"\r\n2\r\n\"C:\\a.txt\"\r\n\"C:\\b.txt\"\r\n\"\"\r\n\"\"\r\n"));
}

TEST(Settings, RecentListMovesToHeadDropsTheOldestAndIsCaseSensitive)
{
    ViewerSettings s;
    SetFirstRunValues(s, kToday);
    s.RecentCount = 9;
    for (int i = 1; i <= 9; ++i)
        MoveToRecentHead(s, QStringLiteral("/f%1").arg(i));
    EXPECT_EQ(s.RecentFileCount, 9);
    EXPECT_EQ(s.RecentFiles[0], QStringLiteral("/f9"));
    EXPECT_EQ(s.RecentFiles[8], QStringLiteral("/f1"));

    MoveToRecentHead(s, QStringLiteral("/f10"));  // a tenth file: /f1 falls off
    EXPECT_EQ(s.RecentFileCount, 9);
    EXPECT_EQ(s.RecentFiles[0], QStringLiteral("/f10"));
    EXPECT_FALSE(s.RecentFiles.contains(QStringLiteral("/f1")));

    MoveToRecentHead(s, QStringLiteral("/f5"));  // re-opened: moves up, no duplicate
    EXPECT_EQ(s.RecentFiles.first(9).count(QStringLiteral("/f5")), 1);
    EXPECT_EQ(s.RecentFiles[0], QStringLiteral("/f5"));
    EXPECT_EQ(s.RecentFiles[1], QStringLiteral("/f10"));
    EXPECT_EQ(s.RecentFiles[8], QStringLiteral("/f2"));

    MoveToRecentHead(s, QStringLiteral("/F5"));  // another case is another entry
    EXPECT_EQ(s.RecentFiles[0], QStringLiteral("/F5"));
    EXPECT_EQ(s.RecentFiles[1], QStringLiteral("/f5"));
}

TEST(Settings, RecentListIsLimitedByRecentCount)
{
    ViewerSettings s;
    SetFirstRunValues(s, kToday);  // RecentCount 4
    for (int i = 1; i <= 6; ++i)
        MoveToRecentHead(s, QStringLiteral("/f%1").arg(i));
    EXPECT_EQ(s.RecentFileCount, 4);
    EXPECT_EQ(RecentFileMenuItems(s).captions,
              (QStringList{QStringLiteral("&1 /f6"), QStringLiteral("&2 /f5"), QStringLiteral("&3 /f4"),
                           QStringLiteral("&4 /f3")}));
    EXPECT_TRUE(RecentFileMenuItems(s).separatorVisible);
}

TEST(Settings, AddRecentFileWithoutPathUsesTheDocumentInTheCurrentFolder)
{
    Folder f;
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    LoadSettings(state.settings, f.dir.path(), kToday);
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(f.dir.path()));
    state.doc.DocumentName = QStringLiteral("memo.txt");
    AddRecentFile(state, QString());
    QDir::setCurrent(saved);
    EXPECT_EQ(state.settings.RecentFiles[0], QDir(f.dir.path()).absoluteFilePath(QStringLiteral("memo.txt")));
    EXPECT_TRUE(QFile::exists(f.Ini()));

    state.doc.DocumentName = QStringLiteral("\\\\server\\share\\a.txt");
    AddRecentFile(state, QString());
    EXPECT_EQ(state.settings.RecentFiles[0], state.doc.DocumentName);
}

TEST(Settings, MenuLabelsAt22And23Characters)
{
    const QString p22 = QStringLiteral("/home/user/docs/ab.txt");
    const QString p23 = QStringLiteral("/home/user/docs/abc.txt");
    ASSERT_EQ(p22.size(), 22);
    EXPECT_EQ(RecentFileLabel(p22), p22);
    EXPECT_EQ(RecentFileLabel(p23), QStringLiteral(u"/home…ser/docs/abc.txt"));
    EXPECT_EQ(RecentFileLabel(p23).size(), 22);
    EXPECT_EQ(RecentFileLabel(QString()), QString());
}

TEST(Settings, IsDebugFlag)
{
    const struct {
        int flags;
        int n;
        int expected;
    } cases[] = {
        {0, 0, 0}, {1, 0, 1}, {-1, 0, 0}, {1, 1, 1}, {1, 2, 0}, {2, 2, 1}, {3, 1, 1}, {4, 3, 1},
        {5, 3, 1}, {7, 2, 1}, {8, 4, 1}, {7, 4, 0}, {7, 5, 0}, {7, -1, 0}, {-1, 1, 0},
    };
    for (const auto& c : cases) {
        ViewerSettings s;
        s.DebugFlags = qint16(c.flags);
        EXPECT_EQ(IsDebugFlag(s, c.n), c.expected) << c.flags << " " << c.n;
    }
}

TEST(Settings, ProgramFilePathAddsOneSeparator)
{
    EXPECT_EQ(ProgramFilePath(QStringLiteral("/opt/k"), QStringLiteral("KOLBRAN.DAT")),
              QStringLiteral("/opt/k") + QDir::separator() + QStringLiteral("KOLBRAN.DAT"));
    EXPECT_EQ(ProgramFilePath(QStringLiteral("/"), QStringLiteral("KOLBRAN.DAT")),
              QStringLiteral("/KOLBRAN.DAT"));
    EXPECT_EQ(ProgramFilePath(QStringLiteral("C:\\"), QStringLiteral("KOLBRAN.INI")),
              QStringLiteral("C:\\KOLBRAN.INI"));
}

TEST(Settings, ColoursAndFonts)
{
    EXPECT_EQ(ColorFromBgr(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(BgrFromColor(QColor(1, 2, 3)), 0x030201);
    const struct {
        int index;
        QColor colour;
    } palette[] = {{0, QColor(0, 0, 0)},       {1, QColor(0, 0, 128)},     {7, QColor(192, 192, 192)},
                   {8, QColor(128, 128, 128)}, {9, QColor(0, 0, 255)},     {15, QColor(255, 255, 255)},
                   {16, QColor(0, 0, 0)},      {-1, QColor(0, 0, 0)}};
    for (const auto& p : palette)
        EXPECT_EQ(PaletteColor(p.index), p.colour) << p.index;
    EXPECT_EQ(FontNameForIndex(1), QStringLiteral(u"ＭＳ ゴシック"));
    EXPECT_EQ(FontNameForIndex(3), QStringLiteral(u"標準ゴシック"));
    EXPECT_EQ(FontNameForIndex(4), QString());
}

// --- the delete-line rules beside the settings record ---

TEST(SettingsRules, RuleRecordBytes)
{
    const QByteArray b = EncodeDeleteRule({QStringLiteral("//"), 3});
    ASSERT_EQ(b.size(), 64);
    EXPECT_EQ(b.left(48), QByteArray("//").leftJustified(48, ' '));
    EXPECT_EQ(b.mid(48, 14), QByteArray(14, '\0'));
    EXPECT_EQ(I16(b, 62), 3);
    EXPECT_EQ(DecodeDeleteRule(b), (DeleteRule{QStringLiteral("//"), 3}));
    const QString longKey(60, u'あ');  // cut to 48 bytes: 24 characters
    EXPECT_EQ(DecodeDeleteRule(EncodeDeleteRule({longKey, 1})).key, QString(24, u'あ'));
}

TEST(SettingsRules, NeitherWriteDamagesTheOther)
{
    Folder f;
    ViewerSettings s;
    LoadSettings(s, f.dir.path(), kToday);
    s.DebugFlags = 5;
    SaveSettings(s);
    const QList<DeleteRule> rules = {{QStringLiteral("//"), 3}, {QStringLiteral(u"＃注"), 1},
                                     {QStringLiteral("REM"), 20}};
    WriteDeleteRules(f.Dat(), rules);
    s.DeleteRuleCount = 3;
    s.LinesPerScreen = 40;
    SaveSettings(s);  // after the rules

    EXPECT_EQ(DeleteRuleCapacity(f.Dat()), 3);
    EXPECT_EQ(ReadDeleteRules(f.Dat(), 3), rules);
    EXPECT_EQ(ReadDeleteRules(f.Dat(), 2), rules.first(2));
    ViewerSettings again;
    LoadSettings(again, f.dir.path(), kToday);
    EXPECT_EQ(again.DebugFlags, 5);
    EXPECT_EQ(again.LinesPerScreen, 40);
    EXPECT_EQ(again.DeleteRuleCount, 3);

    // Fewer rules registered: the later records stay but the count says what is used.
    WriteDeleteRules(f.Dat(), {{QStringLiteral("#"), 2}});
    EXPECT_EQ(ReadDeleteRules(f.Dat(), 1), (QList<DeleteRule>{{QStringLiteral("#"), 2}}));
    EXPECT_EQ(ReadDeleteRules(f.Dat(), 3)[1], rules[1]);
    LoadSettings(again, f.dir.path(), kToday);
    EXPECT_EQ(again.DebugFlags, 5);
}

TEST(SettingsRules, OldLayoutFilesAreMovedWhereUnambiguous)
{
    // Old layout: rule k at 256 + 64 × (k − 1). Settings written last leave zeros at
    // 256..259 (the first rule's key start is lost); rules written last leave the key there.
    auto oldFile = [](bool settingsLast) {
        QByteArray file = FirstRunRecord([](ViewerSettings& s) {
            s.DeleteRuleCount = 3;
            s.WrapWidth = 70;
        });
        file.append(QByteArray(256 + 3 * 64 - file.size(), '\0'));
        const QList<DeleteRule> rules = {{QStringLiteral("ABCDEF"), 2}, {QStringLiteral("//"), 3},
                                         {QStringLiteral(u"注"), 4}};
        for (int k = 0; k < 3; ++k)
            file.replace(256 + 64 * k, 64, EncodeDeleteRule(rules[k]));
        if (settingsLast)
            file.replace(256, 4, QByteArray(4, '\0'));
        return file;
    };
    const struct {
        bool settingsLast;
        QList<DeleteRule> expected;
        bool dropped;
    } cases[] = {
        {true, {{QStringLiteral("//"), 3}, {QStringLiteral(u"注"), 4}}, true},
        {false,
         {{QStringLiteral("ABCDEF"), 2}, {QStringLiteral("//"), 3}, {QStringLiteral(u"注"), 4}},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settingsLast);
        Folder f;
        WriteFile(f.Dat(), oldFile(c.settingsLast));
        EXPECT_EQ(ReadDeleteRules(f.Dat(), 3), c.expected);  // read in place, before any move

        ViewerSettings s;
        const SettingsLoadReport report = LoadSettings(s, f.dir.path(), kToday);
        EXPECT_TRUE(report.rulesMoved);
        EXPECT_EQ(report.firstOldRuleDropped, c.dropped);
        EXPECT_EQ(s.DeleteRuleCount, c.expected.size());
        EXPECT_EQ(s.DebugFlags, 0);
        EXPECT_EQ(s.WrapWidth, 70);
        const QByteArray moved = ReadFile(f.Dat());
        EXPECT_EQ(moved.size(), kRuleAreaStart + 64 * c.expected.size());
        EXPECT_EQ(ReadDeleteRules(f.Dat(), s.DeleteRuleCount), c.expected);
        SaveSettings(s);
        EXPECT_EQ(ReadDeleteRules(f.Dat(), s.DeleteRuleCount), c.expected);
    }
}

TEST(Settings, ReadOnlySettingsFilesAreLeftAsTheyAre)
{
    Folder f;
    const QByteArray record = FirstRunRecord([](ViewerSettings& s) { s.LinesPerScreen = 40; });
    WriteFile(f.Dat(), record);
    ASSERT_TRUE(QFile::setPermissions(f.Dat(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    state.SettingsFolder = f.dir.path();
    LoadSettings(state);
    EXPECT_EQ(state.settings.LinesPerScreen, 40);
    state.settings.LinesPerScreen = 30;
    try {
        SaveSettings(state.settings);
        ADD_FAILURE() << "saved";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), Err::PermissionDenied);
    }
    EXPECT_EQ(ReadFile(f.Dat()).left(kSettingsRecordSize), record);
}
