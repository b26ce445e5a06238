// fixwatch-events --compare A B: receiver B measured against receiver A over two recordings
// made at the same time, matched epoch by epoch on their UTC time. Both are read in pieces
// side by side, so that two days of recordings take no more memory than two minutes.
#include "epoch_pairing.h"
#include "events_offline.h"
#include "receiver_comparison.h"
#include "receiver_epoch.h"
#include "sky.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>

namespace fixwatch::events {

namespace {

// One recording read epoch by epoch, a piece of the file at a time.
class EpochStream {
public:
    EpochStream(std::string file, Talkers talkers, std::optional<UtcDate> date)
        : file_(std::move(file)), sky_(talkers), epochs_(talkers, 1, &sky_)
    {
        epochs_.AssumeDate(date);
    }
    ~EpochStream()
    {
        if (in_)
            std::fclose(in_);
    }
    EpochStream(const EpochStream&) = delete;
    EpochStream& operator=(const EpochStream&) = delete;

    bool Open(std::string& error)
    {
        in_ = std::fopen(file_.c_str(), "rb");
        if (!in_)
            error = std::strerror(errno);
        return in_ != nullptr;
    }

    // The next epoch with a UTC time; nothing at the end of the file.
    std::optional<TimedReceiverEpoch> Next()
    {
        while (ready_.empty() && !ended_)
            ReadPiece();
        if (ready_.empty())
            return std::nullopt;
        TimedReceiverEpoch next = std::move(ready_.front());
        ready_.pop_front();
        return next;
    }

    bool Failed() const { return failed_; }

private:
    void Take()
    {
        if (auto timed = ReceiverEpochOf(epochs_.History().Newest(), sky_.Satellites()))
            ready_.push_back(std::move(*timed));
    }

    void ReadPiece()
    {
        const auto line = [this](std::string_view text) {
            sky_.Feed(text);
            if (epochs_.Feed(text))
                Take();
        };
        const std::size_t n = std::fread(buffer_.data(), 1, buffer_.size(), in_);
        if (n > 0) {
            lines_.Feed(std::string_view(buffer_.data(), n), line);
            return;
        }
        failed_ = std::ferror(in_) != 0;
        lines_.Finish(line);
        if (epochs_.Finish())
            Take();
        ended_ = true;
    }

    std::string file_;
    std::FILE* in_ = nullptr;
    std::vector<char> buffer_ = std::vector<char>(std::size_t{1} << 16);
    LineSplitter lines_;
    Sky sky_;
    EpochModel epochs_;
    std::deque<TimedReceiverEpoch> ready_; // the epochs of one piece at most
    bool ended_ = false;
    bool failed_ = false;
};

void Print(std::string& out, const char* key, const std::optional<double>& value, int decimals)
{
    // A figure that cannot be given (no shared epoch, no such band) keeps its line, empty.
    out += value ? FigureLine(key, *value, decimals) : std::string(key) + ":\n";
}

void Print(std::string& out, const std::string& key, std::size_t value)
{
    out += key + ": " + std::to_string(value) + '\n';
}

} // namespace

int RunCompare(const OfflineOptions& options)
{
    if (options.files.size() != 2) {
        std::fprintf(stderr, "fixwatch-events: --compare needs two recordings, A and B (see --help)\n");
        return 2;
    }
    EpochStream a(options.files[0], options.talkers, options.date);
    EpochStream b(options.files[1], options.talkers, options.date);
    for (auto [stream, file] : {std::pair{&a, &options.files[0]}, std::pair{&b, &options.files[1]}}) {
        std::string error;
        if (!stream->Open(error)) {
            std::fprintf(stderr, "fixwatch-events: cannot read %s: %s\n", file->c_str(), error.c_str());
            return 2;
        }
    }

    ReceiverComparison comparison;
    EpochPairing pairing([&comparison](const ReceiverEpoch* epochA, const ReceiverEpoch* epochB, std::int64_t) {
        if (epochA && epochB)
            comparison.AddShared(*epochA, *epochB);
        else if (epochA && epochA->fix)
            comparison.AddFixOnlyA();
        else if (epochB && epochB->fix)
            comparison.AddFixOnlyB();
    });
    // The earlier of the two next epochs first, so that neither waits long for the other.
    std::optional<TimedReceiverEpoch> nextA = a.Next();
    std::optional<TimedReceiverEpoch> nextB = b.Next();
    while (nextA || nextB) {
        if (nextA && (!nextB || nextA->utcMs <= nextB->utcMs)) {
            pairing.Add(EpochPairing::A, nextA->utcMs, std::move(nextA->epoch));
            nextA = a.Next();
        } else {
            pairing.Add(EpochPairing::B, nextB->utcMs, std::move(nextB->epoch));
            nextB = b.Next();
        }
    }
    pairing.Finish();
    for (auto [stream, file] : {std::pair{&a, &options.files[0]}, std::pair{&b, &options.files[1]}}) {
        if (stream->Failed()) {
            std::fprintf(stderr, "fixwatch-events: cannot read %s to its end\n", file->c_str());
            return 2;
        }
    }

    const ReceiverComparison::Result figures = comparison.Figures();
    std::string out;
    Print(out, "epochs", figures.epochs);
    Print(out, "only-a", figures.onlyA);
    Print(out, "only-b", figures.onlyB);
    Print(out, "east", figures.east, 3);
    Print(out, "north", figures.north, 3);
    Print(out, "up", figures.up, 3);
    Print(out, "horizontal-rms", figures.horizontalRms, 3);
    const auto mean = [](const ReceiverComparison::Difference& d) {
        return d.count > 0 ? std::optional<double>(d.mean) : std::nullopt;
    };
    Print(out, "cn0-difference", mean(figures.cn0), 2);
    Print(out, "signals-compared", figures.cn0.count);
    for (SignalBand band : {SignalBand::L1, SignalBand::L2, SignalBand::L5, SignalBand::E5b, SignalBand::E6}) {
        const std::string key = "cn0-difference-" + std::string(BandName(band));
        Print(out, key.c_str(), mean(figures.cn0ByBand[static_cast<std::size_t>(band)]), 2);
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

} // namespace fixwatch::events
