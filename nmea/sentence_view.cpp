#include "sentence_view.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace fixwatch {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;

// 0x80 in every byte of `word` that equals `c`, 0 in every other byte: exact, unlike the
// shorter test that may also mark a byte above a match.
std::uint64_t BytesEqual(std::uint64_t word, char c)
{
    const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

std::uint64_t LoadWord(const char* at)
{
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
}

// The index of the lowest marked byte of a BytesEqual result (little-endian: the first in
// memory); the mask must not be 0.
std::size_t FirstMarked(std::uint64_t marks)
{
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
    else
        return static_cast<std::size_t>(std::countl_zero(marks)) / 8;
}

// The exclusive or of every character before the first "*", each "$" left out. Eight
// characters at a time: the "*" and the "$" are found in the same pass, and the "$" are taken
// out again by the parity of their count (x ^ x is 0).
unsigned ChecksumOf(std::string_view line)
{
    const char* const data = line.data();
    const std::size_t size = line.size();
    std::uint64_t words = 0;
    std::uint64_t dollars = 0; // the "$" marks of every word folded by exclusive or: their parity
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word = LoadWord(data + i);
        if (const std::uint64_t stars = BytesEqual(word, '*')) {
            // Keep the bytes before the "*" only, then stop.
            const std::size_t kept = FirstMarked(stars);
            if (kept == 0)
                word = 0;
            else if constexpr (std::endian::native == std::endian::little)
                word &= ~std::uint64_t{0} >> (64 - 8 * kept);
            else
                word &= ~std::uint64_t{0} << (64 - 8 * kept);
            words ^= word;
            dollars ^= BytesEqual(word, '$');
            i = size; // the tail below has nothing left to read
            break;
        }
        words ^= word;
        dollars ^= BytesEqual(word, '$');
    }
    words ^= words >> 32;
    words ^= words >> 16;
    words ^= words >> 8;
    unsigned value = static_cast<unsigned>(words & 0xFF);
    dollars ^= dollars >> 32;
    dollars ^= dollars >> 16;
    dollars ^= dollars >> 8;
    bool oddDollars = (dollars & 0x80) != 0;
    for (; i < size && data[i] != '*'; ++i) {
        value ^= static_cast<unsigned char>(data[i]);
        oddDollars ^= data[i] == '$';
    }
    return oddDollars ? value ^ '$' : value;
}

} // namespace

SentenceView::SentenceView(std::string_view line, Talkers talkers) : text_(line)
{
    const unsigned value = ChecksumOf(line);
    checksum_ = static_cast<std::uint8_t>(value);
    checksumMatches_ = line.size() >= 2 && line[line.size() - 2] == kHexDigits[value >> 4]
                       && line.back() == kHexDigits[value & 0xF];
    if (!checksumMatches_ && line.size() >= 2) {
        static constexpr char kLowerDigits[] = "0123456789abcdef";
        lowerCase_ = line[line.size() - 2] == kLowerDigits[value >> 4] && line.back() == kLowerDigits[value & 0xF];
        checksumMatches_ = lowerCase_ && talkers == Talkers::AllSystems;
    }

    body_ = line.size() > 3 ? line.substr(0, line.size() - 3) : line;
    identifier_ = body_.substr(0, body_.find(','));
    if (HasAddress()) {
        if (const auto index = GnssTalkerIndex(identifier_.substr(1, 2)))
            gnssTalker_ = static_cast<std::int8_t>(*index);
    }
}

void SentenceView::SplitFields() const
{
    // Fields are a few characters long: the commas are found eight characters at a time.
    const char* const begin = body_.data();
    const std::size_t size = body_.size();
    std::size_t start = 0;
    auto cut = [&](std::size_t comma) {
        if (count_ < kStoredFields)
            stored_[count_] = std::string_view(begin + start, comma - start);
        ++count_;
        start = comma + 1;
    };
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t commas = BytesEqual(LoadWord(begin + i), ',');
        while (commas != 0) {
            cut(i + FirstMarked(commas));
            if constexpr (std::endian::native == std::endian::little)
                commas &= commas - 1;
            else
                commas &= ~(std::uint64_t{0x80} << (56 - 8 * FirstMarked(commas)));
        }
    }
    for (; i < size; ++i) {
        if (begin[i] == ',')
            cut(i);
    }
    if (count_ < kStoredFields)
        stored_[count_] = std::string_view(begin + start, size - start);
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
