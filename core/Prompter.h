#pragma once

#include "core/PrinterChoice.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kolbran {

enum class MsgIcon { None, Information, Question, Warning, Critical };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// The program's title, shown on message boxes that name no title of their own.
inline const QString kProgramTitle = QStringLiteral("Kolbran");

// An open or save box. `filter` is "text|pattern|text|pattern…"; `filterIndex` is 1-based.
struct FileDialogRequest {
    QString title;
    QString filter;
    int filterIndex = 1;
    QString initialName;
    QString initialFolder;
};

// Every question the program asks goes through here, so that logic and windows
// are tested without a screen. A cancelled file dialog throws RuntimeError(32755).
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual MsgAnswer Message(const QString& text, MsgIcon icon = MsgIcon::None,
                              MsgButtons buttons = MsgButtons::Ok, const QString& title = {}) = 0;
    // std::nullopt when the user cancels.
    virtual std::optional<QString> Input(const QString& prompt, const QString& title = {},
                                         const QString& defaultText = {}) = 0;
    virtual QString OpenFileName(const FileDialogRequest& request) = 0;
    virtual QString SaveFileName(const FileDialogRequest& request) = 0;
    // Edits the shared printer choice; true when the user confirmed it.
    virtual bool PrinterSetup(PrinterChoice& choice) = 0;
};

// Splits "text|pattern|text|pattern" into (text, pattern) pairs.
QList<std::pair<QString, QString>> SplitDialogFilter(const QString& filter);

// kolbran-tool: messages go to standard error in UTF-8; questions are answered
// without asking (yes only when `answerYes`, i.e. --force), dialogs cancel.
class NonInteractivePrompter final : public Prompter {
public:
    explicit NonInteractivePrompter(bool answerYes = false) : answerYes_(answerYes) {}
    MsgAnswer Message(const QString& text, MsgIcon icon, MsgButtons buttons,
                      const QString& title) override;
    std::optional<QString> Input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString OpenFileName(const FileDialogRequest& request) override;
    QString SaveFileName(const FileDialogRequest& request) override;
    bool PrinterSetup(PrinterChoice&) override { return true; }

    void SetAnswerYes(bool yes) { answerYes_ = yes; }
    // Counts the questions that were refused (answered No/Cancel).
    int RefusedQuestions() const { return refused_; }

private:
    bool answerYes_;
    int refused_ = 0;
};

}  // namespace kolbran
