#include "serial_port.h"

#include "acquisition_log.h"
#include "port_device.h"
#include "text_fields.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace fixwatch {
namespace {

// Qt's own buffer for received bytes: what arrives while nobody reads beyond it waits in the
// kernel, whose queue is bounded too, so a flooding line cannot grow memory.
constexpr qint64 kReadBufferSize = ReceiverSource::kMaxReadLength;
// One Read drains at most this much from the device; the newest lines are kept.
constexpr std::size_t kMaxDrainPerRead = 4 * ReceiverSource::kMaxReadLength;

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
    line_.BaudRate(lineSettings_.baudRate);
    line_.RaiseWakeThreshold();
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
    handshaking_ = static_cast<Handshake>(value);
    if (!port_.isOpen())
        return true;
    applying_ = true;
    const bool applied = ApplyHandshaking();
    if (applied)
        ApplyModemLines();
    line_.RaiseWakeThreshold();
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
    line_.StopPause();
    if (port_.isOpen()) {
        const std::size_t unread = line_.DiscardUnread() + received_.Size();
        port_.close();
        qCDebug(lcAcquisition).noquote() << "closed" << devicePath_ << "discarding" << unread << "unread bytes";
    }
    received_.Clear();
}

bool SerialPort::Open()
{
    return OpenLine(true);
}

bool SerialPort::Reconnect()
{
    // Opening a device never waits for the line, so trying once a tick costs nothing. What
    // the receiver sends once it is back is news, and what a lost device gave before it
    // went is still handed out at the next Read.
    return OpenLine(false);
}

bool SerialPort::OpenLine(bool fresh)
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
    line_.Opened(lineSettings_.baudRate);
    // A terminal keeps what came while nobody had it open: from before a Stop, or sent to
    // a line nobody listened to. A new run shows none of it.
    if (fresh) {
        const std::size_t unread = line_.DiscardUnread() + received_.Size();
        received_.Clear();
        if (unread > 0)
            qCDebug(lcAcquisition).noquote() << "discarded" << unread << "bytes that came before" << devicePath_
                                             << "was opened";
    }

    applying_ = true;
    const bool applied = ApplyLineSettings() && ApplyHandshaking();
    if (applied) {
        ApplyModemLines();
        line_.RaiseWakeThreshold();
    }
    applying_ = false;
    if (!applied) {
        port_.close();
        return false;
    }
    reason_.clear();
    qCDebug(lcAcquisition).noquote() << (fresh ? "opened" : "reopened") << devicePath_
                                     << ShortSettings(settingsText_) << "handshaking"
                                     << static_cast<int>(handshaking_) << "DTR" << dtrEnable_ << "RTS"
                                     << rtsEnable_ << "NUL discard" << nullDiscard_;
    return true;
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
    if (!Accepted(port_.setFlowControl(kFlow[static_cast<int>(handshaking_)]), tr("the handshaking")))
        return false;
    // Qt offers one kind of flow control at a time; both take the terminal's flags directly.
    if (handshaking_ != Handshake::Both || line_.BothFlowControls() || pseudoTerminal_)
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
    line_.QuietAfterRead();
    return received_.Take();
}

bool SerialPort::TakeBuffered()
{
    // Qt fills its buffer from the event loop; what the kernel still holds is fetched here
    // too, so a poll returns everything received up to now, within a bound.
    if (!port_.isOpen())
        return false;
    if (line_.Drain(kMaxDrainPerRead, [this](std::string_view bytes) { Keep(bytes); }))
        return true;
    // A device that went away is left to Qt's own read, which reports it as the error that
    // closes the port (OnErrorOccurred).
    port_.waitForReadyRead(0);
    return false;
}

void SerialPort::OnReadyRead()
{
    // Qt takes what one read of the terminal gives (64 bytes of a pseudo-terminal), and the
    // rest left in the kernel wakes the loop again at once. Emptying the kernel's queue here
    // leaves the next wake-up to the terminal's threshold. Once kMaxReadLength is held,
    // nothing more is read until the window asks: a flood waits in the kernel.
    if (received_.Size() < kMaxReadLength)
        TakeBuffered();
    line_.PaceNotices();
}

void SerialPort::ResumeReading()
{
    // Reading through the port starts its notices again; what waited is taken now.
    if (!port_.isOpen())
        return;
    if (received_.Size() < kMaxReadLength)
        TakeBuffered();
    line_.ResumeNotices();
}

void SerialPort::Keep(std::string_view more)
{
    std::string withoutNuls;
    if (nullDiscard_) {
        std::remove_copy(more.begin(), more.end(), std::back_inserter(withoutNuls), '\0');
        more = withoutNuls;
    }
    const std::uint64_t droppedBefore = received_.Dropped();
    received_.Append(more);
    if (received_.Dropped() != droppedBefore)
        qCDebug(lcAcquisition).noquote() << devicePath_ << "dropped" << received_.Dropped() - droppedBefore
                                         << "bytes in whole lines: the window reads slower than they come";
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
    if (line_.StillAnswers(kMaxDrainPerRead, [this](std::string_view bytes) { Keep(bytes); })) {
        port_.clearError();
        if (!line_.Paused())
            line_.ResumeNotices();
        return;
    }
    CloseLostDevice();
}

void SerialPort::CloseLostDevice()
{
    line_.StopPause();
    const QByteArray rest = port_.readAll();
    Keep(std::string_view(rest.constData(), static_cast<std::size_t>(rest.size())));
    port_.close();
    port_.clearError();
    reason_ = tr("%1 went away.").arg(devicePath_);
    qCDebug(lcAcquisition).noquote() << devicePath_ << "lost";
    emit Lost(reason_);
}

} // namespace fixwatch
