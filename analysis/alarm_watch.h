#pragma once

#include "alarm_kind.h"
#include "epochs.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fixwatch {

// One alarm raised or cleared: its text for the user ("Fix lost", "Fix back: RTK fixed") and
// the values behind it ("UTC 12:00:01 · RTK float 3D · 9 satellites used · HDOP 0.9 · ...").
struct AlarmChange {
    AlarmKind kind = AlarmKind::NoData;
    bool raised = false;
    std::string text;
    std::string details;
    // Cleared because the user disarmed it or stopped, not because the condition went away.
    bool byUser = false;
};

// Watches the receiver's epochs and the arrival of its lines for the conditions the user
// armed. An alarm is raised as soon as its condition holds and cleared once it has not held
// for kClearAfterSeconds, so that a value wavering at its limit does not flap. Time is the
// caller's: monotonic seconds of a live source, or the recording's own time in a replay.
// Every call costs the same however long the watch runs.
class AlarmWatch {
public:
    static constexpr double kClearAfterSeconds = 3;
    // A receiver's clock this far from the computer's is wrong, not just late or early.
    static constexpr double kDateToleranceSeconds = 86400;

    const AlarmSettings& Settings() const { return settings_; }
    // New limits take effect at the next epoch; a new anchor point at once.
    void SetSettings(const AlarmSettings& settings);

    // Arming the anchor without a typed point takes the last known position, or the next fix.
    // Disarming a raised alarm clears it.
    void Arm(AlarmKind kind, bool armed, double now);
    bool Armed(AlarmKind kind) const { return state_[AlarmIndex(kind)].armed; }

    // A new acquisition starts at `now` (or a replay moves): raised alarms are cleared and
    // everything learnt of the last one (the last line, the best fix, the anchor taken from a
    // fix) is forgotten.
    void Begin(double now);
    // The acquisition stops: raised alarms are cleared, with `why` as their text.
    void End(const std::string& why);
    // Received text at `now` (lines, as the no-data alarm counts them).
    void LineArrived(double now);
    // A closed epoch at `now`. `systemUtcSeconds`, the computer's UTC time in seconds since
    // 1970, is given for a live source only: a recording's dates are not compared with today.
    void EpochClosed(const Epoch& epoch, double now, std::optional<std::int64_t> systemUtcSeconds);
    // Time passes without text: the no-data alarm rises, and alarms that held no longer clear.
    void Tick(double now);

    // What was raised and cleared since the last call, in order.
    std::vector<AlarmChange> TakeChanges();

    bool Raised(AlarmKind kind) const { return state_[AlarmIndex(kind)].raised; }
    // The raised alarm's text as it stands now ("57 m from the anchor point (limit 30 m)").
    const std::string& Text(AlarmKind kind) const { return state_[AlarmIndex(kind)].text; }
    std::optional<WgsPoint> AnchorPoint() const { return anchor_; }
    // The last position with a fix, for "Use current position".
    std::optional<WgsPoint> LastPosition() const { return lastPosition_; }

private:
    struct State {
        bool armed = false;
        bool raised = false;
        std::optional<double> quietSince; // the condition has not held since
        std::string text;
    };

    void Hold(AlarmKind kind, std::string text);
    void Quiet(AlarmKind kind, double now);
    void Settle(double now);
    void Clear(AlarmKind kind, std::string text, bool byUser);
    std::string BackText(AlarmKind kind) const;

    void WatchFix(const Epoch& epoch, double now);
    void WatchDegradation(const Epoch& epoch, double now);
    void WatchFigures(const Epoch& epoch, double now);
    void WatchAnchor(const Epoch& epoch, double now);
    void WatchDate(const Epoch& epoch, double now, std::optional<std::int64_t> systemUtcSeconds);

    AlarmSettings settings_;
    std::array<State, kAlarmKinds.size()> state_{};
    std::vector<AlarmChange> changes_;

    double lastLine_ = 0;
    bool hadFix_ = false;            // a fix was seen since Begin
    bool fixLost_ = false;           // ... and then none
    std::optional<int> bestQuality_; // GGA quality of the best fix since armed or Begin
    std::optional<int> bestMode_;    // GSA mode (2D, 3D) likewise
    std::optional<int> quality_;     // the latest epoch's
    std::optional<int> mode_;
    std::optional<WgsPoint> anchor_;
    std::optional<WgsPoint> lastPosition_;
    double lastDistance_ = 0;
    std::optional<double> lastHdop_;
    std::optional<int> lastSatellites_;
    std::optional<UtcDate> lastDate_;
    Epoch lastEpoch_; // worded only for a change: most epochs change nothing
};

// "RTK fixed", "RTK float", "DGPS", "GPS", ... for a GGA fix quality.
std::string FixQualityName(int quality);
// The values of an epoch a notification adds to an alarm's text.
std::string EpochDetails(const Epoch& epoch);

} // namespace fixwatch
