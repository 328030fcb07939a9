#include "core/Settings.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kolbran {

namespace {

// --- little-endian fields in a byte buffer ---

void Put16(QByteArray& b, int offset, int v)
{
    qToLittleEndian<qint16>(qint16(v), b.data() + offset);
}
void Put32(QByteArray& b, int offset, qint32 v)
{
    qToLittleEndian<qint32>(v, b.data() + offset);
}
void PutFloat(QByteArray& b, int offset, float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, sizeof bits);
    qToLittleEndian<quint32>(bits, b.data() + offset);
}
void PutBool(QByteArray& b, int offset, bool v)
{
    Put16(b, offset, v ? -1 : 0);
}

// Shift_JIS cut to `length` bytes on a character boundary, padded with blanks.
QByteArray FixedSjis(const QString& text, int length)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray c = ToSjis(QStringView(text).mid(i, n));
        if (bytes.size() + c.size() > length)
            break;
        bytes += c;
        i += n;
    }
    return bytes.leftJustified(length, ' ');
}
void PutString(QByteArray& b, int offset, int length, const QString& text)
{
    b.replace(offset, length, FixedSjis(text, length));
}

QString RightTrimmed(const QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    return text.left(n);
}

// Reading: a record shorter than the field reads as zeros.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes) : bytes_(bytes.toByteArray())
    {
        if (bytes_.size() < kSettingsRecordSize)
            bytes_.append(QByteArray(kSettingsRecordSize - bytes_.size(), '\0'));
    }
    int16_t I16(int offset) const { return qFromLittleEndian<qint16>(bytes_.constData() + offset); }
    int32_t I32(int offset) const { return qFromLittleEndian<qint32>(bytes_.constData() + offset); }
    float F32(int offset) const
    {
        const quint32 bits = qFromLittleEndian<quint32>(bytes_.constData() + offset);
        float v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    bool Bool(int offset) const { return I16(offset) != 0; }
    QString Str(int offset, int length) const
    {
        // Zero bytes (a file cut short) read as blanks.
        QByteArray raw = bytes_.mid(offset, length);
        raw.replace('\0', ' ');
        return RightTrimmed(FromSjis(raw));
    }

private:
    QByteArray bytes_;
};

// --- whole-file access for the small settings files ---

QByteArray ReadWholeFile(const QString& path, bool createWhenAbsent)
{
    QFile file(path);
    if (!file.exists()) {
        if (createWhenAbsent) {
            errno = 0;
            if (!file.open(QIODevice::WriteOnly))
                ThrowFileError(file, Err::PathFileAccess);
        }
        return {};
    }
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        ThrowFileError(file, Err::PermissionDenied);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        ThrowFileError(file, Err::DeviceIo);
    return bytes;
}

// A temporary file beside the target and an atomic rename: a failed write leaves the
// previous file whole.
void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    // A settings file made read-only stays as it is (a rename would replace it all the same).
    if (GetFileAttributes(path).readOnly)
        throw RuntimeError(Err::PermissionDenied, path);
    QSaveFile file(path);
    errno = 0;
    // Unbuffered: a buffered write that fails only when the file is closed (a full disk) is
    // not seen by commit(), which would then put an empty file in the old one's place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowFileError(file, Err::PermissionDenied);
    if (file.write(bytes) != bytes.size()) {
        const int saved = errno;
        file.cancelWriting();
        throw RuntimeError(saved ? ErrorFromErrno(saved) : Err::DeviceIo, path);
    }
    if (!file.commit())
        ThrowFileError(file, Err::DeviceIo);
}

// --- the layout of KOLBRAN.DAT ---

constexpr int kMarkerLength = int(sizeof kRuleLayoutMarker) - 1;

bool HasRuleMarker(const QByteArray& file)
{
    return file.size() >= kSettingsRecordSize + kMarkerLength &&
           std::memcmp(file.constData() + kSettingsRecordSize, kRuleLayoutMarker, kMarkerLength) == 0;
}

QByteArray SlotSpare()
{
    QByteArray spare(kSettingsSlotSize - kSettingsRecordSize, '\0');
    std::memcpy(spare.data(), kRuleLayoutMarker, kMarkerLength);
    return spare;
}

struct OldRules {
    QList<QByteArray> records;
    bool firstKept = false;
    bool firstDropped = false;
};

