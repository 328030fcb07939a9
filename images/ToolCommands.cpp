#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/Prompter.h"
#include "core/RuntimeError.h"
#include "core/Settings.h"
#include "core/ToolRegistry.h"
#include "images/ImageOps.h"
#include "images/ImageWindowLogic.h"
#include "core/PaintJob.h"
#include "images/PdfOptions.h"

#include <QPagedPaintDevice>

namespace kolbran {

namespace {

int UsageError(const QString& message)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + message);
    return 2;
}

// FILE and the options every image subcommand shares; `extra` takes the others
// (returns 1 taken, 0 unknown, -1 bad value).
struct ImageArgs {
    QString file;
    QString output;
};
int ParseArgs(const QStringList& args, ImageArgs& out, const std::function<int(qsizetype&)>& extra)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--force"))
            continue;
        if (extra) {
            const int taken = extra(i);
            if (taken < 0)
                return 2;
            if (taken > 0)
                continue;
        }
        if (a == QLatin1String("-o")) {
            if (++i >= args.size())
                return UsageError(QStringLiteral("-o needs a file name"));
            out.output = args[i];
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return UsageError(QStringLiteral("unknown option ") + a);
        } else if (out.file.isEmpty()) {
            out.file = a;
        } else {
            return UsageError(QStringLiteral("one FILE only"));
        }
    }
    if (out.file.isEmpty())
        return UsageError(QStringLiteral("FILE is missing"));
    return 0;
}

// Loads the picture; a file that is not one is reported and gives exit 1.
bool Load(const QString& file, QImage& image)
{
    try {
        image = LoadShownPicture(file);
        return true;
    } catch (const RuntimeError& e) {
        ToolPrintError(file + QStringLiteral(": ") + e.Description());
        return false;
    }
}

// image FILE [--left|--right|--grey]… [-o OUT] [--force]
int RunImage(ToolContext& c)
{
    QStringList ops;
    ImageArgs a;
    if (const int rc = ParseArgs(c.args, a, [&](qsizetype& i) {
            const QString& o = c.args[i];
            if (o == QLatin1String("--left") || o == QLatin1String("--right") || o == QLatin1String("--grey")) {
                ops.append(o);
                return 1;
            }
            return 0;
        }))
        return rc;
    const QString out = a.output.isEmpty() ? QStringLiteral("XXXXXX.BMP") : a.output;
    QImage image;
    if (!Load(a.file, image))
        return 1;
    for (const QString& o : ops)
        image = o == QLatin1String("--left") ? RotateLeft(image) : o == QLatin1String("--right") ? RotateRight(image) : GreyPicture(image);
    try {
        if (!ConfirmBitmapTarget(c.state, a.file, out))
            return 1;
        SaveBitmap(image, out);
    } catch (const RuntimeError& e) {
        ReportError(c.state, e, 0);
        return 1;
    }
    return 0;
}

bool CheckTarget(ToolContext& c, const QString& path)
{
    return CheckSaveTarget(c.state, path) == SaveTarget::Allowed;
}

// image-analyse FILE [-o OUT] [--force]
int RunAnalyse(ToolContext& c)
{
    ImageArgs a;
    if (const int rc = ParseArgs(c.args, a, {}))
        return rc;
    const QString out = a.output.isEmpty() ? ProgramFilePath(c.state.SettingsFolder, kAnalysisFileName) : a.output;
    QImage image;
    if (!Load(a.file, image))
        return 1;
    try {
        if (!CheckTarget(c, out))
            return 1;
        WriteAnalysis(image, out);
    } catch (const RuntimeError& e) {
        ReportError(c.state, e, 0);
        return 1;
    }
    return 0;
}

// image-text FILE [--chars N] [-o OUT] [--force]
int RunText(ToolContext& c)
{
    ImageArgs a;
    int n = kDefaultTextPictureWidth;
    if (const int rc = ParseArgs(c.args, a, [&](qsizetype& i) {
            if (c.args[i] != QLatin1String("--chars"))
                return 0;
            if (i + 1 >= c.args.size()) {
                UsageError(QStringLiteral("--chars needs a number"));
                return -1;
            }
            n = TextPictureWidth(c.args[++i]);
            return 1;
        }))
        return rc;
    const QString out = a.output.isEmpty() ? kTextPictureFileName : a.output;
    QImage image;
    if (!Load(a.file, image))
        return 1;
    try {
        if (!CheckTarget(c, out))
            return 1;
        WriteTextPicture(TextPicture(image, n), out);
    } catch (const RuntimeError& e) {
        ReportError(c.state, e, 0);
        return 1;
    }
    return 0;
}

