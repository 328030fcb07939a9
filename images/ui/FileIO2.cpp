#include "images/ui/FileIO2.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/FileListing.h"
#include "core/Guards.h"
#include "core/Settings.h"
#include "core/ui/DriveList.h"
#include "core/ui/FileList.h"
#include "core/ui/FolderList.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kolbran {

namespace {

// The hourglass while a file is read or copied.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QPushButton* Button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    // Enter belongs to the name box (it applies a pattern), never to a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

template <typename W>
W* Named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

}  // namespace

FileIO2::FileIO2(AppState& state, QWidget* parent)
    : QDialog(parent), state_(state), host_(dynamic_cast<ViewerHost*>(parent)),
      mode_(state.FileDialogMode)
{
    setObjectName(QStringLiteral("FileIO2"));
    setModal(true);

    BuildFilePanel();
    BuildOptionPanel();
    BuildImagePanel();

    Stack = Named(new QStackedWidget(this), QStringLiteral("Stack"));
    Stack->addWidget(FilOp);
    Stack->addWidget(Picture3);

    auto* top = new QHBoxLayout(this);
    top->addWidget(Picture2);
    top->addWidget(Stack);
    // The window keeps to its panels: narrow with the file panel, wide with both.
    top->setSizeConstraint(QLayout::SetFixedSize);

    Form_Load();
}

FileIO2::~FileIO2()
{
    if (!unloaded_)
        done(QDialog::Rejected);
}

void FileIO2::BuildFilePanel()
{
    FilOp = Named(new QFrame(this), QStringLiteral("FilOp"));
    auto* grid = new QGridLayout(FilOp);

    SelFile = Named(new QLineEdit(FilOp), QStringLiteral("SelFile"));
    FileSelect = Named(new FileList(FilOp), QStringLiteral("FileSelect"));
    Combo1 = Named(new QComboBox(FilOp), QStringLiteral("Combo1"));
    Label4 = Named(new QLabel(FilOp), QStringLiteral("Label4"));
    SelectDir = Named(new FolderList(FilOp), QStringLiteral("SelectDir"));
    SelectDrive = Named(new DriveList(FilOp), QStringLiteral("SelectDrive"));
    Label6 = Named(new QLabel(FilOp), QStringLiteral("Label6"));
    FileSelect->setFixedSize(220, 250);
    SelectDir->setFixedSize(220, 250);
    Label4->setFixedWidth(220);
    Label6->setMinimumHeight(20);

    auto* nameLabel = new QLabel(QStringLiteral(u"ファイル名(&N):"), FilOp);
    nameLabel->setBuddy(SelFile);
    auto* folderLabel = new QLabel(QStringLiteral(u"フォルダ(&D):"), FilOp);
    folderLabel->setBuddy(SelectDir);
    auto* typeLabel = new QLabel(QStringLiteral(u"ファイルの種類(&T):"), FilOp);
    typeLabel->setBuddy(Combo1);
    auto* driveLabel = new QLabel(QStringLiteral(u"ドライブ(&V):"), FilOp);
    driveLabel->setBuddy(SelectDrive);

    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(SelFile, 1, 0);
    grid->addWidget(FileSelect, 2, 0);
    grid->addWidget(typeLabel, 3, 0);
    grid->addWidget(Combo1, 4, 0);
    grid->addWidget(folderLabel, 0, 1);
    grid->addWidget(Label4, 1, 1);
    grid->addWidget(SelectDir, 2, 1);
    grid->addWidget(driveLabel, 3, 1);
    grid->addWidget(SelectDrive, 4, 1);

    Command1 = Button(QStringLiteral(u"了  解"), "Command1", FilOp);
    Command2 = Button(QStringLiteral(u"閉じる(&X)"), "Command2", FilOp);
    Command3 = Button(QStringLiteral(u"ﾊﾞｲﾅﾘ表示"), "Command3", FilOp);
    Command5 = Button(QStringLiteral(u"<< 画像ﾌｧｲﾙ"), "Command5", FilOp);
    Command8 = Button(QStringLiteral(u"ｵﾌﾟｼｮﾝ"), "Command8", FilOp);
    Check1 = Named(new QCheckBox(QStringLiteral(u"保存したﾌｧｲﾙを開く"), FilOp), QStringLiteral("Check1"));
    auto* buttons = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command2),
                       static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command5),
                       static_cast<QWidget*>(Command8), static_cast<QWidget*>(Check1)})
        buttons->addWidget(w);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 5, 1);

    grid->addWidget(Label6, 5, 0, 1, 3);
    auto* lamps = new QHBoxLayout;
    const QStringList captions{QStringLiteral(u"ｼｽﾃﾑﾌｧｲﾙ"), QStringLiteral(u"隠しﾌｧｲﾙ"),
                               QStringLiteral(u"読み出し専用"), QStringLiteral(u"ｱｰｶｲﾌﾞ")};
    for (int i = 0; i < 4; ++i) {
        Lamp[i] = Named(new QLabel(FilOp), QStringLiteral("Lamp_%1").arg(i));
        Lamp[i]->setFixedSize(12, 12);
        Label10[i] = Named(new QLabel(captions[i], FilOp), QStringLiteral("Label10_%1").arg(i));
        lamps->addWidget(Lamp[i]);
        lamps->addWidget(Label10[i]);
        lamps->addSpacing(8);
    }
    lamps->addStretch();
    grid->addLayout(lamps, 6, 0, 1, 3);
    SetLamps({});

    connect(SelectDrive, &DriveList::DriveChanged, this, &FileIO2::SelectDrive_Change);
    connect(SelectDir, &FolderList::PathChanged, this, &FileIO2::SelectDir_Change);
    connect(Combo1, &QComboBox::activated, this, &FileIO2::Combo1_Click);
    connect(SelFile, &QLineEdit::returnPressed, this, &FileIO2::SelFile_Enter);
    connect(FileSelect, &FileList::FilePicked, this, &FileIO2::FileSelect_Click);
    connect(FileSelect, &FileList::FileDoubleClicked, this, &FileIO2::FileSelect_DblClick);
    connect(Command1, &QPushButton::clicked, this, &FileIO2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Command3, &QPushButton::clicked, this, &FileIO2::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &FileIO2::Command5_Click);
    connect(Command8, &QPushButton::clicked, this, &FileIO2::Command8_Click);
}

