// The main window on a test AppState: menus, enabled states, the screen, the keys, the
// layout and the document commands, acted on through the window's own controls.
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "core/Twips.h"
#include "viewer/Viewport.h"
#include "viewer/ui/LogFile.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QUrl>

#include <memory>

using kolbran::AppState;
using kolbran::LogFile;
using kolbran::MsgAnswer;
using kolbran::MsgIcon;
using kolbran::test::ScriptedPrompter;

namespace {

QByteArray NumberedLines(int count, const QByteArray& prefix = "line ")
{
    QByteArray bytes;
    bytes.reserve(count * (prefix.size() + 9));
    for (int i = 1; i <= count; ++i)
        bytes += prefix + QByteArray::number(i) + "\r\n";
    return bytes;
}

// One window with its own settings folder, prompter and state.
struct Viewer {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    AppState state{prompter};
    std::unique_ptr<LogFile> window;
    QStringList launched;  // the tools started, with the hand-over values they saw

    Viewer()
    {
        state.SettingsFolder = dir.filePath(QStringLiteral("settings"));
        QDir().mkpath(state.SettingsFolder);
    }
    ~Viewer()
    {
        if (window)
            window->close();
        QDir::setCurrent(QDir::tempPath());
    }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    // Registers a recording launcher for each item.
    void Register(const QStringList& items)
    {
        for (const QString& item : items)
            state.WindowCommands[item] = [this, item](QWidget*) {
                launched << QStringLiteral("%1 range=%2 help=%3 decode=%4 dialog=%5")
                                .arg(item)
                                .arg(state.LineRangeMode)
                                .arg(state.HelpRequestIndex)
                                .arg(state.DecodeMode)
                                .arg(state.FileDialogMode);
            };
    }
    LogFile& Start(const QString& commandLine = {})
    {
        window = std::make_unique<LogFile>(state, commandLine);
        return *window;
    }
    QAction* Item(const QString& name) const { return window->MenuItem(name); }
    QAction* Button(const QString& key) const { return window->ToolButton(key); }
    QPlainTextEdit* Text1() const { return window->findChild<QPlainTextEdit*>(QStringLiteral("Text1")); }
    QScrollBar* VScroll1() const { return window->findChild<QScrollBar*>(QStringLiteral("VScroll1")); }
    QListWidget* List1() const { return window->findChild<QListWidget*>(QStringLiteral("List1")); }
    QString Panel(int n) const { return window->StatusPanel(n); }
    QString Screen() const { return Text1()->toPlainText(); }
};

const QStringList kMultiFileItems = {QStringLiteral("Menu_Kaku_MltScan"), QStringLiteral("Menu_Kaku_MltPRT"),
                                     QStringLiteral("Menu_Kaku_Comp"), QStringLiteral("Menu_Kaku_Bunketsu"),
                                     QStringLiteral("Menu_Kaku_Decode"), QStringLiteral("Menu_Kaku_ByFuku")};

// Every launcher a complete program registers.
QStringList AllTools()
{
    return kMultiFileItems + QStringList{
        QStringLiteral("Menu_File_New"), QStringLiteral("Menu_File_Save"), QStringLiteral("Menu_File_Print"),
        QStringLiteral("Menu_Edit_Line"), QStringLiteral("Menu_Edit_Edit"), QStringLiteral("Menu_Sea_Sea"),
        QStringLiteral("Menu_Sea_Down"), QStringLiteral("Menu_Sea_Up"), QStringLiteral("Menu_Sea_Dump"),
        QStringLiteral("Menu_Disp_Hyoji"), QStringLiteral("Menu_Trans_Nif"), QStringLiteral("Menu_Trans_Eye"),
        QStringLiteral("Menu_Trans_MltEye"), QStringLiteral("Menu_Trans_MltNip"), QStringLiteral("Menu_Trans_MltChi"), QStringLiteral("Menu_Trans_Nippon"), QStringLiteral("Menu_Trans_Mm"),
        QStringLiteral("Menu_Trans_By"), QStringLiteral("Menu_Trans_Bb"), QStringLiteral("Menu_Trans_B1"),
        QStringLiteral("Menu_Trans_B2"), QStringLiteral("Menu_Trans_Byg"), QStringLiteral("Menu_Kaku_Hx"),
        QStringLiteral("Menu_Trans_Kak"), QStringLiteral("Menu_Kaku_Bit"), QStringLiteral("Menu_Kaku_Csv"),
        QStringLiteral("Menu_Kaku_CalF"), QStringLiteral("Menu_Kaku_Album"), QStringLiteral("Menu_Kaku_Photo"),
        QStringLiteral("Menu_H_M"), QStringLiteral("Menu_H_V")};
}

void SendKey(QWidget* target, int key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
}

void Drop(QWidget* target, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

}  // namespace

class LogFileTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void StartsWithoutDocumentAndSavesSettingsAtClose();
    void MenuTreeHasEveryCaptionInOrder();
    void ToolbarHasItsFourteenKeys();
    void EnabledStatesWithAndWithoutDocument();
    void ToolsWithoutLauncherStayDisabled();
    void CommandsHandTheirValuesToTheTools();
    void Utf16DocumentDisablesCodeMenuAndNewlineConversions();
    void ShortDocumentHasNoScrollBarAndKeepsLastLineEnd();
    void OneByteWithoutLineEnd();
    void LastScreenRunsToTheEndOfTheFile();
    void LongDocumentMapsScrollPositions();
    void LineNumbersHaveFourDigitsOrMore();
    void DownOnTheBottomRowScrollsOneLine();
    void UpOnTheTopRowScrollsOneLine();
    void LetterKeyMovesFocusToScrollBar();
    void CaretTrackerShowsLineAndColumn();
    void VerticalResizeSnapsBack();
    void ToggleBarsRecomputeHeight();
    void FitWidthAndBackStoresSavedWidth();
    void DeleteAsksTwice();
    void SearchDownDisabledUntilCopied();
    void DroppingAFolderOpensNothing();
    void DroppingAFileOnTheWindowOpensIt();
    void RecentFileThatVanishedKeepsDocument();
    void RecentFileOpens();
    void CloseReturnsToNoDocument();
    void DisplayCodeMenuChecksOneItem();
    void AutoScrollStepsAndStopsAtTheEnd();
    void CommandLineMissingFileGivesMessage();
    void OpenInViewerHookOpensFile();
    void LoneLineBreaksStayOnTheirRow();
    void MinimisingHidesTheResultList();
    void RightButtonOnFreeAreaPopsUpHelp();
    void SplitterResizesLineNumberColumn();
    void OptionsDialogResultIsApplied();
    void DrawingFileOpensDrawingWindow();
    void SettingsWriteErrorIsSilentAtShutDown();
    void WindowTakesNoDropsWhileToolIsShown();
    void ScrollBarOnTheLeft();
    void WheelOverTheTextScrollsTheDocument();
};

