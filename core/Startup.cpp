#include "core/Startup.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Settings.h"

#include <QDir>

#include <algorithm>

namespace kolbran {

namespace {

bool IsSeparator(QChar c)
{
    return c == u'\\' || c == u'/';
}

QString WithoutQuotes(QString text)
{
    if (text.startsWith(u'"'))
        text.remove(0, 1);
    if (text.endsWith(u'"'))
        text.chop(1);
    return text;
}

// num / den rounded to the nearest integer, halves to even (den > 0), without floating
// point so that exact halves are found.
qint64 RoundDivHalfEven(qint64 num, qint64 den)
{
    qint64 q = num / den;
    qint64 r = num % den;
    if (r < 0) {
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && (q % 2 != 0)))
        ++q;
    return q;
}

}  // namespace

CommandPathParts ParseCommandPath(const QString& argument)
{
    // The opening quotation mark is set aside first, so that a quoted root keeps its
    // separator like an unquoted one.
    QString arg = argument;
    if (arg.startsWith(u'"'))
        arg.remove(0, 1);
    qsizetype last = -1;
    for (qsizetype i = arg.size() - 1; i >= 0; --i)
        if (IsSeparator(arg[i])) {
            last = i;
            break;
        }
    const qsizetype l = last + 1;  // 1-based position, 0 when none
    const QString folder = l > 3 ? arg.left(l - 1) : arg.left(l);
    const QString drive = folder.left(2);
    CommandPathParts parts;
    if (drive.size() == 2 && IsSeparator(drive[0]) && IsSeparator(drive[1])) {
        parts.fileName = WithoutQuotes(arg);
        return parts;
    }
    parts.folder = folder;
    parts.fileName = WithoutQuotes(arg.mid(l));
    return parts;
}

QString SplitCommandPath(AppState& state, const QString& argument)
{
    const CommandPathParts parts = ParseCommandPath(argument);
    if (!parts.folder.isEmpty() && !QDir::setCurrent(FromNativeSeparators(parts.folder))) {
        if (IsDebugFlag(state.settings, 1) == 1)
            ReportError(state, Err::PathNotFound, 1);
        // The bare name would be looked up in the wrong folder: the whole path is checked.
        return WithoutQuotes(argument);
    }
    return parts.fileName;
}

QList<QRect> OpeningAnimationRects(const QRect& window)
{
    const qint64 W = window.width(), H = window.height(), X = window.x(), Y = window.y();
    QList<QRect> rects;
    rects.reserve(300);
    for (qint64 i = 1; i <= 300; ++i) {
        const qint64 w = RoundDivHalfEven(i * W, 300);
        const qint64 h = RoundDivHalfEven(i * H, 300);
        const qint64 left = RoundDivHalfEven(W - w + 2 * X, 2);
        const qint64 top = RoundDivHalfEven(H - h + 2 * Y, 2);
        rects.append(QRect(int(left), int(top), int(w), int(h)));
    }
    return rects;
}

QString RulerText()
{
    const QString ten = QStringLiteral(
        "----+----1----+----2----+----3----+----4----+----5----+----6----+----7----+----8----+----9----+----0");
    return ten + ten + ten;
}

int StartWindowWidthTwips(const ViewerSettings& s)
{
    return s.WindowWidth < 1 ? kDefaultWindowWidth : s.WindowWidth;
}

int TextAreaHeightTwips(int linesPerScreen, int lineHeightTwips)
{
    return linesPerScreen * lineHeightTwips + 355;
}

int CenteredStart(int screen, int size)
{
    return int(RoundDivHalfEven(qint64(screen) - size, 2));
}

int WidthToStoreTwips(bool minimised, bool fitted, int widthBeforeFitTwips, int currentWidthTwips)
{
    if (minimised)
        return -1;
    return std::min(fitted ? widthBeforeFitTwips : currentWidthTwips, 32767);
}

bool IsDrawingFileName(const QString& name)
{
    return name.endsWith(QStringLiteral(".byg"), Qt::CaseSensitive);
}

QString CommandLineDebugMessage(const QString& argument)
{
    return QStringLiteral(u"コマンドライン引数は, ") + argument + QStringLiteral(u" です.");
}

QString SplitNameDebugMessage(const QString& fileName)
{
    return QStringLiteral("---") + fileName + QStringLiteral("---");
}

QString UnloadDebugMessage(const QString& settingsPath)
{
    return QStringLiteral("Form_Unload --- Fil:") + settingsPath + QStringLiteral(" ---");
}

}  // namespace kolbran
