#include "generators/ToolCommands.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/FileListing.h"
#include "core/Guards.h"
#include "core/JapaneseCodes.h"
#include "core/Numbers.h"
#include "core/Prompter.h"
#include "core/Settings.h"
#include "core/ToolRegistry.h"
#include "generators/Album.h"
#include "generators/Calendar.h"
#include "generators/CsvTable.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace kolbran {

namespace {

const QString kAlbumUsage = QStringLiteral(
    "album FOLDER [--type 0..4] [--rows N] [--columns N] [--pattern '*.jpg'|'*.gif'|'*.*'] [--folder-name] "
    "[--folder-text TEXT] [-o OUT] [--force]");
const QString kCalendarUsage = QStringLiteral("calendar YEAR MONTH [--width 3|4] [--lines 5|6] [--era]");
const QString kCsvUsage =
    QStringLiteral("csv FILE [--delimiter comma|semicolon|tab] [--code 0|1|2|3|9] [-o OUT] [--force]");

int UsageError(const QString& usage, const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + problem);
    ToolPrintError(QStringLiteral("usage: kolbran-tool ") + usage);
    return 2;
}

std::optional<qint64> WholeNumber(const QString& text)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

QString WithLf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// The output guard of the window's save: true when `path` may be written.
bool MayWrite(AppState& state, const QString& path)
{
    try {
        return CheckSaveTarget(state, path) == SaveTarget::Allowed;
    } catch (const RuntimeError& e) {
        ReportError(state, e, 1);
        return false;
    }
}

int RunAlbum(ToolContext& context)
{
    AppState& state = context.state;
    const ViewerSettings& s = state.settings;
    QString folder;
    QString output;
    int type = s.AlbumOption >= 0 && s.AlbumOption <= 4 ? s.AlbumOption : 0;
    const int patternIndex = s.AlbumFileType >= 0 && s.AlbumFileType <= 2 ? s.AlbumFileType : 0;
    QString pattern = AlbumPatterns()[patternIndex];
    QString rowsText = QString::number(s.AlbumGridA);
    QString columnsText = QString::number(s.AlbumGridB);
    bool addFolderName = s.AlbumAddFolderName != 0;
    std::optional<QString> folderText;
    const QStringList& args = context.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool takesValue = a == QLatin1String("--type") || a == QLatin1String("--rows") ||
                                a == QLatin1String("--columns") || a == QLatin1String("--pattern") ||
                                a == QLatin1String("--folder-text") || a == QLatin1String("-o");
        if (takesValue && i + 1 >= args.size())
            return UsageError(kAlbumUsage, a + QStringLiteral(" needs a value"));
        if (a == QLatin1String("--type")) {
            const auto v = WholeNumber(args[++i]);
            if (!v || *v < 0 || *v > 4)
                return UsageError(kAlbumUsage, QStringLiteral("--type must be 0 to 4"));
            type = int(*v);
        } else if (a == QLatin1String("--rows")) {
            rowsText = args[++i];
        } else if (a == QLatin1String("--columns")) {
            columnsText = args[++i];
        } else if (a == QLatin1String("--pattern")) {
            pattern = args[++i];
            if (!AlbumPatterns().contains(pattern))
                return UsageError(kAlbumUsage, QStringLiteral("--pattern must be *.jpg, *.gif or *.*"));
        } else if (a == QLatin1String("--folder-text")) {
            folderText = args[++i];
        } else if (a == QLatin1String("-o")) {
            output = args[++i];
        } else if (a == QLatin1String("--folder-name")) {
            addFolderName = true;
        } else if (a == QLatin1String("--force")) {
            continue;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return UsageError(kAlbumUsage, QStringLiteral("unknown option ") + a);
        } else if (folder.isEmpty()) {
            folder = a;
        } else {
            return UsageError(kAlbumUsage, QStringLiteral("one FOLDER only"));
        }
    }
    if (folder.isEmpty())
        return UsageError(kAlbumUsage, QStringLiteral("FOLDER is missing"));
    folder = QFileInfo(FromNativeSeparators(folder)).absoluteFilePath();
    if (!QFileInfo(folder).isDir()) {
        ReportError(state, Err::PathNotFound, 1);
        return 1;
    }
    const AlbumGrid grid = CorrectAlbumGrid(rowsText, columnsText, s.AlbumGridA, s.AlbumGridB);
    AlbumRequest request;
    request.type = type;
    request.rows = grid.rows;
    request.columns = grid.columns;
    request.addFolderName = addFolderName;
    request.folderText = folderText.value_or(FolderTran(ToNativeSeparators(folder)));
    request.folder = folder;
    const AttributeFilter all{true, true, true, true, true};
    for (const FileEntry& e : ListFiles(folder, pattern, all))
        request.names << e.name;
    const QString page = BuildAlbumHtml(request);
    if (page.isEmpty()) {
        state.prompter.Message(QStringLiteral(u"対象ファイルがありません。"), MsgIcon::Warning);
        return 1;
    }
    if (output.isEmpty()) {
        ToolPrint(WithLf(page));
        return 0;
    }
    if (!MayWrite(state, output))
        return 1;
    try {
        WriteAlbumPage(output, page);
    } catch (const RuntimeError& e) {
        ReportError(state, e, 1);
        return 1;
    }
    return 0;
}

