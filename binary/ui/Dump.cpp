#include "binary/ui/Dump.h"

#include "binary/BinaryFormats.h"
#include "binary/BinaryRuns.h"
#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/JapaneseCodes.h"
#include "core/LongRun.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "core/Twips.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <optional>

namespace kolbran {

namespace {
// The help window is launched under the main window's help item.
const QString kHelpLauncher = QStringLiteral("Menu_H_M");
}  // namespace

// A stored rectangle off every screen is moved onto the primary one, keeping its size.
static QRect OnScreen(const QRect& stored)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(stored))
            return stored;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return stored;
    const QRect area = primary->availableGeometry();
    QRect moved = stored;
    moved.setSize(stored.size().boundedTo(area.size()));
    moved.moveCenter(area.center());
    return moved;
}

int ShowBinaryView(AppState& state, QWidget* parent)
{
    state.DumpActionCode = 0;
    const QFileInfo info(FromNativeSeparators(state.TargetFilePath));
    if (info.exists() && info.size() == 0) {
        state.prompter.Message(kEmptyFileViewMessage, MsgIcon::Warning, MsgButtons::Ok, kBinaryViewTitle);
        return 0;
    }
    Dump view(state, parent);
    if (view.ActionCode() != -1)
        view.exec();
    state.DumpActionCode = view.ActionCode();
    // The written dump file is handed over as the file the opener shows next.
    if (state.DumpActionCode == 1 || state.DumpActionCode == 2)
        state.TargetFilePath = state.DumpFilePath;
    return state.DumpActionCode;
}

