#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace fixwatch {

// Which talkers a reader of sentences takes: only GPS's "GP" (the default reading), or the
// talkers of every satellite system.
enum class Talkers { GpsOnly, AllSystems };

// The talkers a multi-system receiver uses: GPS, any combination, GLONASS, Galileo, BeiDou
// (two spellings), QZSS (two spellings) and NavIC. "GP" comes first.
inline constexpr std::array<std::string_view, 9> kGnssTalkers{"GP", "GN", "GL", "GA", "GB",
                                                              "BD", "GQ", "QZ", "GI"};

// The position of `talker` in kGnssTalkers, or nothing for any other text.
std::optional<std::size_t> GnssTalkerIndex(std::string_view talker);

// True when a reader of `talkers` takes sentences of `talker`.
bool ReadsTalker(Talkers talkers, std::string_view talker);

// The talker ("GN", "GL", ...) of a sentence that only the all-systems reading shows: a
// GGA, GLL, GSA, GSV, RMC or VTG with a matching checksum from one of the eight talkers
// besides "GP". Nothing for any other text. The view points into kGnssTalkers.
std::optional<std::string_view> NonGpsTalker(std::string_view sentence);
class SentenceView;
std::optional<std::string_view> NonGpsTalker(const SentenceView& sentence);

} // namespace fixwatch