// The rules of a file laid out the old way: rules 1..min(DeleteRuleCount, available).
OldRules OldLayoutRules(const QByteArray& file)
{
    OldRules r;
    const int stored = file.size() > 69 ? qFromLittleEndian<qint16>(file.constData() + 68) : 0;
    const qsizetype available =
        file.size() > kOldRuleAreaStart ? (file.size() - kOldRuleAreaStart) / kRuleRecordSize : 0;
    const qsizetype count = std::min<qsizetype>(std::max(stored, 0), available);
    for (qsizetype k = 0; k < count; ++k) {
        const qsizetype at = kOldRuleAreaStart + k * kRuleRecordSize;
        if (k == 0) {
            // Bytes 258..259 are always zero when the settings were written last.
            if (file[258] == '\0' && file[259] == '\0') {
                r.firstDropped = true;
                continue;
            }
            r.firstKept = true;
        }
        r.records.append(file.mid(at, kRuleRecordSize));
    }
    return r;
}

// An old-layout (or empty, or short) file rewritten with the marker and the rules at 512.
QByteArray MoveRulesToNewLayout(const QByteArray& file, OldRules* found = nullptr)
{
    const OldRules old = OldLayoutRules(file);
    QByteArray record = file.left(kSettingsRecordSize);
    record.append(QByteArray(kSettingsRecordSize - record.size(), '\0'));
    if (file.size() > 69)
        Put16(record, 68, int(old.records.size()));
    if (old.firstKept)
        Put32(record, 256, 0);  // it held rule text, not debug flags
    QByteArray out = record + SlotSpare();
    if (!old.records.isEmpty()) {
        out.append(QByteArray(kRuleAreaStart - out.size(), '\0'));
        for (const QByteArray& r : old.records)
            out += r;
    }
    if (found)
        *found = old;
    return out;
}

QByteArray NewLayoutFile(const QByteArray& file)
{
    return HasRuleMarker(file) ? file : MoveRulesToNewLayout(file);
}

QList<QByteArray> RuleRecords(const QByteArray& file)
{
    if (!HasRuleMarker(file))
        return OldLayoutRules(file).records;
    QList<QByteArray> records;
    for (qsizetype at = kRuleAreaStart; at + kRuleRecordSize <= file.size(); at += kRuleRecordSize)
        records.append(file.mid(at, kRuleRecordSize));
    return records;
}

// --- KOLBRAN.INI items ---

struct IniItem {
    QString text;
    bool quoted = false;
};

// The items of a comma-separated file as the INI writer writes them: a quoted string is
// one item without its quotes; a comma or a line end ends an item.
class IniReader {
public:
    explicit IniReader(QByteArray bytes) : bytes_(std::move(bytes)) {}

    bool AtEnd()
    {
        while (pos_ < bytes_.size() && IsSpace(bytes_[pos_]))
            ++pos_;
        return pos_ >= bytes_.size();
    }

    IniItem Next()
    {
        if (AtEnd())
            throw RuntimeError(Err::InputPastEnd);
        IniItem item;
        QByteArray raw;
        if (bytes_[pos_] == '"') {
            item.quoted = true;
            ++pos_;
            while (pos_ < bytes_.size() && bytes_[pos_] != '"' && bytes_[pos_] != '\r' &&
                   bytes_[pos_] != '\n')
                raw += bytes_[pos_++];
            if (pos_ < bytes_.size() && bytes_[pos_] == '"')
                ++pos_;
            // Anything between the closing quote and the delimiter is not part of the item.
            while (pos_ < bytes_.size() && !IsDelimiter(bytes_[pos_]))
                ++pos_;
        } else {
            while (pos_ < bytes_.size() && !IsDelimiter(bytes_[pos_]))
                raw += bytes_[pos_++];
            raw = raw.trimmed();
        }
        SkipDelimiter();
        item.text = FromSjis(raw);
        return item;
    }

    // Whether the next item is a quoted string (a key or a path rather than a number).
    bool NextIsQuoted()
    {
        return !AtEnd() && bytes_[pos_] == '"';
    }

    // A decimal integer item; anything else is an item of the wrong kind (13).
    int NextInt(int low, int high)
    {
        const IniItem item = Next();
        bool ok = false;
        const int v = item.text.toInt(&ok);
        if (item.quoted || !ok)
            throw RuntimeError(Err::TypeMismatch, item.text);
        if (v < low || v > high)
            throw RuntimeError(Err::SubscriptOutOfRange, item.text);
        return v;
    }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool IsDelimiter(char c) { return c == ',' || c == '\r' || c == '\n'; }
    void SkipDelimiter()
    {
        if (pos_ >= bytes_.size())
            return;
        if (bytes_[pos_] == ',') {
            ++pos_;
            return;
        }
        if (bytes_[pos_] == '\r')
            ++pos_;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n')
            ++pos_;
    }

