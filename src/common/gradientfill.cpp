#include "gradientfill.h"

#include <QPainter>

#include <cmath>

namespace {
// Nearest integer, halves to the even neighbour.
int roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff > 0.5) return int(floor) + 1;
    if (diff < 0.5) return int(floor);
    return std::fmod(floor, 2.0) == 0.0 ? int(floor) : int(floor) + 1;
}

int channel(int from, int to, double t)
{
    return int(std::trunc(from + (to - from) * t));
}
} // namespace

bool GradientFill(QPainter &canvas, const QRect &rect, const QList<QColor> &colours,
    bool horizontal, QString *error)
{
    if (colours.size() < 2) {
        if (error) *error = QStringLiteral("Es müssen mindestens zwei Farben angegeben werden.");
        return false;
    }
    const int length = horizontal ? rect.width() : rect.height();
    if (length <= 0) return true;
    const int segments = int(colours.size()) - 1;
    const int step = roundHalfEven(double(length) / segments);

    for (int i = 0; i < segments; ++i) {
        const QColor from = colours.at(i).toRgb();
        const QColor to = colours.at(i + 1).toRgb();
        const int segmentLength = i == segments - 1 ? length - i * step - 1 : step;
        for (int r = 0; r <= segmentLength; ++r) {
            const int p = i * step + r;
            // A short extent with many stops rounds segments up past its end.
            if (p >= length) break;
            const double t = segmentLength > 0 ? double(r) / segmentLength : 0.0;
            const QColor c(channel(from.red(), to.red(), t), channel(from.green(), to.green(), t),
                channel(from.blue(), to.blue(), t));
            if (horizontal)
                canvas.fillRect(QRect(rect.left() + p, rect.top(), 1, rect.height()), c);
            else
                canvas.fillRect(QRect(rect.left(), rect.top() + p, rect.width(), 1), c);
        }
    }
    return true;
}
