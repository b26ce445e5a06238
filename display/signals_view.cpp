#include "signals_view.h"

#include "sky_plot.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace fixwatch {
namespace {

// C/N0 as a tooltip says it.
QString Cn0Text(const SkySignal& signal)
{
    const auto cn0 = signal.Cn0();
    return cn0 ? QStringLiteral("%1 dB-Hz").arg(*cn0) : QStringLiteral("not tracked");
}

// A signal's name, or what identifies it when the table has none.
QString NameOf(GnssSystem system, const SkySignal& signal)
{
    const std::string_view name = SignalName(system, signal.id);
    if (!name.empty())
        return QString::fromLatin1(name);
    if (signal.id == 0)
        return QStringLiteral("no signal ID");
    return QStringLiteral("signal ID %1").arg(QLatin1Char(signal.id));
}

} // namespace

QColor BandColor(SignalBand band)
{
    switch (band) {
    case SignalBand::L1: return {0x3b, 0x7d, 0xd8};
    case SignalBand::L2: return {0xd9, 0x80, 0x1c};
    case SignalBand::L5: return {0x2e, 0x9e, 0x4f};
    case SignalBand::E5b: return {0x9a, 0x5c, 0xc6};
    case SignalBand::E6: return {0xc9, 0x50, 0x3e};
    case SignalBand::S: return {0x1f, 0x9e, 0xa8};
    case SignalBand::Other: return {0x8c, 0x8c, 0x8c};
    }
    return Qt::gray;
}

SignalsView::SignalsView(QWidget* parent) : QWidget(parent)
{
    Cmb_SignalsSystem = new QComboBox;
    Cmb_SignalsSystem->setObjectName(QStringLiteral("Cmb_SignalsSystem"));
    Cmb_SignalsSystem->addItem(QStringLiteral("All systems"));
    for (GnssSystem system : kAllGnssSystems) {
        const std::string_view name = SystemName(system);
        Cmb_SignalsSystem->addItem(QString::fromLatin1(name));
    }
    Img_Signals = new SignalBars;
    Img_Signals->setObjectName(QStringLiteral("Img_Signals"));
    Img_Signals->SetBars(&bands_, &groups_);

    auto* filter = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("System:"));
    caption->setTextFormat(Qt::PlainText);
    caption->setBuddy(Cmb_SignalsSystem);
    filter->addWidget(caption);
    filter->addWidget(Cmb_SignalsSystem);
    filter->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filter);
    layout->addWidget(Img_Signals, 1);

    redraw_ = new QTimer(this);
    redraw_->setInterval(kRedrawMs);
    connect(redraw_, &QTimer::timeout, this, [this] {
        if (dirty_)
            Redraw();
    });
    connect(Cmb_SignalsSystem, &QComboBox::currentIndexChanged, this, &SignalsView::Cmb_SignalsSystem_Click);
}

void SignalsView::ShowSatellites(const std::vector<SkySatellite>& satellites)
{
    if (satellites == satellites_)
        return;
    satellites_ = satellites;
    dirty_ = true;
}

void SignalsView::Cmb_SignalsSystem_Click()
{
    Redraw();
}

void SignalsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (dirty_)
        Redraw();
    redraw_->start();
}

void SignalsView::hideEvent(QHideEvent* event)
{
    redraw_->stop();
    QWidget::hideEvent(event);
}

