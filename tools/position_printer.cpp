#include "position_printer.h"

#include "event_printer.h"

namespace fixwatch {
namespace {

std::string WithoutControls(const std::string& latin1)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        } else {
            text += c;
        }
    }
    return text;
}

} // namespace

void PositionPrinter::PositionReceived(std::string latitude, std::string longitude)
{
    const PositionText shown = FormatPosition(latitude, longitude, format_);
    std::string text = shown.first;
    if (!text.empty() && !shown.second.empty())
        text += ' ';
    text += shown.second;
    out_ += "position: " + Latin1ToUtf8(WithoutControls(text)) + '\n';
}

} // namespace fixwatch
