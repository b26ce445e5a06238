// Parse throughput on a realistic mix of sentences, with a receiver that drops every event
// and with one that copies every value (what a display does, minus the drawing).
#include "nmea_interpreter.h"
#include "sentence_mix.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using fixwatch::NmeaEvents;

// Copies every parameter into a member, so no event can be optimised away.
struct CopyingReceiver : NmeaEvents {
    std::string text1, text2;
    double number = 0;
    std::int16_t integer = 0;
    long count = 0;

    void Text(std::string t)
    {
        text1 = std::move(t);
        ++count;
    }
    void Number(double v)
    {
        number = v;
        ++count;
    }
    void Integer(std::int16_t v)
    {
        integer = v;
        ++count;
    }

    void PositionReceived(std::string latitude, std::string longitude) override
    {
        text1 = std::move(latitude);
        text2 = std::move(longitude);
        ++count;
    }
    void TimeChanged(std::string t) override { Text(std::move(t)); }
    void TimeChangedExtendex(std::string t) override { Text(std::move(t)); }
    void DateChanged(std::string t) override { Text(std::move(t)); }
    void BearingReceived(double v) override { Number(v); }
    void SpeedReceived(double v) override { Number(v); }
    void FixObtained() override { ++count; }
    void FixLost() override { ++count; }
    void SatelliteReceived(std::int16_t a, std::int16_t b, std::int16_t c, std::int16_t d, std::int16_t e) override
    {
        integer = static_cast<std::int16_t>(a + b + c + d + e);
        ++count;
    }
    void HDOPReceived(double v) override { Number(v); }
    void VDOPReceived(double v) override { Number(v); }
    void PDOPReceived(double v) override { Number(v); }
    void PositionFixReceived(std::string t) override { Text(std::move(t)); }
    void SatellitesUsedReceived(std::int16_t v) override { Integer(v); }
    void AltitudeReceived(double v) override { Number(v); }
    void AltitudeUnitsReceived(std::string t) override { Text(std::move(t)); }
    void GeoidSeparationReceived(double v) override { Number(v); }
    void GeoidSeparationUnitsReceived(std::string t) override { Text(std::move(t)); }
    void DGPSageReceived(std::int16_t v) override { Integer(v); }
    void DGPSstationIDReceived(std::string t) override { Text(std::move(t)); }
    void AutoManModeReceived(std::string t) override { Text(std::move(t)); }
    void Mode3DReceived(std::string t) override { Text(std::move(t)); }
    void Ch01SatReceived(std::int16_t v) override { Integer(v); }
    void Ch02SatReceived(std::int16_t v) override { Integer(v); }
    void Ch03SatReceived(std::int16_t v) override { Integer(v); }
    void Ch04SatReceived(std::int16_t v) override { Integer(v); }
    void Ch05SatReceived(std::int16_t v) override { Integer(v); }
    void Ch06SatReceived(std::int16_t v) override { Integer(v); }
    void Ch07SatReceived(std::int16_t v) override { Integer(v); }
    void Ch08SatReceived(std::int16_t v) override { Integer(v); }
    void Ch09SatReceived(std::int16_t v) override { Integer(v); }
    void Ch10SatReceived(std::int16_t v) override { Integer(v); }
    void Ch11SatReceived(std::int16_t v) override { Integer(v); }
    void Ch12SatReceived(std::int16_t v) override { Integer(v); }
    void SatellitesInViewReceived(std::int16_t v) override { Integer(v); }
    void TrueTrack(std::string t) override { Text(std::move(t)); }
    void MagneticTrack(std::string t) override { Text(std::move(t)); }
    void SpeedReceivedKnots(double v) override { Number(v); }
    void SpeedReceivedKmh(double v) override { Number(v); }
    void SpeedReceivedKnotsFull(std::string t) override { Text(std::move(t)); }
    void SpeedReceivedKmhFull(std::string t) override { Text(std::move(t)); }
};

// 100 seconds of receiver output, so the timed loop walks through varied sentences.
const std::vector<std::string>& Corpus()
{
    static const std::vector<std::string> corpus = [] {
        std::vector<std::string> all;
        for (int second = 0; second < 100; ++second) {
            for (auto& sentence : fixwatch::bench::OneSecondMix(43200 + second))
                all.push_back(std::move(sentence));
        }
        return all;
    }();
    return corpus;
}

void RunParse(benchmark::State& state, NmeaEvents& receiver)
{
    const fixwatch::NmeaInterpreter gps(receiver);
    const auto& corpus = Corpus();
    std::size_t bytes = 0;
    for (const auto& s : corpus)
        bytes += s.size() + 2; // each sentence arrives with CR LF
    for (auto _ : state) {
        for (const auto& sentence : corpus)
            benchmark::DoNotOptimize(gps.Parse(sentence));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * corpus.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["sentences/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * corpus.size()), benchmark::Counter::kIsRate);
}

void BM_ParseIgnoringReceiver(benchmark::State& state)
{
    NmeaEvents ignoring;
    RunParse(state, ignoring);
}

void BM_ParseCopyingReceiver(benchmark::State& state)
{
    CopyingReceiver copying;
    RunParse(state, copying);
    benchmark::DoNotOptimize(copying.count);
}

void BM_GetChecksum(benchmark::State& state)
{
    const fixwatch::NmeaInterpreter gps;
    const auto& corpus = Corpus();
    for (auto _ : state) {
        for (const auto& sentence : corpus)
            benchmark::DoNotOptimize(gps.GetChecksum(sentence));
    }
    state.counters["sentences/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * corpus.size()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_ParseIgnoringReceiver);
BENCHMARK(BM_ParseCopyingReceiver);
BENCHMARK(BM_GetChecksum);
BENCHMARK_MAIN();
