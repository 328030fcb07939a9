#include "generators/ImageList.h"

#include "core/FileFacade.h"
#include "core/FileListing.h"
#include "core/Numbers.h"

#include <QFontMetricsF>
#include <QImageReader>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <new>

namespace kolbran {

QStringList ImageListPatterns()
{
    return {QStringLiteral("*.jpg"), QStringLiteral("*.gif"), QStringLiteral("*.bmp"), QStringLiteral("*.*")};
}

int ImageListPatternIndex(int albumFileType)
{
    return albumFileType >= 0 && albumFileType <= 3 ? albumFileType : 0;
}

int ImageListPrintValueOf(int stored)
{
    return stored < 0 || stored > 7 ? 4 : stored;
}

QStringList ImageListFiles(const QString& folder, const QString& pattern)
{
    AttributeFilter all;
    all.normal = all.archive = all.readOnly = all.hidden = all.system = true;
    QStringList names;
    for (const FileEntry& e : ListFiles(folder, pattern, all))
        names.append(e.name);
    return names;
}

QString FittedTooSmallText()
{
    return QStringLiteral(u"印刷領域が小さすぎるため一覧印刷できません。");
}

QString ImageListCountText(int count)
{
    return QStringLiteral(u"対象ﾌｧｲﾙ数:") + StrNumber(count);
}

QString ImageListPageText(int page, int pageCount)
{
    return StrNumber(page) + QStringLiteral(" /") + StrNumber(pageCount) + QStringLiteral(u" 頁");
}

int ImageListPageCount(int count)
{
    return count <= 0 ? 0 : (count + kListCellsPerPage - 1) / kListCellsPerPage;
}

QString ImageListCaption(const QString& name, int width, int height)
{
    return name + QStringLiteral(u"　") + StrNumber(width) + QStringLiteral(" x") + StrNumber(height);
}

QSize ThumbnailSize(const QSize& natural, int box)
{
    const double w = natural.width(), h = natural.height();
    if (w <= 0 || h <= 0)
        return {};
    if (h < w)
        return {box, int(RoundHalfEven(box * h / w))};
    return {int(RoundHalfEven(box * w / h)), box};
}

int ImageListCellAt(const QPoint& at, int page, int count)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const int left = kListOrigin + kListColumnPitch * c;
            const int top = kListOrigin + kListRowPitch * r;
            if (at.x() >= left && at.x() <= left + kListThumbnail && at.y() >= top &&
                at.y() <= top + kListThumbnail) {
                const int index = (page - 1) * kListCellsPerPage + 4 * r + c;
                return index < count ? index : -1;
            }
        }
    }
    return -1;
}

QRect ImageListSelectionSquare(int index, int page)
{
    const int c = index % 4;
    const int r = (index - (page - 1) * kListCellsPerPage) / 4;
    const int a = kListColumnPitch * c, t = kListRowPitch * r;
    return QRect(QPoint(a + 8, t + 8), QPoint(a + 172, t + 172));
}

ThumbnailPicture ReadThumbnail(const QString& path, const QSize& boxPixels)
{
    ThumbnailPicture result;
    try {
        QImageReader::setAllocationLimit(1024);
        QImageReader reader(FromNativeSeparators(path));
        reader.setDecideFormatFromContent(true);
        const QSize natural = reader.size();
        if (natural.isValid() && boxPixels.isValid() &&
            (natural.width() > boxPixels.width() || natural.height() > boxPixels.height()))
            reader.setScaledSize(natural.scaled(boxPixels, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        QImage image = reader.read();
        if (image.isNull())
            return result;
        result.ok = true;
        result.natural = natural.isValid() ? natural : image.size();
        result.image = std::move(image);
    } catch (const std::bad_alloc&) {
        result = {};
    }
    return result;
}

QFont ImageListFont(double pointSize)
{
    QFont font(QStringLiteral(u"ＭＳ ゴシック"));
    font.setPointSizeF(pointSize);
    return font;
}

namespace {

void DrawCaption(QPainter& painter, const QPointF& topLeft, const QString& caption)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), caption);
}

}  // namespace

