#pragma once

#include "drawing/DrawingInterpreter.h"

#include <QString>

#include <array>
#include <functional>

namespace kolbran {

class DrawingSurface;

// The Matrix animation: falling columns of green characters on black, drawn with the
// drawing language's own surface operations.
class MatrixAnimation {
public:
    static constexpr int kColumns = 101;
    static constexpr int kRows = 51;

    // A pseudo-random number in [0, 1).
    explicit MatrixAnimation(std::function<double()> random = {});

    // The character pool and the settings of the Matrix command (the timer is armed).
    void Arm(const MatrixSettings& settings);
    int Interval() const { return interval_; }
    void SetInterval(int ms) { interval_ = ms; }
    const QString& Pool() const { return pool_; }
    // &Matrix: millimetres, pure green, the columns' places and characters.
    void Start(DrawingSurface& surface);
    // One timer tick: the picture black, then every column one step further down.
    void Tick(DrawingSurface& surface);
    double Head(int column) const { return head_[size_t(column)]; }

private:
    QChar RandomCharacter();
    void FillColumn(int column);

    std::function<double()> random_;
    QString pool_;
    int interval_ = 200;
    int characters_ = 20;
    int columns_ = 56;
    int step_ = 5;
    std::array<double, kColumns> x_{};
    std::array<double, kColumns> head_{};
    std::array<std::array<QChar, kColumns>, kRows> grid_{};
};

// The Matrix_Step answer: its number rounded when within 10..1000, otherwise 200.
int MatrixIntervalFromAnswer(const QString& answer);

}  // namespace kolbran
