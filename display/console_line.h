#pragma once

#include "talkers.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace fixwatch {

// One received line as the console keeps it: the raw bytes (cut to kMaxKeptLength), when it
// came, and what was learnt of it on arrival.
struct ConsoleLine {
    static constexpr std::size_t kMaxKeptLength = 1024;
    // A slot of the console's ring keeps its text's storage for the next line up to this
    // size, which holds any sentence; a larger one goes when a line half its size or less
    // comes, so that the ring's memory follows what it holds.
    static constexpr std::size_t kReusedCapacity = 256;

    std::string text;
    std::size_t cutCharacters = 0; // received beyond kMaxKeptLength, not kept
    std::int64_t receivedMs = 0;   // milliseconds since the epoch
    std::uint64_t sequence = 0;
    bool badChecksum = false;
    bool unread = false;          // a line the window does not interpret
    bool hasSentChecksum = false; // the line ends with "*" and two characters
    std::uint8_t computedChecksum = 0;
    std::string talker;
    std::string type;

    void Assign(std::string_view line, bool bad, Talkers talkers, std::int64_t nowMs);
};

// Received text as plain, visible characters: printable ASCII as it is, every other byte
// (control characters, bytes past 0x7E) and the backslash as "\xNN".
QString VisibleText(std::string_view bytes);

// What the console shows after a bad line: "  checksum 4A, expected 47", "  checksum in
// lower case (4a)" when only the case of the right sum is wrong, or "  no checksum,
// expected 47" when the line has none; nothing after a good line.
QString ChecksumNote(const ConsoleLine& line);

// What the console shows after a line cut to kMaxKeptLength: " (N more characters not
// kept)", or nothing when the line was kept whole.
QString CutNote(const ConsoleLine& line);

// The colour of a sentence type's identifier.
QColor TypeColour(std::string_view type);

} // namespace fixwatch
