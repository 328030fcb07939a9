#pragma once

#include "printing/PrintAttributes.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <csignal>

namespace kolbran {

struct AppState;

// What the print subcommands of kolbran-tool share.

enum class PrintOptionResult { NotMine, Taken, Bad };

// Takes args[i] when it is one of the options that set a print attribute or the header's
// date (--font NAME, --size PT, --line-numbers, --columns 1|2, --margin MM, --date
// YYYY-MM-DD), moving i past its value. Bad: `problem` says what is wrong.
PrintOptionResult TakePrintOption(const QStringList& args, qsizetype& i, PrintAttributes& attributes,
                                  QDate& date, QString* problem);

// Whether the PDF `out` may be written: an existing file only with --force (or the overwrite
// question's yes); a folder or a read-only file stays a refusal. Errors are reported.
bool PdfTargetAllowed(AppState& state, const QString& out, bool force);

// While it lives, SIGINT and SIGTERM only set a flag, so that a run stopped by a signal
// drops its temporary PDF as it unwinds.
class ToolStopSignals {
public:
    ToolStopSignals();
    ~ToolStopSignals();
    ToolStopSignals(const ToolStopSignals&) = delete;
    ToolStopSignals& operator=(const ToolStopSignals&) = delete;
    static bool Stopped();

private:
    void (*previousInt_)(int);
    void (*previousTerm_)(int);
};

}  // namespace kolbran
