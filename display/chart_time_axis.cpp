#include "chart_time_axis.h"

#include <QCategoryAxis>

#include <cmath>
#include <iterator>

namespace fixwatch {

void LabelUtcAxis(QCategoryAxis* axis, double from, double to)
{
    constexpr double kSteps[] = {1, 2, 5, 10, 30, 60, 120, 300, 600, 1800, 3600};
    double step = kSteps[std::size(kSteps) - 1];
    for (const double s : kSteps) {
        if ((to - from) / s <= 6) {
            step = s;
            break;
        }
    }
    for (const QString& label : axis->categoriesLabels())
        axis->remove(label);
    axis->setRange(from, to);
    axis->setStartValue(from);
    for (double t = std::ceil(from / step) * step; t <= to; t += step)
        axis->append(UtcTime(t), t);
}

QString UtcTime(double seconds)
{
    const auto s = static_cast<long long>(std::floor(std::fmod(seconds, 86400.0)));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace fixwatch
