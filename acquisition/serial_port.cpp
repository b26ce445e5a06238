#include "serial_port.h"

#include "newest_text.h"
#include "port_device.h"
#include "text_fields.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <iterator>
#include <utility>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace fixwatch {
namespace {

// Qt's own buffer for received bytes: what arrives while nobody reads beyond it waits in the
// kernel, whose queue is bounded too, so a flooding line cannot grow memory.
constexpr qint64 kReadBufferSize = ReceiverSource::kMaxReadLength;
// One Read drains at most this much from the device; the newest kMaxReadLength are kept.
constexpr std::size_t kMaxDrainPerRead = 4 * ReceiverSource::kMaxReadLength;
// The terminal reports the line readable once this many bytes wait (VMIN, at most 255 as a
// cc_t holds it), rather than at every byte or UART piece: the window reads once a second
// anyway, so each wake-up of the event loop in between only moves bytes into Qt's buffer.
// Read takes the rest from the kernel.
constexpr cc_t kWakeThreshold = 255;
// The line may be left unread for as long as it takes to bring this much, at its baud rate
// and at the pace it has kept since the Read before: three quarters of the terminal's own
// 4 KiB queue, so that nothing is held up or dropped, also from a USB receiver that ignores
// the baud rate. Never longer than kMaxQuietMs, so that a window that stops asking still
// learns of a hang-up.
constexpr qint64 kQuietBytes = 3072;
constexpr qint64 kMaxQuietMs = 2000;
// A line that fills kWakeThreshold faster than this (a 10 Hz receiver at 115200 baud does it
// 40 times a second) is read at most once in this time on its own notice, or in its quiet
// when that is shorter.
constexpr qint64 kReadPauseMs = 250;

// Qt's notifier of the open port's descriptor, which QSerialPort keeps as its child; nothing
// when a Qt version keeps it elsewhere, and the line is then read at every notice as before.
QSocketNotifier* ReadNotifier(QSerialPort& port)
{
    for (QSocketNotifier* notifier : port.findChildren<QSocketNotifier*>(Qt::FindDirectChildrenOnly)) {
        if (notifier->type() == QSocketNotifier::Read)
            return notifier;
    }
    return nullptr;
}

// The error number a plain open of `device` gives now, 0 when it opens.
int OpenError(const QString& device)
{
    const QByteArray path = device.toLocal8Bit();
    const int descriptor = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor == -1)
        return errno;
    ::close(descriptor);
    return 0;
}

} // namespace

QString OpenFailureReason(const QString& device, int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
        return SerialPort::tr("%1 does not exist.").arg(device);
    case EACCES:
    case EPERM:
        return SerialPort::tr("Cannot open %1: permission denied. Add your user to the dialout "
                              "group and log in again.")
            .arg(device);
    case 0: // it opens without Qt's lock, so another program holds that lock
    case EBUSY:
        return SerialPort::tr("%1 is busy: another program (often gpsd) is using it.").arg(device);
    default:
        return SerialPort::tr("Cannot open %1: %2.")
            .arg(device, QString::fromLocal8Bit(std::strerror(error)).toLower());
    }
}

SerialPort::SerialPort(QObject* parent)
    : ReceiverSource(parent)
{
    port_.setReadBufferSize(kReadBufferSize);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPort::OnErrorOccurred);
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::OnReadyRead);
    resume_.setSingleShot(true);
    connect(&resume_, &QTimer::timeout, this, &SerialPort::ResumeReading);
}

SerialPort::~SerialPort()
{
    if (port_.isOpen())
        port_.close();
}

bool SerialPort::SetDevice(const QString& path)
{
    if (port_.isOpen()) {
        reason_ = tr("The device cannot change while the port is open.");
        return false;
    }
    devicePath_ = path;
    return true;
}

