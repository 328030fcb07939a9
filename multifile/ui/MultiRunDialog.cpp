#include "multifile/ui/MultiRunDialog.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/Guards.h"
#include "core/LongRun.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "core/Settings.h"
#include "core/ui/DriveList.h"
#include "core/ui/FileList.h"
#include "core/ui/FolderList.h"
#include "multifile/ui/FileSetControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kolbran {

namespace {

constexpr int kBarScale = 1000;
const QString kReading = QStringLiteral(u"　ファイルを読み込み中です。");

}  // namespace

MultiRunDialog::MultiRunDialog(AppState& state, FileSetUse use, int patternIndex, const QString& caption,
                               const QString& checkCaption, QWidget* parent)
    : RunDialog(state, parent), state_(state), session_(state, parent)
{
    setWindowTitle(caption);
    Sets = new FileSetControls(state, use, patternIndex, this);
    Sets->setObjectName(QStringLiteral("FileSet"));
    Check1 = new QCheckBox(checkCaption, this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Command1 = new QPushButton(QStringLiteral(u"実行"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral(u"閉じる(&X)"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label3 = new QLabel(QStringLiteral("0 / 0"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Picture1 = new QProgressBar(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setRange(0, kBarScale);
    Picture1->setStyleSheet(QStringLiteral("QProgressBar { border: 1px inset gray; background: white; color: black; }"
                                           "QProgressBar::chunk { background: %1; }")
                                .arg(PaletteColor(1).name()));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Picture1->setTextVisible(false);
    Picture1->setVisible(false);

    options_ = new QGridLayout;
    auto* right = new QVBoxLayout;
    right->addLayout(options_);
    right->addWidget(Check1);
    right->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    right->addLayout(buttons);

    auto* top = new QHBoxLayout;
    top->addWidget(Sets, 3);
    top->addLayout(right, 2);
    auto* status = new QHBoxLayout;
    status->addWidget(Label1, 1);
    status->addWidget(Label3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(status);
    layout->addWidget(Picture1);
    resize(560, 420);

    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

MultiRunDialog::~MultiRunDialog()
{
    session_.Finish();
}

bool MultiRunDialog::RunOverSelection(const QList<QWidget*>& extra,
                                      const std::function<QString(const QString& name)>& question,
                                      const std::function<void(const QString& name, const QString& path)>& one)
{
    if (Running() || Sets->AllNames().isEmpty())
        return false;
    const QStringList names = Sets->SelectedNames();
    const QString folder = Sets->Folder();
    const int total = int(names.size());
    bool completed = false;
    session_.StopTimer();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        LongRun going(state_);
        // Closing stays: it cancels the run.
        for (QWidget* w : {static_cast<QWidget*>(Command1), static_cast<QWidget*>(Check1),
                           static_cast<QWidget*>(Sets->Drive1), static_cast<QWidget*>(Sets->Dir1),
                           static_cast<QWidget*>(Sets->Combo1), static_cast<QWidget*>(Sets->File1)})
            going.Disable(w);
        for (QWidget* w : extra)
            going.Disable(w);
        SetRunGoing(true);
        Picture1->setVisible(true);
        Label3->setVisible(true);
        int n = 0;
        for (const QString& name : names) {
            if (!going.Going())
                break;
            Label1->setText(name);
            shown_ = -1;
            Picture1->setValue(0);
            Picture1->setFormat(kReading);
            Picture1->setTextVisible(true);
            ++n;
            Label3->setText(StrNumber(n) + QStringLiteral(" /") + StrNumber(total));
            YieldToEventLoopNow();
            if (!going.Going())
                break;
            if (Check1->isChecked() &&
                state_.prompter.Message(question(name), MsgIcon::Question, MsgButtons::OkCancel) != MsgAnswer::Ok)
                continue;  // this file stays as it is
            try {
                one(name, QDir(folder).filePath(name));
            } catch (const RuntimeError& e) {
                // One file's failure is reported; the run goes on with the next file.
                if (going.Going())
                    ReportError(state_, e, 0);
            }
        }
        completed = going.Going();
        SetRunGoing(false);
        Picture1->setVisible(false);
        Picture1->setTextVisible(false);
        Label1->clear();
    }
    QApplication::restoreOverrideCursor();
    session_.RestoreTimer();
    CloseIfAsked();
    return completed;
}

bool MultiRunDialog::Step(int64_t done, int64_t total)
{
    const int value = total > 0 ? int(std::clamp<int64_t>(done, 0, total) * kBarScale / total) : kBarScale;
    if (value != shown_) {
        shown_ = value;
        if (Picture1->isTextVisible())
            Picture1->setTextVisible(false);
        Picture1->setValue(value);
    }
    YieldToEventLoop();
    return state_.BusyFlag;
}

void MultiRunDialog::Closing()
{
    session_.Finish();
}

}  // namespace kolbran
