#include "fix_display.h"

#include "number_format.h"
#include "plain_text.h"
#include "units.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace fixwatch {
namespace {

// What a channel's status says of its satellite.
QString ChannelStatus(bool inUse)
{
    return inUse ? QStringLiteral("In use") : QStringLiteral("Not in use");
}

template <std::size_t N>
QLabel* At(const std::array<QLabel*, N>& labels, std::size_t index)
{
    return index < N ? labels[index] : nullptr;
}

} // namespace

void FixDisplay::Show(QLabel* label, const QString& text, bool repaintNow)
{
    // A label already showing the text needs neither a new text nor a paint.
    if (label == nullptr || Text(label) == text)
        return;
    if (batchDepth_ > 0)
        pendingTexts_[label] = text;
    else
        label->setText(text);
    if (repaintNow)
        Paint(label);
}

void FixDisplay::SetBar(QProgressBar* bar, int level, const QString& tooltip)
{
    if (bar == nullptr)
        return;
    const Bar shown{level, PlainToolTip(tooltip)};
    if (Level(bar) == shown)
        return;
    if (batchDepth_ > 0)
        pendingBars_[bar] = shown;
    else
        SetBarNow(bar, shown);
    Paint(bar);
}

void FixDisplay::SetBarNow(QProgressBar* bar, const Bar& shown)
{
    bar->setToolTip(shown.tooltip);
    bar->setValue(shown.level);
}

QString FixDisplay::Text(QLabel* label) const
{
    const auto pending = pendingTexts_.find(label);
    return pending != pendingTexts_.end() ? pending->second : label->text();
}

FixDisplay::Bar FixDisplay::Shown(QProgressBar* bar)
{
    return Bar{bar->value(), bar->toolTip()};
}

FixDisplay::Bar FixDisplay::Level(QProgressBar* bar) const
{
    const auto pending = pendingBars_.find(bar);
    return pending != pendingBars_.end() ? pending->second : Shown(bar);
}

void FixDisplay::Paint(QWidget* widget)
{
    if (batchDepth_ == 0) {
        widget->repaint();
        return;
    }
    if (std::find(unpainted_.begin(), unpainted_.end(), widget) == unpainted_.end())
        unpainted_.push_back(widget);
}

// The last text and level each widget was given in the batch. A widget that ends the batch as
// it began it, as a column that a GSA blanks and the next GSV fills again, is neither changed
// nor painted.
void FixDisplay::ApplyPending()
{
    auto unchanged = [this](QWidget* widget) { std::erase(unpainted_, widget); };
    for (const auto& [label, text] : pendingTexts_) {
        if (label->text() == text)
            unchanged(label);
        else
            label->setText(text);
    }
    for (const auto& [bar, shown] : pendingBars_) {
        if (Shown(bar) == shown)
            unchanged(bar);
        else
            SetBarNow(bar, shown);
    }
    pendingTexts_.clear();
    pendingBars_.clear();
}

void FixDisplay::BeginBatch()
{
    ++batchDepth_;
}

void FixDisplay::EndBatch()
{
    if (batchDepth_ == 0 || --batchDepth_ > 0)
        return;
    ApplyPending();
    // One synchronous paint of each window for the whole batch. A repaint of each widget in
    // turn would paint and send to the screen once per widget, and the first of them already
    // paints every widget whose text changed since.
    //
    // Pending layouts run first, so that the region is where the widgets now stand. They also
    // lay out the new text of each selectable label, which the label otherwise does while it
    // paints, asking from there to be painted again: a second paint of the window each tick.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    std::vector<std::pair<QWidget*, QRegion>> windows;
    for (QWidget* widget : unpainted_) {
        if (!widget->isVisible())
            continue;
        QWidget* top = widget->window();
        auto at = std::find_if(windows.begin(), windows.end(), [top](const auto& w) { return w.first == top; });
        if (at == windows.end())
            at = windows.insert(windows.end(), {top, QRegion()});
        at->second += QRect(widget->mapTo(top, QPoint(0, 0)), widget->size());
    }
    for (const auto& [top, region] : windows)
        top->repaint(region);
    unpainted_.clear();
}

