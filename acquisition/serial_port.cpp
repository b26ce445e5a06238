#include "serial_port.h"

#include "port_device.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include <sys/ioctl.h>
#include <termios.h>

namespace fixwatch {
namespace {

constexpr int kLowestPort = 1;
constexpr int kHighestPort = 255;
// Enough to empty the kernel's queue at any line speed without risking an endless loop.
constexpr int kMaxReadsPerInput = 256;

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// Bytes the kernel holds for the descriptor; 0 when there are none or it cannot tell.
int BytesWaiting(int descriptor)
{
    int count = 0;
    if (descriptor < 0 || ::ioctl(descriptor, FIONREAD, &count) == -1)
        return 0;
    return count;
}

} // namespace

SerialPort::SerialPort(QObject* parent)
    : QObject(parent)
{
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPort::OnErrorOccurred);
}

SerialPort::~SerialPort()
{
    if (port_.isOpen())
        port_.close();
}

bool SerialPort::CommPort(int port)
{
    if (port_.isOpen()) {
        errorText_ = tr("The port number cannot change while the port is open");
        return false;
    }
    if (port < kLowestPort || port > kHighestPort) {
        errorText_ = tr("There is no port %1").arg(port);
        return false;
    }
    commPort_ = port;
    return true;
}

bool SerialPort::ParseSettings(std::string_view text, LineSettings& settings)
{
    std::string_view fields[4];
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        if (count == 4)
            return false;
        fields[count++] = TrimBlanks(text.substr(start, comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (count != 4)
        return false;

    LineSettings parsed;
    const std::string_view baud = fields[0];
    const auto [end, ec] = std::from_chars(baud.data(), baud.data() + baud.size(), parsed.baudRate);
    if (baud.empty() || ec != std::errc() || end != baud.data() + baud.size() || parsed.baudRate <= 0)
        return false;

    if (fields[1].size() != 1)
        return false;
    switch (fields[1].front()) {
    case 'N': case 'n': parsed.parity = QSerialPort::NoParity; break;
    case 'E': case 'e': parsed.parity = QSerialPort::EvenParity; break;
    case 'O': case 'o': parsed.parity = QSerialPort::OddParity; break;
    case 'M': case 'm': parsed.parity = QSerialPort::MarkParity; break;
    case 'S': case 's': parsed.parity = QSerialPort::SpaceParity; break;
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
    if (fields[3] == "1")
        parsed.stopBits = QSerialPort::OneStop;
    else if (fields[3] == "2")
        parsed.stopBits = QSerialPort::TwoStop;
    else if (fields[3] == "1.5" && parsed.dataBits == QSerialPort::Data5)
        parsed.stopBits = QSerialPort::TwoStop;
    else
        return false;

    settings = parsed;
    return true;
}

bool SerialPort::Settings(std::string_view settings)
{
    LineSettings parsed;
    if (!ParseSettings(settings, parsed)) {
        errorText_ = tr("Unusable line settings \"%1\"")
                         .arg(QString::fromLatin1(settings.data(), qsizetype(settings.size())));
        return false;
    }
    settingsText_ = std::string(settings);
    lineSettings_ = parsed;
    if (!port_.isOpen())
        return true;
    applying_ = true;
    const bool applied = ApplyLineSettings();
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
        errorText_ = tr("Unknown handshaking %1").arg(value);
        return false;
    }
    handshaking_ = value;
    if (!port_.isOpen())
        return true;
    applying_ = true;
    const bool applied = ApplyHandshaking();
    if (applied)
        ApplyModemLines();
    applying_ = false;
    return applied;
}

bool SerialPort::PortOpen() const
{
    return port_.isOpen();
}

bool SerialPort::PortOpen(bool open)
{
    if (open)
        return port_.isOpen() || Open();
    if (!port_.isOpen()) {
        errorText_ = tr("The port is not open");
        return false;
    }
    port_.close();
    received_.clear();
    return true;
}

bool SerialPort::Open()
{
    devicePath_ = DeviceForPort(commPort_);
    if (devicePath_.isEmpty()) {
        errorText_ = tr("No device is set for port %1").arg(commPort_);
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
        errorText_ = tr("Cannot open %1: %2").arg(devicePath_, port_.errorString());
        port_.clearError();
        return false;
    }
    pseudoTerminal_ = IsPseudoTerminal(devicePath_);
    received_.clear();

    applying_ = true;
    const bool applied = ApplyLineSettings() && ApplyHandshaking();
    if (applied)
        ApplyModemLines();
    applying_ = false;
    if (!applied) {
        port_.close();
        return false;
    }
    errorText_.clear();
    return true;
}

bool SerialPort::Accepted(bool result, const QString& what)
{
    const bool refused = !result || port_.error() != QSerialPort::NoError;
    const QString reason = port_.errorString();
    port_.clearError();
    // A pseudo-terminal keeps its line at 8N1 whatever is asked; only a real line can fail.
    if (!refused || pseudoTerminal_)
        return true;
    errorText_ = tr("%1 refused %2: %3").arg(devicePath_, what, reason);
    return false;
}

bool SerialPort::ApplyLineSettings()
{
    port_.clearError();
    if (!Accepted(port_.setBaudRate(lineSettings_.baudRate), tr("the speed")))
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
    errorText_ = tr("%1 refused the handshaking: %2")
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

std::string SerialPort::Input()
{
    TakeBuffered();
    std::string text = std::move(received_);
    received_.clear();
    if (nullDiscard_)
        std::erase(text, '\0');
    return text;
}

void SerialPort::TakeBuffered()
{
    // Qt fills its buffer from the event loop; what the kernel still holds is fetched here
    // too, so a poll returns everything received up to now.
    for (int reads = 0; port_.isOpen(); ++reads) {
        const QByteArray chunk = port_.readAll();
        received_.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
        if (reads == kMaxReadsPerInput || BytesWaiting(static_cast<int>(port_.handle())) == 0
            || !port_.waitForReadyRead(0))
            break;
    }
    if (port_.isOpen()) {
        const QByteArray rest = port_.readAll();
        received_.append(rest.constData(), static_cast<std::size_t>(rest.size()));
    }
}

void SerialPort::OnErrorOccurred(QSerialPort::SerialPortError error)
{
    if (applying_ || !port_.isOpen())
        return;
    // Qt keeps a vanished device open and repeats the error in a busy loop until it is
    // closed, so the first one closes it.
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError)
        CloseLostDevice(port_.errorString());
}

void SerialPort::CloseLostDevice(const QString& reason)
{
    const QByteArray rest = port_.readAll();
    received_.append(rest.constData(), static_cast<std::size_t>(rest.size()));
    port_.close();
    port_.clearError();
    errorText_ = tr("%1 was lost: %2").arg(devicePath_, reason);
    emit DeviceLost(errorText_);
}

} // namespace fixwatch
