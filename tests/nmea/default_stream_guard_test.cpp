// The default interpreter's event stream on every real capture must stay exactly as recorded:
// each capture's fixwatch-events transcript, Parse results included, is recomputed and compared
// by its 64-bit FNV-1a digest with capture_event_digests.txt. A differing capture is named.
#include "nmea_test.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>

namespace fixwatch::test {
namespace {

TEST(DefaultStreamGuard, EveryCaptureRaisesTheRecordedEventStream)
{
    FIXWATCH_NEED_CAPTURES();
    std::map<std::string, std::string> recorded;
    std::ifstream digests(FIXWATCH_EVENT_DIGESTS);
    for (std::string line, digest, name; std::getline(digests, line);)
        if (!line.empty() && line.front() != '#' && std::istringstream(line) >> digest >> name)
            recorded[name] = digest;
    ASSERT_EQ(recorded.size(), Captures().size()) << "a capture has no digest in " FIXWATCH_EVENT_DIGESTS;

    for (const auto& file : Captures()) {
        std::string transcript;
        for (const std::string& line : CaptureLines(file)) {
            const Transcript t = Interpret(line);
            for (const std::string& event : t.events)
                transcript += event + "\n";
            transcript += t.accepted ? "Parse\ttrue\n" : "Parse\tfalse\n";
        }
        std::uint64_t hash = 0xcbf29ce484222325;
        for (unsigned char c : transcript)
            hash = (hash ^ c) * 0x100000001b3;
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
        EXPECT_EQ(hex, recorded[file.filename().string()]) << "events of " << file.filename() << " changed";
    }
}

} // namespace
} // namespace fixwatch::test
