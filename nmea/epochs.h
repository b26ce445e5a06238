#pragma once

#include "gnss_system.h"
#include "sentence_view.h"
#include "sky.h"
#include "talkers.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fixwatch {

// A UTC calendar day, as RMC or ZDA send it.
struct UtcDate {
    int year = 0;
    int month = 0;
    int day = 0;

    UtcDate NextDay() const;
    UtcDate PreviousDay() const;
    friend bool operator==(const UtcDate&, const UtcDate&) = default;
};

// "YYYY-MM-DD" read as a date; nothing for any other text or a day that does not exist.
std::optional<UtcDate> ReadIsoDate(std::string_view text);

// What one fix epoch said, as numbers: every value the receiver did not send stays empty.
struct Epoch {
    std::optional<std::int32_t> timeMs;    // UTC time of day in milliseconds
    std::optional<UtcDate> date;           // from RMC or ZDA, or carried on from an earlier one
    std::optional<double> latitude;        // decimal degrees, north positive
    std::optional<double> longitude;       // decimal degrees, east positive
    std::optional<double> altitude;        // metres above mean sea level (GGA, else GNS)
    std::optional<double> geoidSeparation; // metres, the ellipsoid above the geoid (GGA, else GNS)
    std::optional<double> speedKnots;      // RMC or VTG
    std::optional<double> course;          // degrees true, RMC or VTG
    std::optional<int> fixQuality;         // GGA 0..8, else GNS's mode as GGA would say it
    std::optional<char> rmcStatus;         // 'A' or 'V'
    std::optional<char> gllStatus;         // 'A' or 'V'
    std::optional<int> gsaMode;            // 1 no fix, 2 2D, 3 3D
    std::optional<int> satellitesUsed;     // GGA's count
    std::optional<double> hdop;            // GSA, else GGA
    std::optional<double> vdop;
    std::optional<double> pdop;
    std::optional<double> cn0Mean; // dB-Hz over the used satellites with a signal
    std::optional<int> cn0Max;
    std::optional<double> sigmaLatitude; // GST, metres
    std::optional<double> sigmaLongitude;
    std::optional<double> sigmaAltitude;
    // What the receiver's integrity check (GBS) expects its errors to be, metres, and the
    // satellite it suspects of failing: its number as sent and, when known, its system.
    std::optional<double> gbsLatitudeError;
    std::optional<double> gbsLongitudeError;
    std::optional<double> gbsAltitudeError;
    std::optional<int> gbsSuspectNumber;
    std::optional<GnssSystem> gbsSuspectSystem;
    // Degrees true, 0 to below 360, from a dual-antenna receiver or a compass: HDT, or THS
    // with a valid mode; the first of the epoch.
    std::optional<double> trueHeading;
    // Satellites used and in view per system, from the sky (GSV and GSA) as the epoch closed.
    std::array<std::uint8_t, std::size(kAllGnssSystems)> usedBySystem{};
    std::array<std::uint8_t, std::size(kAllGnssSystems)> inViewBySystem{};

    // A position that counts as a fix: GGA quality above 0, RMC status A, or GLL status A in an
    // epoch that neither GGA nor RMC spoke in.
    bool HasFix() const;
    // The height above the ellipsoid, metres: the altitude above mean sea level plus the geoid
    // separation; nothing unless both were sent.
    std::optional<double> EllipsoidHeight() const
    {
        return altitude && geoidSeparation ? std::optional(*altitude + *geoidSeparation) : std::nullopt;
    }
    // GGA's quality 8: a receiver's simulator, not a position anyone was at.
    bool Simulated() const { return fixQuality == 8; }
    // Neither GGA nor RMC spoke in the epoch: what it knows of the fix came from GLL alone.
    bool GllOnly() const { return gllStatus && !fixQuality && !rmcStatus; }
};

// A GGA's fix, read on its own: what accuracy statistics count.
struct GgaFix {
    std::optional<std::int32_t> timeMs;
    double latitude = 0;
    double longitude = 0;
    std::optional<double> altitude;
    int quality = 0;
};

// The fix of a GGA with a matching checksum from a talker `talkers` reads, a quality above 0
// and a readable position; nothing for any other line.
std::optional<GgaFix> ReadGgaFix(std::string_view sentence, Talkers talkers);
std::optional<GgaFix> ReadGgaFix(const SentenceView& sentence, Talkers talkers);