    QByteArray bytes_;
    qsizetype pos_ = 0;
};

QByteArray Quoted(const QString& text)
{
    return '"' + ToSjis(text) + '"';
}
// A recent path that Shift_JIS cannot hold (café.txt) or that holds a quotation mark is stored in a marked form the
// reader recognises: the mark, then its UTF-8 bytes percent-encoded (plain ASCII inside
// the quotes). Every other path stays plain Shift_JIS, so existing files read as before.
const QByteArray kLosslessPathMark = "*UTF8*";

QByteArray QuotedPath(const QString& path)
{
    // A quotation mark would end the quoted item early: it takes the marked form too.
    if (FromSjis(ToSjis(path)) == path && !path.contains(u'"') &&
        !path.startsWith(QString::fromLatin1(kLosslessPathMark)))
        return Quoted(path);
    return '"' + kLosslessPathMark + path.toUtf8().toPercentEncoding("/\\:.-_~ ") + '"';
}

QString StoredPath(const QString& text)
{
    const QString mark = QString::fromLatin1(kLosslessPathMark);
    if (!text.startsWith(mark))
        return text;
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.mid(mark.size()).toLatin1()));
}

QByteArray Line(const QByteArray& text)
{
    return text + "\r\n";
}
QByteArray KeyLine(const char* key, int value)
{
    return Line('"' + QByteArray(key) + "\"," + QByteArray::number(value));
}

int EffectiveRecentCount(const ViewerSettings& s)
{
    return std::clamp<int>(s.RecentCount, 0, kMaxRecentFiles);
}

void EnsureRecentSlots(ViewerSettings& s)
{
    while (s.RecentFiles.size() < kMaxRecentFiles)
        s.RecentFiles.append(QString());
}

// The old INI: up to four quoted paths. They are read and the file is rewritten as the
// head of the current format.
QByteArray UpgradeOldIni(ViewerSettings& s, const QByteArray& bytes, bool write)
{
    IniReader reader(bytes);
    int n = 0;
    while (n < 4 && !reader.AtEnd())
        s.RecentFiles[n++] = StoredPath(reader.Next().text);
    QByteArray out = Line("\"[FileName List]\"") + Line(QByteArray::number(n));
    for (int i = 0; i < 4; ++i)
        out += Line(QuotedPath(s.RecentFiles[i]));
    if (write)
        WriteWholeFile(s.IniPath, out);
    return out;
}

}  // namespace

// --- the record ---

