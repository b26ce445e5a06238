#pragma once

#include "coordinate_text.h"
#include "fix_fields.h"

#include <QString>

#include <array>
#include <optional>
#include <string>
#include <utility>

namespace fixwatch {

// The current fix texts as the interpreter's events make them (what the data logger and
// "Save current position" record, whatever the window shows), and what the Position tab
// shows of them in the chosen coordinate format and unit set. Indexes are those of
// Lab_Posizione (texts, FixField) and Lab_PosizioneUM (unit captions, FixUnitField). With
// the defaults, Sent and Metric, every shown text is the recorded one.
class FixTexts {
public:
    static constexpr std::size_t kCount = kFixFieldCount;

    explicit FixTexts(QString decimalPoint) : decimalPoint_(std::move(decimalPoint)) {}

    void SetCoordinateFormat(CoordinateFormat format);
    CoordinateFormat Coordinates() const { return format_; }
    void SetUnits(UnitSystem units) { units_ = units; }
    UnitSystem Units() const { return units_; }

    // Time and date: `text` as the label shows it by default.
    void SetText(std::size_t index, const QString& text);
    // The worded latitude and longitude (ISO-8859-1).
    void SetPosition(const std::string& latitude, const std::string& longitude);
    // Altitude, both speeds, bearing and geoid separation, by "###0.0##".
    void SetNumber(std::size_t index, double value);
    // The unit letters of the altitude and of the geoid separation, as received.
    void SetAltitudeUnit(const std::string& unit) { altitudeUnit_ = unit; }
    void SetGeoidUnit(const std::string& unit) { geoidUnit_ = unit; }
    // Every text empty, as the display after a clearing; the units stay.
    void Clear();

    QString Recorded(std::size_t index) const;
    QString Shown(std::size_t index) const;
    QString ShownUnit(std::size_t index) const;
    // The tooltips of the two speed labels, kSpeedKmh and kSpeedKnots, which name their unit.
    QString SpeedToolTip(std::size_t index) const;

private:
    QString Number(double value) const;
    // A value converted to another unit, shown with the precision of the received one.
    QString Converted(double received, double converted) const;
    // Metres are converted to feet; a value in another unit is shown as received.
    bool InMetres(const std::optional<std::string>& unit) const;
    QString Length(std::size_t index, const std::optional<std::string>& unit) const;
    QString LengthUnit(const std::optional<std::string>& unit) const;

    QString decimalPoint_;
    CoordinateFormat format_ = CoordinateFormat::Sent;
    UnitSystem units_ = UnitSystem::Metric;
    std::array<QString, kCount> recorded_{};
    std::array<std::optional<double>, kCount> numbers_{};
    std::string latitude_, longitude_;
    QString shownLatitude_, shownLongitude_;
    // Not received yet: the layout's "[m]" stands.
    std::optional<std::string> altitudeUnit_, geoidUnit_;
};

} // namespace fixwatch
