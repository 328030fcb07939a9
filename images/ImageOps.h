#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QPainter;

namespace kolbran {

struct AppState;

// Progress of a long pixel run: the fraction done. Returns false when the run must stop
// (its window is closing).
using PixelProgress = std::function<bool(double fraction)>;

// The fraction a run shows; a divisor of 0 (a one-pixel picture) counts as done.
double ProgressFraction(double done, double divisor);

// Loads a picture for the image window: LoadPicture's first frame, pixels as stored,
// transparency flattened over white, as 32-bit RGB. Throws as LoadPicture does.
QImage LoadShownPicture(const QString& path);

// The whole-image operations, pixel by pixel. 左回転: (x, y) goes to (y, W−1−x);
// 右回転: (x, y) goes to (H−1−y, x); ﾓﾉｸﾛ: each pixel becomes (g, g, g), g the rounded mean.
QImage RotateLeft(const QImage& image, const PixelProgress& progress = {});
QImage RotateRight(const QImage& image, const PixelProgress& progress = {});
QImage GreyPicture(const QImage& image, const PixelProgress& progress = {});
// (red + green + blue) / 3, halves to even.
int GreyLevel(QRgb pixel);

// The analysis file: a drawing file that sets pixel units and the picture's size, then one
// Pset with the RGB form per pixel, row by row. ASCII, CR LF. Written through a temporary
// file; a stopped run leaves no file. Throws RuntimeError on a write failure.
void WriteAnalysis(const QImage& image, const QString& path, const PixelProgress& progress = {});
inline const QString kAnalysisFileName = QStringLiteral("F_kaiseki.txt");

// The characters per line of a text picture from the input box's answer: 174 unless
// 124..360.
int TextPictureWidth(const QString& answer);
inline constexpr int kDefaultTextPictureWidth = 174;
// The text picture of an image, n characters a line, trailing blanks stripped. An empty
// list when stopped.
QStringList TextPicture(const QImage& image, int n, const PixelProgress& progress = {});
// The character of a cell from its upper and lower grey averages (0..255).
QChar TextPictureChar(double upper, double lower);
// Writes the lines in Shift_JIS with CR LF through a temporary file.
void WriteTextPicture(const QStringList& lines, const QString& path);
inline const QString kTextPictureFileName = QStringLiteral("F_TextG.txt");

// Saves a picture as a Windows bitmap through a temporary file; throws on failure.
void SaveBitmap(const QImage& image, const QString& path);

// Paper choices of the print menu.
inline constexpr int kPaperFitPrinter = 5;
inline constexpr int kPaperCustom = 6;
QString PaperName(int choice);        // "はがき" … "任意"
QSizeF PaperTableSize(int choice);    // width × height mm as stored; choices 0..4
// The paper size a choice gives: the table (custom: `custom` clamped to 105..420 × 74..297),
// exchanged for a portrait printer; choice 5: the printable area as it is.
QSizeF PaperSizeFor(int choice, const QSizeF& printable, bool portrait, const QSizeF& custom = {});
int ClampCustomWidth(double mm);   // 105..420
int ClampCustomHeight(double mm);  // 74..297

// Where the picture lands on the paper, mm from the printable area's corner.
// fitMode 0: fitted to the paper width, 1: to its height.
QRectF PrintRectangle(const QSizeF& paper, int fitMode, const QSize& picture);
// "印刷します！…" the print question.
QString PrintQuestion(const QString& paperName, int fitMode, const QSizeF& paper,
                      const QString& lineBreak = QStringLiteral("\r\n"));
// Paints the picture at `rect` (mm from the printable corner) with a painter active on the device.
void PaintPictureMm(QPainter& painter, const QPagedPaintDevice& device, const QImage& image, const QRectF& rect);
// The printable area of a device in mm.
QSizeF PrintableSizeMm(const QPagedPaintDevice& device);

// The paper-size list of the help menu.
QString PaperSizeListText(const QString& lineBreak = QStringLiteral("\r\n"));

}  // namespace kolbran
