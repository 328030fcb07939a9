#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <set>
#include <cstdint>

namespace kolbran {

// The file-type lists of the file dialog: the file panel's and the image panel's.
QStringList FilePanelTypes();   // "*.txt" … "*.*"
QStringList ImagePanelTypes();  // "*.bmp" … "*.*"
// The entry BrowserViewMode selects, limited to the list's last entry.
int LimitTypeIndex(int index, int count);

// The zoom list: "非表示" (no preview), "0.5" … "4.0".
QStringList ZoomEntries();
inline const QString kNoPreview = QStringLiteral(u"非表示");
// The factor of a zoom entry; 0 for "非表示".
float ZoomFactorOf(const QString& entry);
// The shown size of a picture at `zoom` (1.0: its natural size).
QSize ZoomedSize(const QSize& natural, float zoom);

// The picture's pixel under the pointer, 1-based, for a pointer at (x, y) twips over the
// preview shown at `zoom`: the whole part of (t + x) / t with t = zoom × 15, at least 1.
struct PixelPosition {
    int column = 1;
    int row = 1;
};
PixelPosition PixelUnderPointer(float zoom, double xTwips, double yTwips);
bool InsidePicture(const PixelPosition& p, const QSize& natural);

// A colour held as 0xRRGGBB.
uint32_t ColourOf(QRgb pixel);
// " 3 x 2  RGB:FF8000"
QString PixelReadoutText(const PixelPosition& p, uint32_t rgb);
// The four notations the keys F4..F7 copy: decimal, six hex digits, "255:128:0", "FF:80:00".
enum class ColourNotation { Decimal, Hex, DecimalTriple, HexTriple };
QString ColourCode(uint32_t rgb, ColourNotation notation);
// F4..F7 to their notation; false for any other key.
bool NotationOfKey(int qtKey, ColourNotation& notation);

// " 640 x 480": the natural size as the size label shows it.
QString PictureSizeText(const QSize& natural);

// The scroll bars of the view area for a shown picture: a bar is shown with maximum
// shown − view when the picture is larger than the view, else hidden at 0.
struct ScrollBarLayout {
    bool visible = false;
    int maximum = 0;
};
struct ScrollLayout {
    ScrollBarLayout horizontal;
    ScrollBarLayout vertical;
};
ScrollLayout ComputeScrollLayout(const QSize& shown, const QSize& view);

// Keys that act once per press: a key counts again only after it was released.
class KeyLatch {
public:
    // true on the first press; false while the key is still held.
    bool Press(int key);
    void Release(int key);

private:
    std::set<int> down_;
};

// Loads a picture file at its natural size. Throws RuntimeError: 53 missing,
// 70 unreadable, 481 not a picture the loader understands.
QImage LoadPicture(const QString& path);

}  // namespace kolbran
