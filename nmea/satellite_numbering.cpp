#include "satellite_numbering.h"

#include <array>

namespace fixwatch {
namespace {

struct NumberRange {
    int first;
    int last;
    GnssSystem system;
    int offset; // subtracted to get the satellite's number within its system
};

// The numbers GP and GN sentences give the satellites of each system.
constexpr std::array<NumberRange, 8> kExtendedNumbers{{
    {1, 32, GnssSystem::GPS, 0},
    {33, 64, GnssSystem::SBAS, -87},
    {65, 96, GnssSystem::GLONASS, 64},
    {120, 158, GnssSystem::SBAS, 0},
    {193, 199, GnssSystem::QZSS, 192},
    {201, 237, GnssSystem::BeiDou, 200},
    {301, 336, GnssSystem::Galileo, 300},
    {401, 437, GnssSystem::BeiDou, 400},
}};

// Offset numberings seen once the system is known from the talker or a system ID, wider
// than the ranges above: QZSS up to 202, BeiDou's 63 satellites, and Galileo as 101-136.
constexpr std::array<NumberRange, 7> kOffsetNumbers{{
    {33, 64, GnssSystem::SBAS, -87},
    {65, 96, GnssSystem::GLONASS, 64},
    {193, 202, GnssSystem::QZSS, 192},
    {201, 263, GnssSystem::BeiDou, 200},
    {401, 463, GnssSystem::BeiDou, 400},
    {101, 136, GnssSystem::Galileo, 100},
    {301, 336, GnssSystem::Galileo, 300},
}};

} // namespace

std::optional<GnssSystem> TalkerSystem(std::string_view talker)
{
    if (talker == "GL")
        return GnssSystem::GLONASS;
    if (talker == "GA")
        return GnssSystem::Galileo;
    if (talker == "GB" || talker == "BD")
        return GnssSystem::BeiDou;
    if (talker == "GQ" || talker == "QZ")
        return GnssSystem::QZSS;
    if (talker == "GI")
        return GnssSystem::NavIC;
    return std::nullopt;
}

std::optional<GnssSystem> SystemOfNumber(int number)
{
    for (const NumberRange& range : kExtendedNumbers) {
        if (number >= range.first && number <= range.last)
            return range.system;
    }
    return std::nullopt;
}

std::optional<GnssSystem> SystemOfId(int id)
{
    static constexpr std::array<GnssSystem, 6> kById{GnssSystem::GPS, GnssSystem::GLONASS, GnssSystem::Galileo,
                                                     GnssSystem::BeiDou, GnssSystem::QZSS, GnssSystem::NavIC};
    if (id < 1 || id > static_cast<int>(kById.size()))
        return std::nullopt;
    return kById[static_cast<std::size_t>(id - 1)];
}

int NativeNumber(GnssSystem system, int number)
{
    for (const NumberRange& range : kOffsetNumbers) {
        if (range.system == system && number >= range.first && number <= range.last)
            return number - range.offset;
    }
    return number;
}

} // namespace fixwatch
