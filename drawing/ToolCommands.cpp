// draw and draw-print: the drawing window's load run and direct print without the window.
#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/JapaneseCodes.h"
#include "core/ToolRegistry.h"
#include "drawing/DrawingInterpreter.h"
#include "drawing/DrawingOutput.h"
#include "drawing/DrawingSurface.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPdfWriter>
#include <QQueue>
#include <QSaveFile>

namespace kolbran {

namespace {

const QString kDrawUsage = QStringLiteral(
    "draw FILE [-o OUT] [--png] [--code N] [--screen WxH] [--input TEXT]... [--force]");
const QString kPrintUsage = QStringLiteral(
    "draw-print FILE [-o OUT] [--paper A4|A3|B5|Letter] [--landscape] [--margin MM] [--dpi N] "
    "[--code N] [--input TEXT]... [--force]");

int UsageError(const QString& usage, const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + problem);
    ToolPrintError(QStringLiteral("usage: kolbran-tool ") + usage);
    return 2;
}

// Messages as kolbran-tool shows them; Input boxes answered from --input in turn.
class DrawingToolPrompter final : public Prompter {
public:
    DrawingToolPrompter(NonInteractivePrompter& base, QStringList inputs) : base_(base)
    {
        for (const QString& s : inputs)
            inputs_.enqueue(s);
    }
    MsgAnswer Message(const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title) override
    {
        return base_.Message(text, icon, buttons, title);
    }
    std::optional<QString> Input(const QString&, const QString&, const QString&) override
    {
        return inputs_.isEmpty() ? QString() : inputs_.dequeue();
    }
    QString OpenFileName(const FileDialogRequest& r) override { return base_.OpenFileName(r); }
    QString SaveFileName(const FileDialogRequest& r) override { return base_.SaveFileName(r); }
    bool PrinterSetup(PrinterChoice& c) override { return base_.PrinterSetup(c); }

private:
    NonInteractivePrompter& base_;
    QQueue<QString> inputs_;
};

struct DrawOptions {
    QString file;
    QString output;
    bool png = false;
    int code = 0;
    QSize screen{1024, 768};
    QStringList inputs;
    QPageSize::PageSizeId paper = QPageSize::A4;
    bool landscape = false;
    double margin = 5;
    int dpi = 1200;
};

// Parses the options both subcommands share and those of `printing`; 0 when all is well.
int ParseOptions(const QStringList& args, bool printing, DrawOptions& o)
{
    const QString& usage = printing ? kPrintUsage : kDrawUsage;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--force")) {
            continue;
        } else if (a == QLatin1String("-o")) {
            if (!value(o.output))
                return UsageError(usage, QStringLiteral("-o needs a file name"));
        } else if (a == QLatin1String("--input")) {
            if (!value(v))
                return UsageError(usage, QStringLiteral("--input needs a text"));
            o.inputs.append(v);
        } else if (a == QLatin1String("--code")) {
            bool ok = false;
            if (!value(v) || (o.code = v.toInt(&ok), !ok) || !IsDisplayCode(o.code))
                return UsageError(usage, QStringLiteral("--code must be 0, 1, 2, 3 or 9"));
        } else if (!printing && a == QLatin1String("--png")) {
            o.png = true;
        } else if (!printing && a == QLatin1String("--screen")) {
            const QStringList wh = value(v) ? v.split(u'x') : QStringList();
            bool okW = false, okH = false;
            const int w = wh.size() == 2 ? wh[0].toInt(&okW) : 0;
            const int h = wh.size() == 2 ? wh[1].toInt(&okH) : 0;
            if (!okW || !okH || w < 1 || h < 1 || w > 32767 || h > 32767)
                return UsageError(usage, QStringLiteral("--screen must be WxH, e.g. 1024x768"));
            o.screen = QSize(w, h);
        } else if (printing && a == QLatin1String("--paper")) {
            value(v);
            if (v == QLatin1String("A4"))
                o.paper = QPageSize::A4;
            else if (v == QLatin1String("A3"))
                o.paper = QPageSize::A3;
            else if (v == QLatin1String("B5"))
                o.paper = QPageSize::B5;
            else if (v == QLatin1String("Letter"))
                o.paper = QPageSize::Letter;
            else
                return UsageError(usage, QStringLiteral("--paper must be A4, A3, B5 or Letter"));
        } else if (printing && a == QLatin1String("--landscape")) {
            o.landscape = true;
        } else if (printing && a == QLatin1String("--margin")) {
            bool ok = false;
            if (!value(v) || (o.margin = v.toDouble(&ok), !ok) || o.margin < 0 || o.margin > 100)
                return UsageError(usage, QStringLiteral("--margin must be 0 to 100 (mm)"));
        } else if (printing && a == QLatin1String("--dpi")) {
            bool ok = false;
            if (!value(v) || (o.dpi = v.toInt(&ok), !ok) || o.dpi < 72 || o.dpi > 4800)
                return UsageError(usage, QStringLiteral("--dpi must be 72 to 4800"));
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return UsageError(usage, QStringLiteral("unknown option ") + a);
        } else if (o.file.isEmpty()) {
            o.file = a;
        } else {
            return UsageError(usage, QStringLiteral("one FILE only"));
        }
    }
    if (o.file.isEmpty())
        return UsageError(usage, QStringLiteral("FILE is missing"));
    return 0;
}