bool SerialPort::ParseSettings(std::string_view text, LineSettings& settings, QString& reason)
{
    reason = tr("Unusable line settings \"%1\".")
                 .arg(QString::fromLatin1(text.data(), qsizetype(text.size())));
    auto fields = SplitAt(text, ',');
    if (fields.size() != 4)
        return false;
    for (std::string_view& field : fields)
        field = TrimBlanks(field);

    LineSettings parsed;
    const std::string_view baud = fields[0];
    const auto [end, ec] = std::from_chars(baud.data(), baud.data() + baud.size(), parsed.baudRate);
    if (baud.empty() || ec != std::errc() || end != baud.data() + baud.size() || parsed.baudRate <= 0)
        return false;

    if (fields[1].size() != 1)
        return false;
    switch (fields[1].front()) {
    case 'N':
    case 'n': parsed.parity = QSerialPort::NoParity; break;
    case 'E':
    case 'e': parsed.parity = QSerialPort::EvenParity; break;
    case 'O':
    case 'o': parsed.parity = QSerialPort::OddParity; break;
    case 'M':
    case 'm': parsed.parity = QSerialPort::MarkParity; break;
    case 'S':
    case 's': parsed.parity = QSerialPort::SpaceParity; break;
    default: return false;
    }

    if (fields[2] == "5") parsed.dataBits = QSerialPort::Data5;
    else if (fields[2] == "6") parsed.dataBits = QSerialPort::Data6;
    else if (fields[2] == "7") parsed.dataBits = QSerialPort::Data7;
    else if (fields[2] == "8") parsed.dataBits = QSerialPort::Data8;
    else return false;

    // A UART sends 1.5 stop bits only at 5 data bits, where it is the line's long stop
    // setting (two stop bits in termios). Qt's own one-and-a-half value is not used: on
    // Linux it is accepted and reported back, yet one stop bit goes on the line.
    if (fields[3] == "1") {
        parsed.stopBits = QSerialPort::OneStop;
    } else if (fields[3] == "2") {
        parsed.stopBits = QSerialPort::TwoStop;
    } else if (fields[3] == "1.5") {
        if (parsed.dataBits != QSerialPort::Data5) {
            reason = tr("1.5 stop bits need 5 data bits.");
            return false;
        }
        parsed.stopBits = QSerialPort::TwoStop;
    } else {
        return false;
    }

    settings = parsed;
    reason.clear();
    return true;
}

QString SerialPort::ShortSettings(std::string_view settings)
{
    // "4800,N,8,1" -> "4800 8N1"; a text the port would refuse is shown as it is.
    auto text = [](std::string_view v) { return QString::fromLatin1(v.data(), qsizetype(v.size())); };
    const auto fields = SplitAt(settings, ',');
    if (fields.size() != 4)
        return text(settings);
    return text(TrimBlanks(fields[0])) + QLatin1Char(' ') + text(TrimBlanks(fields[2]))
           + text(TrimBlanks(fields[1])).toUpper() + text(TrimBlanks(fields[3]));
}

bool SerialPort::Settings(std::string_view settings)
{
    LineSettings parsed;
    QString reason;
    if (!ParseSettings(settings, parsed, reason)) {
        reason_ = reason;
        return false;
    }
    settingsText_ = std::string(settings);
    lineSettings_ = parsed;
    if (!port_.isOpen())
        return true;
    applying_ = true;
    const bool applied = ApplyLineSettings();
    ApplyWakeThreshold();
    applying_ = false;
    return applied;
}

void SerialPort::DTREnable(bool enable)
{
    dtrEnable_ = enable;
    if (port_.isOpen()) {
        applying_ = true;
        ApplyModemLines();
        applying_ = false;
    }
}

void SerialPort::RTSEnable(bool enable)
{
    rtsEnable_ = enable;
    if (port_.isOpen()) {
        applying_ = true;
        ApplyModemLines();
        applying_ = false;
    }
}

bool SerialPort::Handshaking(int value)
{
    if (value < 0 || value > 3) {
        reason_ = tr("Unknown handshaking %1.").arg(value);
        return false;
    }
    handshaking_ = value;
    if (!port_.isOpen())
        return true;
    applying_ = true;
    const bool applied = ApplyHandshaking();
    if (applied)
        ApplyModemLines();
    ApplyWakeThreshold();
    applying_ = false;
    return applied;
}

bool SerialPort::IsOpen() const
{
    return port_.isOpen();
}

QString SerialPort::Description() const
{
    return devicePath_ + QStringLiteral(" \u00B7 ") + ShortSettings(settingsText_);
}

void SerialPort::Close()
{
    resume_.stop();
    if (port_.isOpen())
        port_.close();
    received_.clear();
}

bool SerialPort::Reconnect()
{
    // Opening a device never waits for the line, so trying once a tick costs nothing.
    return Open();
}

