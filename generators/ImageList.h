#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QPainter;

namespace kolbran {

// The contact sheet on screen: 4 × 4 cells of 192 × 188 pixels from (10, 10), thumbnails
// 168 pixels on their longer side, on a canvas of 788 × 780 pixels.
inline constexpr int kListColumnPitch = 192;
inline constexpr int kListRowPitch = 188;
inline constexpr int kListThumbnail = 168;
inline constexpr int kListOrigin = 10;
inline constexpr int kListCellsPerPage = 16;
inline constexpr int kListCanvasWidth = 4 * kListColumnPitch + 20;
inline constexpr int kListCanvasHeight = 780;

// The file patterns of Combo1, and the entry a stored AlbumFileType selects (0 outside 0..3).
QStringList ImageListPatterns();
int ImageListPatternIndex(int albumFileType);
// ImageListPrintValue as the window takes it: 4 outside 0..7.
int ImageListPrintValueOf(int stored);

// The names of the files of `folder` matching `pattern`, of every attribute kind, in the
// file list's order.
QStringList ImageListFiles(const QString& folder, const QString& pattern);
// The warning of a fitted print whose thumbnails would have no size.
QString FittedTooSmallText();

// "対象ﾌｧｲﾙ数: 17"
QString ImageListCountText(int count);
// " 1 / 3 頁"
QString ImageListPageText(int page, int pageCount);
int ImageListPageCount(int count);
// "a.jpg　 640 x 480"
QString ImageListCaption(const QString& name, int width, int height);
// A picture's thumbnail size: 168 on the longer side, the other rounded half to even.
QSize ThumbnailSize(const QSize& natural, int box = kListThumbnail);

// The list index of the thumbnail box under (x, y) on `page`, or −1 (outside every box,
// or past the list's `count` files).
int ImageListCellAt(const QPoint& at, int page, int count);
// The selection square around the cell of list index `index` on `page`.
QRect ImageListSelectionSquare(int index, int page);

// A picture read for a thumbnail: its natural size and the picture decoded at (at most)
// `decodeSize`. `ok` false when the file is not a picture.
struct ThumbnailPicture {
    bool ok = false;
    QSize natural;
    QImage image;
};
ThumbnailPicture ReadThumbnail(const QString& path, const QSize& boxPixels);

// One placed cell: the picture's rectangle (empty when not a picture), where its caption's
// top-left corner goes, and the caption.
struct ListCell {
    QRectF picture;
    QPointF captionAt;
    QString caption;
    int page = 1;
};

// Called once per cell before it is drawn; false stops the run.
using ListStep = std::function<bool()>;

// Draws page `page` of the files `names` (in `folder`) on the canvas painter and returns the
// cells. The caller clears the canvas first.
QList<ListCell> DrawListPage(QPainter& canvas, const QString& folder, const QStringList& names, int page,
                             const ListStep& step = {});
// The caption font of the canvas and of the fitted print.
QFont ImageListFont(double pointSize);

// The fitted print's grid, mm.
struct FittedLayout {
    double cell = 0;
    double thumbnail = 0;
    double x0 = 0, y0 = 0;
    double columnStep = 0, rowStep = 0;
};
// n pictures along the short side of the printable area (0 counts as 4).
FittedLayout ComputeFittedLayout(const QSizeF& area, int n);

enum class FittedResult { Printed, TooSmall, Stopped };
// Prints every file on as many pages as it takes, on an open painter of `device`; `cells`
// gets where each went (mm). Pictures are decoded one at a time at most 300 dpi.
FittedResult PrintFittedList(QPainter& painter, QPagedPaintDevice& device, const QString& folder,
                             const QStringList& names, int n, QList<ListCell>* cells = nullptr,
                             const ListStep& step = {});
// Paints the canvas on the device at its natural size (15 twips a pixel) from the printable
// area's corner.
void PrintCanvas(QPainter& painter, const QPagedPaintDevice& device, const QImage& canvas);

}  // namespace kolbran
