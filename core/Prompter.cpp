#include "core/Prompter.h"

#include "core/RuntimeError.h"

#include <cstdio>

namespace kolbran {

QList<std::pair<QString, QString>> SplitDialogFilter(const QString& filter)
{
    QList<std::pair<QString, QString>> pairs;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        pairs.append({parts[i], parts[i + 1]});
    return pairs;
}

namespace {
void PrintToStderr(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray bytes = (t + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}
}  // namespace

MsgAnswer NonInteractivePrompter::Message(const QString& text, MsgIcon, MsgButtons buttons,
                                          const QString&)
{
    PrintToStderr(text);
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
        if (answerYes_)
            return MsgAnswer::Ok;
        ++refused_;
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        if (answerYes_)
            return MsgAnswer::Yes;
        ++refused_;
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    case MsgButtons::RetryCancel: ++refused_; return MsgAnswer::Cancel;
    case MsgButtons::AbortRetryIgnore: ++refused_; return MsgAnswer::Abort;
    }
    return MsgAnswer::Cancel;
}

std::optional<QString> NonInteractivePrompter::Input(const QString&, const QString&,
                                                     const QString& defaultText)
{
    return defaultText;
}

QString NonInteractivePrompter::OpenFileName(const FileDialogRequest&)
{
    throw RuntimeError(Err::DialogCancelled);
}

QString NonInteractivePrompter::SaveFileName(const FileDialogRequest&)
{
    throw RuntimeError(Err::DialogCancelled);
}

}  // namespace kolbran
