#include "core/Fonts.h"

#include <QFont>
#include <QStringList>

namespace kolbran {

void InstallFontSubstitutions()
{
    const QString serifCjk = QStringLiteral("Noto Serif CJK JP");
    const QString sansCjk = QStringLiteral("Noto Sans CJK JP");
    QFont::insertSubstitutions(QStringLiteral(u"ＭＳ 明朝"),
                               {QStringLiteral("IPAMincho"), QStringLiteral(u"IPA明朝"), serifCjk});
    QFont::insertSubstitutions(QStringLiteral(u"ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QStringLiteral(u"IPAゴシック"), sansCjk});
    QFont::insertSubstitutions(QStringLiteral(u"標準明朝"),
                               {QStringLiteral("IPAPMincho"), QStringLiteral(u"IPA P明朝"), serifCjk});
    QFont::insertSubstitutions(QStringLiteral(u"標準ゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral(u"IPA Pゴシック"), sansCjk});
}

}  // namespace kolbran
