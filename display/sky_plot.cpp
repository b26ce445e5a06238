#include "sky_plot.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QStaticText>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace fixwatch {
namespace {

constexpr int kElevationRings[] = {30, 60};
// Signals at or below the first value get the smallest circle, at or above the second the
// largest; most receivers report 10 to 50 dB-Hz.
constexpr double kWeakSignal = 10;
constexpr double kStrongSignal = 50;
// Beyond this many satellites the numbers are written to the right of each circle without
// looking for room, so that an absurdly long list costs no more than linear time.
constexpr std::size_t kMaxMarksToArrange = 256;
// The laid-out numbers kept for the next update; a receiver has far fewer satellites.
constexpr std::size_t kMaxNumberTexts = 1024;

QColor Blend(const QColor& from, const QColor& to, double share)
{
    return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * share),
                            static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * share),
                            static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * share));
}

int Clamp(double value, int low, int high)
{
    return std::clamp(static_cast<int>(std::lround(value)), low, std::max(low, high));
}

QString RingText(int elevation)
{
    return QString::number(elevation) + QChar(0x00B0);
}

} // namespace

QColor SystemColor(GnssSystem system)
{
    switch (system) {
    case GnssSystem::GPS: return QColor(0x32, 0x80, 0xdd);     // blue
    case GnssSystem::SBAS: return QColor(0x87, 0x80, 0x6c);    // grey-brown
    case GnssSystem::GLONASS: return QColor(0xdb, 0x42, 0x41); // red
    case GnssSystem::Galileo: return QColor(0x3a, 0x97, 0x42); // green
    case GnssSystem::BeiDou: return QColor(0xc6, 0x6c, 0x00);  // orange
    case GnssSystem::QZSS: return QColor(0x98, 0x60, 0xd0);    // purple
    case GnssSystem::NavIC: return QColor(0x00, 0x93, 0x9a);   // teal
    }
    return QColor(0x80, 0x80, 0x80);
}

QPointF SkyPosition(int elevation, int azimuth, QPointF centre, double radius)
{
    const double fromZenith = (90 - std::clamp(elevation, 0, 90)) / 90.0 * radius;
    const double angle = ((azimuth % 360) + 360) % 360 * std::numbers::pi / 180.0;
    return {centre.x() + fromZenith * std::sin(angle), centre.y() - fromZenith * std::cos(angle)};
}

double MarkRadius(std::optional<int> signal, double radius)
{
    const double smallest = std::max(2.5, radius * 0.028);
    const double largest = std::max(5.0, radius * 0.058);
    if (!signal)
        return smallest;
    const double strength =
        (std::clamp(static_cast<double>(*signal), kWeakSignal, kStrongSignal) - kWeakSignal) /
        (kStrongSignal - kWeakSignal);
    return smallest + (largest - smallest) * strength;
}

SkyPlot::SkyPlot(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SkyPlot::SetSatellites(const std::vector<SkySatellite>& satellites)
{
    if (satellites == satellites_)
        return;
    satellites_ = satellites;
    laidOut_ = false;
    update();
}

void SkyPlot::SetHighlighted(const std::vector<SatelliteKey>& keys)
{
    std::vector<SatelliteKey> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    if (sorted == highlighted_)
        return;
    highlighted_ = std::move(sorted);
    update();
}

const std::vector<SkyPlot::Mark>& SkyPlot::Marks() const
{
    EnsureLayout();
    return marks_;
}

QPointF SkyPlot::Centre() const
{
    EnsureLayout();
    return centre_;
}

double SkyPlot::Radius() const
{
    EnsureLayout();
    return radius_;
}

void SkyPlot::Invalidate()
{
    laidOut_ = false;
    grid_ = QPixmap();
    sprites_.clear();
    update();
}

// Fits the largest square into the widget, sizes the fonts to it and places the ring
// values and the satellites, unless that is done for the current size.
void SkyPlot::EnsureLayout() const
{
    if (laidOut_ && laidOutSize_ == size())
        return;
    const double margin = 2;
    const double side = std::max(0.0, std::min(width(), height()) - 2 * margin);
    centre_ = QPointF(width() / 2.0, height() / 2.0);

    // Fonts in proportion to the plot, within reach of the widget's own font.
    const int basePixels = QFontInfo(font()).pixelSize();
    compassFont_ = font();
    compassFont_.setBold(true);
    compassFont_.setPixelSize(Clamp(side * 0.05, basePixels, basePixels * 9 / 5));
    const QFont numberFont = numberFont_;
    numberFont_ = font();
    numberFont_.setPixelSize(Clamp(side * 0.036, basePixels * 4 / 5, basePixels * 7 / 5));
    if (numberFont_ != numberFont)
        numberTexts_.clear();

    const double compassBand = QFontMetricsF(compassFont_).height() + 2;
    radius_ = std::max(0.0, side / 2 - compassBand);

    // Ring values just right of the north line, inside each ring.
    ringLabels_.clear();
    const QFontMetricsF numberMetrics(numberFont_);
    const double thin = std::max(1.0, radius_ / 200);
    for (int elevation : kElevationRings) {
        const double ring = (90 - elevation) / 90.0 * radius_;
        ringLabels_.emplace_back(centre_.x() + 3 * thin, centre_.y() - ring + thin,
                                 numberMetrics.horizontalAdvance(RingText(elevation)) + 2,
                                 numberMetrics.height());
    }

    PlaceMarks();
    laidOut_ = true;
    laidOutSize_ = size();
}

QSize SkyPlot::sizeHint() const
{
    const int line = fontMetrics().height();
    return {line * 16, line * 16};
}

QSize SkyPlot::minimumSizeHint() const
{
    const int line = fontMetrics().height();
    return {line * 10, line * 10};
}

void SkyPlot::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Invalidate();
}

