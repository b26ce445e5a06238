#include "file_source.h"

#include "acquisition_log.h"
#include "sentence_view.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>

namespace fixwatch {

namespace {

constexpr std::int64_t kDay = 86'400'000;

std::int64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool Digits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "hhmmss" or "hhmmss.s..." as ms of the day, or -1.
std::int64_t ParseTimeField(std::string_view field)
{
    if (field.size() < 6 || !Digits(field.substr(0, 6)))
        return -1;
    const auto two = [&](std::size_t at) { return (field[at] - '0') * 10 + (field[at + 1] - '0'); };
    const int h = two(0), m = two(2), s = two(4);
    if (h > 23 || m > 59 || s > 60)
        return -1;
    std::int64_t ms = 0;
    if (field.size() > 6) {
        if (field[6] != '.' || (field.size() > 7 && !Digits(field.substr(7))))
            return -1;
        const std::string_view fraction = field.substr(7, 3);
        std::int64_t scale = 100;
        for (const char c : fraction) {
            ms += (c - '0') * scale;
            scale /= 10;
        }
    }
    return ((h * 60 + m) * 60 + s) * 1000LL + ms;
}

// A field of exactly `width` digits as a number, or -1.
int Number(std::string_view field, std::size_t width)
{
    if (field.size() != width || !Digits(field))
        return -1;
    int n = 0;
    for (const char c : field)
        n = n * 10 + (c - '0');
    return n;
}

std::int64_t DaysFrom(int y, int m, int d)
{
    if (y < 0 || m < 1 || d < 1)
        return -1;
    const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(static_cast<unsigned>(m)),
                                           std::chrono::day(static_cast<unsigned>(d))};
    if (!date.ok())
        return -1;
    return std::chrono::sys_days(date).time_since_epoch().count();
}

std::string_view WithoutLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    return line;
}

} // namespace

std::int64_t SentenceTimeOfDay(std::string_view line)
{
    const SentenceView view(WithoutLineEnd(line));
    if (!view.Sealed())
        return -1;
    const std::string_view type = view.Type();
    std::size_t field = 0;
    if (type == "GGA" || type == "RMC" || type == "ZDA")
        field = 1;
    else if (type == "GLL")
        field = 5;
    else
        return -1;
    return ParseTimeField(view.FieldOrEmpty(field));
}

std::int64_t SentenceDay(std::string_view line)
{
    const SentenceView view(WithoutLineEnd(line));
    if (!view.Sealed())
        return -1;
    const std::string_view type = view.Type();
    if (type == "RMC") {
        const std::string_view date = view.FieldOrEmpty(9);
        if (date.size() != 6)
            return -1;
        const int yy = Number(date.substr(4), 2);
        if (yy < 0)
            return -1;
        return DaysFrom(yy >= 80 ? 1900 + yy : 2000 + yy, Number(date.substr(2, 2), 2), Number(date.substr(0, 2), 2));
    }
    if (type == "ZDA")
        return DaysFrom(Number(view.FieldOrEmpty(4), 4), Number(view.FieldOrEmpty(3), 2), Number(view.FieldOrEmpty(2), 2));
    return -1;
}

std::int64_t RecordingClock::Place(std::string_view line, bool& newEpoch)
{
    newEpoch = false;
    if (timed) {
        const std::int64_t tod = SentenceTimeOfDay(line);
        if (tod < 0)
            return at;
        if (!started) {
            started = true;
            firstTod = lastTod = tod;
            newEpoch = true;
            return at = 0;
        }
        if (tod == lastTod)
            return at;
        if (tod < lastTod - kDay / 2)
            dayBase += kDay; // past midnight
        else if (tod < lastTod)
            return at; // a time out of order stays in the current epoch
        lastTod = tod;
        newEpoch = true;
        return at = dayBase + tod - firstTod;
    }
    const std::string_view text = WithoutLineEnd(line);
    // Only the identifier's first characters count, so that a clock (and each index entry
    // that keeps one) stays small whatever the lines look like.
    const std::string_view identifier =
        text.substr(0, std::min({text.find(','), text.size(), kMaxIdentifier}));
    if (identifier.empty())
        return at;
    if (!started) {
        started = true;
        firstIdentifier.assign(identifier);
        newEpoch = true;
        return at = 0;
    }
    if (identifier == firstIdentifier) {
        at += 1000;
        newEpoch = true;
    }
    return at;
}

