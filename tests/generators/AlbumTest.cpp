#include "core/CodePage.h"
#include "generators/Album.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

const QString kHeader = QStringLiteral(
    "<HTML>\r\n<HEAD>\r\n"
    "   <META http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
    "   <META name=\"Author\" content=\"Kolbran\">\r\n"
    "   <META name=\"GENERATOR\" content=\"[Kolbran]\">\r\n"
    "   <TITLE>ALBUM</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=\"#E0E0E0\">\r\n<CENTER>\r\n");
const QString kTableFooter = QStringLiteral("</TABLE>\r\n</CENTER>\r\n</BODY>\r\n</HTML>\r\n");

// The checked-in pictures beside this file. The compiler may name this file relative to the
// build folder, which is the test's working folder or the one above it.
QString DataFolder()
{
    const QString here = QFileInfo(QStringLiteral(__FILE__)).path() + QStringLiteral("/data");
    for (const QString& base : {QString(), QStringLiteral("../")}) {
        const QString candidate = QFileInfo(here).isAbsolute() ? here : base + here;
        if (QFileInfo::exists(candidate + QStringLiteral("/tiny.gif")))
            return candidate;
    }
    return here;
}

AlbumRequest Request(int type, int rows, int columns, QStringList names)
{
    AlbumRequest r;
    r.type = type;
    r.rows = rows;
    r.columns = columns;
    r.names = std::move(names);
    return r;
}