// Opens FILE as the main window's document with its folder current; false when refused.
bool OpenDrawing(AppState& state, const DrawOptions& o, QString& absolute)
{
    absolute = QFileInfo(FromNativeSeparators(o.file)).absoluteFilePath();
    if (CheckFileExists(state, absolute))
        return false;
    QDir::setCurrent(FolderPart(absolute));
    ViewerHost host;
    PrOpen(state, host, absolute);
    if (!state.doc.HasFile())
        return false;
    state.doc.DisplayCode = o.code;
    return true;
}

int Run(ToolContext& context, bool printing)
{
    DrawOptions o;
    if (const int status = ParseOptions(context.args, printing, o))
        return status;
    DrawingToolPrompter prompter(context.prompter, o.inputs);
    AppState state(prompter);
    state.settings = context.state.settings;
    state.SettingsFolder = context.state.SettingsFolder;
    const QString startFolder = QDir::currentPath();
    QString absolute;
    if (!OpenDrawing(state, o, absolute))
        return 1;
    QString output = o.output.isEmpty()
                         ? (printing ? ReplaceFromFirstDot(absolute, QStringLiteral(".pdf"))
                                     : DefaultBitmapName(FolderPart(absolute)))
                         : QFileInfo(QDir(startFolder), FromNativeSeparators(o.output)).absoluteFilePath();
    int status = 0;
    try {
        DrawingInterpreter interpreter(state);
        interpreter.screenSize = o.screen;
        try {
            interpreter.ScanLabels();
        } catch (const RuntimeError& e) {
            ToolPrintError(DrawingErrorText(e, interpreter.LineCounter()));
            ResetDocumentState(state);
            return 1;
        }
        if (!printing) {
            DrawingSurface surface(DefaultPictureSize(o.screen));
            try {
                interpreter.RunDrawing(surface, false);
            } catch (const RuntimeError& e) {
                ToolPrintError(DrawingErrorText(e, interpreter.LineCounter()));
                ResetDocumentState(state);
                return 1;
            }
            if (!ConfirmDrawingTarget(state, output)) {
                ResetDocumentState(state);
                return 1;
            }
            SaveDrawingPicture(surface.Image(), output, o.png ? "png" : "bmp");
        } else {
            if (!ConfirmDrawingTarget(state, output)) {
                ResetDocumentState(state);
                return 1;
            }
            QSaveFile file(output);
            if (!file.open(QIODevice::WriteOnly))
                ThrowFileError(file, Err::PathFileAccess);
            PrintOutcome outcome;
            {
                QPdfWriter writer(&file);
                writer.setResolution(o.dpi);
                writer.setPageLayout(QPageLayout(QPageSize(o.paper),
                                                 o.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                                 QMarginsF(o.margin, o.margin, o.margin, o.margin),
                                                 QPageLayout::Millimeter));
                writer.setCreator(QStringLiteral("Kolbran"));
                outcome = PrintDrawing(interpreter, writer);
            }
            if (outcome.deviceFailed || !file.commit())
                ThrowFileError(file, Err::DeviceIo);
            if (outcome.error) {
                ToolPrintError(DrawingErrorText(*outcome.error, outcome.errorLine));
                status = 1;
            }
        }
    } catch (const RuntimeError& e) {
        ToolPrintError(e.Description() + QStringLiteral(" (") + QString::number(e.Number()) + u')');
        status = 1;
    }
    ResetDocumentState(state);
    return status;
}

}  // namespace

void RegisterDrawingToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("draw"), kDrawUsage,
                  QStringLiteral("draws a drawing file as the drawing window does and saves the picture (BMP)"),
                  [](ToolContext& c) { return Run(c, false); }, true});
    registry.Add({QStringLiteral("draw-print"), kPrintUsage,
                  QStringLiteral("prints a drawing file at true scale to a one-page PDF"),
                  [](ToolContext& c) { return Run(c, true); }, true});
}

}  // namespace kolbran
