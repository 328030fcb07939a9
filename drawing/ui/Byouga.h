#pragma once

#include "core/RuntimeError.h"
#include "drawing/DrawingInterpreter.h"
#include "drawing/MatrixAnimation.h"

#include <QDialog>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollBar;
class QTimer;

namespace kolbran {

struct AppState;
class DrawingSurface;
class ViewerHost;

// The persistent bitmap of the drawing, shown at its scroll position.
class DrawingPicture final : public QWidget {
    Q_OBJECT
public:
    explicit DrawingPicture(QWidget* parent) : QWidget(parent) {}
    void SetSurface(const DrawingSurface* surface);

Q_SIGNALS:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const DrawingSurface* surface_ = nullptr;
};

// 描画: draws the document of the main window, scrolls, prints and saves it.
class Byouga final : public QDialog {
    Q_OBJECT
public:
    Byouga(AppState& state, QWidget* parent = nullptr);
    ~Byouga() override;

    QMenuBar* menuBar = nullptr;
    QMenu* M_Gamen = nullptr;
    QAction* M_S_Ze = nullptr;
    QAction* M_G_Matrix = nullptr;
    QAction* M_G_Matrix_Step = nullptr;
    QAction* M_G_Print_1 = nullptr;
    QAction* M_G_Print_2 = nullptr;
    QAction* M_G_Close = nullptr;
    QMenu* M_File = nullptr;
    QAction* M_F_Moto = nullptr;
    QAction* M_F_Up = nullptr;
    QAction* M_F_Down = nullptr;
    QAction* M_F_save = nullptr;
    QMenu* Menu_Help_B = nullptr;
    QAction* Menu_H_M1 = nullptr;
    QAction* Menu_H_M2 = nullptr;

    QWidget* Area = nullptr;  // the inner area the picture scrolls in
    DrawingPicture* Picture1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QTimer* Timer1 = nullptr;

    const DrawingSurface* Surface() const { return surface_.get(); }
    const DrawingInterpreter& Interpreter() const { return interpreter_; }
    bool IsLoading() const { return running_; }
    bool MatrixMode() const { return matrixMode_; }
    const MatrixAnimation& Animation() const { return matrix_; }
    float RestoreFlag() const { return restoreFlag_; }

    // The load run (started once the window shows).
    void Form_Load();
    void M_S_Ze_Click();
    void Picture1_Click();
    void M_G_Matrix_Click();
    void M_G_Matrix_Step_Click();
    void M_G_Print_Click(int index);
    void M_F_Moto_Click();
    void M_F_Up_Click();
    void M_F_Down_Click();
    void M_F_save_Click();
    void Timer1_Timer();
    // Lays the picture and the scroll bars out for the inner area.
    void LayOut();

Q_SIGNALS:
    void Loaded();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void ShowErrorReport(const RuntimeError& error, LineNumber line);
    void EndBusy();
    void Scrolled();
    void PrintScreen();
    void PrintDirect();

    AppState& state_;
    ViewerHost* host_;
    DrawingInterpreter interpreter_;
    std::unique_ptr<DrawingSurface> surface_;
    MatrixAnimation matrix_;
    float restoreFlag_ = 0;
    bool matrixMode_ = false;
    bool started_ = false;
    bool running_ = false;
    bool closePending_ = false;
};

}  // namespace kolbran