QByteArray EncodeSettingsRecord(const ViewerSettings& s)
{
    QByteArray b(kSettingsRecordSize, '\0');
    Put16(b, 0, s.RecordVersion);
    Put16(b, 2, s.BrowserViewMode);
    Put16(b, 4, s.Reserved4);
    PutBool(b, 6, s.ToolbarVisible);
    Put16(b, 8, s.LinesPerScreen);
    PutFloat(b, 12, s.FontSize);
    Put16(b, 16, s.WindowWidth);
    Put16(b, 18, s.FontIndex);
    PutString(b, 20, 10, s.FirstUseDate);
    Put16(b, 30, s.SearchResultRow);
    PutString(b, 32, 26, s.PrintFontName);
    PutString(b, 58, 8, s.PrintFontSize);
    Put16(b, 66, s.ScrollBarLeft);
    Put16(b, 68, s.DeleteRuleCount);
    Put16(b, 70, s.OldBackColorIndex);
    Put16(b, 72, s.OldForeColorIndex);
    PutBool(b, 74, s.RulerVisible);
    PutBool(b, 76, s.NoBackup);
    Put16(b, 78, s.ReservedFlag);
    PutBool(b, 80, s.StatusBarVisible);
    Put16(b, 82, s.WrapWidth);
    Put16(b, 84, s.EditorLinesBefore);
    Put16(b, 86, s.EditorLinesAfter);
    Put16(b, 88, s.BrowserFlag);
    Put16(b, 90, s.RecentCount);
    Put16(b, 92, s.StartupAnimation);
    for (int i = 0; i < 5; ++i)
        Put16(b, 94 + 2 * i, s.BrowserAttributeFilter[size_t(i)]);
    Put16(b, 104, s.DumpWindowHeight);
    Put16(b, 106, s.DumpWindowWidth);
    Put16(b, 108, s.DumpWindowTop);
    Put16(b, 110, s.DumpWindowLeft);
    Put16(b, 112, s.DumpBytesPerLine);
    Put16(b, 114, s.DumpPageCode);
    PutFloat(b, 116, s.DumpCharSize);
    Put32(b, 120, s.BackColor);
    Put32(b, 124, s.ForeColor);
    Put16(b, 128, s.PrintHeader);
    Put16(b, 130, s.PrintLineNumbers);
    Put16(b, 132, s.PrintColumnOption);
    Put16(b, 134, s.PrintLeftMargin);
    Put16(b, 136, s.PrintLineNumberWidth);
    Put16(b, 138, s.ImagePrintSize);
    Put16(b, 140, s.ImagePrintOrientation);
    PutString(b, 142, 2, s.Reserved142);
    Put16(b, 144, s.DumpExtendedLineLength);
    Put16(b, 146, s.AlbumGridA);
    Put16(b, 148, s.AlbumGridB);
    Put16(b, 150, s.AlbumOption);
    Put16(b, 152, s.AlbumAddFolderName);
    Put16(b, 154, s.AlbumFileType);
    Put16(b, 156, s.Reserved156);
    Put16(b, 158, s.ImagePrintWidth);
    Put16(b, 160, s.ImagePrintHeight);
    Put16(b, 162, s.EditorFontIndex);
    PutString(b, 164, 30, s.Reserved164);
    PutString(b, 194, 60, s.Reserved194);
    Put16(b, 254, 0);  // QuietLoad is a run-time value: a stored 1 would hide every later open
    Put16(b, 256, s.DebugFlags);
    return b;
}

void DecodeSettingsRecord(QByteArrayView bytes, ViewerSettings& s)
{
    const FieldReader r(bytes);
    s.RecordVersion = r.I16(0);
    s.BrowserViewMode = r.I16(2);
    s.Reserved4 = r.I16(4);
    s.ToolbarVisible = r.Bool(6);
    s.LinesPerScreen = r.I16(8);
    s.FontSize = r.F32(12);
    s.WindowWidth = r.I16(16);
    s.FontIndex = r.I16(18);
    s.FirstUseDate = r.Str(20, 10);
    s.SearchResultRow = r.I16(30);
    s.PrintFontName = r.Str(32, 26);
    s.PrintFontSize = r.Str(58, 8);
    s.ScrollBarLeft = r.I16(66);
    s.DeleteRuleCount = r.I16(68);
    s.OldBackColorIndex = r.I16(70);
    s.OldForeColorIndex = r.I16(72);
    s.RulerVisible = r.Bool(74);
    s.NoBackup = r.Bool(76);
    s.ReservedFlag = r.I16(78);
    s.StatusBarVisible = r.Bool(80);
    s.WrapWidth = r.I16(82);
    s.EditorLinesBefore = r.I16(84);
    s.EditorLinesAfter = r.I16(86);
    s.BrowserFlag = r.I16(88);
    s.RecentCount = r.I16(90);
    s.StartupAnimation = r.I16(92);
    for (int i = 0; i < 5; ++i)
        s.BrowserAttributeFilter[size_t(i)] = r.I16(94 + 2 * i);
    s.DumpWindowHeight = r.I16(104);
    s.DumpWindowWidth = r.I16(106);
    s.DumpWindowTop = r.I16(108);
    s.DumpWindowLeft = r.I16(110);
    s.DumpBytesPerLine = r.I16(112);
    s.DumpPageCode = r.I16(114);
    s.DumpCharSize = r.F32(116);
    s.BackColor = r.I32(120);
    s.ForeColor = r.I32(124);
    s.PrintHeader = r.I16(128);
    s.PrintLineNumbers = r.I16(130);
    s.PrintColumnOption = r.I16(132);
    s.PrintLeftMargin = r.I16(134);
    s.PrintLineNumberWidth = r.I16(136);
    s.ImagePrintSize = r.I16(138);
    s.ImagePrintOrientation = r.I16(140);
    s.Reserved142 = r.Str(142, 2);
    s.DumpExtendedLineLength = r.I16(144);
    s.AlbumGridA = r.I16(146);
    s.AlbumGridB = r.I16(148);
    s.AlbumOption = r.I16(150);
    s.AlbumAddFolderName = r.I16(152);
    s.AlbumFileType = r.I16(154);
    s.Reserved156 = r.I16(156);
    s.ImagePrintWidth = r.I16(158);
    s.ImagePrintHeight = r.I16(160);
    s.EditorFontIndex = r.I16(162);
    s.Reserved164 = r.Str(164, 30);
    s.Reserved194 = r.Str(194, 60);
    s.QuietLoad = r.I16(254);
    s.DebugFlags = r.I16(256);
}

