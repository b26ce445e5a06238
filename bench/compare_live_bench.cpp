// The Compare tab over a day: 24 hours of two 10 Hz four-system receivers paired epoch by
// epoch into the live comparison (60 signals each, B 1 m north and 3 dB weaker, B without a
// fix one epoch in seven), then the tab's redraw over the hour its series keep. Prints the
// time per epoch, the resident memory after 1 and after 24 hours (flat: the series are
// bounded) and the time of one redraw. Not a test.
#include "compare_view.h"
#include "live_comparison.h"
#include "resident_memory.h"

#include <GeographicLib/Geodesic.hpp>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char* argv[])
{
    using namespace fixwatch;
    using Clock = std::chrono::steady_clock;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    ReceiverEpoch a, b, none;
    a.fix = b.fix = true;
    a.latitude = -45.8776;
    a.longitude = 170.5;
    a.height = b.height = 20.0;
    a.quality = b.quality = 1;
    a.satellitesUsed = b.satellitesUsed = 30;
    a.satellitesInView = b.satellitesInView = 40;
    GeographicLib::Geodesic::WGS84().Direct(a.latitude, a.longitude, 0, 1.0, b.latitude, b.longitude);
    for (GnssSystem system : {GnssSystem::GPS, GnssSystem::GLONASS, GnssSystem::Galileo, GnssSystem::BeiDou}) {
        for (int number = 1; number <= 10; ++number) {
            for (SignalBand band : {SignalBand::L1, SignalBand::L5}) {
                if (band == SignalBand::L5 && number > 5)
                    continue;
                a.tracked.push_back({system, number, band, 30 + number});
                b.tracked.push_back({system, number, band, 27 + number});
            }
        }
    }

    LiveComparison comparison;
    constexpr std::int64_t kStart = 1'796'040'000'000;
    constexpr std::int64_t kEpochs = 24 * 36'000;
    const double before = bench::ResidentMegabytes();
    double afterHour = 0;
    const auto begin = Clock::now();
    for (std::int64_t i = 0; i < kEpochs; ++i) {
        comparison.Add(&a, i % 7 == 0 ? &none : &b, kStart + i * 100);
        if (i == 36'000)
            afterHour = bench::ResidentMegabytes();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    std::printf("live comparison: %lld epochs of 2 x %zu signals in %.2f s, %.2f us per epoch\n",
                static_cast<long long>(kEpochs), a.tracked.size(), seconds, seconds * 1e6 / kEpochs);
    std::printf("resident memory: %.1f MB before, %.1f MB after 1 h, %.1f MB after 24 h; %zu series entries kept\n",
                before, afterHour, bench::ResidentMegabytes(), comparison.SeriesSize());

    CompareView view;
    view.resize(900, 560);
    view.SetComparison(&comparison);
    view.show();
    constexpr int kRedraws = 20;
    const auto drawn = Clock::now();
    for (int i = 0; i < kRedraws; ++i) {
        view.Redraw();
        QApplication::processEvents();
    }
    const double redraw = std::chrono::duration<double>(Clock::now() - drawn).count() / kRedraws;
    std::printf("Compare tab redraw over an hour of series (painted): %.1f ms\n", redraw * 1000);
    return 0;
}
