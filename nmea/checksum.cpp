#include "checksum.h"

namespace fixwatch {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

unsigned ChecksumValue(std::string_view text)
{
    unsigned value = 0;
    for (char c : text) {
        if (c == '$')
            continue;
        if (c == '*')
            break;
        value ^= static_cast<unsigned char>(c);
    }
    return value;
}

} // namespace

std::string NmeaChecksum(std::string_view text)
{
    const unsigned value = ChecksumValue(text);
    return std::string{kHexDigits[(value >> 4) & 0xF], kHexDigits[value & 0xF]};
}

bool ChecksumMatches(std::string_view text)
{
    if (text.size() < 2)
        return false;
    const unsigned value = ChecksumValue(text);
    return text[text.size() - 2] == kHexDigits[(value >> 4) & 0xF] && text.back() == kHexDigits[value & 0xF];
}

} // namespace fixwatch
