#include "tcp_source.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace fixwatch {
namespace {

// A peer that vanishes without closing (power cut, cable pulled, Wi-Fi gone) is noticed
// after about 10 s of silence plus 3 unanswered probes 5 s apart, instead of hours.
constexpr int kKeepAliveIdleSeconds = 10;
constexpr int kKeepAliveIntervalSeconds = 5;
constexpr int kKeepAliveProbes = 3;

void KeepAlive(QTcpSocket& socket)
{
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    const auto descriptor = static_cast<int>(socket.socketDescriptor());
    if (descriptor < 0)
        return;
    // Best effort: without them the system's (long) defaults apply.
    ::setsockopt(descriptor, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepAliveIdleSeconds, sizeof(int));
    ::setsockopt(descriptor, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepAliveIntervalSeconds, sizeof(int));
    ::setsockopt(descriptor, IPPROTO_TCP, TCP_KEEPCNT, &kKeepAliveProbes, sizeof(int));
}

QString Seconds(std::chrono::milliseconds limit)
{
    return QString::number(std::chrono::duration_cast<std::chrono::seconds>(limit).count());
}

// Qt's text for errors without words of our own: "Network unreachable." -> "network unreachable".
QString InSentence(QString text)
{
    while (text.endsWith(u'.'))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text.isEmpty() ? QStringLiteral("unknown network error") : text;
}

} // namespace

TcpSource::TcpSource(NetworkAddress address, QObject* parent)
    : ReceiverSource(parent), address_(std::move(address))
{
}

TcpSource::~TcpSource()
{
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        delete socket_;
    }
}