void SkyPlot::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
        Invalidate();
        break;
    default:
        break;
    }
}

// Places each satellite that has an elevation and an azimuth, and writes its number beside
// it where that covers no other number, circle or ring value: right, left, above or below.
void SkyPlot::PlaceMarks() const
{
    marks_.clear();
    for (const SkySatellite& satellite : satellites_) {
        if (!satellite.elevation || !satellite.azimuth)
            continue;
        // On a pixel's centre and in half pixels, as the copied circles are drawn.
        const QPointF at =
            SkyPosition(*satellite.elevation, *satellite.azimuth, centre_, radius_);
        marks_.push_back({KeyOf(satellite),
                          QPointF(std::floor(at.x()) + 0.5, std::floor(at.y()) + 0.5),
                          std::floor(MarkRadius(satellite.signal, radius_) * 2) / 2,
                          satellite.used, QString::number(satellite.number), QRectF()});
    }

    const QFontMetricsF metrics(numberFont_);
    const double textHeight = metrics.height();
    const double gap = std::max(1.0, radius_ * 0.012);
    const QRectF bounds = rect();
    const bool arrange = marks_.size() <= kMaxMarksToArrange;
    const auto circleBox = [](const Mark& mark) {
        return QRectF(mark.centre.x() - mark.radius, mark.centre.y() - mark.radius,
                      2 * mark.radius, 2 * mark.radius);
    };

    labelTexts_.clear();
    if (numberTexts_.size() > kMaxNumberTexts)
        numberTexts_.clear();
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        Mark& mark = marks_[i];
        // Laid out once per number and font: the same numbers come back every second.
        QStaticText& text = numberTexts_[mark.key.number];
        if (text.text().isEmpty()) {
            text.setText(mark.label);
            text.setTextFormat(Qt::PlainText);
            text.prepare(QTransform(), numberFont_);
        }
        labelTexts_.push_back(text);
        const double textWidth = text.size().width();
        const QPointF c = mark.centre;
        const double r = mark.radius;
        const std::array<QRectF, 4> candidates = {
            QRectF(c.x() + r + gap, c.y() - textHeight / 2, textWidth, textHeight),
            QRectF(c.x() - r - gap - textWidth, c.y() - textHeight / 2, textWidth, textHeight),
            QRectF(c.x() - textWidth / 2, c.y() - r - gap - textHeight, textWidth, textHeight),
            QRectF(c.x() - textWidth / 2, c.y() + r + gap, textWidth, textHeight),
        };
        const auto isFree = [&](const QRectF& place) {
            if (!bounds.contains(place))
                return false;
            if (!arrange)
                return true;
            for (const QRectF& ringLabel : ringLabels_)
                if (ringLabel.intersects(place))
                    return false;
            for (std::size_t j = 0; j < marks_.size(); ++j) {
                if (j < i && marks_[j].labelRect.intersects(place))
                    return false;
                if (j != i && circleBox(marks_[j]).intersects(place))
                    return false;
            }
            return true;
        };
        const auto free = std::find_if(candidates.begin(), candidates.end(), isFree);
        QRectF place = free != candidates.end() ? *free : candidates[0];
        // Where nothing is free, right of the circle but inside the widget; on whole pixels.
        const double maxLeft = std::max(bounds.left(), std::floor(bounds.right() - place.width()));
        const double maxTop = std::max(bounds.top(), std::floor(bounds.bottom() - place.height()));
        place.moveTopLeft(QPointF(std::clamp(std::round(place.left()), bounds.left(), maxLeft),
                                  std::clamp(std::round(place.top()), bounds.top(), maxTop)));
        mark.labelRect = place;
    }
}

