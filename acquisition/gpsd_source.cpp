#include "gpsd_source.h"

#include <QTcpSocket>

#include <utility>

namespace fixwatch {

GpsdSource::GpsdSource(NetworkAddress address, QObject* parent)
    : TcpSource(std::move(address), parent)
{
}

QString GpsdSource::Description() const
{
    const QString devices = stream_.DevicesText();
    return devices.isEmpty() ? Name() : Name() + QStringLiteral(" \u00B7 ") + devices;
}

void GpsdSource::Connected(QTcpSocket& socket)
{
    stream_.Reset();
    socket.write(kWatchRequest.data(), static_cast<qint64>(kWatchRequest.size()));
}

void GpsdSource::Received(std::string_view bytes, std::string& text)
{
    stream_.Take(bytes, text);
}

QString GpsdSource::RefusedAdvice() const
{
    return QStringLiteral("Is gpsd running?");
}

} // namespace fixwatch
