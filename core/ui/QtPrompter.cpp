#include "core/ui/QtPrompter.h"

#include "core/RuntimeError.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QTranslator>
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
        // A description that already names its pattern ("ﾀﾞﾝﾌﾟ(*.DMP)") is shown once.
        const QString& text = pairs[i].first;
        const QString entry = text.endsWith(u'(' + pattern + u')')
                                  ? text
                                  : text + QStringLiteral(" (") + pattern + u')';
        entries.append(entry);
        if (i + 1 == index)
            *selected = entry;
    }
    return entries.join(QStringLiteral(";;"));
}

QString InitialPath(const FileDialogRequest& r);

// The dialog proposes the caller's name whatever type is chosen: Qt's own habit of giving
// the name the chosen filter's extension would turn "p70.B" into "p70.*".
void KeepProposedName(QFileDialog& dialog, const QString& proposed)
{
    auto install = [&dialog, proposed] {
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!combo || !edit)
            return;
        if (!proposed.isEmpty() && edit->text() != proposed)
            edit->setText(proposed);
        auto* saved = new QString;
        QObject::connect(edit, &QObject::destroyed, [saved] { delete saved; });
        // The index changes before the dialog's own reaction to the choice, which comes on
        // `activated`; ours is connected after it, so it puts the name back.
        QObject::connect(combo, &QComboBox::currentIndexChanged, edit, [saved, edit] { *saved = edit->text(); });
        QObject::connect(combo, &QComboBox::activated, edit, [saved, edit] {
            if (edit->text() != *saved)
                edit->setText(*saved);
        });
    };
    // Qt builds the dialog's own controls at once, or (with a platform dialog available)
    // only when it is shown.
    if (dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        install();
    else
        QTimer::singleShot(0, &dialog, install);
}

QString RunFileDialog(QWidget* parent, const FileDialogRequest& request, bool save)
{
    QString selected;
    const QString filter = QtFilter(request.filter, request.filterIndex, &selected);
    QFileDialog dialog(parent, request.title, request.initialFolder, filter);
    dialog.setObjectName(QStringLiteral("QtPrompterFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The program asks its own overwrite question (CheckSaveTarget).
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!selected.isEmpty())
        dialog.selectNameFilter(selected);
    // After the filter, so that the filter's extension does not replace the caller's.
    if (!request.initialName.isEmpty())
        dialog.selectFile(InitialPath(request));
    if (save)
        KeepProposedName(dialog, QFileInfo(request.initialName).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        throw RuntimeError(Err::DialogCancelled);
    const QString name = dialog.selectedFiles().constFirst();
    if (name.isEmpty())
        throw RuntimeError(Err::DialogCancelled);
    return name;
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
    SetJapaneseButtonTexts(box);
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
    return RunFileDialog(ActiveParent(), request, false);
}

QString QtPrompter::SaveFileName(const FileDialogRequest& request)
{
    return RunFileDialog(ActiveParent(), request, true);
}

void SetJapaneseButtonTexts(QMessageBox& box)
{
    const std::pair<QMessageBox::StandardButton, const char16_t*> texts[] = {
        {QMessageBox::Ok, u"OK"},           {QMessageBox::Cancel, u"キャンセル"},
        {QMessageBox::Yes, u"はい(&Y)"},    {QMessageBox::No, u"いいえ(&N)"},
        {QMessageBox::Retry, u"再試行(&R)"}, {QMessageBox::Abort, u"中止(&A)"},
        {QMessageBox::Ignore, u"無視(&I)"}};
    for (const auto& [which, text] : texts)
        if (QAbstractButton* b = box.button(which))
            b->setText(QString::fromUtf16(text));
}

bool InstallQtJapaneseTranslation(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_ja"), folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
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
