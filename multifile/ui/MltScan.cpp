#include "multifile/ui/MltScan.h"

#include "core/AppState.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/LongRun.h"
#include "core/Numbers.h"
#include "core/SequentialLineReader.h"
#include "core/Settings.h"
#include "core/ui/FileList.h"
#include "multifile/MultiSearch.h"
#include "multifile/TreeSet.h"
#include "multifile/ui/FileSetControls.h"
#include "multifile/ui/MultiFileSession.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace kolbran {

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

const QString kSaveFilter = QStringLiteral(u"ﾃｷｽﾄ文書(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*");
const QString kBatchFilter = QStringLiteral(u"ﾃｷﾙﾄﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*");
const QString kNoFiles = QStringLiteral(u"対象ファイルがありません。");
const QString kStopped = QStringLiteral(u"処理の途中で中止しました。");
const QString kRun = QStringLiteral(u"実　行");
const QString kStop = QStringLiteral(u"中　止");
constexpr int kBatchItems = 65;
// The box is given what gathered at most this often (and at each file's end).
constexpr int kShowEveryMs = 100;

int rememberedPattern = 0;

}  // namespace

int MltScan::RememberedPattern()
{
    return rememberedPattern;
}

MltScan::MltScan(AppState& state, QWidget* parent)
    : RunDialog(state, parent), state_(state), session_(std::make_unique<MultiFileSession>(state, parent))
{
    setObjectName(QStringLiteral("MltScan"));
    setWindowTitle(QStringLiteral(u"複数ファイル検索"));
    setModal(true);
    displayCode_ = state.doc.DisplayCode;

    Sets = new FileSetControls(state, FileSetUse::Search, rememberedPattern, this);
    Check2 = Named(new QCheckBox(QStringLiteral(u"ﾌｫﾙﾀﾞ以下全てを対象にする(&N)"), this), "Check2");
    Label1 = Named(new QLabel(QStringLiteral(u"検索文字列(&S)："), this), "Label1");
    Text1 = Named(new QLineEdit(this), "Text1");
    Label1->setBuddy(Text1);
    Check1 = Named(new QCheckBox(QStringLiteral(u"大文字と小文字を区別しない(&C)"), this), "Check1");
    Command4 = Named(new QPushButton(kRun, this), "Command4");
    Command2 = Named(new QPushButton(QStringLiteral(u"閉じる(&X)"), this), "Command2");
    Command1 = Named(new QPushButton(QStringLiteral(u"名前を付けて保存(&A)…"), this), "Command1");
    Command3 = Named(new QPushButton(QStringLiteral(u"まとめて"), this), "Command3");
    Label3 = Named(new QLabel(this), "Label3");
    Label4 = Named(new QLabel(this), "Label4");
    Picture1 = Named(new QProgressBar(this), "Picture1");
    Label5 = Named(new QLabel(QStringLiteral(u"検索結果(&K)："), this), "Label5");
    Text3 = Named(new QPlainTextEdit(this), "Text3");
    Label5->setBuddy(Text3);

    Picture1->setTextVisible(false);
    Picture1->setRange(0, 1);
    Picture1->setValue(0);
    Picture1->setStyleSheet(QStringLiteral("QProgressBar { border: 1px inset gray; background: white; }"
                                           "QProgressBar::chunk { background: %1; }")
                                .arg(PaletteColor(1).name()));
    Picture1->setVisible(false);
    Label3->setMinimumWidth(80);
    Label4->setMinimumWidth(200);
    Text3->setReadOnly(true);
    Text3->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral(u"ＭＳ ゴシック"));
    font.setStyleHint(QFont::Monospace);
    Text3->setFont(font);
    Command3->setVisible(IsDebugFlag(state.settings, 2) == 1);

    auto* left = new QVBoxLayout;
    left->addWidget(Sets, 1);
    left->addWidget(Check2);

    auto* search = new QHBoxLayout;
    search->addWidget(Label1);
    search->addWidget(Text1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Check1);
    buttons->addStretch();
    buttons->addWidget(Command4);
    buttons->addWidget(Command3);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* status = new QHBoxLayout;
    status->addWidget(Label3);
    status->addWidget(Label4, 1);
    auto* right = new QVBoxLayout;
    right->addLayout(search);
    right->addLayout(buttons);
    right->addLayout(status);
    right->addWidget(Picture1);
    right->addWidget(Label5);
    right->addWidget(Text3, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 3);
    resize(900, 560);

    Check1->setChecked(state.SearchCompareMode == 1);
    Command4->setDefault(true);
    connect(Check1, &QCheckBox::clicked, this, &MltScan::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &MltScan::Check2_Click);
    connect(Command4, &QPushButton::clicked, this, &MltScan::Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::close);
    connect(Command1, &QPushButton::clicked, this, &MltScan::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &MltScan::Command3_Click);
}

