// Throughput of the all-systems path: the sky model and the all-talkers interpreter on the
// output of a 10 Hz four-system receiver, and the sky on a real multi-signal capture when the
// captures are at hand.
#include "capture_input.h"
#include "checksum.h"
#include "nmea_interpreter.h"
#include "sky.h"
#include "synthetic_gnss_receiver.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// Ten minutes of the synthetic receiver, lines without CR LF: long enough for satellites to
// set and rise again.
const std::vector<std::string>& SyntheticLines()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> all;
        fixwatch::SyntheticGnssReceiver receiver;
        for (int tick = 0; tick < 600 * fixwatch::SyntheticGnssReceiver::kTicksPerSecond; ++tick) {
            for (std::string& sentence : receiver.NextTick()) {
                sentence.resize(sentence.size() - 2);
                all.push_back(std::move(sentence));
            }
        }
        return all;
    }();
    return lines;
}

// The same stream with every sentence relabelled "GP" and sealed again: what the default
// reading costs when it has as much to read as the all-systems reading has.
const std::vector<std::string>& RelabelledLines()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> all;
        for (std::string line : SyntheticLines()) {
            const auto star = line.rfind('*');
            if (line.size() > 3 && line[0] == '$' && star != std::string::npos) {
                line.replace(1, 2, "GP");
                line.replace(star + 1, std::string::npos, fixwatch::NmeaChecksum(line.substr(0, star)));
            }
            all.push_back(std::move(line));
        }
        return all;
    }();
    return lines;
}

void Count(benchmark::State& state, std::size_t linesPerIteration)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * linesPerIteration));
    state.counters["sentences/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * linesPerIteration), benchmark::Counter::kIsRate);
}

void FeedSky(benchmark::State& state, const std::vector<std::string>& lines)
{
    fixwatch::Sky sky;
    std::size_t changes = 0;
    for (auto _ : state) {
        for (const std::string& line : lines)
            changes += sky.Feed(line) ? 1 : 0;
    }
    benchmark::DoNotOptimize(changes);
    Count(state, lines.size());
}

void BM_SkySyntheticFourSystems(benchmark::State& state) { FeedSky(state, SyntheticLines()); }

// The u-blox F9P capture: four systems, two signals each, with other sentences between.
void BM_SkyUbloxF9pCapture(benchmark::State& state)
{
    static const fixwatch::bench::CaptureInput capture = fixwatch::bench::ReadCapture("ublox-zed-f9p-nmea.nmea");
    if (!capture.missing.empty()) {
        state.SkipWithError(capture.missing.c_str());
        return;
    }
    FeedSky(state, capture.lines);
}

void ParseAll(benchmark::State& state, fixwatch::Talkers talkers,
              const std::vector<std::string>& lines = SyntheticLines())
{
    const fixwatch::NmeaInterpreter gps(talkers);
    for (auto _ : state) {
        for (const std::string& line : lines)
            benchmark::DoNotOptimize(gps.Parse(line));
    }
    Count(state, lines.size());
}

// The same four-system stream read by the default interpreter (GP GSV only) and with every talker.
void BM_ParseSyntheticGpsOnly(benchmark::State& state) { ParseAll(state, fixwatch::Talkers::GpsOnly); }
void BM_ParseSyntheticAllSystems(benchmark::State& state) { ParseAll(state, fixwatch::Talkers::AllSystems); }
// The default interpreter on the relabelled stream: as many sentences read as AllSystems reads,
// so the two differ only by what reading every talker costs per sentence.
void BM_ParseSyntheticGpsRelabelled(benchmark::State& state)
{
    ParseAll(state, fixwatch::Talkers::GpsOnly, RelabelledLines());
}

} // namespace

BENCHMARK(BM_SkySyntheticFourSystems);
BENCHMARK(BM_SkyUbloxF9pCapture);
BENCHMARK(BM_ParseSyntheticGpsOnly);
BENCHMARK(BM_ParseSyntheticAllSystems);
BENCHMARK(BM_ParseSyntheticGpsRelabelled);
BENCHMARK_MAIN();
