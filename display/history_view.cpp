#include "history_view.h"

#include "chart_legend.h"
#include "chart_time_axis.h"
#include "chart_line.h"
#include "chart_palette.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace fixwatch {

namespace {

constexpr int kWindowMinutes[] = {1, 10, 60};
constexpr std::size_t kMaxPoints = 1500; // per line and redraw; more is finer than pixels
constexpr int kChartMargin = 2;

// The fix bands as the Fix chart's axis names them.
constexpr const char* kFixBands[] = {"none", "2D", "3D", "DGPS", "RTK float", "RTK fixed"};

} // namespace

ValueTicks ReadableTicks(double low, double high, double resolution)
{
    // A tick interval of 1, 2 or 5 times a power of ten, never finer than the labels can tell
    // apart, so that no two labels read the same; the range is widened to whole intervals.
    const double wanted = std::max((high - low) / 2.0, resolution);
    double interval = resolution;
    for (double decade = resolution; interval < wanted; decade *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            interval = decade * factor;
            if (interval >= wanted)
                break;
        }
    }
    return {std::floor(low / interval) * interval, std::ceil(high / interval) * interval, interval};
}

std::optional<double> EpochSeconds(const Epoch& epoch)
{
    if (!epoch.timeMs)
        return std::nullopt;
    double days = 0;
    if (epoch.date) {
        using namespace std::chrono;
        const year_month_day ymd{year(epoch.date->year), month(static_cast<unsigned>(epoch.date->month)),
                                 day(static_cast<unsigned>(epoch.date->day))};
        days = sys_days(ymd).time_since_epoch().count();
    }
    return days * 86400.0 + *epoch.timeMs / 1000.0;
}

std::optional<int> FixBand(const Epoch& epoch)
{
    if (epoch.fixQuality) {
        switch (*epoch.fixQuality) {
        case 0: return 0;
        case 2: return 3;
        case 4: return 5;
        case 5: return 4;
        default: break;
        }
    }
    if (epoch.gsaMode && *epoch.gsaMode >= 1 && *epoch.gsaMode <= 3)
        return *epoch.gsaMode - 1;
    if (epoch.fixQuality)
        return 2;
    return std::nullopt;
}

// One named line of a chart, drawn as one series per unbroken stretch so that a gap in the
// data is a gap on the chart; every stretch has the line's name and pen.
class ChartLine {
public:
    ChartLine(QChart* chart, QCategoryAxis* x, QAbstractAxis* y, QString name, QColor colour,
              Qt::PenStyle style = Qt::SolidLine, bool step = false)
        : line_(chart, x, y, std::move(name), QPen(colour, 1.5, style)), step_(step)
    {
    }

    // A sparse line's value comes with some epochs only (DOPs of a GSA sent once a second
    // among 10 Hz fixes): an epoch without it is no gap, only time without a value is.
    void SetSparse(bool sparse) { sparse_ = sparse; }

    // The legend names the line `label` (its name when empty), or leaves it out.
    void SetLegend(bool shown, QString label = QString())
    {
        inLegend_ = shown;
        legendLabel_ = std::move(label);
    }

    void Begin()
    {
        segments_.clear();
        open_ = false;
    }
    void Add(double x, std::optional<double> y)
    {
        if (!y || !std::isfinite(*y)) {
            if (!sparse_)
                open_ = false;
            return;
        }
        if (open_ && x - lastX_ > HistoryView::kGapSeconds)
            open_ = false;
        if (!open_) {
            segments_.emplace_back();
            open_ = true;
        } else if (step_ && segments_.back().back().y() != *y) {
            segments_.back().append(QPointF(x, segments_.back().back().y()));
        }
        segments_.back().append(QPointF(x, *y));
        lastX_ = x;
        low_ = std::min(low_, *y);
        high_ = std::max(high_, *y);
    }
    void End() { line_.SetSegments(segments_); }
    // The line's legend entry, when it has one and is drawn: a system that sent nothing in
    // the window takes no room in the legend.
    void AddEntry(std::vector<ChartLegend::Entry>& entries) const
    {
        if (inLegend_ && !segments_.empty())
            entries.push_back({legendLabel_.isEmpty() ? line_.Name() : legendLabel_, line_.Pen()});
    }
    bool Drawn() const { return !segments_.empty(); }
    double low_ = INFINITY, high_ = -INFINITY;

private:
    SegmentedLine line_;
    bool step_;
    std::vector<QList<QPointF>> segments_;
    bool inLegend_ = true;
    bool sparse_ = false;
    QString legendLabel_;
    bool open_ = false;
    double lastX_ = 0;
};