void SetFirstRunValues(ViewerSettings& s, const QDate& today)
{
    DecodeSettingsRecord(QByteArrayView(), s);  // every field 0
    s.RecordVersion = kCurrentRecordVersion;
    s.Reserved4 = -99;
    s.ToolbarVisible = true;
    s.LinesPerScreen = 32;
    s.FontSize = 10.5f;
    s.FirstUseDate = today.toString(QStringLiteral("MM-dd-yyyy"));
    s.PrintFontName = QStringLiteral(u"ＭＳ 明朝");
    s.PrintFontSize = QStringLiteral("10.5");
    s.RulerVisible = false;
    s.NoBackup = true;
    s.ReservedFlag = 1;
    s.StatusBarVisible = true;
    s.WrapWidth = 80;
    s.EditorLinesBefore = 120;
    s.EditorLinesAfter = 240;
    s.RecentCount = 4;
    s.StartupAnimation = 1;
    s.BrowserAttributeFilter = {1, 1, 1, 0, 0};
    s.BackColor = 0xFFFFFF;
    s.ForeColor = 0;
    s.PrintHeader = 7;
    s.PrintLineNumbers = 0;
    s.PrintColumnOption = -1;
    s.PrintLeftMargin = 10;
    s.PrintLineNumberWidth = 4;
    s.AlbumGridA = 5;
    s.AlbumGridB = 2;
}

void SetRunTimeValues(ViewerSettings& s)
{
    const ViewerSettings fresh;
    s.LineBreak = fresh.LineBreak;
    s.LineNumbersVisible = fresh.LineNumbersVisible;
    s.SearchListOpen = fresh.SearchListOpen;
    s.AutoScrollDown = fresh.AutoScrollDown;
    s.AutoScrollSpeed = fresh.AutoScrollSpeed;
    s.EditorLineLimit = fresh.EditorLineLimit;
    s.PrintLayoutValue = fresh.PrintLayoutValue;
    s.DisplayCodeNames = fresh.DisplayCodeNames;
}

void ApplyLoadCorrections(ViewerSettings& s)
{
    if (s.LinesPerScreen < 22 || s.LinesPerScreen > 56) {
        s.LinesPerScreen = 32;
        s.FontSize = 10.5f;
    }
    if (s.ReservedFlag != 0 && s.ReservedFlag != 1)
        s.ReservedFlag = 1;
    if (s.WrapWidth < 2 || s.WrapWidth > 256)
        s.WrapWidth = 80;
    if (s.BrowserFlag < 0 || s.BrowserFlag > 1)
        s.BrowserFlag = 0;
    if (s.TabWidth < 1 || s.TabWidth > 10)
        s.TabWidth = 4;
    if (s.BrowserViewMode < 0 || s.BrowserViewMode > 9)
        s.BrowserViewMode = 0;
    // Only the options dialog's sizes (as the platform realised them, so within half a
    // point): a size of 2000 would make a window of 32,767 pixels.
    static constexpr float kFontSizes[] = {8.0f, 9.75f, 10.5f, 12.0f, 13.5f, 15.0f, 18.0f};
    const bool listed = std::any_of(std::begin(kFontSizes), std::end(kFontSizes),
                                    [&s](float size) { return std::fabs(s.FontSize - size) <= 0.5f; });
    if (!listed)
        s.FontSize = 10.5f;
    s.QuietLoad = 0;
}

QList<EraEntry> DefaultEraTable()
{
    return {
        {QStringLiteral(u"明治"), QStringLiteral("M"), 1868, 9, 8},
        {QStringLiteral(u"大正"), QStringLiteral("T"), 1912, 7, 30},
        {QStringLiteral(u"昭和"), QStringLiteral("S"), 1926, 12, 25},
        {QStringLiteral(u"平成"), QStringLiteral("H"), 1989, 1, 8},
    };
}