Dump::Dump(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("Dump"));
    setWindowTitle(kBinaryViewTitle);
    layout_.ebcdikTable = EbcdikTable(DisplayCode::EbcdikBinary).data();

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setFont(QFont(QStringLiteral(u"ＭＳ ゴシック"), 10));
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    Label1 = new QLabel(QStringLiteral("1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(QStringLiteral(" "), this);
    Label3->setObjectName(QStringLiteral("Label3"));

    auto* labels = new QHBoxLayout;
    labels->addWidget(Label1);
    labels->addWidget(HScroll1, 1);
    labels->addWidget(Label2);
    labels->addWidget(Label3);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->addLayout(labels);
    column->addWidget(Text1, 1);
    BuildMenus();
    resize(700, 560);

    connect(HScroll1, &QScrollBar::valueChanged, this, &Dump::HScroll1_Change);
    Form_Load();
}

QAction* Dump::AddAction(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

void Dump::BuildMenus()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MenuBar"));
    static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);

    QMenu* file = bar->addMenu(QStringLiteral(u"ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("M_16"));
    connect(AddAction(file, QStringLiteral("M_16_Save"), QStringLiteral(u"ﾌｧｲﾙに保存(&S)...")),
            &QAction::triggered, this, &Dump::M_16_Save_Click);
    connect(AddAction(file, QStringLiteral("M_16_disp"), QStringLiteral(u"ﾌｧｲﾙ作成+表示(&D)")),
            &QAction::triggered, this, [this] { M_16_disp_Click(1); });
    connect(AddAction(file, QStringLiteral("M_16_pr"), QStringLiteral(u"ﾌｧｲﾙ作成+表示+印刷(&P)")),
            &QAction::triggered, this, [this] { M_16_disp_Click(2); });
    file->addSeparator();
    connect(AddAction(file, QStringLiteral("M_16_By"), QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ生成(&B)...")),
            &QAction::triggered, this, &Dump::M_16_By_Click);
    connect(AddAction(file, QStringLiteral("M_16_Kaku"), QStringLiteral(u"拡張ﾊﾞｲﾅﾘﾌｧｲﾙ生成(&K)...")),
            &QAction::triggered, this, &Dump::M_16_Kaku_Click);
    QMenu* lengths = file->addMenu(QStringLiteral(u"拡張時の１行分の長さ(&G)"));
    lengths->setObjectName(QStringLiteral("M_16_KGYO"));
    for (int k = 0; k < 5; ++k) {
        QAction* a = AddAction(lengths, QStringLiteral("M_16_Kgyou_%1").arg(k),
                               QStringLiteral(u"%1文字(&%2)").arg(100 + 10 * k).arg(k));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, k] { M_16_Kgyou_Click(k); });
        M_16_Kgyou.append(a);
    }
    file->addSeparator();
    connect(AddAction(file, QStringLiteral("M_16_End"), QStringLiteral(u"閉じる(&X)")),
            &QAction::triggered, this, &Dump::M_16_End_Click);

    QMenu* page = bar->addMenu(QStringLiteral(u"ページ(&P)"));
    page->setObjectName(QStringLiteral("M_Page"));
    const std::pair<const char*, PageCommand> pages[] = {
        {"M_Page_Ap", PageCommand::Previous}, {"M_Page_Bp", PageCommand::Next},
        {"M_Page_Cp", PageCommand::Back10},   {"M_Page_Dp", PageCommand::Forward10},
        {"M_Page_Ep", PageCommand::Last}};
    const QString captions[] = {QStringLiteral(u"前頁(&A)"), QStringLiteral(u"次頁(&B)"),
                                QStringLiteral(u"前10頁(&C)"), QStringLiteral(u"次10頁(&D)"),
                                QStringLiteral(u"最終頁(&E)")};
    for (int i = 0; i < 5; ++i) {
        const PageCommand command = pages[i].second;
        connect(AddAction(page, QString::fromLatin1(pages[i].first), captions[i]), &QAction::triggered,
                this, [this, command] { Page_Click(command); });
    }

    QMenu* options = bar->addMenu(QStringLiteral(u"ｵﾌﾟｼｮﾝ(&O)"));
    options->setObjectName(QStringLiteral("M_O"));
    M_O_16 = AddAction(options, QStringLiteral("M_O_16"), QStringLiteral(u"１６ﾊﾞｲﾄ／行(&1)"));
    M_O_32 = AddAction(options, QStringLiteral("M_O_32"), QStringLiteral(u"３２ﾊﾞｲﾄ／行(&3)"));
    options->addSeparator();
    M_O_256 = AddAction(options, QStringLiteral("M_O_256"), QStringLiteral(u"512ﾊﾞｲﾄ／頁(&2)"));
    M_O_512 = AddAction(options, QStringLiteral("M_O_512"), QStringLiteral(u"1024ﾊﾞｲﾄ／頁(&5)"));
    for (QAction* a : {M_O_16, M_O_32, M_O_256, M_O_512})
        a->setCheckable(true);
    connect(M_O_16, &QAction::triggered, this, &Dump::M_O_16_Click);
    connect(M_O_32, &QAction::triggered, this, &Dump::M_O_32_Click);
    connect(M_O_256, &QAction::triggered, this, &Dump::M_O_256_Click);
    connect(M_O_512, &QAction::triggered, this, &Dump::M_O_512_Click);
    options->addSeparator();
    M_O_BorS.append(nullptr);
    const QString sizes[] = {QStringLiteral(u"小さい文字(&S)"), QStringLiteral(u"大きい文字(&B)")};
    for (int i = 1; i <= 2; ++i) {
        QAction* a = AddAction(options, QStringLiteral("M_O_BorS_%1").arg(i), sizes[i - 1]);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { M_O_BorS_Click(i); });
        M_O_BorS.append(a);
    }
    options->addSeparator();
    const QString codes[] = {QStringLiteral(u"&JISｺｰﾄﾞ"), QStringLiteral("&Unicode"),
                             QStringLiteral(u"&EBCDIKｺｰﾄﾞ")};
    for (int i = 0; i < 3; ++i) {
        QAction* a = AddAction(options, QStringLiteral("M_O_CODE_%1").arg(i), codes[i]);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { M_O_CODE_Click(i); });
        M_O_CODE.append(a);
    }

    QMenu* help = bar->addMenu(QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("M_Help_B"));
    const bool helpAvailable = state_.WindowCommands.count(kHelpLauncher) > 0;
    const std::pair<int, QString> topics[] = {{6, QStringLiteral(u"拡張ﾊﾞｲﾅﾘﾌｧｲﾙの説明(&K)...")},
                                              {7, QStringLiteral(u"ｴﾝｺｰﾄﾞ/ﾃﾞｺｰﾄﾞの説明(&E)...")}};
    for (const auto& [index, caption] : topics) {
        QAction* a = AddAction(help, QStringLiteral("M_Help_Ka_%1").arg(index), caption);
        a->setEnabled(helpAvailable);
        const int i = index;
        connect(a, &QAction::triggered, this, [this, i] { M_Help_Ka_Click(i); });
    }
}

