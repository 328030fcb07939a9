#include "compare/ui/COMP.h"

#include "compare/Compare.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/Settings.h"
#include "core/ui/FileDrop.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace kolbran {

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

const QString kFilter = QStringLiteral(u"ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*");
constexpr int kBarScale = 1000;
constexpr int kDesignHeight = 330;

QString BarStyle(int paletteIndex)
{
    return QStringLiteral("QProgressBar { border: 1px inset gray; background: white; }"
                          "QProgressBar::chunk { background: %1; }")
        .arg(PaletteColor(paletteIndex).name());
}

}  // namespace

COMP::COMP(AppState& state, QWidget* parent)
    : RunDialog(state, parent),
      state_(state),
      Label1(Named(new QLabel(QStringLiteral(u"旧ﾌｧｲﾙ名(&O)："), this), "Label1")),
      Text1(Named(new QLineEdit(this), "Text1")),
      Command1(Named(new QPushButton(QStringLiteral(u"旧ﾌｧｲﾙを選択(&1)..."), this), "Command1")),
      Label2(Named(new QLabel(QStringLiteral(u"新ﾌｧｲﾙ名(&N)："), this), "Label2")),
      Text2(Named(new QLineEdit(this), "Text2")),
      Command3(Named(new QPushButton(QStringLiteral(u"新ﾌｧｲﾙを選択(&2)..."), this), "Command3")),
      Label3_0(Named(new QLabel(QStringLiteral(u"前後の行数(&L)："), this), "Label3_0")),
      Text4(Named(new QLineEdit(this), "Text4")),
      Label3_1(Named(new QLabel(QStringLiteral(u"表示する文字数(&C)："), this), "Label3_1")),
      Text5(Named(new QLineEdit(this), "Text5")),
      Command4(Named(new QPushButton(QStringLiteral(u"実　行"), this), "Command4")),
      Command5(Named(new QPushButton(QStringLiteral(u"名前を付けて保存(&A)..."), this), "Command5")),
      Command2(Named(new QPushButton(QStringLiteral(u"閉じる(&X)"), this), "Command2")),
      Picture1(Named(new QProgressBar(this), "Picture1")),
      Shinchoku(Named(new QLabel(this), "Shinchoku")),
      Text3(Named(new QPlainTextEdit(this), "Text3"))
{
    setObjectName(QStringLiteral("COMP"));
    setWindowTitle(QStringLiteral(u"ﾌｧｲﾙ ｺﾝﾍﾟｱ"));
    setModal(true);

    Label1->setBuddy(Text1);
    Label2->setBuddy(Text2);
    Label3_0->setBuddy(Text4);
    Label3_1->setBuddy(Text5);
    Text4->setMaximumWidth(60);
    Text5->setMaximumWidth(60);

    auto* names = new QGridLayout;
    names->addWidget(Label1, 0, 0);
    names->addWidget(Text1, 0, 1);
    names->addWidget(Command1, 0, 2);
    names->addWidget(Label2, 1, 0);
    names->addWidget(Text2, 1, 1);
    names->addWidget(Command3, 1, 2);
    names->setColumnStretch(1, 1);

    auto* settingsRow = new QHBoxLayout;
    settingsRow->addWidget(Label3_0);
    settingsRow->addWidget(Text4);
    settingsRow->addSpacing(16);
    settingsRow->addWidget(Label3_1);
    settingsRow->addWidget(Text5);
    settingsRow->addSpacing(16);
    settingsRow->addWidget(Picture1, 1);
    settingsRow->addWidget(Shinchoku);
    settingsRow->addStretch();
    settingsRow->addWidget(Command4);
    settingsRow->addWidget(Command5);
    settingsRow->addWidget(Command2);

    Picture1->setRange(0, kBarScale);
    Picture1->setTextVisible(false);
    Picture1->setMinimumWidth(200);
    Picture1->setVisible(false);
    Shinchoku->setMinimumWidth(160);
    Shinchoku->setVisible(false);

    // The listing lines up only in a fixed-pitch font.
    QFont font(QStringLiteral(u"ＭＳ ゴシック"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    Text3->setFont(font);
    Text3->setReadOnly(true);
    Text3->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(names);
    layout->addLayout(settingsRow);
    layout->addWidget(Text3, 1);

    AcceptFileDrops(Text1);
    AcceptFileDrops(Text2);
    Command4->setDefault(true);

    connect(Command1, &QPushButton::clicked, this, &COMP::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &COMP::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &COMP::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &COMP::Command5_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::close);

    // Form_Load: twice the design height, 90 % of the screen width; the default numbers.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    resize(screenWidth * 9 / 10, kDesignHeight * 2);
    Text4->setText(QString::number(kCompareContextDefault));
    Text5->setText(QString::number(kCompareWidthDefault));
}

void COMP::Browse(QLineEdit* box, const QString& title)
{
    FileDialogRequest request;
    request.title = title;
    request.filter = kFilter;
    const QString folder = QDir::currentPath();
    try {
        box->setText(state_.prompter.OpenFileName(request));
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
    QDir::setCurrent(folder);
}

void COMP::Command1_Click()
{
    Browse(Text1, QStringLiteral(u"旧ファイル名"));
}

void COMP::Command3_Click()
{
    Browse(Text2, QStringLiteral(u"新ファイル名"));
}

void COMP::Command4_Click()
{
    if (Running()) {
        // The running compare ends at its next step.
        state_.BusyFlag = false;
        YieldToEventLoopNow();
        return;
    }
    Run();
    CloseIfAsked();
}

void COMP::Run()
{
    const CompareNumbers numbers = ReadCompareNumbers(Text5->text(), Text4->text());
    if (numbers.contextRewritten)
        Text4->setText(QString::number(numbers.context));
    if (numbers.widthRewritten)
        Text5->setText(QString::number(numbers.width));

    const QString oldPath = Text1->text();
    const QString newPath = Text2->text();
    QString refusal;
    if (oldPath.isEmpty())
        refusal = QStringLiteral(u"旧ファイルが指定されていません。");
    else if (newPath.isEmpty())
        refusal = QStringLiteral(u"新ファイルが指定されていません。");
    else if (!CompareSourceExists(oldPath))
        refusal = CompareMissingText(oldPath);
    else if (!CompareSourceExists(newPath))
        refusal = CompareMissingText(newPath);
    if (!refusal.isEmpty()) {
        state_.prompter.Message(refusal, MsgIcon::Warning);
        return;
    }

    listing_.clear();
    pending_.clear();
    Text3->clear();
    SetRunning(true);
    state_.BusyFlag = true;

    CompareOptions options;
    options.width = numbers.width;
    options.context = numbers.context;
    options.tabWidth = state_.settings.TabWidth;
    options.diagnostics = IsDebugFlag(state_.settings, 1) != 0;
    CompareHooks hooks;
    hooks.step = [this](ComparePhase phase, qint64 done, qint64 total) { return Step(phase, done, total); };
    hooks.append = [this](const QString& text) { pending_ += text; };
    hooks.diagnostic = [this](const QString& text) { state_.prompter.Message(text); };
    const CompareResult result = CompareFiles(oldPath, newPath, options, hooks);
    FlushListing();

    SetRunning(false);
    state_.BusyFlag = false;

    if (result.failure) {
        ReportError(state_, result.failure->error, 1);
        if (result.failure->phase == ComparePhase::Reading)
            state_.prompter.Message(QStringLiteral("RecNum1=") + StrNumber(result.oldCount) +
                                    state_.settings.LineBreak + QStringLiteral("RecNum2=") +
                                    StrNumber(result.newCount));
        if (IsDebugFlag(state_.settings, 0))
            state_.prompter.Message(FormatCount(result.failure->record) +
                                    QStringLiteral(u"レコードまで処理しました。") +
                                    state_.settings.LineBreak + result.failure->procedure);
        return;
    }
    if (result.cancelled)
        return;
    if (result.Same()) {
        listing_.clear();
        Text3->clear();
        // A file cut at the limit is not called the same: only the limit message follows.
        if (!result.cut)
            state_.prompter.Message(kCompareSameText, MsgIcon::Information);
    } else {
        QTextCursor cursor = Text3->textCursor();
        cursor.movePosition(QTextCursor::Start);
        Text3->setTextCursor(cursor);
    }
    if (result.cut)
        state_.prompter.Message(CompareLimitText(), MsgIcon::Warning, MsgButtons::Ok, kCompareLimitTitle);
}

bool COMP::Step(ComparePhase phase, qint64 done, qint64 total)
{
    // The bar and the list change only when the shown value does, so that a step per line
    // costs next to nothing.
    const int phaseIndex = int(phase);
    const int value = total > 0 ? int(std::clamp<qint64>(done, 0, total) * kBarScale / total) : 0;
    // A long block at one value still shows as it grows.
    if (pending_.size() >= 256 * 1024)
        FlushListing();
    if (phaseIndex != shownPhase_ || value != shownValue_) {
        if (phaseIndex != shownPhase_) {
            shownPhase_ = phaseIndex;
            if (phase != ComparePhase::Reading) {
                Shinchoku->setStyleSheet(QString());
                Picture1->setStyleSheet(BarStyle(phase == ComparePhase::Matching ? 9 : 1));
                Picture1->setValue(0);
                Picture1->setVisible(true);
            }
        }
        shownValue_ = value;
        if (phase != ComparePhase::Reading) {
            const QString percent = FormatPercent(total > 0 ? double(done) / double(total) : 0.0);
            Shinchoku->setText(percent);
            if (IsDebugFlag(state_.settings, 1)) {
                Picture1->setTextVisible(true);
                Picture1->setFormat(percent);
            }
            Picture1->setValue(value);
        }
        FlushListing();
    }
    YieldToEventLoop();
    return state_.BusyFlag;
}

void COMP::FlushListing()
{
    if (pending_.isEmpty())
        return;
    QScrollBar* bar = Text3->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(Text3->document());
    cursor.movePosition(QTextCursor::End);
    // The box breaks lines at LF; CR LF stays CR LF in the listing that is saved.
    QString shown = pending_;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    cursor.insertText(shown);
    if (atEnd)
        bar->setValue(bar->maximum());
    listing_ += pending_;
    pending_.clear();
}

void COMP::SetRunning(bool running)
{
    SetRunGoing(running);
    Command4->setText(running ? QStringLiteral(u"ｷｬﾝｾﾙ") : QStringLiteral(u"実　行"));
    for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2),
                       static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command3),
                       static_cast<QWidget*>(Label3_0), static_cast<QWidget*>(Text4),
                       static_cast<QWidget*>(Label3_1), static_cast<QWidget*>(Text5),
                       static_cast<QWidget*>(Command5), static_cast<QWidget*>(Command2)})
        w->setEnabled(!running);
    Shinchoku->setVisible(running);
    shownPhase_ = shownValue_ = -1;
    if (running) {
        Picture1->setTextVisible(false);
        Picture1->setValue(0);
        // The tables of both files are built first.
        shownPhase_ = int(ComparePhase::Reading);
        Shinchoku->setStyleSheet(QStringLiteral("color: red;"));
        Shinchoku->setText(QStringLiteral(u"　データの読み込み中"));
    } else {
        Picture1->setVisible(false);
        Shinchoku->clear();
    }
    if (running)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void COMP::Command5_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral(u"名前を付けて保存");
    request.filter = kFilter;
    request.initialName = QStringLiteral("*.txt");
    const QString folder = QDir::currentPath();
    try {
        const QString path = state_.prompter.SaveFileName(request);
        QDir::setCurrent(folder);
        if (CheckSaveTarget(state_, path) != SaveTarget::Allowed)
            return;
        // A failed write keeps the old file.
        QSaveFile file(FromNativeSeparators(path));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw RuntimeError(ErrorFromFileError(file.error()));
        const QByteArray bytes = ToSjis(listing_);
        if (file.write(bytes) != bytes.size() || !file.commit())
            throw RuntimeError(ErrorFromFileError(file.error()));
    } catch (const RuntimeError& e) {
        QDir::setCurrent(folder);
        ReportError(state_, e, 0);
    }
}



}  // namespace kolbran
