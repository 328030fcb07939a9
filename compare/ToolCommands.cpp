#include "compare/Compare.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/Prompter.h"
#include "core/ToolRegistry.h"

#include <QSaveFile>

#include <cstring>
#include <memory>

namespace kolbran {

namespace {

int UsageError(const QString& message)
{
    ToolPrintError(QStringLiteral("kolbran-tool: ") + message);
    return 2;
}

// The listing on its way out: Shift_JIS with CR LF into a file that takes OUT's place only
// when complete, or UTF-8 with LF on standard output.
class ListingSink {
public:
    explicit ListingSink(QSaveFile* file) : file_(file) {}
    void Append(const QString& text)
    {
        pending_ += text;
        if (pending_.size() >= 64 * 1024)
            Flush();
    }
    // false when the file could not be written.
    bool Flush()
    {
        if (pending_.isEmpty())
            return ok_;
        if (file_) {
            const QByteArray bytes = Encode(pending_);
            ok_ = ok_ && file_->write(bytes) == bytes.size();
        } else {
            pending_.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            ToolPrint(pending_);
        }
        pending_.clear();
        return ok_;
    }

private:
    // Most of a listing is blanks, dashes and digits: those runs are copied, only the
    // runs of other characters go through the code-page converter.
    static QByteArray Encode(QStringView text)
    {
        // A character takes at most two bytes in Shift_JIS.
        QByteArray bytes(text.size() * 2, Qt::Uninitialized);
        char* out = bytes.data();
        qsizetype length = 0;
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n;) {
            while (i < n && text[i].unicode() < 0x80)
                out[length++] = char(text[i++].unicode());
            const qsizetype from = i;
            while (i < n && text[i].unicode() >= 0x80)
                ++i;
            if (i > from) {
                const QByteArray part = ToSjis(text.mid(from, i - from));
                std::memcpy(out + length, part.constData(), size_t(part.size()));
                length += part.size();
            }
        }
        bytes.resize(length);
        return bytes;
    }

    QSaveFile* file_;
    QString pending_;
    bool ok_ = true;
};

bool ReadNumber(const QStringList& args, qsizetype& i, QString& out)
{
    if (++i >= args.size())
        return false;
    out = args[i];
    return true;
}

int Compare(ToolContext& context)
{
    const QStringList& args = context.args;
    QStringList files;
    QString width = QString::number(kCompareWidthDefault);
    QString contextLines = QString::number(kCompareContextDefault);
    QString output;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--force")) {
            continue;
        } else if (a == QLatin1String("--width")) {
            if (!ReadNumber(args, i, width))
                return UsageError(QStringLiteral("--width needs a value"));
        } else if (a == QLatin1String("--context")) {
            if (!ReadNumber(args, i, contextLines))
                return UsageError(QStringLiteral("--context needs a value"));
        } else if (a == QLatin1String("-o")) {
            if (++i >= args.size())
                return UsageError(QStringLiteral("-o needs a file name"));
            output = args[i];
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return UsageError(QStringLiteral("unknown option ") + a);
        } else {
            files.append(a);
        }
    }
    if (files.size() != 2)
        return UsageError(QStringLiteral("OLD and NEW are needed"));
    const CompareNumbers numbers = ReadCompareNumbers(width, contextLines);
    if (!numbers.valid)
        return UsageError(QStringLiteral("--width and --context take numbers"));

    AppState& state = context.state;
    for (const QString& f : files) {
        if (!CompareSourceExists(f)) {
            state.prompter.Message(CompareMissingText(f), MsgIcon::Warning);
            return 1;
        }
    }
    std::unique_ptr<QSaveFile> out;
    if (!output.isEmpty()) {
        if (CheckSaveTarget(state, output) != SaveTarget::Allowed)
            return 1;
        out = std::make_unique<QSaveFile>(FromNativeSeparators(output));
        if (!out->open(QIODevice::WriteOnly)) {
            ReportError(state, RuntimeError(ErrorFromFileError(out->error())), 0);
            return 1;
        }
    }

    ListingSink sink(out.get());
    CompareOptions options;
    options.width = numbers.width;
    options.context = numbers.context;
    options.tabWidth = state.settings.TabWidth;
    options.diagnostics = IsDebugFlag(state.settings, 1) != 0;
    CompareHooks hooks;
    hooks.append = [&sink](const QString& text) { sink.Append(text); };
    hooks.diagnostic = [&state](const QString& text) { state.prompter.Message(text); };
    const CompareResult result = CompareFiles(files[0], files[1], options, hooks);

    if (result.failure) {
        ReportError(state, result.failure->error, 1);
        if (result.failure->phase == ComparePhase::Reading)
            state.prompter.Message(QStringLiteral("RecNum1=") + StrNumber(result.oldCount) +
                                   state.settings.LineBreak + QStringLiteral("RecNum2=") +
                                   StrNumber(result.newCount));
        return 1;
    }
    const bool written = sink.Flush();
    if (result.cut)
        state.prompter.Message(CompareLimitText(), MsgIcon::Warning, MsgButtons::Ok, kCompareLimitTitle);
    if (result.Same()) {
        // Nothing to list: OUT is left as it was.
        if (!result.cut)
            state.prompter.Message(kCompareSameText, MsgIcon::Information);
        return 0;
    }
    if (out && (!written || !out->commit())) {
        ReportError(state, RuntimeError(ErrorFromFileError(out->error())), 0);
        return 1;
    }
    return 0;
}

}  // namespace

void RegisterCompareToolCommands(ToolRegistry& registry)
{
    registry.Add({QStringLiteral("compare"),
                  QStringLiteral("compare OLD NEW [--width N] [--context N] [-o OUT] [--force]"),
                  QStringLiteral("lists the lines deleted, added and changed from OLD to NEW, as the "
                                 "file compare window does (width 42 to 120, default 72; context 5 to "
                                 "20, default 5)"),
                  Compare, false});
}

}  // namespace kolbran
