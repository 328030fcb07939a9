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

bool ParseRuleArgument(const QString& text, DeleteRule* rule)
{
    bool ok = false;
    const qsizetype eq = text.lastIndexOf(u'=');
    const int count = eq > 0 ? text.mid(eq + 1).toInt(&ok) : 0;
    const QString key = eq > 0 ? StorableRuleKey(text.left(eq)) : QString();
    if (!ok || key.isEmpty() || count < 1 || count > 20)
        return false;
    *rule = {key, int16_t(count)};
    return true;
}

}  // namespace kolbran
