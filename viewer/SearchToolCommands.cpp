// kolbran-tool find: the viewer's search result list without a window.
#include "core/AppState.h"

#include <algorithm>
#include "core/Prompter.h"
#include "core/ToolRegistry.h"
#include "viewer/LineLoader.h"
#include "viewer/Search.h"
#include "viewer/ViewerHost.h"

namespace kolbran {

namespace {

constexpr int kDisplayCodes[] = {0, 1, 2, 3, 9};

int Usage(const QString& problem)
{
    ToolPrintError(QStringLiteral("kolbran-tool find: ") + problem +
                   QStringLiteral(" (usage: kolbran-tool find TEXT FILE [--case] [--code N])"));
    return 2;
}

int RunFind(ToolContext& context)
{
    QStringList positional;
    bool caseSensitive = false;
    int code = 0;
    const QStringList& args = context.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--case")) {
            caseSensitive = true;
        } else if (a == QLatin1String("--code")) {
            if (i + 1 >= args.size())
                return Usage(QStringLiteral("--code needs a value"));
            bool ok = false;
            code = args[++i].toInt(&ok);
            if (!ok || std::find(std::begin(kDisplayCodes), std::end(kDisplayCodes), code) == std::end(kDisplayCodes))
                return Usage(QStringLiteral("--code must be 0, 1, 2, 3 or 9"));
        } else if (a == QLatin1String("--force")) {
            // Nothing is written: accepted like every subcommand accepts it.
        } else if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            return Usage(QStringLiteral("unknown option ") + a);
        } else {
            positional.append(a);
        }
    }
    if (positional.size() != 2)
        return Usage(QStringLiteral("TEXT and FILE are needed"));

    AppState& state = context.state;
    ViewerHost host;
    PrOpen(state, host, positional[1]);
    if (!state.doc.HasFile())
        return 1;
    state.doc.DisplayCode = code;
    state.SearchString = positional[0];
    state.SearchCompareMode = caseSensitive ? 0 : 1;

    SearchView view;
    const SearchResults results = BuildResultList(state, view);
    QString out;
    for (size_t i = 0; i < results.lines.size(); ++i) {
        QStringView text = results.texts[qsizetype(i)];
        if (text.endsWith(QStringLiteral("\r\n")))
            text.chop(2);
        out += QString::number(results.lines[i]);
        out += u'\t';
        out += text;
        out += u'\n';
    }
    out += results.heading + u'\n';
    ToolPrint(out);
    return 0;
}

}  // namespace

void RegisterSearchToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("find"), QStringLiteral("find TEXT FILE [--case] [--code N]"),
                  QStringLiteral("the viewer's search result list for TEXT: line number, tab, line text; "
                                 "then the heading"),
                  RunFind, false});
}

}  // namespace kolbran
