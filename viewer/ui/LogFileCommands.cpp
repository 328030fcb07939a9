// The command table of the main window: every menu item and toolbar key, and what it does.
#include "viewer/ui/LogFile.h"

#include "core/AppState.h"
#include "core/Guards.h"
#include "core/LongRun.h"
#include "core/RuntimeError.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>

#include <set>

namespace kolbran {

namespace {

// One row per command. `item` is the menu item's objectName, `key` the toolbar key that
// runs the same command (or nullptr). A row with `own` set is built into the main window
// and always available; the other rows need a launcher in AppState::WindowCommands under
// the item's objectName (or, for array items, the array's name) and stay disabled without.
struct CommandRow {
    const char* item;
    const char* key;
    bool own;
    std::function<void(LogFile&)> run;
};

}  // namespace

struct LogFileCommandTable {
    static std::vector<CommandRow> Rows(LogFile& w);
    // A row whose command is its tool window, launched under the item's name.
    static std::function<void(LogFile&)> Tool(const char* item)
    {
        const QString name = QString::fromLatin1(item);
        return [name](LogFile& w) { w.LaunchTool(name); };
    }
};

std::vector<CommandRow> LogFileCommandTable::Rows(LogFile& w)
{
    AppState& s = w.state_;
    auto launch = [&w](const QString& name, const QString& array = {}) { w.LaunchTool(name, array); };
    return {
        {"Menu_File_New", nullptr, false,
         [&w, &s, launch](LogFile&) {
             w.CloseDocument();
             s.FileDialogMode = 1;
             launch(QStringLiteral("Menu_File_New"));
             if (s.doc.HasFile())
                 w.RunCommand(QStringLiteral("Menu_Edit_Edit"));
         }},
        {"Menu_File_Open", "File_Open", true, [&w](LogFile&) { w.Menu_File_Open_Click(); }},
        {"Menu_File_Close", "File_Close", true, [&w](LogFile&) { w.CloseDocument(); }},
        {"Menu_File_Save", nullptr, false,
         [&s, launch](LogFile&) {
             s.FileDialogMode = 2;
             launch(QStringLiteral("Menu_File_Save"));
         }},
        {"Menu_File_Print", "File_Print", false,
         [&s, launch](LogFile&) {
             s.LineRangeMode = 0;
             launch(QStringLiteral("Menu_File_Print"));
         }},
        {"Menu_File_Del", "File_Delete", true, [&w](LogFile&) { w.Menu_File_Del_Click(); }},
        {"Menu_File_Fe_1", nullptr, true, [&w](LogFile&) { w.Menu_File_Fe_Click(1); }},
        {"Menu_File_Fe_2", nullptr, true, [&w](LogFile&) { w.Menu_File_Fe_Click(2); }},
        {"Menu_File_Fe_3", nullptr, true, [&w](LogFile&) { w.Menu_File_Fe_Click(3); }},
        {"Menu_File_Fe_4", nullptr, true, [&w](LogFile&) { w.Menu_File_Fe_Click(4); }},
        {"Menu_File_Fe_5", nullptr, true, [&w](LogFile&) { w.Menu_File_Fe_Click(5); }},
        {"Menu_File_Fe_6", nullptr, true, [&w](LogFile&) { w.Menu_File_Fe_Click(6); }},
        {"Menu_File_Fe_7", nullptr, true, [&w](LogFile&) { w.Menu_File_Fe_Click(7); }},
        {"Menu_File_Fe_8", nullptr, true, [&w](LogFile&) { w.Menu_File_Fe_Click(8); }},
        {"Menu_File_Fe_9", nullptr, true, [&w](LogFile&) { w.Menu_File_Fe_Click(9); }},
        {"Menu_File_Quit", "End", true, [&w](LogFile&) { w.Menu_File_Quit_Click(); }},
        {"Menu_Edit_Copy", "Copy", true, [&w](LogFile&) { w.Copy(); }},
        {"Menu_Edit_Line_0", nullptr, false, [&w](LogFile&) { w.Menu_Edit_Line_Click(0); }},
        {"Menu_Edit_Line_1", "Kiri", false, [&w](LogFile&) { w.Menu_Edit_Line_Click(1); }},
        {"Menu_Edit_Line_4", nullptr, false, [&w](LogFile&) { w.Menu_Edit_Line_Click(4); }},
        {"Menu_Edit_Edit", "Kan", false, [&w](LogFile&) { w.Menu_Edit_Edit_Click(); }},
        {"Menu_Sea_Sea", "Sear", false, Tool("Menu_Sea_Sea")},
        {"Menu_Sea_Down", "Down", false, Tool("Menu_Sea_Down")},
        {"Menu_Sea_Up", "Up", false, Tool("Menu_Sea_Up")},
        {"Menu_Sea_Dump", nullptr, false, Tool("Menu_Sea_Dump")},
        {"Menu_Disp_Tool", nullptr, true, [&w](LogFile&) { w.ToggleBar(0); }},
        {"Menu_Disp_Memo", nullptr, true, [&w](LogFile&) { w.ToggleBar(1); }},
        {"Menu_Disp_Stat", nullptr, true, [&w](LogFile&) { w.ToggleBar(2); }},
        {"Menu_Disp_Ari", nullptr, true, [&w](LogFile&) { w.Menu_Disp_Ari_Click(); }},
        {"Menu_Disp_Hyoji", "Option", false, [&w](LogFile&) { w.Menu_Disp_Hyoji_Click(); }},
        {"Menu_Disp_Nippon_0", nullptr, true, [&w](LogFile&) { w.Menu_Disp_Nippon_Click(0); }},
        {"Menu_Disp_Nippon_1", nullptr, true, [&w](LogFile&) { w.Menu_Disp_Nippon_Click(1); }},
        {"Menu_Disp_Nippon_2", nullptr, true, [&w](LogFile&) { w.Menu_Disp_Nippon_Click(2); }},
        {"Menu_Disp_Nippon_3", nullptr, true, [&w](LogFile&) { w.Menu_Disp_Nippon_Click(3); }},
        {"Menu_Disp_Nippon_9", nullptr, true, [&w](LogFile&) { w.Menu_Disp_Nippon_Click(9); }},
        {"Menu_Disp_Nashi", "Scroll", true, [&w](LogFile&) { w.Menu_Disp_Nashi_Click(); }},
        {"Menu_Disp_Width", nullptr, true, [&w](LogFile&) { w.Menu_Disp_Width_Click(); }},
        {"Menu_Trans_Nif", nullptr, false, Tool("Menu_Trans_Nif")},
        {"Menu_Trans_Eye", nullptr, false, Tool("Menu_Trans_Eye")},
        {"Menu_Trans_MltEye", nullptr, false, Tool("Menu_Trans_MltEye")},
        {"Menu_Trans_Nippon", nullptr, false, Tool("Menu_Trans_Nippon")},
        {"Menu_Trans_Mm", nullptr, false, Tool("Menu_Trans_Mm")},
        {"Menu_Trans_By", nullptr, false, Tool("Menu_Trans_By")},
        {"Menu_Trans_Bb", nullptr, false, Tool("Menu_Trans_Bb")},
        {"Menu_Trans_B1", nullptr, false, Tool("Menu_Trans_B1")},
        {"Menu_Trans_B2", nullptr, false, Tool("Menu_Trans_B2")},
        {"Menu_Trans_Byg", nullptr, false,
         [launch](LogFile&) {
             if (QApplication::overrideCursor() == nullptr)  // not while a file is read
                 launch(QStringLiteral("Menu_Trans_Byg"));
         }},
        {"Menu_Trans_MltNip", nullptr, false, Tool("Menu_Trans_MltNip")},
        {"Menu_Trans_MltChi", nullptr, false, Tool("Menu_Trans_MltChi")},
        {"Menu_Kaku_Hx", nullptr, false, [&w](LogFile&) { w.Menu_Kaku_Hx_Click(); }},
        {"Menu_Trans_Kak", nullptr, false, Tool("Menu_Trans_Kak")},
        {"Menu_Kaku_ByFuku", nullptr, false,
         [&s, launch](LogFile&) {
             s.DecodeMode = 0;
             launch(QStringLiteral("Menu_Kaku_ByFuku"));
         }},
        {"Menu_Kaku_Bit", nullptr, false, Tool("Menu_Kaku_Bit")},
        {"Menu_Kaku_Csv", nullptr, false, [&w](LogFile&) { w.Menu_Kaku_Csv_Click(); }},
        {"Menu_Kaku_CalF", nullptr, false, Tool("Menu_Kaku_CalF")},
        {"Menu_Kaku_Album", nullptr, false, Tool("Menu_Kaku_Album")},
        {"Menu_Kaku_Photo", nullptr, false, Tool("Menu_Kaku_Photo")},
        {"Menu_Kaku_MltScan", nullptr, false, Tool("Menu_Kaku_MltScan")},
        {"Menu_Kaku_MltPRT", nullptr, false, Tool("Menu_Kaku_MltPRT")},
        {"Menu_Kaku_Comp", nullptr, false, Tool("Menu_Kaku_Comp")},
        {"Menu_Kaku_Bunketsu", nullptr, false, Tool("Menu_Kaku_Bunketsu")},
        {"Menu_Kaku_Decode", nullptr, false,
         [&s, launch](LogFile&) {
             s.DecodeMode = 2;
             launch(QStringLiteral("Menu_Kaku_Decode"));
         }},
        {"Menu_H_M_1", nullptr, false,
         [&s, launch](LogFile&) { s.HelpRequestIndex = 1; launch(QStringLiteral("Menu_H_M_1"), QStringLiteral("Menu_H_M")); }},
        {"Menu_H_M_2", nullptr, false,
         [&s, launch](LogFile&) { s.HelpRequestIndex = 2; launch(QStringLiteral("Menu_H_M_2"), QStringLiteral("Menu_H_M")); }},
        {"Menu_H_M_4", nullptr, false,
         [&s, launch](LogFile&) { s.HelpRequestIndex = 4; launch(QStringLiteral("Menu_H_M_4"), QStringLiteral("Menu_H_M")); }},
        {"Menu_H_M_6", nullptr, false,
         [&s, launch](LogFile&) { s.HelpRequestIndex = 6; launch(QStringLiteral("Menu_H_M_6"), QStringLiteral("Menu_H_M")); }},
        {"Menu_H_M_7", nullptr, false,
         [&s, launch](LogFile&) { s.HelpRequestIndex = 7; launch(QStringLiteral("Menu_H_M_7"), QStringLiteral("Menu_H_M")); }},
        {"Menu_H_V", "Ver", false, Tool("Menu_H_V")},
    };
}

void LogFile::RouteCommands()
{
    for (CommandRow& row : LogFileCommandTable::Rows(*this)) {
        const QString item = QString::fromLatin1(row.item);
        auto run = [this, f = row.run] {
            // While a run goes on the menus and toolbar are disabled; a shortcut or a
            // direct call waits too, so that runs never nest.
            if (RunGoing(state_))
                return;
            try {
                f(*this);
            } catch (const RuntimeError& e) {
                ReportError(state_, e, 1);
            }
        };
        commands_.insert(item, run);
        if (row.own)
            ownCommands_.insert(item);
        if (QAction* action = items_.value(item))
            connect(action, &QAction::triggered, this, run);
        if (row.key) {
            const QString key = QString::fromLatin1(row.key);
            commands_.insert(key, run);
            buttonItems_.insert(key, item);
            if (QAction* button = buttons_.value(key))
                connect(button, &QAction::triggered, this, run);
        }
    }
}

bool LogFile::RunCommand(const QString& name)
{
    const auto it = commands_.constFind(name);
    if (it == commands_.constEnd())
        return false;
    (*it)();
    return true;
}

namespace {

// "Menu_Edit_Line_1" → "Menu_Edit_Line": the control array an item belongs to.
QString ArrayName(const QString& item)
{
    const qsizetype cut = item.lastIndexOf(u'_');
    if (cut < 0 || cut + 1 >= item.size() || !item.at(cut + 1).isDigit())
        return {};
    return item.left(cut);
}

}  // namespace

bool LogFile::HasLauncher(const QString& name) const
{
    if (state_.WindowCommands.count(name))
        return true;
    const QString array = ArrayName(name);
    return !array.isEmpty() && state_.WindowCommands.count(array);
}

bool LogFile::IsAvailable(const QString& item) const
{
    if (!commands_.contains(item))
        return true;  // menus and separators
    return ownCommands_.contains(item) || HasLauncher(item);
}

bool LogFile::LaunchTool(const QString& name, const QString& arrayName)
{
    auto it = state_.WindowCommands.find(name);
    if (it == state_.WindowCommands.end()) {
        const QString array = arrayName.isEmpty() ? ArrayName(name) : arrayName;
        it = state_.WindowCommands.find(array);
        if (array.isEmpty() || it == state_.WindowCommands.end())
            return false;
    }
    // The window takes no drops while a tool dialog is shown; afterwards it takes them
    // again when the tool left it without a document (a tool may open or close one).
    SetWindowDropTarget(false);
    try {
        it->second(this);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 1);
    }
    SetWindowDropTarget(!state_.doc.HasFile());
    return true;
}

