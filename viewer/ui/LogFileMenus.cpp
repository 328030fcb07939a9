// The menu bar, the toolbar and the status bar of the main window.
#include "viewer/ui/LogFile.h"

#include "core/AppState.h"
#include "core/Settings.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace kolbran {

QAction* LogFile::AddItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    items_.insert(name, action);
    return action;
}

QAction* LogFile::AddSeparator(QMenu* menu, const QString& name)
{
    QAction* action = menu->addSeparator();
    if (!name.isEmpty()) {
        action->setObjectName(name);
        items_.insert(name, action);
    }
    return action;
}

void LogFile::BuildMenus()
{
    QMenuBar* bar = menuBar();
    auto topMenu = [&](const QString& name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        items_.insert(name, menu->menuAction());
        return menu;
    };

    QMenu* file = topMenu(QStringLiteral("Menu_File"), QStringLiteral(u"ﾌｧｲﾙ(&F)"));
    AddItem(file, QStringLiteral("Menu_File_New"), QStringLiteral(u"新規作成(&N)..."));
    AddItem(file, QStringLiteral("Menu_File_Open"), QStringLiteral(u"ファイルを開く(&O)..."));
    AddItem(file, QStringLiteral("Menu_File_Close"), QStringLiteral(u"ファイルを閉じる(&C)"));
    AddItem(file, QStringLiteral("Menu_File_Save"), QStringLiteral(u"名前を付けて保存(&A)..."));
    AddSeparator(file);
    AddItem(file, QStringLiteral("Menu_File_Print"), QStringLiteral(u"印刷(&P)..."));
    AddSeparator(file);
    AddItem(file, QStringLiteral("Menu_File_Del"), QStringLiteral(u"ファイル削除(&D)"));
    AddSeparator(file);
    for (int k = 1; k <= 9; ++k)
        AddItem(file, QStringLiteral("Menu_File_Fe_%1").arg(k), QStringLiteral("&%1").arg(k))
            ->setVisible(false);
    AddSeparator(file, QStringLiteral("Menu_File_E"))->setVisible(false);
    AddItem(file, QStringLiteral("Menu_File_Quit"), QStringLiteral(u"終了(&X)"));

    Menu_Edit = topMenu(QStringLiteral("Menu_Edit"), QStringLiteral(u"編集(&E)"));
    AddItem(Menu_Edit, QStringLiteral("Menu_Edit_Copy"), QStringLiteral(u"コピー(&C)"));
    AddItem(Menu_Edit, QStringLiteral("Menu_Edit_Line_0"), QStringLiteral(u"行コピー(&G)..."));
    AddItem(Menu_Edit, QStringLiteral("Menu_Edit_Line_1"), QStringLiteral(u"行削除(&L)..."));
    AddItem(Menu_Edit, QStringLiteral("Menu_Edit_Line_4"), QStringLiteral(u"BASE64 ﾃﾞｺｰﾄﾞ(&F)..."));
    AddSeparator(Menu_Edit);
    AddItem(Menu_Edit, QStringLiteral("Menu_Edit_Edit"), QStringLiteral(u"簡易エディタ(&E)"));
    AddSeparator(Menu_Edit, QStringLiteral("Menu_Sea"));
    AddItem(Menu_Edit, QStringLiteral("Menu_Sea_Sea"), QStringLiteral(u"検索(&K)..."));
    AddItem(Menu_Edit, QStringLiteral("Menu_Sea_Down"), QStringLiteral(u"下方向に検索(&D)"));
    AddItem(Menu_Edit, QStringLiteral("Menu_Sea_Up"), QStringLiteral(u"上方向に検索(&U)"));
    AddSeparator(Menu_Edit);
    AddItem(Menu_Edit, QStringLiteral("Menu_Sea_Dump"), QStringLiteral(u"部分バイナリ表示(&B)"));
    connect(Menu_Edit, &QMenu::aboutToShow, this, &LogFile::Menu_Edit_Opening);

    QMenu* disp = topMenu(QStringLiteral("Menu_Disp"), QStringLiteral(u"ｵﾌﾟｼｮﾝ(&O)"));
    AddItem(disp, QStringLiteral("Menu_Disp_Tool"), QStringLiteral(u"ツールバー(&B)"))->setCheckable(true);
    AddItem(disp, QStringLiteral("Menu_Disp_Memo"), QStringLiteral(u"目盛(&M)"))->setCheckable(true);
    AddItem(disp, QStringLiteral("Menu_Disp_Stat"), QStringLiteral(u"ステータスバー(&U)"))->setCheckable(true);
    AddItem(disp, QStringLiteral("Menu_Disp_Ari"), QStringLiteral(u"行番号表示(&A)"))->setCheckable(true);
    AddSeparator(disp);
    AddItem(disp, QStringLiteral("Menu_Disp_Hyoji"), QStringLiteral(u"属性(&H)..."));
    AddSeparator(disp);
    QMenu* codes = disp->addMenu(QStringLiteral(u"文字ｺｰﾄﾞ変換(&N)"));
    codes->setObjectName(QStringLiteral("Menu_Disp_Nippon0"));
    codes->menuAction()->setObjectName(QStringLiteral("Menu_Disp_Nippon0"));
    items_.insert(QStringLiteral("Menu_Disp_Nippon0"), codes->menuAction());
    const std::pair<int, const char16_t*> codeItems[] = {
        {0, u"標準(&0)"}, {1, u"日本語１(&1)"}, {2, u"日本語２(&2)"}, {3, u"EBCDIKｺｰﾄﾞ(&3)"}, {9, u"不正ﾃﾞｰﾀ補正(&9)"}};
    for (const auto& [code, caption] : codeItems)
        AddItem(codes, QStringLiteral("Menu_Disp_Nippon_%1").arg(code), QString::fromUtf16(caption))
            ->setCheckable(true);
    AddSeparator(disp);
    AddItem(disp, QStringLiteral("Menu_Disp_Nashi"), QStringLiteral(u"自動ｽｸﾛｰﾙ(&S)"))->setCheckable(true);
    AddSeparator(disp);
    AddItem(disp, QStringLiteral("Menu_Disp_Width"), QStringLiteral(u"画面の幅に合わせる(&W)"));

    Menu_Trans = topMenu(QStringLiteral("Menu_Trans"), QStringLiteral(u"変換(&T)"));
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_Nif"), QStringLiteral(u"削除行実行(&E)..."));
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_Eye"), QStringLiteral(u"削除行設定(&S)..."));
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_MltEye"), QStringLiteral(u"複数ﾌｧｲﾙ削除行(&T)..."));
    AddSeparator(Menu_Trans);
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_Nippon"), QStringLiteral(u"文字ｺｰﾄﾞ変換(&N)..."));
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_Mm"), QStringLiteral(u"右側の空白を削除(&M)..."));
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_By"), QStringLiteral(u"ﾜｰﾄﾞﾗｯﾌﾟ変換(&W)..."));
    AddSeparator(Menu_Trans);
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_Bb"), QStringLiteral(u"2ﾊﾞｲﾄ改行へ(&K)..."));
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_B1"), QStringLiteral(u"1ﾊﾞｲﾄ改行へ(&L)..."));
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_B2"), QStringLiteral(u"改行文字を消す(&Z)..."));
    AddSeparator(Menu_Trans);
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_Byg"), QStringLiteral(u"描画(&B)..."));
    AddSeparator(Menu_Trans);
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_MltNip"), QStringLiteral(u"複数ﾌｧｲﾙ変換(&H)..."));
    AddItem(Menu_Trans, QStringLiteral("Menu_Trans_MltChi"), QStringLiteral(u"複数ﾌｧｲﾙ文字列置換(&C)..."));
    connect(Menu_Trans, &QMenu::aboutToShow, this, &LogFile::Menu_Trans_Opening);

    QMenu* kaku = topMenu(QStringLiteral("Menu_Kaku"), QStringLiteral(u"拡張機能(&K)"));
    AddItem(kaku, QStringLiteral("Menu_Kaku_Hx"), QStringLiteral(u"ﾊﾞｲﾅﾘ表示(&D)..."));
    AddItem(kaku, QStringLiteral("Menu_Trans_Kak"), QStringLiteral(u"ﾊﾞｲﾅﾘﾌｧｲﾙの復元(&G)..."));
    AddItem(kaku, QStringLiteral("Menu_Kaku_ByFuku"), QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ/復元(&H)..."));
    AddSeparator(kaku);
    AddItem(kaku, QStringLiteral("Menu_Kaku_Bit"), QStringLiteral("Bit&Map"));
    AddSeparator(kaku);
    AddItem(kaku, QStringLiteral("Menu_Kaku_Csv"), QStringLiteral("Csv(&C)..."));
    AddSeparator(kaku);
    AddItem(kaku, QStringLiteral("Menu_Kaku_CalF"), QStringLiteral(u"ｶﾚﾝﾀﾞｰ作成(&K)..."));
    AddItem(kaku, QStringLiteral("Menu_Kaku_Album"), QStringLiteral(u"ｱﾙﾊﾞﾑ作成(&L)..."));
    AddItem(kaku, QStringLiteral("Menu_Kaku_Photo"), QStringLiteral(u"画像一覧(&P)..."));
    AddSeparator(kaku);
    AddItem(kaku, QStringLiteral("Menu_Kaku_MltScan"), QStringLiteral(u"複数ﾌｧｲﾙ検索(&S)..."));
    AddItem(kaku, QStringLiteral("Menu_Kaku_MltPRT"), QStringLiteral(u"複数ﾌｧｲﾙ印刷(&F)..."));
    AddItem(kaku, QStringLiteral("Menu_Kaku_Comp"), QStringLiteral(u"ﾌｧｲﾙ ｺﾝﾍﾟｱ(&M)..."));
    AddItem(kaku, QStringLiteral("Menu_Kaku_Bunketsu"), QStringLiteral(u"分割／結合(&B)..."));
    AddItem(kaku, QStringLiteral("Menu_Kaku_Decode"), QStringLiteral(u"BASE64 (ｴﾝｺｰﾄﾞ/ﾃﾞｺｰﾄﾞ) (&E)..."));

    Menu_Help = topMenu(QStringLiteral("Menu_Help"), QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    AddItem(Menu_Help, QStringLiteral("Menu_H_M_1"), QStringLiteral(u"ﾒﾆｭｰﾊﾞｰの説明(&M)..."));
    AddItem(Menu_Help, QStringLiteral("Menu_H_M_2"), QStringLiteral(u"制限事項(&S)..."));
    AddItem(Menu_Help, QStringLiteral("Menu_H_M_4"), QStringLiteral(u"描画ﾌｧｲﾙの説明(1)(&B)..."));
    AddItem(Menu_Help, QStringLiteral("Menu_H_M_6"), QStringLiteral(u"拡張ﾊﾞｲﾅﾘﾌｧｲﾙの説明(&K)..."));
    AddItem(Menu_Help, QStringLiteral("Menu_H_M_7"), QStringLiteral(u"ｴﾝｺｰﾄﾞ/ﾃﾞｺｰﾄﾞの説明(&E)..."));
    AddSeparator(Menu_Help);
    AddItem(Menu_Help, QStringLiteral("Menu_H_V"), QStringLiteral(u"ﾊﾞｰｼﾞｮﾝ情報(&V)..."));
}

namespace {

// Some standard icons look the same disabled (the close cross, the print and option
// pictures): the disabled state is drawn here, grey and faint, so a disabled button shows.
QIcon WithGreyDisabledState(const QIcon& icon)
{
    QIcon out;
    for (const int side : {16, 24, 32}) {
        const QPixmap normal = icon.pixmap(QSize(side, side));
        if (normal.isNull())
            continue;
        out.addPixmap(normal, QIcon::Normal);
        QImage grey = normal.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < grey.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
            for (int x = 0; x < grey.width(); ++x) {
                const int g = 128 + qGray(line[x]) / 2;
                line[x] = qRgba(g, g, g, qAlpha(line[x]) * 2 / 5);
            }
        }
        out.addPixmap(QPixmap::fromImage(grey), QIcon::Disabled);
    }
    return out;
}

// A tool tip from a menu caption: without the "(&X)" mnemonic and the trailing dots.
QString ToolTipFromCaption(QString caption)
{
    const qsizetype open = caption.lastIndexOf(QStringLiteral("(&"));
    if (open >= 0)
        caption.truncate(open);
    caption.remove(u'&');
    while (caption.endsWith(u'.'))
        caption.chop(1);
    return caption.trimmed();
}

}  // namespace

void LogFile::BuildToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    addToolBar(Qt::TopToolBarArea, Toolbar1);

    // key, the menu item whose caption gives the tool tip, the icon.
    struct Button {
        const char* key;
        const char* item;
        QStyle::StandardPixmap icon;
        bool separatorAfter;
    };
    static const Button kButtons[] = {
        {"File_Open", "Menu_File_Open", QStyle::SP_DialogOpenButton, false},
        {"File_Close", "Menu_File_Close", QStyle::SP_DialogCloseButton, false},
        {"File_Print", "Menu_File_Print", QStyle::SP_FileDialogDetailedView, false},
        {"File_Delete", "Menu_File_Del", QStyle::SP_TrashIcon, false},
        {"End", "Menu_File_Quit", QStyle::SP_TitleBarCloseButton, true},
        {"Copy", "Menu_Edit_Copy", QStyle::SP_FileDialogNewFolder, false},
        {"Kiri", "Menu_Edit_Line_1", QStyle::SP_DialogDiscardButton, true},
        {"Sear", "Menu_Sea_Sea", QStyle::SP_FileDialogContentsView, false},
        {"Down", "Menu_Sea_Down", QStyle::SP_ArrowDown, false},
        {"Up", "Menu_Sea_Up", QStyle::SP_ArrowUp, true},
        {"Option", "Menu_Disp_Hyoji", QStyle::SP_FileDialogInfoView, false},
        {"Scroll", "Menu_Disp_Nashi", QStyle::SP_MediaPlay, false},
        {"Kan", "Menu_Edit_Edit", QStyle::SP_FileIcon, true},
        {"Ver", "Menu_H_V", QStyle::SP_MessageBoxInformation, false},
    };
    for (const Button& b : kButtons) {
        const QString key = QString::fromLatin1(b.key);
        QAction* item = items_.value(QString::fromLatin1(b.item));
        QAction* button = Toolbar1->addAction(WithGreyDisabledState(style()->standardIcon(b.icon)),
                                              ToolTipFromCaption(item ? item->text() : key));
        button->setObjectName(key);
        button->setToolTip(button->text());
        buttons_.insert(key, button);
        if (b.separatorAfter)
            Toolbar1->addSeparator();
    }
}

