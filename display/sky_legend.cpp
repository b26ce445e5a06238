#include "sky_legend.h"

#include "sky_plot.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace fixwatch {
namespace {

// One entry: a system's colour, or the key to filled, hollow and size.
struct Entry {
    enum Kind {
        SystemColour,
        Used,
        NotUsed,
        Signal,
    } kind;
    GnssSystem system;
    QString text;
};

std::vector<Entry> SystemEntries(const std::vector<GnssSystem>& systems)
{
    std::vector<Entry> entries;
    for (GnssSystem system : systems) {
        const std::string_view name = SystemName(system);
        entries.push_back({Entry::SystemColour, system,
                           QString::fromLatin1(name)});
    }
    return entries;
}

const std::vector<Entry>& KeyEntries()
{
    static const std::vector<Entry> key = {
        {Entry::Used, GnssSystem::GPS, QStringLiteral("Used")},
        {Entry::NotUsed, GnssSystem::GPS, QStringLiteral("Not used")},
        {Entry::Signal, GnssSystem::GPS, QStringLiteral("Signal")},
    };
    return key;
}

} // namespace

SkyLegend::SkyLegend(QWidget* parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void SkyLegend::SetSystems(const std::vector<GnssSystem>& systems)
{
    if (systems == systems_)
        return;
    systems_ = systems;
    updateGeometry();
    update();
}

struct SkyLegend::Placed {
    Entry entry;
    QRectF cell;
};

int SkyLegend::LineHeight() const
{
    return static_cast<int>(std::ceil(QFontMetricsF(font()).height() * 1.35));
}

// The entries left to right, wrapping at `width`; the key starts a new row.
std::vector<SkyLegend::Placed> SkyLegend::Arrange(int width) const
{
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    const double lineHeight = LineHeight();
    const double gap = line * 1.2;
    std::vector<Placed> placed;
    double x = 0;
    double y = 0;
    const auto add = [&](const Entry& entry) {
        const double entryWidth = line * 2.0 + metrics.horizontalAdvance(entry.text);
        if (x > 0 && x + entryWidth > width) {
            x = 0;
            y += lineHeight;
        }
        placed.push_back({entry, QRectF(x, y, entryWidth, lineHeight)});
        x += entryWidth + gap;
    };
    for (const Entry& entry : SystemEntries(systems_))
        add(entry);
    if (x > 0) {
        x = 0;
        y += lineHeight;
    }
    for (const Entry& entry : KeyEntries())
        add(entry);
    return placed;
}

int SkyLegend::heightForWidth(int width) const
{
    const std::vector<Placed> placed = Arrange(width);
    return placed.empty() ? 0 : static_cast<int>(std::ceil(placed.back().cell.bottom()));
}

QSize SkyLegend::sizeHint() const
{
    // Wide enough for the key on one row.
    const std::vector<Placed> placed = Arrange(0);
    double width = 0;
    for (const Placed& entry : placed)
        if (entry.entry.kind != Entry::SystemColour)
            width += entry.cell.width() + QFontMetricsF(font()).height() * 1.2;
    const int hint = static_cast<int>(std::ceil(width));
    return {hint, heightForWidth(hint)};
}

QSize SkyLegend::minimumSizeHint() const
{
    const std::vector<Placed> placed = Arrange(0);
    double width = 0;
    for (const Placed& entry : placed)
        width = std::max(width, entry.cell.width());
    const int narrowest = static_cast<int>(std::ceil(width));
    return {narrowest, heightForWidth(narrowest)};
}

void SkyLegend::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateGeometry();
}

void SkyLegend::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor base = palette().color(QPalette::Base);
    const QColor text = palette().color(QPalette::WindowText);
    const double line = QFontMetricsF(font()).height();
    const double swatch = line * 1.6;
    const double dot = line * 0.32;

    for (const Placed& placed : Arrange(width())) {
        const Entry& entry = placed.entry;
        const QRectF& cell = placed.cell;
        const QPointF middle(cell.left() + swatch / 2, cell.center().y());
        switch (entry.kind) {
        case Entry::SystemColour:
        case Entry::Used:
            painter.setPen(QPen(base, 1.0));
            painter.setBrush(entry.kind == Entry::Used ? text : SystemColor(entry.system));
            painter.drawEllipse(middle, dot, dot);
            break;
        case Entry::NotUsed:
            painter.setPen(QPen(text, std::max(1.5, dot * 0.3)));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(middle, dot, dot);
            break;
        case Entry::Signal: {
            // Circles growing from a weak to a strong signal.
            painter.setPen(QPen(text, 1.2));
            painter.setBrush(Qt::NoBrush);
            double x = cell.left() + line * 0.05;
            for (double r : {line * 0.12, line * 0.21, line * 0.32}) {
                painter.drawEllipse(QPointF(x + r, middle.y()), r, r);
                x += 2 * r + line * 0.12;
            }
            break;
        }
        }
        painter.setPen(text);
        const double textLeft = swatch + line * 0.4;
        painter.drawText(QRectF(cell.left() + textLeft, cell.top(), cell.width() - textLeft,
                                cell.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, entry.text);
    }
}

} // namespace fixwatch