void LogFile::SetItemEnabled(const QString& name, bool enabled)
{
    if (QAction* action = items_.value(name))
        SetActionEnabled(action, enabled && IsAvailable(name));
}

void LogFile::SetActionEnabled(QAction* action, bool enabled)
{
    const auto held = runHeld_.find(action);
    if (held != runHeld_.end())
        *held = enabled;  // applied when the run has ended
    else
        action->setEnabled(enabled);
}

void LogFile::SetButtonEnabled(const QString& key, bool enabled)
{
    if (QAction* button = buttons_.value(key))
        button->setEnabled(enabled && IsAvailable(buttonItems_.value(key)));
}

void LogFile::ApplyAvailability()
{
    for (auto it = items_.constBegin(); it != items_.constEnd(); ++it)
        if (!IsAvailable(it.key()))
            SetActionEnabled(it.value(), false);
    for (auto it = buttons_.constBegin(); it != buttons_.constEnd(); ++it)
        if (!IsAvailable(buttonItems_.value(it.key())))
            it.value()->setEnabled(false);
}

// --- the rows that do more than launch their tool ---

void LogFile::Menu_File_Open_Click()
{
    if (QApplication::overrideCursor() != nullptr)
        return;  // a file is being read
    state_.FileDialogMode = 0;
    state_.DumpActionCode = 0;
    if (!LaunchTool(QStringLiteral("Menu_File_Open"))) {
        // Without the program's own file dialog, the platform's open box picks the file.
        FileDialogRequest request;
        request.title = QStringLiteral(u"ファイルを開く");
        request.filter = QStringLiteral(u"テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*");
        request.filterIndex = 2;
        QString path;
        try {
            path = state_.prompter.OpenFileName(request);
        } catch (const RuntimeError& e) {
            if (e.Number() != Err::DialogCancelled)
                throw;
            return;
        }
        OpenPath(path);
    }
    AfterBinaryView();
    LayOutWidths();
}

