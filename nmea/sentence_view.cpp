#include "sentence_view.h"

#include <algorithm>
#include <cstring>

namespace fixwatch {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The exclusive or of every character before the first "*", each "$" left out: eight
// characters at a time, and each "$" taken out again (x ^ x is 0).
unsigned ChecksumOf(std::string_view line)
{
    const char* const data = line.data();
    const auto* star = static_cast<const char*>(line.empty() ? nullptr : std::memchr(data, '*', line.size()));
    const std::size_t n = star ? static_cast<std::size_t>(star - data) : line.size();
    std::uint64_t words = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        words ^= word;
    }
    words ^= words >> 32;
    words ^= words >> 16;
    words ^= words >> 8;
    unsigned value = static_cast<unsigned>(words & 0xFF);
    for (; i < n; ++i)
        value ^= static_cast<unsigned char>(data[i]);
    bool oddDollars = false;
    for (std::size_t at = 0; at < n;) {
        const auto* dollar = static_cast<const char*>(std::memchr(data + at, '$', n - at));
        if (!dollar)
            break;
        oddDollars = !oddDollars;
        at = static_cast<std::size_t>(dollar - data) + 1;
    }
    return oddDollars ? value ^ '$' : value;
}

} // namespace

SentenceView::SentenceView(std::string_view line) : text_(line)
{
    const unsigned value = ChecksumOf(line);
    checksum_ = static_cast<std::uint8_t>(value);
    checksumMatches_ = line.size() >= 2 && line[line.size() - 2] == kHexDigits[value >> 4] &&
                       line.back() == kHexDigits[value & 0xF];

    body_ = line.size() > 3 ? line.substr(0, line.size() - 3) : line;
    identifier_ = body_.substr(0, body_.find(','));
    if (HasAddress()) {
        if (const auto index = GnssTalkerIndex(identifier_.substr(1, 2)))
            gnssTalker_ = static_cast<std::int8_t>(*index);
    }
}

void SentenceView::SplitFields() const
{
    // Fields are a few characters long: a plain scan beats a library search per field.
    const char* const end = body_.data() + body_.size();
    const char* start = body_.data();
    for (const char* p = start; p != end; ++p) {
        if (*p == ',') {
            if (count_ < kStoredFields)
                stored_[count_] = std::string_view(start, static_cast<std::size_t>(p - start));
            ++count_;
            start = p + 1;
        }
    }
    if (count_ < kStoredFields)
        stored_[count_] = std::string_view(start, static_cast<std::size_t>(end - start));
    ++count_;
}

std::string_view SentenceView::FarField(std::size_t k) const
{
    // Walk on from the comma after the last stored field; k < count_ says the commas are there.
    const std::string_view last = stored_[kStoredFields - 1];
    std::size_t comma = static_cast<std::size_t>(last.data() + last.size() - body_.data());
    for (std::size_t i = kStoredFields;; ++i) {
        const std::size_t from = comma + 1;
        comma = std::min(body_.find(',', from), body_.size());
        if (i == k)
            return body_.substr(from, comma - from);
    }
}

} // namespace fixwatch