void LogFileTest::StartsWithoutDocumentAndSavesSettingsAtClose()
{
    Viewer v;
    LogFile& w = v.Start();
    QCOMPARE(w.windowTitle(), QStringLiteral("Kolbran"));
    QCOMPARE(w.width(), kolbran::TwipsToPixels(9105));
    QCOMPARE(w.height(), w.WindowHeight());
    QVERIFY(!v.Text1()->isEnabled());
    QCOMPARE(v.Panel(2), QStringLiteral(u"行:"));
    QCOMPARE(v.Panel(3), QStringLiteral(u"列:"));
    QCOMPARE(v.Panel(4), QStringLiteral(u"行数:"));
    QCOMPARE(v.Panel(5), QStringLiteral(u"ｻｲｽﾞ:"));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label9"))->text().size(), 300);
    QVERIFY(!v.Item(QStringLiteral("Menu_Disp_Nashi"))->isEnabled());
    QVERIFY(!v.Item(QStringLiteral("Menu_Edit_Line_4"))->isVisible());
    w.resize(700, w.height());
    QSignalSpy unloaded(&w, &LogFile::Unloaded);
    w.close();
    QCOMPARE(unloaded.count(), 1);
    const QString dat = QDir(v.state.SettingsFolder).filePath(QStringLiteral("KOLBRAN.DAT"));
    QVERIFY(QFileInfo::exists(dat));
    QFile file(dat);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray record = file.read(260);
    QCOMPARE(record.size(), 260);
    const int storedWidth = qint16(uchar(record[16]) | (uchar(record[17]) << 8));
    QCOMPARE(storedWidth, kolbran::PixelsToTwips(700));
    QCOMPARE(qint16(uchar(record[0]) | (uchar(record[1]) << 8)), qint16(241));
}

void LogFileTest::MenuTreeHasEveryCaptionInOrder()
{
    Viewer v;
    LogFile& w = v.Start();
    // objectName = caption, "-" for a separator; named separators as "-name".
    const QStringList expected = {
        QStringLiteral(u"Menu_File=ﾌｧｲﾙ(&F)"),
        QStringLiteral(u"Menu_File_New=新規作成(&N)..."), QStringLiteral(u"Menu_File_Open=ファイルを開く(&O)..."),
        QStringLiteral(u"Menu_File_Close=ファイルを閉じる(&C)"), QStringLiteral(u"Menu_File_Save=名前を付けて保存(&A)..."),
        QStringLiteral("-"), QStringLiteral(u"Menu_File_Print=印刷(&P)..."), QStringLiteral("-"),
        QStringLiteral(u"Menu_File_Del=ファイル削除(&D)"), QStringLiteral("-"),
        QStringLiteral("Menu_File_Fe_1=&1"), QStringLiteral("Menu_File_Fe_2=&2"), QStringLiteral("Menu_File_Fe_3=&3"),
        QStringLiteral("Menu_File_Fe_4=&4"), QStringLiteral("Menu_File_Fe_5=&5"), QStringLiteral("Menu_File_Fe_6=&6"),
        QStringLiteral("Menu_File_Fe_7=&7"), QStringLiteral("Menu_File_Fe_8=&8"), QStringLiteral("Menu_File_Fe_9=&9"),
        QStringLiteral("-Menu_File_E"), QStringLiteral(u"Menu_File_Quit=終了(&X)"),
        QStringLiteral(u"Menu_Edit=編集(&E)"),
        QStringLiteral(u"Menu_Edit_Copy=コピー(&C)"), QStringLiteral(u"Menu_Edit_Line_0=行コピー(&G)..."),
        QStringLiteral(u"Menu_Edit_Line_1=行削除(&L)..."), QStringLiteral(u"Menu_Edit_Line_4=BASE64 ﾃﾞｺｰﾄﾞ(&F)..."),
        QStringLiteral("-"), QStringLiteral(u"Menu_Edit_Edit=簡易エディタ(&E)"), QStringLiteral("-Menu_Sea"),
        QStringLiteral(u"Menu_Sea_Sea=検索(&K)..."), QStringLiteral(u"Menu_Sea_Down=下方向に検索(&D)"),
        QStringLiteral(u"Menu_Sea_Up=上方向に検索(&U)"), QStringLiteral("-"),
        QStringLiteral(u"Menu_Sea_Dump=部分バイナリ表示(&B)"),
        QStringLiteral(u"Menu_Disp=ｵﾌﾟｼｮﾝ(&O)"),
        QStringLiteral(u"Menu_Disp_Tool=ツールバー(&B)"), QStringLiteral(u"Menu_Disp_Memo=目盛(&M)"),
        QStringLiteral(u"Menu_Disp_Stat=ステータスバー(&U)"), QStringLiteral(u"Menu_Disp_Ari=行番号表示(&A)"),
        QStringLiteral("-"), QStringLiteral(u"Menu_Disp_Hyoji=属性(&H)..."), QStringLiteral("-"),
        QStringLiteral(u"Menu_Disp_Nippon0=文字ｺｰﾄﾞ変換(&N)"),
        QStringLiteral(u"Menu_Disp_Nippon_0=標準(&0)"), QStringLiteral(u"Menu_Disp_Nippon_1=日本語１(&1)"),
        QStringLiteral(u"Menu_Disp_Nippon_2=日本語２(&2)"), QStringLiteral(u"Menu_Disp_Nippon_3=EBCDIKｺｰﾄﾞ(&3)"),
        QStringLiteral(u"Menu_Disp_Nippon_9=不正ﾃﾞｰﾀ補正(&9)"),
        QStringLiteral("-"), QStringLiteral(u"Menu_Disp_Nashi=自動ｽｸﾛｰﾙ(&S)"), QStringLiteral("-"),
        QStringLiteral(u"Menu_Disp_Width=画面の幅に合わせる(&W)"),
        QStringLiteral(u"Menu_Trans=変換(&T)"),
        QStringLiteral(u"Menu_Trans_Nif=削除行実行(&E)..."), QStringLiteral(u"Menu_Trans_Eye=削除行設定(&S)..."),
        QStringLiteral(u"Menu_Trans_MltEye=複数ﾌｧｲﾙ削除行(&T)..."), QStringLiteral("-"),
        QStringLiteral(u"Menu_Trans_Nippon=文字ｺｰﾄﾞ変換(&N)..."), QStringLiteral(u"Menu_Trans_Mm=右側の空白を削除(&M)..."),
        QStringLiteral(u"Menu_Trans_By=ﾜｰﾄﾞﾗｯﾌﾟ変換(&W)..."), QStringLiteral("-"),
        QStringLiteral(u"Menu_Trans_Bb=2ﾊﾞｲﾄ改行へ(&K)..."), QStringLiteral(u"Menu_Trans_B1=1ﾊﾞｲﾄ改行へ(&L)..."),
        QStringLiteral(u"Menu_Trans_B2=改行文字を消す(&Z)..."), QStringLiteral("-"),
        QStringLiteral(u"Menu_Trans_Byg=描画(&B)..."), QStringLiteral("-"),
        QStringLiteral(u"Menu_Trans_MltNip=複数ﾌｧｲﾙ変換(&H)..."), QStringLiteral(u"Menu_Trans_MltChi=複数ﾌｧｲﾙ文字列置換(&C)..."),
        QStringLiteral(u"Menu_Kaku=拡張機能(&K)"),
        QStringLiteral(u"Menu_Kaku_Hx=ﾊﾞｲﾅﾘ表示(&D)..."), QStringLiteral(u"Menu_Trans_Kak=ﾊﾞｲﾅﾘﾌｧｲﾙの復元(&G)..."),
        QStringLiteral(u"Menu_Kaku_ByFuku=ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ/復元(&H)..."), QStringLiteral("-"),
        QStringLiteral("Menu_Kaku_Bit=Bit&Map"), QStringLiteral("-"), QStringLiteral("Menu_Kaku_Csv=Csv(&C)..."),
        QStringLiteral("-"), QStringLiteral(u"Menu_Kaku_CalF=ｶﾚﾝﾀﾞｰ作成(&K)..."),
        QStringLiteral(u"Menu_Kaku_Album=ｱﾙﾊﾞﾑ作成(&L)..."), QStringLiteral(u"Menu_Kaku_Photo=画像一覧(&P)..."),
        QStringLiteral("-"), QStringLiteral(u"Menu_Kaku_MltScan=複数ﾌｧｲﾙ検索(&S)..."),
        QStringLiteral(u"Menu_Kaku_MltPRT=複数ﾌｧｲﾙ印刷(&F)..."), QStringLiteral(u"Menu_Kaku_Comp=ﾌｧｲﾙ ｺﾝﾍﾟｱ(&M)..."),
        QStringLiteral(u"Menu_Kaku_Bunketsu=分割／結合(&B)..."),
        QStringLiteral(u"Menu_Kaku_Decode=BASE64 (ｴﾝｺｰﾄﾞ/ﾃﾞｺｰﾄﾞ) (&E)..."),
        QStringLiteral(u"Menu_Help=ﾍﾙﾌﾟ(&H)"),
        QStringLiteral(u"Menu_H_M_1=ﾒﾆｭｰﾊﾞｰの説明(&M)..."), QStringLiteral(u"Menu_H_M_2=制限事項(&S)..."),
        QStringLiteral(u"Menu_H_M_4=描画ﾌｧｲﾙの説明(1)(&B)..."), QStringLiteral(u"Menu_H_M_6=拡張ﾊﾞｲﾅﾘﾌｧｲﾙの説明(&K)..."),
        QStringLiteral(u"Menu_H_M_7=ｴﾝｺｰﾄﾞ/ﾃﾞｺｰﾄﾞの説明(&E)..."), QStringLiteral("-"),
        QStringLiteral(u"Menu_H_V=ﾊﾞｰｼﾞｮﾝ情報(&V)..."),
    };
    QStringList actual;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                actual << QStringLiteral("-") + a->objectName();
                continue;
            }
            actual << a->objectName() + u'=' + a->text();
            if (a->menu())
                walk(a->menu());
        }
    };
    for (QAction* top : w.menuBar()->actions()) {
        actual << top->objectName() + u'=' + top->text();
        walk(top->menu());
    }
    QCOMPARE(actual, expected);
}

