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
    ASSERT_TRUE(Start(form)) << form.Comm().Reason().toStdString();
    auto noJson = [&form] {
        EXPECT_EQ(form.lineBuffer().find('{'), std::string::npos) << "gpsd's JSON reached the lines";
        return true;
    };
    EXPECT_TRUE(TickUntil(form, [&] { return noJson() && !form.Lab_Posizione[1]->text().isEmpty(); }));
    EXPECT_EQ(form.Lab_Posizione[1]->text(), QString::fromUtf8("038° 54.5087' N"));
    EXPECT_TRUE(form.Status->Lab_Status[0]->text().startsWith(name + " \u00B7 /dev/"))
        << form.Status->Lab_Status[0]->text().toStdString();

    // gpsd is killed mid-run: the receiver is lost, then found again when gpsd returns.
    gpsd.Kill();
    ASSERT_TRUE(TickUntil(form, [&] { return form.Comm().LinkState() == CommControl::State::Lost; }));
    EXPECT_EQ(form.Status->Lab_Status[1]->text(), "Receiver lost (" + name + "): waiting for it to come back");
    EXPECT_TRUE(form.AcquisitionRunning());
    ASSERT_TRUE(gpsd.Start()) << gpsd.Error();
    form.MenuVuotaCampi_Click();
    // The kept lines show their fix again at every tick, so wait for the link itself.
    EXPECT_TRUE(TickUntil(
        form, [&] { return form.Comm().LinkState() == CommControl::State::Open; }, 10000));
    EXPECT_TRUE(TickUntil(form, [&] { return noJson() && !form.Lab_Posizione[1]->text().isEmpty(); }));
    form.Cmd_StartStop_Click(1);
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
    ASSERT_TRUE(Start(form)) << form.Comm().Reason().toStdString();
    EXPECT_EQ(form.Status->Lab_Status[0]->text(), QStringLiteral("tcp 127.0.0.1:%1").arg(server.Port()));
    EXPECT_TRUE(TickUntil(form, [&] { return form.Lab_Posizione[3]->text() == "545.4"; }));
    form.Cmd_StartStop_Click(1);
}

TEST(WindowOnNetworkSources, UdpDatagramsShowTheFix)
{
    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const quint16 udpPort = probe.localPort();
    probe.close();
    PortVariable port(1, "udp://127.0.0.1:" + std::to_string(udpPort));
    MainForm form;
    ASSERT_TRUE(Start(form)) << form.Comm().Reason().toStdString();
    EXPECT_EQ(form.Status->Lab_Status[0]->text(), QStringLiteral("udp 127.0.0.1:%1").arg(udpPort));

    // One sentence a datagram, without a line end, as many senders do.
    const std::string sentence = Sealed("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    ThreadedUdpSender sender(udpPort, [&sentence](int socket, const std::atomic<bool>& stop) {
        while (!stop) {
            ::send(socket, sentence.data(), sentence.size(), 0);
            std::this_thread::sleep_for(100ms);
        }
    });
    EXPECT_TRUE(TickUntil(form, [&] { return form.Lab_Posizione[7]->text() == "23/03/1994"; }));
    form.Cmd_StartStop_Click(1);
}

} // namespace
} // namespace fixwatch
