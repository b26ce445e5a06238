#pragma once

class QChart;
class QPalette;

namespace fixwatch {

// Qt Charts draw in colours of their own: this carries the window's palette over to a chart
// (its background, title, legend and axes), so that a dark desktop gets dark charts.
void FollowPalette(QChart* chart, const QPalette& palette);

} // namespace fixwatch
