// The window on network sources: a real gpsd fed by gpsfake, a TCP server and UDP
// datagrams, on 127.0.0.1, each showing the fix as a serial receiver would.
#include "captures.h"
#include "gpsd_harness.h"
#include "test_peers.h"
#include "window_test_support.h"

#include <QUdpSocket>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace std::chrono_literals;
using namespace test;

// A GPS capture with a fix in GGA and RMC, its lines ending in LF alone, as gpsd passes on.
const char* const kCapture = "GPSmap-76S.nmea";

TEST(WindowOnGpsd, ShowsTheFixKeepsGpsdsOwnLinesOutAndReconnects)
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
    auto noJson = [&form] {
        EXPECT_EQ(form.lineBuffer().find('{'), std::string::npos) << "gpsd's JSON reached the lines";
        return true;
    };
    EXPECT_TRUE(TickUntil(form, [&] { return noJson() && !FixLabel(form, kLatitude)->text().isEmpty(); }));
    EXPECT_EQ(FixLabel(form, kLatitude)->text(), QString::fromUtf8("038° 54.5087' N"));
    EXPECT_TRUE(StatusText(form, kSourceStatus).startsWith(name + " \u00B7 /dev/"))
        << StatusText(form, kSourceStatus).toStdString();

    // gpsd is killed mid-run: the receiver is lost, then found again when gpsd returns.
    gpsd.Kill();
    ASSERT_TRUE(TickUntil(form, [&] { return StatusText(form, kLinkStatus).startsWith("Receiver lost"); }));
    EXPECT_EQ(StatusText(form, kLinkStatus), "Receiver lost (" + name + "): waiting for it to come back");
    EXPECT_TRUE(Control<QTimer>(form, "Timer_Lett")->isActive());
    ASSERT_TRUE(gpsd.Start()) << gpsd.Error();
    Control<QAction>(form, "MenuVuotaCampi")->trigger();
    // The kept lines show their fix again at every tick, so wait for the link itself: the
    // status bar stops saying it is lost.
    EXPECT_TRUE(TickUntil(
        form, [&] { return !StatusText(form, kLinkStatus).startsWith("Receiver lost"); }, 10000));
    EXPECT_TRUE(TickUntil(form, [&] { return noJson() && !FixLabel(form, kLatitude)->text().isEmpty(); }));
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
    EXPECT_EQ(StatusText(form, kSourceStatus), QStringLiteral("tcp 127.0.0.1:%1").arg(server.Port()));
    EXPECT_TRUE(TickUntil(form, [&] { return FixLabel(form, kAltitude)->text() == "545.4"; }));
    Stop(form);
}

TEST(WindowOnNetworkSources, UdpDatagramsShowTheFix)
{
    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const quint16 udpPort = probe.localPort();
    probe.close();
    PortVariable port(1, "udp://127.0.0.1:" + std::to_string(udpPort));
    MainForm form;
    ASSERT_TRUE(Start(form)) << StatusText(form, kLinkStatus).toStdString();
    EXPECT_EQ(StatusText(form, kSourceStatus), QStringLiteral("udp 127.0.0.1:%1").arg(udpPort));

    // One sentence a datagram, without a line end, as many senders do.
    const std::string sentence = Sealed("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    ThreadedUdpSender sender(udpPort, [&sentence](int socket, const std::atomic<bool>& stop) {
        while (!stop) {
            ::send(socket, sentence.data(), sentence.size(), 0);
            std::this_thread::sleep_for(100ms);
        }
    });
    EXPECT_TRUE(TickUntil(form, [&] { return FixLabel(form, kDate)->text() == "23/03/1994"; }));
    Stop(form);
}

} // namespace
} // namespace fixwatch
