#pragma once

#include <QString>

#include <cstdint>

namespace fixwatch {

// What the window may do with a source that plays a recording: pause, change the speed and
// move through it by time. Times are milliseconds of the recording from its first epoch.
class ReplayControl {
public:
    // 0 plays as fast as the window takes the text.
    static constexpr int kFastest = 0;

    virtual ~ReplayControl() = default;

    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual bool IsPaused() const = 0;
    // 1, 2, 5 or 10 times real time, or kFastest.
    virtual void SetSpeed(int speed) = 0;
    virtual int Speed() const = 0;
    // Moves to the last epoch at or before `ms`; the next Read hands out text from there, the
    // epoch at `ms` also while paused, so that a paused replay shows where it was moved to.
    virtual void Seek(std::int64_t ms) = 0;
    virtual std::int64_t Position() const = 0;
    virtual std::int64_t Duration() const = 0;
    // True once everything has been handed out, or nothing more can be read.
    virtual bool AtEnd() const = 0;
    // Why the replay ended before the end of the recording, in the user's words; empty when
    // it played to its end.
    virtual QString Failure() const { return {}; }
    // Gaps in the recording longer than kMaxGapMs are jumped over, not waited through: how
    // many were, and how long the last one was.
    static constexpr std::int64_t kMaxGapMs = 5000;
    virtual std::uint64_t GapsSkipped() const { return 0; }
    virtual std::int64_t LastGapMs() const { return 0; }
    // Where the replay stands: the time into the recording and its length, "+" while the
    // length still grows, and for a recording with times its UTC date (once a line tells it)
    // and time of day: "00:40:08 of 02:13:00 · 2024-03-23 12:35:19 UTC".
    virtual QString PositionText() const = 0;
};

} // namespace fixwatch
