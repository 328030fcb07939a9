#include "images/ImageBrowser.h"

#include "core/FileFacade.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"

#include <QFileInfo>
#include <QImageReader>

#include <cmath>
#include <new>

namespace kolbran {

namespace {
constexpr int kInvalidPicture = 481;
constexpr int kPictureAllocationLimitMb = 1024;

QString HexDigits(uint32_t value, int width)
{
    return QStringLiteral("%1").arg(value, width, 16, QLatin1Char('0')).toUpper();
}
}  // namespace

QStringList FilePanelTypes()
{
    return {QStringLiteral("*.txt"), QStringLiteral("*.htm"), QStringLiteral("*.csv"),
            QStringLiteral("*.bmp"), QStringLiteral("*.byg"), QStringLiteral("*.*")};
}

QStringList ImagePanelTypes()
{
    return {QStringLiteral("*.bmp"), QStringLiteral("*.ico"), QStringLiteral("*.gif"),
            QStringLiteral("*.jpg"), QStringLiteral("*.*")};
}

int LimitTypeIndex(int index, int count)
{
    if (count <= 0)
        return -1;
    return std::clamp(index, 0, count - 1);
}

QStringList ZoomEntries()
{
    return {kNoPreview,         QStringLiteral("0.5"), QStringLiteral("0.7"), QStringLiteral("1.0"),
            QStringLiteral("2.0"), QStringLiteral("3.0"), QStringLiteral("4.0")};
}

float ZoomFactorOf(const QString& entry)
{
    if (entry == kNoPreview)
        return 0.0f;
    return static_cast<float>(Val(entry));
}

QSize ZoomedSize(const QSize& natural, float zoom)
{
    return {int(RoundHalfEven(natural.width() * double(zoom))),
            int(RoundHalfEven(natural.height() * double(zoom)))};
}

PixelPosition PixelUnderPointer(float zoom, double xTwips, double yTwips)
{
    const double t = double(zoom) * 15.0;
    PixelPosition p;
    if (t <= 0)
        return p;
    p.column = std::max<int>(1, int(IntFloor((t + xTwips) / t)));
    p.row = std::max<int>(1, int(IntFloor((t + yTwips) / t)));
    return p;
}

bool InsidePicture(const PixelPosition& p, const QSize& natural)
{
    return p.column >= 1 && p.row >= 1 && p.column <= natural.width() && p.row <= natural.height();
}

uint32_t ColourOf(QRgb pixel)
{
    return uint32_t(pixel) & 0xFFFFFFu;
}

QString PixelReadoutText(const PixelPosition& p, uint32_t rgb)
{
    return StrNumber(p.column) + QStringLiteral(" x") + StrNumber(p.row) + QStringLiteral("  RGB:") +
           HexDigits(rgb, 6);
}

QString ColourCode(uint32_t rgb, ColourNotation notation)
{
    const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    const QString colon = QStringLiteral(":");
    switch (notation) {
    case ColourNotation::Decimal: return ZeroPad(rgb, 1);
    case ColourNotation::Hex: return HexDigits(rgb, 6);
    case ColourNotation::DecimalTriple:
        return ZeroPad(r, 1) + colon + ZeroPad(g, 1) + colon + ZeroPad(b, 1);
    case ColourNotation::HexTriple:
        return HexDigits(r, 2) + colon + HexDigits(g, 2) + colon + HexDigits(b, 2);
    }
    return {};
}

bool NotationOfKey(int qtKey, ColourNotation& notation)
{
    switch (qtKey) {
    case Qt::Key_F4: notation = ColourNotation::Decimal; return true;
    case Qt::Key_F5: notation = ColourNotation::Hex; return true;
    case Qt::Key_F6: notation = ColourNotation::DecimalTriple; return true;
    case Qt::Key_F7: notation = ColourNotation::HexTriple; return true;
    default: return false;
    }
}

QString PictureSizeText(const QSize& natural)
{
    return StrNumber(natural.width()) + QStringLiteral(" x") + StrNumber(natural.height());
}

ScrollLayout ComputeScrollLayout(const QSize& shown, const QSize& view)
{
    ScrollLayout l;
    if (shown.width() > view.width())
        l.horizontal = {true, shown.width() - view.width()};
    if (shown.height() > view.height())
        l.vertical = {true, shown.height() - view.height()};
    return l;
}

bool KeyLatch::Press(int key)
{
    return down_.insert(key).second;
}

void KeyLatch::Release(int key)
{
    down_.erase(key);
}

QImage LoadPicture(const QString& path)
{
    const QString p = FromNativeSeparators(path);
    const QFileInfo info(p);
    if (!info.exists() || info.isDir())
        throw RuntimeError(Err::FileNotFound, path);
    if (!info.isReadable())
        throw RuntimeError(Err::PermissionDenied, path);
    // A pipe would block the read until another program writes to it; a device never ends.
    if (GetFileAttributes(p).special)
        throw RuntimeError(Err::PathFileAccess, path);
    // Qt refuses pictures over 128 MB decoded; the program takes up to 1 GiB, and beyond
    // that (or when the memory is not there) reports error 7 instead of "not a picture".
    QImageReader::setAllocationLimit(kPictureAllocationLimitMb);
    QImageReader reader(p);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() * 4 > qint64(kPictureAllocationLimitMb) << 20)
        throw RuntimeError(Err::OutOfMemory, path);
    QImage image;
    try {
        image = reader.read();
    } catch (const std::bad_alloc&) {
        throw RuntimeError(Err::OutOfMemory, path);
    }
    if (image.isNull()) {
        if (size.isValid() && reader.error() != QImageReader::UnsupportedFormatError &&
            qint64(size.width()) * size.height() * 4 > qint64(128) << 20)
            throw RuntimeError(Err::OutOfMemory, path);
        throw RuntimeError(kInvalidPicture, reader.errorString());
    }
    return image;
}

}  // namespace kolbran
