#pragma once

#include "line_ends.h"
#include "network_address.h"
#include "newest_lines.h"
#include "receiver_source.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QString>

#include <chrono>
#include <string>
#include <string_view>

class QEventLoop;
class QTcpSocket;

namespace fixwatch {

// Receives NMEA text from a TCP server ("tcp 192.168.1.10:10110"), as multiplexers and
// phone apps serve it: connects and reads; nothing is ever sent.
//
// The socket is asynchronous on the caller's thread. Only Open() waits, at most
// kConnectLimit, running a local event loop that leaves user input alone, for the
// connection and for what the protocol needs to hear before text flows (Ready()).
// A protocol that the peer refuses ends the attempt with the peer's reason. What arrives is
// taken from the socket as it comes, so the socket's buffer never fills and its notifier
// never spins, and is kept up to kMaxReadLength characters, the newest whole lines winning
// (Dropped() counts what went). Lines are handed on ending in CR LF, also those the peer
// ended in LF alone.
class TcpSource : public ReceiverSource {
    Q_OBJECT

public:
    // The longest Open() waits for the connection's verdict, and the longest one attempt
    // of Reconnect() runs before a new one replaces it.
    static constexpr std::chrono::milliseconds kConnectLimit{3000};

    explicit TcpSource(NetworkAddress address, QObject* parent = nullptr);
    ~TcpSource() override;

    bool Open() override;
    // One attempt at a time: a call starts one when none runs (or the last ran out of
    // time) and otherwise lets the running one go on. The reason of the loss stays.
    bool Reconnect() override;
    // What arrived since the last Read; after a loss, what arrived before it, then nothing.
    std::string Read() override;
    void Close() override;
    bool IsOpen() const override { return phase_ == Phase::Connected && Ready(); }

    QString Reason() const override { return reason_; }
    QString Name() const override { return address_.Name(); }
    QString Description() const override { return Name(); }
    std::uint64_t Dropped() const override { return received_.Dropped(); }

protected:
    // A connection was just made: the one moment a protocol may send its request.
    virtual void Connected(QTcpSocket& socket);
    // Bytes arrived on the connection; appends to `text` what is received text (all).
    virtual void Received(std::string_view bytes, std::string& text);
    // Said after "connection refused." to tell the user what to check.
    virtual QString RefusedAdvice() const;
    // Whether the protocol has heard what it needs from the peer (plain TCP: at once).
    virtual bool Ready() const { return true; }

    // Sends a protocol's request on the connection; nothing when there is none.
    void Send(std::string_view request);
    // The peer refused what the protocol asked before the connection was ready: the
    // attempt ends, and Open() fails with `reason`.
    void Refuse(const QString& reason);

private:
    enum class Phase {
        Closed,
        Connecting,
        Connected,
    };

    void StartAttempt();
    void DropSocket();
    void TakeArrived();
    void Lose(const QString& reason);
    void EndWaiting();
    void EndWaitingWhenReady();
    QString CannotConnect(const QString& why) const;

    void OnConnected();
    void OnReadyRead();
    void OnDisconnected();
    void OnErrorOccurred(QAbstractSocket::SocketError error);

    NetworkAddress address_;
    QTcpSocket* socket_ = nullptr; // the connection or the attempt; owned
    Phase phase_ = Phase::Closed;
    QElapsedTimer attemptClock_;
    QEventLoop* waiting_ = nullptr; // Open()'s wait for the verdict, while it runs
    QString attemptFailure_;        // why the last attempt failed
    QString reason_;
    NewestLines received_{kMaxReadLength}; // not yet handed out
    LineEnds lineEnds_;
};

} // namespace fixwatch
