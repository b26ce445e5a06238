// Feeds arbitrary text, line by line, to the sky model in both readings and to the window's
// helpers. Each line also goes in with its checksum made right, so the fuzzer gets past the
// check into the sequence and GSA logic. Any crash, sanitizer report, or broken promise of
// Sky (ordered, each satellite once, values in range, bounded, Feed true exactly on a
// change) is a bug.
#include "checksum.h"
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
std::string Sealed(std::string_view line)
{
    std::string body(line.substr(0, line.find('*')));
    return body + "*" + fixwatch::NmeaChecksum(body);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fixwatch::Sky all(fixwatch::Talkers::AllSystems);
    fixwatch::Sky gps(fixwatch::Talkers::GpsOnly);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        const std::string sealed = Sealed(line);
        for (std::string_view l : {line, std::string_view(sealed)}) {
            FeedAndCheck(all, l);
            FeedAndCheck(gps, l);
            if (auto talker = fixwatch::NonGpsTalker(l))
                Check(talker->size() == 2 && *talker != "GP");
        }
        start = end + 1;
    }
    all.Clear();
    Check(all.Satellites().empty());
    return 0;
}
