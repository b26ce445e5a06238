#include "sky_plot.h"

#include <QMouseEvent>

#include <QEvent>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QStaticText>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace fixwatch {
namespace {

constexpr int kElevationRings[] = {30, 60};

// The plot's proportions. Sizes follow the horizon's radius (or, for the fonts, the plot's
// side), with a floor in pixels so that a small plot stays legible.
//
// A satellite's circle: the weakest signal's radius and the strongest's.
constexpr double kSmallestMarkShare = 0.028;
constexpr double kSmallestMarkPixels = 2.5;
constexpr double kLargestMarkShare = 0.058;
constexpr double kLargestMarkPixels = 5.0;
// A hollow circle's outline, as a share of the circle's own radius.
constexpr double kHollowOutlineShare = 0.3;
constexpr double kHollowOutlinePixels = 1.5;
// The room between a circle and its name.
constexpr double kNameGapShare = 0.012;
constexpr double kNameGapPixels = 1.0;
// The ring drawn around a highlighted circle, and how many of its widths it stands off it.
constexpr double kHighlightShare = 0.012;
constexpr double kHighlightPixels = 1.5;
constexpr double kHighlightOffsetWidths = 2;
// The rings and the north-south and east-west lines are one part in this of the radius wide
// (at least a pixel); the horizon is half as wide again, and a ring's value stands three
// such widths off the north-south line.
constexpr double kRadiusPerLineWidth = 200;
constexpr double kHorizonLineWidths = 1.5;
constexpr double kRingValueOffsetLineWidths = 3;
// The fonts of the cardinal points and of the numbers (ring values, satellite names), as a
// share of the plot's side.
constexpr double kCompassFontShare = 0.05;
constexpr double kNumberFontShare = 0.036;
// Pixels around the plot, around the cardinal points' band outside the horizon, and beside
// a ring's value.
constexpr double kPlotMarginPixels = 2;
constexpr double kCompassBandPaddingPixels = 2;
constexpr double kRingValuePaddingPixels = 2;
// How far outside its circle a pointer still hits a satellite.
constexpr double kHitSlackPixels = 2;
// How far each grey goes from the base colour towards the text colour, and how opaque the
// line from a circle to a name set away from it is.
constexpr double kRingInk = 0.3;
constexpr double kHorizonInk = 0.55;
constexpr double kRingValueInk = 0.6;
constexpr float kLeaderOpacity = 0.6F;
// Signals at or below the first value get the smallest circle, at or above the second the
// largest; most receivers report 10 to 50 dB-Hz.
constexpr double kWeakSignal = 10;
constexpr double kStrongSignal = 50;
// The most names placed; a receiver has far fewer satellites.
constexpr std::size_t kMaxMarksToArrange = 256;
// How many text heights beyond the eight places beside a circle a name may go to.
constexpr int kLeaderRings = 6;
// The laid-out names kept for the next update.
constexpr std::size_t kMaxNameTexts = 1024;

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

struct CompassPoint {
    const char* letter;
    QPointF direction;
};
const CompassPoint kCompassPoints[] = {{"N", {0, -1}}, {"E", {1, 0}}, {"S", {0, 1}}, {"W", {-1, 0}}};

// How far from the centre a plot of horizon `radius` draws `elevation`: the zenith at the
// centre, the horizon on the circle, an elevation outside 0..90 held at either.
double ZenithDistance(int elevation, double radius)
{
    return (90 - std::clamp(elevation, 0, 90)) / 90.0 * radius;
}

// The width of the plot's thin lines for a horizon of `radius`.
double LineWidth(double radius)
{
    return std::max(1.0, radius / kRadiusPerLineWidth);
}

QRectF CircleBox(const SkyPlot::Mark& mark)
{
    return QRectF(mark.centre.x() - mark.radius, mark.centre.y() - mark.radius, 2 * mark.radius,
                  2 * mark.radius);
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

bool HasSkyPosition(const SkySatellite& satellite)
{
    return satellite.elevation && satellite.azimuth
           && !(*satellite.elevation == 0 && *satellite.azimuth == 0);
}

QString SkyLabel(const SatelliteKey& key)
{
    return QLatin1Char(SystemLetter(key.system)) + QString::number(key.number);
}

QPointF SkyPosition(int elevation, int azimuth, QPointF centre, double radius)
{
    const double fromZenith = ZenithDistance(elevation, radius);
    const double angle = ((azimuth % 360) + 360) % 360 * std::numbers::pi / 180.0;
    return {centre.x() + fromZenith * std::sin(angle), centre.y() - fromZenith * std::cos(angle)};
}

double MarkRadius(std::optional<int> signal, double radius)
{
    const double smallest = std::max(kSmallestMarkPixels, radius * kSmallestMarkShare);
    const double largest = std::max(kLargestMarkPixels, radius * kLargestMarkShare);
    if (!signal)
        return smallest;
    const double strength =
        (std::clamp(static_cast<double>(*signal), kWeakSignal, kStrongSignal) - kWeakSignal)
        / (kStrongSignal - kWeakSignal);
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

const std::vector<QRectF>& SkyPlot::RingLabels() const
{
    EnsureLayout();
    return ringLabels_;
}

const std::vector<QRectF>& SkyPlot::CompassLabels() const
{
    EnsureLayout();
    return compassLabels_;
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
    const double side = std::max(0.0, std::min(width(), height()) - 2 * kPlotMarginPixels);
    centre_ = QPointF(width() / 2.0, height() / 2.0);

    // Fonts in proportion to the plot, within reach of the widget's own font.
    const int basePixels = QFontInfo(font()).pixelSize();
    compassFont_ = font();
    compassFont_.setBold(true);
    compassFont_.setPixelSize(Clamp(side * kCompassFontShare, basePixels, basePixels * 9 / 5));
    const QFont numberFont = numberFont_;
    numberFont_ = font();
    numberFont_.setPixelSize(Clamp(side * kNumberFontShare, basePixels * 4 / 5, basePixels * 7 / 5));
    if (numberFont_ != numberFont)
        nameTexts_.clear();

    const double compassBand = QFontMetricsF(compassFont_).height() + kCompassBandPaddingPixels;
    radius_ = std::max(0.0, side / 2 - compassBand);

    // The cardinal points, centred in the band outside the horizon.
    compassLabels_.clear();
    const QFontMetricsF compassMetrics(compassFont_);
    for (const auto& [letter, direction] : kCompassPoints) {
        const QPointF at = centre_ + direction * (radius_ + compassBand / 2);
        const double letterWidth = compassMetrics.horizontalAdvance(QLatin1String(letter));
        compassLabels_.emplace_back(at.x() - letterWidth / 2, at.y() - compassBand / 2,
                                    letterWidth, compassBand);
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

// Places each satellite that has a position and then the names.
void SkyPlot::PlaceMarks() const
{
    marks_.clear();
    for (const SkySatellite& satellite : satellites_) {
        if (!HasSkyPosition(satellite))
            continue;
        // On a pixel's centre and in half pixels, as the copied circles are drawn.
        const QPointF at =
            SkyPosition(*satellite.elevation, *satellite.azimuth, centre_, radius_);
        marks_.push_back({KeyOf(satellite),
                          QPointF(std::floor(at.x()) + 0.5, std::floor(at.y()) + 0.5),
                          std::floor(MarkRadius(satellite.signal, radius_) * 2) / 2,
                          satellite.used, SkyLabel(KeyOf(satellite)), QRectF(), false});
    }
    PlaceRingLabels();
    PlaceLabels();
}

// Each ring's value inside the ring beside the north line, or where no circle covers it:
// beside the north line on its left, then beside the south line.
void SkyPlot::PlaceRingLabels() const
{
    ringLabels_.clear();
    const QFontMetricsF metrics(numberFont_);
    const double thin = LineWidth(radius_);
    const double offset = kRingValueOffsetLineWidths * thin;
    for (int elevation : kElevationRings) {
        const double ring = ZenithDistance(elevation, radius_);
        const QSizeF extent(metrics.horizontalAdvance(RingText(elevation)) + kRingValuePaddingPixels,
                            metrics.height());
        const double right = centre_.x() + offset, left = centre_.x() - offset - extent.width();
        const double north = centre_.y() - ring + thin;
        const double south = centre_.y() + ring - thin - extent.height();
        const std::array<QRectF, 4> places = {
            QRectF(QPointF(right, north), extent), QRectF(QPointF(left, north), extent),
            QRectF(QPointF(right, south), extent), QRectF(QPointF(left, south), extent)};
        const auto uncovered = [this](const QRectF& place) {
            return std::none_of(marks_.begin(), marks_.end(), [&place](const Mark& mark) {
                return CircleBox(mark).intersects(place);
            });
        };
        const auto free = std::find_if(places.begin(), places.end(), uncovered);
        ringLabels_.push_back(free != places.end() ? *free : places[0]);
    }
}

// Writes each name beside its circle, in the first of eight places around it that covers
// no other name, circle, ring value or cardinal point and stays inside the widget. A name
// without such a place goes to the nearest free place further out, joined to its circle by
// a leader line; only one with no free place near it at all is left out. Used satellites go
// first, then the strongest, so that a name moved away is one of those that matter least.
void SkyPlot::PlaceLabels() const
{
    const QFontMetricsF metrics(numberFont_);
    const double textHeight = metrics.height();
    const double gap = std::max(kNameGapPixels, radius_ * kNameGapShare);
    const QRectF bounds = rect();

    labelTexts_.clear();
    if (nameTexts_.size() > kMaxNameTexts)
        nameTexts_.clear();
    for (const Mark& mark : marks_) {
        // Laid out once per name and font: the same names come back every second.
        const auto textKey = (static_cast<std::uint64_t>(mark.key.system) << 32)
                             | static_cast<std::uint32_t>(mark.key.number);
        QStaticText& text = nameTexts_[textKey];
        if (text.text().isEmpty()) {
            text.setText(mark.label);
            text.setTextFormat(Qt::PlainText);
            text.prepare(QTransform(), numberFont_);
        }
        labelTexts_.push_back(text);
    }

    std::vector<std::size_t> order(marks_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        if (marks_[a].used != marks_[b].used)
            return marks_[a].used;
        return marks_[a].radius > marks_[b].radius; // a stronger signal
    });
    // Beyond this many names the rest are left out, so that an absurdly long list costs no
    // more than linear time per name.
    if (order.size() > kMaxMarksToArrange)
        order.resize(kMaxMarksToArrange);

    std::vector<QRectF> placed;
    placed.reserve(order.size());
    for (std::size_t i : order) {
        Mark& mark = marks_[i];
        const double textWidth = labelTexts_[i].size().width();
        const QPointF c = mark.centre;
        const double r = mark.radius;
        const double slant = r * std::numbers::sqrt2 / 2 + gap; // to a corner of the name
        const double left = c.x() - textWidth - (r + gap), right = c.x() + r + gap;
        const double middle = c.y() - textHeight / 2;
        const std::array<QPointF, 8> corners = {
            QPointF(right, middle),
            QPointF(left, middle),
            QPointF(c.x() - textWidth / 2, c.y() - r - gap - textHeight),
            QPointF(c.x() - textWidth / 2, c.y() + r + gap),
            QPointF(c.x() + slant, c.y() - slant - textHeight),
            QPointF(c.x() + slant, c.y() + slant),
            QPointF(c.x() - slant - textWidth, c.y() - slant - textHeight),
            QPointF(c.x() - slant - textWidth, c.y() + slant),
        };
        const auto isFree = [&](const QRectF& place) {
            if (!bounds.contains(place))
                return false;
            const auto hits = [&place](const QRectF& other) { return other.intersects(place); };
            if (std::any_of(ringLabels_.begin(), ringLabels_.end(), hits)
                || std::any_of(compassLabels_.begin(), compassLabels_.end(), hits)
                || std::any_of(placed.begin(), placed.end(), hits))
                return false;
            for (std::size_t j = 0; j < marks_.size(); ++j)
                if (j != i && CircleBox(marks_[j]).intersects(place))
                    return false;
            return true;
        };
        mark.leader = false;
        const auto tryPlace = [&](QPointF corner) {
            // On whole pixels, so that the text is sharp.
            const QRectF place(QPointF(std::round(corner.x()), std::round(corner.y())), QSizeF(textWidth, textHeight));
            if (!isFree(place))
                return false;
            mark.labelRect = place;
            placed.push_back(place);
            return true;
        };
        if (std::any_of(corners.begin(), corners.end(), tryPlace))
            continue;
        // Further out, ring by ring, in sixteen directions: the first free place is the nearest.
        constexpr int kDirections = 16;
        bool found = false;
        for (int ring = 1; ring <= kLeaderRings && !found; ++ring) {
            const double reach = r + gap + ring * textHeight;
            for (int d = 0; d < kDirections && !found; ++d) {
                const double angle = 2 * std::numbers::pi * d / kDirections;
                const QPointF centre(c.x() + (reach + textWidth / 2) * std::cos(angle),
                                     c.y() + (reach + textHeight / 2) * std::sin(angle));
                found = tryPlace(centre - QPointF(textWidth / 2, textHeight / 2));
            }
        }
        mark.leader = found;
    }
}

bool SkyPlot::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = Describe(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

// The satellite whose circle is at `at`, the top one where circles overlap; none elsewhere.
const SkyPlot::Mark* SkyPlot::MarkAt(const QPointF& at) const
{
    EnsureLayout();
    const Mark* hit = nullptr;
    for (const Mark& mark : marks_) {
        const QPointF from = at - mark.centre;
        // Used circles are painted over hollow ones, later over earlier.
        if (std::hypot(from.x(), from.y()) <= mark.radius + kHitSlackPixels
            && (hit == nullptr || mark.used || !hit->used))
            hit = &mark;
    }
    return hit;
}

void SkyPlot::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        if (const Mark* hit = MarkAt(event->position()))
            emit SatelliteClicked(hit->key);
    QWidget::mouseReleaseEvent(event);
}

// What is known of the satellite whose circle is at `at` (the top one where circles
// overlap), in plain words; empty where there is none.
QString SkyPlot::Describe(const QPointF& at) const
{
    const Mark* hit = MarkAt(at);
    if (hit == nullptr)
        return {};
    const auto satellite = std::find_if(satellites_.begin(), satellites_.end(),
                                        [hit](const SkySatellite& s) { return KeyOf(s) == hit->key; });
    if (satellite == satellites_.end())
        return {};
    const std::string_view system = SystemName(satellite->system);
    const QChar degree(0x00B0);
    QString text = QStringLiteral("%1 (%2): elevation %3%4, azimuth %5%4, ")
                       .arg(hit->label,
                            QString::fromLatin1(system))
                       .arg(*satellite->elevation)
                       .arg(degree)
                       .arg(*satellite->azimuth);
    text += satellite->signal ? QStringLiteral("signal %1 dB-Hz").arg(*satellite->signal)
                              : QStringLiteral("no signal");
    text += satellite->used ? QStringLiteral(", used in the fix") : QStringLiteral(", not used");
    return text;
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

    // The ring values move out of the satellites' way, so they are not part of the grid.
    painter.setFont(numberFont_);
    painter.setPen(Blend(palette().color(QPalette::Base), palette().color(QPalette::Text), kRingValueInk));
    for (std::size_t i = 0; i < ringLabels_.size(); ++i)
        painter.drawText(ringLabels_[i], Qt::AlignLeft | Qt::AlignTop,
                         RingText(kElevationRings[i]));

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
        const double width = std::max(kHighlightPixels, radius_ * kHighlightShare);
        painter.setPen(QPen(palette().color(QPalette::Highlight), width));
        painter.setBrush(Qt::NoBrush);
        for (const Mark& mark : marks_) {
            if (std::binary_search(highlighted_.begin(), highlighted_.end(), mark.key)) {
                const double ring = mark.radius + kHighlightOffsetWidths * width;
                painter.drawEllipse(mark.centre, ring, ring);
            }
        }
    }

    painter.setFont(numberFont_);
    // A name set away from its circle is joined to it: from the circle's edge to the name's
    // nearest point.
    QColor leaderColour = palette().color(QPalette::Text);
    leaderColour.setAlphaF(kLeaderOpacity);
    painter.setPen(QPen(leaderColour, 1));
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Mark& mark : marks_) {
        if (!mark.leader || mark.labelRect.isNull())
            continue;
        const QRectF& box = mark.labelRect;
        const QPointF end(std::clamp(mark.centre.x(), box.left(), box.right()),
                          std::clamp(mark.centre.y(), box.top(), box.bottom()));
        const QPointF towards = end - mark.centre;
        const double length = std::hypot(towards.x(), towards.y());
        if (length > mark.radius)
            painter.drawLine(mark.centre + towards * (mark.radius / length), end);
    }
    painter.setPen(palette().color(QPalette::Text));
    for (std::size_t i = 0; i < marks_.size(); ++i)
        if (!marks_[i].labelRect.isNull())
            painter.drawStaticText(marks_[i].labelRect.topLeft(), labelTexts_[i]);
}

// A satellite's circle, drawn once per system, use and size and then copied, because an
// antialiased circle costs several times more to draw than to copy.
const QPixmap& SkyPlot::Sprite(const Mark& mark) const
{
    const auto key = static_cast<std::uint32_t>(
        (static_cast<std::uint32_t>(mark.key.system) << 17) | (mark.used ? 1U << 16 : 0U)
        | (static_cast<std::uint32_t>(std::lround(mark.radius * 2)) & 0xFFFFU));
    QPixmap& sprite = sprites_[key];
    if (!sprite.isNull())
        return sprite;

    const QColor colour = SystemColor(mark.key.system);
    const QColor base = palette().color(QPalette::Base);
    const double pen = mark.used ? 1.0 : std::max(kHollowOutlinePixels, mark.radius * kHollowOutlineShare);
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
    const QColor ringColour = Blend(base, text, kRingInk);
    const QColor horizonColour = Blend(base, text, kHorizonInk);
    const double thin = LineWidth(radius_);

    painter.setPen(QPen(horizonColour, kHorizonLineWidths * thin));
    painter.setBrush(base);
    painter.drawEllipse(centre_, radius_, radius_);

    painter.setPen(QPen(ringColour, thin));
    painter.setBrush(Qt::NoBrush);
    for (int elevation : kElevationRings) {
        const double ring = ZenithDistance(elevation, radius_);
        painter.drawEllipse(centre_, ring, ring);
    }
    painter.drawLine(QPointF(centre_.x(), centre_.y() - radius_),
                     QPointF(centre_.x(), centre_.y() + radius_));
    painter.drawLine(QPointF(centre_.x() - radius_, centre_.y()),
                     QPointF(centre_.x() + radius_, centre_.y()));

    painter.setFont(compassFont_);
    painter.setPen(colours.color(QPalette::WindowText));
    for (std::size_t i = 0; i < compassLabels_.size(); ++i)
        painter.drawText(compassLabels_[i], Qt::AlignCenter | Qt::TextDontClip,
                         QLatin1String(kCompassPoints[i].letter));
}

} // namespace fixwatch