void LogFileTest::ToolbarHasItsFourteenKeys()
{
    Viewer v;
    LogFile& w = v.Start();
    QStringList keys;
    for (QAction* a : w.findChild<QToolBar*>(QStringLiteral("Toolbar1"))->actions())
        if (!a->isSeparator())
            keys << a->objectName();
    QCOMPARE(keys, (QStringList{"File_Open", "File_Close", "File_Print", "File_Delete", "End", "Copy", "Kiri",
                                "Sear", "Down", "Up", "Option", "Scroll", "Kan", "Ver"}));
    QCOMPARE(v.Button(QStringLiteral("File_Open"))->toolTip(), QStringLiteral(u"ファイルを開く"));
    QCOMPARE(v.Button(QStringLiteral("Ver"))->toolTip(), QStringLiteral(u"ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(w.findChild<QStatusBar*>(QStringLiteral("StatusBar1"))->findChildren<QLabel*>().size(), 5);
}

void LogFileTest::EnabledStatesWithAndWithoutDocument()
{
    Viewer v;
    v.Register(AllTools());
    const QString path = v.Write(QStringLiteral("a.txt"), NumberedLines(100));
    LogFile& w = v.Start();
    const QStringList searchButtons = {QStringLiteral("Sear"), QStringLiteral("Down"), QStringLiteral("Up"),
                                       QStringLiteral("Copy"), QStringLiteral("File_Close")};
    QVERIFY(!v.Item(QStringLiteral("Menu_Edit"))->isEnabled());
    for (const QString& key : searchButtons)
        QVERIFY2(!v.Button(key)->isEnabled(), qPrintable(key));
    for (const QString& item : kMultiFileItems)
        QVERIFY2(v.Item(item)->isEnabled(), qPrintable(item));
    QVERIFY(v.Button(QStringLiteral("File_Print"))->isEnabled());

    QVERIFY(w.OpenPath(path));
    QVERIFY(v.Item(QStringLiteral("Menu_Edit"))->isEnabled());
    QVERIFY(v.Item(QStringLiteral("Menu_Disp_Nashi"))->isEnabled());
    for (const QString& key : searchButtons)
        QVERIFY2(v.Button(key)->isEnabled(), qPrintable(key));
    for (const QString& item : kMultiFileItems)
        QVERIFY2(!v.Item(item)->isEnabled(), qPrintable(item));
    QCOMPARE(v.Panel(4), QStringLiteral(u"行数:100"));
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("a.txt (")));
    QVERIFY(w.windowTitle().endsWith(u')'));
    QVERIFY(v.Text1()->isEnabled());

    // The Trans menu decides on opening.
    v.state.settings.DeleteRuleCount = 1;
    Q_EMIT v.Item(QStringLiteral("Menu_Trans"))->menu()->aboutToShow();
    QVERIFY(v.Item(QStringLiteral("Menu_Trans_Nif"))->isEnabled());
    QVERIFY(!v.Item(QStringLiteral("Menu_Trans_MltEye"))->isEnabled());
    QVERIFY(!v.Item(QStringLiteral("Menu_Trans_MltNip"))->isEnabled());
    w.CloseDocument();
    Q_EMIT v.Item(QStringLiteral("Menu_Trans"))->menu()->aboutToShow();
    QVERIFY(!v.Item(QStringLiteral("Menu_Trans_Nif"))->isEnabled());
    QVERIFY(v.Item(QStringLiteral("Menu_Trans_MltEye"))->isEnabled());
    QVERIFY(v.Item(QStringLiteral("Menu_Trans_MltChi"))->isEnabled());
}

