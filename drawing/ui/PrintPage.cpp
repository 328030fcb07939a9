#include "drawing/ui/PrintPage.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/RuntimeError.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

namespace kolbran {

namespace {

QPageLayout LayoutOf(const PrinterChoice& c)
{
    return QPageLayout(QPageSize(c.Paper), c.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       c.MarginsMm, QPageLayout::Millimeter);
}

class PrinterPage final : public PrintPage {
public:
    explicit PrinterPage(const PrinterChoice& c) : printer_(QPrinter::HighResolution)
    {
        if (!c.PrinterName.isEmpty())
            printer_.setPrinterName(c.PrinterName);
        printer_.setPageLayout(LayoutOf(c));
    }
    QPagedPaintDevice& Device() override { return printer_; }
    QPainter& Painter() override
    {
        if (!painter_.isActive() && !painter_.begin(&printer_))
            throw RuntimeError(Err::DeviceIo, QStringLiteral("printer"));
        return painter_;
    }
    void Commit() override
    {
        Painter();
        if (!painter_.end())
            throw RuntimeError(Err::DeviceIo, QStringLiteral("printer"));
    }

private:
    QPrinter printer_;
    QPainter painter_;
};

class PdfPage final : public PrintPage {
public:
    PdfPage(const QString& path, const PrinterChoice& c) : file_(path)
    {
        if (!file_.open(QIODevice::WriteOnly))
            ThrowFileError(file_, Err::PathFileAccess);
        writer_ = std::make_unique<QPdfWriter>(&file_);
        writer_->setResolution(c.PdfResolution);
        writer_->setPageLayout(LayoutOf(c));
        writer_->setCreator(QStringLiteral("Kolbran"));
    }
    ~PdfPage() override
    {
        if (painter_.isActive())
            painter_.end();
        writer_.reset();
        file_.cancelWriting();
    }
    QPagedPaintDevice& Device() override { return *writer_; }
    QPainter& Painter() override
    {
        if (!painter_.isActive() && !painter_.begin(writer_.get()))
            throw RuntimeError(Err::DeviceIo, QStringLiteral("pdf"));
        return painter_;
    }
    void Commit() override
    {
        Painter();
        const bool ended = painter_.end();
        writer_.reset();
        if (!ended || !file_.commit())
            ThrowFileError(file_, Err::DeviceIo);
    }

private:
    QSaveFile file_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
};

}  // namespace

std::unique_ptr<PrintPage> OpenPrintPage(AppState& state, const QString& sourcePath)
{
    const PrinterChoice& choice = state.Printer;
    if (!choice.PrinterName.isEmpty() || !QPrinterInfo::defaultPrinter().isNull())
        return std::make_unique<PrinterPage>(choice);
    FileDialogRequest request;
    request.title = QStringLiteral(u"PDF ファイルに印刷");
    request.filter = QStringLiteral(u"PDF ファイル (*.pdf)|*.pdf|すべてのファイル (*.*)|*.*");
    request.initialName = FileNamePart(ReplaceFromFirstDot(sourcePath, QStringLiteral(".pdf")));
    request.initialFolder = FolderPart(sourcePath);
    QString path;
    try {
        path = state.prompter.SaveFileName(request);
    } catch (const RuntimeError& e) {
        if (e.Number() == Err::DialogCancelled)
            return nullptr;
        throw;
    }
    if (path.isEmpty() || CheckSaveTarget(state, path) != SaveTarget::Allowed)
        return nullptr;
    return std::make_unique<PdfPage>(FromNativeSeparators(path), choice);
}

}  // namespace kolbran