TEST(FolderTranTest, WindowsAndPosixPaths)
{
    const struct {
        const char* path;
        const char* url;
    } cases[] = {
        {"C:\\Photos\\2001", "file:///C|/Photos/2001"},
        {"C:\\", "file:///C|"},
        {"/home/u/Photos", "file:///home/u/Photos"},
        {"/home/u/Photos/", "file:///home/u/Photos"},
        {"/", "file:///"},
        {"/mnt/Disk", "file:///mnt/Disk"},  // letter case kept
        {"/p/100% #1?", "file:///p/100%25 %231%3F"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderTran(QString::fromUtf8(c.path)), QString::fromUtf8(c.url)) << c.path;
}

TEST(AlbumGridTest, CorrectionsOfTheBoxes)
{
    const struct {
        const char* rows;
        const char* columns;
        const char* rowsAfter;
        const char* columnsAfter;
        int r, c;
    } cases[] = {
        {"5", "0", "5", "1", 5, 1},       {"5", "31", "5", "30", 5, 30},
        {"5", "2.5", "5", "2", 5, 2},     {"5", "45", "5", "30", 5, 30},
        {"0", "2", "1", "2", 1, 2},       {"100", "2", "99", "2", 99, 2},
        {"2.5", "3.5", "2.5", "4", 2, 4},  // the row fraction stays in its box
        // Not a number: the stored values (7, 3), corrected like typed ones.
        {"abc", "2", "7", "3", 7, 3},     {"4", "abc", "7", "3", 7, 3},
        {"4", "99999", "7", "3", 7, 3},
    };
    for (const auto& c : cases) {
        const AlbumGrid g = CorrectAlbumGrid(c.rows, c.columns, 7, 3);
        EXPECT_EQ(g.rowsText, QString::fromUtf8(c.rowsAfter)) << c.rows << " " << c.columns;
        EXPECT_EQ(g.columnsText, QString::fromUtf8(c.columnsAfter)) << c.rows << " " << c.columns;
        EXPECT_EQ(g.rows, c.r);
        EXPECT_EQ(g.columns, c.c);
    }
    // Stored values outside the ranges are corrected too.
    const AlbumGrid g = CorrectAlbumGrid("x", "y", 0, 0);
    EXPECT_EQ(g.rowsText, "1");
    EXPECT_EQ(g.columnsText, "1");
}

TEST(ThumbnailTest, LongerSideIs160)
{
    EXPECT_EQ(ThumbnailSize({640, 480}), QSize(160, 120));
    EXPECT_EQ(ThumbnailSize({480, 640}), QSize(120, 160));
    EXPECT_EQ(ThumbnailSize({300, 300}), QSize(160, 160));
    EXPECT_EQ(ThumbnailSize({320, 5}), QSize(160, 2));  // 2.5 rounds to even
    EXPECT_EQ(ThumbnailSize({1000, 1}), QSize(160, 1));  // never 0
    EXPECT_EQ(ThumbnailSize({}), QSize(160, 160));       // no picture
}

TEST(AlbumHtmlTest, GridUsesTheFirstFilesOnly)
{
    const QString page = BuildAlbumHtml(Request(1, 2, 2, {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}));
    EXPECT_EQ(page, kHeader + "<TABLE BORDER=1 CELLPADDING=2 CELLSPACING=0>\r\n"
                              "<TR>\r\n  <TD><A HREF=\"a.jpg\">a.jpg</A></TD>\r\n"
                              "  <TD><A HREF=\"b.jpg\">b.jpg</A></TD>\r\n</TR>\r\n"
                              "<TR>\r\n  <TD><A HREF=\"c.jpg\">c.jpg</A></TD>\r\n"
                              "  <TD><A HREF=\"d.jpg\">d.jpg</A></TD>\r\n</TR>\r\n" +
                        kTableFooter);
}

TEST(AlbumHtmlTest, LastRowMayBeShort)
{
    const QString page = BuildAlbumHtml(Request(0, 5, 2, {"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(page, kHeader + "<TABLE BORDER=1 CELLPADDING=2 CELLSPACING=0>\r\n"
                              "<TR>\r\n  <TD ALIGN=center VALIGN=middle><IMG SRC=\"a.jpg\" ALT=\"a.jpg\"></TD>\r\n"
                              "  <TD ALIGN=center VALIGN=middle><IMG SRC=\"b.jpg\" ALT=\"b.jpg\"></TD>\r\n</TR>\r\n"
                              "<TR>\r\n  <TD ALIGN=center VALIGN=middle><IMG SRC=\"c.jpg\" ALT=\"c.jpg\"></TD>\r\n"
                              "</TR>\r\n" +
                        kTableFooter);
}

TEST(AlbumHtmlTest, EachTypeAndThePinnedFolderCell)
{
    AlbumRequest r = Request(1, 1, 1, {"a.jpg"});
    r.addFolderName = true;
    r.folderText = "file:///C|/Photos";
    EXPECT_TRUE(BuildAlbumHtml(r).contains("\r\n  <TD><A HREF=\"file:///C|/Photos/a.jpg\">a.jpg</A></TD>\r\n"));
    r.type = 2;
    EXPECT_TRUE(BuildAlbumHtml(r).contains(
        "\r\n  <TD><A HREF=\"file:///C|/Photos/a.jpg\"><IMG SRC=\"file:///C|/Photos/a.jpg\" ALT=\"a.jpg\" "
        "WIDTH=160 HEIGHT=160></A></TD>\r\n"));
    r.type = 0;
    EXPECT_TRUE(BuildAlbumHtml(r).contains("<IMG SRC=\"file:///C|/Photos/a.jpg\" ALT=\"a.jpg\"></TD>"));
    r.type = 3;  // no such file: the 160 box
    EXPECT_TRUE(BuildAlbumHtml(r).contains(
        "\r\n  <TD ALIGN=center VALIGN=middle><A HREF=\"file:///C|/Photos/a.jpg\"><IMG "
        "SRC=\"file:///C|/Photos/a.jpg\" ALT=\"a.jpg\" WIDTH= 160 HEIGHT= 160></A></TD>\r\n"));
    const QString names = BuildAlbumHtml(Request(4, 5, 2, {"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(names, kHeader + "<PRE>\r\na.jpg\r\nb.jpg\r\nc.jpg\r\n</PRE>\r\n</CENTER>\r\n</BODY>\r\n</HTML>\r\n");
    EXPECT_TRUE(BuildAlbumHtml(Request(1, 1, 1, {})).isEmpty());
}

TEST(AlbumHtmlTest, HostileNamesStayInsideTheirAttributes)
{
    AlbumRequest r = Request(2, 1, 1, {"a\"><script>x&y #1?.jpg"});
    r.addFolderName = true;
    r.folderText = "file:///p/q&r";  // typed text: escaped, not percent-encoded
    EXPECT_TRUE(BuildAlbumHtml(r).contains(
        "<A HREF=\"file:///p/q&amp;r/a&quot;&gt;&lt;script&gt;x&amp;y %231%3F.jpg\"><IMG "
        "SRC=\"file:///p/q&amp;r/a&quot;&gt;&lt;script&gt;x&amp;y %231%3F.jpg\" "
        "ALT=\"a&quot;&gt;&lt;script&gt;x&amp;y #1?.jpg\" WIDTH=160 HEIGHT=160>"));
}

TEST(AlbumHtmlTest, ThumbnailsFromThePictures)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, int w, int h) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::red);
        ASSERT_TRUE(QImageWriter(dir.filePath(name)).write(img));
    };
    write("land.png", 640, 480);
    write("tall.png", 480, 640);
    write("thin.png", 320, 5);
    QFile text(dir.filePath("note.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    AlbumRequest r = Request(3, 4, 1, {"land.png", "tall.png", "thin.png", "note.txt"});
    r.folder = dir.path();
    const QString page = BuildAlbumHtml(r);
    EXPECT_TRUE(page.contains("ALT=\"land.png\" WIDTH= 160 HEIGHT= 120>"));
    EXPECT_TRUE(page.contains("ALT=\"tall.png\" WIDTH= 120 HEIGHT= 160>"));
    EXPECT_TRUE(page.contains("ALT=\"thin.png\" WIDTH= 160 HEIGHT= 2>"));
    EXPECT_TRUE(page.contains("ALT=\"note.txt\" WIDTH= 160 HEIGHT= 160>"));
}

TEST(AlbumHtmlTest, CheckedInPicturesGifAndRotatedJpeg)
{
    const QString samples = DataFolder();
    EXPECT_EQ(PictureDisplaySize(samples + "/tiny.gif"), QSize(3, 2));
    // Stored 40 × 20 with EXIF orientation 6: a browser shows it 20 wide, 40 high.
    EXPECT_EQ(PictureDisplaySize(samples + "/rotated.jpg"), QSize(20, 40));
}

TEST(AlbumSaveTest, ShiftJisWithCharacterReferences)
{
    EXPECT_EQ(EncodeAlbumPage(QStringLiteral(u"写真?</HTML>\r\n")), ToSjis(QStringLiteral(u"写真?</HTML>\r\n")));
    EXPECT_EQ(EncodeAlbumPage(QStringLiteral(u"café ? 😀.jpg")), QByteArray("caf&#233; ? &#128512;.jpg"));

    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    const QString page = BuildAlbumHtml(Request(1, 1, 1, {QStringLiteral(u"café.jpg")}));
    WriteAlbumPage(path, page);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("<A HREF=\"caf&#233;.jpg\">caf&#233;.jpg</A>"));
    EXPECT_TRUE(bytes.endsWith("</HTML>\r\n"));
    EXPECT_TRUE(bytes.startsWith("<HTML>"));  // no byte-order mark
}

}  // namespace