bool RecordingReader::Open(const QString& path, QString& error)
{
    Close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        error = file_.errorString();
        return false;
    }
    Seek(0);
    return true;
}

void RecordingReader::Close()
{
    file_.close();
    chunk_.clear();
    chunk_.shrink_to_fit();
}

void RecordingReader::Seek(std::int64_t offset)
{
    file_.seek(offset);
    chunk_.clear();
    at_ = 0;
    offset_ = offset;
    eof_ = false;
    error_.clear();
}

bool RecordingReader::Next(std::string& line)
{
    while (true) {
        const std::size_t end = chunk_.find('\n', at_);
        const std::size_t limit = std::min(chunk_.size(), at_ + kMaxLine);
        if (end != std::string::npos && end < limit + 1) {
            line.assign(chunk_, at_, end - at_);
            offset_ += static_cast<std::int64_t>(end + 1 - at_);
            at_ = end + 1;
            return true;
        }
        if (chunk_.size() - at_ >= kMaxLine || (eof_ && at_ < chunk_.size())) {
            // An overlong line is cut, and the last line may lack its end.
            const std::size_t take = std::min(chunk_.size() - at_, kMaxLine);
            line.assign(chunk_, at_, take);
            offset_ += static_cast<std::int64_t>(take);
            at_ += take;
            return true;
        }
        if (eof_)
            return false;
        chunk_.erase(0, at_);
        at_ = 0;
        const std::size_t had = chunk_.size();
        chunk_.resize(had + kChunk);
        const qint64 got = file_.read(chunk_.data() + had, static_cast<qint64>(kChunk));
        chunk_.resize(had + static_cast<std::size_t>(std::max<qint64>(got, 0)));
        if (got < 0) {
            error_ = file_.errorString();
            qCDebug(lcReplay).noquote() << QStringLiteral("reading %1 failed at byte %2 of %3: %4")
                                               .arg(file_.fileName())
                                               .arg(file_.pos())
                                               .arg(file_.size())
                                               .arg(error_);
        }
        if (got <= 0)
            eof_ = true;
    }
}

FileSource::FileSource(QString path, Clock clock, QObject* parent)
    : ReceiverSource(parent), path_(std::move(path)), clock_(clock ? std::move(clock) : Clock(SteadyMilliseconds))
{
}

bool FileSource::Open()
{
    Close();
    const QFileInfo info(path_);
    const auto refuse = [this](const QString& reason) {
        reason_ = reason;
        qCDebug(lcReplay).noquote() << QStringLiteral("cannot replay %1: %2").arg(path_, reason_);
        return false;
    };
    if (!info.exists())
        return refuse(tr("The recording %1 does not exist.").arg(path_));
    if (info.isDir())
        return refuse(tr("%1 is a folder, not a recording.").arg(path_));
    if (!info.isReadable())
        return refuse(tr("The recording %1 cannot be read: permission denied.").arg(path_));
    if (!info.isFile()) {
        // A pipe or a device never ends, and opening a pipe waits for its writer.
        return refuse(
            tr("%1 is a pipe or a device, not a recording on disk: it never ends and cannot be replayed.").arg(path_));
    }
    if (info.size() == 0)
        return refuse(tr("The recording %1 is empty.").arg(path_));
    qCDebug(lcReplay).noquote() << "opening" << path_ << "of" << info.size() << "bytes";
    QString error;
    if (!lines_.Open(path_, error) || !indexLines_.Open(path_, error)) {
        Close();
        return refuse(tr("The recording %1 cannot be read: %2.").arg(path_, error));
    }
    if (!ProbeTimes()) {
        Close();
        return refuse(tr("The recording %1 holds no text.").arg(path_));
    }
    if (!ProbeSentence()) {
        // A data logger's position file, say: it would only play to its end in silence.
        Close();
        return refuse(tr("No NMEA sentence in %1.").arg(path_));
    }
    if (timed_)
        qCDebug(lcReplay).noquote() << "timed by its GGA, RMC, GLL or ZDA sentences, from" << TimeText(0) << "UTC";
    else
        qCDebug(lcReplay).noquote() << "no sentence with a time: one second per epoch";
    index_.clear();
    indexStep_ = 1000;
    indexClock_ = RecordingClock{};
    indexClock_.timed = timed_;
    indexed_ = false;
    firstDay_ = -1;
    indexLines_.Seek(0);
    IndexSome(kIndexPerOpen);
    reason_.clear();
    Restart(index_.empty() ? IndexEntry{0, 0, indexClock_} : index_.front());
    position_ = 0;
    paused_ = false;
    lastClock_ = clock_();
    return true;
}

