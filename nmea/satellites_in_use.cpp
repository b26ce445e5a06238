#include "satellites_in_use.h"

#include "talkers.h"

#include <algorithm>
#include <charconv>

namespace fixwatch {
namespace {

// A count as receivers send it: plain digits, "08" or "8"; nothing for anything else.
std::optional<int> ReadCount(std::string_view field)
{
    int value = 0;
    const auto* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (field.empty() || ec != std::errc() || ptr != end || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

void SatellitesInUse::SolutionCount(std::string_view talker, std::string_view formatter,
                                    std::string_view utcTime, std::string_view field)
{
    const auto count = ReadCount(field);
    const auto index = GnssTalkerIndex(talker);
    if (!count || !index)
        return;
    // A time longer than any receiver sends is compared by its start; memory stays bounded.
    const std::string_view time = utcTime.substr(0, 16);
    if (!time.empty() && time != lastTime_) {
        lastTime_.assign(time);
        ++epoch_;
    }
    const Slot slot{count, epoch_};
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