HistoryView::HistoryView(std::function<const EpochHistory&()> history, QWidget* parent)
    : QWidget(parent), history_(std::move(history))
{
    setObjectName(QStringLiteral("Frm_History"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Show the last"));
    label->setTextFormat(Qt::PlainText);
    Cmb_HistoryWindow = new QComboBox;
    Cmb_HistoryWindow->setObjectName(QStringLiteral("Cmb_HistoryWindow"));
    for (const int minutes : kWindowMinutes)
        Cmb_HistoryWindow->addItem(minutes == 1 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(minutes));
    Cmb_HistoryWindow->setCurrentIndex(1);
    label->setBuddy(Cmb_HistoryWindow);
    top->addWidget(label);
    top->addWidget(Cmb_HistoryWindow);
    top->addStretch();
    layout->addLayout(top);
    // Charts on the left, each legend beside its chart: the legends' column is as wide as the
    // widest of them, so that every chart has the same width.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(0);
    layout->addLayout(grid, 1);

    const QString titles[] = {QStringLiteral("Satellites"), QStringLiteral("C/N0 of used satellites (dB-Hz)"),
                              QStringLiteral("DOP"), QStringLiteral("Fix"),
                              QStringLiteral("Altitude (m)")};
    for (const QString& title : titles) {
        auto* chart = new QChart;
        chart->setTitle(title);
        chart->legend()->hide();
        auto* x = new QCategoryAxis;
        x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        chart->addAxis(x, Qt::AlignBottom);
        chart->setMargins(QMargins(kChartMargin, kChartMargin, kChartMargin, kChartMargin));
        if (charts_.size() == kFixChart) {
            // The bands by name, one label at each level.
            auto* bands = new QCategoryAxis;
            bands->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
            bands->setRange(-0.5, 5.5);
            bands->setStartValue(-0.5);
            for (int band = 0; band < static_cast<int>(std::size(kFixBands)); ++band)
                bands->append(QString::fromLatin1(kFixBands[band]), band);
            chart->addAxis(bands, Qt::AlignLeft);
        } else {
            auto* y = new QValueAxis;
            y->setLabelFormat(QStringLiteral("%.0f"));
            y->setTickType(QValueAxis::TicksDynamic);
            y->setTickAnchor(0);
            chart->addAxis(y, Qt::AlignLeft);
        }
        auto* view = new QChartView(chart);
        view->setRenderHint(QPainter::Antialiasing);
        // The satellite chart's legend lists up to seven systems: it gets the room for them.
        const bool satellites = charts_.empty();
        view->setMinimumHeight(satellites ? 150 : 100);
        const int row = static_cast<int>(charts_.size());
        auto* legend = new ChartLegend;
        legend->setObjectName(QStringLiteral("Frm_HistoryLegend%1").arg(row));
        grid->addWidget(view, row, 0);
        grid->addWidget(legend, row, 1);
        grid->setRowStretch(row, satellites ? 3 : 2);
        grid->setColumnStretch(0, 1);
        charts_.push_back(chart);
        legends_.push_back(legend);
        labelWidths_.push_back(0);
    }
    auto axes = [this](int chart) {
        QChart* c = charts_[static_cast<std::size_t>(chart)];
        return std::pair(static_cast<QCategoryAxis*>(c->axes(Qt::Horizontal).front()), c->axes(Qt::Vertical).front());
    };
    auto line = [&](int chart, const char* name, QColor colour, Qt::PenStyle style = Qt::SolidLine, bool step = false) {
        const auto [x, y] = axes(chart);
        lines_.push_back(std::make_unique<ChartLine>(charts_[static_cast<std::size_t>(chart)], x, y,
                                                     QString::fromLatin1(name), colour, style, step));
    };
    line(kSignalChart, "Mean", QColor(0x1f, 0x77, 0xb4));
    line(kSignalChart, "Max", QColor(0xd6, 0x27, 0x28));
    line(kDopChart, "HDOP", QColor(0x1f, 0x77, 0xb4));
    line(kDopChart, "VDOP", QColor(0x2c, 0xa0, 0x2c));
    lines_.back()->SetSparse(true);
    line(kDopChart, "PDOP", QColor(0xd6, 0x27, 0x28));
    lines_.back()->SetSparse(true);
    line(kFixChart, "Fix", QColor(0x94, 0x67, 0xbd), Qt::SolidLine, true);
    line(kAltitudeChart, "Altitude", QColor(0x8c, 0x56, 0x4b));
    const QColor bandColours[] = {QColor(0x17, 0xbe, 0xcf), QColor(0xbc, 0xbd, 0x22), QColor(0xe3, 0x77, 0xc2),
                                  QColor(0x7f, 0x7f, 0x7f), QColor(0xff, 0x98, 0x96), QColor(0x98, 0xdf, 0x8a)};
    static_assert(std::size(bandColours) == SignalHistory::kMeanBands);
    for (std::size_t b = 0; b < SignalHistory::kMeanBands; ++b) {
        const auto [x, y] = axes(kSignalChart);
        const std::string_view band = BandName(static_cast<SignalBand>(b));
        bandLines_.push_back(std::make_unique<ChartLine>(charts_[kSignalChart], x, y,
                                                         QString::fromLatin1(band.data(), static_cast<qsizetype>(band.size())),
                                                         bandColours[b], Qt::DashLine));
    }
    BuildSatelliteLines();
    FollowPalette();

    redraw_ = new QTimer(this);
    redraw_->setInterval(kRedrawMs);
    connect(redraw_, &QTimer::timeout, this, [this] {
        if (dirty_)
            Redraw();
    });
    connect(Cmb_HistoryWindow, &QComboBox::currentIndexChanged, this, &HistoryView::Cmb_HistoryWindow_Click);
}

HistoryView::~HistoryView() = default;

void HistoryView::BuildSatelliteLines()
{
    satelliteLines_.clear();
    QChart* chart = charts_[kSatellitesChart];
    auto* x = static_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).front());
    auto* y = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    chart->setTitle(allSystems_ ? QStringLiteral("Satellites used (solid) and in view (dashed)") : QStringLiteral("Satellites"));
    if (!allSystems_) {
        satelliteLines_.push_back(std::make_unique<ChartLine>(chart, x, y, QStringLiteral("Used"), QColor(0x1f, 0x77, 0xb4)));
        satelliteLines_.push_back(std::make_unique<ChartLine>(chart, x, y, QStringLiteral("In view"), QColor(0x1f, 0x77, 0xb4), Qt::DashLine));
        return;
    }
    const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0x7f, 0x7f, 0x7f), QColor(0xd6, 0x27, 0x28),
                              QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd),
                              QColor(0x8c, 0x56, 0x4b)};
    for (std::size_t i = 0; i < std::size(kAllGnssSystems); ++i) {
        const QString name = QString::fromLatin1(SystemName(kAllGnssSystems[i]).data());
        satelliteLines_.push_back(std::make_unique<ChartLine>(chart, x, y, name + QStringLiteral(" used"), colours[i]));
        satelliteLines_.push_back(std::make_unique<ChartLine>(chart, x, y, name + QStringLiteral(" in view"), colours[i], Qt::DashLine));
        // One legend entry per system, so that every system the receiver sends finds room.
        satelliteLines_[satelliteLines_.size() - 2]->SetLegend(true, name);
        satelliteLines_.back()->SetLegend(false);
    }
}