void FileIO2::BuildOptionPanel()
{
    Picture3 = Named(new QFrame(this), QStringLiteral("Picture3"));
    Picture3->setFrameShape(QFrame::StyledPanel);
    auto* box = new QVBoxLayout(Picture3);
    box->addWidget(new QLabel(QStringLiteral(u"表示するファイルの属性"), Picture3));
    const QStringList captions{QStringLiteral(u"通常"), QStringLiteral(u"アーカイブ"),
                               QStringLiteral(u"読み出し専用"), QStringLiteral(u"隠しファイル"),
                               QStringLiteral(u"システム ファイル")};
    for (int i = 0; i < 5; ++i) {
        Check2[i] = Named(new QCheckBox(captions[i], Picture3), QStringLiteral("Check2_%1").arg(i));
        box->addWidget(Check2[i]);
    }
    Command9 = Button(QStringLiteral(u"戻る"), "Command9", Picture3);
    box->addWidget(Command9);
    box->addStretch();
    connect(Command9, &QPushButton::clicked, this, &FileIO2::Command9_Click);
}

void FileIO2::Form_Load()
{
    Stack->setCurrentWidget(FilOp);
    Picture2->hide();
    Label6->clear();
    panelMode_ = 0;

    hostTimer_ = host_ != nullptr && host_->Timer1Enabled();
    TraceAppend(state_, QStringLiteral("FileIO (") + QString::number(mode_) + QStringLiteral(" )"));

    startFolder_ = QDir::currentPath();
    SelectDrive->SetDrives();
    SelectDir->SetPath(startFolder_);
    SelectDrive->SetDriveOf(startFolder_);
    FileSelect->SetFolder(startFolder_);
    Label4->setText(ToNativeSeparators(SelectDir->Path()));

    Combo1->addItems(FilePanelTypes());
    const int type = LimitTypeIndex(state_.settings.BrowserViewMode, Combo1->count());
    Combo1->setCurrentIndex(type);
    FileSelect->SetPattern(Combo1->currentText());
    // The name box keeps the document's name, ready to be typed over.
    SelFile->setText(state_.doc.DocumentName);
    SelFile->selectAll();

    const AttributeFilter filter = AttributeFilterFromSettings(state_.settings.BrowserAttributeFilter);
    for (int i = 0; i < 5; ++i)
        Check2[i]->setChecked(state_.settings.BrowserAttributeFilter[i] != 0);
    FileSelect->SetFilter(filter);
    SelectDir->SetShowHidden(filter.hidden);

    const bool openMode = mode_ == 0;
    Command3->setVisible(openMode);
    Command5->setVisible(openMode);
    Command8->setVisible(openMode);
    Check1->setVisible(mode_ == 2);
    if (mode_ == 0) {
        setWindowTitle(QStringLiteral(u"ファイルを開く"));
    } else {
        setWindowTitle(mode_ == 1 ? QStringLiteral(u"新規ファイル名")
                                  : QStringLiteral(u"ファイル名を付けて保存"));
        QPalette p = FileSelect->palette();
        p.setColor(QPalette::Base, QColor(192, 192, 192));
        FileSelect->setPalette(p);
        Check1->setChecked(state_.settings.BrowserFlag == 1);
    }
    Command3->setEnabled(state_.WindowCommands.count(QStringLiteral("Menu_Kaku_Hx")) > 0);
    Command7->setEnabled(state_.WindowCommands.count(QStringLiteral("Menu_Kaku_Bit")) > 0);

    {
        const QSignalBlocker block(Combo2);
        Combo2->addItems(ZoomEntries());
        Combo2->setCurrentText(QStringLiteral("1.0"));
    }
    zoom_ = 1.0f;
    lastColour_ = 0;
    SelFile->setFocus();
}

