#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class QPagedPaintDevice;

namespace kolbran {

// The 16-colour palette of the drawing language (and of progress bars and selection frames).
QColor PaletteColour(int index);  // outside 0..15: black

// What the drawing language draws on: the drawing window's persistent bitmap or a printer
// page. Coordinates are in the current scale unit from the top left corner (on paper the
// printable area's corner); the pixel bitmap is drawn without anti-aliasing so that a
// 1-pixel figure covers exactly the pixels at its coordinates.
class DrawingSurface {
public:
    // A screen bitmap of `sizePx` pixels at 15 twips a pixel, white.
    explicit DrawingSurface(QSize sizePx);
    // A page of a printer or PDF writer whose page the caller has begun; the painter is
    // made here and ended by Finish (or the destructor).
    explicit DrawingSurface(QPagedPaintDevice& page);
    // A page whose painter the caller owns (a print job's): Finish leaves it active.
    DrawingSurface(QPagedPaintDevice& page, QPainter& painter);
    ~DrawingSurface();
    DrawingSurface(const DrawingSurface&) = delete;
    DrawingSurface& operator=(const DrawingSurface&) = delete;

    bool IsPage() const { return page_ != nullptr; }
    // The bitmap (screen surfaces only).
    const QImage& Image() const { return image_; }
    // Ends the painter of a page; false when the device reported a failure.
    bool Finish();

    // Properties.
    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int code);  // 0 keeps the current unit; others as the table; else 1
    QColor ForeColor() const { return foreColor_; }
    void SetForeColor(QColor c) { foreColor_ = c; }
    void SetDrawWidth(double width);  // device pixels, half-even, at least 1
    int DrawWidth() const { return drawWidth_; }
    void SetDrawStyle(int style) { drawStyle_ = style; }
    int DrawStyle() const { return drawStyle_; }
    void SetFillStyle(int style) { fillStyle_ = style; }
    int FillStyle() const { return fillStyle_; }
    void SetFillColor(QColor c) { fillColor_ = c; }
    void SetFontSize(double points);
    void SetFontName(const QString& name);
    QFont Font() const { return font_; }
    QPointF CurrentPosition() const { return current_; }
    void SetCurrentPosition(QPointF p) { current_ = p; }
    // The area in the current unit.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // Device dots per inch (96 on screen).
    double Dpi() const { return dpi_; }

    // Operations (values in the current unit).
    void Clear();
    void Point(double x, double y, QColor colour);
    enum class LineShape { Plain, Box, FilledBox };
    void Line(double x1, double y1, double x2, double y2, std::optional<QColor> colour, LineShape shape);
    void Circle(double x, double y, double radius, QColor colour, std::optional<double> aspect);
    void Print(const QString& text);
    // `size` and `clip` in the current unit; an absent size paints at the natural size
    // (15 twips a picture pixel), an absent clip paints the whole picture.
    void PaintPicture(const QImage& picture, double x, double y, std::optional<QSizeF> size,
                      std::optional<QRectF> clip);
    // Screen only: a side of 0 or less is kept. Error 7 beyond 32767 pixels, beyond the
    // bitmap byte limit or when the bitmap cannot be had.
    void SetSizePixels(int width, int height);
    // The most bytes the bitmap may take: 1 GiB, as a loaded picture (a side of 32767 alone
    // would let one line ask for 4 GiB). Harnesses lower it to keep each run small.
    static constexpr qint64 kMaxBitmapBytes = qint64(1) << 30;
    void SetMaxBitmapBytes(qint64 bytes) { maxBitmapBytes_ = bytes; }
    QSize SizePixels() const;
    // Fills the whole area with a colour (the Matrix background).
    void FillAll(QColor colour);

private:
    void Begin();
    double UnitX() const;  // device dots per unit, across
    double UnitY() const;  // down
    QPointF ToDevice(double x, double y) const;
    double DeviceCoordinate(double v) const;
    QPen MakePen(QColor colour) const;
    QBrush FillBrush() const;

    QImage image_;
    QPagedPaintDevice* page_ = nullptr;
    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_ = nullptr;
    double dpi_ = 96;
    QSizeF deviceSize_;
    int scaleMode_ = 1;
    QColor foreColor_ = Qt::black;
    int drawWidth_ = 1;
    int drawStyle_ = 0;
    int fillStyle_ = 1;
    QColor fillColor_ = Qt::black;
    QFont font_;
    QPointF current_;
    qint64 maxBitmapBytes_ = kMaxBitmapBytes;
};

}  // namespace kolbran
