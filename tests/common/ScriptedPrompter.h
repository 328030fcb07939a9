#pragma once

#include "core/Prompter.h"
#include "core/RuntimeError.h"

#include <QList>
#include <QQueue>

namespace kolbran::test {

// Records every prompt and answers from queues. With an empty queue a message box
// answers its first button when it has only OK, otherwise its negative button
// (No / Cancel); a file dialog is cancelled; an input box returns its default.
class ScriptedPrompter final : public Prompter {
public:
    struct Prompt {
        QString kind;  // "message", "input", "open", "save", "printer"
        QString text;  // message text, input prompt, dialog title
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::Ok;
        QString title;
        FileDialogRequest request;
    };

    QList<Prompt> prompts;
    QQueue<MsgAnswer> answers;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> fileNames;  // an empty string cancels
    bool printerAnswer = true;

    MsgAnswer Message(const QString& text, MsgIcon icon, MsgButtons buttons,
                      const QString& title) override
    {
        prompts.append({QStringLiteral("message"), text, icon, buttons, title, {}});
        if (!answers.isEmpty())
            return answers.dequeue();
        switch (buttons) {
        case MsgButtons::Ok: return MsgAnswer::Ok;
        case MsgButtons::YesNo: return MsgAnswer::No;
        case MsgButtons::AbortRetryIgnore: return MsgAnswer::Abort;
        default: return MsgAnswer::Cancel;
        }
    }
    std::optional<QString> Input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override
    {
        prompts.append({QStringLiteral("input"), prompt, MsgIcon::None, MsgButtons::OkCancel,
                        title, {}});
        if (!inputs.isEmpty())
            return inputs.dequeue();
        return defaultText;
    }
    QString OpenFileName(const FileDialogRequest& request) override
    {
        return FileName(QStringLiteral("open"), request);
    }
    QString SaveFileName(const FileDialogRequest& request) override
    {
        return FileName(QStringLiteral("save"), request);
    }
    bool PrinterSetup(PrinterChoice&) override
    {
        prompts.append({QStringLiteral("printer"), {}, MsgIcon::None, MsgButtons::Ok, {}, {}});
        return printerAnswer;
    }

    // The texts of the message boxes shown so far.
    QStringList Messages() const
    {
        QStringList texts;
        for (const Prompt& p : prompts)
            if (p.kind == QLatin1String("message"))
                texts.append(p.text);
        return texts;
    }

private:
    QString FileName(const QString& kind, const FileDialogRequest& request)
    {
        prompts.append({kind, request.title, MsgIcon::None, MsgButtons::Ok, request.title, request});
        const QString name = fileNames.isEmpty() ? QString() : fileNames.dequeue();
        if (name.isEmpty())
            throw RuntimeError(Err::DialogCancelled);
        return name;
    }
};

}  // namespace kolbran::test
