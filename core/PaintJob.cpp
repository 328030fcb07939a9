#include "core/PaintJob.h"

#include "core/RuntimeError.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace kolbran {

void ApplyPdfLayout(QPdfWriter& writer, const PrinterChoice& choice)
{
    writer.setResolution(choice.PdfResolution > 0 ? choice.PdfResolution : 1200);
    const QPageLayout layout(QPageSize(choice.Paper),
                             choice.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             choice.MarginsMm, QPageLayout::Millimeter);
    writer.setPageLayout(layout);
}

PdfJob::PdfJob(const QString& path, const PrinterChoice& choice, const QString& title)
    : path_(path), file_(std::make_unique<QSaveFile>(path))
{
    if (!file_->open(QIODevice::WriteOnly))
        ThrowFileError(*file_, Err::PathFileAccess);
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setCreator(QStringLiteral("Kolbran"));
    if (!title.isEmpty())
        writer_->setTitle(title);
    ApplyPdfLayout(*writer_, choice);
}

PdfJob::~PdfJob()
{
    Discard();
}

QPagedPaintDevice& PdfJob::Device()
{
    return *writer_;
}

QPainter& PdfJob::Painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(writer_.get()))
            throw RuntimeError(kPrinterError, path_);
    }
    return *painter_;
}

void PdfJob::Commit()
{
    if (done_)
        return;
    Painter();  // a job that painted nothing still makes a valid, empty-paged PDF
    const bool ended = painter_->end();
    painter_.reset();
    writer_.reset();
    if (!ended || file_->error() != QFileDevice::NoError) {
        const QFileDevice::FileError error = file_->error();
        Discard();
        if (error != QFileDevice::NoError)
            throw RuntimeError(ErrorFromFileError(error), path_);
        throw RuntimeError(kPrinterError, path_);
    }
    if (!file_->commit()) {
        const QFileDevice::FileError error = file_->error();
        done_ = true;
        throw RuntimeError(error != QFileDevice::NoError ? ErrorFromFileError(error) : kPrinterError, path_);
    }
    done_ = true;
}

void PdfJob::Discard()
{
    if (done_)
        return;
    done_ = true;
    if (painter_ && painter_->isActive())
        painter_->end();
    painter_.reset();
    writer_.reset();
    if (file_)
        file_->cancelWriting();
    file_.reset();  // an uncommitted QSaveFile removes its temporary file
}

}  // namespace kolbran
