// The road of received text without any window or QApplication: each new line once to the
// consumers and counters, every kept line to the interpreter at each poll, the in-use count.
#include "captures.h"
#include "event_printer.h"
#include "receiver_session.h"
#include "sealed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fixwatch {
namespace {

using test::Sealed;

struct Seen : LineConsumer {
    std::vector<std::string> lines;
    int bad = 0;
    void LineArrived(std::string_view line, const LineFacts& facts) override
    {
        lines.emplace_back(line);
        bad += facts.badChecksum;
    }
};

const std::string kGga = Sealed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");

TEST(ReceiverSession, ANewLineReachesEachConsumerOnceWhileTheInterpreterReadsTheKeptTextAtEveryPoll)
{
    std::string events;
    EventPrinter printer(events);
    ReceiverSession session;
    session.Interpret(&printer);
    session.Begin(Talkers::GpsOnly);
    Seen seen;
    session.AddConsumer(&seen);
    session.AddConsumer(&seen); // once is enough

    const std::string damaged = kGga.substr(0, kGga.size() - 2) + "00";
    ReceiverSession::Poll poll = session.HandleInput(kGga + "\r\n" + damaged + "\r\n$PUBX,00\r\n");
    EXPECT_TRUE(poll.textArrived);
    EXPECT_EQ(poll.lines, 3);
    EXPECT_EQ(poll.badChecksums, 2) << "the damaged GGA and the proprietary line without a checksum";
    EXPECT_EQ(seen.lines, (std::vector<std::string>{kGga, damaged, "$PUBX,00"}));
    EXPECT_EQ(seen.bad, 2);
    const auto parsedOnce = events.size();
    EXPECT_NE(events.find("PositionReceived\t048\u00B0 07.038' N"), std::string::npos);

    // A poll with nothing new: the kept text is read again, the consumers hear nothing.
    poll = session.HandleInput("");
    EXPECT_FALSE(poll.textArrived);
    EXPECT_EQ(poll.lines, 0);
    EXPECT_EQ(seen.lines.size(), 3u);
    EXPECT_GT(events.size(), parsedOnce);

    session.RemoveConsumer(&seen);
    session.HandleInput(kGga + "\r\n");
    EXPECT_EQ(seen.lines.size(), 3u);
    session.Interpret(nullptr);
}

TEST(ReceiverSession, OtherSystemsAreNamedWithoutAllGnssAndCountedWithIt)
{
    ReceiverSession session;
    std::vector<std::string> hidden;
    session.onHiddenTalker = [&hidden](std::string_view talker) { hidden.emplace_back(talker); };
    session.Begin(Talkers::GpsOnly);
    const std::string gn = Sealed("$GNGGA,123519,4807.038,N,01131.000,E,1,14,0.9,545.4,M,46.9,M,,");
    const std::string ga = Sealed("$GAGGA,123519,4807.038,N,01131.000,E,1,01,0.9,545.4,M,46.9,M,,");
    session.HandleInput(gn + "\r\n" + ga + "\r\n");
    EXPECT_EQ(hidden, (std::vector<std::string>{"GN", "GA"}));
    EXPECT_FALSE(session.SatellitesUsed());

    // With every system read, the combined solution's count stands over a single system's.
    session.Begin(Talkers::AllSystems);
    hidden.clear();
    session.HandleInput(gn + "\r\n" + ga + "\r\n");
    EXPECT_TRUE(hidden.empty());
    EXPECT_EQ(session.SatellitesUsed(), 14);
    EXPECT_FALSE(session.UsedKnown());
}

TEST(ReceiverSession, EveryLineReachesTheConsumersWhateverEndsItAndTheInterpreterReadsLfAloneWithEverySystem)
{
    struct Row {
        const char* legend;
        std::vector<std::string> reads;
        int lfOnly;
    };
    const std::string rmc = Sealed("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    const Row rows[] = {
        {"CR LF", {kGga + "\r\n" + rmc + "\r\n"}, 0},
        {"LF alone", {kGga + "\n" + rmc + "\n"}, 2},
        {"CR alone", {kGga + "\r" + rmc + "\r"}, 0},
        {"a CR LF split between reads", {kGga + "\r", "\n" + rmc + "\r", "\n"}, 0},
        {"a line split between reads", {kGga.substr(0, 9), kGga.substr(9) + "\n" + rmc + "\n"}, 2},
    };
    for (const Talkers talkers : {Talkers::GpsOnly, Talkers::AllSystems}) {
        for (const Row& row : rows) {
            std::string events;
            EventPrinter printer(events);
            ReceiverSession session;
            session.Interpret(&printer);
            session.Begin(talkers);
            Seen seen;
            session.AddConsumer(&seen);
            int lfOnly = 0;
            for (const std::string& read : row.reads)
                lfOnly += session.HandleInput(read).lfOnlyLines;
            EXPECT_EQ(seen.lines, (std::vector<std::string>{kGga, rmc})) << row.legend;
            EXPECT_EQ(lfOnly, row.lfOnly) << row.legend;
            // The interpreter keeps its rule, lines end at CR LF, unless every system is read.
            const bool read = events.find("PositionReceived") != std::string::npos;
            const bool crLf = std::string_view(row.legend).find("CR LF") != std::string_view::npos;
            EXPECT_EQ(read, crLf || (talkers == Talkers::AllSystems && row.lfOnly > 0)) << row.legend;
            session.Interpret(nullptr);
        }
    }
}

TEST(ReceiverSession, NoLineIsMadeOfPiecesOfTwoAndAnEndlessLineIsDroppedWhole)
{
    ReceiverSession session;
    session.Begin(Talkers::GpsOnly);
    Seen seen;
    session.AddConsumer(&seen);
    // A read that begins with "$" starts a line: the unfinished one before it is gone.
    session.HandleInput("$GPGGA,12");
    session.HandleInput(kGga + "\r\n");
    // A line past the bound goes whole, however long.
    session.HandleInput("$GPTXT," + std::string(ReceivedLines::kMaxLineLength, 'x'));
    session.HandleInput(std::string(1000, 'y') + "\r\n" + kGga + "\r\n");
    EXPECT_EQ(seen.lines, (std::vector<std::string>{kGga, kGga}));
}

// Real multi-system receivers that say how many satellites they use in several ways at once,
// read with every system: "In use" is the solution's count, that of the sky's used satellites
// where GSV and GSA tell them, and never more than are in view.
TEST(ReceiverSessionCapture, TheUsedCountIsTheSolutionsAndAgreesWithTheSky)
{
    const struct {
        const char* legend;
        const char* capture;
        int lines;
        int inUse;
        bool gsvAndGsa; // the receiver sends GSV and GSA, so the sky knows what is used
    } rows[] = {
        {"GPGGA 05, GAGGA 01, GNGNS 14", "telit-pls83-w.nmea", 120, 14, true},
        {"GPGGA 08, GLGGA 02, GNGSA lists more", "sirfstarv-nmea.nmea", 120, 17, true},
        {"GGA's 22 used against 16 in view", "quectelLC79D.nmea", 200, 12, true},
        {"GGA capped at 12, GSA marks more", "ublox-zed-f9p-nmea.nmea", 300, 19, true},
        {"GNGGA 10 then GPGGA 09, no GSV or GSA", "nmea-rtk.nmea", 120, 9, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        FIXWATCH_NEED_CAPTURES(row.capture);
        ReceiverSession session;
        session.Begin(Talkers::AllSystems);
        int lines = 0;
        for (const std::string& line : test::CaptureLines(row.capture)) {
            if (line.empty() || line.front() == '#')
                continue;
            if (++lines > row.lines)
                break;
            session.HandleInput(line + "\r\n");
        }
        const std::vector<SkySatellite>& sky = session.SkyModel().Satellites();
        const auto used = std::ranges::count_if(sky, [](const SkySatellite& s) { return s.used; });
        EXPECT_EQ(session.SatellitesUsed(), row.inUse);
        EXPECT_EQ(session.UsedKnown(), row.gsvAndGsa);
        if (row.gsvAndGsa) {
            EXPECT_EQ(used, row.inUse) << "the sky's used satellites";
            EXPECT_LE(row.inUse, static_cast<int>(sky.size()));
        } else {
            EXPECT_TRUE(sky.empty());
        }
    }
}

} // namespace
} // namespace fixwatch
