// Two receivers' epochs paired on their UTC time as they arrive: in step, one late, one
// silent, a few milliseconds apart, and time going back.
#include "epoch_pairing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fixwatch {
namespace {

// Each decision as "A@t+B@t", "A@t" or "B@t", the time taken from the epoch's latitude.
class Decisions {
public:
    EpochPairing pairing{[this](const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs) {
        EXPECT_EQ(utcMs, static_cast<std::int64_t>((a ? a : b)->latitude)) << "the time it came with, A's when both";
        std::string text;
        if (a)
            text += "A@" + std::to_string(static_cast<long>(a->latitude));
        if (a && b)
            text += '+';
        if (b)
            text += "B@" + std::to_string(static_cast<long>(b->latitude));
        said.push_back(text);
    }};
    std::vector<std::string> said;

    void Add(EpochPairing::Receiver receiver, std::int64_t ms)
    {
        ReceiverEpoch epoch;
        epoch.fix = true;
        epoch.latitude = static_cast<double>(ms);
        pairing.Add(receiver, ms, std::move(epoch));
    }
};

using V = std::vector<std::string>;

TEST(EpochPairing, EpochsInStepPairAndAFewMillisecondsApartAreOneEpoch)
{
    Decisions d;
    d.Add(EpochPairing::A, 1000);
    EXPECT_TRUE(d.said.empty()) << "A waits for B";
    d.Add(EpochPairing::B, 1000);
    d.Add(EpochPairing::A, 1103);
    d.Add(EpochPairing::B, 1100);
    d.Add(EpochPairing::B, 1200);
    d.Add(EpochPairing::A, 1300); // B had no 1.2 s in A, A none at 1.2 s
    EXPECT_EQ(d.said, (V{"A@1000+B@1000", "A@1103+B@1100", "B@1200"}));
    d.pairing.Finish();
    EXPECT_EQ(d.said.back(), "A@1300");
}

TEST(EpochPairing, AnEpochWaitsForASilentReceiverOnlyThreeSecondsAndBoundedly)
{
    Decisions d;
    for (std::int64_t ms = 0; ms <= 3000; ms += 100)
        d.Add(EpochPairing::A, ms);
    EXPECT_TRUE(d.said.empty()) << "B might still be late by three seconds";
    d.Add(EpochPairing::A, 3100);
    EXPECT_EQ(d.said, V{"A@0"});

    // B comes back late: what A still holds pairs, what A already gave up on is B's alone.
    d.Add(EpochPairing::B, 50);
    d.Add(EpochPairing::B, 200);
    EXPECT_EQ(d.said, (V{"A@0", "B@50", "A@100", "A@200+B@200"}));

    Decisions flood;
    for (std::int64_t ms = 0; ms < 1000; ++ms) // a thousand epochs a second, B silent
        flood.Add(EpochPairing::A, ms);
    EXPECT_EQ(flood.said.size(), 1000 - EpochPairing::kMaxWaiting);
}

TEST(EpochPairing, TimeGoingBackHandsOnWhatWaitsAndStartsAgain)
{
    Decisions d;
    d.Add(EpochPairing::A, 86'399'900);
    d.Add(EpochPairing::A, 0); // midnight without a date
    EXPECT_EQ(d.said, V{"A@86399900"});
    d.Add(EpochPairing::B, 0);
    EXPECT_EQ(d.said.back(), "A@0+B@0");
    d.pairing.Clear();
    d.Add(EpochPairing::B, 100);
    d.pairing.Finish();
    EXPECT_EQ(d.said.back(), "B@100");
}

} // namespace
} // namespace fixwatch