void FileIO2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // One third of the spare width from the left, centred vertically.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = frameGeometry().size();
        move(area.left() + (area.width() - size.width()) / 3,
             area.top() + (area.height() - size.height()) / 2);
    }
}

void FileIO2::done(int result)
{
    if (!unloaded_) {
        unloaded_ = true;
        state_.BusyFlag = false;
        if (panelMode_ == 0)
            state_.settings.BrowserViewMode = int16_t(std::max(0, Combo1->currentIndex()));
        FileSelect->clear();
        SelectDir->clear();
        ClearPreview();
        if (!done_) {
            // Without OK the current folder is put back.
            QDir::setCurrent(startFolder_);
            state_.TraceText.clear();
        }
    }
    QDialog::done(result);
}

// --- navigation ---

void FileIO2::SelectDrive_Change(const QString& root)
{
    const QDir dir(root);
    if (!dir.exists() || !dir.isReadable() || !QDir::setCurrent(root)) {
        state_.prompter.Message(ErrorDescription(Err::DiskNotReady), MsgIcon::Warning);
        SelectDrive->SetDriveOf(SelectDir->Path());
        return;
    }
    SelectDir->SetPath(root);
    SelectDir_Change(SelectDir->Path());
}

void FileIO2::SelectDir_Change(const QString& folder)
{
    if (!QDir::setCurrent(folder)) {
        // A folder the user may not enter: stay where the names still resolve.
        state_.prompter.Message(ErrorDescription(Err::PathNotFound), MsgIcon::Warning);
        SelectDir->SetPath(QDir::currentPath());
        return;
    }
    FileSelect->SetFolder(folder);
    Label4->setText(ToNativeSeparators(folder));
    SelectDrive->SetDriveOf(folder);
}

void FileIO2::Combo1_Click(int index)
{
    if (index < 0)
        return;
    ApplyFileType(Combo1->itemText(index));
}

void FileIO2::ApplyFileType(const QString& pattern)
{
    SelFile->setText(pattern);
    FileSelect->SetPattern(pattern);
    Label6->clear();
    SetLamps({});
    if (panelMode_ == 1)
        ClearPreview();
}

void FileIO2::SelFile_Enter()
{
    FileSelect->SetPattern(SelFile->text());
}

void FileIO2::SetLamps(const FileAttributes& a)
{
    const std::array<bool, 4> lit{a.system, a.hidden, a.readOnly, a.archive};
    for (int i = 0; i < 4; ++i) {
        Lamp[i]->setProperty("lit", lit[i]);
        Lamp[i]->setStyleSheet(lit[i] ? QStringLiteral("background-color: rgb(255,0,0); border: 1px solid gray;")
                                      : QStringLiteral("background-color: rgb(64,64,64); border: 1px solid gray;"));
    }
}