FixDisplay::FixDisplay(const DisplayWidgets& widgets, const QLocale& locale)
    : w_(widgets), decimalPoint_(locale.decimalPoint()), texts_(decimalPoint_)
{
}

void FixDisplay::ShowFixText(std::size_t index, bool repaintNow)
{
    Show(At(w_.Lab_Posizione, index), texts_.Shown(index), repaintNow);
}

void FixDisplay::ShowUnitCaption(std::size_t index)
{
    Show(At(w_.Lab_PosizioneUM, index), texts_.ShownUnit(index));
}

void FixDisplay::SetCoordinateFormat(CoordinateFormat format)
{
    texts_.SetCoordinateFormat(format);
    ShowFixText(kLatitude);
    ShowFixText(kLongitude);
}

void FixDisplay::SetUnits(UnitSystem units)
{
    texts_.SetUnits(units);
    for (const FixField index : {kAltitude, kSpeedKmh, kSpeedKnots, kGeoidSeparation})
        ShowFixText(index);
    for (std::size_t index = 0; index < w_.Lab_PosizioneUM.size(); ++index)
        ShowUnitCaption(index);
    for (const FixField index : {kSpeedKmh, kSpeedKnots}) {
        if (QLabel* label = w_.Lab_Posizione[index])
            label->setToolTip(texts_.SpeedToolTip(index));
    }
}

// Position and motion.

void FixDisplay::gps_TimeChanged(const std::string& sTime)
{
    texts_.SetText(kTime, QString::fromLatin1(sTime));
    ShowFixText(kTime);
}

void FixDisplay::gps_DateChanged(const std::string& satDate)
{
    texts_.SetText(kDate, FormatDate(QString::fromLatin1(satDate)));
    ShowFixText(kDate, false);
}

void FixDisplay::gps_PositionReceived(const std::string& latitude, const std::string& longitude)
{
    texts_.SetPosition(latitude, longitude);
    ShowFixText(kLatitude);
    ShowFixText(kLongitude);
}

void FixDisplay::gps_AltitudeReceived(double altitude)
{
    texts_.SetNumber(kAltitude, altitude);
    ShowFixText(kAltitude);
}

void FixDisplay::gps_AltitudeUnitsReceived(const std::string& altitudeUnits)
{
    texts_.SetAltitudeUnit(altitudeUnits);
    ShowUnitCaption(kAltitudeUnit);
    if (texts_.Units() == UnitSystem::Imperial) // only metres are converted to feet
        ShowFixText(kAltitude);
}

void FixDisplay::gps_SpeedReceivedKmh(double Velocita)
{
    texts_.SetNumber(kSpeedKmh, Velocita);
    ShowFixText(kSpeedKmh);
    if (texts_.Units() == UnitSystem::Nautical) // km/h is the second speed there
        ShowFixText(kSpeedKnots);
}

void FixDisplay::gps_SpeedReceivedKnots(double Velocita)
{
    texts_.SetNumber(kSpeedKnots, Velocita);
    ShowFixText(kSpeedKnots);
    if (texts_.Units() == UnitSystem::Nautical) // knots are the first speed there
        ShowFixText(kSpeedKmh);
}

void FixDisplay::gps_BearingReceived(double bearing)
{
    texts_.SetNumber(kBearing, bearing);
    ShowFixText(kBearing);
}

void FixDisplay::gps_GeoidSeparationReceived(double geoidSeparation)
{
    texts_.SetNumber(kGeoidSeparation, geoidSeparation);
    ShowFixText(kGeoidSeparation);
}

void FixDisplay::gps_GeoidSeparationUnitsReceived(const std::string& geoidSeparationUnits)
{
    texts_.SetGeoidUnit(geoidSeparationUnits);
    ShowUnitCaption(kGeoidSeparationUnit);
    if (texts_.Units() == UnitSystem::Imperial)
        ShowFixText(kGeoidSeparation);
}

void FixDisplay::gps_TrueTrack(const std::string& Ttrack)
{
    Show(w_.Lab_PosizioneInfo[kTrueTrack], QString::fromLatin1(Ttrack));
}

