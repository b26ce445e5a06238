#pragma once

#include "line_ends.h"
#include "network_address.h"
#include "newest_lines.h"
#include "receiver_source.h"

#include <QString>

#include <string>
#include <vector>

class QUdpSocket;

namespace fixwatch {

// Receives datagrams of NMEA text ("udp :10110"), as many marine devices broadcast them:
// binds the port and takes each datagram as received text, like a serial read, its lines
// ending in CR LF; nothing is ever sent. With no address it listens on every address of the machine. Nothing connects,
// so nothing can drop: once bound, the source is never lost.
//
// Datagrams are taken as they come, a bounded number per event so that a flood cannot hold
// the event loop, and kept up to kMaxReadLength characters, the newest whole lines winning
// (Dropped() counts what went); the system's queue of unread datagrams is bounded too.
class UdpSource : public ReceiverSource {
    Q_OBJECT

public:
    // The system's queue of datagrams not yet taken.
    static constexpr int kReceiveBufferBytes = 4 * static_cast<int>(kMaxReadLength);

    explicit UdpSource(NetworkAddress address, QObject* parent = nullptr);
    ~UdpSource() override;

    bool Open() override;
    // Binding does not wait: each call tries once. The reason of the last failure stays.
    bool Reconnect() override;
    std::string Read() override;
    void Close() override;
    bool IsOpen() const override { return socket_ != nullptr; }

    QString Reason() const override { return reason_; }
    QString Name() const override { return address_.Name(); }
    QString Description() const override { return Name(); }
    std::uint64_t Dropped() const override { return received_.Dropped(); }

private:
    bool Bind(QString& failure);
    void TakeDatagrams();

    NetworkAddress address_;
    QUdpSocket* socket_ = nullptr; // bound while open; owned
    std::vector<char> datagram_;   // room for the largest datagram
    QString reason_;
    NewestLines received_{kMaxReadLength}; // not yet handed out
    LineEnds lineEnds_;
};

} // namespace fixwatch
