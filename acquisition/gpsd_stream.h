#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace fixwatch {

// Splits what a gpsd sends into the NMEA sentences it passes on and its own JSON reports
// (VERSION, DEVICES, WATCH, ERROR, ...: every line that starts with '{'), and keeps the
// watch on one device.
//
// gpsd passes on the sentences of every device a watcher watches without saying which one
// sent them, so two receivers would mix into one fix. The watch therefore always names one
// device: the one the address names, or else the first of gpsd's DEVICES report, asked for
// in a second request. Sentences pass only once gpsd has confirmed that watch; byte for
// byte, CR LF kept. JSON lines never pass, also when a read splits them; one is kept, up to
// a bound, only to follow the watch and the devices gpsd has.
class GpsdStream {
public:
    // A longer JSON line is dropped unread; gpsd's reports are far shorter.
    static constexpr std::size_t kMaxJsonLine = 16384;
    // Devices beyond this many are not counted.
    static constexpr qsizetype kMaxDevices = 32;
    // A longer device path or gpsd message is cut, ending in "…".
    static constexpr qsizetype kMaxPathLength = 96;

    enum class Watch {
        Asked,    // the first request went out; nothing passes yet
        Choosing, // the request for the first device went out; nothing passes yet
        Watching, // gpsd confirmed the watch: sentences pass
        Refused,  // gpsd answered the watch with an error
    };

    // The request that starts a watch of `device`, of every device when it is empty:
    // ?WATCH={"device":"/dev/ttyACM0","enable":true,"nmea":true} and a line end. The path
    // is JSON-escaped, so no text of it can end the request or start another.
    static std::string WatchRequest(const QString& device = {});

    // A new connection begins, on which the request for `device` (empty: the first gpsd
    // has) was sent: nothing of the last connection counts, its devices neither.
    void Reset(const QString& device = {});
    // Appends to `text` the part of `bytes` that is sentences of the watched device.
    void Take(std::string_view bytes, std::string& text);
    // A request the watch needs sent now (the one for the first device), once; else empty.
    std::string TakeRequest() { return std::exchange(request_, {}); }

    Watch State() const { return watch_; }
    // What gpsd said when it refused the watch, made fit to show.
    const QString& Refusal() const { return refusal_; }
    // The device watched or asked for, as gpsd names it; empty while none is chosen.
    const QString& Device() const { return device_; }
    // The paths of the devices gpsd reports as active, as it sends them.
    const QStringList& Devices() const { return devices_; }
    // "/dev/ttyACM0", "/dev/ttyACM0 · 1 other device", "/dev/pts/1 · 2 other devices", made
    // fit to show; empty while no device is chosen.
    QString DevicesText() const;

    // A path received from the network as it may be shown: control, format and line
    // separator characters dropped (they could rewrite or reorder the status text), blanks
    // around it trimmed, and at most kMaxPathLength characters.
    static QString ShownPath(const QString& path);

private:
    enum class Line {
        Start,
        Passed,
        Dropped,
        Json,
        OverlongJson,
    };

    void HandleJson();
    void ChooseDevice();

    Line line_ = Line::Start;
    Watch watch_ = Watch::Asked;
    bool named_ = false; // the address named the device
    std::string json_;   // the JSON line being received
    std::string request_;
    QString device_;
    QString refusal_;
    QStringList devices_;
};

} // namespace fixwatch
