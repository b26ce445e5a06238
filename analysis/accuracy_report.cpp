#include "accuracy_report.h"

namespace fixwatch {

double WrapLongitude(double longitude)
{
    longitude = std::fmod(longitude + 180, 360);
    return (longitude < 0 ? longitude + 360 : longitude) - 180;
}

} // namespace fixwatch