void LogFileTest::ToolsWithoutLauncherStayDisabled()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("a.txt"), NumberedLines(10));
    LogFile& w = v.Start(path);
    QVERIFY(v.state.doc.HasFile());
    for (const QString& item : {QStringLiteral("Menu_Kaku_Hx"), QStringLiteral("Menu_File_Print"),
                                QStringLiteral("Menu_Trans_Mm"), QStringLiteral("Menu_Edit_Line_0"),
                                QStringLiteral("Menu_H_V"), QStringLiteral("Menu_Sea_Sea")})
        QVERIFY2(!v.Item(item)->isEnabled(), qPrintable(item));
    for (const QString& key : {QStringLiteral("Kiri"), QStringLiteral("Kan"), QStringLiteral("Ver"),
                               QStringLiteral("Option"), QStringLiteral("Sear")})
        QVERIFY2(!v.Button(key)->isEnabled(), qPrintable(key));
    // Built into the window: always there.
    for (const QString& item : {QStringLiteral("Menu_File_Close"), QStringLiteral("Menu_File_Del"),
                                QStringLiteral("Menu_Edit_Copy"), QStringLiteral("Menu_Disp_Nippon0"),
                                QStringLiteral("Menu_Disp_Width")})
        QVERIFY2(v.Item(item)->isEnabled(), qPrintable(item));
    w.CloseDocument();
    for (const QString& item : kMultiFileItems)
        QVERIFY2(!v.Item(item)->isEnabled(), qPrintable(item));
}

void LogFileTest::CommandsHandTheirValuesToTheTools()
{
    Viewer v;
    v.Register(AllTools());
    const QString path = v.Write(QStringLiteral("a.txt"), NumberedLines(10));
    LogFile& w = v.Start(path);
    v.Item(QStringLiteral("Menu_Edit_Line_0"))->trigger();
    v.Button(QStringLiteral("Kiri"))->trigger();
    v.Item(QStringLiteral("Menu_H_M_6"))->trigger();
    v.Item(QStringLiteral("Menu_File_Print"))->trigger();
    v.Item(QStringLiteral("Menu_Kaku_Hx"))->trigger();
    v.Item(QStringLiteral("Menu_File_Save"))->trigger();
    w.CloseDocument();
    v.Item(QStringLiteral("Menu_File_Save"))->trigger();  // disabled without a document
    v.Item(QStringLiteral("Menu_Kaku_Decode"))->trigger();
    v.Item(QStringLiteral("Menu_Kaku_ByFuku"))->trigger();
    QCOMPARE(v.launched, (QStringList{
                             "Menu_Edit_Line range=0 help=0 decode=0 dialog=0",
                             "Menu_Edit_Line range=1 help=0 decode=0 dialog=0",
                             "Menu_H_M range=1 help=6 decode=0 dialog=0",
                             "Menu_File_Print range=0 help=6 decode=0 dialog=0",
                             "Menu_Kaku_Hx range=0 help=6 decode=0 dialog=0",
                             "Menu_File_Save range=0 help=6 decode=0 dialog=2",
                             "Menu_Kaku_Decode range=0 help=6 decode=2 dialog=2",
                             "Menu_Kaku_ByFuku range=0 help=6 decode=0 dialog=2",
                         }));
    QCOMPARE(v.state.TargetFilePath, QStringLiteral("a.txt"));
}

void LogFileTest::Utf16DocumentDisablesCodeMenuAndNewlineConversions()
{
    Viewer v;
    v.Register(AllTools());
    QByteArray bytes("\xFF\xFE", 2);
    for (const char16_t* line : {u"日本語\r\n", u"abc\r\n"})
        bytes += QByteArray(reinterpret_cast<const char*>(line), int(std::char_traits<char16_t>::length(line) * 2));
    const QString path = v.Write(QStringLiteral("u.txt"), bytes);
    v.Start(path);
    QCOMPARE(v.Panel(1), QStringLiteral("Unicode"));
    for (const QString& item : {QStringLiteral("Menu_Disp_Nippon0"), QStringLiteral("Menu_Trans_Bb"),
                                QStringLiteral("Menu_Trans_B1"), QStringLiteral("Menu_Trans_B2")})
        QVERIFY2(!v.Item(item)->isEnabled(), qPrintable(item));
    QVERIFY(v.Item(QStringLiteral("Menu_Trans_Mm"))->isEnabled());
    QCOMPARE(v.Screen(), QStringLiteral(u"日本語\nabc\n"));
}

void LogFileTest::ShortDocumentHasNoScrollBarAndKeepsLastLineEnd()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("s.txt"), QByteArray("first\r\n\x93\xfa\x96\x7b\r\n"));
    v.Start(path);
    QVERIFY(!v.VScroll1()->isVisible());
    QCOMPARE(v.Screen(), QStringLiteral(u"first\n日本\n"));
}

void LogFileTest::OneByteWithoutLineEnd()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("one.txt"), QByteArray("x"));
    v.Start(path);
    QCOMPARE(v.Screen(), QStringLiteral("x"));
    QCOMPARE(v.Panel(4), QStringLiteral(u"行数:1"));
}

void LogFileTest::LastScreenRunsToTheEndOfTheFile()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("l.txt"), NumberedLines(100));
    v.Start(path);
    QVERIFY(v.VScroll1()->isVisible());
    QCOMPARE(v.VScroll1()->maximum(), 69);
    QVERIFY(v.Screen().startsWith(QStringLiteral("line 1\n")));
    QVERIFY(v.Screen().endsWith(QStringLiteral("line 32")));  // the cut line end
    v.VScroll1()->setValue(69);
    QCOMPARE(v.state.doc.TopLine, 69);
    QVERIFY(v.Screen().startsWith(QStringLiteral("line 69\n")));
    QVERIFY(v.Screen().endsWith(QStringLiteral("line 100\n")));
}

void LogFileTest::LongDocumentMapsScrollPositions()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("big.txt"), NumberedLines(100000));
    v.Start(path);
    QCOMPARE(v.VScroll1()->maximum(), 32767);
    v.VScroll1()->setValue(32767);
    QCOMPARE(v.state.doc.TopLine, 99969);
    QVERIFY(v.Screen().startsWith(QStringLiteral("line 99969\n")));
    QVERIFY(v.Screen().endsWith(QStringLiteral("line 100000\n")));
    v.VScroll1()->setValue(1);
    QCOMPARE(v.state.doc.TopLine, 1);
    QVERIFY(v.Screen().startsWith(QStringLiteral("line 1\n")));
}