int64_t Dump::PageCount() const
{
    return DumpPageCount(fileSize_, layout_);
}

void Dump::Form_Load()
{
    ViewerSettings& s = state_.settings;
    try {
        state_.BusyFlag = false;
        if (!(s.DumpCharSize >= 7 && s.DumpCharSize <= 13))
            s.DumpCharSize = 10;
        baseSize_ = s.DumpCharSize;
        fontSize_ = baseSize_;

        std::unique_ptr<QFile> file = OpenFile(state_.TargetFilePath, QIODevice::ReadOnly);
        fileSize_ = file->size();
        file.reset();
        recordCount_ = DumpRecordCount(fileSize_);
        if (fileSize_ == 0)
            return;

        const int code = state_.doc.IsUtf16 ? 1 : 0;
        layout_.code = DumpCharCode(code);
        for (int i = 0; i < 3; ++i)
            M_O_CODE[i]->setChecked(i == code);

        HScroll1->blockSignals(true);
        HScroll1->setMinimum(1);
        HScroll1->blockSignals(false);
        currentPage_ = 1;
        if (s.DumpBytesPerLine == 32)
            M_O_32_Click();
        else
            M_O_16_Click();
        if (s.DumpPageCode == 512)
            M_O_512_Click();
        else
            M_O_256_Click();

        if (s.DumpWindowHeight != 0)
            setGeometry(OnScreen(QRect(TwipsToPixels(s.DumpWindowLeft), TwipsToPixels(s.DumpWindowTop),
                                       TwipsToPixels(s.DumpWindowWidth), TwipsToPixels(s.DumpWindowHeight))));
        SetScrollQuietly(1);

        const int sizeItem = baseSize_ == 10 ? 1 : 2;
        M_O_BorS[1]->setChecked(sizeItem == 1);
        M_O_BorS[2]->setChecked(sizeItem == 2);

        const int k = ExtendedLineLengthIndex(s.DumpExtendedLineLength);
        extendedLineLength_ = 100 + 10 * k;
        for (int i = 0; i < 5; ++i)
            M_16_Kgyou[i]->setChecked(i == k);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
        actionCode_ = -1;
    }
}

void Dump::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void Dump::Form_Unload()
{
    state_.BusyFlag = false;
    if (unloaded_)
        return;
    unloaded_ = true;
    QApplication::restoreOverrideCursor();
    ViewerSettings& s = state_.settings;
    if (!isMinimized() && !isMaximized() && pageShown_) {
        // The same rectangle the load gives back to setGeometry: no drift from one run to the next.
        const QRect g = geometry();
        s.DumpWindowTop = qint16(std::clamp(PixelsToTwips(g.top()), -32768, 32767));
        s.DumpWindowLeft = qint16(std::clamp(PixelsToTwips(g.left()), -32768, 32767));
        s.DumpWindowHeight = qint16(std::clamp(PixelsToTwips(g.height()), 0, 32767));
        s.DumpWindowWidth = qint16(std::clamp(PixelsToTwips(g.width()), 0, 32767));
    }
    s.DumpExtendedLineLength = qint16(extendedLineLength_);
    Label1->setText(QStringLiteral("1"));
    Label3->setText(QStringLiteral(" "));
}

void Dump::SetFontSize(double size)
{
    fontSize_ = size;
    QFont f = Text1->font();
    f.setPointSizeF(std::max(1.0, size));
    Text1->setFont(f);
}

void Dump::SetScrollQuietly(int value)
{
    HScroll1->blockSignals(true);
    HScroll1->setValue(value);
    HScroll1->blockSignals(false);
}

void Dump::ShowPage(int64_t page)
{
    if (page < 1)
        page = 1;
    currentPage_ = page;
    try {
        Text1->setPlainText(DumpPageTextOfFile(state_.TargetFilePath, fileSize_, page, layout_));
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
        return;
    }
    pageShown_ = true;
    Label1->setText(FormatCount(page));
}

