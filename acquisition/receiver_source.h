#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fixwatch {

// One place that received NMEA text comes from: a serial device, a gpsd, a TCP server or
// UDP datagrams. Receive only: a source never sends the receiver anything (a gpsd is asked
// once per connection to pass its sentences on). The window polls Read() once a tick, so
// everything after it (line assembly, interpreter, display, logger) is the same whatever
// the source.
//
// What a source receives is untrusted: it is handed out as bytes, bounded in memory, and
// never interpreted here beyond what the source's own protocol needs.
class ReceiverSource : public QObject {
    Q_OBJECT

public:
    // The most text one Read hands out; when more arrived since the last Read, the newest
    // text wins and the oldest is dropped. A recording played as fast as possible, which
    // drops nothing, may hand out more (FileSource::kFastReadLength).
    static constexpr std::size_t kMaxReadLength = 65536;

    using QObject::QObject;
    ~ReceiverSource() override = default;

    // Opens the device, connects or binds, waiting a bounded time for the answer. False
    // when it cannot; Reason() then says why.
    virtual bool Open() = 0;
    // While lost: starts or continues one attempt to open the same source again, without
    // blocking the window. True once the source is open again.
    virtual bool Reconnect() = 0;
    // Text received since the last Read, one byte per character (ISO-8859-1), oldest
    // first, at most kMaxReadLength characters. Empty when nothing arrived or when closed.
    virtual std::string Read() = 0;
    // Closes; a source that is not open stays closed. Ends any reconnecting.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Bytes received and thrown away unread since the source was made, because they came
    // faster than Read was called. A source that drops text drops whole lines, and the Read
    // after a drop begins where a line begins: the unfinished line before it is gone.
    virtual std::uint64_t Dropped() const { return 0; }

    // Why the last Open failed or why the source was lost, as one sentence in the user's
    // words, e.g. "Cannot connect to gpsd on localhost:2947: connection refused. Is gpsd
    // running?".
    virtual QString Reason() const = 0;
    // The source in a few words, e.g. "/dev/ttyUSB0", "gpsd on localhost:2947",
    // "tcp 192.168.1.10:10110", "udp :10110".
    virtual QString Name() const = 0;
    // The name with what else the user should see: the line settings of a serial device
    // ("/dev/ttyUSB0 · 4800 8N1"), the device a gpsd reports ("gpsd on localhost:2947 ·
    // /dev/ttyACM0").
    virtual QString Description() const = 0;

signals:
    // The open source went away (a device unplugged, a connection dropped). Emitted once
    // per loss; the source is closed by then and Reconnect() tries to get it back.
    void Lost(const QString& reason);
};

} // namespace fixwatch
