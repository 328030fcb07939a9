#include "images/ImageOps.h"

#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "images/ImageBrowser.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <new>
#include <vector>

namespace kolbran {

double ProgressFraction(double done, double divisor)
{
    if (divisor <= 0)
        return 1.0;
    return std::clamp(done / divisor, 0.0, 1.0);
}

QImage LoadShownPicture(const QString& path)
{
    const QImage loaded = LoadPicture(path);
    try {
        if (!loaded.hasAlphaChannel()) {
            QImage rgb = loaded.convertToFormat(QImage::Format_RGB32);
            if (rgb.isNull())
                throw RuntimeError(Err::OutOfMemory, path);
            return rgb;
        }
        QImage flat(loaded.size(), QImage::Format_RGB32);
        if (flat.isNull())
            throw RuntimeError(Err::OutOfMemory, path);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, loaded);
        return flat;
    } catch (const std::bad_alloc&) {
        throw RuntimeError(Err::OutOfMemory, path);
    }
}

int GreyLevel(QRgb pixel)
{
    return int(RoundHalfEven((qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3.0));
}

namespace {

QImage NewPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        throw RuntimeError(Err::OutOfMemory);
    return image;
}

QImage AsRgb32(const QImage& image)
{
    return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

void Report(const PixelProgress& progress, double done, double divisor)
{
    if (progress)
        progress(ProgressFraction(done, divisor));
}

}  // namespace

QImage RotateLeft(const QImage& source, const PixelProgress& progress)
{
    const QImage src = AsRgb32(source);
    const int w = src.width(), h = src.height();
    QImage dst = NewPicture(h, w);
    for (int x = 0; x < w; ++x) {
        auto* out = reinterpret_cast<QRgb*>(dst.scanLine(w - 1 - x));
        for (int y = 0; y < h; ++y)
            out[y] = reinterpret_cast<const QRgb*>(src.constScanLine(y))[x];
        Report(progress, x, w - 1);
    }
    return dst;
}

QImage RotateRight(const QImage& source, const PixelProgress& progress)
{
    const QImage src = AsRgb32(source);
    const int w = src.width(), h = src.height();
    QImage dst = NewPicture(h, w);
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        const int column = h - 1 - y;
        for (int x = 0; x < w; ++x)
            reinterpret_cast<QRgb*>(dst.scanLine(x))[column] = in[x];
        Report(progress, y, h - 1);
    }
    return dst;
}

QImage GreyPicture(const QImage& source, const PixelProgress& progress)
{
    const QImage src = AsRgb32(source);
    const int w = src.width(), h = src.height();
    QImage dst = NewPicture(w, h);
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(dst.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int g = GreyLevel(in[x]);
            out[x] = qRgb(g, g, g);
        }
        Report(progress, y, h - 1);
    }
    return dst;
}

namespace {

void WriteOrThrow(QSaveFile& file, const QByteArray& bytes)
{
    if (file.write(bytes) != bytes.size())
        ThrowFileError(file, Err::DeviceIo);
}

void Commit(QSaveFile& file)
{
    if (!file.commit())
        ThrowFileError(file, Err::DeviceIo);
}

void OpenForWriting(QSaveFile& file)
{
    if (!file.open(QIODevice::WriteOnly))
        ThrowFileError(file, Err::PathFileAccess);
}

}  // namespace

void WriteAnalysis(const QImage& source, const QString& path, const PixelProgress& progress)
{
    const QImage image = AsRgb32(source);
    const int w = image.width(), h = image.height();
    QSaveFile file(FromNativeSeparators(path));
    OpenForWriting(file);
    WriteOrThrow(file, "ScaleMode,3\r\nImgSize, " + QByteArray::number(w) + ", " + QByteArray::number(h) +
                           "\r\n\r\n");
    QByteArray row;
    for (int y = 0; y < h; ++y) {
        row.clear();
        const QByteArray ys = QByteArray::number(y);
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = in[x];
            row += "Pset,";
            row += QByteArray::number(x);
            row += ',';
            row += ys;
            row += ",RGB,";
            row += QByteArray::number(qRed(p));
            row += ',';
            row += QByteArray::number(qGreen(p));
            row += ',';
            row += QByteArray::number(qBlue(p));
            row += "\r\n";
        }
        WriteOrThrow(file, row);
        if (progress && !progress(ProgressFraction(y, h))) {
            file.cancelWriting();
            return;
        }
    }
    Commit(file);
}