void Dump::ApplyPageLayout()
{
    const int64_t pages = PageCount();
    Label2->setText(QStringLiteral(u"1頁") + StrNumber(layout_.pageBytes) + QStringLiteral(u"ﾊﾞｲﾄ表示"));
    Label3->setText(QStringLiteral(u"全頁:") + FormatCount(pages));
    HScroll1->blockSignals(true);
    HScroll1->setMaximum(ScrollMaximum(pages));
    HScroll1->blockSignals(false);
    // The page number stays; a page that no longer exists becomes the last one. Above
    // 32,767 pages the scroll value is not the page number, so it is set from the page.
    if (currentPage_ > pages)
        currentPage_ = pages;
    if (currentPage_ >= 1)
        SetScrollQuietly(ScrollValueForPage(currentPage_, pages));
}

void Dump::M_O_16_Click()
{
    M_O_16->setChecked(true);
    M_O_32->setChecked(false);
    state_.settings.DumpBytesPerLine = 16;
    layout_.bytesPerLine = 16;
    SetFontSize(layout_.pageBytes == 1024 ? baseSize_ : baseSize_ + 2);
    ShowPage(currentPage_);
}

void Dump::M_O_32_Click()
{
    M_O_16->setChecked(false);
    M_O_32->setChecked(true);
    state_.settings.DumpBytesPerLine = 32;
    layout_.bytesPerLine = 32;
    SetFontSize(baseSize_ - 1);
    ShowPage(currentPage_);
}

void Dump::M_O_256_Click()
{
    M_O_256->setChecked(true);
    M_O_512->setChecked(false);
    state_.settings.DumpPageCode = 256;
    layout_.pageBytes = 512;
    ApplyPageLayout();
    SetFontSize(layout_.bytesPerLine == 32 ? baseSize_ - 1 : baseSize_ + 2);
    ShowPage(currentPage_);
}

void Dump::M_O_512_Click()
{
    M_O_256->setChecked(false);
    M_O_512->setChecked(true);
    state_.settings.DumpPageCode = 512;
    layout_.pageBytes = 1024;
    ApplyPageLayout();
    SetFontSize(baseSize_ - 1);
    ShowPage(currentPage_);
}

void Dump::M_O_BorS_Click(int index)
{
    const double offset = fontSize_ - baseSize_;
    M_O_BorS[1]->setChecked(index == 1);
    M_O_BorS[2]->setChecked(index == 2);
    baseSize_ = 3 * index + 7;
    state_.settings.DumpCharSize = float(baseSize_);
    SetFontSize(baseSize_ + offset);
}

void Dump::M_O_CODE_Click(int index)
{
    for (int i = 0; i < 3; ++i)
        M_O_CODE[i]->setChecked(i == index);
    layout_.code = DumpCharCode(index);
    if (pageShown_)
        ShowPage(currentPage_);
}

void Dump::M_16_Kgyou_Click(int index)
{
    for (int i = 0; i < 5; ++i)
        M_16_Kgyou[i]->setChecked(i == index);
    extendedLineLength_ = 100 + 10 * index;
}

void Dump::M_Help_Ka_Click(int index)
{
    const auto launcher = state_.WindowCommands.find(kHelpLauncher);
    if (launcher == state_.WindowCommands.end())
        return;
    state_.HelpRequestIndex = index;
    launcher->second(this);
}

void Dump::Page_Click(PageCommand command)
{
    const int64_t pages = PageCount();
    const PageMove move = MovePage(command, currentPage_, pages);
    if (command == PageCommand::Last) {
        SetScrollQuietly(HScroll1->maximum());
        ShowPage(pages);
        return;
    }
    if (move.setScroll)
        SetScrollQuietly(ScrollValueForPage(move.page, pages));
    if (move.rebuild)
        ShowPage(move.page);
}

void Dump::HScroll1_Change(int value)
{
    ShowPage(PageForScrollValue(value, PageCount()));
}

void Dump::M_16_End_Click()
{
    actionCode_ = 0;
    close();
}

