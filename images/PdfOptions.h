#pragma once

#include "core/PrinterChoice.h"

#include <QPageSize>
#include <QString>
#include <QStringList>

namespace kolbran {

// The page options of the printing subcommands: -o OUT.pdf, --paper-size NAME,
// --landscape, --margin MM (A4 portrait, 5 mm by default).
struct PdfPageOptions {
    QString output;
    QPageSize::PageSizeId paper = QPageSize::A4;
    bool landscape = false;
    double marginMm = 5;
};
// Takes the option at args[i] (and its value) when it is one of them: 1 taken, 0 not one
// of them, -1 a bad value (`error` says why).
int TakePdfOption(const QStringList& args, qsizetype& i, PdfPageOptions& options, QString& error);
// The printer choice a PDF job (core/PaintJob.h) takes for these options.
PrinterChoice PdfChoiceOf(const PdfPageOptions& options, int resolution = 1200);

}  // namespace kolbran
