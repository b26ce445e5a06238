#pragma once

#include "receiver_source.h"
#include "replay_control.h"

#include <QFile>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fixwatch {

// Where a recording's lines fall in time. Lines with a time (GGA, RMC, GLL, ZDA) start a new
// epoch whenever the time changes; a day is added when the time goes back by more than half
// a day (midnight). A recording without times advances one second per epoch, an epoch
// ending where its first sentence identifier comes again.
struct RecordingClock {
    // The characters of an untimed recording's identifier that count: within a short
    // string's own storage.
    static constexpr std::size_t kMaxIdentifier = 15;
    bool timed = true;
    bool started = false;      // a time (or the first untimed line) has been seen
    std::int64_t firstTod = 0; // time of day of the first epoch, ms
    std::int64_t lastTod = 0;
    std::int64_t dayBase = 0;
    std::int64_t at = 0;         // recording time of the current epoch, ms
    std::string firstIdentifier; // untimed: the identifier that opens each epoch, cut short

    // The recording time of `line`; true in `newEpoch` when the line opens an epoch.
    std::int64_t Place(std::string_view line, bool& newEpoch);
};

// The time of day in ms of a GGA, RMC, GLL or ZDA line, or -1.
std::int64_t SentenceTimeOfDay(std::string_view line);

// The date of an RMC or ZDA line as days since 1970-01-01, or -1. RMC's two-digit years
// from 80 are the 1900s, the rest the 2000s.
std::int64_t SentenceDay(std::string_view line);

// The lines of a recording in order, read from the file kChunk bytes at a time; a line longer
// than kMaxLine is handed out in pieces of kMaxLine, and the last line may lack its end.
class RecordingReader {
public:
    static constexpr std::size_t kChunk = 65536;
    static constexpr std::size_t kMaxLine = 4096;

    // False with the file's own error text in `error`.
    bool Open(const QString& path, QString& error);
    void Close();
    bool IsOpen() const { return file_.isOpen(); }
    void Seek(std::int64_t offset);
    // The next line into `line`; false at the end, and when the file could not be read on.
    bool Next(std::string& line);
    // Where the next line starts in the file.
    std::int64_t Offset() const { return offset_; }
    // Why the file could not be read to its end (the system's words); empty while it could.
    const QString& Error() const { return error_; }

private:
    QFile file_;
    QString error_;
    std::string chunk_;
    std::size_t at_ = 0;
    std::int64_t offset_ = 0;
    bool eof_ = false;
};

// A recorded capture played back as a receiver: read in bounded chunks and handed out at the
// pace of the sentences' own times, at 1, 2, 5 or 10 times real time or as fast as possible.
// An index of epoch times (at most kMaxIndex entries, thinned evenly when longer) serves
// seeking and the length of the recording. It is built a piece at a time beside the replay,
// kIndexPerOpen bytes at Open and kIndexPerRead at each Read, so that a recording of any size
// opens at once; until it is complete, the length is that of the part indexed so far.
class FileSource : public ReceiverSource, public ReplayControl {
    Q_OBJECT

public:
    // Milliseconds from any fixed moment; tests pass their own.
    using Clock = std::function<std::int64_t()>;
    static constexpr std::size_t kChunk = RecordingReader::kChunk;
    static constexpr std::size_t kMaxIndex = 65536;
    static constexpr std::size_t kMaxLine = RecordingReader::kMaxLine;
    // Bytes indexed when the recording is opened, and at each Read after that: a second's
    // indexing costs some tens of milliseconds, and a gigabyte is indexed within a minute.
    static constexpr std::int64_t kIndexPerOpen = 4 << 20;
    static constexpr std::int64_t kIndexPerRead = 16 << 20;
    // The most one Read hands out as fast as possible: the window reads once a second, and a
    // recording it is asked to play at once would otherwise crawl at kMaxReadLength a second.
    // At the other speeds a second of a recording is far below kMaxReadLength.
    static constexpr std::size_t kFastReadLength = 16 * kMaxReadLength;

    explicit FileSource(QString path, Clock clock = {}, QObject* parent = nullptr);

    bool Open() override;
    // A recording that ended stays ended until a seek or the next Open.
    bool Reconnect() override { return IsOpen() && !atEnd_; }
    std::string Read() override;
    void Close() override;
    bool IsOpen() const override { return lines_.IsOpen(); }
    QString Reason() const override { return reason_; }
    QString Name() const override { return path_; }
    QString Description() const override;

    void Pause() override;
    void Resume() override;
    bool IsPaused() const override { return paused_; }
    void SetSpeed(int speed) override;
    int Speed() const override { return speed_; }
    void Seek(std::int64_t ms) override;
    std::int64_t Position() const override { return position_; }
    std::int64_t Duration() const override { return duration_; }
    // True once the whole recording is indexed and Duration() is its full length.
    bool Indexed() const { return indexed_; }
    bool AtEnd() const override { return atEnd_; }
    QString Failure() const override { return failure_; }
    QString PositionText() const override;
    std::uint64_t GapsSkipped() const override { return gapsSkipped_; }
    std::int64_t LastGapMs() const override { return lastGapMs_; }

private:
    struct IndexEntry {
        std::int64_t offset;  // where the epoch's first line starts
        std::int64_t at;      // its recording time
        RecordingClock clock; // the clock before that line
    };
    // Whether the recording has times, from its first kIndexPerOpen bytes; false when they
    // hold no text at all.
    bool ProbeTimes();
    // Whether the first kIndexPerOpen bytes hold anything that looks like a sentence.
    bool ProbeSentence();
    // Indexes up to `bytes` more of the recording.
    void IndexSome(std::int64_t bytes);
    void Restart(const IndexEntry& entry);
    void Advance();
    QString TimeText(std::int64_t ms) const;

    QString path_;
    Clock clock_;
    QString reason_;
    std::vector<IndexEntry> index_;
    std::int64_t indexStep_ = 1000; // ms of recording between index entries
    std::int64_t duration_ = 0;
    bool timed_ = true;
    std::int64_t firstTod_ = 0;
    std::int64_t firstDay_ = -1; // the date of the first epoch once a line tells it

    // The index's own reading of the file, ahead of the replay's.
    RecordingReader indexLines_;
    RecordingClock indexClock_;
    bool indexed_ = false;

    RecordingReader lines_; // the replay's reading
    RecordingClock recording_;
    std::string pending_; // the next line, read but not yet due
    std::int64_t pendingAt_ = 0;
    bool havePending_ = false;

    std::int64_t position_ = 0; // recording time reached, ms
    std::int64_t handedAt_ = 0; // recording time of the last line handed out
    std::uint64_t gapsSkipped_ = 0;
    std::int64_t lastGapMs_ = 0;
    std::int64_t lastClock_ = 0;
    int speed_ = 1;
    bool paused_ = false;
    bool atEnd_ = false;
    QString failure_;       // the recording could not be read to its end
    bool showSeek_ = false; // paused, the next Read still hands out the epoch sought
};

} // namespace fixwatch