int RunCalendar(ToolContext& context)
{
    const QStringList& args = context.args;
    CalendarRequest request;
    bool era = false;
    std::optional<qint64> year;
    std::optional<qint64> month;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--width") || a == QLatin1String("--lines")) {
            if (i + 1 >= args.size())
                return UsageError(kCalendarUsage, a + QStringLiteral(" needs a value"));
            const QString v = args[++i];
            if (a == QLatin1String("--width")) {
                if (v != QLatin1String("3") && v != QLatin1String("4"))
                    return UsageError(kCalendarUsage, QStringLiteral("--width must be 3 or 4"));
                request.wide = v == QLatin1String("4");
            } else {
                if (v != QLatin1String("5") && v != QLatin1String("6"))
                    return UsageError(kCalendarUsage, QStringLiteral("--lines must be 5 or 6"));
                request.sixLines = v == QLatin1String("6");
            }
        } else if (a == QLatin1String("--era")) {
            era = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return UsageError(kCalendarUsage, QStringLiteral("unknown option ") + a);
        } else if (!year) {
            year = WholeNumber(a);
            if (!year || *year < 1 || *year > 32767)
                return UsageError(kCalendarUsage, QStringLiteral("YEAR must be from 1 to 32767"));
        } else if (!month) {
            month = WholeNumber(a);
            if (!month || *month < 1 || *month > 12)
                return UsageError(kCalendarUsage, QStringLiteral("MONTH must be from 1 to 12"));
        } else {
            return UsageError(kCalendarUsage, QStringLiteral("unexpected argument '") + a + u'\'');
        }
    }
    if (!year || !month)
        return UsageError(kCalendarUsage, QStringLiteral("YEAR and MONTH are needed"));
    request.year = int(*year);
    request.month = int(*month);
    if (era) {
        // Settings without eras hold the default ones, as after loading.
        const QList<EraEntry>& stored = context.state.settings.EraTable;
        request.era = EraText(stored.isEmpty() ? DefaultEraTable() : stored, request.year, request.month);
    }
    ToolPrint(WithLf(CalendarText(request)));
    return 0;
}

int RunCsv(ToolContext& context)
{
    AppState& state = context.state;
    const QStringList& args = context.args;
    QString file;
    QString output;
    int delimiter = 0;
    int code = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool takesValue =
            a == QLatin1String("--delimiter") || a == QLatin1String("--code") || a == QLatin1String("-o");
        if (takesValue && i + 1 >= args.size())
            return UsageError(kCsvUsage, a + QStringLiteral(" needs a value"));
        if (a == QLatin1String("--delimiter")) {
            const int k = QStringList{QStringLiteral("comma"), QStringLiteral("semicolon"), QStringLiteral("tab")}
                              .indexOf(args[++i]);
            if (k < 0)
                return UsageError(kCsvUsage, QStringLiteral("--delimiter must be comma, semicolon or tab"));
            delimiter = k;
        } else if (a == QLatin1String("--code")) {
            const auto v = WholeNumber(args[++i]);
            if (!v || !IsDisplayCode(int(*v)))
                return UsageError(kCsvUsage, QStringLiteral("--code must be 0, 1, 2, 3 or 9"));
            code = int(*v);
        } else if (a == QLatin1String("-o")) {
            output = args[++i];
        } else if (a == QLatin1String("--force")) {
            continue;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return UsageError(kCsvUsage, QStringLiteral("unknown option ") + a);
        } else if (file.isEmpty()) {
            file = a;
        } else {
            return UsageError(kCsvUsage, QStringLiteral("one FILE only"));
        }
    }
    if (file.isEmpty())
        return UsageError(kCsvUsage, QStringLiteral("FILE is missing"));

    ViewerHost host;
    PrOpen(state, host, file);
    if (!state.doc.HasFile())
        return 1;
    if (state.doc.FileLength == 0) {
        state.prompter.Message(QStringLiteral(u"ファイルサイズが０のため処理できません。"), MsgIcon::Warning,
                               MsgButtons::Ok, QStringLiteral(u"CSV処理"));
        ResetDocumentState(state);
        return 1;
    }
    if (!state.doc.IsUtf16)
        state.doc.DisplayCode = code;
    if (!output.isEmpty() && !MayWrite(state, output)) {
        ResetDocumentState(state);
        return 1;
    }

    CsvLayout layout(CsvDelimiter(delimiter));
    const CsvLineSource source = DocumentLineSource(state);
    const auto always = [](qint64) { return true; };
    const qint64 lines = state.doc.LineCount;
    CsvMeasurePass(layout, lines, source, always);
    CsvTableProgress progress;
    int status = 0;
    try {
        if (output.isEmpty()) {
            CsvTablePass(layout, lines, source, always, [](const QString& rows) { ToolPrint(WithLf(rows)); },
                         progress);
        } else {
            QSaveFile out(FromNativeSeparators(output));
            if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                ThrowFileError(out, Err::PathFileAccess);
            CsvTablePass(layout, lines, source, always,
                         [&out](const QString& rows) {
                             const QByteArray bytes = ToSjis(rows);
                             if (out.write(bytes) != bytes.size())
                                 ThrowFileError(out, Err::DeviceIo);
                         },
                         progress);
            if (!out.commit())
                ThrowFileError(out, Err::DeviceIo);
        }
    } catch (const RuntimeError& e) {
        ReportError(state, e, 1);
        status = 1;
    } catch (const std::bad_alloc&) {
        state.prompter.Message(CsvOutOfMemoryMessage(progress.line));
        status = 1;
    }
    ResetDocumentState(state);
    return status;
}

}  // namespace

void RegisterGeneratorsToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("album"), kAlbumUsage,
                  QStringLiteral("writes the HTML album page of the pictures in a folder"), RunAlbum, true});
    registry.Add({QStringLiteral("calendar"), kCalendarUsage, QStringLiteral("prints the calendar of one month"),
                  RunCalendar, false});
    registry.Add({QStringLiteral("csv"), kCsvUsage,
                  QStringLiteral("writes the fixed-width table of a delimited text file"), RunCsv, false});
}

}  // namespace kolbran