void FileIO2::FileSelect_Click(const FileEntry& entry)
{
    SelFile->setText(entry.name);
    const FileEntry now = ReadFileEntry(JoinPath(FileSelect->Folder(), entry.name));
    Label6->setText(FileInfoText(now.attributes.exists ? now : entry));
    SetLamps(now.attributes.exists ? now.attributes : entry.attributes);
    if (panelMode_ == 1)
        PreviewPicked(entry.name);
}

void FileIO2::FileSelect_DblClick(const FileEntry&)
{
    if (panelMode_ == 0)
        Command1_Click();
}

// --- OK ---

void FileIO2::Command1_Click()
{
    const QString name = SelFile->text();
    if (name.isEmpty() || name.contains(u'*'))
        return;
    if (mode_ == 2)
        SaveAs(name);
    else
        OpenOrCreate(name);
}

void FileIO2::OpenOrCreate(const QString& name)
{
    if (mode_ == 1) {
        if (GetFileAttributes(name).exists) {
            state_.prompter.Message(QStringLiteral(u"「") + name +
                                        QStringLiteral(u"」この名称のﾌｧｲﾙまたはﾌｫﾙﾀﾞは既に存在します。"),
                                    MsgIcon::Warning);
            return;
        }
    } else if (CheckFileExists(state_, name)) {
        return;
    }
    state_.doc.File.reset();
    try {
        {
            WaitCursor wait;
            if (mode_ == 0) {
                FilOp->setEnabled(false);
                state_.BusyFlag = true;
            } else {
                // The new document is an empty file of that name; never one that appeared meanwhile.
                QFile file(FromNativeSeparators(name));
                if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                    ThrowFileError(file, Err::PathFileAccess);
                file.close();
            }
            OpenInViewer(name);
        }
        FilOp->setEnabled(true);
        if (!state_.doc.HasFile())
            return;  // the loader told the user why
        done_ = true;
        accept();
    } catch (const RuntimeError& e) {
        TraceAppend(state_, QStringLiteral(u"!!了解!!"));
        FilOp->setEnabled(true);
        if (host_)
            host_->SetTimer1Enabled(hostTimer_);
        state_.doc.DocumentName = name;
        ReportError(state_, e, 1);
        ResetViewer();
    }
}

void FileIO2::OpenInViewer(const QString& name)
{
    // The main window's own open (loader, recent list, first screen) when it offers one.
    if (state_.OpenInViewer) {
        state_.OpenInViewer(name);
        return;
    }
    ViewerHost quiet;
    ViewerHost& host = host_ != nullptr ? *host_ : quiet;
    PrOpen(state_, host, name);
    if (!state_.doc.HasFile())
        return;
    try {
        AddRecentFile(state_, QString());
    } catch (const RuntimeError& e) {
        // The document is open; only the recent list could not be written.
        ReportError(state_, e, 0);
    }
    host.DrawScreen();
}

void FileIO2::ResetViewer()
{
    if (host_) {
        host_->ResetToNoDocument(false);
        return;
    }
    state_.doc.File.reset();
    state_.doc.DocumentName.clear();
    state_.doc.LineCount = 0;
    state_.doc.LineBuffer.clear();
}

