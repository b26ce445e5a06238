// Memory of a day behind the History and Accuracy tabs: 25 hours of 1 Hz sentences fed, one
// line at a time, into the epoch model and the Accuracy tab's fixes, as the window's feed does,
// then the satellites' signals filled to their bound. Each keeps a day; prints what is kept, the resident memory before and after, and the time of
// one report over the kept day (what one redraw of the Accuracy tab computes). Not a test.
#include "accuracy_samples.h"
#include "epochs.h"
#include "history_view.h"
#include "sentence_mix.h"
#include "signal_history.h"
#include "resident_memory.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

int main()
{
    using namespace fixwatch;
    const double before = bench::ResidentMegabytes();
    EpochModel model(Talkers::GpsOnly);
    AccuracySamples samples;
    const int hours = 25;
    for (int second = 0; second < hours * 3600; ++second)
        for (const std::string& sentence : bench::OneSecondMix(second)) {
            if (model.Feed(sentence))
                samples.AddEpoch(model.History().Newest(), EpochSeconds(model.History().Newest()));
            if (const auto fix = ReadGgaFix(sentence, Talkers::GpsOnly))
                samples.AddFix(*fix, EpochSeconds(model.Open()));
        }
    const double afterEpochs = bench::ResidentMegabytes();
    // The satellites' signals behind the C/N0 chart, filled to their bound.
    SignalHistory signalHistory;
    for (std::size_t i = 0; i < SignalHistory::kDefaultCapacity + 1000; ++i)
        signalHistory.Add(static_cast<double>(i / 16), GnssSystem::GPS, static_cast<int>(i % 32) + 1, 40);
    const double after = bench::ResidentMegabytes();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    const auto start = std::chrono::steady_clock::now();
    const auto report = ReportAccuracy(samples.FixesWithin(0), std::nullopt);
    const double reportMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    std::printf("hours fed:              %d at 1 Hz\n", hours);
    std::printf("epochs closed / kept:   %llu / %zu\n", static_cast<unsigned long long>(model.ClosedCount()),
                model.History().Size());
    std::printf("fixes kept:             %zu (capacity %zu)\n", samples.Fixes(), samples.Capacity());
    std::printf("signal samples kept:    %zu (capacity %zu)\n", signalHistory.Size(), SignalHistory::kDefaultCapacity);
    std::printf("RSS before / epochs and fixes / and signals: %.1f MB / %.1f MB / %.1f MB\n", before, afterEpochs, after);
    std::printf("peak RSS:               %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024);
    std::printf("bytes per epoch / fix:  %zu / %zu\n", sizeof(Epoch), sizeof(AccuracySamples::TimedFix));
    std::printf("one report over a day:  %.1f ms (%zu fixes, cep95 %.3f m)\n", reportMs,
                report ? report->fixes : 0, report ? report->figures.cep95 : 0.0);
    return 0;
}
