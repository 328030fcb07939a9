#pragma once

#include <QDialog>

class QCloseEvent;
class QPushButton;
class QString;

namespace kolbran {

// A dialog that stays open beside the main window. Escape closes it the way its close
// button does, so that its closeEvent decides (and may refuse) in both cases.
class ModelessDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void reject() override;
    // Ends a closeEvent that lets the dialog close: QDialog's own handling, which hides it
    // through reject().
    void AcceptClose(QCloseEvent* event);
    // A button named `name` (its objectName) that Enter in another control does not press.
    QPushButton* MakeButton(const char* name, const QString& caption);

private:
    bool closing_ = false;
};

}  // namespace kolbran
