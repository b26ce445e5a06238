#pragma once

#include "gpsd_stream.h"
#include "tcp_source.h"

namespace fixwatch {

// Receives the NMEA sentences a gpsd passes on ("gpsd on localhost:2947"), so that a
// receiver gpsd holds can be watched without stopping gpsd. The watch is on one device: the
// one the address names (gpsd://localhost/dev/ttyACM0), or else the first gpsd reports, so
// that two receivers never mix into one fix; Description() names it and counts the others.
// Each new connection asks for the watch (twice when gpsd is to choose the device, see
// GpsdStream) and sends nothing else ever; gpsd's own JSON reports are dropped before the
// text leaves Read(). Open() succeeds once gpsd has confirmed the watch, and fails with
// gpsd's words when it refuses it (a device it does not have).
class GpsdSource : public TcpSource {
    Q_OBJECT

public:
    explicit GpsdSource(NetworkAddress address, QObject* parent = nullptr);

    // "gpsd on localhost:2947 · /dev/ttyACM0 · 1 other device"; the name and the device the
    // address names, or the name alone, while gpsd has named none.
    QString Description() const override;

protected:
    void Connected(QTcpSocket& socket) override;
    void Received(std::string_view bytes, std::string& text) override;
    QString RefusedAdvice() const override;
    bool Ready() const override { return stream_.State() == GpsdStream::Watch::Watching; }

private:
    QString device_; // named by the address; empty: the first gpsd has
    GpsdStream stream_;
};

} // namespace fixwatch