QString Mm(double v)
{
    return QString::number(v, 'g', 10);
}

// image-print FILE [--paper 0..6] [--size W,H] [--fit width|height] PRINT
int RunPrint(ToolContext& c)
{
    ImagePrintSetup setup = ImagePrintSetupFromSettings(c.state.settings);
    PdfPageOptions page;
    bool paperGiven = false, sizeGiven = false;
    QString error;
    ImageArgs a;
    if (const int rc = ParseArgs(c.args, a, [&](qsizetype& i) {
            const QString& o = c.args[i];
            const int pdf = TakePdfOption(c.args, i, page, error);
            if (pdf != 0) {
                if (pdf < 0)
                    UsageError(error);
                return pdf;
            }
            if (o != QLatin1String("--paper") && o != QLatin1String("--size") && o != QLatin1String("--fit"))
                return 0;
            if (i + 1 >= c.args.size()) {
                UsageError(o + QStringLiteral(" needs a value"));
                return -1;
            }
            const QString v = c.args[++i];
            if (o == QLatin1String("--paper")) {
                if (!IsNumeric(v) || Val(v) < 0 || Val(v) > 6 || Val(v) != int(Val(v))) {
                    UsageError(QStringLiteral("--paper takes 0 to 6"));
                    return -1;
                }
                setup.paperChoice = int(Val(v));
                paperGiven = true;
            } else if (o == QLatin1String("--size")) {
                const QStringList wh = v.split(u',');
                if (wh.size() != 2 || !IsNumeric(wh[0]) || !IsNumeric(wh[1])) {
                    UsageError(QStringLiteral("--size takes W,H (mm)"));
                    return -1;
                }
                setup.customSize = QSizeF(Val(wh[0]), Val(wh[1]));
                sizeGiven = true;
            } else if (v == QLatin1String("width") || v == QLatin1String("height")) {
                setup.fitMode = v == QLatin1String("width") ? 0 : 1;
            } else {
                UsageError(QStringLiteral("--fit takes width or height"));
                return -1;
            }
            return 1;
        }))
        return rc;
    if (sizeGiven && !paperGiven)
        setup.paperChoice = kPaperCustom;
    const QString out = page.output.isEmpty() ? ReplaceFromFirstDot(a.file, QStringLiteral(".pdf")) : page.output;
    QImage image;
    if (!Load(a.file, image))
        return 1;
    try {
        if (!CheckTarget(c, out))
            return 1;
        PdfJob job(out, PdfChoiceOf(page));
        const QSizeF paper =
            PaperSizeFor(setup.paperChoice, PrintableSizeMm(job.Device()), !page.landscape, setup.customSize);
        const QRectF rect = PrintRectangle(paper, setup.fitMode, image.size());
        PaintPictureMm(job.Painter(), job.Device(), image, rect);
        job.Commit();
        ToolPrint(Mm(rect.x()) + u' ' + Mm(rect.y()) + u' ' + Mm(rect.width()) + u' ' + Mm(rect.height()) + u'\n');
    } catch (const RuntimeError& e) {
        ReportError(c.state, e, 1);
        return 1;
    }
    return 0;
}

}  // namespace

void RegisterImagesToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("image"), QStringLiteral("image FILE [--left|--right|--grey]... [-o OUT] [--force]"),
                  QStringLiteral("turns or greys a picture in the given order and saves it as a bitmap"), RunImage});
    registry.Add({QStringLiteral("image-analyse"), QStringLiteral("image-analyse FILE [-o OUT] [--force]"),
                  QStringLiteral("writes the picture as a drawing file of one point per pixel"), RunAnalyse});
    registry.Add({QStringLiteral("image-text"), QStringLiteral("image-text FILE [--chars N] [-o OUT] [--force]"),
                  QStringLiteral("writes the picture as a text picture of N characters a line"), RunText});
    registry.Add({QStringLiteral("image-print"),
                  QStringLiteral("image-print FILE [--paper 0..6] [--size W,H] [--fit width|height] [-o OUT.pdf] "
                                 "[--paper-size NAME] [--landscape] [--margin MM] [--force]"),
                  QStringLiteral("prints the picture on the chosen paper to a PDF; prints x0 y0 w h (mm)"), RunPrint});
}

}  // namespace kolbran