// The last `capacity` epochs, oldest first; adding one is O(1).
class EpochHistory {
public:
    static constexpr std::size_t kDefaultCapacity = std::size_t{24} * 60 * 60; // a day at 1 Hz

    explicit EpochHistory(std::size_t capacity = kDefaultCapacity);

    void Push(const Epoch& epoch);
    void Clear();
    std::size_t Size() const { return ring_.size(); }
    std::size_t Capacity() const { return capacity_; }
    const Epoch& operator[](std::size_t index) const { return ring_[index]; } // 0 is the oldest kept
    const Epoch& Newest() const { return ring_.back(); }

private:
    std::size_t capacity_;
    std::deque<Epoch> ring_;
};

// Builds epochs from the sentences as they arrive, one line (without CR LF) per Feed. A GGA,
// RMC or GLL (and with every system, GNS) with a UTC time other than the open epoch's closes
// it and opens the next one
// (times are compared as far as the coarser of the two goes: 200619.295 is 200619.30);
// every other sentence adds to the open epoch. Only sentences with a matching checksum from
// a talker `talkers` reads count. A date carries on from epoch to epoch and steps to the next
// day when the time of day goes back by more than twelve hours (midnight), until RMC or ZDA
// say otherwise.
//
// Every system's reading also takes GNS, GBS, HDT and THS. GNS gives the fix of a receiver
// that sends no GGA; when both come in one epoch, GGA's values win.
class EpochModel {
public:
    // With `sharedSky`, the satellites come from a sky that the caller feeds with the same
    // lines (the window's), and the model leaves GSV and GSA to it; otherwise it keeps its own.
    explicit EpochModel(Talkers talkers = Talkers::GpsOnly,
                        std::size_t capacity = EpochHistory::kDefaultCapacity, const Sky* sharedSky = nullptr);

    // Reads one sentence; true when it closed an epoch (now History().Newest()). A GSV
    // alone opens no epoch: it carries no time and no fix.
    bool Feed(std::string_view sentence);
    // The same for a line already read, as the window's session reads each line once.
    bool Feed(const SentenceView& sentence);

    // Closes the open epoch, if it holds anything: at the end of a file.
    bool Finish();

    // Forgets every epoch and the date, as at construction.
    void Reset();

    // The date epochs take until a sentence sends one (a GGA-only receiver's recording).
    void AssumeDate(std::optional<UtcDate> date)
    {
        assumedDate_ = date;
        date_ = date;
        dateTimeMs_.reset();
    }

    const EpochHistory& History() const { return history_; }
    const Epoch& Open() const { return open_; }
    std::uint64_t ClosedCount() const { return closed_; } // since Reset, also those the ring dropped

private:
    void OpenAt(std::int32_t timeMs);
    void Close();
    // A sentence's fields, the identifier first, at least as many as kMinimumFields asks.
    using Fields = std::span<const std::string_view>;

    void ReadGga(Fields f);
    void ReadRmc(Fields f);
    void ReadGll(Fields f);
    void ReadVtg(Fields f);
    void ReadGsa(Fields f);
    void ReadGst(Fields f);
    void ReadZda(Fields f);
    void ReadGns(Fields f);
    void ReadGbs(Fields f);
    void ReadHdt(Fields f);
    void ReadThs(Fields f);
    bool TakeTime(std::string_view field);
    void TakeDate(const UtcDate& date, std::optional<std::int32_t> timeMs);
    std::optional<UtcDate> DateAt(std::int32_t timeMs) const;

    Talkers talkers_;
    Sky sky_;
    const Sky* sharedSky_;
    bool ownSky_;
    EpochHistory history_;
    Epoch open_;
    bool openHasData_ = false;
    bool gsaDops_ = false;     // the open epoch's DOPs came from a GSA
    bool ggaTaken_ = false;    // the open epoch has a GGA's values
    bool ggaPosition_ = false; // ... and that GGA had a position
    bool gnsTaken_ = false;    // the same for GNS, which gives way to GGA
    bool gnsPosition_ = false;
    std::optional<UtcDate> assumedDate_;
    std::optional<UtcDate> date_; // the date as it stands, at the time of day dateTimeMs_
    std::optional<std::int32_t> dateTimeMs_;
    int openTimeDecimals_ = 0; // digits after the second in the time that opened the epoch
    std::uint64_t closed_ = 0;
};

} // namespace fixwatch
