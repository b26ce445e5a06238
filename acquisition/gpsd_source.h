#pragma once

#include "gpsd_stream.h"
#include "tcp_source.h"

#include <string_view>

namespace fixwatch {

// Receives the NMEA sentences a gpsd passes on ("gpsd on localhost:2947"), so that a
// receiver gpsd holds can be watched without stopping gpsd. On each new connection it asks
// once for the sentences and sends nothing else ever; gpsd's own JSON reports are dropped
// before the text leaves Read(), and the device gpsd names shows in Description().
//
// The devices are those of gpsd's DEVICES report, which answers the request when the
// connection begins. gpsd tells of devices that come later only to clients that ask for
// JSON, which this one never does: such a device shows from the next connection on.
class GpsdSource : public TcpSource {
    Q_OBJECT

public:
    // The one request, sent once per connection.
    static constexpr std::string_view kWatchRequest = "?WATCH={\"enable\":true,\"nmea\":true}\n";

    explicit GpsdSource(NetworkAddress address, QObject* parent = nullptr);

    // "gpsd on localhost:2947 · /dev/ttyACM0"; the name alone while gpsd has named no device.
    QString Description() const override;

protected:
    void Connected(QTcpSocket& socket) override;
    void Received(std::string_view bytes, std::string& text) override;
    QString RefusedAdvice() const override;

private:
    GpsdStream stream_;
};

} // namespace fixwatch
