#pragma once

#include "core/PaintJob.h"

#include <QString>

#include <memory>

class QPagedPaintDevice;

namespace kolbran {

struct AppState;

// Whether the system has a printer at all; without one every job goes to a PDF file.
bool PrinterInstalled();
// The printer a job would use, as the print dialogs show it: its name, or "PDF".
QString PrintTargetName(const PrinterChoice& choice);

// A device with the page layout a job would get, for measuring before printing (lines per
// page and the like); nothing is printed on it.
std::unique_ptr<QPagedPaintDevice> MeasuringDevice(const PrinterChoice& choice);

// Opens the device of a print job for the window that prints `sourcePath`:
// - the printer of state.Printer (its name, else the system's default printer), with its
//   orientation, paper and margins;
// - no printer installed: a PDF file named in the save box (default: sourcePath up to its
//   first "." + ".pdf"), checked by CheckSaveTarget, on state.Printer's page layout.
// nullptr when the user cancels the save box or declines to overwrite. Throws RuntimeError
// when the device cannot be opened. The job is discarded unless committed.
// With `askPdfName` false (one job per file of a set) the PDF takes the default name without
// the save box (or `pdfPath` when given); the overwrite question stays.
std::unique_ptr<PaintJob> BeginPrintJob(AppState& state, const QString& sourcePath,
                                        const QString& documentTitle = {}, bool askPdfName = true,
                                        const QString& pdfPath = {});

}  // namespace kolbran