void HistoryView::ToggleSatellite(GnssSystem system, int number, const QString& name)
{
    const std::uint16_t key = SignalHistory::Key(system, number);
    const auto found = std::find_if(followed_.begin(), followed_.end(), [key](const Followed& f) { return f.key == key; });
    if (found != followed_.end()) {
        followed_.erase(found);
    } else {
        const QColor colours[] = {QColor(0x2c, 0xa0, 0x2c), QColor(0x94, 0x67, 0xbd), QColor(0xff, 0x7f, 0x0e),
                                  QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf)};
        followed_.push_back({key, name, colours[followed_.size() % std::size(colours)], {}});
    }
    Cmb_HistoryWindow_Click();
}

ChartLine& HistoryView::Followed::Line(HistoryView& view, std::uint8_t band)
{
    for (auto& [b, line] : lines)
        if (b == band)
            return *line;
    // The satellite's strongest signal is its name's line; each band's its own stroke.
    QString lineName = name;
    Qt::PenStyle style = Qt::DotLine;
    if (band != SignalHistory::kStrongest) {
        const std::string_view bandName = BandName(static_cast<SignalBand>(band));
        lineName += QLatin1Char(' ') + QString::fromLatin1(bandName.data(), static_cast<qsizetype>(bandName.size()));
        const Qt::PenStyle styles[] = {Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine, Qt::DashLine};
        style = styles[band % std::size(styles)];
    }
    QChart* chart = view.charts_[kSignalChart];
    auto* axisX = static_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).front());
    auto* axisY = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    lines.emplace_back(band, std::make_unique<ChartLine>(chart, axisX, axisY, lineName, colour, style));
    lines.back().second->Begin();
    // Sorted by band, so that the legend lists a satellite's bands in their order.
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [b, line] : lines)
        if (b == band)
            return *line;
    return *lines.back().second;
}

