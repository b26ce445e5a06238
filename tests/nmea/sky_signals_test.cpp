// Each satellite's signals: kept beside the strongest, named from the NMEA 4.11 table, dropped
// when the receiver stops listing them, on made-up sentences and on real multi-band receivers.
#include "nmea_test.h"
#include "sky_signals.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

// "GPS 10: 1 L1 C/A 33, 6 L2C-L 18": a satellite's signals as id, name and C/N0 ("-" for
// none), or "GPS 10 not in view".
std::string SignalsOf(const Sky& sky, GnssSystem system, int number)
{
    std::string text = std::string(SystemName(system)) + " " + std::to_string(number);
    for (const SkySatellite& s : sky.Satellites()) {
        if (s.system != system || s.number != number)
            continue;
        text += ":";
        for (const SkySignal& signal : s.Signals()) {
            text += (&signal == s.Signals().data() ? " " : ", ") + std::string(1, signal.id ? signal.id : '-');
            const std::string_view name = SignalName(system, signal.id);
            text += name.empty() ? "" : " " + std::string(name);
            text += " " + (signal.Cn0() ? std::to_string(*signal.Cn0()) : std::string("-"));
        }
        return text;
    }
    return text + " not in view";
}

TEST(SkySignals, EverySystemsTableNamesItsSignalsAndNothingElse)
{
    const std::tuple<GnssSystem, char, std::string_view, SignalBand> rows[] = {
        {GnssSystem::GPS, '6', "L2C-L", SignalBand::L2},
        {GnssSystem::SBAS, '1', "L1 C/A", SignalBand::L1},
        {GnssSystem::GLONASS, '3', "G2 C/A", SignalBand::L2},
        {GnssSystem::Galileo, '1', "E5a", SignalBand::L5},
        {GnssSystem::Galileo, '2', "E5b", SignalBand::E5b},
        {GnssSystem::Galileo, '5', "E6-BC", SignalBand::E6},
        {GnssSystem::BeiDou, '1', "B1I", SignalBand::L1},
        {GnssSystem::BeiDou, '5', "B2a", SignalBand::L5},
        {GnssSystem::BeiDou, 'B', "B2I", SignalBand::E5b},
        {GnssSystem::BeiDou, 'A', "B3A", SignalBand::E6},
        {GnssSystem::QZSS, 'A', "L6E", SignalBand::E6},
        {GnssSystem::QZSS, '4', "LIS", SignalBand::L1},
        {GnssSystem::NavIC, '2', "S-SPS", SignalBand::S},
        {GnssSystem::NavIC, '5', "L1-SPS", SignalBand::L1},
        // Outside the table: the reserved 0, IDs a system does not define, anything else.
        {GnssSystem::GPS, '0', "", SignalBand::Other},
        {GnssSystem::GPS, '9', "", SignalBand::Other},
        {GnssSystem::GLONASS, '5', "", SignalBand::Other},
        {GnssSystem::Galileo, '8', "", SignalBand::Other},
        {GnssSystem::BeiDou, 'D', "", SignalBand::Other},
        {GnssSystem::NavIC, 'F', "", SignalBand::Other},
        {GnssSystem::QZSS, 'a', "", SignalBand::Other},
        {GnssSystem::GPS, '?', "", SignalBand::Other},
        // A GSV without a signal ID: an L1 receiver's.
        {GnssSystem::GLONASS, 0, "", SignalBand::L1},
    };
    for (const auto& [system, id, name, band] : rows) {
        EXPECT_EQ(SignalName(system, id), name) << SystemName(system) << " " << id;
        EXPECT_EQ(SignalBandOf(system, id), band) << SystemName(system) << " " << id;
    }
}

