#include "generators/ui/ALBUM.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/FileListing.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/ui/DriveList.h"
#include "core/ui/FileList.h"
#include "core/ui/FolderList.h"
#include "generators/Album.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

namespace kolbran {

namespace {

const QString kSaveFilter = QStringLiteral(u"HTMLﾌｧｲﾙ(*.htm)|*.htm|全てのﾌｧｲﾙ(*.*)|*.*");

QString DroppedPath(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

int StoredIndex(int value, int count)
{
    return value >= 0 && value < count ? value : 0;
}

}  // namespace

ALBUM::ALBUM(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("ALBUM"));
    setWindowTitle(QStringLiteral(u"アルバム作成(HTMLﾌｧｲﾙ作成支援)"));
    auto named = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Drive1 = named(new DriveList(this), "Drive1");
    Dir1 = named(new FolderList(this), "Dir1");
    File1 = named(new FileList(this), "File1");
    Combo1 = named(new QComboBox(this), "Combo1");
    Label2 = named(new QLabel(this), "Label2");
    Text4 = named(new QLineEdit(this), "Text4");
    Text5 = named(new QLineEdit(this), "Text5");
    Combo2 = named(new QComboBox(this), "Combo2");
    Check1 = named(new QCheckBox(QStringLiteral(u"ﾌｫﾙﾀﾞ名を付ける(&F)"), this), "Check1");
    Text1 = named(new QLineEdit(this), "Text1");
    Text3 = named(new QPlainTextEdit(this), "Text3");
    Command4 = named(new QPushButton(QStringLiteral(u"実　行"), this), "Command4");
    Command2 = named(new QPushButton(QStringLiteral(u"閉じる(&X)"), this), "Command2");
    Command4->setAutoDefault(false);
    Command2->setAutoDefault(false);
    Text3->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(QStringLiteral(u"ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("M_File"));
    M_File_EXE = named(file->addAction(QStringLiteral(u"実行(&E)")), "M_File_EXE");
    file->addSeparator();
    M_File_NameSave = named(file->addAction(QStringLiteral(u"名前を付けて保存(&A)...")), "M_File_NameSave");
    file->addSeparator();
    M_File_Close = named(file->addAction(QStringLiteral(u"閉じる(&X)")), "M_File_Close");
    QMenu* help = menuBar->addMenu(QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("M_Help"));
    M_Help_TABLE = named(help->addAction(QStringLiteral(u"TABLEﾀｸﾞ(&T)")), "M_Help_TABLE");
    // The help topic opens in the help window; without it the item stays disabled.
    const auto helpWindow = state_.WindowCommands.find(QStringLiteral("Menu_H_M"));
    M_Help_TABLE->setEnabled(helpWindow != state_.WindowCommands.end());
    connect(M_Help_TABLE, &QAction::triggered, this, [this] {
        const auto it = state_.WindowCommands.find(QStringLiteral("Menu_H_M"));
        if (it == state_.WindowCommands.end())
            return;
        state_.HelpRequestIndex = 3;
        it->second(this);
    });

    // The left column: folders, drive, count, files, pattern; the options along the top
    // and the page below them.
    auto* left = new QVBoxLayout;
    left->addWidget(Dir1, 3);
    left->addWidget(Drive1);
    left->addWidget(Label2);
    left->addWidget(File1, 2);
    left->addWidget(Combo1);
    auto* options = new QHBoxLayout;
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    Text4->setMaximumWidth(40);
    Text5->setMaximumWidth(40);
    options->addWidget(label(QStringLiteral(u"行数(&L)："), Text4));
    options->addWidget(Text4);
    options->addWidget(label(QStringLiteral(u"列数(&C)："), Text5));
    options->addWidget(Text5);
    options->addWidget(label(QStringLiteral(u"ﾀｲﾌﾟ(&T)："), Combo2));
    options->addWidget(Combo2);
    options->addWidget(Check1);
    options->addWidget(label(QStringLiteral(u"ﾌｫﾙﾀﾞ名(&O)："), Text1));
    options->addWidget(Text1, 1);
    options->addWidget(Command4);
    options->addWidget(Command2);
    auto* right = new QVBoxLayout;
    right->addLayout(options);
    right->addWidget(Text3, 1);
    auto* grid = new QHBoxLayout;
    grid->addLayout(left, 0);
    grid->addLayout(right, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setMenuBar(menuBar);
    outer->addLayout(grid);
    Dir1->setMinimumWidth(200);
    resize(980, 600);

    Text1->setAcceptDrops(true);
    Text1->installEventFilter(this);

    Form_Load();

    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
    connect(Combo2, &QComboBox::activated, this, [this](int index) { albumType_ = index; });
    connect(Dir1, &FolderList::PathChanged, this, &ALBUM::Dir1_Change);
    connect(Drive1, &DriveList::DriveChanged, this, &ALBUM::Drive1_Change);
    connect(Command4, &QPushButton::clicked, this, &ALBUM::Command4_Click);
    connect(M_File_EXE, &QAction::triggered, this, &ALBUM::Command4_Click);
    connect(M_File_NameSave, &QAction::triggered, this, &ALBUM::M_File_NameSave_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    connect(M_File_Close, &QAction::triggered, this, &QDialog::reject);
}

ALBUM::~ALBUM()
{
    // The folder the program was in when the dialog opened becomes current again.
    if (!startFolder_.isEmpty() && !SamePath(QDir::currentPath(), startFolder_))
        QDir::setCurrent(startFolder_);
}

void ALBUM::Form_Load()
{
    const ViewerSettings& s = state_.settings;
    Text4->setText(QString::number(s.AlbumGridA));
    Text5->setText(QString::number(s.AlbumGridB));
    albumType_ = StoredIndex(s.AlbumOption, 5);
    Combo1->addItems(AlbumPatterns());
    Combo1->setCurrentIndex(StoredIndex(s.AlbumFileType, 3));
    Combo2->addItems(AlbumTypeNames());
    Combo2->setCurrentIndex(albumType_);
    startFolder_ = QDir::currentPath();
    File1->SetFilter(AttributeFilter{true, true, true, true, true});
    File1->SetPattern(Combo1->currentText());
    Drive1->SetDrives();
    Drive1->SetDriveOf(startFolder_);
    Dir1->SetPath(startFolder_);
    File1->SetFolder(Dir1->Path());
    Text1->setText(FolderTran(ToNativeSeparators(Dir1->Path())));
    ShowCount();
    Check1->setChecked(s.AlbumAddFolderName != 0);
}

void ALBUM::ShowCount()
{
    Label2->setText(QStringLiteral(u"対象ﾌｧｲﾙ数:") + StrNumber(qint64(File1->Entries().size())));
}

void ALBUM::Combo1_Click()
{
    File1->SetPattern(Combo1->currentText());
    ShowCount();
}

void ALBUM::Dir1_Change(const QString& folder)
{
    File1->SetFolder(folder);
    Text1->setText(FolderTran(ToNativeSeparators(folder)));
    QDir::setCurrent(folder);
    ShowCount();
}

void ALBUM::Drive1_Change(const QString& root)
{
    const QString before = Dir1->Path();
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable() || !QDir::setCurrent(root)) {
        state_.prompter.Message(ErrorDescription(Err::DiskNotReady), MsgIcon::None, MsgButtons::Ok);
        Drive1->SetDriveOf(before);
        return;
    }
    Dir1->SetPath(root);
    Dir1_Change(Dir1->Path());
}

bool ALBUM::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* e = static_cast<QDragMoveEvent*>(event);
            if (!DroppedPath(e->mimeData()).isEmpty()) {
                e->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(event);
            const QString path = DroppedPath(e->mimeData());
            if (!path.isEmpty()) {
                // A dropped file stands for the folder it is in.
                const QFileInfo info(path);
                const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
                Text1->setText(FolderTran(ToNativeSeparators(folder)));
                e->acceptProposedAction();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ALBUM::Command4_Click()
{
    runStage_ = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ViewerSettings& s = state_.settings;
    const AlbumGrid grid = CorrectAlbumGrid(Text4->text(), Text5->text(), s.AlbumGridA, s.AlbumGridB);
    Text4->setText(grid.rowsText);
    Text5->setText(grid.columnsText);
    File1->Refresh();
    ShowCount();
    runStage_ = 1;
    AlbumRequest request;
    request.type = albumType_;
    request.rows = grid.rows;
    request.columns = grid.columns;
    request.addFolderName = Check1->isChecked();
    request.folderText = Text1->text();
    request.names = File1->FileNames();
    request.folder = File1->Folder();
    QString page;
    try {
        page = BuildAlbumHtml(request);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    } catch (const std::bad_alloc&) {
        ReportError(state_, Err::OutOfMemory, 1);
    }
    QApplication::restoreOverrideCursor();
    if (request.names.isEmpty()) {
        Text3->clear();
        state_.prompter.Message(QStringLiteral(u"対象ファイルがありません。"), MsgIcon::Warning);
    } else if (!page.isEmpty()) {
        page.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        Text3->setPlainText(page);
        Text3->moveCursor(QTextCursor::Start);
    }
    StoreSettings();
}

void ALBUM::StoreSettings()
{
    ViewerSettings& s = state_.settings;
    s.AlbumOption = int16_t(albumType_);
    s.AlbumFileType = int16_t(Combo1->currentIndex());
    s.AlbumAddFolderName = Check1->isChecked() ? 1 : 0;
    s.AlbumGridA = int16_t(RoundHalfEven(Val(Text4->text())));
    s.AlbumGridB = int16_t(RoundHalfEven(Val(Text5->text())));
}

QString ALBUM::PageText() const
{
    QString text = Text3->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void ALBUM::M_File_NameSave_Click()
{
    try {
        FileDialogRequest request;
        request.title = QStringLiteral(u"名前を付けて保存");
        request.filter = kSaveFilter;
        request.initialFolder = QDir::currentPath();
        const QString path = state_.prompter.SaveFileName(request);
        if (path.isEmpty())
            return;
        if (CheckSaveTarget(state_, path) != SaveTarget::Allowed)
            return;
        WriteAlbumPage(path, PageText());
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
}

}  // namespace kolbran