// The binary view may ask to show (1) or show and print (2) the file it wrote.
void LogFile::AfterBinaryView()
{
    const int action = state_.DumpActionCode;
    state_.DumpActionCode = 0;
    if (action != 1 && action != 2)
        return;
    CloseDocument();
    if (OpenPath(state_.TargetFilePath) && action == 2)
        RunCommand(QStringLiteral("Menu_File_Print"));
}

void LogFile::Menu_Edit_Line_Click(int index)
{
    if (state_.doc.LineCount < 1)
        return;  // no line to pick
    const QString item = QStringLiteral("Menu_Edit_Line_%1").arg(index);
    if (index == 1) {
        if (RefuseProtected(state_, true) != 0)
            return;
        LockDocument(state_);
    }
    state_.LineRangeMode = index;
    LaunchTool(item, QStringLiteral("Menu_Edit_Line"));
    // However the dialog ended (a cancelled delete too), the document is open for shared
    // reading again and shown as it now stands.
    if (!state_.doc.DocumentName.isEmpty()) {
        try {
            ReopenDocumentShared();
        } catch (const RuntimeError& e) {
            ReportError(state_, e, 1);
        }
        DispR();
    }
}

void LogFile::Menu_Edit_Edit_Click()
{
    if (state_.doc.DisplayCode != 0) {
        state_.prompter.Message(QStringLiteral(u"文字表示コードが標準値でないため処理できません。"),
                                MsgIcon::Warning, MsgButtons::Ok, QStringLiteral(u"簡易エティタ"));
        return;
    }
    if (RefuseProtected(state_, true) != 0)
        return;
    SetTimer1Enabled(false);
    try {
        LockDocument(state_);
        LaunchTool(QStringLiteral("Menu_Edit_Edit"));
        // The editor may have rewritten the file: read it again from a fresh handle.
        ReopenDocumentShared();
        DispR();
    } catch (const RuntimeError& e) {
        ReportAndReopen(state_, e);
    }
    SetTimer1Enabled(state_.doc.HasFile());
}