int TextPictureWidth(const QString& answer)
{
    const double v = Val(answer);
    if (!(v >= 124 && v <= 360))
        return kDefaultTextPictureWidth;
    const qint64 n = RoundHalfEven(v);
    return n < 124 || n > 360 ? kDefaultTextPictureWidth : int(n);
}

namespace {

int Level(double average)
{
    return int(IntFloor(average / 16)) + 1;
}

const QString kEdgeChars = QStringLiteral(u"ﾂｱｿ\"~' ");
const QString kShadeChars = QStringLiteral("MW@EQmw*erux:-.  ");

}  // namespace

QChar TextPictureChar(double upper, double lower)
{
    const int u = std::clamp(Level(upper), 1, 16);
    const int l = std::clamp(Level(lower), 1, 16);
    if (l >= 15 && u <= 6)
        return kEdgeChars.at(u - 1);
    return kShadeChars.at(int(RoundHalfEven((l + u) / 2.0)) - 1);
}

QStringList TextPicture(const QImage& source, int n, const PixelProgress& progress)
{
    const QImage image = AsRgb32(source);
    const int w = image.width(), h = image.height();
    QStringList lines;
    if (w < 1 || h < 1 || n < 1)
        return lines;
    const float cw = float(double(w) / n);
    const float ch = 2 * cw;
    const qint64 half = RoundHalfEven(double(cw) * ch / 2);
    // A picture narrower than n / 2 pixels has cells under one pixel high: the rows then
    // run to (H − 1) / ch, and pixels below the picture read as white.
    const qint64 yLimit = ch < 1 ? RoundHalfEven((h - 1) / double(ch)) : h - 1;

    // Cell columns are the same for every row.
    std::vector<std::pair<qint64, qint64>> columns(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c) {
        const qint64 x0 = RoundHalfEven(double(c) * w / n);
        qint64 x1 = RoundHalfEven(double(float(x0) + cw - 1));
        x1 = std::max(std::min<qint64>(x1, w - 1), x0);
        columns[size_t(c)] = {x0, x1};
    }
    auto grey = [&](qint64 x, qint64 y) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return 255;  // outside the picture: white
        return GreyLevel(reinterpret_cast<const QRgb*>(image.constScanLine(int(y)))[x]);
    };

    QString line;
    for (qint64 r = 0;; ++r) {
        const qint64 y0 = RoundHalfEven(double(float(r) * ch));
        qint64 y1 = RoundHalfEven(double(float(y0) + ch - 1));
        y1 = std::max(std::min(y1, yLimit), y0);
        line.clear();
        for (const auto& [x0, x1] : columns) {
            qint64 count = 0, sum = 0, upperCount = 0, upperSum = 0;
            bool reached = false;
            for (qint64 y = y0; y <= y1; ++y) {
                for (qint64 x = x0; x <= x1; ++x) {
                    sum += grey(x, y);
                    ++count;
                }
                if (!reached && count >= half) {
                    reached = true;
                    upperCount = count;
                    upperSum = sum;
                }
            }
            const double whole = double(sum) / count;
            const double upper = reached ? double(upperSum) / upperCount : whole;
            const double lower =
                reached && count > upperCount ? double(sum - upperSum) / (count - upperCount) : whole;
            line += TextPictureChar(upper, lower);
        }
        while (line.endsWith(u' '))
            line.chop(1);
        lines.append(line);
        if (progress && !progress(ProgressFraction(double(y1 + 1), double(h - 1))))
            return {};
        if (y1 >= yLimit)
            break;
    }
    return lines;
}

void WriteTextPicture(const QStringList& lines, const QString& path)
{
    QSaveFile file(FromNativeSeparators(path));
    OpenForWriting(file);
    QByteArray bytes;
    for (const QString& l : lines) {
        bytes += ToSjis(l);
        bytes += "\r\n";
    }
    WriteOrThrow(file, bytes);
    Commit(file);
}

void SaveBitmap(const QImage& image, const QString& path)
{
    QSaveFile file(FromNativeSeparators(path));
    OpenForWriting(file);
    if (!image.save(&file, "BMP")) {
        file.cancelWriting();
        if (file.error() != QFileDevice::NoError)
            ThrowFileError(file, Err::DeviceIo);
        throw RuntimeError(Err::DeviceIo, path);
    }
    Commit(file);
}