Dump::WriterEnd Dump::RunWriter(const std::function<int64_t()>& run, int64_t total)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool complete = false;
    std::optional<RuntimeError> failure;
    {
        LongRun going(state_);
        // Nothing may start a second writer or change the layout the dump is written in;
        // closing the view (which cancels) and the help stay.
        for (QMenu* menu : findChildren<QMenu*>())
            if (menu->objectName() != QLatin1String("M_Help_B") && menu->objectName() != QLatin1String("M_Page"))
                for (QAction* a : menu->actions())
                    if (!a->isSeparator() && !a->menu() && a->objectName() != QLatin1String("M_16_End"))
                        going.Disable(a);
        running_ = true;
        try {
            complete = run() >= total && going.Going();
        } catch (const RuntimeError& e) {
            failure = e;
        }
        running_ = false;
    }
    QApplication::restoreOverrideCursor();
    if (failure) {
        ReportError(state_, *failure, 0);
        return WriterEnd::Failed;
    }
    return complete ? WriterEnd::Complete : WriterEnd::Stopped;
}

// The output file of a writer: the save steps, with their errors reported here.
// Empty when the user cancelled or a step failed.
QString Dump::ChooseTarget(OutputKind kind)
{
    try {
        return ChooseOutputPath(state_, state_.TargetFilePath, kind, OutputCaller::BinaryView);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 0);
        return {};
    }
}

void Dump::M_16_Save_Click()
{
    const QString target = ChooseTarget(OutputKind::Dump);
    if (target.isEmpty())
        return;
    const QString caption = Label3->text();
    const int64_t records = recordCount_;
    const WriterEnd end = RunWriter(
        [&] {
            return WriteDumpFile(state_, state_.TargetFilePath, target, layout_,
                                 DumpProgressInterval(records), [&](int64_t i, int64_t total) {
                                     Label3->setText(ProcessingText(double(i + 1) / double(total)));
                                 });
        },
        records);
    if (!unloaded_)
        Label3->setText(caption);
    // The diagnostic box belongs to a failed run, not to one the user stopped.
    if (end == WriterEnd::Failed && IsDebugFlag(state_.settings, 1))
        state_.prompter.Message(QStringLiteral("DumpFile: ") + state_.TargetFilePath + state_.settings.LineBreak +
                                    QStringLiteral("Dname   : ") + target,
                                MsgIcon::None, MsgButtons::Ok, QStringLiteral("DEBUG"));
}

void Dump::M_16_disp_Click(int action)
{
    const QString target = DefaultOutputName(state_.TargetFilePath, QStringLiteral(".DMP"));
    try {
        if (SamePath(target, state_.TargetFilePath)) {
            state_.prompter.Message(kSameNameMessage, MsgIcon::Critical);
            return;
        }
        if (CheckSaveTarget(state_, target) != SaveTarget::Allowed)
            return;
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 0);
        return;
    }
    const WriterEnd end = RunWriter(
        [&] { return WriteDumpFile(state_, state_.TargetFilePath, target, layout_, 31, {}); },
        recordCount_);
    if (end != WriterEnd::Complete || unloaded_)
        return;
    actionCode_ = action;
    state_.DumpFilePath = target;
    accept();
}

void Dump::M_16_By_Click()
{
    const QString target = ChooseTarget(OutputKind::BinaryDisplay);
    if (target.isEmpty())
        return;
    const QString caption = Label3->text();
    const int64_t records = recordCount_;
    RunWriter(
        [&] {
            return WriteBinaryDisplayFile(state_, state_.TargetFilePath, target, [&](int64_t i, int64_t total) {
                Label3->setText(ProcessingText(double(i + 1) / double(total)));
            });
        },
        records);
    if (!unloaded_)
        Label3->setText(caption);
}

void Dump::M_16_Kaku_Click()
{
    const QString target = ChooseTarget(OutputKind::Extended);
    if (target.isEmpty())
        return;
    const QString caption = Label3->text();
    const int64_t records = (fileSize_ + kExtendedRecordSize - 1) / kExtendedRecordSize;
    RunWriter(
        [&] {
            return WriteExtendedFile(state_, state_.TargetFilePath, target, extendedLineLength_, 31,
                                     [&](int64_t i, int64_t total) {
                                         Label3->setText(ProcessingText(double(i + 1) / double(total)));
                                     });
        },
        records);
    if (!unloaded_)
        Label3->setText(caption);
}

}  // namespace kolbran
