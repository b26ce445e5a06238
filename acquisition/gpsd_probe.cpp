#include "gpsd_probe.h"

#include <QDeadlineTimer>
#include <QNetworkProxy>
#include <QTcpSocket>

namespace fixwatch {

bool GpsdAnswers(const QHostAddress& host, quint16 port, std::chrono::milliseconds limit)
{
    static const QByteArray kBanner = QByteArrayLiteral("{\"class\":\"VERSION\"");
    const QDeadlineTimer deadline(limit);
    QTcpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    // An address, not a name: no lookup that could outlast the limit.
    socket.connectToHost(host, port);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return false;
    QByteArray greeting;
    while (greeting.size() < kBanner.size()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
        greeting += socket.read(kBanner.size() - greeting.size());
    }
    socket.abort();
    return greeting == kBanner;
}

} // namespace fixwatch
