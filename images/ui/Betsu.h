#pragma once

#include "images/ImageWindowLogic.h"

#include <QDialog>
#include <QImage>
#include <QSizeF>

#include <array>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QWidget;

namespace kolbran {

struct AppState;

// The image window "別画面": one picture fitted to the window, turned, greyed, analysed,
// made into a text picture, saved as a bitmap and printed. Opened on
// AppState::TargetFilePath; with OpenedFromBrowser 255 it steps through the browser's list.
class Betsu final : public QDialog {
    Q_OBJECT
public:
    explicit Betsu(AppState& state, QWidget* parent = nullptr);
    ~Betsu() override;

    bool Loaded() const { return loaded_; }
    const QImage& Picture() const { return picture_; }
    int CurrentIndex() const { return index_; }
    const QString& ShownPath() const { return path_; }
    int PaperChoice() const { return paperChoice_; }
    int FitMode() const { return fitMode_; }
    QSizeF PaperSize() const { return paper_; }
    bool Running() const { return running_; }

    // Menu commands (also reached through the actions).
    void FlSel(int index);
    void F_Back_Click();
    void F_Next_Click();
    void M_F_R90_Click();
    void M_F_L90_Click();
    void M_F_mono_Click();
    void M_F_Kaiseki_Click();
    void M_F_Text_G_Click();
    void M_F_save_Click();
    void M_S_Ze_Click();
    void M_S_To_Click();
    void M_S_S_Free_Click();
    void M_S_S_Koyu_Click();
    void M_G_Settei0_Click();
    void M_G_Ptayo_Click(int index);
    void M_G_Psize_Click(int index);
    void M_G_Print_Click();
    void M_Help_M1_Click();

    void done(int result) override;

    // Controls and menus, named as the form names them.
    QMenuBar* MenuBar = nullptr;
    QWidget* Area = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QMenu* M_Gamen = nullptr;
    QMenu* M_File = nullptr;
    QMenu* M_Help = nullptr;
    QAction* F_Back = nullptr;
    QAction* F_Next = nullptr;
    QAction* F_Separator = nullptr;
    QAction* M_F_Kaiseki = nullptr;
    QAction* M_S_S_Free = nullptr;
    QAction* M_S_S_Koyu = nullptr;
    std::array<QAction*, 2> M_G_Ptayo{};
    std::array<QAction*, 7> M_G_Psize{};

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void Form_Load();
    void ApplyPaperChoice(int index, bool ask);
    void StoreSettings();
    bool ShowFile(const QString& path);
    void SizeWindow(int outerWidth, int outerHeight);
    void SizeToPicture();
    void Layout();
    void SetMenusVisible(bool visible);
    void Image1_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void ShowPicture(const QImage& picture);
    // Runs one pixel operation with the hourglass and the progress caption.
    void RunPixelOperation(const std::function<QImage(const std::function<bool(double)>&)>& work, bool turned);
    bool Progress(double fraction, bool yield);
    void BeginRun();
    void EndRun();

    AppState& state_;
    QString path_;          // the shown file
    QImage picture_;        // the picture as shown (after turns and greying)
    bool loaded_ = false;
    int sizeMode_ = 1;      // 1 keep proportions, 0 stretch
    int frameHeight_ = 740; // below 740: full screen
    bool fromBrowser_ = false;
    int index_ = -1;
    int last_ = -1;
    int paperChoice_ = 0;
    int fitMode_ = 0;
    QSizeF paper_;
    bool running_ = false;
    bool stop_ = false;
    bool closePending_ = false;
    QString lastPercent_;
};

// Opens the image window modally on AppState::TargetFilePath (the image list's click).
void ShowImageWindow(AppState& state, QWidget* parent);

}  // namespace kolbran
