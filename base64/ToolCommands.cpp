#include "base64/Base64.h"
#include "base64/Conversion.h"
#include "core/AppState.h"
#include "core/ToolRegistry.h"
#include "core/ViewerSettings.h"

namespace kolbran {

namespace {

int UsageError(const QString& message)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + message);
    return 2;
}

// FILE [-o OUT] [--force], run as the conversion dialog runs it.
int Run(ToolContext& context, ConversionType type)
{
    QString file;
    QString output;
    const QStringList& args = context.args;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--force"))
            continue;
        if (a == QLatin1String("-o")) {
            if (++i >= args.size())
                return UsageError(QStringLiteral("-o needs a file name"));
            output = args[i];
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return UsageError(QStringLiteral("unknown option ") + a);
        } else if (file.isEmpty()) {
            file = a;
        } else {
            return UsageError(QStringLiteral("one FILE only"));
        }
    }
    if (file.isEmpty())
        return UsageError(QStringLiteral("FILE is missing"));
    ConversionRequest request;
    request.type = type;
    request.source = file;
    if (output.isEmpty())
        output = type == ConversionType::EncodeBase64
                     ? DefaultEncodeName(file, IsDebugFlag(context.state.settings, 2) == 1)
                     : DefaultDecodeName(file);
    request.output = output;
    return ExecuteConversion(context.state, request).status == ConversionStatus::Done ? 0 : 1;
}

}  // namespace

void RegisterBase64ToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("base64-encode"), QStringLiteral("base64-encode FILE [-o OUT] [--force]"),
                  QStringLiteral("writes the BASE64 text of FILE"),
                  [](ToolContext& c) { return Run(c, ConversionType::EncodeBase64); }, false});
    registry.Add({QStringLiteral("base64-decode"), QStringLiteral("base64-decode FILE [-o OUT] [--force]"),
                  QStringLiteral("decodes BASE64 text"),
                  [](ToolContext& c) { return Run(c, ConversionType::DecodeBase64); }, false});
}

}  // namespace kolbran