MltScan::~MltScan()
{
    session_->Finish();
}

void MltScan::Check1_Click()
{
    // The main window's and the editor's searches use the same mode.
    state_.SearchCompareMode = Check1->isChecked() ? 1 : 0;
}

void MltScan::Check2_Click()
{
    const bool tree = Check2->isChecked();
    Sets->Combo1->setVisible(!tree);
    Sets->File1->setVisible(!tree);
    Sets->SetCountFollowsList(!tree);
    if (tree)
        Sets->SetCountText(QStringLiteral(u"対象ﾌｧｲﾙ数: -"));
}

void MltScan::Prepare()
{
    Picture1->setValue(0);
    Picture1->setVisible(true);
    Sets->File1->Refresh();
    if (!Check2->isChecked())
        Sets->UpdateCount();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    results_.clear();
    pending_.clear();
    Text3->clear();
    Command4->setText(kStop);
    SetRunGoing(true);
    session_->StopTimer();
    session_->SetQuietLoad(true);
    shown_.start();
}

void MltScan::Finish()
{
    FlushBox();
    Picture1->setVisible(false);
    Label3->clear();
    Label4->clear();
    Command4->setText(kRun);
    SetRunGoing(false);
    session_->RestoreTimer();
    QApplication::restoreOverrideCursor();
}

bool MltScan::BuildSet(QStringList* paths, QStringList* names)
{
    const QString folder = Sets->Folder();
    if (!Check2->isChecked()) {
        *names = Sets->AllNames();
        for (const QString& n : *names)
            paths->append(JoinPath(folder, n));
        return true;
    }
    Sets->SetCountText(FileSetCountText(0));
    TreeSetHooks hooks;
    hooks.progress = [this](qsizetype count, bool topLevel) {
        if (topLevel)
            Sets->SetCountText(FileSetCountText(count));
        YieldToEventLoop();
        return state_.BusyFlag;
    };
    hooks.folderError = [this](const QString& name, const RuntimeError& e) {
        AppendToBox(MultiSearchErrorLine(name, e));
    };
    TreeSet set;
    try {
        set = BuildTreeSet(folder, hooks);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
        return false;
    }
    if (set.cancelled)
        return false;
    if (set.capped)
        state_.prompter.Message(TreeCapWarning(), MsgIcon::Warning);
    *paths = set.files;
    names->reserve(paths->size());
    for (const QString& p : *paths)
        names->append(TreeDisplayName(set, p));
    Sets->SetCountText(FileSetCountText(paths->size()));
    return true;
}

MultiSearchOutcome MltScan::SearchSet(const QStringList& paths, const QStringList& names, const QString& needle,
                                      QString* into)
{
    MultiSearchOptions options;
    options.needle = needle;
    options.compareMode = state_.SearchCompareMode;
    options.displayCode = displayCode_;
    options.debugVariant = IsDebugFlag(state_.settings, 0) == 1;
    const qsizetype step = MultiSearchProgressStep(paths.size());
    Picture1->setRange(0, int(std::max<qsizetype>(1, std::min<qsizetype>(paths.size(), INT_MAX))));
    Picture1->setValue(0);

    MultiSearchHooks hooks;
    hooks.fileStarts = [this](qsizetype, const QString& name, bool searching) {
        Label4->setText((searching ? QStringLiteral(u"検索中 ") : QStringLiteral(u"読取中 ")) + name);
    };
    hooks.append = [this, into](const QString& text) {
        if (into != nullptr)
            *into += text;
        else
            AppendToBox(text);
    };
    hooks.fileDone = [this, step](qsizetype i, qsizetype total) {
        FlushBox();
        Picture1->setValue(int(std::min<qsizetype>(i + 1, INT_MAX)));
        if (i % step == 0)
            Label3->setText(FormatPercent(double(i + 1) / double(total)));
    };
    hooks.step = [this] {
        if (!pending_.isEmpty() && shown_.elapsed() >= kShowEveryMs)
            FlushBox();
        YieldToEventLoop();
        return state_.BusyFlag;
    };
    return SearchFiles(paths, names, options, hooks);
}

