#include "udp_source.h"

#include "line_ends.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QUdpSocket>

#include <utility>

namespace fixwatch {
namespace {

// True when `text` ends in "*" and two hexadecimal digits, as a finished sentence does.
bool EndsWithChecksum(std::string_view text)
{
    auto hex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    const std::size_t n = text.size();
    return n >= 3 && text[n - 3] == '*' && hex(text[n - 2]) && hex(text[n - 1]);
}

} // namespace
namespace {

// The largest payload a UDP datagram can carry.
constexpr std::size_t kMaxDatagram = 65536;
// Taken per event at most, so that other events (the window's) get their turn in a flood.
constexpr int kMaxDatagramsPerEvent = 64;

} // namespace

UdpSource::UdpSource(NetworkAddress address, QObject* parent)
    : ReceiverSource(parent), address_(std::move(address))
{
}

UdpSource::~UdpSource()
{
    delete socket_;
}

bool UdpSource::Open()
{
    QString failure;
    if (Bind(failure))
        return true;
    reason_ = failure;
    return false;
}

bool UdpSource::Reconnect()
{
    QString failure;
    return Bind(failure);
}

std::string UdpSource::Read()
{
    TakeDatagrams();
    return received_.Take();
}

void UdpSource::Close()
{
    if (socket_) {
        socket_->disconnect(this);
        socket_->close();       // frees the port at once
        socket_->deleteLater(); // this may run inside the socket's readyRead
        socket_ = nullptr;
    }
    datagram_ = {};
    received_.Clear();
    lineEnds_.Reset();
}

bool UdpSource::Bind(QString& failure)
{
    if (socket_)
        return true;
    const QHostAddress address =
        address_.host.isEmpty() ? QHostAddress(QHostAddress::Any) : QHostAddress(address_.host);
    auto* socket = new QUdpSocket;
    socket->setProxy(QNetworkProxy::NoProxy);
    // Not shared: another program bound to the port would take the datagrams meant for us.
    if (!socket->bind(address, address_.port, QAbstractSocket::DontShareAddress)) {
        QString why;
        switch (socket->error()) {
        case QAbstractSocket::AddressInUseError:
            why = QStringLiteral("the address is in use");
            break;
        case QAbstractSocket::SocketAddressNotAvailableError:
            why = QStringLiteral("%1 is not an address of this machine").arg(address_.host);
            break;
        case QAbstractSocket::SocketAccessError:
            why = QStringLiteral("permission denied (ports below 1024 are reserved)");
            break;
        default:
            why = socket->errorString();
            break;
        }
        failure = QStringLiteral("Cannot listen on %1: %2.").arg(Name(), why);
        delete socket;
        return false;
    }
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    connect(socket, &QUdpSocket::readyRead, this, &UdpSource::TakeDatagrams);
    socket_ = socket;
    datagram_.resize(kMaxDatagram);
    reason_.clear();
    return true;
}

void UdpSource::TakeDatagrams()
{
    for (int taken = 0; socket_ && taken < kMaxDatagramsPerEvent && socket_->hasPendingDatagrams();
         ++taken) {
        const qint64 size = socket_->readDatagram(datagram_.data(), static_cast<qint64>(datagram_.size()));
        if (size < 0)
            break;
        // Lines are handed on ending in CR LF; a datagram whose last sentence is finished
        // (it ends in its checksum) but has no line end gets one, as senders that put one
        // sentence in each datagram often leave it out.
        const std::string_view bytes(datagram_.data(), static_cast<std::size_t>(size));
        std::string lines;
        lineEnds_.Append(bytes, lines);
        if (EndsWithChecksum(bytes))
            lineEnds_.EndLine(lines);
        received_.Append(lines);
    }
}

} // namespace fixwatch
