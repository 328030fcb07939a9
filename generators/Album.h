#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

namespace kolbran {

// The album types of the type list, by index.
namespace AlbumType {
inline constexpr int Original = 0;
inline constexpr int Link = 1;
inline constexpr int Thumbnail = 2;
inline constexpr int ScaledThumbnail = 3;
inline constexpr int NamesOnly = 4;
}  // namespace AlbumType

QStringList AlbumTypeNames();
QStringList AlbumPatterns();

// The file URL of a folder. A Windows path ("C:\Photos\2001") gives "file:///C|/Photos/2001",
// its root "C:\" gives "file:///C|"; a POSIX path gives "file://" + the path. "%", "#" and "?"
// in the path are percent-encoded, so that a browser finds the folder.
QString FolderTran(const QString& path);

// A file name as it goes into a reference: "%", "#" and "?" percent-encoded.
QString EncodeUrlName(const QString& name);
// & < > " as character references, for text and attribute values.
QString HtmlEscape(const QString& text);

// The rows and columns boxes after a run's corrections.
struct AlbumGrid {
    QString rowsText;     // what the rows box shows afterwards
    QString columnsText;  // what the columns box shows afterwards
    int rows = 1;         // 1..99, the box rounded half to even
    int columns = 1;      // 1..30
};
// Columns are rounded half to even and kept within 1..30, the box rewritten when that
// changed its value; rows below 1 become "1", above 99 "99", a fraction staying in the box.
// A box that holds no number (or columns beyond 16 bits) puts the stored values back in
// both boxes, which are then corrected the same way.
AlbumGrid CorrectAlbumGrid(const QString& rowsText, const QString& columnsText, int storedRows,
                           int storedColumns);

// The size a type-3 cell gives a picture of `natural` size: the longer side 160, the other
// scaled and rounded half to even, at least 1. An empty size (no picture) gives 160 × 160.
QSize ThumbnailSize(QSize natural);
// The size of the picture in `path` as a browser shows it (EXIF orientation applied), read
// from the file's header; an empty size when it is no picture.
QSize PictureDisplaySize(const QString& path);

struct AlbumRequest {
    int type = 0;
    int rows = 5;
    int columns = 2;
    bool addFolderName = false;
    QString folderText;  // Text1, taken as the user typed it
    QStringList names;   // the listed files, in list order
    QString folder;      // where the files are (for the type-3 sizes)
};

// The whole page, every line ending in CR LF; empty when there is no file.
QString BuildAlbumHtml(const AlbumRequest& request);

// The page as it is saved: Shift_JIS without a byte-order mark; a character that Shift_JIS
// lacks is written as "&#N;".
QByteArray EncodeAlbumPage(const QString& text);
// Writes the encoded page to `path` through a temporary file; throws RuntimeError.
void WriteAlbumPage(const QString& path, const QString& text);

}  // namespace kolbran