void LogFileTest::LineNumbersHaveFourDigitsOrMore()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("n.txt"), NumberedLines(130000));
    LogFile& w = v.Start(path);
    v.Item(QStringLiteral("Menu_Disp_Ari"))->trigger();
    QVERIFY(v.List1()->isVisible());
    QVERIFY(v.Item(QStringLiteral("Menu_Disp_Ari"))->isChecked());
    QCOMPARE(v.List1()->count(), 32);
    QCOMPARE(v.List1()->item(11)->text(), QStringLiteral("0012:"));
    // The text moved right of the list.
    QVERIFY(v.Text1()->x() > v.List1()->x() + v.List1()->width());
    v.VScroll1()->setValue(kolbran::ScrollValueForFoundLine(123456, kolbran::PossibleTopLines(130000, 32)));
    const int64_t top = v.state.doc.TopLine;
    QVERIFY(top <= 123456 && 123456 < top + 32);
    QCOMPARE(v.List1()->item(int(123456 - top))->text(), QStringLiteral("123456:"));
    QCOMPARE(v.List1()->item(0)->text(), QString::number(top) + u':');
    v.Item(QStringLiteral("Menu_Disp_Ari"))->trigger();
    QVERIFY(!v.List1()->isVisible());
    Q_UNUSED(w);
}

void LogFileTest::DownOnTheBottomRowScrollsOneLine()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("d.txt"), NumberedLines(100));
    LogFile& w = v.Start(path);
    QPlainTextEdit* text = v.Text1();
    text->setFocus();
    QTextCursor cursor(text->document()->findBlockByNumber(31));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
    text->setTextCursor(cursor);
    SendKey(text, Qt::Key_Down);
    QCOMPARE(v.state.doc.TopLine, 2);
    QCOMPARE(v.VScroll1()->value(), 2);
    QCOMPARE(text->textCursor().blockNumber(), 31);
    QCOMPARE(text->textCursor().positionInBlock(), 3);
    QCOMPARE(w.CaretLine(), 33);
    QCOMPARE(v.Panel(2), QStringLiteral(u"行:33"));
    // Down above the bottom row only moves the caret.
    text->setTextCursor(QTextCursor(text->document()->findBlockByNumber(5)));
    SendKey(text, Qt::Key_Down);
    QCOMPARE(v.state.doc.TopLine, 2);
    QCOMPARE(text->textCursor().blockNumber(), 6);
}

void LogFileTest::UpOnTheTopRowScrollsOneLine()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("u.txt"), NumberedLines(100000));
    v.Start(path);
    v.VScroll1()->setValue(1000);
    const int64_t top = v.state.doc.TopLine;
    QPlainTextEdit* text = v.Text1();
    text->moveCursor(QTextCursor::Start);
    SendKey(text, Qt::Key_Up);
    // One line, even where a scroll position spans several lines.
    QCOMPARE(v.state.doc.TopLine, top - 1);
    QVERIFY(v.Screen().startsWith(QStringLiteral("line %1\n").arg(top - 1)));
    QCOMPARE(text->textCursor().blockNumber(), 0);
}

void LogFileTest::LetterKeyMovesFocusToScrollBar()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("k.txt"), NumberedLines(100));
    LogFile& w = v.Start(path);
    w.activateWindow();
    QPlainTextEdit* text = v.Text1();
    text->setFocus();
    const QString before = v.Screen();
    QTest::keyClick(text, Qt::Key_A, Qt::NoModifier);
    QCOMPARE(w.focusWidget(), static_cast<QWidget*>(v.VScroll1()));
    QCOMPARE(v.Screen(), before);
    // C stays in the text; Page Down then acts on the scroll bar.
    text->setFocus();
    QTest::keyClick(text, Qt::Key_C, Qt::NoModifier);
    QCOMPARE(w.focusWidget(), static_cast<QWidget*>(text));
    QTest::keyClick(text, Qt::Key_PageDown, Qt::NoModifier);
    QCOMPARE(w.focusWidget(), static_cast<QWidget*>(v.VScroll1()));
    QCOMPARE(v.VScroll1()->value(), 32);
    QCOMPARE(v.state.doc.TopLine, 32);
}

void LogFileTest::CaretTrackerShowsLineAndColumn()
{
    Viewer v;
    const QString path =
        v.Write(QStringLiteral("c.txt"), QByteArray("ab\r\n\x93\xfa\x96\x7b\x8c\xea x\r\n") + NumberedLines(60));
    LogFile& w = v.Start(path);
    QPlainTextEdit* text = v.Text1();
    QTextCursor cursor(text->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 4);  // after "日本語 "
    text->setTextCursor(cursor);
    w.Timer1_Timer();
    QCOMPARE(v.Panel(2), QStringLiteral(u"行:2"));
    QCOMPARE(v.Panel(3), QStringLiteral(u"列: 7"));
    QCOMPARE(w.CaretLine(), 2);
    w.GyoDisp(-1);
    w.RetsuDisp(-1);
    QCOMPARE(v.Panel(2), QStringLiteral(u"行:"));
    QCOMPARE(v.Panel(3), QStringLiteral(u"列:"));
    QCOMPARE(w.CaretLine(), 0);
    w.GyoDisp(1234567);
    QCOMPARE(v.Panel(2), QStringLiteral(u"行:1,234,567"));
}

void LogFileTest::VerticalResizeSnapsBack()
{
    Viewer v;
    LogFile& w = v.Start();
    const int height = w.height();
    w.resize(w.width() + 40, height + 120);
    QCOMPARE(w.height(), height);
    QCOMPARE(w.width(), kolbran::TwipsToPixels(9105) + 40);
    w.resize(w.width(), height - 100);
    QCOMPARE(w.height(), height);
}

void LogFileTest::ToggleBarsRecomputeHeight()
{
    Viewer v;
    LogFile& w = v.Start();
    const int full = w.height();
    QVERIFY(v.Item(QStringLiteral("Menu_Disp_Tool"))->isChecked());
    v.Item(QStringLiteral("Menu_Disp_Tool"))->trigger();
    QVERIFY(!v.state.settings.ToolbarVisible);
    QVERIFY(w.height() < full);
    v.Item(QStringLiteral("Menu_Disp_Stat"))->trigger();
    const int bare = w.height();
    QVERIFY(bare < full);
    v.Item(QStringLiteral("Menu_Disp_Memo"))->trigger();
    QVERIFY(v.state.settings.RulerVisible);
    QVERIFY(w.height() > bare);
    QCOMPARE(w.height(), w.WindowHeight());
    v.Item(QStringLiteral("Menu_Disp_Memo"))->trigger();
    v.Item(QStringLiteral("Menu_Disp_Stat"))->trigger();
    v.Item(QStringLiteral("Menu_Disp_Tool"))->trigger();
    QCOMPARE(w.height(), full);
}