QList<ListCell> DrawListPage(QPainter& canvas, const QString& folder, const QStringList& names, int page,
                             const ListStep& step)
{
    QList<ListCell> cells;
    const int n = int(names.size());
    int i = (page - 1) * kListCellsPerPage;
    if (i < 0 || i >= n)
        return cells;
    canvas.save();
    canvas.setFont(ImageListFont(9));
    canvas.setPen(Qt::black);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform);
    int y = kListOrigin;
    bool stopped = false;
    for (int r = 0; r < 4 && i < n && !stopped; ++r, y += kListRowPitch) {
        int x = kListOrigin;
        for (int c = 0; c < 4 && i < n; ++c, x += kListColumnPitch) {
            if (step && !step()) {
                stopped = true;
                break;
            }
            const QString& name = names[i];
            ListCell cell;
            cell.page = page;
            const ThumbnailPicture picture =
                ReadThumbnail(JoinPath(folder, name), QSize(kListThumbnail, kListThumbnail));
            int drawnHeight = 0;
            if (!picture.ok) {
                cell.caption = name;
            } else {
                const QSize shown = ThumbnailSize(picture.natural);
                cell.picture = QRectF(x, y, shown.width(), shown.height());
                canvas.drawImage(cell.picture, picture.image);
                drawnHeight = shown.height();
                cell.caption = ImageListCaption(name, picture.natural.width(), picture.natural.height());
            }
            cell.captionAt = QPointF(x, y + drawnHeight);
            DrawCaption(canvas, cell.captionAt, cell.caption);
            cells.append(cell);
            ++i;
        }
    }
    canvas.restore();
    return cells;
}

FittedLayout ComputeFittedLayout(const QSizeF& area, int n)
{
    if (n <= 0)
        n = 4;
    FittedLayout l;
    const double w = area.width(), h = area.height();
    const double s = std::min(w, h);
    l.cell = double(IntFloor(s / n));
    l.thumbnail = l.cell - 5;
    if (w > h) {
        l.x0 = 1;
        l.y0 = (h - (n - 1) * l.cell - l.thumbnail) / 2 + 1;
        l.columnStep = l.cell - 1;
        l.rowStep = l.cell;
    } else {
        l.x0 = (w - (n - 1) * l.cell - l.thumbnail) / 2 + 1;
        l.y0 = 1;
        l.columnStep = l.cell;
        l.rowStep = l.cell - 1;
    }
    return l;
}

FittedResult PrintFittedList(QPainter& painter, QPagedPaintDevice& device, const QString& folder,
                             const QStringList& names, int n, QList<ListCell>* cells, const ListStep& step)
{
    const QSizeF area = device.pageLayout().paintRect(QPageLayout::Millimeter).size();
    const FittedLayout l = ComputeFittedLayout(area, n);
    if (l.thumbnail <= 0 || l.x0 + l.thumbnail > area.width() || l.y0 + l.thumbnail > area.height())
        return FittedResult::TooSmall;
    const double k = device.logicalDpiX() / 25.4;  // device dots per mm
    // Pictures go into the document at no more than 300 dots per inch.
    const int decodeSide = std::max(1, int(l.thumbnail / 25.4 * 300 + 0.5));
    painter.setFont(ImageListFont(9.6));
    painter.setPen(Qt::black);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const qsizetype total = names.size();
    qsizetype i = 0;
    int page = 1;
    while (i < total) {
        double y = l.y0;
        bool pageEnds = false;
        while (!pageEnds && y + l.thumbnail <= area.height()) {
            double x = l.x0;
            while (x + l.thumbnail <= area.width()) {
                if (step && !step())
                    return FittedResult::Stopped;
                const ThumbnailPicture picture =
                    ReadThumbnail(JoinPath(folder, names[i]), QSize(decodeSide, decodeSide));
                ListCell cell;
                cell.page = page;
                double drawnHeight = 0;
                int w = 0, h = 0;
                if (picture.ok) {
                    w = picture.natural.width();
                    h = picture.natural.height();
                    const double dw = w > h ? l.thumbnail : l.thumbnail * w / h;
                    const double dh = w > h ? l.thumbnail * h / w : l.thumbnail;
                    cell.picture = QRectF(x, y, dw, dh);
                    painter.drawImage(QRectF(x * k, y * k, dw * k, dh * k), picture.image);
                    drawnHeight = dh;
                }
                cell.caption = ImageListCaption(names[i], w, h);
                cell.captionAt = QPointF(x, y + drawnHeight);
                DrawCaption(painter, QPointF(cell.captionAt.x() * k, cell.captionAt.y() * k), cell.caption);
                if (cells)
                    cells->append(cell);
                if (++i == total) {
                    pageEnds = true;
                    break;
                }
                x += l.columnStep;
            }
            y += l.rowStep;
        }
        if (i < total) {
            if (!device.newPage())
                return FittedResult::Stopped;
            ++page;
        }
    }
    return FittedResult::Printed;
}

void PrintCanvas(QPainter& painter, const QPagedPaintDevice& device, const QImage& canvas)
{
    const double k = device.logicalDpiX() / 25.4;
    const double mmPerPixel = 25.4 / 96;
    painter.drawImage(QRectF(0, 0, canvas.width() * mmPerPixel * k, canvas.height() * mmPerPixel * k), canvas);
}

}  // namespace kolbran
