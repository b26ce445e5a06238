// Cost of the epoch model beside the interpreter on the same text: the 200,000-sentence
// corpus of the parse benchmark (GP only, 1 Hz) and ten minutes of a four-system 10 Hz
// receiver (every talker). Prints sentences/s and epochs/s.
#include "epochs.h"
#include "nmea_interpreter.h"
#include "sentence_mix.h"
#include "synthetic_gnss_receiver.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <string>
#include <vector>

namespace {

using fixwatch::Talkers;

const std::vector<std::string>& Corpus()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> all;
        for (int second = 0; all.size() < 200'000; ++second)
            for (const std::string& sentence : fixwatch::bench::OneSecondMix(second))
                if (all.size() < 200'000)
                    all.push_back(sentence);
        return all;
    }();
    return lines;
}

const std::vector<std::string>& FourSystems()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> all;
        fixwatch::SyntheticGnssReceiver receiver;
        for (int tick = 0; tick < 600 * fixwatch::SyntheticGnssReceiver::kTicksPerSecond; ++tick)
            for (std::string& sentence : receiver.NextTick()) {
                sentence.resize(sentence.size() - 2);
                all.push_back(std::move(sentence));
            }
        return all;
    }();
    return lines;
}

void Rates(benchmark::State& state, std::size_t sentences, std::uint64_t epochs)
{
    const auto runs = static_cast<double>(state.iterations());
    state.counters["sentences/s"] =
        benchmark::Counter(runs * static_cast<double>(sentences), benchmark::Counter::kIsRate);
    if (epochs)
        state.counters["epochs/s"] = benchmark::Counter(runs * static_cast<double>(epochs), benchmark::Counter::kIsRate);
}

void Epochs(benchmark::State& state, const std::vector<std::string>& lines, Talkers talkers)
{
    std::uint64_t epochs = 0;
    for (auto _ : state) {
        fixwatch::EpochModel model(talkers, 4096);
        for (const std::string& line : lines)
            model.Feed(line);
        model.Finish();
        epochs = model.ClosedCount();
        benchmark::DoNotOptimize(model.History().Newest());
    }
    Rates(state, lines.size(), epochs);
}

// As in the window: the sky is fed anyway for the Sky tab, and the model reads it at each
// epoch's close. The model's own share is this less the sky alone.
void SkyAndEpochs(benchmark::State& state, const std::vector<std::string>& lines, Talkers talkers, bool epochs)
{
    std::uint64_t closed = 0;
    for (auto _ : state) {
        fixwatch::Sky sky(talkers);
        fixwatch::EpochModel model(talkers, 4096, &sky);
        for (const std::string& line : lines) {
            // Each line read once for both, as the window's session reads it.
            const fixwatch::SentenceView view(line);
            sky.Feed(view);
            if (epochs)
                model.Feed(view);
        }
        closed = model.ClosedCount();
        benchmark::DoNotOptimize(sky.Satellites().size());
    }
    Rates(state, lines.size(), closed);
}

void Interpreter(benchmark::State& state, const std::vector<std::string>& lines, Talkers talkers)
{
    const fixwatch::NmeaInterpreter gps(talkers);
    for (auto _ : state)
        for (const std::string& line : lines)
            benchmark::DoNotOptimize(gps.Parse(line));
    Rates(state, lines.size(), 0);
}

void BM_EpochsCorpus(benchmark::State& s) { Epochs(s, Corpus(), Talkers::GpsOnly); }
void BM_InterpreterCorpus(benchmark::State& s) { Interpreter(s, Corpus(), Talkers::GpsOnly); }
void BM_EpochsFourSystems10Hz(benchmark::State& s) { Epochs(s, FourSystems(), Talkers::AllSystems); }
void BM_InterpreterFourSystems10Hz(benchmark::State& s) { Interpreter(s, FourSystems(), Talkers::AllSystems); }
void BM_SkyAloneCorpus(benchmark::State& s) { SkyAndEpochs(s, Corpus(), Talkers::GpsOnly, false); }
void BM_SkyAndEpochsCorpus(benchmark::State& s) { SkyAndEpochs(s, Corpus(), Talkers::GpsOnly, true); }
void BM_SkyAloneFourSystems10Hz(benchmark::State& s) { SkyAndEpochs(s, FourSystems(), Talkers::AllSystems, false); }
void BM_SkyAndEpochsFourSystems10Hz(benchmark::State& s) { SkyAndEpochs(s, FourSystems(), Talkers::AllSystems, true); }

// 25 hours of 1 Hz epochs into a history of the default size: the ring stays at a day, and
// the peak resident memory of the whole process says what that costs.
void BM_DayOfEpochsMemory(benchmark::State& state)
{
    for (auto _ : state) {
        fixwatch::EpochModel model(Talkers::GpsOnly);
        for (int second = 0; second < 25 * 3600; ++second)
            for (const std::string& sentence : fixwatch::bench::OneSecondMix(second))
                model.Feed(sentence);
        state.counters["kept"] = static_cast<double>(model.History().Size());
        state.counters["closed"] = static_cast<double>(model.ClosedCount());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
    state.counters["bytes/epoch"] = sizeof(fixwatch::Epoch);
}

} // namespace

BENCHMARK(BM_DayOfEpochsMemory)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_EpochsCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InterpreterCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EpochsFourSystems10Hz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InterpreterFourSystems10Hz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkyAloneCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkyAndEpochsCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkyAloneFourSystems10Hz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkyAndEpochsFourSystems10Hz)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
