#include "generators/Album.h"

#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"

#include <QDir>
#include <QImageIOHandler>
#include <QImageReader>
#include <QSaveFile>

#include <cmath>

namespace kolbran {

QStringList AlbumTypeNames()
{
    return {QStringLiteral(u"原寸表示"), QStringLiteral(u"リンク"), QStringLiteral(u"縮小表示(補正ﾅｼ)＆ﾘﾝｸ"),
            QStringLiteral(u"縮小表示(補正ｱﾘ)＆ﾘﾝｸ"), QStringLiteral(u"ファイル名のみ")};
}

QStringList AlbumPatterns()
{
    return {QStringLiteral("*.jpg"), QStringLiteral("*.gif"), QStringLiteral("*.*")};
}

QString EncodeUrlName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'%')
            out += QStringLiteral("%25");
        else if (c == u'#')
            out += QStringLiteral("%23");
        else if (c == u'?')
            out += QStringLiteral("%3F");
        else
            out += c;
    }
    return out;
}

QString HtmlEscape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else if (c == u'"')
            out += QStringLiteral("&quot;");
        else
            out += c;
    }
    return out;
}

namespace {

bool IsDrivePath(const QString& path)
{
    return path.size() >= 2 && path[1] == u':' && path[0].isLetter();
}

}  // namespace