bool FileSource::ProbeSentence()
{
    indexLines_.Seek(0);
    std::string line;
    std::size_t lines = 0;
    while (indexLines_.Offset() < kIndexPerOpen && indexLines_.Next(line)) {
        ++lines;
        const std::string_view text = WithoutLineEnd(line);
        const std::size_t start = text.find_first_of("$!");
        if (start != std::string_view::npos && text.size() - start >= 7
            && std::all_of(text.begin() + static_cast<std::ptrdiff_t>(start) + 1,
                           text.begin() + static_cast<std::ptrdiff_t>(start) + 6,
                           [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }))
            return true;
    }
    qCDebug(lcReplay).noquote() << "none of the" << lines << "lines in the first" << indexLines_.Offset()
                                << "bytes starts a sentence: '$' or '!' then five letters or digits";
    return false;
}

bool FileSource::ProbeTimes()
{
    for (const bool timed : {true, false}) {
        RecordingClock probe;
        probe.timed = timed;
        indexLines_.Seek(0);
        std::string line;
        while (!probe.started && indexLines_.Offset() < kIndexPerOpen && indexLines_.Next(line)) {
            bool newEpoch = false;
            probe.Place(line, newEpoch);
        }
        if (probe.started) {
            timed_ = timed;
            firstTod_ = probe.firstTod;
            return true;
        }
    }
    return false;
}

void FileSource::IndexSome(std::int64_t bytes)
{
    if (indexed_)
        return;
    const std::int64_t until = indexLines_.Offset() + bytes;
    std::string line;
    while (indexLines_.Offset() < until) {
        const std::int64_t offset = indexLines_.Offset();
        if (!indexLines_.Next(line)) {
            indexed_ = true;
            indexLines_.Close();
            qCDebug(lcReplay).noquote() << "indexed" << offset << "bytes:" << indexClock_.at << "ms in"
                                        << index_.size() << "entries, one every" << indexStep_ << "ms";
            break;
        }
        const RecordingClock before = indexClock_;
        bool newEpoch = false;
        const std::int64_t at = indexClock_.Place(line, newEpoch);
        if (timed_ && firstDay_ < 0) {
            // The date of the first epoch, from the first line that carries one and the days
            // the clock has counted since.
            const std::int64_t day = SentenceDay(line);
            if (day >= 0)
                firstDay_ = day - indexClock_.dayBase / kDay;
        }
        if (!newEpoch || (!index_.empty() && at < index_.back().at + indexStep_))
            continue;
        if (index_.size() == kMaxIndex) {
            // Thin evenly: keep every other entry and space the next ones twice as far.
            std::size_t kept = 0;
            for (std::size_t k = 0; k < index_.size(); k += 2)
                index_[kept++] = index_[k];
            index_.resize(kept);
            indexStep_ *= 2;
        }
        // The first epoch is played from the file's start, so that the lines before its first
        // time (a receiver's banner, the satellites it sent first) are not lost.
        index_.push_back(IndexEntry{index_.empty() ? 0 : offset, at, before});
    }
    duration_ = indexClock_.at;
}

void FileSource::Restart(const IndexEntry& entry)
{
    lines_.Seek(entry.offset);
    recording_ = entry.clock;
    handedAt_ = entry.at;
    havePending_ = false;
    atEnd_ = false;
    failure_.clear();
}

void FileSource::Advance()
{
    const std::int64_t now = clock_();
    if (!paused_ && speed_ != kFastest)
        position_ = std::min(duration_, position_ + (now - lastClock_) * speed_);
    lastClock_ = now;
}

