#pragma once

#include "nmea_events.h"
#include "talkers.h"

#include <string>
#include <string_view>
#include <vector>

namespace fixwatch {

// Interprets one NMEA-0183 sentence at a time and raises typed events, synchronously and in
// field order, on the receiver it was given. Keeps no state between calls.
//
// By default only the "GP" talker is read. With Talkers::AllSystems a sentence of any talker
// in kGnssTalkers is read exactly as the same sentence from "GP" would be: same events, same
// values, same order, same result.
class NmeaInterpreter {
public:
    NmeaInterpreter();                               // events are dropped
    explicit NmeaInterpreter(NmeaEvents& receiver);
    explicit NmeaInterpreter(Talkers talkers);       // events are dropped
    NmeaInterpreter(NmeaEvents& receiver, Talkers talkers);

    // The talkers read from the next Parse on (the window applies its option at Start).
    void SetTalkers(Talkers talkers) { talkers_ = talkers; }
    Talkers GetTalkers() const { return talkers_; }

    // True when the checksum matches and the identifier is one of the six handled ones.
    bool Parse(std::string_view sentence) const;
    // The checksum as two upper-case hexadecimal digits; "$" is skipped, "*" ends the scan.
    std::string GetChecksum(std::string_view sentence) const;

private:
    using FieldList = std::vector<std::string_view>;

    static FieldList SplitFields(std::string_view sentence);
    bool IsChecksumValid(std::string_view sentence) const;

    bool ParseGGA(std::string_view sentence) const;
    bool ParseGLL(std::string_view sentence) const;
    bool ParseGSA(std::string_view sentence) const;
    bool ParseGSV(std::string_view sentence) const;
    bool ParseRMC(std::string_view sentence) const;
    bool ParseVTG(std::string_view sentence) const;

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
};

} // namespace fixwatch
