#include "core/ui/ModelessDialog.h"

#include <QCloseEvent>
#include <QPushButton>

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

QPushButton* ModelessDialog::MakeButton(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace kolbran
