#include "alarm_watch.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fixwatch {
namespace {

// GGA fix qualities (NMEA 0183, GGA field 6) in the order a fix can fall through them:
// RTK fixed (4) above RTK float (5) above differential (2) above a plain fix (1). Other
// qualities (PPS, estimated, manual, simulated) stand outside that order.
constexpr int kQualityGps = 1;
constexpr int kQualityDgps = 2;
constexpr int kQualityRtkFixed = 4;
constexpr int kQualityRtkFloat = 5;
// GSA mode (field 2): 1 no fix, 2 a 2D fix, 3 a 3D fix.
constexpr int kModeNoFix = 1;
constexpr int kMode2D = 2;
constexpr int kMode3D = 3;

constexpr double kSecondsPerDay = 86400;
constexpr double kSecondsPerWeek = 7 * kSecondsPerDay;
// GPS week numbers wrap every 1024 weeks; a receiver that gets this wrong is a whole number
// of such cycles away.
constexpr long kWeeksPerRollover = 1024;

std::optional<int> QualityRank(std::optional<int> quality)
{
    switch (quality.value_or(0)) {
    case kQualityRtkFixed: return 4;
    case kQualityRtkFloat: return 3;
    case kQualityDgps: return 2;
    case kQualityGps: return 1;
    default: return std::nullopt;
    }
}

std::optional<int> ModeRank(std::optional<int> mode)
{
    if (mode == kMode2D || mode == kMode3D)
        return mode;
    return std::nullopt;
}

std::string ModeName(int mode)
{
    return mode == kMode3D ? "3D" : "2D";
}

// A fix by any of the sentences that say so: GGA quality above 0 or RMC status A.
bool SaysFix(const Epoch& epoch)
{
    return (epoch.fixQuality && *epoch.fixQuality > 0) || epoch.rmcStatus == 'A';
}

// No fix, said in so many words: GGA quality 0, RMC status V or GSA mode 1.
bool SaysNoFix(const Epoch& epoch)
{
    return epoch.fixQuality == 0 || epoch.rmcStatus == 'V' || epoch.gsaMode == kModeNoFix;
}

// Days since 1970-01-01 of a civil date (the proleptic Gregorian calendar).
std::int64_t DaysFromCivil(int year, int month, int day)
{
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t{era} * 146097 + dayOfEra - 719468;
}

std::string IsoDate(const UtcDate& date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::string Plural(long count, const char* one, const char* many)
{
    return std::to_string(count) + ' ' + (std::labs(count) == 1 ? one : many);
}

std::string Metres(double metres)
{
    return std::to_string(std::lround(metres)) + " m";
}

} // namespace

std::string FixQualityName(int quality)
{
    switch (quality) {
    case 0: return "no fix";
    case kQualityGps: return "GPS";
    case kQualityDgps: return "DGPS";
    case 3: return "PPS";
    case kQualityRtkFixed: return "RTK fixed";
    case kQualityRtkFloat: return "RTK float";
    case 6: return "estimated";
    case 7: return "manual";
    case 8: return "simulated";
    default: return "quality " + std::to_string(quality);
    }
}

std::string EpochDetails(const Epoch& epoch)
{
    std::string details;
    auto add = [&details](const std::string& part) {
        details += (details.empty() ? "" : " · ") + part;
    };
    if (epoch.timeMs) {
        const int seconds = *epoch.timeMs / 1000;
        char text[32];
        std::snprintf(text, sizeof text, "UTC %02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
        add(text);
    }
    if (epoch.fixQuality)
        add(FixQualityName(*epoch.fixQuality) + (ModeRank(epoch.gsaMode) ? " " + ModeName(*epoch.gsaMode) : ""));
    if (epoch.satellitesUsed)
        add(Plural(*epoch.satellitesUsed, "satellite used", "satellites used"));
    if (epoch.hdop)
        add("HDOP " + ShortNumber(*epoch.hdop));
    if (epoch.latitude && epoch.longitude)
        add(ShortNumber(*epoch.latitude, 6) + ", " + ShortNumber(*epoch.longitude, 6));
    return details;
}

void AlarmWatch::SetSettings(const AlarmSettings& settings)
{
    const bool newPoint = settings.anchorPoint != settings_.anchorPoint;
    settings_ = settings;
    if (newPoint)
        anchor_ = settings_.anchorPoint ? settings_.anchorPoint : lastPosition_;
}

void AlarmWatch::Arm(AlarmKind kind, bool armed, double now)
{
    State& state = state_[AlarmIndex(kind)];
    if (state.armed == armed)
        return;
    state.armed = armed;
    state.quietSince.reset();
    if (!armed && state.raised)
        Clear(kind, "Disarmed", true);
    if (kind == AlarmKind::NoData)
        lastLine_ = now;
    if (kind == AlarmKind::FixDegraded) {
        bestQuality_ = quality_;
        bestMode_ = mode_;
    }
    if (kind == AlarmKind::Anchor && armed)
        anchor_ = settings_.anchorPoint ? settings_.anchorPoint : lastPosition_;
}

void AlarmWatch::End(const std::string& why)
{
    for (const AlarmKind kind : kAlarmKinds)
        if (state_[AlarmIndex(kind)].raised)
            Clear(kind, why, true);
}

void AlarmWatch::Begin(double now)
{
    End("Started again");
    for (State& state : state_)
        state.quietSince.reset();
    lastLine_ = now;
    hadFix_ = false;
    fixLost_ = false;
    bestQuality_.reset();
    bestMode_.reset();
    quality_.reset();
    mode_.reset();
    anchor_ = settings_.anchorPoint;
    lastPosition_.reset();
    lastHdop_.reset();
    lastSatellites_.reset();
    lastDate_.reset();
    lastEpoch_ = Epoch{};
}

void AlarmWatch::LineArrived(double now)
{
    lastLine_ = now;
    if (Armed(AlarmKind::NoData))
        Quiet(AlarmKind::NoData, now);
}

void AlarmWatch::Tick(double now)
{
    if (Armed(AlarmKind::NoData) && now - lastLine_ >= settings_.noDataSeconds)
        Hold(AlarmKind::NoData, "No data for " + ShortNumber(settings_.noDataSeconds, 1) + " s");
    Settle(now);
}

void AlarmWatch::EpochClosed(const Epoch& epoch, double now, std::optional<std::int64_t> systemUtcSeconds)
{
    lastEpoch_ = epoch;
    WatchFix(epoch, now);
    WatchDegradation(epoch, now);
    WatchFigures(epoch, now);
    WatchAnchor(epoch, now);
    WatchDate(epoch, now, systemUtcSeconds);
    Settle(now);
}

void AlarmWatch::WatchFix(const Epoch& epoch, double now)
{
    if (SaysFix(epoch)) {
        hadFix_ = true;
        fixLost_ = false;
    } else if (SaysNoFix(epoch) && hadFix_) {
        fixLost_ = true;
    }
    if (!Armed(AlarmKind::FixLost))
        return;
    if (fixLost_)
        Hold(AlarmKind::FixLost, "Fix lost");
    else if (SaysFix(epoch))
        Quiet(AlarmKind::FixLost, now);
}

void AlarmWatch::WatchDegradation(const Epoch& epoch, double now)
{
    // Only a fix has a level; an epoch without one leaves the comparison as it stood.
    const bool fix = SaysFix(epoch);
    const auto quality = fix ? QualityRank(epoch.fixQuality) : std::nullopt;
    const auto mode = fix ? ModeRank(epoch.gsaMode) : std::nullopt;
    if (quality)
        quality_ = epoch.fixQuality;
    if (mode)
        mode_ = epoch.gsaMode;
    if (!Armed(AlarmKind::FixDegraded) || (!quality && !mode))
        return;

    const bool qualityFell = quality && bestQuality_ && *quality < *QualityRank(bestQuality_);
    const bool modeFell = mode && bestMode_ && *mode < *bestMode_;
    if (quality && (!bestQuality_ || *quality > *QualityRank(bestQuality_)))
        bestQuality_ = epoch.fixQuality;
    if (mode && (!bestMode_ || *mode > *bestMode_))
        bestMode_ = epoch.gsaMode;

    if (qualityFell)
        Hold(AlarmKind::FixDegraded,
             "Fix degraded: " + FixQualityName(*bestQuality_) + " → " + FixQualityName(*epoch.fixQuality));
    else if (modeFell)
        Hold(AlarmKind::FixDegraded, "Fix degraded: " + ModeName(*bestMode_) + " → " + ModeName(*mode));
    else
        Quiet(AlarmKind::FixDegraded, now);
}

void AlarmWatch::WatchFigures(const Epoch& epoch, double now)
{
    if (epoch.hdop)
        lastHdop_ = epoch.hdop;
    if (epoch.satellitesUsed)
        lastSatellites_ = epoch.satellitesUsed;
    if (epoch.hdop && Armed(AlarmKind::Hdop)) {
        if (*epoch.hdop > settings_.hdopLimit)
            Hold(AlarmKind::Hdop,
                 "HDOP " + ShortNumber(*epoch.hdop) + " above " + ShortNumber(settings_.hdopLimit));
        else
            Quiet(AlarmKind::Hdop, now);
    }
    if (epoch.satellitesUsed && Armed(AlarmKind::Satellites)) {
        if (*epoch.satellitesUsed < settings_.satellitesMinimum)
            Hold(AlarmKind::Satellites,
                 Plural(*epoch.satellitesUsed, "satellite used", "satellites used") + ", fewer than "
                     + std::to_string(settings_.satellitesMinimum));
        else
            Quiet(AlarmKind::Satellites, now);
    }
}

void AlarmWatch::WatchAnchor(const Epoch& epoch, double now)
{
    if (!SaysFix(epoch) || !epoch.latitude || !epoch.longitude)
        return;
    lastPosition_ = WgsPoint{*epoch.latitude, *epoch.longitude};
    if (!Armed(AlarmKind::Anchor))
        return;
    if (!anchor_)
        anchor_ = lastPosition_;
    double distance = 0;
    GeographicLib::Geodesic::WGS84().Inverse(anchor_->latitude, anchor_->longitude, lastPosition_->latitude,
                                             lastPosition_->longitude, distance);
    lastDistance_ = distance;
    if (distance > settings_.anchorRadius)
        Hold(AlarmKind::Anchor,
             Metres(distance) + " from the anchor point (limit " + Metres(settings_.anchorRadius) + ")");
    else
        Quiet(AlarmKind::Anchor, now);
}

void AlarmWatch::WatchDate(const Epoch& epoch, double now, std::optional<std::int64_t> systemUtcSeconds)
{
    if (!epoch.date || !epoch.timeMs || !systemUtcSeconds)
        return;
    lastDate_ = epoch.date;
    if (!Armed(AlarmKind::Date))
        return;
    const double receiver =
        static_cast<double>(DaysFromCivil(epoch.date->year, epoch.date->month, epoch.date->day)) * kSecondsPerDay
        + *epoch.timeMs / 1000.0;
    const double apart = std::fabs(receiver - static_cast<double>(*systemUtcSeconds));
    if (apart <= kDateToleranceSeconds) {
        Quiet(AlarmKind::Date, now);
        return;
    }
    const long weeks = std::lround(apart / kSecondsPerWeek);
    std::string text = "Receiver date " + IsoDate(*epoch.date) + " is "
                       + (weeks >= 1 ? Plural(weeks, "week", "weeks")
                                     : Plural(std::lround(apart / kSecondsPerDay), "day", "days"))
                       + " from the system clock's";
    const long offCycle = weeks % kWeeksPerRollover;
    if (weeks >= kWeeksPerRollover - 1 && (offCycle <= 1 || offCycle >= kWeeksPerRollover - 1))
        text += ": a week-number rollover?";
    Hold(AlarmKind::Date, std::move(text));
}

void AlarmWatch::Hold(AlarmKind kind, std::string text)
{
    State& state = state_[AlarmIndex(kind)];
    state.quietSince.reset();
    state.text = std::move(text);
    if (state.raised)
        return;
    state.raised = true;
    changes_.push_back(AlarmChange{kind, true, state.text, EpochDetails(lastEpoch_), false});
}

void AlarmWatch::Quiet(AlarmKind kind, double now)
{
    State& state = state_[AlarmIndex(kind)];
    if (state.raised && !state.quietSince)
        state.quietSince = now;
}

void AlarmWatch::Settle(double now)
{
    for (const AlarmKind kind : kAlarmKinds) {
        const State& state = state_[AlarmIndex(kind)];
        if (state.raised && state.quietSince && now - *state.quietSince >= kClearAfterSeconds)
            Clear(kind, BackText(kind), false);
    }
}

void AlarmWatch::Clear(AlarmKind kind, std::string text, bool byUser)
{
    State& state = state_[AlarmIndex(kind)];
    state.raised = false;
    state.quietSince.reset();
    changes_.push_back(AlarmChange{kind, false, std::move(text), EpochDetails(lastEpoch_), byUser});
    state.text.clear();
}

std::string AlarmWatch::BackText(AlarmKind kind) const
{
    switch (kind) {
    case AlarmKind::NoData: return "Data back";
    case AlarmKind::FixLost:
    case AlarmKind::FixDegraded:
        if (quality_)
            return "Fix back: " + FixQualityName(*quality_);
        return mode_ ? "Fix back: " + ModeName(*mode_) : "Fix back";
    case AlarmKind::Hdop: return lastHdop_ ? "HDOP back: " + ShortNumber(*lastHdop_) : "HDOP back";
    case AlarmKind::Satellites:
        return lastSatellites_ ? "Satellites back: " + std::to_string(*lastSatellites_) + " used" : "Satellites back";
    case AlarmKind::Anchor: return "Anchor back: " + Metres(lastDistance_) + " from the anchor point";
    case AlarmKind::Date: return lastDate_ ? "Receiver date back: " + IsoDate(*lastDate_) : "Receiver date back";
    }
    return {};
}

std::vector<AlarmChange> AlarmWatch::TakeChanges()
{
    std::vector<AlarmChange> taken;
    taken.swap(changes_);
    return taken;
}

} // namespace fixwatch