void MltScan::Command4_Click()
{
    if (Running()) {
        state_.BusyFlag = false;
        return;
    }
    if (Text1->text().isEmpty()) {
        Text1->setFocus();
        return;
    }
    Prepare();
    bool searchedAny = false;
    bool cancelled = false;
    bool failedAny = false;
    {
        LongRun run(state_);
        run.DisableAll(QList<QWidget*>{Command2, Command3, Command1, Check2, Text3});
        Sets->SetListsEnabled(false);
        QStringList paths;
        QStringList names;
        if (BuildSet(&paths, &names)) {
            state_.SearchString = Text1->text();
            const MultiSearchOutcome outcome = SearchSet(paths, names, state_.SearchString, nullptr);
            searchedAny = outcome.searched > 0;
            cancelled = outcome.cancelled;
            failedAny = outcome.failed > 0;
        } else {
            cancelled = !run.Going();
            failedAny = !cancelled;  // the walk's error was reported
        }
        Sets->SetListsEnabled(true);
    }
    FlushBox();
    if (searchedAny) {
        Label3->setText(QStringLiteral("100.00 %"));
        rememberedPattern = Sets->PatternIndex();
    } else if (cancelled) {
        state_.prompter.Message(kStopped, MsgIcon::Warning);
    } else if (!failedAny) {
        state_.prompter.Message(kNoFiles, MsgIcon::Warning);
    }
    Finish();
    CloseIfAsked();
}

void MltScan::Command3_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral(u"サーチする文字列が入ったファイル名を指定する");
    request.filter = kBatchFilter;
    const QString folder = Sets->Folder();
    QStringList items;
    try {
        const QString path = state_.prompter.OpenFileName(request);
        QDir::setCurrent(folder);
        SequentialLineReader reader(path);
        while (items.size() < kBatchItems) {
            std::optional<QString> line = reader.Next();
            if (!line)
                break;
            QString item = *line;
            if (item.endsWith(QStringLiteral("\r\n")))
                item.chop(2);
            if (items.isEmpty() && item.startsWith(QChar(0xFEFF)))
                item.remove(0, 1);
            if (item.size() >= 2 && item.startsWith(u'"') && item.endsWith(u'"'))
                item = item.mid(1, item.size() - 2);
            if (!item.isEmpty())
                items.append(item);
        }
    } catch (const RuntimeError& e) {
        QDir::setCurrent(folder);
        if (e.Number() != Err::DialogCancelled)
            ReportError(state_, e, 1);
        return;
    }
    if (items.isEmpty())
        return;

    Prepare();
    bool cancelled = false;
    {
        LongRun run(state_);
        run.DisableAll(QList<QWidget*>{Command2, Command3, Command1, Check2, Text3, Text1});
        Sets->SetListsEnabled(false);
        QStringList paths;
        QStringList names;
        if (BuildSet(&paths, &names)) {
            for (const QString& item : items) {
                Text1->setText(item);
                state_.SearchString = item;
                // The heading on a line of its own, the item's results below it.
                AppendToBox(QStringLiteral("\r\n") + item + QStringLiteral("\r\n"));
                QString found;  // the hidden second box
                const MultiSearchOutcome outcome = SearchSet(paths, names, item, &found);
                AppendToBox(found);
                if (outcome.cancelled || !run.Going()) {
                    cancelled = true;
                    break;
                }
            }
        } else {
            cancelled = !run.Going();
        }
        Sets->SetListsEnabled(true);
    }
    FlushBox();
    if (cancelled)
        state_.prompter.Message(kStopped, MsgIcon::Warning);
    Finish();
    CloseIfAsked();
}

void MltScan::AppendToBox(const QString& text)
{
    results_ += text;
    pending_ += text;
    if (pending_.size() >= 256 * 1024)
        FlushBox();
}

void MltScan::FlushBox()
{
    if (pending_.isEmpty())
        return;
    QScrollBar* bar = Text3->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(Text3->document());
    cursor.movePosition(QTextCursor::End);
    // The box breaks lines at LF; the saved text keeps CR LF.
    QString shown = WithLfEnds(pending_);
    if (shown.endsWith(u'\n'))
        shown.chop(1);
    if (!Text3->document()->isEmpty())
        cursor.insertText(QStringLiteral("\n"));
    cursor.insertText(shown);
    if (atEnd)
        bar->setValue(bar->maximum());
    pending_.clear();
    shown_.restart();
}

void MltScan::Command1_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral(u"名前を付けて保存");
    request.filter = kSaveFilter;
    const QString folder = Sets->Folder();
    try {
        const QString path = state_.prompter.SaveFileName(request);
        if (CheckSaveTarget(state_, path) != SaveTarget::Allowed) {
            QDir::setCurrent(folder);
            return;
        }
        SaveMultiSearchResults(path, results_);
    } catch (const RuntimeError& e) {
        if (e.Number() != Err::DialogCancelled)
            ReportError(state_, e, 0);
    }
    QDir::setCurrent(folder);
}



void MltScan::Closing()
{
    session_->Finish();
    Sets->RestoreStartFolder();
}

}  // namespace kolbran
