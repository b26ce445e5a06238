#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <string>
#include <string_view>

namespace fixwatch {

// Splits what a gpsd sends into the NMEA sentences it passes on and its own JSON reports
// (VERSION, DEVICES, WATCH, ERROR, ...: every line that starts with '{'). Sentences and any
// other lines go on byte for byte, CR LF kept; JSON lines never do, also when a read splits
// them. A JSON line is kept, up to a bound, only to learn the devices gpsd reads from.
class GpsdStream {
public:
    // A longer JSON line is dropped unread; gpsd's reports are far shorter.
    static constexpr std::size_t kMaxJsonLine = 16384;
    // Devices beyond this many are not listed.
    static constexpr qsizetype kMaxDevices = 32;
    // A longer device path is cut, ending in "…".
    static constexpr qsizetype kMaxPathLength = 96;

    // Appends to `text` the part of `bytes` that is not gpsd's own.
    void Take(std::string_view bytes, std::string& text);
    // A new connection begins: nothing of the last one counts, its devices neither.
    void Reset();

    // The paths of the devices gpsd reports as active, made fit to show.
    const QStringList& Devices() const { return devices_; }
    // "/dev/ttyACM0", "/dev/ttyACM0 and 2 more", or empty while gpsd has named none.
    QString DevicesText() const;

    // A path received from the network as it may be shown: control, format and line
    // separator characters dropped (they could rewrite or reorder the status text), blanks
    // around it trimmed, and at most kMaxPathLength characters.
    static QString ShownPath(const QString& path);

private:
    enum class Line { Start, Passed, Json, OverlongJson };

    void HandleJson();

    Line line_ = Line::Start;
    std::string json_; // the JSON line being received
    QStringList devices_;
};

} // namespace fixwatch
