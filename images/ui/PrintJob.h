#pragma once

#include <QSizeF>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace kolbran {

struct AppState;
struct PrinterChoice;
class PdfTarget;

// The printable area (mm) of the shared printer choice, for its current orientation.
QSizeF PrintableAreaMm(const PrinterChoice& choice);

// A print document of the image windows: the chosen (or default) printer, or, with no
// printer installed, a PDF file named in a save box (written beside its name, put in place
// when the document ends).
class WindowPrintJob {
public:
    WindowPrintJob();
    ~WindowPrintJob();
    // False when the user cancelled the PDF name. Throws RuntimeError when the PDF cannot be made.
    bool Open(AppState& state, const QString& suggestedPdfName);
    QPagedPaintDevice& Device();
    // Ends the document (a PDF is put in place); throws RuntimeError on failure.
    void Finish();
    // Throws the document away (called while `painter` is still active on the device).
    void Discard(QPainter& painter);

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<PdfTarget> pdf_;
};

}  // namespace kolbran
