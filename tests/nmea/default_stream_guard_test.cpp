// The default interpreter's event stream on every real capture must stay exactly as it was:
// each capture's fixwatch-events transcript is recomputed here and compared, by SHA-256, with
// the digest recorded in capture_event_digests.txt from the interpreter before any option
// existed. A differing capture is named, with its new digest.
#include "sha256.h"
#include "transcript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace fixwatch::test {
namespace {

// The transcript fixwatch-events prints for a whole file: every line split at LF, a CR
// before the LF dropped, a last line without LF still a line.
std::string DefaultTranscript(const std::string& bytes)
{
    std::string out;
    EventPrinter printer(out);
    const NmeaInterpreter gps(printer);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos)
            lf = bytes.size();
        std::string_view line(bytes.data() + start, lf - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out += gps.Parse(line) ? "Parse\ttrue\n" : "Parse\tfalse\n";
        start = lf + 1;
    }
    return out;
}

std::map<std::string, std::string> RecordedDigests()
{
    std::map<std::string, std::string> digests;
    std::ifstream in(FIXWATCH_EVENT_DIGESTS);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::istringstream fields(line);
        std::string digest, name;
        fields >> digest >> name;
        digests[name] = digest;
    }
    return digests;
}

TEST(DefaultStreamGuard, EveryCaptureRaisesTheRecordedEventStream)
{
    const std::filesystem::path folder = FIXWATCH_NMEA_LOGS;
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "no receiver logs at " << folder;

    const auto recorded = RecordedDigests();
    ASSERT_GE(recorded.size(), 116u) << "cannot read " << FIXWATCH_EVENT_DIGESTS;
    for (const auto& [name, digest] : recorded) {
        std::ifstream in(folder / name, std::ios::binary);
        ASSERT_TRUE(in) << "capture " << name << " is missing from " << folder;
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        Sha256 sha;
        sha.Add(DefaultTranscript(bytes));
        EXPECT_EQ(sha.HexDigest(), digest) << "the default event stream of " << name << " changed";
    }
}

TEST(DefaultStreamGuard, DigestMatchesCoreutilsOnKnownTexts)
{
    const std::pair<std::string, std::string> rows[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"Parse\ttrue\n", "df1da225f75bf73ee08a5cc6dc2692c616d2615ab2cb2af6958b7070be931003"},
        // 56 bytes: the padding needs a second block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    };
    for (const auto& [text, expected] : rows) {
        Sha256 sha;
        sha.Add(text);
        EXPECT_EQ(sha.HexDigest(), expected) << "text: \"" << text << '"';
    }
}

} // namespace
} // namespace fixwatch::test
