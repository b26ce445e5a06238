#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fixwatch {

// What the alarms watch for, in the order the user is offered them.
enum class AlarmKind {
    NoData,
    FixLost,
    FixDegraded,
    Hdop,
    Satellites,
    Anchor,
    Date,
};

inline constexpr std::array<AlarmKind, 7> kAlarmKinds{
    AlarmKind::NoData,
    AlarmKind::FixLost,
    AlarmKind::FixDegraded,
    AlarmKind::Hdop,
    AlarmKind::Satellites,
    AlarmKind::Anchor,
    AlarmKind::Date,
};

inline constexpr std::size_t AlarmIndex(AlarmKind kind) { return static_cast<std::size_t>(kind); }

// "no-data", "fix-lost", ...: the kind's name on the command line and in the alarm file.
std::string_view AlarmKindName(AlarmKind kind);
std::optional<AlarmKind> ReadAlarmKind(std::string_view name);

// 0 for the most serious: what the status bar names first. Losing the data, the fix or the
// anchor outweighs a worse fix, which outweighs a figure out of bounds.
int AlarmSeriousness(AlarmKind kind);
// The kinds whose notification is sent as critical.
bool AlarmIsCritical(AlarmKind kind);

// A point on the WGS 84 ellipsoid in decimal degrees.
struct WgsPoint {
    double latitude = 0;
    double longitude = 0;
    friend bool operator==(const WgsPoint&, const WgsPoint&) = default;
};

// The limits the alarms compare with; nothing of it is stored between runs.
struct AlarmSettings {
    double noDataSeconds = 5;
    double hdopLimit = 2.5;
    int satellitesMinimum = 6;
    double anchorRadius = 30; // metres
    // A point the user typed; without one the anchor is where the receiver was when the
    // alarm was armed, or its first fix after that.
    std::optional<WgsPoint> anchorPoint;
};

// One "--alarm=KIND[:VALUE]" of the command line, applied to `settings` when good.
struct AlarmOption {
    AlarmKind kind = AlarmKind::NoData;
    AlarmSettings settings;
};

// Reads "KIND[:VALUE]" (the text after "--alarm="): no-data:SECONDS, fix-lost, fix-degraded,
// hdop:LIMIT, satellites:COUNT, anchor:RADIUS or anchor:RADIUS@LAT,LON, date. A value left out
// keeps the one in `settings`. Nothing, with the reason in `error`, for a kind or value that
// is not understood ("unknown alarm kind \"frob\"").
std::optional<AlarmOption> ReadAlarmOption(std::string_view text, const AlarmSettings& settings,
                                           std::string* error);

// "LATITUDE,LONGITUDE" in decimal degrees ("45.1,7.6", blanks allowed around either); nothing
// for anything else or a point off the globe.
std::optional<WgsPoint> ReadWgsPoint(std::string_view text);

// A number as a person writes it: at most `decimals` decimals, without trailing zeros
// ("2.5", "5", "3.14").
std::string ShortNumber(double value, int decimals = 2);

} // namespace fixwatch
