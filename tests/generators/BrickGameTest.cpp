#include "generators/BrickGame.h"

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

// Rnd values in turn: the ball's column, then its direction.
BrickGame Game(double column, double direction)
{
    auto values = std::make_shared<std::vector<double>>(std::vector<double>{column, direction});
    auto k = std::make_shared<size_t>(0);
    BrickGame g([values, k] { return (*values)[(*k)++ % values->size()]; });
    g.Init();
    return g;
}

TEST(BrickGameTest, NewFieldColoursAndBall)
{
    BrickGame g = Game(0.99, 0.2);
    EXPECT_EQ(g.BallX(), 63);
    EXPECT_EQ(g.BallY(), 482);
    EXPECT_EQ(g.Dx(), -8);
    EXPECT_EQ(g.Dy(), -8);
    EXPECT_EQ(g.Score(), 0);
    EXPECT_EQ(g.Point(0, 48), BrickGame::kBrick);
    EXPECT_EQ(g.Point(508, 108), BrickGame::kBrick);   // last brick, bottom right corner
    EXPECT_EQ(g.Point(509, 108), BrickGame::kBackground);
    EXPECT_EQ(g.Point(29, 48), BrickGame::kBackground);  // the gap between bricks
    EXPECT_EQ(g.Point(210, 497), BrickGame::kPaddle);
    EXPECT_EQ(g.Point(298, 508), BrickGame::kPaddle);
    EXPECT_EQ(g.Point(63, 482), BrickGame::kBall);
    EXPECT_EQ(g.Point(-5, 600), BrickGame::kBackground);  // outside the field
    EXPECT_EQ(Game(0.0, 0.7).BallX(), 3);
    EXPECT_EQ(Game(0.0, 0.7).Dx(), 8);
}

TEST(BrickGameTest, PaddleStaysInTheField)
{
    BrickGame g = Game(0.5, 0.5);
    for (int k = 0; k < 20; ++k)
        g.MovePaddle(-1);
    EXPECT_EQ(g.PaddleX(), 0);
    EXPECT_EQ(g.Point(0, 500), BrickGame::kPaddle);
    EXPECT_EQ(g.Point(90, 500), BrickGame::kBackground);
    for (int k = 0; k < 20; ++k)
        g.MovePaddle(1);
    EXPECT_EQ(g.PaddleX(), 420);
    EXPECT_EQ(g.Point(512, 500), BrickGame::kBackground);  // 420 + 88 = 508
    EXPECT_EQ(g.Point(508, 500), BrickGame::kPaddle);
    EXPECT_EQ(g.Point(419, 500), BrickGame::kBackground);
}

TEST(BrickGameTest, MissedBallEndsAt498)
{
    BrickGame g = Game(0.0, 0.7);
    g.SetBall(100, 490, 8, 8);  // the paddle is at 210..298
    EXPECT_EQ(g.Tick(), BrickGame::Outcome::Lost);
    EXPECT_EQ(g.BallY(), 498);

    BrickGame h = Game(0.0, 0.7);
    h.SetBall(250, 490, 8, 8);  // over the paddle: bounces
    EXPECT_EQ(h.Tick(), BrickGame::Outcome::Running);
    EXPECT_EQ(h.BallY(), 482);
    EXPECT_EQ(h.Dy(), -8);
}

TEST(BrickGameTest, BricksBounceAndCount)
{
    BrickGame g = Game(0.0, 0.7);
    g.SetBall(35, 114, 8, -8);  // below the brick at (32, 96)
    g.Clash();
    EXPECT_EQ(g.Score(), 1);
    EXPECT_EQ(g.Dy(), 8);
    EXPECT_EQ(g.Point(40, 100), BrickGame::kBackground);
    EXPECT_EQ(g.Point(8, 100), BrickGame::kBrick);

    BrickGame wall = Game(0.0, 0.7);
    wall.SetBall(507, 300, 8, 8);
    wall.Clash();
    EXPECT_EQ(wall.Dx(), -8);
    wall.SetBall(100, 5, 8, -8);
    wall.Clash();
    EXPECT_EQ(wall.Dy(), 8);
}

TEST(BrickGameTest, ClearingAllBricksWins)
{
    // Playing with the paddle following the ball clears the field.
    BrickGame g = Game(0.3, 0.7);
    BrickGame::Outcome outcome = BrickGame::Outcome::Running;
    for (int t = 0; t < 200000 && outcome == BrickGame::Outcome::Running; ++t) {
        while (g.PaddleX() + 80 < g.BallX() && g.PaddleX() < 420)
            g.MovePaddle(1);
        while (g.PaddleX() + 8 > g.BallX() && g.PaddleX() > 0)
            g.MovePaddle(-1);
        outcome = g.Tick();
    }
    EXPECT_EQ(g.Score(), 64);
    EXPECT_EQ(outcome, BrickGame::Outcome::Won);
}

}  // namespace