void LogFileTest::FitWidthAndBackStoresSavedWidth()
{
    Viewer v;
    LogFile& w = v.Start();
    const int width = w.width();
    QAction* item = v.Item(QStringLiteral("Menu_Disp_Width"));
    item->trigger();
    QCOMPARE(item->text(), QStringLiteral(u"表示幅を元に戻す(&W)"));
    QVERIFY(w.width() > width);
    item->trigger();
    QCOMPARE(item->text(), QStringLiteral(u"画面の幅に合わせる(&W)"));
    QCOMPARE(w.width(), width);
    item->trigger();
    w.close();
    QCOMPARE(int(v.state.settings.WindowWidth), kolbran::PixelsToTwips(width));
}

void LogFileTest::DeleteAsksTwice()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("del.txt"), NumberedLines(5));
    v.Start(path);
    const QString title = QStringLiteral(u"ﾌｧｲﾙ削除");
    v.prompter.answers.clear(); for (MsgAnswer a : {MsgAnswer::Cancel}) v.prompter.answers.enqueue(a);
    v.Item(QStringLiteral("Menu_File_Del"))->trigger();
    QCOMPARE(v.prompter.Messages(), QStringList{QStringLiteral(u"del.txtを削除します！")});
    QCOMPARE(v.prompter.prompts.last().title, title);
    v.prompter.answers.clear(); for (MsgAnswer a : {MsgAnswer::Ok, MsgAnswer::No}) v.prompter.answers.enqueue(a);
    v.Button(QStringLiteral("File_Delete"))->trigger();
    QCOMPARE(v.prompter.Messages().size(), 3);
    QCOMPARE(v.prompter.Messages().last(), QStringLiteral(u"本当に良いですか？!"));
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(v.state.doc.HasFile());
    QVERIFY(v.Screen().startsWith(QStringLiteral("line 1")));
    v.prompter.answers.clear(); for (MsgAnswer a : {MsgAnswer::Ok, MsgAnswer::Yes}) v.prompter.answers.enqueue(a);
    v.Item(QStringLiteral("Menu_File_Del"))->trigger();
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(!v.state.doc.HasFile());
    QCOMPARE(v.prompter.Messages().last(), QStringLiteral(u"del.txtを削除しました。"));
    QCOMPARE(v.prompter.prompts.last().icon, MsgIcon::Information);
    QCOMPARE(v.window->windowTitle(), QStringLiteral("Kolbran"));
}

void LogFileTest::SearchDownDisabledUntilCopied()
{
    Viewer v;
    v.Register(AllTools());
    const QString path = v.Write(QStringLiteral("s.txt"), NumberedLines(40));
    LogFile& w = v.Start(path);
    QMenu* edit = v.Item(QStringLiteral("Menu_Edit"))->menu();
    Q_EMIT edit->aboutToShow();
    QVERIFY(!v.Item(QStringLiteral("Menu_Sea_Down"))->isEnabled());
    QVERIFY(!v.Item(QStringLiteral("Menu_Sea_Up"))->isEnabled());
    QVERIFY(!v.Item(QStringLiteral("Menu_Sea_Dump"))->isEnabled());
    QPlainTextEdit* text = v.Text1();
    text->setFocus();
    QTextCursor cursor(text->document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    v.Item(QStringLiteral("Menu_Edit_Copy"))->trigger();
    QCOMPARE(v.state.SearchString, QStringLiteral("line 3\r\nline 4"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("line 3\r\nline 4"));
    Q_EMIT edit->aboutToShow();
    QVERIFY(v.Item(QStringLiteral("Menu_Sea_Down"))->isEnabled());
    QVERIFY(v.Item(QStringLiteral("Menu_Sea_Up"))->isEnabled());
    QVERIFY(v.Item(QStringLiteral("Menu_Sea_Dump"))->isEnabled());
    Q_UNUSED(w);
}

void LogFileTest::DroppingAFolderOpensNothing()
{
    Viewer v;
    LogFile& w = v.Start();
    QDir(v.dir.path()).mkdir(QStringLiteral("folder"));
    Drop(&w, v.dir.filePath(QStringLiteral("folder")));
    QCOMPARE(v.prompter.Messages(), QStringList{QStringLiteral(u"「フォルダ」を開こうとしています。")});
    QVERIFY(!v.state.doc.HasFile());
    QCOMPARE(w.windowTitle(), QStringLiteral("Kolbran"));
}

void LogFileTest::DroppingAFileOnTheWindowOpensIt()
{
    Viewer v;
    const QString first = v.Write(QStringLiteral("first.txt"), NumberedLines(3));
    const QString second = v.Write(QStringLiteral("second.txt"), NumberedLines(3, "other "));
    LogFile& w = v.Start();
    Drop(&w, first);
    QVERIFY(v.state.doc.HasFile());
    QCOMPARE(v.state.doc.DocumentName, QStringLiteral("first.txt"));
    QCOMPARE(QDir::current().absolutePath(), QDir(v.dir.path()).absolutePath());
    QVERIFY(!w.acceptDrops());  // with a document only the text takes drops
    Drop(v.Text1()->viewport(), second);
    QCOMPARE(v.state.doc.DocumentName, QStringLiteral("second.txt"));
    QVERIFY(v.Screen().startsWith(QStringLiteral("other 1")));
    QCOMPARE(v.state.settings.RecentFiles.value(0), QDir(v.dir.path()).absoluteFilePath(QStringLiteral("second.txt")));
    QVERIFY(v.prompter.Messages().isEmpty());
}

void LogFileTest::RecentFileThatVanishedKeepsDocument()
{
    Viewer v;
    const QString gone = v.Write(QStringLiteral("gone.txt"), NumberedLines(3));
    const QString kept = v.Write(QStringLiteral("kept.txt"), NumberedLines(3, "kept "));
    LogFile& w = v.Start();
    QVERIFY(w.OpenPath(gone));
    QVERIFY(w.OpenPath(kept));
    QAction* second = v.Item(QStringLiteral("Menu_File_Fe_2"));
    QVERIFY(second->isVisible());
    QVERIFY(second->text().startsWith(QStringLiteral("&2 ")));
    QFile::remove(gone);
    second->trigger();
    QCOMPARE(v.prompter.Messages().size(), 1);
    QVERIFY(v.prompter.Messages().first().contains(QStringLiteral(u"ﾌｧｲﾙはありません。")));
    QCOMPARE(v.state.doc.DocumentName, QStringLiteral("kept.txt"));
    QVERIFY(v.state.doc.HasFile());
    QVERIFY(v.Screen().startsWith(QStringLiteral("kept 1")));
}

void LogFileTest::RecentFileOpens()
{
    Viewer v;
    const QString a = v.Write(QStringLiteral("a.txt"), NumberedLines(3, "a "));
    const QString b = v.Write(QStringLiteral("b.txt"), NumberedLines(3, "b "));
    LogFile& w = v.Start();
    QVERIFY(w.OpenPath(a));
    QVERIFY(w.OpenPath(b));
    QVERIFY(v.Item(QStringLiteral("Menu_File_E"))->isVisible());
    v.Item(QStringLiteral("Menu_File_Fe_2"))->trigger();
    QCOMPARE(v.state.doc.DocumentName, QStringLiteral("a.txt"));
    QVERIFY(v.Screen().startsWith(QStringLiteral("a 1")));
    QVERIFY(v.state.settings.RecentFiles.value(0).endsWith(QStringLiteral("a.txt")));
    QVERIFY(w.Timer1Enabled());
}

void LogFileTest::CloseReturnsToNoDocument()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("c.txt"), NumberedLines(100));
    LogFile& w = v.Start(path);
    QVERIFY(w.Timer1Enabled());
    v.Button(QStringLiteral("File_Close"))->trigger();
    QVERIFY(!v.state.doc.HasFile());
    QVERIFY(!w.Timer1Enabled());
    QCOMPARE(v.Screen(), QString());
    QVERIFY(!v.Text1()->isEnabled());
    QVERIFY(!v.VScroll1()->isVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("Kolbran"));
    QCOMPARE(v.Panel(4), QStringLiteral(u"行数:"));
    QVERIFY(w.acceptDrops());
}

