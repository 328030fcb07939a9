#pragma once

#include "core/PrinterChoice.h"

#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QSaveFile;

namespace kolbran {

// "プリンタ エラーです。": a print device that does not start or cannot write.
inline constexpr int kPrinterError = 482;

// One print job, whatever it prints on: Painter() starts it (the painter is active on
// Device(); new sheets by Device().newPage()), Commit() ends it and delivers the output,
// Discard() drops it. A job that is neither committed nor discarded is discarded when it
// is destroyed, so a failed or cancelled job leaves nothing behind.
class PaintJob {
public:
    virtual ~PaintJob() = default;
    virtual QPagedPaintDevice& Device() = 0;
    // The painter, begun on the first call. Throws RuntimeError(kPrinterError) when the
    // device cannot start.
    virtual QPainter& Painter() = 0;
    // Ends the painter and delivers the job (a PDF takes its name only now). Throws
    // RuntimeError (kPrinterError, or the file's error) when that fails; the job is then
    // discarded.
    virtual void Commit() = 0;
    virtual void Discard() = 0;
    // The file the job writes, empty for a printer.
    virtual QString OutputPath() const { return {}; }
};

// The PDF page layout of a printer choice: its paper and orientation, its margins in
// millimetres, PdfResolution dots per inch (A4 portrait, 5 mm, 1200 dpi by default).
void ApplyPdfLayout(QPdfWriter& writer, const PrinterChoice& choice);

// A print job into a PDF file: written to a temporary file beside `path` and renamed to
// `path` only when committed; fonts are embedded.
class PdfJob final : public PaintJob {
public:
    PdfJob(const QString& path, const PrinterChoice& choice, const QString& title = {});
    ~PdfJob() override;
    QPagedPaintDevice& Device() override;
    QPainter& Painter() override;
    void Commit() override;
    void Discard() override;
    QString OutputPath() const override { return path_; }

private:
    QString path_;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    bool done_ = false;
};

}  // namespace kolbran