QStringList HistoryView::FollowedSatellites() const
{
    QStringList names;
    for (const Followed& f : followed_)
        names.append(f.name);
    return names;
}

void HistoryView::SetAllSystems(bool allSystems)
{
    if (allSystems == allSystems_)
        return;
    allSystems_ = allSystems;
    BuildSatelliteLines();
    dirty_ = true;
}

void HistoryView::Cmb_HistoryWindow_Click()
{
    dirty_ = true;
    if (isVisible())
        Redraw();
}

void HistoryView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (dirty_)
        Redraw();
    redraw_->start();
}

void HistoryView::FollowPalette()
{
    for (QChart* chart : charts_)
        fixwatch::FollowPalette(chart, palette());
}

void HistoryView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        FollowPalette();
        dirty_ = true; // the legend's keys are drawn in the text colour
    }
}

void HistoryView::hideEvent(QHideEvent* event)
{
    redraw_->stop();
    QWidget::hideEvent(event);
}

void HistoryView::Redraw()
{
    dirty_ = false;
    const EpochHistory& history = history_();
    const int minutes = kWindowMinutes[std::clamp(Cmb_HistoryWindow->currentIndex(), 0, 2)];
    const double span = minutes * 60.0;

    // The newest epoch with a time ends the window; walk back to its start.
    std::size_t end = history.Size();
    std::optional<double> newest;
    while (end > 0 && !(newest = EpochSeconds(history[end - 1])))
        --end;
    std::size_t begin = end;
    while (begin > 0) {
        const auto t = EpochSeconds(history[begin - 1]);
        if (t && (*t < *newest - span || *t > *newest))
            break;
        --begin;
    }
    const std::size_t step = std::max<std::size_t>(1, (end - begin) / kMaxPoints);
    // The axis ends at the newest epoch; until the window is full it starts at the first one,
    // so that a fresh session fills the width rather than its right edge.
    const double to = newest.value_or(span);
    double from = to - span;
    for (std::size_t i = 0; i < end; ++i)
        if (const auto t = EpochSeconds(history[i])) {
            from = std::min(std::max(from, *t), to - 10.0);
            break;
        }

    for (auto& l : satelliteLines_)
        l->Begin();
    for (auto& l : lines_)
        l->Begin();
    for (std::size_t i = begin; i < end; i += step) {
        const Epoch& e = history[i];
        const auto at = EpochSeconds(e);
        if (!at)
            continue;
        const double x = *at;
        if (allSystems_) {
            for (std::size_t s = 0; s < std::size(kAllGnssSystems); ++s) {
                satelliteLines_[2 * s]->Add(x, e.usedBySystem[s] ? std::optional<double>(e.usedBySystem[s]) : std::nullopt);
                satelliteLines_[2 * s + 1]->Add(x, e.inViewBySystem[s] ? std::optional<double>(e.inViewBySystem[s]) : std::nullopt);
            }
        } else {
            int used = 0, inView = 0;
            for (std::size_t s = 0; s < std::size(kAllGnssSystems); ++s) {
                used += e.usedBySystem[s];
                inView += e.inViewBySystem[s];
            }
            satelliteLines_[0]->Add(x, e.satellitesUsed ? *e.satellitesUsed : used);
            satelliteLines_[1]->Add(x, inView);
        }
        lines_[0]->Add(x, e.cn0Mean);
        lines_[1]->Add(x, e.cn0Max ? std::optional<double>(*e.cn0Max) : std::nullopt);
        lines_[2]->Add(x, e.hdop);
        lines_[3]->Add(x, e.vdop);
        lines_[4]->Add(x, e.pdop);
        const auto band = FixBand(e);
        lines_[5]->Add(x, band ? std::optional<double>(*band) : std::nullopt);
        lines_[6]->Add(x, e.altitude);
    }
    // The satellites followed on the C/N0 chart, from their signals within the window.
    for (Followed& f : followed_)
        for (auto& line : f.lines)
            line.second->Begin();
    DrawBandMeans(newest, span);
    if (signals_ && !followed_.empty() && newest) {
        const SignalHistory& signalHistory = signals_();
        std::size_t first = signalHistory.Size();
        while (first > 0 && signalHistory[first - 1].seconds >= *newest - span)
            --first;
        for (std::size_t i = first; i < signalHistory.Size(); ++i) {
            const SignalHistory::Sample& sample = signalHistory[i];
            if (sample.seconds > *newest)
                continue;
            for (Followed& f : followed_)
                if (f.key == sample.key)
                    f.Line(*this, sample.band).Add(sample.seconds, static_cast<double>(sample.cn0));
        }
    }
    // The widest label of any value axis decides where every plot begins.
    std::vector<double> widths(charts_.size(), 0);
    for (std::size_t c = 0; c < charts_.size(); ++c) {
        const QFontMetricsF metrics(charts_[c]->axes(Qt::Vertical).front()->labelsFont());
        const auto widen = [&](const QString& label) { widths[c] = std::max(widths[c], metrics.horizontalAdvance(label)); };
        double low = INFINITY, high = -INFINITY;
        auto take = [&](ChartLine& l) {
            l.End();
            low = std::min(low, l.low_);
            high = std::max(high, l.high_);
            l.low_ = INFINITY;
            l.high_ = -INFINITY;
        };
        if (c == kSatellitesChart)
            for (auto& l : satelliteLines_)
                take(*l);
        if (c == kSignalChart) {
            for (auto& l : bandLines_)
                take(*l);
            for (Followed& f : followed_)
                for (auto& line : f.lines)
                    take(*line.second);
        }
        const std::size_t first[] = {0, 0, 2, 5, 6, 7};
        for (std::size_t i = first[c]; i < first[c + 1]; ++i)
            take(*lines_[i]);
        legends_[c]->SetEntries(LegendEntries(static_cast<int>(c)));
        if (c == kFixChart) {
            // The bands the window shows, each named: all six would not fit the chart's height.
            auto* bands = static_cast<QCategoryAxis*>(charts_[c]->axes(Qt::Vertical).front());
            const int lowest = low <= high ? static_cast<int>(low) : 0;
            const int highest = low <= high ? static_cast<int>(high) : 5;
            for (const QString& label : bands->categoriesLabels())
                bands->remove(label);
            bands->setRange(lowest - 0.5, highest + 0.5);
            bands->setStartValue(lowest - 0.5);
            for (int band = lowest; band <= highest; ++band) {
                bands->append(QString::fromLatin1(kFixBands[band]), band);
                widen(QString::fromLatin1(kFixBands[band]));
            }
        } else {
            auto* y = static_cast<QValueAxis*>(charts_[c]->axes(Qt::Vertical).front());
            // Counts and dB-Hz are read in whole units, DOPs in tenths, altitude in metres.
            const bool whole = c == kSatellitesChart || c == kSignalChart || c == kAltitudeChart;
            const double resolution = whole ? 1.0 : 0.1;
            ValueTicks ticks{0, 1, resolution};
            if (low <= high) {
                const double pad = std::max(0.5, (high - low) * 0.1);
                ticks = ReadableTicks(c == kAltitudeChart ? low - pad : std::max(0.0, low - pad), high + pad, resolution);
            }
            const char* format = whole ? "%.0f" : "%.1f";
            y->setLabelFormat(QString::fromLatin1(format));
            y->setRange(ticks.low, ticks.high);
            y->setTickInterval(ticks.interval);
            for (double tick = ticks.low; tick <= ticks.high + ticks.interval / 2; tick += ticks.interval)
                widen(QString::asprintf(format, tick));
        }
        LabelUtcAxis(static_cast<QCategoryAxis*>(charts_[c]->axes(Qt::Horizontal).front()), from, to);
    }
    if (widths != labelWidths_) {
        labelWidths_ = widths;
        LineUpPlots();
    }
}