void FixDisplay::gps_MagneticTrack(const std::string& Mtrack)
{
    Show(w_.Lab_PosizioneInfo[kMagneticTrack], QString::fromLatin1(Mtrack));
}

// Fix status and precision.

void FixDisplay::gps_SatellitesInViewReceived(std::int16_t satellitesInView)
{
    Show(w_.Lab_PosizioneInfo[kSatellitesInView], FormatInteger(satellitesInView));
}

void FixDisplay::gps_SatellitesUsedReceived(std::int16_t satellitesUsed)
{
    Show(w_.Lab_PosizioneInfo[kSatellitesUsed], FormatInteger(satellitesUsed));
}

void FixDisplay::gps_PDOPReceived(double value)
{
    Show(w_.Lab_PosizioneInfo[kPdop], FormatOneDecimal(value, decimalPoint_));
}

void FixDisplay::gps_HDOPReceived(double value)
{
    Show(w_.Lab_PosizioneInfo[kHdop], FormatOneDecimal(value, decimalPoint_));
}

void FixDisplay::gps_VDOPReceived(double value)
{
    Show(w_.Lab_PosizioneInfo[kVdop], FormatOneDecimal(value, decimalPoint_));
}

void FixDisplay::gps_FixLost()
{
    Show(w_.Lab_PosizioneInfo[kFixStatus], QStringLiteral("Fix lost"));
}

void FixDisplay::gps_FixObtained()
{
    Show(w_.Lab_PosizioneInfo[kFixStatus], QStringLiteral("Fix Obtained"));
}

void FixDisplay::gps_AutoManModeReceived(const std::string& autoManMode)
{
    Show(w_.Lab_PosizioneInfo[kAutoManMode], QString::fromLatin1(autoManMode));
}

void FixDisplay::gps_Mode3DReceived(const std::string& mode3D)
{
    Show(w_.Lab_PosizioneInfo[kMode3D], QString::fromLatin1(mode3D));
}

void FixDisplay::gps_PositionFixReceived(const std::string& positionFix)
{
    Show(w_.Lab_PosizioneInfo[kPositionFix], QString::fromLatin1(positionFix));
}

void FixDisplay::gps_DGPSageReceived(std::int16_t dGPSage)
{
    Show(w_.Lab_PosizioneInfo[kDgpsAge], FormatInteger(dGPSage));
}

void FixDisplay::gps_DGPSstationIDReceived(const std::string& dGPSstationID)
{
    Show(w_.Lab_PosizioneInfo[kDgpsStation], QString::fromLatin1(dGPSstationID));
}

// Satellite channels.

void FixDisplay::gps_SatelliteReceived(std::int16_t satelliteNumber,
                                       std::int16_t pseudoRandomCode, std::int16_t azimuth,
                                       std::int16_t elevation, std::int16_t signalToNoiseRatio)
{
    // Column k shows the k-th satellite of the listing; a fourth GSV message (13 to 16)
    // has no column and changes nothing.
    const int column = satelliteNumber - 1;
    if (column < 0 || static_cast<std::size_t>(column) >= w_.Lab_Sat.size())
        return;
    const auto i = static_cast<std::size_t>(column);

    Show(w_.Lab_Sat[i], FormatInteger(pseudoRandomCode));
    Show(w_.Lab_SatE[i], FormatInteger(elevation));
    Show(w_.Lab_SatA[i], FormatInteger(azimuth));

    QProgressBar* bar = w_.PSat[i];
    if (bar == nullptr)
        return;
    // The bar shows the ratio within its own range; the tooltip keeps the ratio received.
    double level = signalToNoiseRatio;
    if (bar->maximum() < level)
        level = bar->maximum();
    if (bar->minimum() > level)
        level = bar->minimum();
    SetBar(bar, static_cast<int>(std::lround(level)), FormatInteger(signalToNoiseRatio));
}

void FixDisplay::ChannelReceived(std::size_t channel, std::int16_t satellite)
{
    // The status is painted after the column is blanked, as the last step of the handler.
    QLabel* status = At(w_.Lab_PosizioneInfo3b, channel);
    const QString shown = ChannelStatus(satellite != 0);
    const bool changed = status != nullptr && Text(status) != shown;
    Show(status, shown, false);
    if (satellite == 0)
        ClearSatelliteSlot(static_cast<std::int16_t>(channel));
    if (changed)
        Paint(status);
}

