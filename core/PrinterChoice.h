#pragma once

#include <QMarginsF>
#include <QPageSize>
#include <QString>

namespace kolbran {

// The printer every window prints on, kept for the whole run and edited by the
// printer-setup box. With no printer installed, printing goes to a PDF file with
// these page settings.
struct PrinterChoice {
    QString PrinterName;  // empty: the system's default printer
    bool Landscape = false;
    QPageSize::PageSizeId Paper = QPageSize::A4;
    QMarginsF MarginsMm{5, 5, 5, 5};
    int PdfResolution = 1200;  // dots per inch of the PDF fallback
};

}  // namespace kolbran
