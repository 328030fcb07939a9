#pragma once

#include "core/LineIndex.h"
#include "core/RuntimeError.h"
#include "drawing/DrawingInterpreter.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

class QPagedPaintDevice;

namespace kolbran {

struct AppState;

// Picture1's default size: the screen's width by 23700 twips (1580 pixels).
QSize DefaultPictureSize(QSize screen);

// The report of a failed run: the error's description, "(", a blank, the line, "行目 )".
QString DrawingErrorText(const RuntimeError& error, LineNumber line);

// The default name of a saved picture: "XXXXXX.BMP" in `folder`.
QString DefaultBitmapName(const QString& folder);

// The questions before a picture or a page is written to `path`: a refusal when it names
// the document (through links and relative names), else Yes/No when the file exists.
bool ConfirmDrawingTarget(AppState& state, const QString& path);

// Writes the picture through a temporary file beside `path` ("bmp" or "png"); the old
// file stays as it was when anything fails. Throws RuntimeError.
void SaveDrawingPicture(const QImage& picture, const QString& path, const char* format = "bmp");

// A direct print: one run of the document on the page that `page` has begun, on a fresh
// painter, which is ended before this returns (so the page is complete even after an
// error). The error, if any, is handed back with the line it happened on.
struct PrintOutcome {
    RunEnd end = RunEnd::LastLine;
    std::optional<RuntimeError> error;
    LineNumber errorLine = 0;
    bool deviceFailed = false;
};
PrintOutcome PrintDrawing(DrawingInterpreter& interpreter, QPagedPaintDevice& page);

}  // namespace kolbran
