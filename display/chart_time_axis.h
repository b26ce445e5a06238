#pragma once

#include <QString>

class QCategoryAxis;

namespace fixwatch {

// "hh:mm:ss" of a time in seconds since 1970 (or of the day), UTC.
QString UtcTime(double seconds);

// Labels a time axis whose values are seconds since 1970 (or of the day) with UTC times of
// day at round steps within [from, to], about five of them.
void LabelUtcAxis(QCategoryAxis* axis, double from, double to);

} // namespace fixwatch
