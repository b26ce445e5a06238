// Text a receiver (or a user) sends that looks like markup is shown literally, everywhere,
// and cannot freeze the window or change how it looks.
#include "capture_receiver.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

namespace fixwatch {
namespace {

using namespace test;

long PeakKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(HostileText, AnImageTagInAStationIdShowsLiterallyOnEveryTabAndReturnsPromptly)
{
    PtyWindow w;
    MainForm& form = w.form;
    form.show();
    ASSERT_TRUE(Start(form));
    const long peakBefore = PeakKiB();
    QElapsedTimer clock;
    clock.start();
    w.Send(Line("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,<img src=/dev/zero>")
           + Line("$GPVTG,<font color=red>054.7</font>,T,<b>034.4</b>,M,005.5,N,&lt;,K"));
    for (int tab = 0; tab < Tabs(form).count(); ++tab) {
        ShowTab(form, tab);
        form.grab();
    }

    EXPECT_EQ(Texts({FixInfoLabel(form, kDgpsStation), FixInfoLabel(form, kTrueTrack), FixInfoLabel(form, kMagneticTrack)}),
              "<img src=/dev/zero>|<font color=red>054.7</font> T|<b>034.4</b> M");
    EXPECT_LT(clock.elapsed(), 10'000) << "the window took too long: did it read the image?";
#ifdef __SANITIZE_ADDRESS__
    constexpr long kAllowedKiB = 150'000; // AddressSanitizer's redzones and quarantine triple what we use
#else
    constexpr long kAllowedKiB = 50'000;
#endif
    EXPECT_LT(PeakKiB() - peakBefore, kAllowedKiB) << "memory grew while showing received text";
}

} // namespace
} // namespace fixwatch