QString ProgramFilePath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder + name;
    return folder + QDir::separator() + name;
}

// --- loading and saving ---

namespace {

SettingsLoadReport Load(ViewerSettings& s, const QString& folder, const QDate& today, bool write)
{
    SettingsLoadReport report;
    SetRunTimeValues(s);
    s.SettingsPath = ProgramFilePath(folder, QStringLiteral("KOLBRAN.DAT"));
    s.IniPath = ProgramFilePath(folder, QStringLiteral("KOLBRAN.INI"));
    s.RecentFiles = QStringList(kMaxRecentFiles, QString());
    s.RecentFileCount = 0;
    s.ImageListPrintValue = 4;
    s.TabWidth = 4;
    s.EraTable.clear();

    QByteArray file;
    try {
        file = ReadWholeFile(s.SettingsPath, write);
    } catch (const RuntimeError& e) {
        report.skippedSteps.append(QStringLiteral("DAT: ") + QString::fromUtf8(e.what()));
    }

    if (file.size() < 1) {
        report.firstRun = true;
        SetFirstRunValues(s, today);
    } else {
        if (!HasRuleMarker(file)) {
            OldRules old;
            file = MoveRulesToNewLayout(file, &old);
            report.rulesMoved = !old.records.isEmpty() || old.firstDropped;
            report.firstOldRuleDropped = old.firstDropped;
            try {
                if (write)
                    WriteWholeFile(s.SettingsPath, file);
            } catch (const RuntimeError& e) {
                report.skippedSteps.append(QStringLiteral("rules: ") + QString::fromUtf8(e.what()));
            }
        }
        DecodeSettingsRecord(QByteArrayView(file).first(kSettingsRecordSize), s);
        const int v = s.RecordVersion;
        report.storedVersion = v;

        // Each step on its own: a failing one is skipped and the others run.
        auto step = [&](const char* name, auto&& body) {
            try {
                body();
            } catch (const std::exception& e) {
                report.skippedSteps.append(QString::fromLatin1(name) + QStringLiteral(": ") +
                                           QString::fromUtf8(e.what()));
            }
        };
        step("colours", [&] {
            if (v < 16 || v > 32760) {
                s.BackColor = 0xFFFFFF;
                s.NoBackup = true;
            }
        });
        step("animation", [&] {
            if (v < 21) {
                s.StartupAnimation = 1;
                s.BrowserAttributeFilter[0] = s.BrowserAttributeFilter[1] =
                    s.BrowserAttributeFilter[2] = 1;
            }
        });
        step("INI", [&] {
            if (s.RecentCount > 0) {
                const QString stop = ReadIniFile(s, v, write);
                if (!stop.isEmpty())
                    throw RuntimeError(Err::InvalidArgument, stop);
            }
        });
        step("palette", [&] {
            if (v < 211) {
                auto colour = [](int index) {
                    if (index < 0 || index > 15)
                        throw RuntimeError(Err::InvalidArgument);
                    return PaletteBgr(index);
                };
                s.BackColor = colour(s.OldBackColorIndex);
                s.ForeColor = colour(s.OldForeColorIndex);
            }
        });
        step("print", [&] {
            if (v < 226) {
                s.PrintHeader = 7;
                s.PrintLineNumbers = 0;
                s.PrintColumnOption = -1;
                s.PrintLeftMargin = 10;
            }
        });
        step("album", [&] {
            if (v < 231) {
                s.AlbumGridA = 5;
                s.AlbumGridB = 2;
                s.AlbumOption = s.AlbumAddFolderName = s.AlbumFileType = s.Reserved156 = 0;
            }
        });
        step("scroll bar", [&] {
            if (v < 232)
                s.ScrollBarLeft = 0;
        });
        step("line numbers", [&] {
            if (v < 241)
                s.PrintLineNumberWidth = 4;
        });
    }

    s.RecordVersion = kCurrentRecordVersion;
    ApplyLoadCorrections(s);
    if (s.EraTable.isEmpty())
        s.EraTable = DefaultEraTable();
    return report;
}

}  // namespace

SettingsLoadReport LoadSettings(ViewerSettings& s, const QString& folder, const QDate& today)
{
    return Load(s, folder, today, true);
}

SettingsLoadReport LoadSettingsWithoutWriting(ViewerSettings& s, const QString& folder)
{
    return Load(s, folder, QDate::currentDate(), false);
}

