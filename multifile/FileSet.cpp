#include "multifile/FileSet.h"

#include "core/Numbers.h"

namespace kolbran {

bool RewritesFiles(FileSetUse use)
{
    return use == FileSetUse::Convert || use == FileSetUse::Replace || use == FileSetUse::DeleteLines;
}

AttributeFilter FileSetFilter(FileSetUse use)
{
    AttributeFilter filter;
    filter.normal = filter.archive = filter.hidden = filter.system = true;
    filter.readOnly = !RewritesFiles(use);
    return filter;
}

QStringList FileSetPatterns(FileSetUse use)
{
    if (use == FileSetUse::Search)
        return {QStringLiteral("*.txt"), QStringLiteral("*.htm"), QStringLiteral("*.*")};
    return {QStringLiteral("*.txt"), QStringLiteral("*.htm"), QStringLiteral("*.csv"), QStringLiteral("*.c"),
            QStringLiteral("*.*")};
}

QString FileSetCountText(qsizetype count)
{
    return QStringLiteral(u"対象ﾌｧｲﾙ数:") + StrNumber(qint64(count));
}

QStringList FileSetNames(const QString& folder, const QString& pattern, FileSetUse use)
{
    QStringList names;
    for (const FileEntry& e : ListFiles(folder, pattern, FileSetFilter(use)))
        names.append(e.name);
    return names;
}

QStringList ChooseFromSet(const QStringList& listed, const QStringList& chosen, QStringList* unlisted)
{
    if (chosen.isEmpty())
        return listed;
    QStringList out;
    for (const QString& name : listed)
        if (chosen.contains(name))
            out.append(name);
    if (unlisted != nullptr)
        for (const QString& name : chosen)
            if (!listed.contains(name) && !unlisted->contains(name))
                unlisted->append(name);
    return out;
}

}  // namespace kolbran
