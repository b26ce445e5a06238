#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace fixwatch {

// The serial line choices the user makes on the Communication tab, as indexes into the
// setting controls. A default-constructed record holds the start-up defaults: port 1,
// 4800 baud, no parity, 8 data bits, 1 stop bit, no handshaking, DTR, RTS and null discard off,
// GPS sentences only.
struct SerialSettings {
    std::int16_t portIndex = 0;     // port number = portIndex + 1
    std::int16_t baudIndex = 5;     // into kBaudCaptions
    std::int16_t parityIndex = 0;   // into kParityTags
    std::int16_t dataBitsIndex = 3; // into kDataBitsCaptions
    std::int16_t stopBitsIndex = 0; // into kStopBitsCaptions
    bool dtrEnable = false;
    bool rtsEnable = false;
    bool nullDiscard = false;
    std::int16_t handshakingIndex = 0; // into kHandshakingItems, handed to the port unchanged
    bool allGnss = false;              // read the sentences of every satellite system

    friend bool operator==(const SerialSettings&, const SerialSettings&) = default;
};

// Ports are numbered 1 to kPortCount: in the window's list, on the command line and in the
// machine's port list.
inline constexpr int kPortCount = 255;

// Captions of the option buttons; for parity the caption differs from the letter (its tag)
// that goes into the settings text.
inline constexpr std::array<std::string_view, 11> kBaudCaptions = {
    "150", "300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
inline constexpr std::array<std::string_view, 3> kParityCaptions = {"None", "Even", "Odd"};
inline constexpr std::array<std::string_view, 3> kParityTags = {"N", "E", "O"};
inline constexpr std::array<std::string_view, 4> kDataBitsCaptions = {"5", "6", "7", "8"};
inline constexpr std::array<std::string_view, 3> kStopBitsCaptions = {"1", "1.5", "2"};
inline constexpr std::array<std::string_view, 4> kHandshakingItems = {
    "None", "XonOff", "RTS", "RTSXonOff"};

// The settings text "baud,parity,data,stop" of the record, "4800,N,8,1" for the defaults.
// Empty when an index lies outside its list, which the port refuses as unusable.
std::string SettingsText(const SerialSettings& settings);

} // namespace fixwatch
