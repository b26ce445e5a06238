#pragma once

#include "port_list.h"
#include "receiver_source.h"
#include "replay_control.h"
#include "serial_port.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace fixwatch {

// The window's communications control. Its operations keep the names and the order of use
// of a classic serial control: the caller writes CommPort, Settings, DTREnable, RTSEnable,
// NullDiscard and Handshaking to a closed port, then PortOpen(true); it polls Input;
// PortOpen(false) closes. At PortOpen(true) the port number becomes a source through the
// port list: a serial device (which takes the line settings) or a network source (which
// ignores them). The window talks to this control and, for what it shows, to the source.
//
// When the open source goes away, the control is Lost: PortOpen() is false, Input gives
// nothing, and Reconnect tries to open the same source again; PortOpen(false) ends that.
class CommControl : public QObject {
    Q_OBJECT

public:
    enum class State {
        Closed,
        Open,
        Lost,
    };

    explicit CommControl(QObject* parent = nullptr);
    ~CommControl() override;

    // Kept for the caller; reading is done by polling and bounded by the source.
    void InBufferSize(int size) { inBufferSize_ = size; }
    int InBufferSize() const { return inBufferSize_; }
    void RThreshold(int count) { rThreshold_ = count; }
    int RThreshold() const { return rThreshold_; }

    // Port number 1..255; false for another number or while the port is open.
    bool CommPort(int port);
    int CommPort() const { return commPort_; }

    // The line settings of a serial device, see SerialPort.
    bool Settings(std::string_view settings);
    std::string Settings() const { return serial_.Settings(); }
    void DTREnable(bool enable) { serial_.DTREnable(enable); }
    void RTSEnable(bool enable) { serial_.RTSEnable(enable); }
    void NullDiscard(bool discard) { serial_.NullDiscard(discard); }
    bool Handshaking(int value);

    // True exactly while a source is open.
    bool PortOpen() const;
    // true: takes the port list again and opens what port CommPort stands for; false when
    // it cannot (Reason() says why). Opening an open port changes nothing and succeeds.
    // false: closes, also a lost source (which ends the reconnecting); false when nothing
    // was open or lost.
    bool PortOpen(bool open);

    // Everything received and not yet read; empty when none or when not open.
    std::string Input();
    // Bytes the open or lost source threw away unread, see ReceiverSource::Dropped.
    std::uint64_t Dropped() const { return source_ != nullptr ? source_->Dropped() : 0; }

    State LinkState() const { return state_; }
    // While lost: one attempt to open the same source again, never blocking; true when it
    // is back.
    bool Reconnect();

    // Why the last open failed, or why the source was lost, in the user's words.
    QString Reason() const { return reason_; }
    // The open (or lost) source's name, e.g. "/dev/ttyUSB0"; empty when closed.
    QString SourceName() const;
    // What the status bar shows as the source: the open or lost source's description, or,
    // when closed, what port `port` with line settings `settings` would open now
    // ("/dev/ttyUSB0 · 4800 8N1").
    QString SourceDescription(int port, std::string_view settings) const;

    // A recording that port `port` plays instead of what it names, until the port number
    // changes; an empty path goes back to the port's own source.
    void PlayRecording(int port, const QString& path);
    QString Recording() const { return recording_; }
    int RecordingPort() const { return recordingPort_; }
    // The replay controls of the open or lost source when it plays a recording, or null.
    ReplayControl* Replay() const { return dynamic_cast<ReplayControl*>(source_); }
    // The clock a recording is played by from the next open on, in milliseconds from any
    // fixed moment; empty for the steady clock. A seam for tests and tools.
    void ReplayClock(std::function<std::int64_t()> clock) { replayClock_ = std::move(clock); }

    PortList& Ports() { return ports_; }
    const PortList& Ports() const { return ports_; }

signals:
    // The open source went away; emitted once per loss.
    void SourceLost(const QString& reason);

private:
    void OnLost(const QString& reason);

    PortList ports_;
    SerialPort serial_;
    std::unique_ptr<ReceiverSource> network_;
    ReceiverSource* source_ = nullptr; // the open or lost source: &serial_ or network_
    std::function<std::int64_t()> replayClock_;
    QString recording_; // chosen with PlayRecording for recordingPort_
    int recordingPort_ = 0;
    QString reason_;
    State state_ = State::Closed;
    int commPort_ = 1;
    int inBufferSize_ = 1024;
    int rThreshold_ = 0;
};

} // namespace fixwatch