void FixDisplay::ClearSatelliteSlot(std::int16_t slot)
{
    if (slot < 0 || static_cast<std::size_t>(slot) >= w_.Lab_Sat.size())
        return;
    const auto i = static_cast<std::size_t>(slot);
    Show(w_.Lab_Sat[i], QString());
    Show(w_.Lab_SatA[i], QString());
    Show(w_.Lab_SatE[i], QString());
    SetBar(w_.PSat[i], 0, QStringLiteral("0"));
}

void FixDisplay::ShowSky(const std::vector<SkySatellite>& satellites, bool usedKnown)
{
    // The strongest twelve: a satellite without a signal ranks below every one with one.
    auto stronger = [](const SkySatellite& a, const SkySatellite& b) {
        const int sa = a.signal.value_or(-1);
        const int sb = b.signal.value_or(-1);
        if (sa != sb)
            return sa > sb;
        if (a.system != b.system)
            return a.system < b.system;
        return a.number < b.number;
    };
    std::vector<SkySatellite> shown = satellites;
    const std::size_t count = std::min<std::size_t>(shown.size(), w_.Lab_Sat.size());
    std::partial_sort(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(count), shown.end(),
                      stronger);
    shown.resize(count);
    std::sort(shown.begin(), shown.end(), [](const SkySatellite& a, const SkySatellite& b) {
        return a.system != b.system ? a.system < b.system : a.number < b.number;
    });

    auto optionalNumber = [](const std::optional<int>& value) {
        return value ? QString::number(*value) : QString();
    };
    for (std::size_t i = 0; i < w_.Lab_Sat.size(); ++i) {
        QLabel* status = At(w_.Lab_PosizioneInfo3b, i);
        if (i >= shown.size()) {
            ClearSatelliteSlot(static_cast<std::int16_t>(i));
            Show(status, usedKnown ? ChannelStatus(false) : QString());
            continue;
        }
        const SkySatellite& satellite = shown[i];
        Show(w_.Lab_Sat[i], QLatin1Char(SystemLetter(satellite.system)) + QString::number(satellite.number));
        Show(w_.Lab_SatE[i], optionalNumber(satellite.elevation));
        Show(w_.Lab_SatA[i], optionalNumber(satellite.azimuth));
        if (QProgressBar* bar = w_.PSat[i]) {
            const int signal = satellite.signal.value_or(0);
            SetBar(bar, std::clamp(signal, bar->minimum(), bar->maximum()), QString::number(signal));
        }
        Show(status, usedKnown ? ChannelStatus(satellite.used) : QString());
    }
    Show(w_.Lab_PosizioneInfo[kSatellitesInView], QString::number(satellites.size()));
}

void FixDisplay::ClearDisplay()
{
    vtgSpeedSeen_ = false;
    texts_.Clear();
    for (QLabel* label : w_.Lab_PosizioneInfo)
        Show(label, QString());
    for (QLabel* label : w_.Lab_Posizione)
        Show(label, QString());
    for (QLabel* label : w_.Lab_PosizioneInfo3b)
        Show(label, QString());
    for (std::size_t i = 0; i < w_.Lab_SatCHN.size(); ++i) {
        Show(w_.Lab_SatCHN[i], FormatTwoDigits(static_cast<int>(i) + 1));
        Show(w_.Lab_Sat[i], QString());
        Show(w_.Lab_SatA[i], QString());
        Show(w_.Lab_SatE[i], QString());
        SetBar(w_.PSat[i], 0, QStringLiteral("0"));
    }
}

// The interpreter's events.

