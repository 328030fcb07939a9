#include "core/ToolRegistry.h"

#include <cstdio>

namespace kolbran {

namespace {
void Write(FILE* stream, const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray bytes = t.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}
}  // namespace

void ToolPrint(const QString& text)
{
    Write(stdout, text);
}

void ToolPrintError(const QString& text)
{
    Write(stderr, text.endsWith(u'\n') ? text : text + u'\n');
    std::fflush(stderr);
}

}  // namespace kolbran
