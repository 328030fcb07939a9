#include "core/ui/QtPrompter.h"

#include "core/RuntimeError.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace kolbran {

namespace {
QString QtFilter(const QString& filter, int index, QString* selected)
{
    QStringList entries;
    const auto pairs = SplitDialogFilter(filter);
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        QString pattern = pairs[i].second;
        pattern.replace(u';', u' ');
        const QString entry = pairs[i].first + QStringLiteral(" (") + pattern + u')';
        entries.append(entry);
        if (i + 1 == index)
            *selected = entry;
    }
    return entries.join(QStringLiteral(";;"));
}

QString InitialPath(const FileDialogRequest& r)
{
    if (r.initialFolder.isEmpty())
        return r.initialName;
    return r.initialFolder + u'/' + r.initialName;
}
}  // namespace

QWidget* QtPrompter::ActiveParent() const
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    return parent_;
}

MsgAnswer QtPrompter::Message(const QString& text, MsgIcon icon, MsgButtons buttons,
                              const QString& title)
{
    QMessageBox box(ActiveParent());
    box.setWindowTitle(title.isEmpty() ? kProgramTitle : title);
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    case MsgButtons::AbortRetryIgnore:
        box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Retry: return MsgAnswer::Retry;
    case QMessageBox::Abort: return MsgAnswer::Abort;
    case QMessageBox::Ignore: return MsgAnswer::Ignore;
    default: return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
}

std::optional<QString> QtPrompter::Input(const QString& prompt, const QString& title,
                                         const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(ActiveParent(), title.isEmpty() ? kProgramTitle : title,
                                               prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtPrompter::OpenFileName(const FileDialogRequest& request)
{
    QString selected;
    const QString filter = QtFilter(request.filter, request.filterIndex, &selected);
    const QString name = QFileDialog::getOpenFileName(ActiveParent(), request.title,
                                                      InitialPath(request), filter, &selected,
                                                      QFileDialog::DontUseNativeDialog);
    if (name.isEmpty())
        throw RuntimeError(Err::DialogCancelled);
    return name;
}

QString QtPrompter::SaveFileName(const FileDialogRequest& request)
{
    QString selected;
    const QString filter = QtFilter(request.filter, request.filterIndex, &selected);
    // The program asks its own overwrite question (CheckSaveTarget).
    const QString name = QFileDialog::getSaveFileName(
        ActiveParent(), request.title, InitialPath(request), filter, &selected,
        QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        throw RuntimeError(Err::DialogCancelled);
    return name;
}

bool QtPrompter::PrinterSetup(PrinterChoice& choice)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!choice.PrinterName.isEmpty())
        printer.setPrinterName(choice.PrinterName);
    printer.setPageOrientation(choice.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageSize(QPageSize(choice.Paper));
    printer.setPageMargins(choice.MarginsMm, QPageLayout::Millimeter);
    QPrintDialog dialog(&printer, ActiveParent());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice.PrinterName = printer.printerName();
    choice.Landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    choice.Paper = printer.pageLayout().pageSize().id();
    choice.MarginsMm = printer.pageLayout().margins(QPageLayout::Millimeter);
    return true;
}

}  // namespace kolbran
