#include "core/ui/ModelessDialog.h"

#include <QCloseEvent>

namespace kolbran {

void ModelessDialog::reject()
{
    // close() comes back here through QDialog's own close handling: that call rejects.
    if (closing_) {
        QDialog::reject();
        return;
    }
    closing_ = true;
    close();
    closing_ = false;
}

void ModelessDialog::AcceptClose(QCloseEvent* event)
{
    closing_ = true;
    QDialog::closeEvent(event);
    closing_ = false;
}

}  // namespace kolbran