void LogFile::Menu_Kaku_Hx_Click()
{
    if (state_.doc.FileLength == 0) {
        state_.prompter.Message(QStringLiteral(u"ファイルサイズが０のため表示できません。"), MsgIcon::Warning,
                                MsgButtons::Ok, QStringLiteral(u"ﾊﾞｲﾅﾘ表示"));
        return;
    }
    state_.TargetFilePath = state_.doc.DocumentName;
    state_.DumpActionCode = 0;
    LaunchTool(QStringLiteral("Menu_Kaku_Hx"));
    AfterBinaryView();
    LayOutWidths();
}

void LogFile::Menu_Kaku_Csv_Click()
{
    const QString title = QStringLiteral(u"CSV処理");
    if (state_.doc.FileLength == 0) {
        state_.prompter.Message(QStringLiteral(u"ファイルサイズが０のため処理できません。"), MsgIcon::Warning,
                                MsgButtons::Ok, title);
        return;
    }
    if (state_.prompter.Message(QStringLiteral(u"CSV解析を実行します。"), MsgIcon::Question,
                                MsgButtons::OkCancel, title) == MsgAnswer::Ok)
        LaunchTool(QStringLiteral("Menu_Kaku_Csv"));
}

void LogFile::Menu_Disp_Hyoji_Click()
{
    state_.SettingsChanged = false;
    LaunchTool(QStringLiteral("Menu_Disp_Hyoji"));
    if (state_.SettingsChanged)
        ApplyOptions();
}

}  // namespace kolbran

namespace kolbran {

QAction* LogFile::MenuItem(const QString& objectName) const
{
    return items_.value(objectName);
}

QAction* LogFile::ToolButton(const QString& key) const
{
    return buttons_.value(key);
}

}  // namespace kolbran
