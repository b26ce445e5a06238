#pragma once

#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>

namespace fixwatch {

// The state of one receiver's link in the status bar's words, without a widget: "Stopped",
// why Start failed, "Receiving · 12 sentences/s · 3 bad checksums", "No data for 7 s",
// "Receiver lost (/dev/ttyUSB0): waiting for it to come back", "Receiver back (...) · ...",
// and the hints about lost text and sentences that are not shown. The window's status bar
// shows receiver A's; the Compare tab words receiver B's with the same texts.
class LinkStatus {
public:
    // A running port that has received nothing for this long is said to have no data.
    static constexpr qint64 kSilenceMs = 3000;
    // How long "Receiver back" stays after a lost source returned.
    static constexpr qint64 kBackMs = 3000;
    // How long a hint about sentences that are not shown stays after the last one.
    static constexpr qint64 kHintMs = 10000;
    // The time over which lost text is summed up.
    static constexpr qint64 kLossWindowMs = 60000;

    // `now` gives monotonic milliseconds.
    explicit LinkStatus(std::function<qint64()> now) : now_(std::move(now)) {}

    void Stopped();
    void StartFailed(const QString& reason);
    void Started();
    void SourceLost(const QString& name);
    void SourceBack(const QString& name);
    // One poll while running: whether any text arrived, how many lines arrived for the first
    // time and how many of those had a wrong checksum.
    void Polled(bool textArrived, int sentences, int badChecksums);
    // A sentence of another talker ("GN") arrived that is not shown.
    void HiddenTalkerSeen(const QString& talker);
    // Lines arrived that end in LF alone, which are read only with All GNSS.
    void LfOnlyLinesSeen();
    // The source threw away this many received bytes.
    void BytesDropped(std::uint64_t bytes);
    // All GNSS ticked or cleared: while running it takes effect at the next Start.
    void AllGnssChosen(bool checked);
    // A replay paused (true) or going on: while paused, its silence is no lost receiver.
    void Paused(bool paused);

    bool Running() const { return link_ == Link::Running || link_ == Link::Lost; }
    bool Failed() const { return link_ == Link::Failed; }

    // The state as it reads now.
    QString Text();

private:
    enum class Link {
        Stopped,
        Failed,
        Running,
        Lost,
    };

    // Each run starts and ends without the last run's hints and losses.
    void ForgetHints();
    // What was lost in the last kLossWindowMs, while the last loss is recent; empty otherwise.
    QString LossText(qint64 now);
    qint64 Now() const { return now_ ? now_() : 0; }

    std::function<qint64()> now_;
    Link link_ = Link::Stopped;
    QString failure_;
    QString sourceName_;
    int sentencesLastPoll_ = 0;
    int badChecksums_ = 0; // since Start or the source came back
    qint64 lastDataMs_ = 0;
    qint64 backUntilMs_ = -1;
    QString hiddenTalker_;
    qint64 hiddenTalkerMs_ = 0;
    qint64 lfOnlyMs_ = -1; // when lines that end in LF alone last came
    // Each loss of the last kLossWindowMs: when, and how many bytes.
    std::deque<std::pair<qint64, std::uint64_t>> losses_;
    bool allGnssAtNextStart_ = false; // ticked since this run started
    bool paused_ = false;
};

} // namespace fixwatch
