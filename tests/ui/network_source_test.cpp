// The window on network sources: a real gpsd fed by gpsfake and a TCP server on 127.0.0.1,
// each showing the fix as a serial receiver would. UDP datagrams take the same road into the
// window from acquisition.UdpSource, and gpsd's return is taken up by
// acquisition.GpsdSourceOnRealGpsd.
#include "captures.h"
#include "gpsd_harness.h"
#include "test_peers.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace std::chrono_literals;
using namespace test;

// A GPS capture with a fix in GGA and RMC, its lines ending in LF alone, as gpsd passes on.
const char* const kCapture = "GPSmap-76S.nmea";

// gpsd's own lines are kept out by acquisition.GpsdStream and acquisition.GpsdSourceOnRealGpsd.
TEST(WindowOnGpsd, ShowsTheFixAndSaysWhenItIsLost)
{
    if (const std::string missing = GpsdHarness::Missing(); !missing.empty())
        GTEST_SKIP() << missing;
    FIXWATCH_NEED_CAPTURES(kCapture);
    GpsdHarness gpsd(CapturePath(kCapture).string());
    ASSERT_TRUE(gpsd.Start()) << gpsd.Error();
    const QString name = QStringLiteral("gpsd on 127.0.0.1:%1").arg(gpsd.Port());
    PortVariable port(1, "gpsd://127.0.0.1:" + std::to_string(gpsd.Port()));

    MainForm form;
    ASSERT_TRUE(Start(form)) << StatusText(form, kLinkStatus).toStdString();
    EXPECT_TRUE(TickUntil(form, [&] { return !FixLabel(form, kLatitude)->text().isEmpty(); }));
    EXPECT_EQ(FixLabel(form, kLatitude)->text(), QString::fromUtf8("038° 54.5087' N"));
    EXPECT_TRUE(StatusText(form, kSourceStatus).startsWith(name + " \u00B7 /dev/"))
        << StatusText(form, kSourceStatus).toStdString();

    // gpsd is killed mid-run: the receiver is lost, and the window waits for it.
    gpsd.Kill();
    ASSERT_TRUE(TickUntil(form, [&] { return StatusText(form, kLinkStatus).startsWith("Receiver lost"); }));
    EXPECT_EQ(StatusText(form, kLinkStatus), "Receiver lost (" + name + "): waiting for it to come back");
    Stop(form);
}

TEST(WindowOnNetworkSources, ATcpServerShowsTheFix)
{
    const std::string text = Sealed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") + "\n";
    ThreadedTcpServer server([&text](int socket, const std::atomic<bool>& stop) {
        while (!stop && SendAll(socket, text, stop))
            std::this_thread::sleep_for(100ms);
    });
    PortVariable port(1, "tcp://127.0.0.1:" + std::to_string(server.Port()));
    MainForm form;
    ASSERT_TRUE(Start(form)) << StatusText(form, kLinkStatus).toStdString();
    EXPECT_TRUE(TickUntil(form, [&] { return FixLabel(form, kAltitude)->text() == "545.4"; }));
    Stop(form);
}

} // namespace
} // namespace fixwatch