void SkyPlot::paintEvent(QPaintEvent*)
{
    EnsureLayout();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (grid_.isNull() || grid_.size() != pixels) {
        grid_ = QPixmap(pixels);
        grid_.setDevicePixelRatio(ratio);
        grid_.fill(Qt::transparent);
        QPainter painter(&grid_);
        painter.setRenderHint(QPainter::Antialiasing);
        PaintGrid(painter);
    }

    QPainter painter(this);
    painter.drawPixmap(0, 0, grid_);

    // Hollow circles first, so that a used satellite is never hidden behind an unused one.
    for (const bool used : {false, true}) {
        for (const Mark& mark : marks_) {
            if (mark.used != used)
                continue;
            const QPixmap& sprite = Sprite(mark);
            const QSizeF extent = sprite.deviceIndependentSize();
            painter.drawPixmap(mark.centre - QPointF(extent.width() / 2, extent.height() / 2),
                               sprite);
        }
    }

    if (!highlighted_.empty()) {
        painter.setRenderHint(QPainter::Antialiasing);
        const double width = std::max(1.5, radius_ * 0.012);
        painter.setPen(QPen(palette().color(QPalette::Highlight), width));
        painter.setBrush(Qt::NoBrush);
        for (const Mark& mark : marks_) {
            if (std::binary_search(highlighted_.begin(), highlighted_.end(), mark.key)) {
                const double ring = mark.radius + 2 * width;
                painter.drawEllipse(mark.centre, ring, ring);
            }
        }
    }

    painter.setFont(numberFont_);
    painter.setPen(palette().color(QPalette::Text));
    for (std::size_t i = 0; i < marks_.size(); ++i)
        painter.drawStaticText(marks_[i].labelRect.topLeft(), labelTexts_[i]);
}

// A satellite's circle, drawn once per system, use and size and then copied, because an
// antialiased circle costs several times more to draw than to copy.
const QPixmap& SkyPlot::Sprite(const Mark& mark) const
{
    const auto key = static_cast<std::uint32_t>(
        (static_cast<std::uint32_t>(mark.key.system) << 17) | (mark.used ? 1U << 16 : 0U) |
        (static_cast<std::uint32_t>(std::lround(mark.radius * 2)) & 0xFFFFU));
    QPixmap& sprite = sprites_[key];
    if (!sprite.isNull())
        return sprite;

    const QColor colour = SystemColor(mark.key.system);
    const QColor base = palette().color(QPalette::Base);
    const double pen = mark.used ? 1.0 : std::max(1.5, mark.radius * 0.3);
    // An odd number of pixels, so that the circle's centre is a pixel's centre.
    const int extent = 2 * static_cast<int>(std::ceil(mark.radius + pen / 2 + 1)) + 1;
    const qreal ratio = devicePixelRatioF();
    sprite = QPixmap(QSize(extent, extent) * ratio);
    sprite.setDevicePixelRatio(ratio);
    sprite.fill(Qt::transparent);
    QPainter painter(&sprite);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(mark.used ? base : colour, pen));
    painter.setBrush(mark.used ? colour : base);
    painter.drawEllipse(QPointF(extent / 2.0, extent / 2.0), mark.radius, mark.radius);
    return sprite;
}

// The horizon disk, the elevation rings, the north-south and east-west lines, the ring
// values and the four cardinal points.
void SkyPlot::PaintGrid(QPainter& painter) const
{
    if (radius_ <= 0)
        return;
    const QPalette& colours = palette();
    const QColor base = colours.color(QPalette::Base);
    const QColor text = colours.color(QPalette::Text);
    const QColor ringColour = Blend(base, text, 0.3);
    const QColor horizonColour = Blend(base, text, 0.55);
    const double thin = std::max(1.0, radius_ / 200);

    painter.setPen(QPen(horizonColour, 1.5 * thin));
    painter.setBrush(base);
    painter.drawEllipse(centre_, radius_, radius_);

    painter.setPen(QPen(ringColour, thin));
    painter.setBrush(Qt::NoBrush);
    for (int elevation : kElevationRings) {
        const double ring = (90 - elevation) / 90.0 * radius_;
        painter.drawEllipse(centre_, ring, ring);
    }
    painter.drawLine(QPointF(centre_.x(), centre_.y() - radius_),
                     QPointF(centre_.x(), centre_.y() + radius_));
    painter.drawLine(QPointF(centre_.x() - radius_, centre_.y()),
                     QPointF(centre_.x() + radius_, centre_.y()));

    painter.setFont(numberFont_);
    painter.setPen(Blend(base, text, 0.6));
    for (std::size_t i = 0; i < ringLabels_.size(); ++i)
        painter.drawText(ringLabels_[i], Qt::AlignLeft | Qt::AlignTop,
                         RingText(kElevationRings[i]));

    painter.setFont(compassFont_);
    painter.setPen(colours.color(QPalette::WindowText));
    const double band = QFontMetricsF(compassFont_).height() + 2;
    const double out = radius_ + band / 2;
    const struct {
        const char* letter;
        QPointF direction;
    } points[] = {{"N", {0, -1}}, {"E", {1, 0}}, {"S", {0, 1}}, {"W", {-1, 0}}};
    for (const auto& point : points) {
        const QPointF at = centre_ + point.direction * out;
        painter.drawText(QRectF(at.x() - band, at.y() - band / 2, 2 * band, band),
                         Qt::AlignCenter, QString::fromLatin1(point.letter));
    }
}

} // namespace fixwatch