TEST(SkySignals, EachListedSignalIsKeptInOrderAndOneNoLongerSentIsDropped)
{
    const std::string l1 = "$GPGSV,1,1,02,05,06,110,19,10,24,284,,1";
    const std::string l5 = "$GPGSV,1,1,01,05,06,110,41,8";
    const Sky both = SkyFed({l5, l1});
    EXPECT_EQ(SignalsOf(both, GnssSystem::GPS, 5), "GPS 5: 1 L1 C/A 19, 8 L5-Q 41");
    EXPECT_EQ(SignalsOf(both, GnssSystem::GPS, 10), "GPS 10: 1 L1 C/A -") << "in view, not tracked";
    EXPECT_EQ(both.Satellites().front().signal, 41) << "the strongest stays as it was";

    // The L5 sequence stops while L1 goes twice round: L5 goes, L1 and the satellite stay.
    const Sky after = SkyFed({l5, l1, l1, l1, l1});
    EXPECT_EQ(SignalsOf(after, GnssSystem::GPS, 5), "GPS 5: 1 L1 C/A 19");
    EXPECT_EQ(after.Satellites().front().signal, 19);

    // IDs outside the table, an unreadable ID and no ID at all are kept, without a name.
    const Sky odd = SkyFed({"$GAGSV,1,1,01,12,62,237,30,9", "$GAGSV,1,1,01,12,62,237,31,X",
                            "$GAGSV,1,1,01,12,62,237,32"});
    EXPECT_EQ(SignalsOf(odd, GnssSystem::Galileo, 12), "Galileo 12: - 32, 9 30, ? 31");

    // A satellite listed on every ID keeps a bounded number of them, the lowest IDs.
    Lines all;
    for (char id : std::string("0123456789ABCDEF"))
        all.push_back("$GAGSV,1,1,01,12,62,237,30," + std::string(1, id));
    const Sky many = SkyFed(all);
    ASSERT_EQ(many.Satellites().size(), 1u);
    EXPECT_EQ(many.Satellites()[0].Signals().size(), SkySatellite::kMaxSignals);
    EXPECT_EQ(many.Satellites()[0].Signals().back().id, '7');
}

// The receivers' last sequences as gpsd decodes them too (C/N0 per satellite and signal).
TEST(SkySignalsCapture, RealMultiBandReceiversKeepEveryBandOfEachSatellite)
{
    struct Case {
        const char* capture;
        GnssSystem system;
        int number;
        const char* signals;
    };
    const Case cases[] = {
        {"ublox-zed-f9p-nmea.nmea", GnssSystem::GPS, 10, "GPS 10: 1 L1 C/A 33, 6 L2C-L 18"},
        {"ublox-zed-f9p-nmea.nmea", GnssSystem::GLONASS, 72, "GLONASS 72: 1 G1 C/A -, 3 G2 C/A 15"},
        {"ublox-zed-f9p-nmea.nmea", GnssSystem::Galileo, 12, "Galileo 12: 2 E5b 35, 7 E1-BC 30"},
        {"unicore-um621.nmea", GnssSystem::GPS, 8, "GPS 8: 1 L1 C/A 41, 8 L5-Q 35"},
        {"unicore-um621.nmea", GnssSystem::BeiDou, 11, "BeiDou 11: 1 B1I 25, 5 B2a -"},
        {"quectel-l76k-dual.nmea", GnssSystem::GPS, 1, "GPS 1: 0 30"},
        // One sequence across two signals, its last message on L5.
        {"quectelLC79D.nmea", GnssSystem::GPS, 30, "GPS 30: - 48, 8 L5-Q 43"},
        {"quectelLC79D.nmea", GnssSystem::Galileo, 102, "Galileo 102: - 41, 1 E5a 44"},
        {"quectelLC79D-1.nmea", GnssSystem::GPS, 1, "GPS 1: 1 L1 C/A 33, 8 L5-Q 39"},
    };
    for (const Case& c : cases) {
        FIXWATCH_NEED_CAPTURES(c.capture);
        const Sky sky = SkyFed(CaptureLines(c.capture), false);
        EXPECT_EQ(SignalsOf(sky, c.system, c.number), c.signals) << c.capture;
    }
}

} // namespace
} // namespace fixwatch::test
