#include "satellites_in_use.h"

#include "field_reading.h"
#include "talkers.h"

#include <algorithm>

namespace fixwatch {

void SatellitesInUse::SolutionCount(std::string_view talker, std::string_view formatter,
                                    std::string_view utcTime, std::string_view count)
{
    const auto solution = field::Count(count);
    const auto index = GnssTalkerIndex(talker);
    if (!solution || !index)
        return;
    // A time longer than any receiver sends is compared by its start; memory stays bounded.
    const std::string_view time = utcTime.substr(0, 16);
    if (!time.empty() && time != lastTime_) {
        lastTime_.assign(time);
        ++epoch_;
    }
    const Slot slot{solution, epoch_};
    if (formatter == "GNS" || talker == "GN")
        combined_ = slot;
    else if (formatter == "GGA")
        perSystem_[*index] = slot;
}

void SatellitesInUse::UsedBySky(int used)
{
    sky_ = used;
}

std::optional<int> SatellitesInUse::Count() const
{
    if (sky_)
        return sky_;
    if (Current(combined_))
        return combined_.count;
    std::optional<int> largest;
    for (const Slot& slot : perSystem_) {
        if (Current(slot) && (!largest || *slot.count > *largest))
            largest = slot.count;
    }
    return largest;
}

} // namespace fixwatch