void LogFileTest::DisplayCodeMenuChecksOneItem()
{
    Viewer v;
    // "日本" in EUC-JP.
    const QString path = v.Write(QStringLiteral("e.txt"), QByteArray("\xC6\xFC\xCB\xDC\r\n"));
    v.Start(path);
    QVERIFY(v.Item(QStringLiteral("Menu_Disp_Nippon_0"))->isChecked());
    v.Item(QStringLiteral("Menu_Disp_Nippon_1"))->trigger();
    QVERIFY(v.Item(QStringLiteral("Menu_Disp_Nippon_1"))->isChecked());
    QVERIFY(!v.Item(QStringLiteral("Menu_Disp_Nippon_0"))->isChecked());
    QCOMPARE(v.state.doc.DisplayCode, 1);
    QCOMPARE(v.Panel(1), QStringLiteral(u"日本語１"));
    QCOMPARE(v.Screen(), QStringLiteral(u"日本\n"));
    v.window->CloseDocument();
    QVERIFY(v.Item(QStringLiteral("Menu_Disp_Nippon_0"))->isChecked());
    QVERIFY(!v.Item(QStringLiteral("Menu_Disp_Nippon_1"))->isChecked());
}

void LogFileTest::AutoScrollStepsAndStopsAtTheEnd()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("a.txt"), NumberedLines(34));
    LogFile& w = v.Start(path);
    QAction* item = v.Item(QStringLiteral("Menu_Disp_Nashi"));
    item->trigger();
    QVERIFY(w.AutoScrollRunning());
    QVERIFY(item->isChecked());
    w.Timer2_Timer();
    QCOMPARE(v.state.doc.TopLine, 2);
    w.Timer2_Timer();
    QCOMPARE(v.state.doc.TopLine, 3);
    w.Timer2_Timer();  // at the maximum: the timer stops
    QVERIFY(!w.AutoScrollRunning());
    QVERIFY(!item->isChecked());
    // The smooth mode under debug flag 1 moves the text without rebuilding it.
    v.state.settings.DebugFlags = 1;
    v.VScroll1()->setValue(1);
    item->trigger();
    w.Timer2_Timer();
    QCOMPARE(v.state.doc.TopLine, 2);
    QVERIFY(v.Screen().startsWith(QStringLiteral("line 2\n")));
    QVERIFY(v.Screen().endsWith(QStringLiteral("\nline 33")));
    QCOMPARE(v.Text1()->document()->blockCount(), 32);
    item->trigger();
    QVERIFY(!w.AutoScrollRunning());
}

void LogFileTest::CommandLineMissingFileGivesMessage()
{
    Viewer v;
    LogFile& w = v.Start(v.dir.filePath(QStringLiteral("missing.txt")));
    QCOMPARE(v.prompter.Messages().size(), 1);
    QVERIFY(v.prompter.Messages().first().contains(QStringLiteral(u"ﾌｧｲﾙはありません。")));
    QVERIFY(!v.state.doc.HasFile());
    QCOMPARE(w.windowTitle(), QStringLiteral("Kolbran"));
}

void LogFileTest::OpenInViewerHookOpensFile()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("h.txt"), NumberedLines(3, "hook "));
    v.Start();
    QVERIFY(v.state.OpenInViewer);
    v.state.OpenInViewer(path);
    QVERIFY(v.Screen().startsWith(QStringLiteral("hook 1")));
    QVERIFY(v.state.RefreshScreen);
    v.Text1()->clear();
    v.state.RefreshScreen();
    QVERIFY(v.Screen().startsWith(QStringLiteral("hook 1")));
}

void LogFileTest::LoneLineBreaksStayOnTheirRow()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("lf.txt"), QByteArray("a\nb\rc\r\nsecond\r\n"));
    LogFile& w = v.Start(path);
    QCOMPARE(v.Screen(), QStringLiteral(u"a\u240Ab\u240Dc\nsecond\n"));
    QPlainTextEdit* text = v.Text1();
    QTextCursor cursor(text->document()->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    text->setFocus();
    w.Copy();
    QCOMPARE(v.state.SearchString, QStringLiteral("a\nb\rc"));
    text->setTextCursor(QTextCursor(text->document()->findBlockByNumber(1)));
    w.Timer1_Timer();
    QCOMPARE(w.CaretLine(), 2);
}

void LogFileTest::MinimisingHidesTheResultList()
{
    Viewer v;
    LogFile& w = v.Start();
    QWidget list;
    list.setObjectName(QStringLiteral("KenIchi"));
    list.show();
    v.state.settings.SearchListOpen = true;
    w.setWindowState(Qt::WindowMinimized);
    QVERIFY(list.isHidden());
    w.setWindowState(Qt::WindowNoState);
    QVERIFY(list.isVisible());
}

