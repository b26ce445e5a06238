#include "serial_line.h"

#include <QSerialPort>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace fixwatch {
namespace {

// The line may be left unread for as long as it takes to bring this much, at its baud rate
// and at the pace it has kept since the Read before: three quarters of the terminal's own
// 4 KiB queue, so that nothing is held up or dropped, also from a USB receiver that ignores
// the baud rate. Never longer than kMaxQuietMs, so that a window that stops asking still
// learns of a hang-up.
constexpr qint64 kQuietBytes = 3072;
constexpr qint64 kMaxQuietMs = 2000;

} // namespace

SerialLine::SerialLine(QSerialPort& port, std::function<void()> resume)
    : port_(port)
{
    resume_.setSingleShot(true);
    QObject::connect(&resume_, &QTimer::timeout, [resume = std::move(resume)] {
        if (resume)
            resume();
    });
}

int SerialLine::Descriptor() const
{
    return port_.isOpen() ? static_cast<int>(port_.handle()) : -1;
}

void SerialLine::Opened(qint32 baudRate)
{
    baudRate_ = baudRate;
    resume_.stop();
    sinceRead_.invalidate();
    sinceDrained_.invalidate();
    drainedSinceRead_ = 0;
}

std::size_t SerialLine::DiscardUnread()
{
    const int descriptor = Descriptor();
    if (descriptor == -1)
        return 0;
    int waiting = 0;
    if (::ioctl(descriptor, FIONREAD, &waiting) != 0)
        waiting = 0;
    ::tcflush(descriptor, TCIFLUSH);
    return static_cast<std::size_t>(std::max(waiting, 0));
}

void SerialLine::RaiseWakeThreshold()
{
    // Reads stay non-blocking (the descriptor is O_NONBLOCK), so VMIN only changes when poll
    // says there is something to read: the window reads once a second anyway, so each
    // wake-up of the event loop in between would only move bytes into Qt's buffer. A device
    // that refuses it is read as before.
    const int descriptor = Descriptor();
    termios tio{};
    if (descriptor == -1 || ::tcgetattr(descriptor, &tio) != 0 || tio.c_cc[VMIN] == kWakeThreshold)
        return;
    tio.c_cc[VMIN] = kWakeThreshold;
    tio.c_cc[VTIME] = 0;
    ::tcsetattr(descriptor, TCSANOW, &tio);
}

bool SerialLine::BothFlowControls()
{
    const int descriptor = Descriptor();
    termios tio{};
    if (descriptor == -1 || ::tcgetattr(descriptor, &tio) != 0)
        return false;
    tio.c_iflag |= IXON | IXOFF;
    tio.c_iflag &= ~tcflag_t(IXANY);
    tio.c_cflag |= CRTSCTS;
    return ::tcsetattr(descriptor, TCSANOW, &tio) == 0;
}

bool SerialLine::Drain(std::size_t limit, const Sink& sink)
{
    const QByteArray buffered = port_.readAll();
    std::size_t drained = static_cast<std::size_t>(buffered.size());
    sink(std::string_view(buffered.constData(), drained));
    // The kernel's queue is read straight from the descriptor: poll would not report fewer
    // than kWakeThreshold bytes.
    const int descriptor = Descriptor();
    char chunk[4096];
    bool failed = false;
    while (descriptor != -1 && drained < limit) {
        const ssize_t n = ::read(descriptor, chunk, sizeof chunk);
        if (n > 0) {
            drained += static_cast<std::size_t>(n);
            sink(std::string_view(chunk, static_cast<std::size_t>(n)));
        } else if (n == -1 && errno == EINTR) {
            continue;
        } else {
            // Nothing more for now, or an end or error of the device.
            failed = n == 0 || errno != EAGAIN;
            break;
        }
    }
    drainedSinceRead_ += drained;
    return !failed;
}

bool SerialLine::StillAnswers(std::size_t limit, const Sink& sink)
{
    // A device that went away is hung up; one that is there has bytes to give or none yet.
    const int descriptor = Descriptor();
    if (descriptor == -1)
        return false;
    pollfd line{descriptor, POLLIN, 0};
    while (::poll(&line, 1, 0) == -1) {
        if (errno != EINTR)
            return false;
    }
    if ((line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
        return false;
    if ((line.revents & POLLIN) == 0)
        return true;
    // Bytes came since: a device that fails to give them is gone.
    return Drain(limit, sink);
}

qint64 SerialLine::QuietMs() const
{
    // Ten bits a character with start and stop bits: a line brings at most baud / 10 bytes a second.
    return std::min(kMaxQuietMs, kQuietBytes * 10 * 1000 / std::max<qint64>(baudRate_, 1));
}

void SerialLine::QuietAfterRead()
{
    // A slow line (up to 19200 baud its quiet covers a tick) is read only when the window
    // asks: no notice wakes the loop before the next Read. A line whose pace is not known
    // yet, or that has sent nothing, is read at its notices.
    const qint64 elapsed = sinceRead_.isValid() ? sinceRead_.restart() : 0;
    if (!sinceRead_.isValid())
        sinceRead_.start();
    const auto drained = static_cast<qint64>(std::exchange(drainedSinceRead_, 0));
    if (!port_.isOpen() || drained == 0 || elapsed == 0)
        return;
    const qint64 quiet = std::min(QuietMs(), kQuietBytes * elapsed / drained);
    if (quiet >= kReadPauseMs)
        PauseNotices(quiet);
}

void SerialLine::PaceNotices()
{
    // The window shows nothing of it before its next tick, so a fast line need not wake the
    // loop at every kWakeThreshold bytes.
    const qint64 pause = std::min(kReadPauseMs, QuietMs());
    if (sinceDrained_.isValid() && sinceDrained_.elapsed() < pause)
        PauseNotices(pause - sinceDrained_.elapsed());
    sinceDrained_.start();
}

void SerialLine::ResumeNotices()
{
    if (QSocketNotifier* notifier = ReadNotifier())
        notifier->setEnabled(true);
    sinceDrained_.start();
}

QSocketNotifier* SerialLine::ReadNotifier() const
{
    // Qt's notifier of the open port's descriptor, which QSerialPort keeps as its child;
    // nothing when a Qt version keeps it elsewhere, and the line is then read at every
    // notice.
    for (QSocketNotifier* notifier : port_.findChildren<QSocketNotifier*>(Qt::FindDirectChildrenOnly)) {
        if (notifier->type() == QSocketNotifier::Read)
            return notifier;
    }
    return nullptr;
}

void SerialLine::PauseNotices(qint64 milliseconds)
{
    QSocketNotifier* notifier = ReadNotifier();
    if (notifier == nullptr)
        return;
    // Any read through the port (Read at the tick) starts its notices again.
    notifier->setEnabled(false);
    resume_.start(static_cast<int>(milliseconds));
}

} // namespace fixwatch
