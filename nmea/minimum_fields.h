#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace fixwatch {

// How many fields each sentence must have before any reader takes something from it, the
// identifier counted as field 0: one table for the epoch model, the sky and the GGA fix
// reader, so that a sentence cut short is turned away in one place. Fields after the last one
// counted here are optional (read as empty when missing). Sentences not in the table are read
// by no strict reader.
struct MinimumFields {
    std::string_view formatter;
    std::size_t fields;
};

inline constexpr std::array<MinimumFields, 12> kMinimumFields{{
    {"GBS", 5},  // time, expected errors in latitude, longitude and altitude
    {"GGA", 7},  // time, position, quality
    {"GLL", 6},  // position, time (the status came later, with NMEA 2.3)
    {"GNS", 7},  // time, position, mode indicator
    {"GSA", 3},  // auto/manual, fix mode
    {"GST", 9},  // ..., the standard deviations of latitude, longitude and altitude
    {"GSV", 4},  // message count, message number, satellites in view
    {"HDT", 3},  // heading, "T"
    {"RMC", 10}, // time, status, position, speed, course, date
    {"THS", 3},  // heading, mode
    {"VTG", 6},  // course true, course magnetic, speed in knots
    {"ZDA", 5},  // time, day, month, year
}};

// The fields a `formatter` sentence needs; 0 for a sentence the table does not know.
constexpr std::size_t MinimumFieldCount(std::string_view formatter)
{
    for (const MinimumFields& entry : kMinimumFields) {
        if (entry.formatter == formatter)
            return entry.fields;
    }
    return 0;
}

// True when a `formatter` sentence with `count` fields (the identifier included) has every
// field the table asks of it; false for a sentence the table does not know.
constexpr bool HasMinimumFields(std::string_view formatter, std::size_t count)
{
    const std::size_t minimum = MinimumFieldCount(formatter);
    return minimum != 0 && count >= minimum;
}

} // namespace fixwatch