void SignalsView::Redraw()
{
    dirty_ = false;
    const int filter = Cmb_SignalsSystem->currentIndex() - 1; // -1: every system
    const auto shown = [filter](const SkySatellite& s) { return filter < 0 || static_cast<int>(s.system) == filter; };

    // The bands any shown satellite has, in band order.
    std::array<bool, std::size(kAllSignalBands)> present{};
    for (const SkySatellite& s : satellites_) {
        if (!shown(s))
            continue;
        for (const SkySignal& signal : s.Signals())
            present[static_cast<std::size_t>(SignalBandOf(s.system, signal.id))] = true;
    }
    bands_.clear();
    for (SignalBand band : kAllSignalBands) {
        if (present[static_cast<std::size_t>(band)])
            bands_.push_back(band);
    }

    groups_.clear();
    for (const SkySatellite& s : InSkyOrder(satellites_)) {
        if (!shown(s))
            continue;
        SignalGroup group;
        group.key = KeyOf(s);
        group.label = SkyLabel(group.key);
        group.used = s.used;
        for (SignalBand band : bands_)
            group.cn0.push_back(StrongestCn0(s, band));
        QStringList lines{group.label + (s.used ? QStringLiteral(", used in the fix") : QString())};
        for (const SkySignal& signal : s.Signals()) {
            const SignalBand band = SignalBandOf(s.system, signal.id);
            const std::string_view bandName = BandName(band);
            lines << QStringLiteral("%1 (%2): %3")
                         .arg(NameOf(s.system, signal), QLatin1String(bandName.data(), static_cast<qsizetype>(bandName.size())),
                              Cn0Text(signal));
        }
        if (s.Signals().empty())
            lines << QStringLiteral("no signal listed");
        group.toolTip = lines.join(QLatin1Char('\n'));
        groups_.push_back(std::move(group));
    }
    Img_Signals->update();
}

// ---------------------------------------------------------------------------------------

struct SignalBars::Layout {
    QRect plot; // the bars' area: 0 dB-Hz at its bottom, kScaleTop at its top
    double groupWidth = 0;
    double barWidth = 0;
    bool labelsTurned = false; // names written upwards when they do not fit across a group
    int labelTop = 0;
    int legendTop = 0;
};

SignalBars::SignalBars(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(320, 200);
}

void SignalBars::SetBars(const std::vector<SignalBand>* bands, const std::vector<SignalGroup>* groups)
{
    bands_ = bands;
    groups_ = groups;
    update();
}

SignalBars::Layout SignalBars::Arrange() const
{
    const QFontMetrics metrics(font());
    const int margin = 6;
    const int line = metrics.height();
    Layout layout;
    int widestLabel = 0;
    for (const SignalGroup& group : *groups_)
        widestLabel = std::max(widestLabel, metrics.horizontalAdvance(group.label));
    const int left = margin + metrics.horizontalAdvance(QStringLiteral("dB-Hz")) + 4;
    const int right = width() - margin;
    const auto count = std::max<std::size_t>(groups_->size(), 1);
    layout.groupWidth = static_cast<double>(right - left) / static_cast<double>(count);
    layout.labelsTurned = widestLabel + 4 > layout.groupWidth;
    const int labelHeight = layout.labelsTurned ? widestLabel : line;
    layout.legendTop = height() - margin - line;
    layout.labelTop = layout.legendTop - 6 - labelHeight;
    layout.plot = QRect(QPoint(left, margin + line / 2 + line), QPoint(right, layout.labelTop - 7));
    const auto bands = std::max<std::size_t>(bands_->size(), 1);
    layout.barWidth = std::max(1.0, layout.groupWidth * 0.8 / static_cast<double>(bands));
    return layout;
}

int SignalBars::GroupAt(QPoint point) const
{
    if (!groups_ || groups_->empty())
        return -1;
    const Layout layout = Arrange();
    if (point.y() < layout.plot.top() || point.y() >= layout.legendTop || point.x() < layout.plot.left())
        return -1;
    const auto index = static_cast<std::size_t>((point.x() - layout.plot.left()) / layout.groupWidth);
    return index < groups_->size() ? static_cast<int>(index) : -1;
}

bool SignalBars::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int group = GroupAt(help->pos());
        if (group < 0)
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), (*groups_)[static_cast<std::size_t>(group)].toolTip, this);
        return true;
    }
    return QWidget::event(event);
}