std::vector<ChartLegend::Entry> HistoryView::LegendEntries(int chart) const
{
    std::vector<ChartLegend::Entry> entries;
    if (chart == kSatellitesChart) {
        bool inView = false; // lines alternate: used, then in view
        for (std::size_t i = 0; i < satelliteLines_.size(); ++i) {
            satelliteLines_[i]->AddEntry(entries);
            inView = inView || (i % 2 == 1 && satelliteLines_[i]->Drawn());
        }
        // With a line per system, the systems are named by colour and the two kinds of line
        // by their strokes.
        if (allSystems_ && !entries.empty()) {
            const QColor text = palette().color(QPalette::Text);
            entries.push_back({QStringLiteral("used"), QPen(text, 1.5, Qt::SolidLine)});
            if (inView)
                entries.push_back({QStringLiteral("in view"), QPen(text, 1.5, Qt::DashLine)});
        }
        return entries;
    }
    const std::size_t first[] = {0, 0, 2, 5, 6, 7};
    for (std::size_t i = first[chart]; i < first[chart + 1]; ++i)
        lines_[i]->AddEntry(entries);
    if (chart == kSignalChart) {
        for (const auto& l : bandLines_)
            l->AddEntry(entries);
        for (const Followed& f : followed_)
            for (const auto& line : f.lines)
                line.second->AddEntry(entries);
    }
    return entries;
}

