#pragma once

#include "serial_settings.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace fixwatch {

// What the machine says about one of its serial ports.
struct SerialPortDescription {
    QString device;       // "/dev/ttyACM0"
    QString description;  // "u-blox GNSS receiver"
    QString manufacturer; // "u-blox AG"
    std::optional<unsigned> vendorId;
    std::optional<unsigned> productId;
};

// What port number n of the window stands for.
struct PortEntry {
    int number = 0;          // 1..255
    QString address;         // a device path, or a gpsd://, tcp:// or udp:// address
    QString description;     // who says what it is: the machine's words, "gpsd on localhost", ...
    QString usbId;           // "1546:01a8" for a USB device, else empty
    bool configured = false; // named by the environment variable FIXWATCH_COMn
};

// Numbers the receivers a user can reach, so that port 1, the default, is the USB receiver
// of a machine that has one, with no configuration. Port n is, in this order:
//   1. the device or address named by FIXWATCH_COMn when that is set;
//   2. the n-th serial port of the machine: USB receivers first (ttyACM*, then ttyUSB*, each
//      by number), then on-board ports (ttyS*, then ttyAMA*, then other tty<name><number>,
//      by number), then any others by name; a local gpsd that answers comes after them;
//   3. nothing.
// The list is taken when Refresh is called (at start-up, when the port list is opened, at
// each Start); an open port keeps its device whatever the list does meanwhile.
class PortList {
public:
    using SerialQuery = std::function<std::vector<SerialPortDescription>()>;
    // True when a gpsd answers on localhost; bounded in time.
    using GpsdProbe = std::function<bool()>;

    static constexpr const char* kLocalGpsd = "gpsd://localhost:2947";

    // The machine's serial ports as Qt lists them.
    static std::vector<SerialPortDescription> MachineSerialPorts();
    // The machine's serial ports, then a gpsd that answers on localhost.
    static PortList OfThisMachine();

    // The seams let a test hand in the ports and the gpsd answer.
    explicit PortList(SerialQuery query = MachineSerialPorts, GpsdProbe probe = {});

    void SetQueries(SerialQuery query, GpsdProbe probe);
    void Refresh();

    // The entry of port `number`, nothing for a port without one. A FIXWATCH_COMn set to an
    // empty text gives an entry without address: the port then cannot be opened.
    std::optional<PortEntry> Entry(int number) const;
    // Every port that has an entry, by number.
    std::vector<PortEntry> Entries() const;

private:
    SerialQuery query_;
    GpsdProbe probe_;
    std::vector<PortEntry> found_; // port 1 first
};

// Puts serial ports in the order they are numbered in (see PortList).
void SortForNumbering(std::vector<SerialPortDescription>& ports);

// "/dev/ttyACM0 — u-blox GNSS receiver (u-blox AG)": the address and what is known of it.
QString PortSummary(const PortEntry& entry);

} // namespace fixwatch