void FixDisplay::PositionReceived(std::string latitude, std::string longitude)
{
    gps_PositionReceived(latitude, longitude);
}
void FixDisplay::TimeChanged(std::string sTime) { gps_TimeChanged(sTime); }
void FixDisplay::DateChanged(std::string satDate) { gps_DateChanged(satDate); }
void FixDisplay::BearingReceived(double bearing) { gps_BearingReceived(bearing); }
void FixDisplay::FixObtained() { gps_FixObtained(); }
void FixDisplay::FixLost() { gps_FixLost(); }
void FixDisplay::SatelliteReceived(std::int16_t satelliteNumber, std::int16_t pseudoRandomCode,
                                   std::int16_t azimuth, std::int16_t elevation,
                                   std::int16_t signalToNoiseRatio)
{
    if (allSystems_)
        return; // the sky draws the columns
    gps_SatelliteReceived(satelliteNumber, pseudoRandomCode, azimuth, elevation,
                          signalToNoiseRatio);
}
void FixDisplay::HDOPReceived(double value) { gps_HDOPReceived(value); }
void FixDisplay::VDOPReceived(double value) { gps_VDOPReceived(value); }
void FixDisplay::PDOPReceived(double value) { gps_PDOPReceived(value); }
void FixDisplay::PositionFixReceived(std::string positionFix)
{
    gps_PositionFixReceived(positionFix);
}
void FixDisplay::SatellitesUsedReceived(std::int16_t satellitesUsed)
{
    // One system's GGA may count only its own satellites; ShowSatellitesUsed gives the whole.
    if (!allSystems_)
        gps_SatellitesUsedReceived(satellitesUsed);
}

void FixDisplay::ShowSatellitesUsed(int satellitesUsed)
{
    Show(w_.Lab_PosizioneInfo[kSatellitesUsed], QString::number(satellitesUsed));
}
void FixDisplay::AltitudeReceived(double altitude) { gps_AltitudeReceived(altitude); }
void FixDisplay::AltitudeUnitsReceived(std::string altitudeUnits)
{
    gps_AltitudeUnitsReceived(altitudeUnits);
}
void FixDisplay::GeoidSeparationReceived(double geoidSeparation)
{
    gps_GeoidSeparationReceived(geoidSeparation);
}
void FixDisplay::GeoidSeparationUnitsReceived(std::string geoidSeparationUnits)
{
    gps_GeoidSeparationUnitsReceived(geoidSeparationUnits);
}
void FixDisplay::DGPSageReceived(std::int16_t dGPSage) { gps_DGPSageReceived(dGPSage); }
void FixDisplay::DGPSstationIDReceived(std::string dGPSstationID)
{
    gps_DGPSstationIDReceived(dGPSstationID);
}
void FixDisplay::AutoManModeReceived(std::string autoManMode)
{
    gps_AutoManModeReceived(autoManMode);
}
void FixDisplay::Mode3DReceived(std::string mode3D) { gps_Mode3DReceived(mode3D); }
void FixDisplay::SatellitesInViewReceived(std::int16_t satellitesInView)
{
    // One talker's count is not the whole sky's; the sky gives that.
    if (!allSystems_)
        gps_SatellitesInViewReceived(satellitesInView);
}
void FixDisplay::SpeedReceived(double speed)
{
    // RMC's speed, in knots, stands in for VTG's with a receiver that sends no VTG. The
    // km/h are worked out, so they carry no more decimals than the knots shown beside them
    // (022.4 knots is 41.5 km/h, not 41.485).
    if (!allSystems_ || vtgSpeedSeen_)
        return;
    gps_SpeedReceivedKnots(speed);
    const QString knots = FormatUpToThreeDecimals(speed, QStringLiteral("."));
    const auto point = knots.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : static_cast<int>(knots.size() - point - 1);
    Show(w_.Lab_Posizione[kSpeedKmh],
         FormatDecimals(speed * kKilometresPerNauticalMile, decimals, decimalPoint_));
}
void FixDisplay::TrueTrack(std::string Ttrack) { gps_TrueTrack(Ttrack); }
void FixDisplay::MagneticTrack(std::string Mtrack) { gps_MagneticTrack(Mtrack); }
void FixDisplay::SpeedReceivedKnots(double speed_knots)
{
    vtgSpeedSeen_ = true;
    gps_SpeedReceivedKnots(speed_knots);
}
void FixDisplay::SpeedReceivedKmh(double speed_kmh)
{
    vtgSpeedSeen_ = true;
    gps_SpeedReceivedKmh(speed_kmh);
}

} // namespace fixwatch