void SignalBars::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    const QColor text = colours.color(QPalette::WindowText);
    QColor grid = text;
    grid.setAlpha(50);
    painter.fillRect(rect(), colours.color(QPalette::Base));
    if (!groups_ || !bands_)
        return;
    const Layout layout = Arrange();
    const QRect& plot = layout.plot;
    const QFontMetrics metrics(font());
    const auto yOf = [&](int cn0) {
        return plot.bottom() - std::clamp(cn0, 0, SignalsView::kScaleTop) * plot.height() / SignalsView::kScaleTop;
    };

    // The scale: a line every 10 dB-Hz with its value, and the unit above.
    painter.setPen(text);
    painter.drawText(QRect(0, plot.top() - metrics.height() * 3 / 2, plot.left() - 4, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("dB-Hz"));
    for (int value = 0; value <= SignalsView::kScaleTop; value += 10) {
        const int y = yOf(value);
        // A rule filled, not stroked: a translucent pen's line is blended pixel by pixel, and
        // Qt hands that many pieces to its painting threads, waking the window hundreds of
        // times a second while the tab is shown.
        painter.fillRect(QRect(plot.left(), y, plot.width(), 1), grid);
        painter.setPen(text);
        painter.drawText(QRect(0, y - metrics.height() / 2, plot.left() - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(value));
    }

    if (groups_->empty()) {
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("No satellite in view"));
        return;
    }

    QFont bold = font();
    bold.setBold(true);
    for (std::size_t g = 0; g < groups_->size(); ++g) {
        const SignalGroup& group = (*groups_)[g];
        const double groupLeft = plot.left() + layout.groupWidth * static_cast<double>(g);
        const double barsLeft = groupLeft + layout.groupWidth * 0.1;
        for (std::size_t b = 0; b < group.cn0.size(); ++b) {
            const QRectF slot(barsLeft + layout.barWidth * static_cast<double>(b), plot.top(),
                              std::max(1.0, layout.barWidth - 1), plot.height());
            if (const auto cn0 = group.cn0[b]) {
                const QRectF bar(slot.left(), yOf(*cn0), slot.width(), plot.bottom() - yOf(*cn0));
                painter.fillRect(bar, BandColor((*bands_)[b]));
            } else {
                // An empty slot: a low hollow box in the band's colour where this satellite
                // gives nothing in that band.
                painter.setPen(QPen(BandColor((*bands_)[b]), 1));
                painter.setBrush(Qt::NoBrush);
                const double stub = std::min(6.0, slot.height());
                painter.drawRect(QRectF(slot.left() + 0.5, slot.bottom() - stub + 0.5, slot.width() - 1, stub - 1));
            }
        }
        // The name under the group, bold and underlined when the satellite is used.
        painter.setPen(text);
        painter.setFont(group.used ? bold : font());
        const QRectF under(groupLeft, layout.labelTop, layout.groupWidth, layout.legendTop - 4 - layout.labelTop);
        if (layout.labelsTurned) {
            painter.save();
            painter.translate(under.center());
            painter.rotate(-90);
            painter.drawText(QRectF(-under.height() / 2, -under.width() / 2, under.height(), under.width()),
                             Qt::AlignRight | Qt::AlignVCenter, group.label);
            painter.restore();
        } else {
            painter.drawText(under, Qt::AlignHCenter | Qt::AlignTop, group.label);
        }
        if (group.used)
            painter.fillRect(QRectF(barsLeft, plot.bottom() + 3, layout.groupWidth * 0.8, 2), text);
    }
    painter.setFont(font());

    // The legend: each band's colour, then the mark of a used satellite.
    int x = plot.left();
    const int square = metrics.ascent() - 2;
    const int y = layout.legendTop;
    for (SignalBand band : *bands_) {
        painter.fillRect(QRect(x, y + (metrics.height() - square) / 2, square, square), BandColor(band));
        x += square + 4;
        const std::string_view name = BandName(band);
        const QString label = QString::fromLatin1(name);
        painter.drawText(QPoint(x, y + metrics.ascent()), label);
        x += metrics.horizontalAdvance(label) + 14;
    }
    painter.fillRect(QRect(x, y + metrics.height() / 2, square * 2, 2), text);
    x += square * 2 + 4;
    painter.drawText(QPoint(x, y + metrics.ascent()), QStringLiteral("used in the fix"));
}

} // namespace fixwatch
