#include "gpsd_source.h"

#include <QTcpSocket>

#include <utility>

namespace fixwatch {

GpsdSource::GpsdSource(NetworkAddress address, QObject* parent)
    : TcpSource(address, parent), device_(std::move(address.device))
{
}

QString GpsdSource::Description() const
{
    const QString devices = stream_.DevicesText();
    if (!devices.isEmpty())
        return Name() + QStringLiteral(" \u00B7 ") + devices;
    if (!device_.isEmpty())
        return Name() + QStringLiteral(" \u00B7 ") + GpsdStream::ShownPath(device_);
    return Name();
}

void GpsdSource::Connected(QTcpSocket&)
{
    stream_.Reset(device_);
    Send(GpsdStream::WatchRequest(device_));
}

void GpsdSource::Received(std::string_view bytes, std::string& text)
{
    stream_.Take(bytes, text);
    if (stream_.State() == GpsdStream::Watch::Refused) {
        const QString device = GpsdStream::ShownPath(stream_.Device());
        QString refusal = stream_.Refusal();
        while (refusal.endsWith(u'.'))
            refusal.chop(1);
        Refuse(device.isEmpty()
                   ? QStringLiteral("%1 refused to pass on sentences: %2.").arg(Name(), refusal)
                   : QStringLiteral("%1 refused to watch %2: %3.").arg(Name(), device, refusal));
        return;
    }
    Send(stream_.TakeRequest());
}

QString GpsdSource::RefusedAdvice() const
{
    return QStringLiteral("Is gpsd running?");
}

} // namespace fixwatch
