#pragma once

#include "coordinate_text.h"
#include "epochs.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cstddef>
#include <optional>

class QGroupBox;
class QLabel;
class QWidget;

namespace fixwatch {

// The labels of what multi-band, dual-antenna and RTK receivers send beyond the fix texts:
// the height above the ellipsoid beside the altitude, the true heading beside the tracks,
// the integrity check's expected errors and suspect, and the DGPS group's captions.
struct MultibandWidgets {
    // Position tab: caption, value and unit of the ellipsoid height.
    QLabel* ellipsoidHeightCaption = nullptr;
    QLabel* ellipsoidHeight = nullptr;
    QLabel* ellipsoidHeightUnit = nullptr;
    // General Info tab: caption and value of the true heading, in the Tracks group.
    QLabel* trueHeadingCaption = nullptr;
    QLabel* trueHeading = nullptr;
    // General Info tab: the integrity group, its captions, values and units (GbsField order).
    QGroupBox* gbsFrame = nullptr;
    std::array<QLabel*, 4> gbsCaptions{};
    std::array<QLabel*, 4> gbs{};
    std::array<QLabel*, 3> gbsUnits{};
    // The DGPS group's captions of the age and the station (Lab_PosizioneInfo2).
    QLabel* dgpsAgeCaption = nullptr;
    QLabel* dgpsStationCaption = nullptr;
};

// Lab_GBS: the integrity group's values (and, for the first three, Lab_GBSUM's units).
enum GbsField : std::size_t {
    kGbsLatitudeError = 0,
    kGbsLongitudeError = 1,
    kGbsAltitudeError = 2,
    kGbsSuspect = 3,
    kGbsFieldCount = 4,
};

// Fills those labels from the epochs of the running acquisition. They show only while every
// satellite system is read; otherwise they are hidden, and the DGPS captions are the window's
// own. A value stays until an epoch says otherwise, or until Clear: a receiver that sends
// its heading or its integrity check less often than its fix still shows the last one.
class MultibandRows {
public:
    // Numbers are written with the decimal separator of `locale`, no grouping.
    explicit MultibandRows(const MultibandWidgets& widgets, const QLocale& locale = QLocale::system());

    // Shows or hides the rows; either way, when that changes, they start empty with the
    // default captions.
    void SetShown(bool shown);
    bool Shown() const { return shown_; }
    // Metres, or feet with Imperial, as the altitude.
    void SetUnits(UnitSystem units);
    // Takes what `epoch` (closed or still open) says; nothing while hidden.
    void ShowEpoch(const Epoch& epoch);
    // Every value empty and the DGPS captions the default: Clear and Start.
    void Clear();

    static QString DefaultAgeCaption() { return QStringLiteral("Age:"); }
    static QString DefaultStationCaption() { return QStringLiteral("Station ID:"); }
    static QString RtkAgeCaption() { return QStringLiteral("Correction age:"); }
    static QString RtkStationCaption() { return QStringLiteral("Base station:"); }

private:
    void SetVisible(bool visible);
    void ShowValues();
    void ShowRtkCaptions(bool rtk);
    QString Length(const std::optional<double>& metres) const;
    QString LengthUnit() const;

    MultibandWidgets w_;
    QString decimalPoint_;
    UnitSystem units_ = UnitSystem::Metric;
    bool shown_ = false;
    // What the epochs said, in metres and degrees.
    std::optional<double> ellipsoidHeight_;
    std::optional<double> trueHeading_;
    std::array<std::optional<double>, 3> gbsErrors_{};
    QString gbsSuspect_;
};

} // namespace fixwatch
