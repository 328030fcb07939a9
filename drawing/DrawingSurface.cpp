#include "drawing/DrawingSurface.h"

#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "core/Twips.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

#include <algorithm>
#include <cmath>

namespace kolbran {

namespace {

constexpr double kScreenDpi = 1440.0 / kTwipsPerPixel;  // 96
constexpr int kMaxSide = 32767;
// Device coordinates beyond this are an overflow, as the platform's integer coordinates are.
constexpr double kMaxDevice = 1073741824.0;

const QString kDefaultFontName = QStringLiteral(u"ＭＳ ゴシック");
constexpr double kDefaultFontSize = 10.5;

}  // namespace

QColor PaletteColour(int index)
{
    static const QRgb kPalette[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),     qRgb(0, 128, 0),   qRgb(0, 128, 128),
        qRgb(128, 0, 0),     qRgb(128, 0, 128),   qRgb(128, 128, 0), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),     qRgb(0, 255, 0),   qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255),   qRgb(255, 255, 0), qRgb(255, 255, 255)};
    if (index < 0 || index > 15)
        return QColor(Qt::black);
    return QColor(kPalette[index]);
}

DrawingSurface::DrawingSurface(QSize sizePx)
{
    image_ = QImage(sizePx, QImage::Format_RGB32);
    if (image_.isNull())
        throw RuntimeError(Err::OutOfMemory);
    const int dpm = int(std::lround(kScreenDpi / 0.0254));
    image_.setDotsPerMeterX(dpm);
    image_.setDotsPerMeterY(dpm);
    image_.fill(Qt::white);
    dpi_ = kScreenDpi;
    deviceSize_ = sizePx;
    font_ = QFont(kDefaultFontName);
    font_.setPointSizeF(kDefaultFontSize);
    font_.setStyleStrategy(QFont::NoAntialias);
    Begin();
}

DrawingSurface::DrawingSurface(QPagedPaintDevice& page) : page_(&page)
{
    dpi_ = page.logicalDpiX();
    deviceSize_ = QSizeF(page.width(), page.height());
    font_ = QFont(kDefaultFontName);
    font_.setPointSizeF(kDefaultFontSize);
    Begin();
}

DrawingSurface::DrawingSurface(QPagedPaintDevice& page, QPainter& painter) : page_(&page), painter_(&painter)
{
    dpi_ = page.logicalDpiX();
    deviceSize_ = QSizeF(page.width(), page.height());
    font_ = QFont(kDefaultFontName);
    font_.setPointSizeF(kDefaultFontSize);
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing, true);
}

DrawingSurface::~DrawingSurface()
{
    Finish();
}

void DrawingSurface::Begin()
{
    ownPainter_ = std::make_unique<QPainter>();
    painter_ = ownPainter_.get();
    if (page_ != nullptr) {
        if (!painter_->begin(page_))
            throw RuntimeError(Err::DeviceIo);
        painter_->setRenderHint(QPainter::Antialiasing, true);
    } else {
        if (!painter_->begin(&image_))
            throw RuntimeError(Err::OutOfMemory);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, false);
    }
}

bool DrawingSurface::Finish()
{
    if (painter_ == nullptr)
        return true;
    if (!ownPainter_) {  // the caller's painter stays active for its job
        painter_->restore();
        painter_ = nullptr;
        return true;
    }
    const bool ok = painter_->end();
    ownPainter_.reset();
    painter_ = nullptr;
    return ok;
}

void DrawingSurface::SetScaleMode(int code)
{
    if (code == 0)
        return;  // the user scale: the current unit stays
    scaleMode_ = code >= 1 && code <= 7 ? code : 1;
}

void DrawingSurface::SetDrawWidth(double width)
{
    drawWidth_ = int(std::max<qint64>(1, RoundHalfEven(std::min(width, 32767.0))));
}

void DrawingSurface::SetFontSize(double points)
{
    font_.setPointSizeF(points > 0 ? std::min(points, 1638.0) : kDefaultFontSize);
}

void DrawingSurface::SetFontName(const QString& name)
{
    if (!name.isEmpty())
        font_.setFamily(name);
}

double DrawingSurface::UnitX() const
{
    switch (scaleMode_) {
    case 2: return dpi_ / 72.0;
    case 3: return 1.0;
    case 4: return 120.0 * dpi_ / 1440.0;
    case 5: return dpi_;
    case 6: return dpi_ / 25.4;
    case 7: return dpi_ / 2.54;
    default: return dpi_ / 1440.0;
    }
}

double DrawingSurface::UnitY() const
{
    return scaleMode_ == 4 ? 240.0 * dpi_ / 1440.0 : UnitX();
}