void FileIO2::SaveAs(const QString& name)
{
    const QString documentName = state_.doc.DocumentName;
    if (documentName.isEmpty())
        return;
    const QString source = QDir(startFolder_).absoluteFilePath(FromNativeSeparators(documentName));
    const QString target = QDir::current().absoluteFilePath(FromNativeSeparators(name));
    // Asked before the save guard, whose overwrite question would delete the document itself.
    if (SamePath(source, target)) {
        state_.prompter.Message(QStringLiteral(u"同名のファイル名は指定できません。"), MsgIcon::Critical);
        return;
    }
    try {
        if (CheckSaveTarget(state_, name) != SaveTarget::Allowed)
            return;
    } catch (const RuntimeError& e) {
        // The guard failed before anything was touched: the document stays shown.
        const QString documentName = state_.doc.DocumentName;
        state_.doc.DocumentName = name;
        ReportError(state_, e, 0);
        state_.doc.DocumentName = documentName;
        return;
    }
    try {
        state_.doc.File.reset();
        WaitCursor wait;
        state_.settings.BrowserFlag = Check1->isChecked() ? 1 : 0;
        // The copy is written beside the target and takes its name when complete: an
        // existing file the user agreed to overwrite stays whole until then.
        QFile from(source);
        if (!from.open(QIODevice::ReadOnly))
            ThrowFileError(from, Err::PathFileAccess);
        QSaveFile to(target);
        if (!to.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            ThrowFileError(to, Err::PathFileAccess);
        QByteArray block;
        while (!(block = from.read(1 << 20)).isEmpty())
            if (to.write(block) != block.size())
                ThrowFileError(to, Err::DiskFull);
        if (from.error() != QFileDevice::NoError)
            ThrowFileError(from, Err::DeviceIo);
        from.close();
        if (!to.commit())
            ThrowFileError(to, Err::DiskFull);
        if (state_.settings.BrowserFlag == 1) {
            state_.doc.File = OpenFile(target, QIODevice::ReadOnly);
            state_.doc.DocumentName = name;
            state_.doc.FileTimestamp = QFileInfo(target).lastModified();
            // Only the caption changes: the copy holds the same lines at the same places.
            if (parentWidget())
                parentWidget()->window()->setWindowTitle(
                    name + QStringLiteral(" (") +
                    FormatFileTimestamp(state_.doc.FileTimestamp) +
                    QStringLiteral(")"));
        } else {
            QDir::setCurrent(startFolder_);
            state_.doc.File = OpenFile(source, QIODevice::ReadOnly);
        }
        done_ = true;
        accept();
    } catch (const RuntimeError& e) {
        TraceAppend(state_, QStringLiteral(u"!!了解!!"));
        if (host_)
            host_->SetTimer1Enabled(hostTimer_);
        state_.doc.DocumentName = name;
        ReportError(state_, e, 0);
        ResetViewer();
    }
}

// --- binary view and options ---

void FileIO2::Command3_Click()
{
    TraceAppend(state_, QStringLiteral("->Command3"));
    const QString name = SelFile->text();
    if (name.isEmpty() || name.contains(u'*')) {
        state_.TargetFilePath.clear();
        return;
    }
    state_.TargetFilePath = name;
    const auto launcher = state_.WindowCommands.find(QStringLiteral("Menu_Kaku_Hx"));
    if (launcher == state_.WindowCommands.end() || CheckFileExists(state_, name))
        return;
    try {
        if (QFileInfo(FromNativeSeparators(name)).size() == 0) {
            state_.prompter.Message(QStringLiteral(u"ファイルサイズが０のため表示できません。"),
                                    MsgIcon::Warning, MsgButtons::Ok, QStringLiteral(u"ﾊﾞｲﾅﾘ表示"));
            return;
        }
        state_.DumpActionCode = 0;
        launcher->second(this);
        FileSelect->Refresh();
        if (state_.DumpActionCode == 1 || state_.DumpActionCode == 2) {
            done_ = true;
            accept();
        }
    } catch (const RuntimeError& e) {
        const QString documentName = state_.doc.DocumentName;
        state_.doc.DocumentName = name;
        ReportError(state_, e, 1);
        state_.doc.DocumentName = documentName;
    }
}

void FileIO2::Command8_Click()
{
    const std::array<int16_t, 5> boxes = AttributeFilterToSettings(FileSelect->Filter());
    for (int i = 0; i < 5; ++i)
        Check2[i]->setChecked(boxes[i] != 0);
    Stack->setCurrentWidget(Picture3);
}

void FileIO2::Command9_Click()
{
    std::array<int16_t, 5> boxes{};
    for (int i = 0; i < 5; ++i)
        boxes[i] = Check2[i]->isChecked() ? 1 : 0;
    FileSelect->SetFilter(AttributeFilterFromSettings(boxes));
    SelectDir->SetShowHidden(boxes[3] != 0);
    state_.settings.BrowserAttributeFilter = boxes;
    Stack->setCurrentWidget(FilOp);
}

}  // namespace kolbran