std::string FileSource::Read()
{
    if (!IsOpen() || atEnd_)
        return {};
    IndexSome(kIndexPerRead);
    Advance();
    std::string out;
    const bool seekShown = paused_ && showSeek_;
    showSeek_ = false;
    if (paused_ && !seekShown)
        return out;
    const std::size_t most = speed_ == kFastest && !seekShown ? kFastReadLength : kMaxReadLength;
    while (true) {
        if (!havePending_) {
            if (!lines_.Next(pending_)) {
                atEnd_ = true;
                duration_ = std::max(duration_, recording_.at);
                position_ = duration_;
                reason_ = tr("End of recording");
                if (!lines_.Error().isEmpty()) {
                    // A failing disk or a file cut away under the replay is no end of the recording.
                    failure_ = tr("Could not read the recording on: %1").arg(lines_.Error());
                    reason_ = failure_;
                }
                qCDebug(lcReplay).noquote() << "ended at" << position_ << "ms, byte" << lines_.Offset();
                emit Lost(reason_);
                break;
            }
            bool newEpoch = false;
            pendingAt_ = recording_.Place(pending_, newEpoch);
            havePending_ = true;
        }
        if (speed_ != kFastest && !seekShown && pendingAt_ > position_ && pendingAt_ - handedAt_ > kMaxGapMs) {
            // A receiver that went quiet, or a recording that was paused: nothing to wait for.
            ++gapsSkipped_;
            lastGapMs_ = pendingAt_ - handedAt_;
            position_ = pendingAt_;
            qCDebug(lcReplay).noquote() << "skipped a gap of" << lastGapMs_ << "ms, to" << position_ << "ms ("
                                        << gapsSkipped_ << "so far)";
        }
        if ((speed_ != kFastest || seekShown) && pendingAt_ > position_)
            break;
        const std::string_view text = WithoutLineEnd(pending_);
        if (out.size() + text.size() + 2 > most)
            break;
        out.append(text);
        out.append("\r\n");
        havePending_ = false;
        handedAt_ = pendingAt_;
        position_ = std::max(position_, pendingAt_);
    }
    return out;
}

void FileSource::Close()
{
    lines_.Close();
    indexLines_.Close();
    havePending_ = false;
}

QString FileSource::Description() const
{
    return tr("Replaying %1").arg(path_);
}

void FileSource::Pause()
{
    Advance();
    paused_ = true;
}

void FileSource::Resume()
{
    lastClock_ = clock_();
    paused_ = false;
}

void FileSource::SetSpeed(int speed)
{
    Advance();
    speed_ = (speed == 1 || speed == 2 || speed == 5 || speed == 10) ? speed : kFastest;
}

void FileSource::Seek(std::int64_t ms)
{
    if (!IsOpen() || index_.empty())
        return;
    ms = std::clamp<std::int64_t>(ms, 0, duration_);
    auto it = std::upper_bound(index_.begin(), index_.end(), ms,
                               [](std::int64_t t, const IndexEntry& e) { return t < e.at; });
    const IndexEntry& from = it == index_.begin() ? index_.front() : *std::prev(it);
    qCDebug(lcReplay).noquote() << QStringLiteral("seek to %1 ms: reading from %2 ms, byte %3%4")
                                       .arg(ms)
                                       .arg(from.at)
                                       .arg(from.offset)
                                       .arg(indexed_ ? QString() : QStringLiteral(" (index not complete)"));
    Restart(from);
    position_ = ms;
    lastClock_ = clock_();
    showSeek_ = paused_;
}

QString FileSource::TimeText(std::int64_t ms) const
{
    const std::int64_t base = timed_ ? firstTod_ : 0;
    std::int64_t s = ((base + ms) % kDay) / 1000;
    if (!timed_)
        s = ms / 1000; // an untimed recording counts from its start and may exceed a day
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString FileSource::PositionText() const
{
    // Time into the recording and its length, which grows while the index does; then the
    // recording's own UTC time, which alone knows midnight.
    const auto elapsed = [](std::int64_t ms) {
        const std::int64_t s = ms / 1000;
        return QStringLiteral("%1:%2:%3")
            .arg(s / 3600, 2, 10, QLatin1Char('0'))
            .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(s % 60, 2, 10, QLatin1Char('0'));
    };
    QString text = tr("%1 of %2").arg(elapsed(position_), elapsed(duration_));
    if (!indexed_)
        text += tr("+");
    if (timed_ && firstDay_ >= 0) {
        const std::chrono::year_month_day date{
            std::chrono::sys_days(std::chrono::days(firstDay_ + (firstTod_ + position_) / kDay))};
        char dateText[16];
        std::snprintf(dateText, sizeof dateText, "%04d-%02u-%02u", static_cast<int>(date.year()),
                      static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
        text += tr(" \u00B7 %1 %2 UTC").arg(QLatin1String(dateText), TimeText(position_));
    } else if (timed_) {
        text += tr(" \u00B7 %1 UTC").arg(TimeText(position_));
    }
    return text;
}

} // namespace fixwatch