void LogFile::BuildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
    // Panel 1 takes the spare width; the others are sized for their usual contents.
    const int widths[5] = {0, 90, 70, 110, 130};
    const QString texts[5] = {QString(), QStringLiteral(u"行:"), QStringLiteral(u"列:"),
                              QStringLiteral(u"行数:"), QStringLiteral(u"ｻｲｽﾞ:")};
    for (int i = 0; i < 5; ++i) {
        panels_[i] = new QLabel(texts[i], StatusBar1);
        panels_[i]->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        if (widths[i] > 0)
            panels_[i]->setMinimumWidth(widths[i]);
        // A long text (the progress of a run) is cut, never widens the window.
        panels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        StatusBar1->addPermanentWidget(panels_[i], i == 0 ? 1 : 0);
    }
}

void LogFile::SetStatusPanel(int panel, const QString& text)
{
    if (panel >= 1 && panel <= 5)
        panels_[panel - 1]->setText(text);
}

QString LogFile::StatusPanel(int panel) const
{
    return panel >= 1 && panel <= 5 ? panels_[panel - 1]->text() : QString();
}

void LogFile::RefreshRecentMenu()
{
    const RecentFileMenu menu = RecentFileMenuItems(state_.settings);
    for (int k = 1; k <= 9; ++k) {
        QAction* item = items_.value(QStringLiteral("Menu_File_Fe_%1").arg(k));
        if (k <= menu.captions.size()) {
            item->setText(menu.captions[k - 1]);
            item->setVisible(true);
        } else {
            item->setVisible(false);
        }
    }
    items_.value(QStringLiteral("Menu_File_E"))->setVisible(menu.separatorVisible);
}

void LogFile::Menu_Edit_Opening()
{
    const bool searched = !state_.SearchString.isEmpty();
    SetItemEnabled(QStringLiteral("Menu_Sea_Down"), searched);
    SetItemEnabled(QStringLiteral("Menu_Sea_Up"), searched);
    SetItemEnabled(QStringLiteral("Menu_Sea_Dump"), Text1Selection().size() > 0);
}

void LogFile::Menu_Trans_Opening()
{
    const bool document = items_.value(QStringLiteral("Menu_Edit"))->isEnabled();
    const bool rules = state_.settings.DeleteRuleCount > 0;
    SetItemEnabled(QStringLiteral("Menu_Trans_Nif"), rules && document);
    SetItemEnabled(QStringLiteral("Menu_Trans_MltEye"), rules && !document);
    SetItemEnabled(QStringLiteral("Menu_Trans_MltNip"), !document);
    SetItemEnabled(QStringLiteral("Menu_Trans_MltChi"), !document);
}

void LogFile::ShowHelpMenuAt(const QPoint& globalPos)
{
    Menu_Help->popup(globalPos);
}

}  // namespace kolbran
