#include "multiband_rows.h"

#include "number_format.h"

#include <QGroupBox>
#include <QLabel>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace fixwatch {
namespace {

void SetText(QLabel* label, const QString& text)
{
    if (label != nullptr && label->text() != text)
        label->setText(text);
}

} // namespace

MultibandRows::MultibandRows(const MultibandWidgets& widgets, const QLocale& locale)
    : w_(widgets), decimalPoint_(locale.decimalPoint())
{
    SetVisible(false);
    Clear();
}

void MultibandRows::SetShown(bool shown)
{
    if (shown == shown_)
        return;
    shown_ = shown;
    SetVisible(shown);
    Clear();
}

void MultibandRows::SetVisible(bool visible)
{
    for (QWidget* widget : {static_cast<QWidget*>(w_.ellipsoidHeightCaption), static_cast<QWidget*>(w_.ellipsoidHeight),
                            static_cast<QWidget*>(w_.ellipsoidHeightUnit), static_cast<QWidget*>(w_.trueHeadingCaption),
                            static_cast<QWidget*>(w_.trueHeading), static_cast<QWidget*>(w_.gbsFrame)})
        if (widget != nullptr)
            widget->setVisible(visible);
}

void MultibandRows::SetUnits(UnitSystem units)
{
    units_ = units;
    ShowValues();
}

void MultibandRows::Clear()
{
    ellipsoidHeight_.reset();
    trueHeading_.reset();
    gbsErrors_ = {};
    gbsSuspect_.clear();
    ShowRtkCaptions(false);
    ShowValues();
}

void MultibandRows::ShowEpoch(const Epoch& epoch)
{
    if (!shown_)
        return;
    // Called after every line: the labels are written only when a value changed.
    const auto before = std::tuple(ellipsoidHeight_, trueHeading_, gbsErrors_, gbsSuspect_);
    // An epoch without an altitude says nothing of the height; one with an altitude but no
    // geoid separation says it cannot be known.
    if (epoch.altitude) {
        ellipsoidHeight_ = epoch.EllipsoidHeight();
        // The sum carries no more decimals than its parts: 100.3 + 47.2 is 147.5, not the
        // double next to it.
        if (ellipsoidHeight_) {
            const double scale = std::pow(10.0, std::max(DecimalsCarried(*epoch.altitude),
                                                         DecimalsCarried(*epoch.geoidSeparation)));
            ellipsoidHeight_ = std::round(*ellipsoidHeight_ * scale) / scale;
        }
    }
    if (epoch.trueHeading)
        trueHeading_ = epoch.trueHeading;
    // A GBS sends its errors and its suspect together: an empty suspect is "none".
    if (epoch.gbsLatitudeError || epoch.gbsLongitudeError || epoch.gbsAltitudeError || epoch.gbsSuspectNumber) {
        gbsErrors_ = {epoch.gbsLatitudeError, epoch.gbsLongitudeError, epoch.gbsAltitudeError};
        gbsSuspect_.clear();
        if (epoch.gbsSuspectNumber) {
            if (epoch.gbsSuspectSystem)
                gbsSuspect_ = QLatin1Char(SystemLetter(*epoch.gbsSuspectSystem));
            gbsSuspect_ += QString::number(*epoch.gbsSuspectNumber);
        }
    }
    if (epoch.fixQuality)
        ShowRtkCaptions(*epoch.fixQuality == 4 || *epoch.fixQuality == 5);
    if (std::tuple(ellipsoidHeight_, trueHeading_, gbsErrors_, gbsSuspect_) != before)
        ShowValues();
}

void MultibandRows::ShowValues()
{
    SetText(w_.ellipsoidHeight, Length(ellipsoidHeight_));
    SetText(w_.ellipsoidHeightUnit, LengthUnit());
    SetText(w_.trueHeading, trueHeading_ ? FormatUpToThreeDecimals(*trueHeading_, decimalPoint_) : QString());
    for (std::size_t i = 0; i < gbsErrors_.size(); ++i) {
        SetText(w_.gbs[i], Length(gbsErrors_[i]));
        SetText(w_.gbsUnits[i], LengthUnit());
    }
    SetText(w_.gbs[kGbsSuspect], gbsSuspect_);
}

void MultibandRows::ShowRtkCaptions(bool rtk)
{
    SetText(w_.dgpsAgeCaption, rtk ? RtkAgeCaption() : DefaultAgeCaption());
    SetText(w_.dgpsStationCaption, rtk ? RtkStationCaption() : DefaultStationCaption());
}

QString MultibandRows::Length(const std::optional<double>& metres) const
{
    if (!metres)
        return {};
    if (units_ == UnitSystem::Imperial)
        return FormatDecimals(*metres / kMetresPerFoot, std::max(DecimalsCarried(*metres), 1), decimalPoint_);
    return FormatUpToThreeDecimals(*metres, decimalPoint_);
}

QString MultibandRows::LengthUnit() const
{
    return units_ == UnitSystem::Imperial ? QStringLiteral("[ft]") : QStringLiteral("[m]");
}

} // namespace fixwatch
