#include "fix_texts.h"

#include "number_format.h"

#include <algorithm>

namespace fixwatch {
void FixTexts::SetCoordinateFormat(CoordinateFormat format)
{
    format_ = format;
    SetPosition(latitude_, longitude_);
}

void FixTexts::SetText(std::size_t index, const QString& text)
{
    if (index < kCount)
        recorded_[index] = text;
}

void FixTexts::SetPosition(const std::string& latitude, const std::string& longitude)
{
    latitude_ = latitude;
    longitude_ = longitude;
    recorded_[kLatitude] = QString::fromLatin1(latitude);
    recorded_[kLongitude] = QString::fromLatin1(longitude);
    const PositionText shown = FormatPosition(latitude, longitude, format_);
    shownLatitude_ = QString::fromLatin1(shown.first);
    shownLongitude_ = QString::fromLatin1(shown.second);
}

void FixTexts::SetNumber(std::size_t index, double value)
{
    if (index >= kCount)
        return;
    numbers_[index] = value;
    recorded_[index] = Number(value);
}

void FixTexts::Clear()
{
    recorded_.fill(QString());
    numbers_.fill(std::nullopt);
    latitude_.clear();
    longitude_.clear();
    shownLatitude_.clear();
    shownLongitude_.clear();
}

QString FixTexts::Recorded(std::size_t index) const
{
    return index < kCount ? recorded_[index] : QString();
}

QString FixTexts::Shown(std::size_t index) const
{
    switch (index) {
    case kLatitude:
        return shownLatitude_;
    case kLongitude:
        return shownLongitude_;
    case kAltitude:
        return Length(kAltitude, altitudeUnit_);
    case kGeoidSeparation:
        return Length(kGeoidSeparation, geoidUnit_);
    case kSpeedKmh:
        if (units_ == UnitSystem::Nautical)
            return recorded_[kSpeedKnots];
        if (units_ == UnitSystem::Imperial && numbers_[kSpeedKmh])
            return Converted(*numbers_[kSpeedKmh], *numbers_[kSpeedKmh] / kKilometresPerMile);
        return recorded_[kSpeedKmh];
    case kSpeedKnots:
        return units_ == UnitSystem::Nautical ? recorded_[kSpeedKmh] : recorded_[kSpeedKnots];
    default:
        return Recorded(index);
    }
}

QString FixTexts::ShownUnit(std::size_t index) const
{
    const bool nautical = units_ == UnitSystem::Nautical;
    switch (index) {
    case kAltitudeUnit:
        return LengthUnit(altitudeUnit_);
    case kKnotsUnit:
        return nautical ? QStringLiteral("[Km/h]") : QStringLiteral("[Knots]");
    case kKmhUnit:
        if (units_ == UnitSystem::Imperial)
            return QStringLiteral("[mph]  /");
        return nautical ? QStringLiteral("[Knots]  /") : QStringLiteral("[Km/h]  /");
    case kGeoidSeparationUnit:
        return LengthUnit(geoidUnit_);
    default:
        return QString();
    }
}

QString FixTexts::SpeedToolTip(std::size_t index) const
{
    const bool first = index == kSpeedKmh;
    switch (units_) {
    case UnitSystem::Metric:
        break;
    case UnitSystem::Imperial:
        if (first)
            return QStringLiteral("Current speed [mph]");
        break;
    case UnitSystem::Nautical:
        return first ? QStringLiteral("Current speed [knots]") : QStringLiteral("Current speed [km/h]");
    }
    return first ? QStringLiteral("Current speed [km/h]") : QStringLiteral("Current speed [knots]");
}

QString FixTexts::Number(double value) const
{
    return FormatUpToThreeDecimals(value, decimalPoint_);
}

QString FixTexts::Converted(double received, double converted) const
{
    // As many decimals as were received, and at least the one the display always shows.
    return FormatDecimals(converted, std::max(DecimalsCarried(received), 1), decimalPoint_);
}

bool FixTexts::InMetres(const std::optional<std::string>& unit) const
{
    return !unit || *unit == "M" || *unit == "m";
}

QString FixTexts::Length(std::size_t index, const std::optional<std::string>& unit) const
{
    if (units_ == UnitSystem::Imperial && InMetres(unit) && numbers_[index])
        return Converted(*numbers_[index], *numbers_[index] / kMetresPerFoot);
    return recorded_[index];
}

QString FixTexts::LengthUnit(const std::optional<std::string>& unit) const
{
    if (units_ == UnitSystem::Imperial && InMetres(unit))
        return QStringLiteral("[ft]");
    return unit ? QLatin1Char('[') + QString::fromLatin1(*unit).toLower() + QLatin1Char(']') : QStringLiteral("[m]");
}

} // namespace fixwatch
