#include "port_list.h"

#include "gpsd_probe.h"

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QtGlobal>

#include <algorithm>
#include <tuple>

namespace fixwatch {
namespace {

// The rank of a device name in the numbering, its kind and its number: ttyACM3 gives
// (0, "ACM", 3).
std::tuple<int, QString, long> NumberingKey(const QString& device)
{
    static const QRegularExpression ttyName(QStringLiteral("^tty([A-Za-z]+)(\\d+)$"));
    const QString name = device.section(QLatin1Char('/'), -1);
    const auto match = ttyName.match(name);
    if (!match.hasMatch())
        return {6, name, 0};
    const QString kind = match.captured(1);
    const long number = match.captured(2).toLong();
    if (kind == QLatin1String("ACM"))
        return {0, kind, number};
    if (kind == QLatin1String("USB"))
        return {1, kind, number};
    if (kind == QLatin1String("S"))
        return {3, kind, number};
    if (kind == QLatin1String("AMA"))
        return {4, kind, number};
    return {5, kind, number};
}

QString UsbId(const SerialPortDescription& port)
{
    if (!port.vendorId || !port.productId)
        return {};
    return QStringLiteral("%1:%2")
        .arg(*port.vendorId, 4, 16, QLatin1Char('0'))
        .arg(*port.productId, 4, 16, QLatin1Char('0'));
}

QString Describe(const SerialPortDescription& port)
{
    QString text = port.description.trimmed();
    const QString maker = port.manufacturer.trimmed();
    if (!maker.isEmpty() && !text.contains(maker, Qt::CaseInsensitive))
        text = text.isEmpty() ? maker : text + QStringLiteral(" (") + maker + QLatin1Char(')');
    return text;
}

} // namespace

void SortForNumbering(std::vector<SerialPortDescription>& ports)
{
    std::stable_sort(ports.begin(), ports.end(),
                     [](const SerialPortDescription& a, const SerialPortDescription& b) {
                         return NumberingKey(a.device) < NumberingKey(b.device);
                     });
}

std::vector<SerialPortDescription> PortList::MachineSerialPorts()
{
    std::vector<SerialPortDescription> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortDescription port;
        port.device = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        ports.push_back(port);
    }
    return ports;
}

PortList PortList::OfThisMachine()
{
    return PortList(MachineSerialPorts, [] { return GpsdAnswers(); });
}

PortList::PortList(SerialQuery query, GpsdProbe probe)
    : query_(std::move(query)), probe_(std::move(probe))
{
}

void PortList::SetQueries(SerialQuery query, GpsdProbe probe)
{
    query_ = std::move(query);
    probe_ = std::move(probe);
}

void PortList::Refresh()
{
    std::vector<SerialPortDescription> ports = query_ ? query_() : std::vector<SerialPortDescription>{};
    SortForNumbering(ports);
    found_.clear();
    for (const SerialPortDescription& port : ports) {
        if (static_cast<int>(found_.size()) == kPortCount)
            break;
        PortEntry entry;
        entry.number = static_cast<int>(found_.size()) + 1;
        entry.address = port.device;
        entry.description = Describe(port);
        entry.usbId = UsbId(port);
        found_.push_back(entry);
    }
    if (probe_ && static_cast<int>(found_.size()) < kPortCount && probe_()) {
        PortEntry gpsd;
        gpsd.number = static_cast<int>(found_.size()) + 1;
        gpsd.address = QString::fromLatin1(kLocalGpsd);
        gpsd.description = QStringLiteral("gpsd on localhost");
        found_.push_back(gpsd);
    }
}

std::optional<PortEntry> PortList::Entry(int number) const
{
    if (number < 1 || number > kPortCount)
        return std::nullopt;
    const QByteArray variable = "FIXWATCH_COM" + QByteArray::number(number);
    if (qEnvironmentVariableIsSet(variable.constData())) {
        PortEntry entry;
        entry.number = number;
        entry.address = qEnvironmentVariable(variable.constData());
        entry.description = QString::fromLatin1(variable);
        entry.configured = true;
        return entry;
    }
    if (number <= static_cast<int>(found_.size()))
        return found_[static_cast<std::size_t>(number - 1)];
    return std::nullopt;
}

std::vector<PortEntry> PortList::Entries() const
{
    std::vector<PortEntry> entries;
    for (int number = 1; number <= kPortCount; ++number) {
        if (auto entry = Entry(number))
            entries.push_back(*entry);
    }
    return entries;
}

QString PortSummary(const PortEntry& entry)
{
    if (entry.address.isEmpty())
        return QStringLiteral("no device (%1 is empty)").arg(entry.description);
    if (entry.description.isEmpty())
        return entry.address;
    return entry.address + QStringLiteral(" \u2014 ") + entry.description;
}

} // namespace fixwatch
