#include "multifile/ui/MltChiK.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/Guards.h"
#include "core/LongRun.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "multifile/MultiReplace.h"
#include "multifile/ui/FileSetControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include <new>

namespace kolbran {

namespace {

constexpr int kBarScale = 1000;

template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The hourglass while one file is processed, taken back on every way out.
class Hourglass {
public:
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

}  // namespace

MltChiK::MltChiK(AppState& state, QWidget* parent) : RunDialog(state, parent), state_(state), session_(state, parent)
{
    setObjectName(QStringLiteral("MltChiK"));
    setWindowTitle(QStringLiteral(u"複数ファイル文字列置換"));
    setModal(true);

    Sets = new FileSetControls(state_, FileSetUse::Replace, state_.MltChiKPatternIndex, this);

    TabStrip1 = Named(new QTabBar(this), "TabStrip1");
    TabStrip1->addTab(QStringLiteral(u"文字列置換"));
    TabStrip1->addTab(QStringLiteral(u"パターン置換"));
    TabStrip1->setExpanding(false);

    pages_ = new QStackedWidget(this);
    auto* stringPage = new QWidget(pages_);
    auto* stringLayout = new QGridLayout(stringPage);
    for (int i = 0; i < 2; ++i) {
        Text1[i] = new QLineEdit(stringPage);
        Text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        Text1[i]->setMinimumWidth(260);
        auto* label = new QLabel(i == 0 ? QStringLiteral(u"置換前(&A)") : QStringLiteral(u"置換後(&B)"), stringPage);
        label->setBuddy(Text1[i]);
        stringLayout->addWidget(label, i, 0);
        stringLayout->addWidget(Text1[i], i, 1);
    }
    Text1[0]->setText(state_.MltChiKFrom);
    Text1[1]->setText(state_.MltChiKTo);
    auto* patternPage = new QWidget(pages_);
    auto* patternLayout = new QHBoxLayout(patternPage);
    Combo2 = Named(new QComboBox(patternPage), "Combo2");
    Combo2->addItems({QStringLiteral(u"半角カナを全角に"), QStringLiteral(u"半角英文字を全角に")});
    auto* patternLabel = new QLabel(QStringLiteral(u"ﾊﾟﾀｰﾝ(&P)"), patternPage);
    patternLabel->setBuddy(Combo2);
    patternLayout->addWidget(patternLabel);
    patternLayout->addWidget(Combo2, 1);
    pages_->addWidget(stringPage);
    pages_->addWidget(patternPage);

    Check1 = Named(new QCheckBox(QStringLiteral(u"１ﾌｧｲﾙづつ確認する(&C)"), this), "Check1");
    Command1 = Named(new QPushButton(QStringLiteral(u"実　行"), this), "Command1");
    Command1->setAutoDefault(false);
    Label1 = Named(new QLabel(this), "Label1");
    Label3 = Named(new QLabel(QStringLiteral("0 / 0"), this), "Label3");
    Picture1 = Named(new QProgressBar(this), "Picture1");
    Picture1->setRange(0, kBarScale);
    Picture1->setTextVisible(false);
    Picture1->setStyleSheet(QStringLiteral("QProgressBar { border: 1px inset gray; background: white; }"
                                           "QProgressBar::chunk { background: #000080; }"));
    Text2 = Named(new QPlainTextEdit(this), "Text2");
    Text2->setReadOnly(true);
    Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* logLabel = new QLabel(QStringLiteral(u"実行結果(&J)"), this);
    logLabel->setBuddy(Text2);

    auto* right = new QVBoxLayout;
    right->addWidget(TabStrip1);
    right->addWidget(pages_);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(Check1);
    runRow->addStretch();
    runRow->addWidget(Command1);
    right->addLayout(runRow);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(Label1, 1);
    progressRow->addWidget(Label3);
    right->addLayout(progressRow);
    right->addWidget(Picture1);
    right->addWidget(logLabel);
    right->addWidget(Text2, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Sets, 2);
    layout->addLayout(right, 3);
    resize(820, 560);
    SetProgressVisible(false);

    connect(TabStrip1, &QTabBar::currentChanged, this, &MltChiK::TabStrip1_Click);
    connect(Combo2, &QComboBox::currentIndexChanged, this, &MltChiK::Combo2_Click);
    connect(Command1, &QPushButton::clicked, this, &MltChiK::Command1_Click);
}

MltChiK::~MltChiK()
{
    session_.Finish();
}

void MltChiK::TabStrip1_Click(int index)
{
    pages_->setCurrentIndex(index);
    mode_ = index == 0 ? ReplaceMode::String : Combo2->currentIndex() + 1;
}

void MltChiK::Combo2_Click(int index)
{
    if (index >= 0)
        mode_ = index + 1;
}

void MltChiK::SetProgressVisible(bool visible)
{
    Label1->setVisible(visible);
    Label3->setVisible(visible);
    Picture1->setVisible(visible);
}

void MltChiK::AppendLog(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QTextCursor cursor(Text2->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown);
    Text2->setTextCursor(cursor);
    Text2->ensureCursorVisible();
}

bool MltChiK::Step(int64_t done, int64_t total)
{
    Picture1->setValue(total > 0 ? int(done * kBarScale / total) : 0);
    YieldToEventLoop();
    return state_.BusyFlag;
}

void MltChiK::Command1_Click()
{
    if (Running()) {
        state_.BusyFlag = false;  // "中　止"
        return;
    }
    if (mode_ == ReplaceMode::String && Text1[0]->text().isEmpty()) {
        state_.prompter.Message(QStringLiteral(u"置換文字列が指定されていません。"), MsgIcon::None, MsgButtons::Ok);
        return;
    }
    Text2->clear();
    if (Sets->AllNames().isEmpty())
        return;

    const QStringList names = Sets->SelectedNames();
    const QString folder = Sets->Folder();
    const LineReplacer replacer(mode_, Text1[0]->text(), Text1[1]->text());
    ReplaceLog log([this](const QString& text) { AppendLog(text); });
    bool failed = false;
    session_.StopTimer();
    {
        LongRun run(state_);
        run.DisableAll(QList<QObject*>{Sets, TabStrip1, pages_, Check1});
        SetRunGoing(true);
        Command1->setText(QStringLiteral(u"中　止"));
        Picture1->setValue(0);
        Label3->setText(StrNumber(0) + QStringLiteral(" /") + StrNumber(qint64(names.size())));
        SetProgressVisible(true);
        const auto step = [this](int64_t done, int64_t total) { return Step(done, total); };

        qint64 n = 0;
        for (const QString& name : names) {
            if (!run.Going())
                break;
            Label1->setText(name);
            log.BeginFile(name);
            ++n;
            Label3->setText(StrNumber(n) + QStringLiteral(" /") + StrNumber(qint64(names.size())));
            Picture1->setValue(0);
            YieldToEventLoopNow();
            if (!run.Going())
                break;
            if (Check1->isChecked() &&
                state_.prompter.Message(QStringLiteral(u"「") + name + QStringLiteral(u"」を処理します！"),
                                        MsgIcon::Question, MsgButtons::OkCancel) != MsgAnswer::Ok) {
                log.EndFile();
                continue;
            }
            if (!run.Going())
                break;  // cancelled or closed while the question was open
            try {
                FileReplaceResult result;
                {
                    Hourglass hourglass;
                    result = ReplaceInFile(state_, QDir(folder).filePath(name), replacer, log, step);
                }
                const QString note = OutcomeNote(result);
                if (!note.isEmpty())
                    log.Note(note);
                log.EndFile();
                if (result.outcome == FileReplaceOutcome::Cancelled)
                    break;
            } catch (const RuntimeError& e) {
                log.Note(QStringLiteral(u"※ ") + e.Description() + QStringLiteral(u"（変更していません）"));
                log.EndFile();
                ReportError(state_, e, 0);
                failed = true;
                break;
            } catch (const std::bad_alloc&) {
                log.EndFile();
                ReportError(state_, Err::OutOfMemory, 0);
                failed = true;
                break;
            }
        }
        log.Finish();
        QTextCursor start(Text2->document());
        Text2->setTextCursor(start);
        SetProgressVisible(false);
        Label1->clear();
        Command1->setText(QStringLiteral(u"実　行"));
        SetRunGoing(false);
    }
    if (!failed) {
        state_.MltChiKPatternIndex = Sets->PatternIndex();
        state_.MltChiKFrom = Text1[0]->text();
        state_.MltChiKTo = Text1[1]->text();
    }
    session_.RestoreTimer();
    CloseIfAsked();
}




void MltChiK::Closing()
{
    session_.Finish();
}

}  // namespace kolbran
