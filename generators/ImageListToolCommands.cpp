#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/Prompter.h"
#include "core/RuntimeError.h"
#include "core/ToolRegistry.h"
#include "generators/ImageList.h"
#include "images/ImageOps.h"
#include "core/PaintJob.h"
#include "images/PdfOptions.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace kolbran {

namespace {

int UsageError(const QString& message)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + message);
    return 2;
}

struct ListArgs {
    QString folder;
    QString pattern;
    int page = 1;
    bool pageGiven = false;
    bool fitted = false;
    int perSide = -1;
    PdfPageOptions pdf;
};

int Parse(ToolContext& c, ListArgs& a, bool printing)
{
    const QStringList& args = c.args;
    QString error;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& o = args[i];
        if (o == QLatin1String("--force"))
            continue;
        if (printing) {
            const int pdf = TakePdfOption(args, i, a.pdf, error);
            if (pdf < 0)
                return UsageError(error);
            if (pdf > 0)
                continue;
            if (o == QLatin1String("--fitted")) {
                a.fitted = true;
                continue;
            }
        }
        const bool takesValue = o == QLatin1String("--pattern") || o == QLatin1String("--page") ||
                                (!printing && o == QLatin1String("-o")) || (printing && o == QLatin1String("--per-side"));
        if (takesValue) {
            if (++i >= args.size())
                return UsageError(o + QStringLiteral(" needs a value"));
            const QString& v = args[i];
            if (o == QLatin1String("--pattern")) {
                a.pattern = v;
            } else if (o == QLatin1String("-o")) {
                a.pdf.output = v;
            } else {
                if (!IsNumeric(v) || Val(v) != double(qint64(Val(v))))
                    return UsageError(o + QStringLiteral(" takes a whole number"));
                const int n = int(Val(v));
                if (o == QLatin1String("--page")) {
                    a.page = n;
                    a.pageGiven = true;
                } else if (n < 0 || n > 7) {
                    return UsageError(QStringLiteral("--per-side takes 0 to 7"));
                } else {
                    a.perSide = n;
                }
            }
        } else if (o.startsWith(u'-') && o.size() > 1) {
            return UsageError(QStringLiteral("unknown option ") + o);
        } else if (a.folder.isEmpty()) {
            a.folder = o;
        } else {
            return UsageError(QStringLiteral("one FOLDER only"));
        }
    }
    if (a.folder.isEmpty())
        return UsageError(QStringLiteral("FOLDER is missing"));
    if (printing && a.fitted == a.pageGiven)
        return UsageError(QStringLiteral("give either --page N or --fitted"));
    if (!printing && a.perSide >= 0)
        return UsageError(QStringLiteral("--per-side is for image-list-print"));
    if (a.pattern.isEmpty())
        a.pattern = ImageListPatterns().value(ImageListPatternIndex(c.state.settings.AlbumFileType));
    return 0;
}

// The listed names, or a warning (exit 1) when there are none.
bool Names(ToolContext& c, const ListArgs& a, QStringList& names)
{
    if (!IsFolder(a.folder)) {
        ToolPrintError(a.folder + QStringLiteral(": ") + ErrorDescription(Err::PathNotFound));
        return false;
    }
    names = ImageListFiles(a.folder, a.pattern);
    if (names.isEmpty()) {
        c.prompter.Message(QStringLiteral(u"対象ファイルがありません。"), MsgIcon::Warning, MsgButtons::Ok, {});
        return false;
    }
    return true;
}

QImage Canvas(const ListArgs& a, const QStringList& names, QList<ListCell>* cells)
{
    QImage canvas(kListCanvasWidth, kListCanvasHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    const QList<ListCell> drawn = DrawListPage(painter, a.folder, names, a.page);
    if (cells)
        *cells = drawn;
    return canvas;
}

bool PageInRange(const ListArgs& a, int count)
{
    if (a.page >= 1 && a.page <= ImageListPageCount(count))
        return true;
    UsageError(QStringLiteral("--page takes 1 to ") + QString::number(ImageListPageCount(count)));
    return false;
}

QString N(double v)
{
    return QString::number(v, 'g', 10);
}

// image-list FOLDER [--pattern P] [--page N] [-o OUT.bmp]
int RunList(ToolContext& c)
{
    ListArgs a;
    if (const int rc = Parse(c, a, false))
        return rc;
    QStringList names;
    if (!Names(c, a, names))
        return 1;
    if (!PageInRange(a, int(names.size())))
        return 2;
    QList<ListCell> cells;
    const QImage canvas = Canvas(a, names, &cells);
    ToolPrint(ImageListCountText(int(names.size())) + u'\n');
    ToolPrint(ImageListPageText(a.page, ImageListPageCount(int(names.size()))) + u'\n');
    for (const ListCell& cell : cells) {
        const QRectF r = cell.picture.isNull() ? QRectF(cell.captionAt, QSizeF(0, 0)) : cell.picture;
        ToolPrint(N(r.x()) + u',' + N(r.y()) + u',' + N(r.width()) + u',' + N(r.height()) + u'\t' + cell.caption + u'\n');
    }
    if (!a.pdf.output.isEmpty()) {
        try {
            if (CheckSaveTarget(c.state, a.pdf.output) != SaveTarget::Allowed)
                return 1;
            SaveBitmap(canvas, a.pdf.output);
        } catch (const RuntimeError& e) {
            ReportError(c.state, e, 0);
            return 1;
        }
    }
    return 0;
}

// image-list-print FOLDER [--pattern P] (--page N | --fitted [--per-side n]) PRINT
int RunListPrint(ToolContext& c)
{
    ListArgs a;
    if (const int rc = Parse(c, a, true))
        return rc;
    QStringList names;
    if (!Names(c, a, names))
        return 1;
    if (!a.fitted && !PageInRange(a, int(names.size())))
        return 2;
    QString folder = a.folder;
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\')))
        folder.chop(1);
    const QString out = a.pdf.output.isEmpty() ? folder + QStringLiteral(".pdf") : a.pdf.output;
    try {
        if (CheckSaveTarget(c.state, out) != SaveTarget::Allowed)
            return 1;
        PdfJob job(out, PdfChoiceOf(a.pdf, 300));
        if (a.fitted) {
            const int n = a.perSide >= 0 ? a.perSide : ImageListPrintValueOf(c.state.settings.ImageListPrintValue);
            if (PrintFittedList(job.Painter(), job.Device(), a.folder, names, n) != FittedResult::Printed) {
                job.Discard();
                c.prompter.Message(FittedTooSmallText(), MsgIcon::Warning, MsgButtons::Ok, {});
                return 1;
            }
        } else {
            PrintCanvas(job.Painter(), job.Device(), Canvas(a, names, nullptr));
        }
        job.Commit();
    } catch (const RuntimeError& e) {
        ReportError(c.state, e, 1);
        return 1;
    }
    return 0;
}

}  // namespace

void RegisterImageListToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("image-list"),
                  QStringLiteral("image-list FOLDER [--pattern P] [--page N] [-o OUT.bmp] [--force]"),
                  QStringLiteral("lays out one page of the contact sheet; prints the cells"), RunList});
    registry.Add({QStringLiteral("image-list-print"),
                  QStringLiteral("image-list-print FOLDER [--pattern P] (--page N | --fitted [--per-side n]) "
                                 "[-o OUT.pdf] [--paper-size NAME] [--landscape] [--margin MM] [--force]"),
                  QStringLiteral("prints a contact-sheet page, or every picture fitted to the paper, to a PDF"),
                  RunListPrint});
}

}  // namespace kolbran
