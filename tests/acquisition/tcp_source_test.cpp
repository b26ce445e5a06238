#include "gpsd_source.h"
#include "gpsd_harness.h"
#include "loopback_peer.h"
#include "network_test_support.h"
#include "tcp_source.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <sys/resource.h>

namespace fixwatch {
namespace {

using namespace test;
using Kind = NetworkAddress::Kind;

NetworkAddress Local(Kind kind, quint16 port)
{
    return {kind, QStringLiteral("127.0.0.1"), port};
}

// A listener whose queue is full: further connection attempts get no answer, as from a
// host that drops them.
struct Unanswering {
    Unanswering()
    {
        sockaddr_in address = Loopback(0);
        socklen_t size = sizeof address;
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener, 0); // room for one connection, taken by the filler
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
        port = ntohs(address.sin_port);
        listening = ::connect(filler, reinterpret_cast<sockaddr*>(&address), size) == 0;
    }
    ~Unanswering()
    {
        ::close(filler);
        ::close(listener);
    }
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    quint16 port = 0;
    bool listening = false;
};

double CpuSeconds()
{
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    return use.ru_utime.tv_sec + use.ru_stime.tv_sec + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

TEST(TcpSource, ReceivesEveryByteAsSentLinesEndingInCrLfAndSendsNothing)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    TcpSource source(Local(Kind::Tcp, server.serverPort()));
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();

    std::string sent;
    for (int b = 0; b < 256; ++b)
        sent += static_cast<char>(b);
    sent += "$GPGGA,1*00\r\n$GPGLL,2*00\n";
    // The LF after byte 9 and the one of the last line get the CR that the window's line
    // assembly needs; everything else arrives as sent.
    std::string expected = sent;
    expected.insert(10, "\r");
    expected.insert(expected.size() - 1, "\r");
    peer->write(sent.data(), static_cast<qint64>(sent.size()));
    EXPECT_EQ(ReadUntil(source, [&](const std::string& text) { return text.size() >= expected.size(); }),
              expected);

    source.Close();
    ASSERT_TRUE(WaitFor([&] { return peer->state() != QAbstractSocket::ConnectedState; }));
    EXPECT_EQ(peer->readAll().size(), 0) << "the source sent something";
    EXPECT_FALSE(source.IsOpen());
}

TEST(TcpSource, AFailedOpenSaysWhyInTheUsersWords)
{
    const quint16 unused = GpsdHarness::FreePort();
    const std::vector<std::pair<std::unique_ptr<ReceiverSource>, std::string>> rows = [&] {
        std::vector<std::pair<std::unique_ptr<ReceiverSource>, std::string>> made;
        const std::string port = std::to_string(unused);
        made.emplace_back(std::make_unique<GpsdSource>(Local(Kind::Gpsd, unused)),
                          "Cannot connect to gpsd on 127.0.0.1:" + port + ": connection refused. Is gpsd running?");
        made.emplace_back(std::make_unique<TcpSource>(Local(Kind::Tcp, unused)),
                          "Cannot connect to tcp 127.0.0.1:" + port
                              + ": connection refused. Nothing listens on that port.");
        made.emplace_back(std::make_unique<TcpSource>(NetworkAddress{Kind::Tcp, "fixwatch-test.invalid", 10110}),
                          "Cannot connect to tcp fixwatch-test.invalid:10110: host fixwatch-test.invalid not found.");
        return made;
    }();
    for (const auto& [source, reason] : rows) {
        EXPECT_FALSE(source->Open()) << source->Name().toStdString();
        EXPECT_EQ(source->Reason().toStdString(), reason);
        EXPECT_FALSE(source->IsOpen());
    }
}

TEST(TcpSource, OpenGivesUpAfterItsLimitAndReconnectNeverWaits)
{
    Unanswering peer;
    ASSERT_TRUE(peer.listening);
    TcpSource source(Local(Kind::Tcp, peer.port));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(source.Open());
    const auto waited = clock.elapsed();
    EXPECT_GE(waited, TcpSource::kConnectLimit.count() - 50);
    EXPECT_LT(waited, TcpSource::kConnectLimit.count() + 2000);
    EXPECT_EQ(source.Reason().toStdString(), "Cannot connect to tcp 127.0.0.1:"
                                                 + std::to_string(peer.port)
                                                 + ": no answer within 3 s.");
    for (int tick = 0; tick < 5; ++tick) {
        clock.restart();
        EXPECT_FALSE(source.Reconnect());
        EXPECT_LT(clock.elapsed(), 100) << "Reconnect waited";
        QTest::qWait(20);
    }
}

TEST(TcpSource, ADroppedConnectionIsLostOnceAndComesBackWithReconnect)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 port = server.serverPort();
    TcpSource source(Local(Kind::Tcp, port));
    QSignalSpy lost(&source, &ReceiverSource::Lost);
    ASSERT_TRUE(source.Open());
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    peer->write("$GPGGA,1*00\r\n");
    peer->flush();
    peer->close();
    server.close();

    ASSERT_TRUE(WaitFor([&] { return lost.count() == 1; }));
    const std::string reason = "The connection to tcp 127.0.0.1:" + std::to_string(port) + " was closed.";
    EXPECT_EQ(lost.at(0).at(0).toString().toStdString(), reason);
    EXPECT_EQ(source.Reason().toStdString(), reason);
    EXPECT_FALSE(source.IsOpen());
    EXPECT_EQ(source.Read(), "$GPGGA,1*00\r\n") << "what came before the loss is still handed out";
    EXPECT_EQ(source.Read(), "");

    const double cpu = CpuSeconds();
    QTest::qWait(500);
    EXPECT_LT(CpuSeconds() - cpu, 0.2) << "the event loop kept busy after the loss";

    EXPECT_FALSE(source.Reconnect()) << "nothing listens";
    EXPECT_EQ(source.Reason().toStdString(), reason) << "the reason of the loss stays while reconnecting";
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(WaitFor([&] { return source.Reconnect(); }));
    EXPECT_TRUE(source.IsOpen());
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    server.nextPendingConnection()->write("$GPRMC,2*00\r\n");
    EXPECT_EQ(ReadUntil(source, Contains("\n")), "$GPRMC,2*00\r\n");
    EXPECT_EQ(lost.count(), 1);
}

} // namespace
} // namespace fixwatch
