#pragma once

#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPainter;

namespace kolbran {

struct AppState;

// One printed page of the drawing window: on the chosen printer, or, without one, in a
// PDF file named in the save box (written beside its name and renamed when complete).
class PrintPage {
public:
    virtual ~PrintPage() = default;
    virtual QPagedPaintDevice& Device() = 0;
    // Begun on first use; throws RuntimeError when the device does not start.
    virtual QPainter& Painter() = 0;
    // Ends the page and delivers it; throws RuntimeError when that fails.
    virtual void Commit() = 0;
};

// nullptr when the save box is cancelled or the overwrite declined.
std::unique_ptr<PrintPage> OpenPrintPage(AppState& state, const QString& sourcePath);

}  // namespace kolbran