bool SerialPort::Open()
{
    if (port_.isOpen())
        return true;
    if (devicePath_.isEmpty()) {
        reason_ = tr("No device is set for this port.");
        return false;
    }
    port_.setPortName(devicePath_);
    // open() applies what the object holds without checking it; start from a line every
    // terminal accepts and apply the chosen settings afterwards, one at a time.
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.clearError();
    // Read only: the receiver is never sent anything. Qt takes the device's lock file, so
    // a second program on the same device fails here.
    if (!port_.open(QIODevice::ReadOnly)) {
        port_.clearError();
        const auto notSerial = NotASerialPort(devicePath_);
        reason_ = notSerial ? *notSerial : OpenFailureReason(devicePath_, OpenError(devicePath_));
        return false;
    }
    pseudoTerminal_ = IsPseudoTerminal(devicePath_);
    // What a lost device gave before it went is still handed out at the next Read, also when
    // the device is back by then; Close forgets it.
    sinceRead_.invalidate();
    drainedSinceRead_ = 0;

    applying_ = true;
    const bool applied = ApplyLineSettings() && ApplyHandshaking();
    if (applied) {
        ApplyModemLines();
        ApplyWakeThreshold();
    }
    applying_ = false;
    if (!applied) {
        port_.close();
        return false;
    }
    reason_.clear();
    return true;
}

void SerialPort::ApplyWakeThreshold()
{
    // Reads stay non-blocking (the descriptor is O_NONBLOCK), so VMIN only changes when poll
    // says there is something to read. A device that refuses it is read as before.
    const int descriptor = static_cast<int>(port_.handle());
    termios tio{};
    if (::tcgetattr(descriptor, &tio) != 0 || tio.c_cc[VMIN] == kWakeThreshold)
        return;
    tio.c_cc[VMIN] = kWakeThreshold;
    tio.c_cc[VTIME] = 0;
    ::tcsetattr(descriptor, TCSANOW, &tio);
}

bool SerialPort::Accepted(bool result, const QString& what)
{
    const bool refused = !result || port_.error() != QSerialPort::NoError;
    const QString detail = port_.errorString();
    port_.clearError();
    // A pseudo-terminal keeps its line at 8N1 whatever is asked; only a real line can fail.
    if (!refused || pseudoTerminal_)
        return true;
    reason_ = tr("%1 refused %2: %3.").arg(devicePath_, what, detail);
    return false;
}

bool SerialPort::ApplyLineSettings()
{
    port_.clearError();
    if (!Accepted(port_.setBaudRate(lineSettings_.baudRate),
                  tr("the speed %1").arg(lineSettings_.baudRate)))
        return false;
    if (!Accepted(port_.setDataBits(lineSettings_.dataBits), tr("the data bits")))
        return false;
    if (!Accepted(port_.setParity(lineSettings_.parity), tr("the parity")))
        return false;
    return Accepted(port_.setStopBits(lineSettings_.stopBits), tr("the stop bits"));
}

