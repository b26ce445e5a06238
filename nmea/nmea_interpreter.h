#pragma once

#include "nmea_events.h"
#include "sentence_view.h"
#include "talkers.h"

#include <string>
#include <string_view>

namespace fixwatch {

// Interprets one NMEA-0183 sentence at a time and raises typed events, synchronously and in
// field order, on the receiver it was given. Keeps no state between calls.
//
// By default only the "GP" talker is read. With Talkers::AllSystems a sentence of any talker
// in kGnssTalkers is read exactly as the same sentence from "GP" would be: same events, same
// values, same order, same result.
//
// GGA fix qualities 4 to 8 are worded "Invalid" by default; with FixQualityWords::Named they
// get their own words, as a display of every system shows them.
enum class FixQualityWords {
    Invalid,
    Named,
};

class NmeaInterpreter {
public:
    NmeaInterpreter(); // events are dropped
    explicit NmeaInterpreter(NmeaEvents& receiver);
    explicit NmeaInterpreter(Talkers talkers); // events are dropped
    NmeaInterpreter(NmeaEvents& receiver, Talkers talkers);

    // The talkers read from the next Parse on (the window applies its option at Start).
    void SetTalkers(Talkers talkers) { talkers_ = talkers; }
    Talkers GetTalkers() const { return talkers_; }

    // The words for GGA fix qualities 4 to 8 from the next Parse on: "RTK Fixed", "RTK Float",
    // "Estimated", "Manual", "Simulator" when Named.
    void SetFixQualityWords(FixQualityWords words) { fixQualityWords_ = words; }
    FixQualityWords GetFixQualityWords() const { return fixQualityWords_; }

    // True when the checksum matches and the identifier is one of the six handled ones.
    bool Parse(std::string_view sentence) const;
    // The same for a line already read by a SentenceView.
    bool Parse(const SentenceView& sentence) const;
    // The checksum as two upper-case hexadecimal digits; "$" is skipped, "*" ends the scan.
    std::string GetChecksum(std::string_view sentence) const;

private:
    bool ParseGGA(const SentenceView& sentence) const;
    bool ParseGLL(const SentenceView& sentence) const;
    bool ParseGSA(const SentenceView& sentence) const;
    bool ParseGSV(const SentenceView& sentence) const;
    bool ParseRMC(const SentenceView& sentence) const;
    bool ParseVTG(const SentenceView& sentence) const;

    void ParseTime(std::string_view field) const;
    void ParseDate(std::string_view field) const;
    void ParsePosition(std::string_view latitude, std::string_view northSouth,
                       std::string_view longitude, std::string_view eastWest) const;
    void ParseFixQuality(std::string_view field) const;
    void ParseStatus(std::string_view field) const;
    void ParseAutoManMode(std::string_view field) const;
    void ParseMode3D(std::string_view field) const;
    void ParseTrueTrack(std::string_view value, std::string_view unit) const;
    void ParseMagneticTrack(std::string_view value, std::string_view unit) const;
    void ParseSpeedKnots(std::string_view value, std::string_view unit) const;
    void ParseSpeedKmh(std::string_view value, std::string_view unit) const;

    NmeaEvents& events_;
    Talkers talkers_ = Talkers::GpsOnly;
    FixQualityWords fixQualityWords_ = FixQualityWords::Invalid;
};

} // namespace fixwatch
