// Two recordings made at the same time, replayed side by side: A is the window's replay, B a
// file on the Compare tab's port. Each is paced by its own times; B is kept at the UTC moment
// of A's position, waits while A is before B's first epoch, and follows A's pause, speed and
// seeks.
#include "main_form.h"

#include "comparison_feed.h"
#include "file_source.h"
#include "replay_bar.h"

namespace fixwatch {
namespace {

constexpr std::int64_t kDayMs = 86'400'000;

// The UTC moment of a recording's first epoch: its time of day, and its date when a line of
// the recording's beginning tells it.
struct RecordingStart {
    std::int64_t timeOfDayMs = 0;
    std::int64_t day = -1; // days since 1970-01-01; -1 when unknown
};

std::optional<RecordingStart> StartOf(const QString& path)
{
    RecordingReader reader;
    QString error;
    if (!reader.Open(path, error))
        return std::nullopt;
    std::optional<RecordingStart> start;
    std::string line;
    // As far as the replay itself looks for its first times.
    while (reader.Offset() < FileSource::kIndexPerOpen && reader.Next(line)) {
        const std::int64_t timeOfDay = SentenceTimeOfDay(line);
        if (!start && timeOfDay >= 0)
            start = RecordingStart{timeOfDay, -1};
        const std::int64_t day = SentenceDay(line);
        if (start && day >= 0) {
            // A date told after midnight belongs to the day after the first epoch's.
            start->day = day - (timeOfDay >= 0 && timeOfDay < start->timeOfDayMs ? 1 : 0);
            break;
        }
    }
    return start;
}

// How much later in its own recording B is at the UTC moment of A's position 0.
std::optional<std::int64_t> ReplayOffset(const QString& a, const QString& b)
{
    const auto startA = StartOf(a);
    const auto startB = StartOf(b);
    if (!startA || !startB)
        return std::nullopt;
    if (startA->day >= 0 && startB->day >= 0)
        return (startA->day - startB->day) * kDayMs + startA->timeOfDayMs - startB->timeOfDayMs;
    // Without both dates, the nearest times of day are the same moment.
    std::int64_t offset = (startA->timeOfDayMs - startB->timeOfDayMs) % kDayMs;
    if (offset >= kDayMs / 2)
        offset -= kDayMs;
    else if (offset < -kDayMs / 2)
        offset += kDayMs;
    return offset;
}

} // namespace

void MainForm::CompareReplayBegin()
{
    compareReplayOffset_.reset();
    compareReplayWaiting_ = false;
    const ReplayControl* a = MSComm.Replay();
    if (a == nullptr || compareSession_->Comm().Replay() == nullptr)
        return;
    compareReplayOffset_ = ReplayOffset(MSComm.SourceName(), compareSession_->Comm().SourceName());
    if (compareReplayOffset_)
        CompareReplaySeek(a->Position());
}

void MainForm::CompareReplaySeek(std::int64_t ms)
{
    ReplayControl* b = compareSession_->Comm().Replay();
    if (!compareRunning_ || !compareReplayOffset_ || b == nullptr)
        return;
    const std::int64_t target = ms + *compareReplayOffset_;
    // B's recording has not begun at A's moment: it waits at its start until A gets there.
    compareReplayWaiting_ = target < 0;
    b->Seek(std::max<std::int64_t>(0, target));
    compareSession_->Begin(Talkers::AllSystems);
    comparisonFeed_->Clear();
    CompareReplayFollow();
}

void MainForm::CompareReplayFollow()
{
    ReplayControl* b = compareSession_->Comm().Replay();
    const ReplayControl* a = MSComm.Replay();
    if (!compareRunning_ || !compareReplayOffset_ || a == nullptr || b == nullptr)
        return;
    if (compareReplayWaiting_ && a->Position() + *compareReplayOffset_ >= 0) {
        compareReplayWaiting_ = false;
        b->Seek(a->Position() + *compareReplayOffset_);
    }
    if (b->Speed() != a->Speed())
        b->SetSpeed(a->Speed());
    const bool pause = compareReplayWaiting_ || a->IsPaused();
    if (pause && !b->IsPaused())
        b->Pause();
    else if (!pause && b->IsPaused())
        b->Resume();
    compareLink_->Paused(pause);
}

} // namespace fixwatch