SettingsLoadReport LoadSettings(AppState& state)
{
    return LoadSettings(state.settings, state.SettingsFolder);
}

void SaveSettings(const ViewerSettings& s)
{
    QByteArray file = NewLayoutFile(ReadWholeFile(s.SettingsPath, false));
    file.replace(0, kSettingsSlotSize, EncodeSettingsRecord(s) + SlotSpare());
    WriteWholeFile(s.SettingsPath, file);
}

// --- KOLBRAN.INI ---

QString ReadIniFile(ViewerSettings& s, int storedVersion, bool writeUpgrade)
{
    EnsureRecentSlots(s);
    try {
        QByteArray bytes = ReadWholeFile(s.IniPath, false);
        if (storedVersion < 224)
            bytes = UpgradeOldIni(s, bytes, writeUpgrade);
        IniReader reader(bytes);
        while (!reader.AtEnd()) {
            const QString key = reader.Next().text;
            if (key == QLatin1String("[FileName List]")) {
                int count = reader.NextInt(0, kMaxRecentFiles);
                // The count may stand on the line after the key (the upgraded old list); an
                // empty list written as 0 is followed by the next key, which is left to be read.
                if (count == 0 && !reader.NextIsQuoted() && !reader.AtEnd())
                    count = reader.NextInt(0, kMaxRecentFiles);
                // Only the entries actually read count, so that a cut file leaves no gap.
                s.RecentFileCount = 0;
                for (int i = 0; i < count; ++i) {
                    s.RecentFiles[i] = StoredPath(reader.Next().text);
                    s.RecentFileCount = i + 1;
                }
            } else if (key == QLatin1String("[Img ListPrt]")) {
                s.ImageListPrintValue = reader.NextInt(-32768, 32767);
            } else if (key == QLatin1String("[Tab Space]")) {
                s.TabWidth = reader.NextInt(-32768, 32767);
            } else if (key == QLatin1String("[Prt Bango]")) {
                const int v = reader.NextInt(-32768, 32767);
                s.PrintLineNumberWidth = qint16(v == 0 ? 4 : v);
            } else if (key == QLatin1String("[WAREKI]")) {
                const int count = reader.NextInt(0, kMaxEras);
                s.EraTable.clear();
                for (int i = 0; i < count; ++i) {
                    EraEntry era;
                    era.name = reader.Next().text.left(4);
                    era.abbreviation = reader.Next().text.left(2);
                    era.year = reader.NextInt(-32768, 32767);
                    era.month = reader.NextInt(-32768, 32767);
                    era.day = reader.NextInt(-32768, 32767);
                    s.EraTable.append(era);
                }
            } else {
                reader.Next();  // the value of a key this program does not use
            }
        }
    } catch (const RuntimeError& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

QByteArray IniFileBytes(const ViewerSettings& s)
{
    const int n = std::min(EffectiveRecentCount(s), s.RecentFileCount);
    QByteArray out = KeyLine("[FileName List]", n);
    for (int i = 0; i < n; ++i)
        out += Line(QuotedPath(s.RecentFiles.value(i)));
    out += KeyLine("[Img ListPrt]", s.ImageListPrintValue);
    out += KeyLine("[Tab Space]", s.TabWidth);
    out += KeyLine("[Prt Bango]", s.PrintLineNumberWidth);
    out += KeyLine("[WAREKI]", int(s.EraTable.size()));
    for (const EraEntry& e : s.EraTable)
        out += Line(Quoted(RightTrimmed(e.name)) + ',' + Quoted(RightTrimmed(e.abbreviation)) + ',' +
                    QByteArray::number(e.year) + ',' + QByteArray::number(e.month) + ',' +
                    QByteArray::number(e.day));
    return out;
}

void WriteIniFile(const ViewerSettings& s)
{
    WriteWholeFile(s.IniPath, IniFileBytes(s));
}

// --- recent files ---

void MoveToRecentHead(ViewerSettings& s, const QString& name)
{
    EnsureRecentSlots(s);
    const int limit = EffectiveRecentCount(s);
    s.RecentFileCount = std::clamp(s.RecentFileCount, 0, kMaxRecentFiles);
    int p = -1;
    for (int i = 0; i < s.RecentFileCount; ++i)
        if (s.RecentFiles[i] == name) {
            p = i;
            break;
        }
    if (p < 0) {
        p = std::min(s.RecentFileCount, limit - 1);
        if (s.RecentFileCount < limit)
            ++s.RecentFileCount;
    }
    for (int i = p; i >= 1; --i)
        s.RecentFiles[i] = s.RecentFiles[i - 1];
    s.RecentFiles[0] = name;
}

void AddRecentFile(AppState& state, const QString& path)
{
    QString name = path;
    if (name.isEmpty()) {
        const QString doc = state.doc.DocumentName;
        if (doc.startsWith(QStringLiteral("\\\\")) || QDir::isAbsolutePath(FromNativeSeparators(doc)))
            name = doc;
        else
            name = ProgramFilePath(QDir::toNativeSeparators(QDir::currentPath()), doc);
    }
    MoveToRecentHead(state.settings, name);
    WriteIniFile(state.settings);
}

QString RecentFileLabel(const QString& path)
{
    if (path.size() <= 22)
        return path;
    return path.left(5) + QStringLiteral(u"…") + path.right(16);
}

RecentFileMenu RecentFileMenuItems(const ViewerSettings& s)
{
    RecentFileMenu menu;
    const int n = std::min(EffectiveRecentCount(s), s.RecentFileCount);
    for (int d = 1; d <= n; ++d) {
        const QString label = RecentFileLabel(s.RecentFiles.value(d - 1));
        if (label.isEmpty())
            break;
        menu.captions.append(u'&' + QString::number(d % 10) + u' ' + label);
    }
    menu.separatorVisible = s.RecentFileCount >= 1;
    return menu;
}

// --- controls ---

QString FontNameForIndex(int fontIndex)
{
    switch (fontIndex) {
    case 0: return QStringLiteral(u"ＭＳ 明朝");
    case 1: return QStringLiteral(u"ＭＳ ゴシック");
    case 2: return QStringLiteral(u"標準明朝");
    case 3: return QStringLiteral(u"標準ゴシック");
    default: return {};
    }
}

QColor ColorFromBgr(int32_t bgr)
{
    const quint32 v = quint32(bgr);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int32_t BgrFromColor(const QColor& color)
{
    return int32_t(color.red() | (color.green() << 8) | (color.blue() << 16));
}

QColor PaletteColor(int index)
{
    static constexpr int kRgb[16][3] = {
        {0, 0, 0},     {0, 0, 128},   {0, 128, 0},   {0, 128, 128},   {128, 0, 0},   {128, 0, 128},
        {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0},   {0, 255, 255},
        {255, 0, 0},   {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
    };
    if (index < 0 || index > 15)
        return QColor(0, 0, 0);
    return QColor(kRgb[index][0], kRgb[index][1], kRgb[index][2]);
}

int32_t PaletteBgr(int index)
{
    return BgrFromColor(PaletteColor(index));
}

// --- delete-line rules ---

QByteArray EncodeDeleteRule(const DeleteRule& rule)
{
    QByteArray b(kRuleRecordSize, '\0');
    b.replace(0, 48, FixedSjis(rule.key, 48));
    Put16(b, 62, rule.count);
    return b;
}

DeleteRule DecodeDeleteRule(QByteArrayView record)
{
    const FieldReader r(record);
    return {r.Str(0, 48), r.I16(62)};
}

int DeleteRuleCapacity(const QString& datPath)
{
    return int(RuleRecords(ReadWholeFile(datPath, false)).size());
}

QList<DeleteRule> ReadDeleteRules(const QString& datPath, int count)
{
    const QList<QByteArray> records = RuleRecords(ReadWholeFile(datPath, false));
    QList<DeleteRule> rules;
    for (qsizetype k = 0; k < std::min<qsizetype>(count, records.size()); ++k)
        rules.append(DecodeDeleteRule(records[k]));
    return rules;
}

void WriteDeleteRules(const QString& datPath, const QList<DeleteRule>& rules)
{
    QByteArray file = NewLayoutFile(ReadWholeFile(datPath, false));
    const qsizetype end = kRuleAreaStart + rules.size() * kRuleRecordSize;
    if (file.size() < end)
        file.append(QByteArray(end - file.size(), '\0'));
    for (qsizetype k = 0; k < rules.size(); ++k)
        file.replace(kRuleAreaStart + k * kRuleRecordSize, kRuleRecordSize, EncodeDeleteRule(rules[k]));
    WriteWholeFile(datPath, file);
}

}  // namespace kolbran
