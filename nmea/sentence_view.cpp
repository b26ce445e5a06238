#include "sentence_view.h"

#include <algorithm>
#include <cstring>

namespace fixwatch {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

} // namespace

SentenceView::SentenceView(std::string_view line) : text_(line)
{
    unsigned value = 0;
    for (char c : line) {
        if (c == '*')
            break;
        if (c != '$')
            value ^= static_cast<unsigned char>(c);
    }
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
