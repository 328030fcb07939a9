#include "drawing/MatrixAnimation.h"

#include "core/Numbers.h"
#include "drawing/DrawingSurface.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace kolbran {

MatrixAnimation::MatrixAnimation(std::function<double()> random) : random_(std::move(random))
{
    if (!random_)
        random_ = [] { return QRandomGenerator::global()->generateDouble(); };
}

void MatrixAnimation::Arm(const MatrixSettings& settings)
{
    pool_ = QStringLiteral(u"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾒﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾜｦ") +
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ") + QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    // The command's own interval wins over the window's 200.
    interval_ = settings.interval;
    characters_ = settings.characters;
    columns_ = settings.columns;
    step_ = settings.step;
}

QChar MatrixAnimation::RandomCharacter()
{
    if (pool_.isEmpty())
        return u' ';
    const qsizetype position = qsizetype(std::floor(double(pool_.size()) * random_() + 1));
    return pool_[std::clamp<qsizetype>(position, 1, pool_.size()) - 1];
}

void MatrixAnimation::FillColumn(int column)
{
    for (auto& row : grid_)
        row[size_t(column)] = RandomCharacter();
}

void MatrixAnimation::Start(DrawingSurface& surface)
{
    surface.SetScaleMode(6);
    surface.SetForeColor(QColor(0, 255, 0));
    const double height = surface.ScaleHeight();
    for (int c = 0; c < kColumns; ++c) {
        x_[size_t(c)] = 5.0 * c + 5;
        head_[size_t(c)] = std::floor((characters_ * 5 + height) / 10 * random_() + 1) * 10;
        FillColumn(c);
    }
}

void MatrixAnimation::Tick(DrawingSurface& surface)
{
    const double height = surface.ScaleHeight();
    surface.Line(0, 0, surface.ScaleWidth(), height, QColor(Qt::black), DrawingSurface::LineShape::FilledBox);
    for (int c = 0; c <= std::min(columns_, kColumns - 1); ++c) {
        int level = 255;
        for (int i = 0; i <= std::min(characters_, kRows - 1); ++i) {
            surface.SetForeColor(QColor(0, level, 0));
            surface.Point(x_[size_t(c)], head_[size_t(c)] - 5.0 * i, QColor(Qt::black));
            surface.Print(QString(grid_[size_t(i)][size_t(c)]));
            if (i >= 4 && level > 30)
                level -= 13;
        }
        head_[size_t(c)] += step_;
        if (head_[size_t(c)] > height + characters_ * 5) {
            head_[size_t(c)] = 1;
            FillColumn(c);
        }
    }
}

int MatrixIntervalFromAnswer(const QString& answer)
{
    const qint64 v = RoundHalfEven(std::clamp(Val(answer), -1e9, 1e9));
    return v >= 10 && v <= 1000 ? int(v) : 200;
}

}  // namespace kolbran
