#include "viewer/ui/KenIchi.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/Twips.h"
#include "viewer/Search.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace kolbran {

namespace {
const QString kSaveFilter = QStringLiteral(u"ﾃｷｽﾄ文書(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*");
}  // namespace

KenIchi::KenIchi(AppState& state, std::unique_ptr<SearchView> view, QWidget* parent)
    : ModelessDialog(parent), state_(state), view_(std::move(view))
{
    setObjectName(QStringLiteral("KenIchi"));
    setWindowTitle(QStringLiteral(u"検索結果一覧"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    Label4 = label("Label4", QString());
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setUniformItemSizes(true);
    Label1 = label("Label1", QStringLiteral(u"選択された結果の位置："));
    Label2 = label("Label2", QString());
    Label2->setMinimumWidth(Label2->fontMetrics().horizontalAdvance(QStringLiteral("0,000,000")));
    Label3 = label("Label3", QStringLiteral(u"行目"));
    Command2 = MakeButton("Command2", QStringLiteral(u"表示(&D)"));
    Command3 = MakeButton("Command3", QStringLiteral(u"結果一覧をｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰ(&C)"));
    Command4 = MakeButton("Command4", QStringLiteral(u"名前を付けて保存(&A)…"));
    Command1 = MakeButton("Command1", QStringLiteral(u"閉じる(&X)"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label4, 0, 0, 1, 2);
    layout->addWidget(List1, 1, 0, 1, 2);
    auto* position = new QHBoxLayout;
    position->addWidget(Label1);
    position->addWidget(Label2);
    position->addWidget(Label3);
    position->addStretch();
    layout->addLayout(position, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command2, Command3, Command4, Command1})
        buttons->addWidget(b);
    layout->addLayout(buttons, 3, 0, 1, 2);
    resize(640, 360);

    // The position shows the entry the user clicked, never the current row the list sets
    // itself while it is filled.
    connect(List1, &QListWidget::itemClicked, this, &KenIchi::List1_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this,
            [this] { ShowResult(List1->currentRow()); });
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(Command2, &QPushButton::clicked, this, &KenIchi::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &KenIchi::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &KenIchi::Command4_Click);

    savedDirectory_ = QDir::currentPath();
}

void KenIchi::Open()
{
    show();
    // Centred a little to the right, near the bottom of the screen (the frame is known
    // once shown).
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const QSize size = frameGeometry().size();
        move(area.left() + (area.width() - size.width()) / 2 + TwipsToPixels(150),
             area.top() + area.height() - size.height() - TwipsToPixels(450));
    }
    raise();
    Form_Load();
}

KenIchi::~KenIchi() = default;

void KenIchi::ReportFailure(const QString& where, int number)
{
    if (state_.settings.DebugFlags != 0)
        state_.prompter.Message(where + StrNumber(number) + QStringLiteral(" )"), MsgIcon::Warning);
}

void KenIchi::AddEntry(LineNumber line, const QString& text)
{
    resultLines_.push_back(line);
    entries_.append(text);
    // The list shows the line without its line end; copy and save keep it.
    QStringView shown(text);
    if (shown.endsWith(QStringLiteral("\r\n")))
        shown.chop(2);
    List1->addItem(shown.toString());
}

void KenIchi::Form_Load()
{
    building_ = true;
    const SearchResults results = BuildResultList(
        state_, *view_, [this](LineNumber line, const QString& text) { AddEntry(line, text); });
    building_ = false;
    Label4->setText(results.heading);
    if (closePending_)
        close();
}

void KenIchi::List1_Click()
{
    const int row = List1->currentRow();
    if (row >= 0 && row < int(resultLines_.size()))
        Label2->setText(FormatCount(resultLines_[size_t(row)]));
}

void KenIchi::ShowResult(int i)
{
    if (i < 0 || i >= int(resultLines_.size()))
        return;
    try {
        PlaceFoundLine(state_, *view_, resultLines_[size_t(i)]);
        SelectFromStart(state_, *view_);
    } catch (const RuntimeError& e) {
        ReportFailure(QStringLiteral("KenIchi Act ! ("), e.Number());
    }
}

void KenIchi::Command2_Click()
{
    List1->setFocus();
    ShowResult(List1->currentRow());
}

void KenIchi::Command3_Click()
{
    view_->SetBusyCursor(true);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(JoinedEntries(entries_));
    view_->SetBusyCursor(false);
}

void KenIchi::Command4_Click()
{
    try {
        FileDialogRequest request;
        request.title = QStringLiteral(u"名前を付けて保存");
        request.filter = kSaveFilter;
        const QString path = state_.prompter.SaveFileName(request);
        SaveResultList(state_, path, entries_);
    } catch (const RuntimeError& e) {
        // A cancelled dialog ends the command; a failed write is told, nothing is left.
        if (e.Number() != Err::DialogCancelled)
            state_.prompter.Message(e.Description() + QStringLiteral(" (") + StrNumber(e.Number()) +
                                        QStringLiteral(" )"),
                                    MsgIcon::Warning);
    }
}

void KenIchi::closeEvent(QCloseEvent* event)
{
    // The list is still being built: it closes once the search is done.
    if (building_) {
        closePending_ = true;
        event->ignore();
        return;
    }
    Form_Unload();
    AcceptClose(event);
}

void KenIchi::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    state_.settings.SearchListOpen = false;
    if (QDir::currentPath() != savedDirectory_ && !QDir::setCurrent(savedDirectory_))
        ReportFailure(QStringLiteral("KenIchi Unload ! ("), Err::PathNotFound);
    view_->SetTextDropEnabled(true);
}

}  // namespace kolbran
