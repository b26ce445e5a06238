// Which device or address each port number stands for.
#include "environment_variable.h"
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
    const QStringList expected = {"/dev/ttyACM0", "/dev/ttyACM2", "/dev/ttyACM10", "/dev/ttyUSB0",
                                  "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS10", "/dev/ttyAMA0",
                                  "/dev/ttyO2", "/dev/ttyTHS1", "/dev/rfcomm0", "/dev/ttyfoo"};
    std::vector<SerialPortDescription> machine;
    for (const QString& device : expected)
        machine.push_back(Port(device));
    for (unsigned seed = 0; seed < 20; ++seed) {
        std::shuffle(machine.begin(), machine.end(), std::mt19937(seed));
        PortList list([machine] { return machine; });
        list.Refresh();
        EXPECT_EQ(Numbered(list), expected) << "seed " << seed;
        EXPECT_FALSE(list.Entry(0));
    }
}

TEST(PortNumbering, TheEnvironmentNamesAPortFirst)
{
    PortList list([] { return std::vector{Port("/dev/ttyACM0")}; });
    list.Refresh();
    {
        const test::Variable first("FIXWATCH_COM1", "/dev/serial/by-id/usb-receiver");
        const test::Variable seventh("FIXWATCH_COM7", "");
        EXPECT_EQ(list.Entry(1)->address, "/dev/serial/by-id/usb-receiver");
        EXPECT_TRUE(list.Entry(1)->configured);
        ASSERT_TRUE(list.Entry(7)) << "set, even empty, it still decides";
        EXPECT_TRUE(list.Entry(7)->address.isEmpty());
    }
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

TEST(PortTable, ListsEveryPortInAlignedColumnsAndNoDeviceNameDrivesTheTerminal)
{
    auto usb = Port("/dev/ttyACM0", "u-blox GNSS receiver", "u-blox AG");
    usb.vendorId = 0x1546;
    usb.productId = 0x01a8;
    PortList list([usb] { return std::vector{Port("/dev/ttyS0"), usb}; });
    list.Refresh();
    EXPECT_EQ(PortSummary(*list.Entry(1)), "/dev/ttyACM0 \u2014 u-blox GNSS receiver (u-blox AG)");
    {
        const test::Variable twelfth("FIXWATCH_COM12", "gpsd://boat:2947");
        EXPECT_EQ(PortTable(list.Entries()),
                  "Port  Device            Description                       USB id\n"
                  "   1  /dev/ttyACM0      u-blox GNSS receiver (u-blox AG)  1546:01a8\n"
                  "   2  /dev/ttyS0                                          -\n"
                  "  12  gpsd://boat:2947  set by FIXWATCH_COM12             -\n");
    }

    PortEntry hostile;
    hostile.number = 1;
    hostile.address = QStringLiteral("/dev/ttyUSB0");
    hostile.description = QString::fromLatin1("evil\x1b]0;owned\x07\x1b[31mred\r\nPort");
    const std::string table = PortTable({hostile});
    EXPECT_EQ(table.find_first_of("\x1b\x07\r"), std::string::npos) << table;
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 2) << table;
    EXPECT_NE(PortTable({}).find("FIXWATCH_COMn"), std::string::npos) << "no ports: how to name one";
}

} // namespace
} // namespace fixwatch
