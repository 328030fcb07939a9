#pragma once

#include "generators/ImageList.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QStringList>

#include <array>
#include <functional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QScrollBar;

namespace kolbran {

struct AppState;
class DriveList;
class FileList;
class FolderList;

// The image list "画像ﾌｧｲﾙ一覧表示": the pictures of one folder as a contact sheet of
// sixteen thumbnails a page, paging, a click that opens the picture in the image window,
// and two ways of printing the list.
class PhotoPrt final : public QDialog {
    Q_OBJECT
public:
    explicit PhotoPrt(AppState& state, QWidget* parent = nullptr);
    ~PhotoPrt() override;

    int FileCount() const { return count_; }
    int Page() const { return page_; }
    int PageCount() const { return pageCount_; }
    const QList<ListCell>& Cells() const { return cells_; }
    const QImage& Canvas() const { return canvas_; }
    bool RectangleShown() const { return !rectangleHidden_; }
    bool Running() const { return running_; }
    int PrintValue() const { return printValue_; }

    // What a click on a thumbnail opens (the image window, modal); tests replace it.
    std::function<void()> OpenImageWindow;

    void Command4_Click();  // 表　示
    void Command5_Click();  // 画面クリア
    void Command1_Click();  // <<前頁
    void Command3_Click();  // 次頁>>
    void M_File_Lprt_Click();
    void M_Help_USE_Click();
    void SetSelectMode(bool on);
    void BarFunc(int index, int mode);

    void Picture1_MouseMove(const QPoint& at);
    void Picture1_MouseDown(Qt::MouseButton button);
    void Picture1_MouseUp(Qt::MouseButton button);

    void done(int result) override;

    // Controls and menus, named as the form names them.
    QFrame* Picture2 = nullptr;
    QFrame* Picture3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    DriveList* Drive1 = nullptr;
    FolderList* Dir1 = nullptr;
    FileList* File1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QWidget* Picture1 = nullptr;
    QScrollArea* Scroll = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    std::array<QFrame*, 4> Line2{};
    QAction* M_File_EXE = nullptr;
    QAction* M_File_Cls = nullptr;
    QAction* M_File_Lprt = nullptr;
    QAction* M_File_Back = nullptr;
    QAction* M_File_Next = nullptr;
    QAction* M_File_Close = nullptr;
    QAction* M_Help_USE = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void Form_Load();
    void Dir1_Change(const QString& folder);
    void Drive1_Change(const QString& root);
    void Combo1_Click(int index);
    void UpdateCount();
    void ClearCanvas();
    void DrawPage(int page);
    void BeginRun();
    void EndRun();
    void ApplyEnabled();
    bool Step();

    AppState& state_;
    QImage canvas_;
    QStringList names_;  // the list as displayed
    QList<ListCell> cells_;
    int count_ = 0;
    int page_ = 1;
    int pageCount_ = 0;
    int hover_ = -1;
    int pressed_ = -1;
    Qt::MouseButton pressedButton_ = Qt::NoButton;
    bool rectangleHidden_ = true;
    bool selecting_ = true;
    int printValue_ = 4;
    QString startFolder_;
    bool running_ = false;
    bool stop_ = false;
    bool closePending_ = false;
};

void ShowImageList(AppState& state, QWidget* parent);

}  // namespace kolbran
