#pragma once

#include "core/Prompter.h"

class QCoreApplication;
class QMessageBox;
class QWidget;

namespace kolbran {

// The Prompter of the running program: Qt message boxes and file dialogs.
class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    MsgAnswer Message(const QString& text, MsgIcon icon, MsgButtons buttons,
                      const QString& title) override;
    std::optional<QString> Input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString OpenFileName(const FileDialogRequest& request) override;
    QString SaveFileName(const FileDialogRequest& request) override;
    bool PrinterSetup(PrinterChoice& choice) override;

private:
    QWidget* ActiveParent() const;
    QWidget* parent_;
};

// Gives a message box's standard buttons their Japanese texts (はい, いいえ, キャンセル, OK…),
// whatever the process locale.
void SetJapaneseButtonTexts(QMessageBox& box);
// Loads Qt's own Japanese texts (the file dialogs' labels and buttons) from Qt's
// translations folder; false when the file is missing.
bool InstallQtJapaneseTranslation(QCoreApplication& app);

}  // namespace kolbran
