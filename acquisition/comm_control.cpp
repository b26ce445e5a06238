#include "comm_control.h"

#include "file_source.h"
#include "network_address.h"
#include "port_device.h"

namespace fixwatch {

CommControl::CommControl(QObject* parent)
    : QObject(parent),
      ports_(PortList::OfThisMachine())
{
    connect(&serial_, &ReceiverSource::Lost, this, &CommControl::OnLost);
}

CommControl::~CommControl() = default;

bool CommControl::CommPort(int port)
{
    if (state_ != State::Closed) {
        reason_ = tr("The port number cannot change while the port is open.");
        return false;
    }
    if (port < 1 || port > kPortCount) {
        reason_ = tr("There is no port %1.").arg(port);
        return false;
    }
    if (port != recordingPort_)
        recording_.clear();
    commPort_ = port;
    return true;
}

void CommControl::PlayRecording(int port, const QString& path)
{
    recording_ = path;
    recordingPort_ = path.isEmpty() ? 0 : port;
}

bool CommControl::Settings(std::string_view settings)
{
    if (serial_.Settings(settings))
        return true;
    reason_ = serial_.Reason();
    return false;
}

bool CommControl::Handshaking(int value)
{
    if (serial_.Handshaking(value))
        return true;
    reason_ = serial_.Reason();
    return false;
}

bool CommControl::PortOpen() const
{
    return state_ == State::Open && source_ != nullptr && source_->IsOpen();
}

bool CommControl::PortOpen(bool open)
{
    if (!open) {
        if (state_ == State::Closed) {
            reason_ = tr("The port is not open.");
            return false;
        }
        if (source_ != nullptr)
            source_->Close();
        source_ = nullptr;
        network_.reset();
        state_ = State::Closed;
        return true;
    }
    if (PortOpen())
        return true;
    if (state_ == State::Lost)
        PortOpen(false);

    ports_.Refresh();
    auto entry = ports_.Entry(commPort_);
    if (!recording_.isEmpty() && commPort_ == recordingPort_) {
        if (!entry)
            entry.emplace();
        entry->address = QStringLiteral("file://") + recording_;
    }
    if (!entry) {
        reason_ = tr("No serial port %1 on this machine.").arg(commPort_);
        return false;
    }
    if (entry->address.isEmpty()) {
        reason_ = tr("%1 is set but names no device.").arg(entry->description);
        return false;
    }

    ReceiverSource* source = &serial_;
    if (const auto recording = RecordingPath(entry->address)) {
        // A recorded capture plays back through the same intake as a receiver.
        network_ = std::make_unique<FileSource>(*recording, replayClock_);
        connect(network_.get(), &ReceiverSource::Lost, this, &CommControl::OnLost);
        source = network_.get();
    } else if (NamesNetworkSource(entry->address)) {
        // The line settings do not apply to a network source.
        const NetworkAddressParse parsed = ParseNetworkAddress(entry->address);
        if (!parsed.address) {
            reason_ = parsed.reason;
            return false;
        }
        network_ = MakeNetworkSource(*parsed.address);
        connect(network_.get(), &ReceiverSource::Lost, this, &CommControl::OnLost);
        source = network_.get();
    } else if (!serial_.SetDevice(entry->address)) {
        reason_ = serial_.Reason();
        return false;
    }
    if (!source->Open()) {
        reason_ = source->Reason();
        network_.reset();
        return false;
    }
    source_ = source;
    state_ = State::Open;
    reason_.clear();
    return true;
}

std::string CommControl::Input()
{
    // What a lost source had received before it went is still handed out.
    if (source_ == nullptr)
        return {};
    return source_->Read();
}

bool CommControl::Reconnect()
{
    if (state_ != State::Lost || source_ == nullptr)
        return false;
    if (!source_->Reconnect())
        return false;
    state_ = State::Open;
    reason_.clear();
    return true;
}

void CommControl::OnLost(const QString& reason)
{
    if (state_ != State::Open || sender() != source_)
        return;
    state_ = State::Lost;
    reason_ = reason;
    emit SourceLost(reason);
}

QString CommControl::SourceName() const
{
    return source_ != nullptr ? source_->Name() : QString();
}

QString CommControl::SourceDescription(int port, std::string_view settings) const
{
    if (source_ != nullptr)
        return source_->Description();
    if (!recording_.isEmpty() && port == recordingPort_)
        return tr("Replaying %1").arg(recording_);
    const auto entry = ports_.Entry(port);
    if (!entry)
        return tr("Port %1: no serial port on this machine").arg(port);
    if (entry->address.isEmpty())
        return tr("Port %1: no device").arg(port);
    if (NamesNetworkSource(entry->address)) {
        const NetworkAddressParse parsed = ParseNetworkAddress(entry->address);
        return parsed.address ? MakeNetworkSource(*parsed.address)->Description() : entry->address;
    }
    return entry->address + QStringLiteral(" \u00B7 ") + SerialPort::ShortSettings(settings);
}

} // namespace fixwatch
