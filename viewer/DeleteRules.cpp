#include "viewer/DeleteRules.h"

#include "core/CodePage.h"
#include "core/Numbers.h"

namespace kolbran {

namespace {

QString WithoutTrailingBlanks(QString text)
{
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    text.truncate(n);
    return text;
}

}  // namespace

QString RuleListEntry(const DeleteRule& rule)
{
    return rule.key.leftJustified(kRuleKeyBytes, u' ') + QStringLiteral("   ") + QString::number(rule.count);
}

DeleteRule RuleFromListEntry(const QString& entry)
{
    DeleteRule rule;
    rule.key = WithoutTrailingBlanks(entry.left(kRuleKeyBytes));
    rule.count = int16_t(Val(QStringView(entry).mid(kRuleKeyBytes)));
    return rule;
}

QString StorableRuleKey(const QString& key)
{
    const QString text = WithoutTrailingBlanks(key);
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const qsizetype w = SjisLength(QStringView(text).mid(i, n));
        if (bytes + w > kRuleKeyBytes)
            break;
        bytes += w;
        i += n;
    }
    return text.left(i);
}

}  // namespace kolbran