QString PaperName(int choice)
{
    static const char16_t* names[] = {u"はがき", u"Ｌ判", u"Ａ６", u"Ａ５", u"Ｂ６", u"用紙に合わせる", u"任意"};
    return QString::fromUtf16(names[std::clamp(choice, 0, 6)]);
}

QSizeF PaperTableSize(int choice)
{
    // はがき is 148 × 100 mm (as the paper-size list says), not 141.
    static const QSizeF sizes[] = {{148, 100}, {127, 89}, {148, 105}, {210, 148}, {182, 128}};
    return choice >= 0 && choice <= 4 ? sizes[choice] : QSizeF();
}

int ClampCustomWidth(double mm)
{
    return int(std::clamp<qint64>(RoundHalfEven(mm), 105, 420));
}

int ClampCustomHeight(double mm)
{
    return int(std::clamp<qint64>(RoundHalfEven(mm), 74, 297));
}

QSizeF PaperSizeFor(int choice, const QSizeF& printable, bool portrait, const QSizeF& custom)
{
    if (choice == kPaperFitPrinter)
        return printable;
    QSizeF size = choice == kPaperCustom
                      ? QSizeF(ClampCustomWidth(custom.width()), ClampCustomHeight(custom.height()))
                      : PaperTableSize(choice);
    if (portrait)
        size.transpose();
    return size;
}

QRectF PrintRectangle(const QSizeF& paper, int fitMode, const QSize& picture)
{
    if (picture.width() < 1 || picture.height() < 1)
        return {};
    const double pw = picture.width(), ph = picture.height();
    if (fitMode == 0) {
        const double w = double(RoundHalfEven(paper.width()));
        const double h = double(RoundHalfEven(paper.width() * ph / pw));
        return {0, (paper.height() - h) / 2, w, h};
    }
    const double h = double(RoundHalfEven(paper.height()));
    const double w = double(RoundHalfEven(paper.height() * pw / ph));
    return {(paper.width() - w) / 2, 0, w, h};
}

QString PrintQuestion(const QString& paperName, int fitMode, const QSizeF& paper, const QString& br)
{
    return QStringLiteral(u"印刷します！") + br + QStringLiteral("( ") + paperName + QStringLiteral(u"：") +
           (fitMode == 0 ? QStringLiteral(u"横") : QStringLiteral(u"縦")) + QStringLiteral(" )") + br +
           QStringLiteral(u"( 幅：") + StrSingle(float(paper.width())) + QStringLiteral(u" ㎜　　高さ：") +
           StrSingle(float(paper.height())) + QStringLiteral(u" ㎜ )") + br +
           (fitMode == 0 ? QStringLiteral(u"用紙の横幅に合わせます。") : QStringLiteral(u"用紙の縦幅に合わせます。"));
}

void PaintPictureMm(QPainter& painter, const QPagedPaintDevice& device, const QImage& image, const QRectF& rect)
{
    const double k = device.logicalDpiX() / 25.4;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(rect.x() * k, rect.y() * k, rect.width() * k, rect.height() * k), image);
}

QSizeF PrintableSizeMm(const QPagedPaintDevice& device)
{
    return device.pageLayout().paintRect(QPageLayout::Millimeter).size();
}

QString PaperSizeListText(const QString& br)
{
    const QStringList lines = {
        QStringLiteral(u"< Ａ判 >"), QStringLiteral(u"Ａ３：４２０ｘ２９７"), QStringLiteral(u"Ａ４：２９７ｘ２１０"),
        QStringLiteral(u"Ａ５：２１０ｘ１４８"), QStringLiteral(u"Ａ６：１４８ｘ１０５"), QString(),
        QStringLiteral(u"< Ｂ判 >"), QStringLiteral(u"Ｂ４：３６４ｘ２５７"), QStringLiteral(u"Ｂ５：２５７ｘ１８２"),
        QStringLiteral(u"Ｂ６：１８２ｘ１２８"), QString(), QStringLiteral(u"< その他 >"),
        QStringLiteral(u"葉書：１４８ｘ１００"), QStringLiteral(u"Ｌ判：１２７ｘ　８９"), QStringLiteral(u"Ｅ判：１１７ｘ　８３")};
    return lines.join(br);
}

}  // namespace kolbran