void HistoryView::DrawBandMeans(std::optional<double> newest, double span)
{
    for (auto& l : bandLines_)
        l->Begin();
    if (!allSystems_ || !signals_ || !newest)
        return;
    const double from = *newest - span;
    const double to = *newest;
    const auto& means = signals_().Means();
    std::size_t first = means.size();
    while (first > 0 && means[first - 1].seconds >= from)
        --first;
    // As many points as the other lines at most.
    const std::size_t step = std::max<std::size_t>(1, (means.size() - first) / kMaxPoints);
    std::array<bool, SignalHistory::kMeanBands> sent{};
    for (std::size_t i = first; i < means.size(); i += step) {
        if (means[i].seconds > to)
            continue;
        for (std::size_t b = 0; b < SignalHistory::kMeanBands; ++b) {
            const auto& mean = means[i].mean[b];
            sent[b] = sent[b] || mean.has_value();
            bandLines_[b]->Add(means[i].seconds, mean ? std::optional<double>(*mean) : std::nullopt);
        }
    }
    // One band alone is what the Mean line says already.
    if (std::count(sent.begin(), sent.end(), true) < 2)
        for (auto& l : bandLines_)
            l->Begin();
}

// Qt Charts place each plot right of its own value labels, so that the time axes of the five
// would not line up: each chart gets as much more margin on the left as its labels are
// narrower than the widest of any chart. The charts are equally wide (their legends stand
// beside them, in one column), so that the right edges line up by themselves; there, room is
// kept for the half of the newest time's label that overhangs the plot.
void HistoryView::LineUpPlots()
{
    const double widest = *std::max_element(labelWidths_.begin(), labelWidths_.end());
    for (std::size_t c = 0; c < charts_.size(); ++c) {
        const QFontMetrics time(charts_[c]->axes(Qt::Horizontal).front()->labelsFont());
        const int overhang = time.horizontalAdvance(QStringLiteral("00:00:00")) / 2;
        const int narrower = static_cast<int>(std::lround(widest - labelWidths_[c]));
        charts_[c]->setMargins(QMargins(kChartMargin + narrower, kChartMargin, kChartMargin + overhang, kChartMargin));
    }
}

} // namespace fixwatch
