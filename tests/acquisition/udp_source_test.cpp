#include "network_test_support.h"
#include "udp_source.h"

#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace fixwatch {
namespace {

using namespace test;
using Kind = NetworkAddress::Kind;

// A UDP port of 127.0.0.1 that nothing uses at the moment.
quint16 FreeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

TEST(UdpSource, EachDatagramIsReceivedTextInOrder)
{
    const quint16 port = FreeUdpPort();
    for (const QString& host : {QString(), QStringLiteral("127.0.0.1")}) {
        UdpSource source({Kind::Udp, host, port});
        ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
        EXPECT_TRUE(source.IsOpen());
        QUdpSocket sender;
        for (const char* datagram : {"$GPGGA,1*00\r\n$GPRMC,2", "*00\r\n", "\xB0\r\n"})
            sender.writeDatagram(datagram, static_cast<qint64>(std::strlen(datagram)), QHostAddress::LocalHost, port);
        EXPECT_EQ(ReadUntil(source, Contains("\xB0")), "$GPGGA,1*00\r\n$GPRMC,2*00\r\n\xB0\r\n")
            << "listening on " << source.Name().toStdString();
        source.Close();
        EXPECT_FALSE(source.IsOpen());
    }
}

TEST(UdpSource, EveryLineIsHandedOnEndingInCrLf)
{
    const quint16 port = FreeUdpPort();
    UdpSource source({Kind::Udp, QStringLiteral("127.0.0.1"), port});
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    QUdpSocket sender;
    // LF alone; a sentence with no line end at all; a CR LF split between two datagrams;
    // a datagram cut inside a sentence, finished by the next.
    for (const char* datagram : {"$GPGGA,1*00\n$GPGLL,2*00\n", "$GPRMC,3*00", "$GPVTG,4*00\r",
                                 "\n$GPGSA,5", "*00", "\xB0"})
        sender.writeDatagram(datagram, static_cast<qint64>(std::strlen(datagram)), QHostAddress::LocalHost, port);
    EXPECT_EQ(ReadUntil(source, Contains("\xB0")),
              "$GPGGA,1*00\r\n$GPGLL,2*00\r\n$GPRMC,3*00\r\n$GPVTG,4*00\r\n$GPGSA,5*00\r\n\xB0");
}

TEST(UdpSource, APortInUseIsRefusedAndAClosedSourceFreesItAtOnce)
{
    const quint16 port = FreeUdpPort();
    UdpSource first({Kind::Udp, QStringLiteral("127.0.0.1"), port});
    UdpSource second({Kind::Udp, QStringLiteral("127.0.0.1"), port});
    ASSERT_TRUE(first.Open());
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.Reason(), QStringLiteral("Cannot listen on udp 127.0.0.1:%1: the address is in use.").arg(port));
    EXPECT_FALSE(second.Reconnect());

    first.Close();
    EXPECT_TRUE(second.Reconnect()) << "the port is free as soon as the first is closed";
    EXPECT_TRUE(second.Reason().isEmpty());
}

} // namespace
} // namespace fixwatch
