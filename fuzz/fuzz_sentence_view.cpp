// Reads arbitrary lines, each as it stands and sealed with its right checksum, with both
// talker rules, and holds the line reader to a plain reading of the same rules: the checksum
// is the exclusive or of the characters before the first "*" with every "$" left out, the
// fields are the line but its last three characters split at every ",". Any crash, sanitizer
// report or difference is a bug.
#include "fuzz_lines.h"
#include "sentence_view.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void Check(bool promise)
{
    if (!promise)
        std::abort();
}

unsigned PlainChecksum(std::string_view line)
{
    unsigned value = 0;
    for (const char c : line.substr(0, line.find('*')))
        if (c != '$')
            value ^= static_cast<unsigned char>(c);
    return value;
}

bool EndsWithDigits(std::string_view line, unsigned value, const char* digits)
{
    return line.size() >= 2 && line[line.size() - 2] == digits[value >> 4] && line.back() == digits[value & 0xF];
}

std::vector<std::string_view> PlainFields(std::string_view line)
{
    const std::string_view body = line.size() > 3 ? line.substr(0, line.size() - 3) : line;
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t comma; (comma = body.find(',', start)) != std::string_view::npos; start = comma + 1)
        fields.push_back(body.substr(start, comma - start));
    fields.push_back(body.substr(start));
    return fields;
}

void CheckLine(std::string_view line, fixwatch::Talkers talkers)
{
    const fixwatch::SentenceView view(line, talkers);
    const unsigned sum = PlainChecksum(line);
    Check(view.ComputedChecksum() == sum);
    const bool upper = EndsWithDigits(line, sum, "0123456789ABCDEF");
    const bool lower = EndsWithDigits(line, sum, "0123456789abcdef");
    Check(view.ChecksumMatches() == (upper || (lower && talkers == fixwatch::Talkers::AllSystems)));
    Check(!view.Sealed() || (view.ChecksumMatches() && line[line.size() - 3] == '*'));

    const std::vector<std::string_view> fields = PlainFields(line);
    Check(view.Identifier() == fields.front());
    Check(view.FieldCount() == fields.size());
    for (std::size_t k = 0; k < fields.size(); ++k) {
        Check(view.Field(k) == fields[k]);
        // A view into the line itself, never a copy.
        Check(view.Field(k).data() >= line.data() && view.Field(k).data() + view.Field(k).size() <= line.data() + line.size());
    }
    Check(!view.FieldAt(fields.size()).has_value());
    Check(view.FieldOrEmpty(fields.size() + 7).empty());
    Check(view.StoredFields().size() == std::min(fields.size(), fixwatch::SentenceView::kStoredFields));
    if (view.Identifier().size() == 6 && view.Identifier().front() == '$') {
        Check(view.Talker() == view.Identifier().substr(1, 2));
        Check(view.Type() == view.Identifier().substr(3));
    } else {
        Check(view.Talker().empty() && view.Type().empty() && !view.GnssTalker());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fixwatch::fuzz::ForEachLineAndSealed(input, [](std::string_view line, bool /*asSent*/) {
        CheckLine(line, fixwatch::Talkers::GpsOnly);
        CheckLine(line, fixwatch::Talkers::AllSystems);
    });
    return 0;
}