bool SerialPort::ApplyHandshaking()
{
    static constexpr QSerialPort::FlowControl kFlow[] = {
        QSerialPort::NoFlowControl, QSerialPort::SoftwareControl,
        QSerialPort::HardwareControl, QSerialPort::HardwareControl};
    port_.clearError();
    if (!Accepted(port_.setFlowControl(kFlow[handshaking_]), tr("the handshaking")))
        return false;
    if (handshaking_ != 3)
        return true;
    // Qt offers one kind of flow control at a time; both take the termios flags directly.
    const int descriptor = static_cast<int>(port_.handle());
    termios tio{};
    bool set = ::tcgetattr(descriptor, &tio) == 0;
    if (set) {
        tio.c_iflag |= IXON | IXOFF;
        tio.c_iflag &= ~tcflag_t(IXANY);
        tio.c_cflag |= CRTSCTS;
        set = ::tcsetattr(descriptor, TCSANOW, &tio) == 0;
    }
    if (set || pseudoTerminal_)
        return true;
    reason_ = tr("%1 refused the handshaking: %2.")
                  .arg(devicePath_, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

void SerialPort::ApplyModemLines()
{
    // Devices without modem lines refuse these; the line works all the same.
    port_.clearError();
    port_.setDataTerminalReady(dtrEnable_);
    if (!RtsHandshake())
        port_.setRequestToSend(rtsEnable_);
    port_.clearError();
}

std::string SerialPort::Read()
{
    TakeBuffered();
    QuietWhileSlow();
    std::string text = std::move(received_);
    received_.clear();
    return text;
}

void SerialPort::TakeBuffered()
{
    // Qt fills its buffer from the event loop; what the kernel still holds is fetched here
    // too, straight from the descriptor (poll would not report fewer than kWakeThreshold
    // bytes), so a poll returns everything received up to now, within a bound: a line that
    // delivers faster than it can be shown gives its newest text.
    if (!port_.isOpen())
        return;
    // A device that went away is left to Qt's own read, which reports it as the error that
    // closes the port (OnErrorOccurred).
    if (!Drain())
        port_.waitForReadyRead(0);
}

bool SerialPort::Drain()
{
    const QByteArray buffered = port_.readAll();
    std::size_t drained = static_cast<std::size_t>(buffered.size());
    Keep(buffered);
    const int descriptor = static_cast<int>(port_.handle());
    char chunk[4096];
    bool failed = false;
    while (drained < kMaxDrainPerRead) {
        const ssize_t n = ::read(descriptor, chunk, sizeof chunk);
        if (n > 0) {
            drained += static_cast<std::size_t>(n);
            Keep(std::string_view(chunk, static_cast<std::size_t>(n)));
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

qint64 SerialPort::QuietMs() const
{
    // Ten bits a character with start and stop bits: a line brings at most baud / 10 bytes a second.
    return std::min(kMaxQuietMs, kQuietBytes * 10 * 1000 / std::max<qint64>(lineSettings_.baudRate, 1));
}

void SerialPort::QuietWhileSlow()
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
        PauseReading(quiet);
}

void SerialPort::OnReadyRead()
{
    // Qt takes what one read of the terminal gives (64 bytes of a pseudo-terminal), and the
    // rest left in the kernel wakes the loop again at once. Emptying the kernel's queue here
    // leaves the next wake-up to kWakeThreshold new bytes. Once the newest kMaxReadLength are
    // held, nothing more is read until the window asks: a flood waits in the kernel.
    if (received_.size() < kMaxReadLength)
        TakeBuffered();
    // The window shows nothing of it before its next tick, so a fast line need not wake the
    // loop at every kWakeThreshold bytes.
    const qint64 pause = std::min(kReadPauseMs, QuietMs());
    if (sinceDrained_.isValid() && sinceDrained_.elapsed() < pause)
        PauseReading(pause - sinceDrained_.elapsed());
    sinceDrained_.start();
}

void SerialPort::PauseReading(qint64 milliseconds)
{
    QSocketNotifier* notifier = ReadNotifier(port_);
    if (notifier == nullptr)
        return;
    // Any read through the port (Read at the tick) starts its notices again.
    notifier->setEnabled(false);
    resume_.start(static_cast<int>(milliseconds));
}

void SerialPort::ResumeReading()
{
    // Reading through the port starts its notices again; what waited is taken now.
    if (!port_.isOpen())
        return;
    if (received_.size() < kMaxReadLength)
        TakeBuffered();
    else if (QSocketNotifier* notifier = ReadNotifier(port_))
        notifier->setEnabled(true);
    sinceDrained_.start();
}

void SerialPort::Keep(const QByteArray& bytes)
{
    Keep(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void SerialPort::Keep(std::string_view more)
{
    std::string withoutNuls;
    if (nullDiscard_) {
        std::remove_copy(more.begin(), more.end(), std::back_inserter(withoutNuls), '\0');
        more = withoutNuls;
    }
    AppendNewest(received_, more, kMaxReadLength);
}

void SerialPort::OnErrorOccurred(QSerialPort::SerialPortError error)
{
    if (applying_ || !port_.isOpen())
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    // Qt keeps a vanished device open and repeats the error in a busy loop until it is
    // closed, so the first one closes it; but a notice whose bytes a Read took in the
    // meantime reaches Qt as a failed read too, and the line is still there.
    if (StillAnswers()) {
        port_.clearError();
        if (QSocketNotifier* notifier = ReadNotifier(port_); notifier != nullptr && !resume_.isActive())
            notifier->setEnabled(true);
        return;
    }
    CloseLostDevice();
}

bool SerialPort::StillAnswers()
{
    // A device that went away is hung up; one that is there has bytes to give or none yet.
    const int descriptor = static_cast<int>(port_.handle());
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
    return Drain();
}

void SerialPort::CloseLostDevice()
{
    resume_.stop();
    Keep(port_.readAll());
    port_.close();
    port_.clearError();
    reason_ = tr("%1 went away.").arg(devicePath_);
    emit Lost(reason_);
}

} // namespace fixwatch
