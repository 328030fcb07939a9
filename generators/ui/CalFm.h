#pragma once

#include "generators/BrickGame.h"

#include <QDialog>
#include <QWidget>

#include <random>

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace kolbran {

struct AppState;

// The game field: the 512-unit field scaled to the widget; the arrow keys move the paddle.
class GameField final : public QWidget {
    Q_OBJECT
public:
    GameField(const BrickGame& game, QWidget* parent);
    QSize sizeHint() const override { return {385, 385}; }

Q_SIGNALS:
    void ArrowKey(int keyCode);  // 37 left, 39 right

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const BrickGame& game_;
};

// The calendar dialog: one month as text; a year below 1 turns it into a brick game.
class CalFm final : public QDialog {
    Q_OBJECT
public:
    explicit CalFm(AppState& state, QWidget* parent = nullptr);

    void Command1_Click();  // make the calendar (or enter the game)
    void Command2_Click();  // close, or back to the calendar
    void Command3_Click();  // start a game
    void Picture1_KeyDown(int keyCode);
    void Timer1_Timer();
    bool InGameMode() const;
    BrickGame& Game() { return game_; }
    // The calendar text as made (CR LF line ends).
    QString CalendarTextShown() const;

    QComboBox* Combo1;
    QLabel* Label1;
    QComboBox* Combo2;
    QLabel* Label2;
    QGroupBox* Frame2;
    QRadioButton* Option3_0;
    QRadioButton* Option3_1;
    QGroupBox* Frame1;
    QRadioButton* Option1_0;
    QRadioButton* Option1_1;
    QPlainTextEdit* Text2;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    GameField* Picture1;
    QTimer* Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Form_Load();
    void EnterGameMode();
    void Init_rtn();
    void Finish(BrickGame::Outcome outcome);
    void ShowScore();

    AppState& state_;
    bool closing_ = false;
    std::mt19937 random_;
    BrickGame game_;
};

}  // namespace kolbran
