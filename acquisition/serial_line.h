#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <string_view>

class QSerialPort;
class QSocketNotifier;

namespace fixwatch {

// The handshaking a serial line is opened with, by the number the settings store.
enum class Handshake {
    None = 0,
    XonXoff = 1,
    RtsCts = 2,
    Both = 3, // XON/XOFF and RTS/CTS together, which Qt does not offer on its own
};

// The open descriptor of one QSerialPort, for what Qt does not do itself: emptying the
// kernel's queue, waking the event loop less often on a fast line, leaving a slow line to the
// kernel between reads, both kinds of flow control at once, telling a stale notice from a
// lost device, and discarding what nobody read. Every call on the descriptor lives here.
//
// The line is the port's: it is valid while the port is open and does nothing otherwise.
class SerialLine {
public:
    // What Drain hands out, in arrival order.
    using Sink = std::function<void(std::string_view bytes)>;

    // `resume` is called when a pause in reading the line ends.
    SerialLine(QSerialPort& port, std::function<void()> resume);

    // Forgets the pace of the line: a new run starts here.
    void Opened(qint32 baudRate);
    void BaudRate(qint32 baudRate) { baudRate_ = baudRate; }

    // Throws away what the kernel holds for the line and nobody read: at Stop, and at the
    // next open, bytes that came before are not news. How many bytes went.
    std::size_t DiscardUnread();

    // Reports the line readable once kWakeThreshold bytes wait rather than at every byte.
    void RaiseWakeThreshold();
    // Switches XON/XOFF and RTS/CTS on together; false when the device refuses.
    bool BothFlowControls();

    // Takes Qt's buffer, then what the kernel holds, up to `limit` bytes in all, into `sink`;
    // false when the device failed to give bytes (an end of file, or an error other than
    // "nothing now").
    bool Drain(std::size_t limit, const Sink& sink);
    // Whether the device is still there after Qt reported a failed read; bytes that came
    // meanwhile go to `sink`.
    bool StillAnswers(std::size_t limit, const Sink& sink);

    // After a Read: leaves a slow line to the kernel until about the next one.
    void QuietAfterRead();
    // After the line was read on its own notice: a fast line is read at most every
    // kReadPauseMs.
    void PaceNotices();
    // Reading on notices again, at once.
    void ResumeNotices();
    // Stops a pause (the port closes).
    void StopPause() { resume_.stop(); }
    bool Paused() const { return resume_.isActive(); }

    // How long the line may be left to the kernel at its baud rate.
    qint64 QuietMs() const;

    // The terminal reports the line readable once this many bytes wait (VMIN, at most 255
    // as a cc_t holds it).
    static constexpr int kWakeThreshold = 255;
    // A line that fills kWakeThreshold faster than this is read at most once in this time on
    // its own notice, or in its quiet when that is shorter.
    static constexpr qint64 kReadPauseMs = 250;

private:
    int Descriptor() const;
    QSocketNotifier* ReadNotifier() const;
    void PauseNotices(qint64 milliseconds);

    QSerialPort& port_;
    qint32 baudRate_ = 9600;
    QTimer resume_;
    QElapsedTimer sinceDrained_;       // since the line was last read on its own notice
    QElapsedTimer sinceRead_;          // since the last Read
    std::size_t drainedSinceRead_ = 0; // bytes taken from the device since then
};

} // namespace fixwatch