QString FolderTran(const QString& path)
{
    QString p = path;
    if (IsDrivePath(p)) {
        if (p.endsWith(u'\\') || p.endsWith(u'/'))
            p.chop(1);
        p.replace(u'\\', u'/');
        p.replace(u':', u'|');
        return QStringLiteral("file:///") + EncodeUrlName(p);
    }
    // POSIX: the path is already absolute and keeps its letter case; a trailing "/" of a
    // folder other than the root goes, as the "\" of a Windows folder does.
    p.replace(u'\\', u'/');
    if (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    return QStringLiteral("file://") + EncodeUrlName(p);
}

AlbumGrid CorrectAlbumGrid(const QString& rowsText, const QString& columnsText, int storedRows,
                           int storedColumns)
{
    AlbumGrid g{rowsText, columnsText, 1, 1};
    auto columnsOk = [](const QString& t) {
        return IsNumeric(t) && std::abs(Val(t)) < 32767.5;
    };
    if (!IsNumeric(rowsText) || !columnsOk(columnsText)) {
        g.rowsText = QString::number(storedRows);
        g.columnsText = QString::number(storedColumns);
    }
    const double columnsValue = Val(g.columnsText);
    const int columns = int(std::clamp<qint64>(RoundHalfEven(columnsValue), 1, 30));
    if (double(columns) != columnsValue)
        g.columnsText = QString::number(columns);
    g.columns = columns;

    const double rowsValue = Val(g.rowsText);
    if (!(rowsValue >= 1))
        g.rowsText = QStringLiteral("1");
    else if (rowsValue > 99)
        g.rowsText = QStringLiteral("99");
    g.rows = int(std::clamp<qint64>(RoundHalfEven(Val(g.rowsText)), 1, 99));
    return g;
}

QSize ThumbnailSize(QSize natural)
{
    const int w = natural.width();
    const int h = natural.height();
    if (w <= 0 || h <= 0)
        return {160, 160};
    if (h < w)
        return {160, int(std::max<qint64>(1, RoundHalfEven(double(h) * 160.0 / double(w))))};
    return {int(std::max<qint64>(1, RoundHalfEven(double(w) * 160.0 / double(h)))), 160};
}

QSize PictureDisplaySize(const QString& path)
{
    QImageReader reader(path);
    QSize size = reader.size();
    if (!size.isValid())
        return {};
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}

QString BuildAlbumHtml(const AlbumRequest& request)
{
    if (request.names.isEmpty())
        return {};
    const QString crlf = QStringLiteral("\r\n");
    const bool pre = request.type == AlbumType::NamesOnly;
    QString page = QStringLiteral(
        "<HTML>\r\n"
        "<HEAD>\r\n"
        "   <META http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
        "   <META name=\"Author\" content=\"Kolbran\">\r\n"
        "   <META name=\"GENERATOR\" content=\"[Kolbran]\">\r\n"
        "   <TITLE>ALBUM</TITLE>\r\n"
        "</HEAD>\r\n"
        "<BODY BGCOLOR=\"#E0E0E0\">\r\n"
        "<CENTER>\r\n");
    page += pre ? QStringLiteral("<PRE>") : QStringLiteral("<TABLE BORDER=1 CELLPADDING=2 CELLSPACING=0>");
    page += crlf;

    const qsizetype n = request.names.size();
    qsizetype i = 0;
    for (int r = 1; r <= request.rows; ++r) {
        if (!pre)
            page += QStringLiteral("<TR>\r\n");
        for (int c = 1; c <= request.columns; ++c) {
            const QString& name = request.names[i];
            const QString encoded = EncodeUrlName(name);
            const QString ref =
                HtmlEscape(request.addFolderName ? request.folderText + u'/' + encoded : encoded);
            const QString alt = HtmlEscape(name);
            switch (request.type) {
            case AlbumType::Original:
                page += QStringLiteral("  <TD ALIGN=center VALIGN=middle><IMG SRC=\"") + ref +
                        QStringLiteral("\" ALT=\"") + alt + QStringLiteral("\"></TD>");
                break;
            case AlbumType::Link:
                page += QStringLiteral("  <TD><A HREF=\"") + ref + QStringLiteral("\">") + alt +
                        QStringLiteral("</A></TD>");
                break;
            case AlbumType::Thumbnail:
                page += QStringLiteral("  <TD><A HREF=\"") + ref + QStringLiteral("\"><IMG SRC=\"") + ref +
                        QStringLiteral("\" ALT=\"") + alt + QStringLiteral("\" WIDTH=160 HEIGHT=160></A></TD>");
                break;
            case AlbumType::ScaledThumbnail: {
                const QSize t = ThumbnailSize(PictureDisplaySize(QDir(request.folder).filePath(name)));
                page += QStringLiteral("  <TD ALIGN=center VALIGN=middle><A HREF=\"") + ref +
                        QStringLiteral("\"><IMG SRC=\"") + ref + QStringLiteral("\" ALT=\"") + alt +
                        QStringLiteral("\" WIDTH=") + StrNumber(t.width()) + QStringLiteral(" HEIGHT=") +
                        StrNumber(t.height()) + QStringLiteral("></A></TD>");
                break;
            }
            default:
                page += ref;
                break;
            }
            page += crlf;
            if (++i >= n)
                break;
        }
        if (!pre)
            page += QStringLiteral("</TR>\r\n");
        if (i >= n)
            break;
    }
    page += pre ? QStringLiteral("</PRE>") : QStringLiteral("</TABLE>");
    page += QStringLiteral("\r\n</CENTER>\r\n</BODY>\r\n</HTML>\r\n");
    return page;
}

QByteArray EncodeAlbumPage(const QString& text)
{
    QByteArray bytes = ToSjis(text);
    // A "?" that the text does not hold stands for a character Shift_JIS lacks.
    if (bytes.count('?') == text.count(u'?'))
        return bytes;
    bytes.clear();
    const QStringView view(text);
    qsizetype start = 0;  // the run of characters not yet converted
    for (qsizetype k = 0; k < view.size();) {
        const bool pair = view[k].isHighSurrogate() && k + 1 < view.size() && view[k + 1].isLowSurrogate();
        const qsizetype len = pair ? 2 : 1;
        const QStringView ch = view.mid(k, len);
        if (ch != u"?" && ToSjis(ch) == "?") {
            bytes += ToSjis(view.mid(start, k - start));
            const char32_t code = pair ? QChar::surrogateToUcs4(view[k], view[k + 1]) : view[k].unicode();
            bytes += "&#" + QByteArray::number(uint(code)) + ';';
            start = k + len;
        }
        k += len;
    }
    bytes += ToSjis(view.mid(start));
    return bytes;
}

void WriteAlbumPage(const QString& path, const QString& text)
{
    const QByteArray bytes = EncodeAlbumPage(text);
    QSaveFile file(FromNativeSeparators(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowFileError(file, Err::PathFileAccess);
    if (file.write(bytes) != bytes.size())
        ThrowFileError(file, Err::DeviceIo);
    if (!file.commit())
        ThrowFileError(file, Err::DeviceIo);
}

}  // namespace kolbran
