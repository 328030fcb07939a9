#include "printing/PrintToolOptions.h"

#include "core/Guards.h"
#include "core/RuntimeError.h"

#include <QFileInfo>

#include <optional>

namespace kolbran {

namespace {

std::optional<qint64> Whole(const QString& text)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

volatile std::sig_atomic_t gStopped = 0;
extern "C" void OnStopSignal(int)
{
    gStopped = 1;
}

}  // namespace

PrintOptionResult TakePrintOption(const QStringList& args, qsizetype& i, PrintAttributes& a, QDate& date,
                                  QString* problem)
{
    const QString& arg = args[i];
    auto bad = [&](const QString& why) {
        if (problem)
            *problem = why;
        return PrintOptionResult::Bad;
    };
    if (arg == QLatin1String("--line-numbers")) {
        a.LineNumbers = true;
        return PrintOptionResult::Taken;
    }
    static const QStringList valued{"--font", "--size", "--columns", "--margin", "--date"};
    if (!valued.contains(arg))
        return PrintOptionResult::NotMine;
    if (i + 1 >= args.size())
        return bad(arg + QStringLiteral(" needs a value"));
    const QString v = args[++i];
    const std::optional<qint64> n = Whole(v);
    if (arg == QLatin1String("--font")) {
        if (v.trimmed().isEmpty())
            return bad(QStringLiteral("--font needs a name"));
        a.FontName = v;
    } else if (arg == QLatin1String("--size")) {
        if (!PrintSizeValue(v))
            return bad(QStringLiteral("--size must be a number above 0"));
        a.FontSize = v;
    } else if (arg == QLatin1String("--columns")) {
        if (!n || (*n != 1 && *n != 2))
            return bad(QStringLiteral("--columns must be 1 or 2"));
        a.OneColumn = *n == 1;
    } else if (arg == QLatin1String("--margin")) {
        if (!n || *n < 0 || *n > 99)
            return bad(QStringLiteral("--margin must be from 0 to 99"));
        a.LeftMarginMm = int(*n);
    } else {
        date = QDate::fromString(v, QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
            return bad(QStringLiteral("--date must be YYYY-MM-DD"));
    }
    return PrintOptionResult::Taken;
}

bool PdfTargetAllowed(AppState& state, const QString& out, bool force)
{
    // With --force the new PDF replaces the old one only once it is complete.
    const QFileInfo target(out);
    try {
        if (target.exists() && (!force || target.isDir() || !target.isWritable()) &&
            CheckSaveTarget(state, out) != SaveTarget::Allowed)
            return false;
    } catch (const RuntimeError& e) {
        ReportError(state, e, 0);
        return false;
    }
    return true;
}

ToolStopSignals::ToolStopSignals()
{
    gStopped = 0;
    previousInt_ = std::signal(SIGINT, OnStopSignal);
    previousTerm_ = std::signal(SIGTERM, OnStopSignal);
}

ToolStopSignals::~ToolStopSignals()
{
    std::signal(SIGINT, previousInt_);
    std::signal(SIGTERM, previousTerm_);
}

bool ToolStopSignals::Stopped()
{
    return gStopped != 0;
}

}  // namespace kolbran
