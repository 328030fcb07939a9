#pragma once

#include <QColor>
#include <QImage>

#include <functional>

namespace kolbran {

// The calendar dialog's brick game on a field of 512 × 512 logical units (the image is
// 513 × 513 so that x = 512 is a point of it). The colour tests read the image.
class BrickGame {
public:
    static constexpr QRgb kBrick = 0xFF00FFFF;
    static constexpr QRgb kBall = 0xFFFFFFFF;
    static constexpr QRgb kPaddle = 0xFF00FF00;
    static constexpr QRgb kBackground = 0xFF000000;

    enum class Outcome { Running, Won, Lost };

    // `random` gives numbers in [0, 1); the window seeds it from the clock.
    explicit BrickGame(std::function<double()> random);

    // Init_rtn: a clear field, score 0, paddle at 210, the ball above it, 64 bricks.
    void Init();
    // The arrow keys: -1 left, +1 right; x stays within 0..420.
    void MovePaddle(int direction);
    // One tick: Clash, move the ball, draw the paddle again; then the end test.
    Outcome Tick();
    // Clash alone, for tests.
    void Clash();
    Outcome Finish() const;

    const QImage& Field() const { return field_; }
    QRgb Point(int x, int y) const;  // outside the field: the background
    int Score() const { return score_; }
    int PaddleX() const { return paddleX_; }
    int BallX() const { return x_; }
    int BallY() const { return y_; }
    int Dx() const { return dx_; }
    int Dy() const { return dy_; }
    // Places the ball (tests).
    void SetBall(int x, int y, int dx, int dy);

private:
    void Box(int x1, int y1, int x2, int y2, QRgb colour);
    void Circle(int x, int y, QRgb colour);
    void EraseCell(int bx, int by);
    void DrawPaddle(QRgb colour);

    std::function<double()> random_;
    QImage field_;
    int score_ = 0;
    int paddleX_ = 210;
    int x_ = 3;
    int y_ = 482;
    int dx_ = 8;
    int dy_ = -8;
};

}  // namespace kolbran
