#include "images/ui/PrintJob.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"
#include "images/PdfTarget.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace kolbran {

QSizeF PrintableAreaMm(const PrinterChoice& choice)
{
    const QPageLayout layout(QPageSize(choice.Paper), choice.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             choice.MarginsMm, QPageLayout::Millimeter);
    return layout.paintRect(QPageLayout::Millimeter).size();
}

WindowPrintJob::WindowPrintJob() = default;
WindowPrintJob::~WindowPrintJob() = default;

bool WindowPrintJob::Open(AppState& state, const QString& suggestedPdfName)
{
    const PrinterChoice& choice = state.Printer;
    const bool hasPrinter = !QPrinterInfo::availablePrinterNames().isEmpty();
    if (hasPrinter) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!choice.PrinterName.isEmpty())
            printer_->setPrinterName(choice.PrinterName);
        printer_->setPageLayout(QPageLayout(QPageSize(choice.Paper),
                                            choice.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                            choice.MarginsMm, QPageLayout::Millimeter));
        return true;
    }
    FileDialogRequest request;
    request.title = QStringLiteral(u"印刷先のPDFファイル");
    request.filter = QStringLiteral(u"PDFファイル (*.pdf)|*.pdf|全てのﾌｧｲﾙ(*.*)|*.*");
    request.initialName = suggestedPdfName;
    QString name;
    try {
        name = state.prompter.SaveFileName(request);
    } catch (const RuntimeError& e) {
        if (e.Number() == Err::DialogCancelled)
            return false;
        throw;
    }
    if (CheckSaveTarget(state, name) != SaveTarget::Allowed)
        return false;
    PdfPageOptions options;
    options.paper = choice.Paper;
    options.landscape = choice.Landscape;
    options.marginMm = choice.MarginsMm.left();
    pdf_ = std::make_unique<PdfTarget>(name, options, choice.PdfResolution);
    if (!pdf_->IsOpen())
        ThrowFileError(pdf_->File(), Err::PathFileAccess);
    pdf_->Writer().setPageMargins(choice.MarginsMm, QPageLayout::Millimeter);
    return true;
}

QPagedPaintDevice& WindowPrintJob::Device()
{
    if (printer_)
        return *printer_;
    return pdf_->Writer();
}

void WindowPrintJob::Finish()
{
    if (pdf_)
        pdf_->Commit();
    printer_.reset();
    pdf_.reset();
}

void WindowPrintJob::Discard(QPainter& painter)
{
    if (printer_)
        printer_->abort();
    if (painter.isActive())
        painter.end();
    printer_.reset();
    pdf_.reset();  // the PDF's temporary file is removed, an old file of that name kept
}

}  // namespace kolbran