bool TcpSource::Open()
{
    if (IsOpen())
        return true;
    StartAttempt();
    // Connecting, or connected while the protocol waits for the peer's first answer.
    const auto pending = [this] {
        return phase_ == Phase::Connecting || (phase_ == Phase::Connected && !Ready());
    };
    if (pending()) {
        // The window's Start needs the verdict; user input waits until it is known.
        QEventLoop loop;
        const auto remaining = kConnectLimit - std::chrono::milliseconds(attemptClock_.elapsed());
        QTimer::singleShot(std::max(remaining, std::chrono::milliseconds(0)), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        waiting_ = &loop;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        waiting_ = nullptr;
    }
    if (pending()) {
        const bool lookingUp = socket_ && socket_->state() == QAbstractSocket::HostLookupState;
        attemptFailure_ = CannotConnect(
            lookingUp ? QStringLiteral("the host could not be looked up within %1 s").arg(Seconds(kConnectLimit))
                      : QStringLiteral("no answer within %1 s").arg(Seconds(kConnectLimit)));
        DropSocket();
        phase_ = Phase::Closed;
    }
    if (phase_ != Phase::Connected)
        reason_ = attemptFailure_;
    return IsOpen();
}

bool TcpSource::Reconnect()
{
    if (IsOpen())
        return true;
    if (phase_ != Phase::Closed && attemptClock_.elapsed() < kConnectLimit.count())
        return false;
    StartAttempt();
    return IsOpen();
}

std::string TcpSource::Read()
{
    if (phase_ == Phase::Connected)
        TakeArrived();
    return received_.Take();
}

void TcpSource::Close()
{
    DropSocket();
    phase_ = Phase::Closed;
    received_.Clear();
    EndWaiting();
}

void TcpSource::Connected(QTcpSocket&)
{
}

void TcpSource::Received(std::string_view bytes, std::string& text)
{
    text.append(bytes);
}

QString TcpSource::RefusedAdvice() const
{
    return QStringLiteral("Nothing listens on that port.");
}

void TcpSource::Send(std::string_view request)
{
    if (socket_ && !request.empty())
        socket_->write(request.data(), static_cast<qint64>(request.size()));
}

void TcpSource::Refuse(const QString& reason)
{
    attemptFailure_ = reason;
    DropSocket();
    phase_ = Phase::Closed;
    EndWaiting();
}

void TcpSource::StartAttempt()
{
    DropSocket();
    socket_ = new QTcpSocket;
    // An NMEA stream goes straight to its server, whatever proxy the desktop may name.
    socket_->setProxy(QNetworkProxy::NoProxy);
    socket_->setReadBufferSize(static_cast<qint64>(kMaxReadLength));
    connect(socket_, &QTcpSocket::connected, this, &TcpSource::OnConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &TcpSource::OnReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &TcpSource::OnDisconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, &TcpSource::OnErrorOccurred);
    phase_ = Phase::Connecting;
    attemptFailure_.clear();
    attemptClock_.start();
    socket_->connectToHost(address_.host, address_.port);
}

void TcpSource::DropSocket()
{
    if (!socket_)
        return;
    // Deleted later: this may run inside one of the socket's own signals.
    QTcpSocket* socket = std::exchange(socket_, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void TcpSource::TakeArrived()
{
    if (!socket_ || socket_->bytesAvailable() <= 0)
        return;
    const QByteArray bytes = socket_->readAll();
    std::string text;
    Received(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), text);
    std::string lines;
    lineEnds_.Append(text, lines);
    received_.Append(lines);
    EndWaitingWhenReady();
}

void TcpSource::Lose(const QString& reason)
{
    const bool handedOut = IsOpen();
    TakeArrived();
    DropSocket();
    phase_ = Phase::Closed;
    if (waiting_ || !handedOut) {
        // Still inside Open(), which reports the failure itself, or an attempt to reconnect
        // that never became ready: the loss was told already.
        attemptFailure_ = reason;
        EndWaiting();
        return;
    }
    reason_ = reason;
    emit Lost(reason);
}

void TcpSource::EndWaiting()
{
    if (waiting_)
        waiting_->quit();
}

void TcpSource::EndWaitingWhenReady()
{
    if (phase_ == Phase::Connected && Ready())
        EndWaiting();
}

QString TcpSource::CannotConnect(const QString& why) const
{
    return QStringLiteral("Cannot connect to %1: %2.").arg(Name(), why);
}

void TcpSource::OnConnected()
{
    phase_ = Phase::Connected;
    reason_.clear();
    lineEnds_.Reset();
    KeepAlive(*socket_);
    Connected(*socket_);
    EndWaitingWhenReady();
}

void TcpSource::OnReadyRead()
{
    TakeArrived();
}

void TcpSource::OnDisconnected()
{
    if (phase_ == Phase::Connected)
        Lose(QStringLiteral("The connection to %1 was closed.").arg(Name()));
}

void TcpSource::OnErrorOccurred(QAbstractSocket::SocketError error)
{
    if (phase_ == Phase::Connected) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            Lose(QStringLiteral("The connection to %1 was closed.").arg(Name()));
        else
            Lose(QStringLiteral("The connection to %1 was lost: %2.")
                     .arg(Name(), InSentence(socket_->errorString())));
        return;
    }
    if (phase_ != Phase::Connecting)
        return;
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        attemptFailure_ = CannotConnect(QStringLiteral("host %1 not found").arg(address_.host));
        break;
    case QAbstractSocket::ConnectionRefusedError:
        attemptFailure_ = CannotConnect(QStringLiteral("connection refused")) + u' ' + RefusedAdvice();
        break;
    case QAbstractSocket::SocketTimeoutError:
        attemptFailure_ = CannotConnect(QStringLiteral("no answer within %1 s").arg(Seconds(kConnectLimit)));
        break;
    case QAbstractSocket::SocketAccessError:
        attemptFailure_ = CannotConnect(QStringLiteral("permission denied"));
        break;
    default:
        attemptFailure_ = CannotConnect(InSentence(socket_->errorString()));
        break;
    }
    DropSocket();
    phase_ = Phase::Closed;
    EndWaiting();
}

} // namespace fixwatch
