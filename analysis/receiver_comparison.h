#pragma once

#include "gnss_system.h"
#include "sky_signals.h"

#include <GeographicLib/Geocentric.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace fixwatch {

// One carrier band of one satellite as a receiver tracked it at an epoch: its strongest
// signal in that band. Satellites go by their number within their system, so that two
// receivers that number GLONASS or BeiDou differently still meet.
struct BandCn0 {
    GnssSystem system = GnssSystem::GPS;
    int number = 0; // within its system, as NativeNumber gives it
    SignalBand band = SignalBand::L1;
    int cn0 = 0; // dB-Hz

    friend auto operator<=>(const BandCn0& a, const BandCn0& b)
    {
        if (a.system != b.system)
            return a.system <=> b.system;
        if (a.number != b.number)
            return a.number <=> b.number;
        return a.band <=> b.band;
    }
    friend bool operator==(const BandCn0& a, const BandCn0& b) { return (a <=> b) == 0; }
};

// What one receiver said at an epoch: its fix (if it had one) and its tracked bands, sorted.
struct ReceiverEpoch {
    bool fix = false;
    double latitude = 0;          // degrees
    double longitude = 0;         // degrees
    std::optional<double> height; // metres above the WGS 84 ellipsoid
    std::vector<BandCn0> tracked; // sorted, one entry per satellite and band
    // How the receiver stood: GGA's fix quality (or GNS's mode as GGA would say it), the
    // satellites it used and the satellites in view.
    std::optional<int> quality;
    int satellitesUsed = 0;
    int satellitesInView = 0;
};

// Receiver B measured against receiver A over the epochs they share (the same UTC time):
// how far B's position lies from A's in metres east, north and up, and how much stronger B
// hears each signal both track. Fed epoch by epoch in any amount; it keeps sums only, so a
// comparison of days of recordings takes no more memory than one of a minute.
//
// The offsets are on the plane that touches the ellipsoid at A's mean position (GeographicLib's
// LocalCartesian there). The mean position is known only at the end, but the plane's
// coordinates are a fixed rotation of earth-centred ones, so the sums of the earth-centred
// differences are enough, and they are turned at the end.
class ReceiverComparison {
public:
    struct Difference {
        double mean = 0;
        std::size_t count = 0;
    };
    struct Result {
        std::size_t epochs = 0; // shared epochs with a fix in both
        std::size_t onlyA = 0;  // epochs with a fix in A and none in B
        std::size_t onlyB = 0;
        std::optional<double> east, north, up; // mean offset of B from A, metres
        std::optional<double> horizontalRms;   // of B's horizontal offsets from A, metres
        Difference cn0;                        // B - A, dB, over every signal both tracked
        std::array<Difference, std::size(kAllSignalBands)> cn0ByBand{};
    };

    using Vector = std::array<double, 3>;
    // B's offset from A at one shared epoch with a fix in both, earth-centred, metres; `up`
    // says whether both sent a height (without, the offset is taken at one height for both).
    struct EarthOffset {
        Vector earth{};
        bool up = false;
    };
    // Turns earth-centred vectors onto the plane at A's mean position: rows east, north, up.
    struct PlaneRotation {
        std::array<Vector, 3> rows{};
        double Along(std::size_t row, const Vector& v) const
        {
            return rows[row][0] * v[0] + rows[row][1] * v[1] + rows[row][2] * v[2];
        }
    };

    // An epoch that both receivers sent (by its UTC time); B's offset from A when both had a fix.
    std::optional<EarthOffset> AddShared(const ReceiverEpoch& a, const ReceiverEpoch& b);
    // An epoch with a fix that only one receiver sent, or sent with a fix.
    void AddFixOnlyA() { ++onlyA_; }
    void AddFixOnlyB() { ++onlyB_; }

    Result Figures() const;
    // The plane's rotation as it stands now; nothing before the first shared epoch with a fix.
    std::optional<PlaneRotation> Plane() const;

private:
    Vector Earth(const ReceiverEpoch& epoch, double height) const;
    void TakeSignals(const ReceiverEpoch& a, const ReceiverEpoch& b);

    const GeographicLib::Geocentric& earth_ = GeographicLib::Geocentric::WGS84();
    std::size_t epochs_ = 0, onlyA_ = 0, onlyB_ = 0;
    Vector sumA_{};                                     // A's earth-centred positions
    Vector sumOffset_{};                                // B - A, earth-centred
    std::array<std::array<double, 3>, 3> sumSquares_{}; // of B - A, by component pairs
    std::size_t heights_ = 0;                           // shared epochs where both sent a height
    Vector sumOffsetWithHeight_{};
    std::array<double, std::size(kAllSignalBands)> cn0Sums_{};
    std::array<std::size_t, std::size(kAllSignalBands)> cn0Counts_{};
};

} // namespace fixwatch
