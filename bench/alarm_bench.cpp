// fixwatch-bench-alarms: what the alarm watch adds to each epoch, with no alarm armed and with
// every one armed, against the cost of building the epoch from its sentences.
#include "alarm_watch.h"
#include "sentence_mix.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace fixwatch {
namespace {

// An hour of a typical receiver, one epoch a second.
const std::vector<std::string>& Sentences()
{
    static const std::vector<std::string> sentences = [] {
        std::vector<std::string> all;
        for (int second = 0; second < 3600; ++second)
            for (std::string& sentence : bench::OneSecondMix(second))
                all.push_back(std::move(sentence));
        return all;
    }();
    return sentences;
}

std::vector<Epoch> CorpusEpochs()
{
    EpochModel model;
    std::vector<Epoch> epochs;
    for (const std::string& sentence : Sentences())
        if (model.Feed(sentence))
            epochs.push_back(model.History().Newest());
    return epochs;
}

void WatchEpochs(benchmark::State& state, bool armed)
{
    static const std::vector<Epoch> epochs = CorpusEpochs();
    AlarmWatch watch;
    for (const AlarmKind kind : kAlarmKinds)
        watch.Arm(kind, armed, 0);
    watch.Begin(0);
    double now = 0;
    for (auto _ : state) {
        for (const Epoch& epoch : epochs) {
            now += 1;
            watch.LineArrived(now);
            watch.EpochClosed(epoch, now, 1796817600);
            watch.Tick(now);
        }
        benchmark::DoNotOptimize(watch.TakeChanges());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(epochs.size()));
}

void BM_AlarmWatchNoneArmed(benchmark::State& state) { WatchEpochs(state, false); }
void BM_AlarmWatchAllArmed(benchmark::State& state) { WatchEpochs(state, true); }

void BM_EpochsFromSentences(benchmark::State& state)
{
    static const std::size_t epochs = CorpusEpochs().size();
    for (auto _ : state) {
        EpochModel model;
        for (const std::string& sentence : Sentences())
            benchmark::DoNotOptimize(model.Feed(sentence));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(epochs));
}

BENCHMARK(BM_AlarmWatchNoneArmed);
BENCHMARK(BM_AlarmWatchAllArmed);
BENCHMARK(BM_EpochsFromSentences);

} // namespace
} // namespace fixwatch

BENCHMARK_MAIN();
