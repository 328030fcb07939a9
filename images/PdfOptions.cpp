#include "images/PdfOptions.h"

#include "core/Numbers.h"

namespace kolbran {

int TakePdfOption(const QStringList& args, qsizetype& i, PdfPageOptions& options, QString& error)
{
    const QString& a = args[i];
    auto value = [&](QString& out) {
        if (i + 1 >= args.size()) {
            error = a + QStringLiteral(" needs a value");
            return false;
        }
        out = args[++i];
        return true;
    };
    QString v;
    if (a == QLatin1String("-o"))
        return value(options.output) ? 1 : -1;
    if (a == QLatin1String("--landscape")) {
        options.landscape = true;
        return 1;
    }
    if (a == QLatin1String("--margin")) {
        if (!value(v))
            return -1;
        if (!IsNumeric(v) || Val(v) < 0 || Val(v) > 100) {
            error = QStringLiteral("--margin takes 0 to 100 (mm)");
            return -1;
        }
        options.marginMm = Val(v);
        return 1;
    }
    if (a == QLatin1String("--paper-size")) {
        if (!value(v))
            return -1;
        for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
            const auto pageId = QPageSize::PageSizeId(id);
            if (QPageSize::key(pageId).compare(v, Qt::CaseInsensitive) == 0 ||
                QPageSize::name(pageId).compare(v, Qt::CaseInsensitive) == 0) {
                options.paper = pageId;
                return 1;
            }
        }
        error = QStringLiteral("unknown paper size ") + v;
        return -1;
    }
    return 0;
}

PrinterChoice PdfChoiceOf(const PdfPageOptions& options, int resolution)
{
    PrinterChoice choice;
    choice.Paper = options.paper;
    choice.Landscape = options.landscape;
    choice.MarginsMm = QMarginsF(options.marginMm, options.marginMm, options.marginMm, options.marginMm);
    choice.PdfResolution = resolution;
    return choice;
}

}  // namespace kolbran
