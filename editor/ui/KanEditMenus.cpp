// The editor's menus, toolbar and symbol palettes.
#include "editor/ui/KanEdit.h"

#include "core/AppState.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextCursor>
#include <QToolBar>

namespace kolbran {

namespace {

// A toolbar image that draws one character.
QIcon CharacterIcon(const QString& text, const QFont& base)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    if (!text.isEmpty()) {
        QPainter painter(&pixmap);
        QFont font = base;
        font.setPixelSize(18);
        painter.setFont(font);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, text);
    }
    return QIcon(pixmap);
}

}  // namespace

QAction* KanEdit::AddItem(QMenu* menu, const QString& name, const QString& caption,
                          const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    items_.insert(name, action);
    addAction(action);  // shortcuts work while the menu bar is hidden too
    return action;
}

void KanEdit::BuildMenus()
{
    QMenu* line = MenuBar->addMenu(QStringLiteral(u"簡易ｴﾃﾞｨﾀ(&L)"));
    line->menuAction()->setObjectName(QStringLiteral("M_Line"));
    connect(AddItem(line, QStringLiteral("M_Line_S"), QStringLiteral(u"上書き保存(&S)"),
                    QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, [this] { M_Line_S_Click(); });
    connect(AddItem(line, QStringLiteral("M_Line_Save"), QStringLiteral(u"保存して閉じる(&T)"),
                    QKeySequence(Qt::Key_F8)),
            &QAction::triggered, this, [this] { M_Line_Save_Click(); });
    line->addSeparator();
    connect(AddItem(line, QStringLiteral("M_Line_Max"), QStringLiteral(u"最大表示(&M)"),
                    QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, [this] { M_Line_Max_Click(); });
    line->addSeparator();
    connect(AddItem(line, QStringLiteral("M_End"), QStringLiteral(u"閉じる(&X)"),
                    QKeySequence(Qt::Key_F9)),
            &QAction::triggered, this, [this] { close(); });

    QMenu* edit = MenuBar->addMenu(QStringLiteral(u"編集(&E)"));
    edit->menuAction()->setObjectName(QStringLiteral("M_Edit"));
    connect(edit, &QMenu::aboutToShow, this, [this] { M_Edit_Opening(); });
    connect(AddItem(edit, QStringLiteral("M_E_Undo"), QStringLiteral(u"元に戻す(&U)")),
            &QAction::triggered, this, [this] { Text1->undo(); });
    edit->addSeparator();
    connect(AddItem(edit, QStringLiteral("M_E_X"), QStringLiteral(u"切り取り(&T)")),
            &QAction::triggered, this, [this] {
                QApplication::clipboard()->clear();
                QTextCursor cursor = Text1->textCursor();
                QApplication::clipboard()->setText(ModelTextFromBox(cursor.selectedText()));
                cursor.removeSelectedText();
            });
    connect(AddItem(edit, QStringLiteral("M_E_C"), QStringLiteral(u"コピー(&C)")),
            &QAction::triggered, this, [this] { M_E_C_Click(); });
    connect(AddItem(edit, QStringLiteral("M_E_V"), QStringLiteral(u"貼り付け(&P)")),
            &QAction::triggered, this, [this] { M_E_V_Click(); });
    edit->addSeparator();
    connect(AddItem(edit, QStringLiteral("M_E_SeaSea"), QStringLiteral(u"検索(&K)..."),
                    QKeySequence(Qt::Key_F2)),
            &QAction::triggered, this, [this] { OpenChiKanF(2); });
    connect(AddItem(edit, QStringLiteral("M_E_SeaDown"), QStringLiteral(u"下方向に検索(&D)"),
                    QKeySequence(Qt::Key_F3)),
            &QAction::triggered, this, [this] { M_E_SeaDown_Click(); });
    connect(AddItem(edit, QStringLiteral("M_E_Chikan"), QStringLiteral(u"置換(&H)..."),
                    QKeySequence(Qt::CTRL | Qt::Key_H)),
            &QAction::triggered, this, [this] { OpenChiKanF(3); });
    edit->addSeparator();
    connect(AddItem(edit, QStringLiteral("M_E_Ido_1"), QStringLiteral(u"前に20行移動(&N)"),
                    QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, [this] { M_E_Ido_Click(1); });
    connect(AddItem(edit, QStringLiteral("M_E_Ido_2"), QStringLiteral(u"後に20行移動(&V)"),
                    QKeySequence(Qt::Key_F6)),
            &QAction::triggered, this, [this] { M_E_Ido_Click(2); });
    hideInError_ = {line, edit};

    const char* headings[4] = {"M_KeisenB", "M_KeisenC", "M_KeisenD", "M_KeisenK"};
    const char* arrays[4] = {"M_KK", "M_KKc", "M_KKd", "M_KKk"};
    for (int p = 1; p <= 4; ++p) {
        QMenu* menu = MenuBar->addMenu(PaletteCaption(p));
        menu->menuAction()->setObjectName(QString::fromLatin1(headings[p - 1]));
        for (int item = 1; item <= 11; ++item) {
            const QString character = PaletteItems(p)[size_t(item - 1)];
            if (character.isEmpty())
                continue;
            QAction* action = AddItem(menu, QString::fromLatin1(arrays[p - 1]) + u'_' + QString::number(item),
                                      PaletteItemCaption(p, item));
            connect(action, &QAction::triggered, this, [this, character] { InsertText(character); });
        }
        if (p <= 3)
            hideInError_.append(menu);
    }

    QMenu* help = MenuBar->addMenu(QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    help->menuAction()->setObjectName(QStringLiteral("M_Help"));
    connect(AddItem(help, QStringLiteral("Menu_H_K_3"), QStringLiteral(u"<TABLE>ﾀｸﾞ(&T)...")),
            &QAction::triggered, this, [this] { Menu_H_K_Click(3); });
    connect(AddItem(help, QStringLiteral("Menu_H_K_4"), QStringLiteral(u"描画ﾌｧｲﾙの説明(&B)...")),
            &QAction::triggered, this, [this] { Menu_H_K_Click(4); });
    // The help window is reached through the main window's help launcher, when there is one.
    const bool helpRegistered = state_.WindowCommands.count(QStringLiteral("Menu_H_M")) > 0;
    items_.value(QStringLiteral("Menu_H_K_3"))->setEnabled(helpRegistered);
    items_.value(QStringLiteral("Menu_H_K_4"))->setEnabled(helpRegistered);
}

void KanEdit::Menu_H_K_Click(int index)
{
    const auto it = state_.WindowCommands.find(QStringLiteral("Menu_H_M"));
    if (it == state_.WindowCommands.end())
        return;
    state_.HelpRequestIndex = index;
    it->second(this);
}

void KanEdit::BuildToolbar()
{
    struct Key {
        const char* key;
        const char16_t* tip;
        QStyle::StandardPixmap icon;
    };
    const Key keys[] = {
        {"Save", u"上書き保存", QStyle::SP_DialogSaveButton},
        {"EndS", u"保存して閉じる", QStyle::SP_DialogApplyButton},
        {"Close", u"閉じる", QStyle::SP_DialogCloseButton},
        {"copy", u"コピー", QStyle::SP_FileDialogDetailedView},
        {"seasea", u"検索...", QStyle::SP_FileDialogContentsView},
        {"seadown", u"下方向に検索", QStyle::SP_ArrowDown},
    };
    auto add = [this](const QString& key, const QString& tip, const QIcon& icon) {
        QAction* button = Toolbar1->addAction(icon, tip);
        button->setObjectName(key);
        button->setToolTip(tip);
        buttons_.insert(key, button);
        return button;
    };
    for (const Key& k : keys)
        add(QString::fromLatin1(k.key), QString::fromUtf16(k.tip), style()->standardIcon(k.icon));
    connect(buttons_.value(QStringLiteral("Save")), &QAction::triggered, this, [this] { M_Line_S_Click(); });
    connect(buttons_.value(QStringLiteral("EndS")), &QAction::triggered, this, [this] { M_Line_Save_Click(); });
    connect(buttons_.value(QStringLiteral("Close")), &QAction::triggered, this, [this] { close(); });
    connect(buttons_.value(QStringLiteral("copy")), &QAction::triggered, this, [this] {
        Text1->setFocus();
        M_E_C_Click();
    });
    connect(buttons_.value(QStringLiteral("seasea")), &QAction::triggered, this, [this] { OpenChiKanF(2); });
    connect(buttons_.value(QStringLiteral("seadown")), &QAction::triggered, this, [this] { M_E_SeaDown_Click(); });

    Toolbar1->addSeparator();
    const char16_t* senTips[4] = {u"細い罫線", u"太い罫線", u"混合罫線", u"記号"};
    for (int p = 1; p <= 4; ++p) {
        QAction* button = add(QStringLiteral("Sen%1").arg(p), QString::fromUtf16(senTips[p - 1]),
                              CharacterIcon(PaletteItems(p)[2], font()));
        connect(button, &QAction::triggered, this, [this, p] { ChoosePalette(p); });
    }
    Toolbar1->addSeparator();
    for (int item = 1; item <= 11; ++item) {
        const QString key = item <= 9 ? QStringLiteral("Button%1").arg(item)
                                      : QStringLiteral("Button") + QChar(u'A' + item - 10);
        QAction* button = add(key, QString(), CharacterIcon(QString(), font()));
        connect(button, &QAction::triggered, this, [this, item] { InsertSymbol(item); });
    }
}

void KanEdit::ChoosePalette(int palette)
{
    symbolPalette_ = palette;
    for (int item = 1; item <= 11; ++item) {
        const QString key = item <= 9 ? QStringLiteral("Button%1").arg(item)
                                      : QStringLiteral("Button") + QChar(u'A' + item - 10);
        const QString character = PaletteItems(palette)[size_t(item - 1)];
        QAction* button = buttons_.value(key);
        button->setIcon(CharacterIcon(character, Text1 ? Text1->font() : font()));
        button->setToolTip(character);
    }
}

void KanEdit::InsertSymbol(int item)
{
    if (symbolPalette_ == 0)
        return;
    InsertText(PaletteItems(symbolPalette_)[size_t(item - 1)]);
}

}  // namespace kolbran
