// Which device or address each port number stands for.
#include "port_list.h"
#include "port_table.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace fixwatch {
namespace {

SerialPortDescription Port(const QString& device, const char* description = "", const char* manufacturer = "")
{
    SerialPortDescription port;
    port.device = device;
    port.description = QString::fromLatin1(description);
    port.manufacturer = QString::fromLatin1(manufacturer);
    return port;
}

QStringList Numbered(const PortList& list)
{
    QStringList addresses;
    for (int n = 1; auto entry = list.Entry(n); ++n)
        addresses << entry->address;
    return addresses;
}

TEST(PortNumbering, UsbReceiversComeFirstThenOnBoardPortsThenOthersHoweverListed)
{
    const QStringList expected = {"/dev/ttyACM0", "/dev/ttyACM2", "/dev/ttyACM10", "/dev/ttyUSB0", "/dev/ttyUSB1",
                                  "/dev/ttyS0",   "/dev/ttyS1",   "/dev/ttyS10",   "/dev/ttyAMA0", "/dev/ttyO2",
                                  "/dev/ttyTHS1", "/dev/rfcomm0", "/dev/ttyfoo"};
    std::vector<SerialPortDescription> machine;
    for (const QString& device : expected)
        machine.push_back(Port(device));
    for (unsigned seed = 0; seed < 20; ++seed) {
        std::shuffle(machine.begin(), machine.end(), std::mt19937(seed));
        PortList list([machine] { return machine; });
        list.Refresh();
        EXPECT_EQ(Numbered(list), expected) << "seed " << seed;
    }
}

TEST(PortNumbering, OneUsbReceiverIsPortOneWithItsDescriptionAndNothingLiesBeyondTheList)
{
    auto usb = Port("/dev/ttyUSB0", "u-blox GNSS receiver", "u-blox AG");
    usb.vendorId = 0x1546;
    usb.productId = 0x01a8;
    PortList list([usb] { return std::vector{Port("/dev/ttyS0"), Port("/dev/ttyS1"), usb}; });
    list.Refresh();
    ASSERT_TRUE(list.Entry(1));
    EXPECT_EQ(list.Entry(1)->usbId, "1546:01a8");
    EXPECT_EQ(PortSummary(*list.Entry(1)), "/dev/ttyUSB0 \u2014 u-blox GNSS receiver (u-blox AG)");
    EXPECT_EQ(list.Entry(3)->address, "/dev/ttyS1");
    for (int beyond : {0, 4, 256})
        EXPECT_FALSE(list.Entry(beyond)) << beyond;
}

TEST(PortNumbering, TheEnvironmentNamesAPortFirst)
{
    PortList list([] { return std::vector{Port("/dev/ttyACM0")}; });
    list.Refresh();
    qputenv("FIXWATCH_COM1", "/dev/serial/by-id/usb-receiver");
    qputenv("FIXWATCH_COM7", "");
    EXPECT_EQ(list.Entry(1)->address, "/dev/serial/by-id/usb-receiver");
    EXPECT_TRUE(list.Entry(1)->configured);
    ASSERT_TRUE(list.Entry(7)) << "set, even empty, it still decides";
    EXPECT_TRUE(list.Entry(7)->address.isEmpty());
    qunsetenv("FIXWATCH_COM1");
    qunsetenv("FIXWATCH_COM7");
    EXPECT_EQ(list.Entry(1)->address, "/dev/ttyACM0");
    EXPECT_FALSE(list.Entry(7));
}

TEST(PortNumbering, ALocalGpsdComesAfterTheSerialPortsAndTheListIsTakenAgainOnRefresh)
{
    std::vector<SerialPortDescription> machine{Port("/dev/ttyS0")};
    bool gpsdAnswers = true;
    PortList list([&machine] { return machine; }, [&gpsdAnswers] { return gpsdAnswers; });
    list.Refresh();
    EXPECT_EQ(Numbered(list), QStringList({"/dev/ttyS0", "gpsd://localhost:2947"}));
    EXPECT_EQ(list.Entry(2)->description, "gpsd on localhost");

    machine.push_back(Port("/dev/ttyACM0"));
    gpsdAnswers = false;
    EXPECT_EQ(list.Entry(1)->address, "/dev/ttyS0") << "not before the next refresh";
    list.Refresh();
    EXPECT_EQ(Numbered(list), QStringList({"/dev/ttyACM0", "/dev/ttyS0"}));
}

PortEntry Entry(int number, const char* address, const char* description, const char* usbId = "")
{
    PortEntry entry;
    entry.number = number;
    entry.address = QString::fromUtf8(address);
    entry.description = QString::fromUtf8(description);
    entry.usbId = QString::fromLatin1(usbId);
    return entry;
}

TEST(PortTable, ListsEveryPortInAlignedColumnsAndNoDeviceNameDrivesTheTerminal)
{
    PortEntry configured = Entry(12, "gpsd://boat:2947", "FIXWATCH_COM12");
    configured.configured = true;
    EXPECT_EQ(PortTable({Entry(1, "/dev/ttyACM0", "u-blox GNSS receiver (u-blox AG)", "1546:01a8"),
                         Entry(2, "/dev/ttyS0", ""), configured}),
              "Port  Device            Description                       USB id\n"
              "   1  /dev/ttyACM0      u-blox GNSS receiver (u-blox AG)  1546:01a8\n"
              "   2  /dev/ttyS0                                          -\n"
              "  12  gpsd://boat:2947  set by FIXWATCH_COM12             -\n");

    const std::string hostile = PortTable({Entry(1, "/dev/ttyUSB0", "evil\x1b]0;owned\x07\x1b[31mred\r\nPort")});
    EXPECT_EQ(hostile.find_first_of("\x1b\x07\r"), std::string::npos) << hostile;
    EXPECT_EQ(std::count(hostile.begin(), hostile.end(), '\n'), 2) << hostile;
    EXPECT_NE(PortTable({}).find("FIXWATCH_COMn"), std::string::npos) << "no ports: how to name one";
}

} // namespace
} // namespace fixwatch
