#include "serial_settings.h"

namespace fixwatch {
namespace {

template <std::size_t N>
bool InRange(std::int16_t index, const std::array<std::string_view, N>&)
{
    return index >= 0 && static_cast<std::size_t>(index) < N;
}

} // namespace

std::string SettingsText(const SerialSettings& s)
{
    if (!InRange(s.baudIndex, kBaudCaptions) || !InRange(s.parityIndex, kParityTags)
        || !InRange(s.dataBitsIndex, kDataBitsCaptions)
        || !InRange(s.stopBitsIndex, kStopBitsCaptions))
        return {};
    std::string text;
    text.append(kBaudCaptions[static_cast<std::size_t>(s.baudIndex)]).append(",");
    text.append(kParityTags[static_cast<std::size_t>(s.parityIndex)]).append(",");
    text.append(kDataBitsCaptions[static_cast<std::size_t>(s.dataBitsIndex)]).append(",");
    text.append(kStopBitsCaptions[static_cast<std::size_t>(s.stopBitsIndex)]);
    return text;
}

} // namespace fixwatch