void LogFileTest::RightButtonOnFreeAreaPopsUpHelp()
{
    Viewer v;
    LogFile& w = v.Start();
    QWidget* form = w.centralWidget();
    QMenu* help = v.Item(QStringLiteral("Menu_Help"))->menu();
    QVERIFY(!help->isVisible());
    // The free area: the gap between the line numbers and the text.
    v.Item(QStringLiteral("Menu_Disp_Ari"))->trigger();
    const QPoint gap(v.List1()->geometry().right() + 2, v.List1()->y() + 10);
    QVERIFY(form->childAt(gap) == nullptr);
    QTest::mouseClick(form, Qt::RightButton, Qt::NoModifier, gap);
    QVERIFY(help->isVisible());
    help->close();
}

void LogFileTest::SplitterResizesLineNumberColumn()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("sp.txt"), NumberedLines(10));
    LogFile& w = v.Start(path);
    v.Item(QStringLiteral("Menu_Disp_Ari"))->trigger();
    QWidget* form = w.centralWidget();
    QListWidget* list = v.List1();
    const int gapX = list->geometry().right() + 1;
    const int y = v.Text1()->y() + 20;
    QMouseEvent move(QEvent::MouseMove, QPointF(gapX, y), form->mapToGlobal(QPointF(gapX, y)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &move);
    QCOMPARE(form->cursor().shape(), Qt::SplitHCursor);
    QTest::mousePress(form, Qt::LeftButton, Qt::NoModifier, QPoint(gapX, y));
    QWidget* splitter = w.findChild<QWidget*>(QStringLiteral("Line4"));
    QVERIFY(splitter->isVisible());
    QMouseEvent drag(QEvent::MouseMove, QPointF(100, y), form->mapToGlobal(QPointF(100, y)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &drag);
    QTest::mouseRelease(form, Qt::LeftButton, Qt::NoModifier, QPoint(100, y));
    QVERIFY(!splitter->isVisible());
    QCOMPARE(list->width(), 100);
    QCOMPARE(v.Text1()->x(), 100 + kolbran::TwipsToPixels(50));
    // Far right: held at 2,000 twips.
    QTest::mousePress(form, Qt::LeftButton, Qt::NoModifier, QPoint(list->geometry().right() + 1, y));
    QMouseEvent far(QEvent::MouseMove, QPointF(500, y), form->mapToGlobal(QPointF(500, y)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &far);
    QTest::mouseRelease(form, Qt::LeftButton, Qt::NoModifier, QPoint(500, y));
    QCOMPARE(list->width(), kolbran::TwipsToPixels(2000));
}

void LogFileTest::OptionsDialogResultIsApplied()
{
    Viewer v;
    v.state.WindowCommands[QStringLiteral("Menu_Disp_Hyoji")] = [&v](QWidget*) {
        v.state.settings.LinesPerScreen = 40;
        v.state.SettingsChanged = true;
    };
    const QString path = v.Write(QStringLiteral("o.txt"), NumberedLines(100));
    LogFile& w = v.Start(path);
    const int height = w.height();
    QCOMPARE(v.Text1()->document()->blockCount(), 32);
    v.Button(QStringLiteral("Option"))->trigger();
    QVERIFY(w.height() > height);
    QCOMPARE(w.height(), w.WindowHeight());
    QCOMPARE(v.Text1()->document()->blockCount(), 40);
}

void LogFileTest::DrawingFileOpensDrawingWindow()
{
    for (const QString& name : {QStringLiteral("pic.byg"), QStringLiteral("pic.BYG")}) {
        Viewer v;
        v.Register({QStringLiteral("Menu_Trans_Byg")});
        const QString path = v.Write(name, QByteArray("LINE 0,0,10,10\r\n"));
        v.Start(path);
        QCOMPARE(v.launched.size(), name.endsWith(QStringLiteral(".byg")) ? 1 : 0);
    }
}

void LogFileTest::SettingsWriteErrorIsSilentAtShutDown()
{
    for (int debug : {0, 1}) {
        Viewer v;
        LogFile& w = v.Start();
        // KOLBRAN.DAT replaced by a folder: the record cannot be written.
        const QString dat = QDir(v.state.SettingsFolder).filePath(QStringLiteral("KOLBRAN.DAT"));
        QFile::remove(dat);
        QDir().mkpath(dat);
        v.state.settings.DebugFlags = int16_t(debug);
        w.close();
        if (debug == 0) {
            QVERIFY(v.prompter.Messages().isEmpty());
        } else {
            QVERIFY(!v.prompter.Messages().isEmpty());
            QVERIFY(v.prompter.Messages().first().startsWith(QStringLiteral("Form_Unload --- Fil:")));
            QCOMPARE(v.prompter.prompts.first().title, QStringLiteral("Unload"));
        }
    }
}

void LogFileTest::WindowTakesNoDropsWhileToolIsShown()
{
    Viewer v;
    bool dropsDuringTool = true;
    LogFile* window = nullptr;
    v.state.WindowCommands[QStringLiteral("Menu_Kaku_Comp")] = [&](QWidget*) {
        dropsDuringTool = window->acceptDrops();
    };
    const QString path = v.Write(QStringLiteral("t.txt"), NumberedLines(3));
    v.state.WindowCommands[QStringLiteral("Menu_File_Open")] = [&](QWidget*) { v.state.OpenInViewer(path); };
    window = &v.Start();
    QVERIFY(window->acceptDrops());
    v.Item(QStringLiteral("Menu_Kaku_Comp"))->trigger();
    QVERIFY(!dropsDuringTool);
    QVERIFY(window->acceptDrops());
    // A tool that opened a document leaves the drops to the text.
    v.Button(QStringLiteral("File_Open"))->trigger();
    QVERIFY(v.state.doc.HasFile());
    QVERIFY(!window->acceptDrops());
    QVERIFY(v.Text1()->viewport()->acceptDrops());
}

void LogFileTest::ScrollBarOnTheLeft()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("left.txt"), NumberedLines(100));
    LogFile& w = v.Start(path);
    v.state.settings.ScrollBarLeft = 1;
    w.LayOutWidths();
    QCOMPARE(v.VScroll1()->x(), 0);
    QCOMPARE(v.Text1()->x(), v.VScroll1()->width());
    v.state.settings.ScrollBarLeft = 0;
    w.LayOutWidths();
    QCOMPARE(v.Text1()->x(), 0);
    QCOMPARE(v.VScroll1()->x(), v.Text1()->width());
}

void LogFileTest::WheelOverTheTextScrollsTheDocument()
{
    Viewer v;
    const QString path = v.Write(QStringLiteral("w.txt"), NumberedLines(100));
    v.Start(path);
    QWidget* viewport = v.Text1()->viewport();
    QWheelEvent down(QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(viewport, &down);
    QVERIFY(v.VScroll1()->value() > 1);
    QCOMPARE(v.state.doc.TopLine, v.VScroll1()->value());
    QVERIFY(v.Screen().startsWith(QStringLiteral("line %1\n").arg(v.VScroll1()->value())));
}

QTEST_MAIN(LogFileTest)
#include "LogFileTest.moc"
