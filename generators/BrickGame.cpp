#include "generators/BrickGame.h"

#include "core/Numbers.h"

#include <QPainter>

#include <algorithm>

namespace kolbran {

BrickGame::BrickGame(std::function<double()> random)
    : random_(std::move(random)), field_(513, 513, QImage::Format_RGB32)
{
    field_.fill(kBackground);
}

void BrickGame::Box(int x1, int y1, int x2, int y2, QRgb colour)
{
    QPainter p(&field_);
    p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))),
               QColor::fromRgb(colour));
}

void BrickGame::Circle(int x, int y, QRgb colour)
{
    QPainter p(&field_);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(colour));
    p.drawEllipse(QPoint(x, y), 6, 6);
}

QRgb BrickGame::Point(int x, int y) const
{
    if (!field_.valid(x, y))
        return kBackground;
    return field_.pixel(x, y);
}

void BrickGame::DrawPaddle(QRgb colour)
{
    Box(paddleX_, 497, paddleX_ + 88, 508, colour);
}

void BrickGame::Init()
{
    field_.fill(kBackground);
    score_ = 0;
    paddleX_ = 210;
    DrawPaddle(kPaddle);
    x_ = int(IntFloor(random_() * 16)) * 4 + 3;
    y_ = 482;
    Circle(x_, y_, kBall);
    dx_ = int(IntFloor(random_() * 2)) * 16 - 8;
    dy_ = -8;
    for (int r = 0; r <= 3; ++r)
        for (int c = 0; c <= 15; ++c)
            Box(32 * c, 16 * r + 48, 32 * c + 28, 16 * r + 60, kBrick);
}

void BrickGame::MovePaddle(int direction)
{
    DrawPaddle(kBackground);
    paddleX_ = std::clamp(paddleX_ + 32 * direction, 0, 420);
    DrawPaddle(kPaddle);
}

void BrickGame::EraseCell(int bx, int by)
{
    Box(bx, by, bx + 30, by + 14, kBackground);
    ++score_;
}

void BrickGame::Clash()
{
    auto cellX = [](int v) { return int(IntFloor(v / 32.0)) * 32; };
    auto cellY = [](int v) { return int(IntFloor(v / 16.0)) * 16; };
    if (Point(x_, y_ + dy_) == kBrick) {
        EraseCell(cellX(x_), cellY(y_ + dy_));
        dy_ = -dy_;
    }
    if (Point(x_ + dx_, y_) == kBrick) {
        EraseCell(cellX(x_ + dx_), cellY(y_));
        dx_ = -dx_;
    }
    if (Point(x_ + dx_, y_ + dy_) == kBrick) {
        EraseCell(cellX(x_ + dx_), cellY(y_ + dy_));
        dx_ = -dx_;
        dy_ = -dy_;
    }
    if (Point(x_, y_ + dy_) == kPaddle) {
        dy_ = -dy_;
    } else if (Point(x_ + dx_, y_ + dy_) == kPaddle) {
        dx_ = -dx_;
        dy_ = -dy_;
    } else if (Point(x_ - 2, y_ + dy_ + 2) == kPaddle || Point(x_ + 2, y_ + dy_ + 2) == kPaddle ||
               Point(x_, y_ + dy_ + 3) == kPaddle) {
        dy_ = -dy_;
    }
    if (x_ + dx_ < 0 || x_ + dx_ > 512)
        dx_ = -dx_;
    else if (y_ + dy_ < 0)
        dy_ = -dy_;
}

BrickGame::Outcome BrickGame::Tick()
{
    Clash();
    Circle(x_, y_, kBackground);
    x_ += dx_;
    y_ += dy_;
    Circle(x_, y_, kBall);
    DrawPaddle(kPaddle);
    return Finish();
}

BrickGame::Outcome BrickGame::Finish() const
{
    if (score_ == 64)
        return Outcome::Won;
    if (y_ > 496)
        return Outcome::Lost;
    return Outcome::Running;
}

void BrickGame::SetBall(int x, int y, int dx, int dy)
{
    Circle(x_, y_, kBackground);
    x_ = x;
    y_ = y;
    dx_ = dx;
    dy_ = dy;
    Circle(x_, y_, kBall);
}

}  // namespace kolbran