double DrawingSurface::DeviceCoordinate(double v) const
{
    if (!std::isfinite(v) || std::fabs(v) > kMaxDevice)
        throw RuntimeError(Err::Overflow);
    // Screen pixels are whole: the figure covers the pixel its coordinate names.
    return page_ != nullptr ? v : double(RoundHalfEven(v));
}

QPointF DrawingSurface::ToDevice(double x, double y) const
{
    return {DeviceCoordinate(x * UnitX()), DeviceCoordinate(y * UnitY())};
}

double DrawingSurface::ScaleWidth() const
{
    return deviceSize_.width() / UnitX();
}

double DrawingSurface::ScaleHeight() const
{
    return deviceSize_.height() / UnitY();
}

QPen DrawingSurface::MakePen(QColor colour) const
{
    QPen pen(colour);
    pen.setWidth(drawWidth_);
    pen.setCapStyle(drawWidth_ > 1 ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (drawStyle_) {
    case 1: pen.setStyle(drawWidth_ == 1 ? Qt::DashLine : Qt::SolidLine); break;
    case 2: pen.setStyle(drawWidth_ == 1 ? Qt::DotLine : Qt::SolidLine); break;
    case 3: pen.setStyle(drawWidth_ == 1 ? Qt::DashDotLine : Qt::SolidLine); break;
    case 4: pen.setStyle(drawWidth_ == 1 ? Qt::DashDotDotLine : Qt::SolidLine); break;
    case 5: pen.setStyle(Qt::NoPen); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    // Dashes keep the screen's spacing on paper, as hatches do.
    if (page_ != nullptr && drawWidth_ == 1 && drawStyle_ >= 1 && drawStyle_ <= 4) {
        QList<qreal> pattern = pen.dashPattern();
        for (qreal& d : pattern)
            d *= dpi_ / kScreenDpi;
        pen.setDashPattern(pattern);
    }
    return pen;
}

QBrush DrawingSurface::FillBrush() const
{
    Qt::BrushStyle style = Qt::NoBrush;
    switch (fillStyle_) {
    case 0: style = Qt::SolidPattern; break;
    case 2: style = Qt::HorPattern; break;
    case 3: style = Qt::VerPattern; break;
    case 4: style = Qt::BDiagPattern; break;
    case 5: style = Qt::FDiagPattern; break;
    case 6: style = Qt::CrossPattern; break;
    case 7: style = Qt::DiagCrossPattern; break;
    default: break;
    }
    QBrush brush(fillColor_, style);
    // Hatches keep the screen's spacing on paper.
    if (page_ != nullptr && style != Qt::SolidPattern && style != Qt::NoBrush)
        brush.setTransform(QTransform::fromScale(dpi_ / kScreenDpi, dpi_ / kScreenDpi));
    return brush;
}

void DrawingSurface::Clear()
{
    if (page_ == nullptr)
        image_.fill(Qt::white);
    current_ = {0, 0};
}

void DrawingSurface::FillAll(QColor colour)
{
    painter_->fillRect(QRectF(QPointF(0, 0), deviceSize_), colour);
}

void DrawingSurface::Point(double x, double y, QColor colour)
{
    const QPointF p = ToDevice(x, y);
    current_ = {x, y};
    if (drawStyle_ == 5)
        return;
    // A 1-pixel point on the bitmap is one pixel: written in place while no copy of the
    // bitmap shares its memory (the painter draws into that same memory).
    if (page_ == nullptr && drawWidth_ == 1 && image_.isDetached()) {
        const int px = int(p.x());
        const int py = int(p.y());
        if (px >= 0 && py >= 0 && px < image_.width() && py < image_.height())
            reinterpret_cast<QRgb*>(image_.scanLine(py))[px] = colour.rgb();
        return;
    }
    QPen pen = MakePen(colour);
    pen.setStyle(Qt::SolidLine);
    painter_->setPen(pen);
    painter_->drawPoint(p);
}

void DrawingSurface::Line(double x1, double y1, double x2, double y2, std::optional<QColor> colour,
                          LineShape shape)
{
    const QColor c = colour.value_or(foreColor_);
    const QPointF a = ToDevice(x1, y1);
    const QPointF b = ToDevice(x2, y2);
    current_ = {x2, y2};
    if (shape == LineShape::Plain) {
        painter_->setPen(MakePen(c));
        painter_->drawLine(a, b);
        return;
    }
    double left = std::min(a.x(), b.x());
    double right = std::max(a.x(), b.x());
    double top = std::min(a.y(), b.y());
    double bottom = std::max(a.y(), b.y());
    if (shape == LineShape::FilledBox) {
        if (page_ == nullptr)  // both corners are covered
            painter_->fillRect(QRectF(left, top, right - left + 1, bottom - top + 1), c);
        else
            painter_->fillRect(QRectF(left, top, right - left, bottom - top), c);
        return;
    }
    if (drawStyle_ == 6 && drawWidth_ > 1) {  // the outline inside the box
        const double inset = drawWidth_ / 2.0;
        left += inset;
        top += inset;
        right = std::max(left, right - inset);
        bottom = std::max(top, bottom - inset);
    }
    painter_->setPen(MakePen(c));
    painter_->setBrush(FillBrush());
    // A stroked rectangle covers its width plus the pen: both corners on screen.
    painter_->drawRect(QRectF(left, top, right - left, bottom - top));
    painter_->setBrush(Qt::NoBrush);
}

void DrawingSurface::Circle(double x, double y, double radius, QColor colour, std::optional<double> aspect)
{
    const QPointF centre = ToDevice(x, y);
    current_ = {x, y};
    double rx = std::fabs(radius) * UnitX();
    double ry = rx;
    if (aspect) {
        const double a = std::fabs(*aspect);
        if (a > 1) {
            ry = std::fabs(radius) * UnitY();
            rx = ry / a;
        } else {
            ry = rx * a;
        }
    }
    rx = DeviceCoordinate(rx);
    ry = DeviceCoordinate(ry);
    if (drawStyle_ == 6 && drawWidth_ > 1) {
        rx = std::max(0.0, rx - drawWidth_ / 2.0);
        ry = std::max(0.0, ry - drawWidth_ / 2.0);
    }
    painter_->setPen(MakePen(colour));
    painter_->setBrush(FillBrush());
    painter_->drawEllipse(centre, rx, ry);
    painter_->setBrush(Qt::NoBrush);
}

void DrawingSurface::Print(const QString& text)
{
    const QPointF p = ToDevice(current_.x(), current_.y());
    painter_->setFont(font_);
    const QFontMetricsF metrics(painter_->font(), painter_->device());
    painter_->setPen(QPen(foreColor_));
    painter_->drawText(QPointF(p.x(), p.y() + metrics.ascent()), text);
    current_ = {0, current_.y() + metrics.height() / UnitY()};
}

void DrawingSurface::PaintPicture(const QImage& picture, double x, double y, std::optional<QSizeF> size,
                                  std::optional<QRectF> clip)
{
    // A picture pixel is 15 twips: dots per picture pixel on this device.
    const double dotsPerPixel = dpi_ / kScreenDpi;
    const QPointF at = ToDevice(x, y);
    QRectF source(QPointF(0, 0), QSizeF(picture.size()));
    if (clip) {
        const double px = UnitX() / dotsPerPixel;
        const double py = UnitY() / dotsPerPixel;
        source = QRectF(clip->x() * px, clip->y() * py, clip->width() * px, clip->height() * py);
    }
    QSizeF target(source.width() * dotsPerPixel, source.height() * dotsPerPixel);
    if (size)
        target = QSizeF(DeviceCoordinate(size->width() * UnitX()), DeviceCoordinate(size->height() * UnitY()));
    if (target.width() <= 0 || target.height() <= 0 || source.width() <= 0 || source.height() <= 0)
        return;
    painter_->drawImage(QRectF(at, target), picture, source);
}

QSize DrawingSurface::SizePixels() const
{
    return page_ != nullptr ? deviceSize_.toSize() : image_.size();
}

void DrawingSurface::SetSizePixels(int width, int height)
{
    if (page_ != nullptr)
        return;
    const int w = width > 0 ? width : image_.width();
    const int h = height > 0 ? height : image_.height();
    if (w > kMaxSide || h > kMaxSide || qint64(w) * h * 4 > maxBitmapBytes_)
        throw RuntimeError(Err::OutOfMemory);
    if (w == image_.width() && h == image_.height())
        return;
    QImage next(w, h, QImage::Format_RGB32);
    if (next.isNull())
        throw RuntimeError(Err::OutOfMemory);
    next.setDotsPerMeterX(image_.dotsPerMeterX());
    next.setDotsPerMeterY(image_.dotsPerMeterY());
    next.fill(Qt::white);
    painter_->end();
    {
        QPainter copy(&next);
        copy.drawImage(0, 0, image_);
    }
    image_ = std::move(next);
    deviceSize_ = image_.size();
    const QFont font = font_;
    Begin();
    font_ = font;
}

}  // namespace kolbran
