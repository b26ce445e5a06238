// Feeds arbitrary text, line by line, to the sky model in both readings and to the window's
// helpers. Each line also goes in with its checksum made right, so the fuzzer gets past the
// check into the sequence and GSA logic. Any crash, sanitizer report, or broken promise of
// Sky (ordered, each satellite once, values in range, bounded, Feed true exactly on a
// change) is a bug.
#include "fuzz_lines.h"
#include "sky.h"
#include "talkers.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool promise)
{
    if (!promise)
        std::abort();
}

void FeedAndCheck(fixwatch::Sky& sky, std::string_view line)
{
    const std::vector<fixwatch::SkySatellite> before = sky.Satellites();
    const bool changed = sky.Feed(line);
    const auto& after = sky.Satellites();
    Check(changed == (after != before));
    Check(after.size() <= fixwatch::kGnssTalkers.size() * fixwatch::Sky::kMaxListed);
    for (std::size_t i = 0; i < after.size(); ++i) {
        const auto& s = after[i];
        Check(s.number >= 1 && s.number <= fixwatch::Sky::kMaxNumber);
        Check(!s.elevation || (*s.elevation >= 0 && *s.elevation <= 90));
        Check(!s.azimuth || (*s.azimuth >= 0 && *s.azimuth <= 359));
        Check(!s.signal || (*s.signal >= 0 && *s.signal <= 99));
        if (i > 0)
            Check(after[i - 1].system < s.system || (after[i - 1].system == s.system && after[i - 1].number <= s.number));
    }
}

// The line with "*" and a matching checksum in place of whatever it ended with.
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fixwatch::Sky all(fixwatch::Talkers::AllSystems);
    fixwatch::Sky gps(fixwatch::Talkers::GpsOnly);
    fixwatch::fuzz::ForEachLineAndSealed(text, [&](std::string_view line, bool) {
        FeedAndCheck(all, line);
        FeedAndCheck(gps, line);
        if (auto talker = fixwatch::NonGpsTalker(line))
            Check(talker->size() == 2 && *talker != "GP");
    });
    all.Clear();
    Check(all.Satellites().empty());
    return 0;
}
