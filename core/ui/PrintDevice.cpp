#include "core/ui/PrintDevice.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace kolbran {

namespace {

void ApplyPrinterLayout(QPrinter& printer, const PrinterChoice& choice);

class PrinterJob final : public PaintJob {
public:
    PrinterJob(const PrinterChoice& choice, const QString& title) : printer_(QPrinter::HighResolution)
    {
        ApplyPrinterLayout(printer_, choice);
        printer_.setDocName(title.isEmpty() ? kProgramTitle : title);
        if (!printer_.isValid())
            throw RuntimeError(kPrinterError, choice.PrinterName);
    }
    ~PrinterJob() override { Discard(); }

    QPagedPaintDevice& Device() override { return printer_; }
    QPainter& Painter() override
    {
        if (!painter_.isActive() && !painter_.begin(&printer_))
            throw RuntimeError(kPrinterError, printer_.printerName());
        return painter_;
    }
    void Commit() override
    {
        if (done_)
            return;
        Painter();
        done_ = true;
        const bool ended = painter_.end();
        if (!ended || printer_.printerState() == QPrinter::Error)
            throw RuntimeError(kPrinterError, printer_.printerName());
    }
    void Discard() override
    {
        if (done_)
            return;
        done_ = true;
        if (painter_.isActive()) {
            printer_.abort();
            if (painter_.isActive())
                painter_.end();
        }
    }

private:
    QPrinter printer_;
    QPainter painter_;
    bool done_ = false;
};

}  // namespace

bool PrinterInstalled()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString PrintTargetName(const PrinterChoice& choice)
{
    if (!PrinterInstalled())
        return QStringLiteral("PDF");
    if (!choice.PrinterName.isEmpty())
        return choice.PrinterName;
    return QPrinterInfo::defaultPrinterName();
}

namespace {
// A PDF writer that keeps its output in memory and is never painted on.
class MeasuringPdf final : public QPdfWriter {
public:
    explicit MeasuringPdf(const PrinterChoice& choice) : QPdfWriter(&buffer_) { ApplyPdfLayout(*this, choice); }

private:
    QBuffer buffer_;
};

void ApplyPrinterLayout(QPrinter& printer, const PrinterChoice& choice)
{
    if (!choice.PrinterName.isEmpty())
        printer.setPrinterName(choice.PrinterName);
    printer.setPageOrientation(choice.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageSize(QPageSize(choice.Paper));
    printer.setPageMargins(choice.MarginsMm, QPageLayout::Millimeter);
}
}  // namespace

std::unique_ptr<QPagedPaintDevice> MeasuringDevice(const PrinterChoice& choice)
{
    if (!PrinterInstalled())
        return std::make_unique<MeasuringPdf>(choice);
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    ApplyPrinterLayout(*printer, choice);
    return printer;
}

std::unique_ptr<PaintJob> BeginPrintJob(AppState& state, const QString& sourcePath,
                                        const QString& documentTitle, bool askPdfName, const QString& pdfPath)
{
    if (PrinterInstalled())
        return std::make_unique<PrinterJob>(state.Printer, documentTitle);

    FileDialogRequest request;
    request.title = QStringLiteral(u"PDFファイルに印刷");
    request.filter = QStringLiteral(u"PDFファイル|*.pdf|すべてのファイル|*.*");
    const QString proposed = !pdfPath.isEmpty() && !askPdfName
                                 ? FromNativeSeparators(pdfPath)
                                 : ReplaceFromFirstDot(FromNativeSeparators(sourcePath), QStringLiteral(".pdf"));
    if (!askPdfName) {
        if (SamePath(proposed, sourcePath) || CheckSaveTarget(state, proposed) != SaveTarget::Allowed)
            return nullptr;
        return std::make_unique<PdfJob>(proposed, state.Printer, documentTitle);
    }
    request.initialName = FileNamePart(proposed);
    request.initialFolder = FolderPart(proposed);
    QString path;
    try {
        path = state.prompter.SaveFileName(request);
    } catch (const RuntimeError& e) {
        if (e.Number() == Err::DialogCancelled)
            return nullptr;
        throw;
    }
    if (path.isEmpty())
        return nullptr;
    // Printing a file onto itself would destroy it.
    if (SamePath(path, sourcePath)) {
        state.prompter.Message(QStringLiteral(u"元ファイルと同名のファイル名は使用できません。"), MsgIcon::Warning);
        return nullptr;
    }
    if (CheckSaveTarget(state, path) != SaveTarget::Allowed)
        return nullptr;
    return std::make_unique<PdfJob>(FromNativeSeparators(path), state.Printer, documentTitle);
}

}  // namespace kolbran
