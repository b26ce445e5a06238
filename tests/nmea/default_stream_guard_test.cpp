// The default interpreter's event stream on every real capture must stay exactly as recorded:
// transcripts/NAME.events holds what `fixwatch-events NAME.nmea` printed for each capture, one
// event a line and "Parse<TAB>true" or "Parse<TAB>false" after each sentence's events. A
// difference names the capture, the transcript line, the sentence that raised it, and the
// expected and the actual line. They were made in this folder with
//   for f in "$FIXWATCH_NMEA_LOGS"/*.nmea; do
//       fixwatch-events "$f" > transcripts/"$(basename "$f" .nmea)".events; done
#include "nmea_test.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace fixwatch::test {
namespace {

// The recorded transcript's lines, split at LF only: a field may hold any other byte.
Lines RecordedTranscript(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Lines lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 1)
        lines.push_back(text.substr(start, (end = std::min(text.find('\n', start), text.size())) - start));
    return lines;
}

// Compares one capture's events with its transcript; reports the first line that differs.
void ExpectRecordedTranscript(const std::filesystem::path& capture, const std::filesystem::path& transcript)
{
    const Lines expected = RecordedTranscript(transcript);
    std::size_t at = 0; // transcript lines compared so far
    for (const std::string& sentence : CaptureLines(capture)) {
        Transcript t = Interpret(sentence);
        t.events.push_back(t.accepted ? "Parse\ttrue" : "Parse\tfalse");
        for (const std::string& got : t.events) {
            const std::string want = at < expected.size() ? expected[at] : "(end of transcript)";
            ++at;
            if (got != want) {
                ADD_FAILURE() << capture.filename() << ", line " << at << " of its transcript, from the sentence \""
                              << sentence << "\":\n  expected \"" << want << "\"\n       got \"" << got << "\"";
                return;
            }
        }
    }
    if (at < expected.size())
        ADD_FAILURE() << capture.filename() << ", line " << at + 1 << " of its transcript:\n  expected \""
                      << expected[at] << "\"\n       got the end of the capture";
}

TEST(DefaultStreamGuard, EveryCaptureRaisesItsRecordedTranscript)
{
    FIXWATCH_NEED_CAPTURES();
    const std::filesystem::path folder = FIXWATCH_EVENT_TRANSCRIPTS;
    std::set<std::string> recorded;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".events")
            recorded.insert(entry.path().stem().string());

    for (const auto& file : Captures()) {
        const std::string name = file.stem().string();
        if (recorded.erase(name) == 0)
            ADD_FAILURE() << file.filename() << " has no transcript in " << folder;
        else
            ExpectRecordedTranscript(file, folder / (name + ".events"));
    }
    for (const std::string& name : recorded)
        ADD_FAILURE() << "transcript " << name << ".events has no capture";
}

} // namespace
} // namespace fixwatch::test
