#include "compare_view.h"

#include "chart_palette.h"
#include "chart_time_axis.h"
#include "chart_line.h"
#include "live_comparison.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScatterSeries>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace fixwatch {

namespace {

// The levels a fix quality is drawn at, worst at the bottom: none, estimated (dead reckoning,
// manual, simulator, anything unknown), fix (GPS, PPS), DGPS, RTK float, RTK fixed.
constexpr const char* kQualityLevels[] = {"none", "estimated", "fix", "DGPS", "RTK float", "RTK fixed"};

int QualityLevel(int quality)
{
    switch (quality) {
    case 0: return 0;
    case 1:
    case 3: return 2;
    case 2: return 3;
    case 5: return 4;
    case 4: return 5;
    default: return 1;
    }
}

constexpr int kChartMargin = 2;
const QColor kColourA(0x1f, 0x77, 0xb4);
const QColor kColourB(0xff, 0x7f, 0x0e);
const QColor kColourEast(0xd6, 0x27, 0x28);
const QColor kColourNorth(0x1f, 0x77, 0xb4);
const QColor kColourUp(0x2c, 0xa0, 0x2c);
const QColor kColourMean(0x94, 0x67, 0xbd);

QLabel* PlainLabel(const QString& text = QString(), const char* name = nullptr)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    return label;
}

QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// A difference in dB as the tables write it: signed, "0" without a sign.
QString Signed(int value) { return value > 0 ? QStringLiteral("+%1").arg(value) : QString::number(value); }
QString Signed(std::optional<double> value, int decimals)
{
    if (!value)
        return QStringLiteral("\u2014");
    const double rounded = std::round(*value * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
    const QString text = QString::number(rounded == 0 ? 0.0 : rounded, 'f', decimals);
    return rounded > 0 ? QLatin1Char('+') + text : text;
}

// Sets a cell of the model, read-only, numbers to the right.
void SetCell(QStandardItemModel* model, int row, int column, const QString& text, bool number)
{
    QStandardItem* item = model->item(row, column);
    if (!item) {
        item = new QStandardItem;
        item->setEditable(false);
        if (number)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        model->setItem(row, column, item);
    }
    if (item->text() != text)
        item->setText(text);
}

QTableView* Table(QStandardItemModel* model, const char* name)
{
    auto* table = new QTableView;
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return table;
}

QChartView* ChartView(QChart* chart)
{
    chart->legend()->hide();
    chart->setMargins(QMargins(kChartMargin, kChartMargin, kChartMargin, kChartMargin));
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(200, 160);
    return view;
}

// Splits points in time order where they lie further apart than the gap.
void AddPoint(std::vector<QList<QPointF>>& segments, double x, double y)
{
    if (segments.empty() || x - segments.back().back().x() > CompareView::kGapSeconds)
        segments.emplace_back();
    segments.back().append(QPointF(x, y));
}

// A value axis over [low, high], widened to at least `least` and to round numbers.
void SetRange(QValueAxis* axis, double low, double high, double least)
{
    if (!(low <= high)) {
        low = -least / 2;
        high = least / 2;
    }
    if (high - low < least) {
        const double middle = (low + high) / 2;
        low = middle - least / 2;
        high = middle + least / 2;
    }
    axis->setRange(low, high);
    axis->applyNiceNumbers();
}

} // namespace

CompareView::CompareView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_Compare"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Lab_CompareEmpty = PlainLabel(QStringLiteral("No epoch in common yet"), "Lab_CompareEmpty");
    layout->addWidget(Lab_CompareEmpty);
    Tab_Compare = new QTabWidget;
    Tab_Compare->setObjectName(QStringLiteral("Tab_Compare"));
    Tab_Compare->addTab(BuildSignalsPage(), QStringLiteral("Signals"));
    Tab_Compare->addTab(BuildPositionPage(), QStringLiteral("Position"));
    Tab_Compare->addTab(BuildAvailabilityPage(), QStringLiteral("Availability"));
    layout->addWidget(Tab_Compare, 1);
    FollowPalette();

    redraw_ = new QTimer(this);
    redraw_->setObjectName(QStringLiteral("Timer_CompareRedraw"));
    redraw_->setInterval(kRedrawMs);
    connect(redraw_, &QTimer::timeout, this, &CompareView::RedrawShownPage);
    // A page shown again is brought up to date at once, not at the next tick.
    connect(Tab_Compare, &QTabWidget::currentChanged, this, [this] {
        if (isVisible())
            RedrawShownPage();
    });
}

CompareView::~CompareView() = default;

QWidget* CompareView::BuildSignalsPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    signals_ = new QStandardItemModel(0, 5, this);
    signals_->setHorizontalHeaderLabels({QStringLiteral("Satellite"), QStringLiteral("Band"), QStringLiteral("A (dB-Hz)"),
                                         QStringLiteral("B (dB-Hz)"), QStringLiteral("B \u2212 A (dB)")});
    bands_ = new QStandardItemModel(0, 4, this);
    bands_->setHorizontalHeaderLabels({QStringLiteral("Band"), QStringLiteral("Last minute"),
                                       QStringLiteral("Since Start"), QStringLiteral("Signals")});
    Tbl_CompareSignals = Table(signals_, "Tbl_CompareSignals");
    Tbl_CompareBands = Table(bands_, "Tbl_CompareBands");

    auto* tables = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    Lab_CompareSignalsTime = PlainLabel(QString(), "Lab_CompareSignalsTime");
    left->addWidget(Lab_CompareSignalsTime);
    left->addWidget(Tbl_CompareSignals, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(PlainLabel(QStringLiteral("B \u2212 A per band (dB), and the signals compared since Start")));
    right->addWidget(Tbl_CompareBands, 1);
    tables->addLayout(left, 1);
    tables->addLayout(right, 1);
    layout->addLayout(tables, 1);
    Lab_CompareOnlyA = PlainLabel(QString(), "Lab_CompareOnlyA");
    Lab_CompareOnlyB = PlainLabel(QString(), "Lab_CompareOnlyB");
    for (QLabel* only : {Lab_CompareOnlyA, Lab_CompareOnlyB}) {
        only->setWordWrap(true);
        layout->addWidget(only);
    }
    return page;
}

QWidget* CompareView::BuildPositionPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* charts = new QGridLayout;
    charts->setHorizontalSpacing(0);

    offsetChart_ = new QChart;
    offsetChart_->setTitle(QStringLiteral("B from A (m)"));
    offsetTime_ = new QCategoryAxis;
    offsetTime_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    offsetMetres_ = new QValueAxis;
    offsetMetres_->setLabelFormat(QStringLiteral("%.2f"));
    offsetChart_->addAxis(offsetTime_, Qt::AlignBottom);
    offsetChart_->addAxis(offsetMetres_, Qt::AlignLeft);
    const std::pair<const char*, QColor> components[] = {
        {"East", kColourEast}, {"North", kColourNorth}, {"Up", kColourUp}};
    for (const auto& [name, colour] : components)
        offsetLines_.push_back(std::make_unique<SegmentedLine>(offsetChart_, offsetTime_, offsetMetres_,
                                                               QString::fromLatin1(name), QPen(colour, 1.5)));

    scatterChart_ = new QChart;
    scatterChart_->setTitle(QStringLiteral("North against east (m)"));
    scatterEast_ = new QValueAxis;
    scatterEast_->setLabelFormat(QStringLiteral("%.2f"));
    scatterNorth_ = new QValueAxis;
    scatterNorth_->setLabelFormat(QStringLiteral("%.2f"));
    scatterChart_->addAxis(scatterEast_, Qt::AlignBottom);
    scatterChart_->addAxis(scatterNorth_, Qt::AlignLeft);
    scatter_ = new QScatterSeries;
    scatter_->setMarkerSize(5);
    scatter_->setBorderColor(Qt::transparent);
    scatter_->setColor(QColor(kColourB.red(), kColourB.green(), kColourB.blue(), 150));
    scatterMean_ = new QScatterSeries;
    scatterMean_->setMarkerSize(10);
    scatterMean_->setColor(kColourMean);
    for (QScatterSeries* series : {scatter_, scatterMean_}) {
        scatterChart_->addSeries(series);
        series->attachAxis(scatterEast_);
        series->attachAxis(scatterNorth_);
    }

    int column = 0;
    for (QChart* chart : {offsetChart_, scatterChart_}) {
        auto* legend = new ChartLegend;
        legends_.push_back(legend);
        charts->addWidget(ChartView(chart), 0, column);
        charts->addWidget(legend, 0, column + 1);
        charts->setColumnStretch(column, column == 0 ? 3 : 2);
        column += 2;
    }
    legends_[0]->setObjectName(QStringLiteral("Frm_CompareOffsetLegend"));
    legends_[1]->setObjectName(QStringLiteral("Frm_CompareScatterLegend"));
    layout->addLayout(charts, 1);
    Lab_ComparePosition = PlainLabel(QString(), "Lab_ComparePosition");
    Lab_ComparePosition->setWordWrap(true);
    layout->addWidget(Lab_ComparePosition);
    return page;
}

QWidget* CompareView::BuildAvailabilityPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    qualityChart_ = new QChart;
    qualityChart_->setTitle(QStringLiteral("Fix quality"));
    qualityTime_ = new QCategoryAxis;
    qualityTime_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    auto* levels = new QCategoryAxis;
    levels->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    levels->setRange(-0.5, static_cast<double>(std::size(kQualityLevels)) - 0.5);
    levels->setStartValue(-0.5);
    for (std::size_t level = 0; level < std::size(kQualityLevels); ++level)
        levels->append(QString::fromLatin1(kQualityLevels[level]), static_cast<double>(level));
    qualityChart_->addAxis(qualityTime_, Qt::AlignBottom);
    qualityChart_->addAxis(levels, Qt::AlignLeft);
    // B dashed and thinner over A, so that both show where they agree.
    qualityLines_.push_back(
        std::make_unique<SegmentedLine>(qualityChart_, qualityTime_, levels, QStringLiteral("A"), QPen(kColourA, 3)));
    qualityLines_.push_back(std::make_unique<SegmentedLine>(qualityChart_, qualityTime_, levels, QStringLiteral("B"),
                                                            QPen(kColourB, 1.5, Qt::DashLine)));
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(ChartView(qualityChart_), 1);
    auto* legend = new ChartLegend;
    legend->setObjectName(QStringLiteral("Frm_CompareQualityLegend"));
    legends_.push_back(legend);
    top->addWidget(legend);
    layout->addLayout(top, 1);

    auto* figures = new QGridLayout;
    figures->addWidget(PlainLabel(QStringLiteral("A")), 0, 1);
    figures->addWidget(PlainLabel(QStringLiteral("B")), 0, 2);
    const QString captions[] = {QStringLiteral("Time to first fix"), QStringLiteral("Satellites used / in view"),
                                QStringLiteral("Epochs with a fix the other had not")};
    const char* names[][2] = {{"Lab_CompareTtffA", "Lab_CompareTtffB"},
                              {"Lab_CompareSatellitesA", "Lab_CompareSatellitesB"},
                              {"Lab_CompareFixOnlyA", "Lab_CompareFixOnlyB"}};
    for (int row = 0; row < 3; ++row) {
        figures->addWidget(PlainLabel(captions[row]), row + 1, 0);
        for (int receiver = 0; receiver < 2; ++receiver) {
            QLabel*& label = Lab_CompareAvailability[static_cast<std::size_t>(row)][static_cast<std::size_t>(receiver)];
            label = PlainLabel(QString(), names[row][receiver]);
            figures->addWidget(label, row + 1, receiver + 1);
        }
    }
    figures->setColumnStretch(3, 1);
    figures->setColumnMinimumWidth(1, 140);
    figures->setColumnMinimumWidth(2, 140);
    layout->addLayout(figures);
    return page;
}

void CompareView::SetComparison(const LiveComparison* comparison)
{
    comparison_ = comparison;
    MarkChanged();
    if (isVisible())
        Redraw();
}

void CompareView::MarkChanged() { dirty_.fill(true); }

qsizetype CompareView::OffsetPoints(int component) const
{
    return offsetLines_[static_cast<std::size_t>(component)]->Points();
}

qsizetype CompareView::QualityPoints(int receiver) const
{
    return qualityLines_[static_cast<std::size_t>(receiver)]->Points();
}

void CompareView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    RedrawShownPage();
    redraw_->start();
}

void CompareView::hideEvent(QHideEvent* event)
{
    redraw_->stop();
    QWidget::hideEvent(event);
}

void CompareView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        FollowPalette();
        dirty_.fill(true); // the legends' keys are drawn in the text colour
    }
}

void CompareView::FollowPalette()
{
    for (QChart* chart : {offsetChart_, scatterChart_, qualityChart_})
        fixwatch::FollowPalette(chart, palette());
}

void CompareView::Redraw()
{
    for (int page = 0; page < kPages; ++page)
        RedrawPage(page);
}

void CompareView::RedrawShownPage()
{
    const int page = Tab_Compare->currentIndex();
    if (page >= 0 && page < kPages && dirty_[static_cast<std::size_t>(page)])
        RedrawPage(page);
}

void CompareView::RedrawPage(int page)
{
    dirty_[static_cast<std::size_t>(page)] = false;
    Lab_CompareEmpty->setVisible(!comparison_ || !comparison_->AnyShared());
    switch (page) {
    case 0: RedrawSignals(); break;
    case 1: RedrawPosition(); break;
    default: RedrawAvailability(); break;
    }
}

void CompareView::RedrawSignals()
{
    QString when = QStringLiteral("Signals both track, at the latest epoch in common");
    if (comparison_ && comparison_->LatestSharedMs()) {
        const std::int64_t ms = *comparison_->LatestSharedMs() % 86'400'000;
        when += QStringLiteral(" (%1 UTC)").arg(UtcTime(static_cast<double>(ms) / 1000.0));
    }
    Lab_CompareSignalsTime->setText(when);
    static const std::vector<LiveComparison::SignalRow> kNone;
    const auto& rows = comparison_ ? comparison_->Signals() : kNone;
    signals_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const LiveComparison::SignalRow& signal = rows[static_cast<std::size_t>(row)];
        SetCell(signals_, row, kSatellite, QLatin1Char(SystemLetter(signal.system)) + QString::number(signal.number),
                false);
        SetCell(signals_, row, kBand, Latin1(BandName(signal.band)), false);
        SetCell(signals_, row, kCn0A, QString::number(signal.a), true);
        SetCell(signals_, row, kCn0B, QString::number(signal.b), true);
        SetCell(signals_, row, kDifference, Signed(signal.Difference()), true);
    }

    const auto summaries = comparison_ ? comparison_->BandSummaries() : std::vector<LiveComparison::BandSummary>();
    bands_->setRowCount(static_cast<int>(summaries.size()));
    for (int row = 0; row < static_cast<int>(summaries.size()); ++row) {
        const LiveComparison::BandSummary& summary = summaries[static_cast<std::size_t>(row)];
        SetCell(bands_, row, kBandName, Latin1(BandName(summary.band)), false);
        SetCell(bands_, row, kLastMinute, Signed(summary.lastMinute, 2), true);
        SetCell(bands_, row, kSinceStart, Signed(summary.sinceStart, 2), true);
        SetCell(bands_, row, kCompared, QString::number(summary.sinceStartCount), true);
    }

    const auto only = [this](EpochPairing::Receiver receiver) {
        return comparison_ ? QString::fromStdString(comparison_->OnlyText(receiver)) : QString();
    };
    Lab_CompareOnlyA->setText(only(EpochPairing::A));
    Lab_CompareOnlyB->setText(only(EpochPairing::B));
    Lab_CompareOnlyA->setVisible(!Lab_CompareOnlyA->text().isEmpty());
    Lab_CompareOnlyB->setVisible(!Lab_CompareOnlyB->text().isEmpty());
}

void CompareView::RedrawPosition()
{
    const std::vector<LiveComparison::Offset> offsets =
        comparison_ ? comparison_->Offsets(kMaxPoints) : std::vector<LiveComparison::Offset>();
    std::vector<QList<QPointF>> lines[3];
    QList<QPointF> scatter;
    scatter.reserve(static_cast<qsizetype>(offsets.size()));
    double low = INFINITY, high = -INFINITY, reach = 0;
    for (const LiveComparison::Offset& offset : offsets) {
        const double t = static_cast<double>(offset.utcMs) / 1000.0;
        const std::optional<double> values[] = {offset.east, offset.north, offset.up};
        for (std::size_t i = 0; i < 3; ++i) {
            if (!values[i])
                continue;
            AddPoint(lines[i], t, *values[i]);
            low = std::min(low, *values[i]);
            high = std::max(high, *values[i]);
        }
        scatter.append(QPointF(offset.east, offset.north));
        reach = std::max({reach, std::abs(offset.east), std::abs(offset.north)});
    }
    for (std::size_t i = 0; i < 3; ++i)
        offsetLines_[i]->SetSegments(lines[i]);
    if (!offsets.empty()) {
        const double from = static_cast<double>(offsets.front().utcMs) / 1000.0;
        const double to = static_cast<double>(offsets.back().utcMs) / 1000.0;
        LabelUtcAxis(offsetTime_, from, std::max(to, from + 1));
    }
    SetRange(offsetMetres_, low, high, 0.1);

    const ReceiverComparison::Result totals = comparison_ ? comparison_->Totals() : ReceiverComparison::Result{};
    scatter_->replace(scatter);
    QList<QPointF> mean;
    if (totals.east && totals.north)
        mean.append(QPointF(*totals.east, *totals.north));
    scatterMean_->replace(mean);
    // One scale on both axes, centred on A, so that the scatter is not drawn out of shape.
    reach = std::max(reach, 0.05) * 1.1;
    for (QValueAxis* axis : {scatterEast_, scatterNorth_})
        SetRange(axis, -reach, reach, 0.1);

    std::vector<ChartLegend::Entry> entries;
    for (const auto& line : offsetLines_)
        entries.push_back({line->Name(), line->Pen()});
    legends_[0]->SetEntries(entries);
    legends_[1]->SetEntries({{QStringLiteral("B"), QPen(scatter_->color(), 5)}, {QStringLiteral("Mean"), QPen(kColourMean, 5)}});

    if (totals.epochs == 0 || !totals.east || !totals.north) {
        Lab_ComparePosition->setText(QStringLiteral("No epoch with a fix in both yet"));
        return;
    }
    const auto metres = [](std::optional<double> value) {
        return value ? Signed(value, 3) + QStringLiteral(" m") : QStringLiteral("unknown (no heights)");
    };
    Lab_ComparePosition->setText(QStringLiteral("Mean offset of B from A: east %1, north %2, up %3\n"
                                                "Horizontal RMS: %4 m over %5 epochs with a fix in both")
                                     .arg(metres(totals.east), metres(totals.north), metres(totals.up),
                                          QString::number(totals.horizontalRms.value_or(0), 'f', 3),
                                          QString::number(totals.epochs)));
}

void CompareView::RedrawAvailability()
{
    std::optional<double> from, to;
    for (int receiver = 0; receiver < 2; ++receiver) {
        std::vector<QList<QPointF>> segments;
        if (comparison_) {
            const auto& spans = comparison_->AvailabilityOf(static_cast<EpochPairing::Receiver>(receiver)).quality;
            // The newest spans, two points each.
            const std::size_t first = spans.size() > kMaxPoints / 2 ? spans.size() - kMaxPoints / 2 : 0;
            for (std::size_t i = first; i < spans.size(); ++i) {
                const double start = static_cast<double>(spans[i].fromMs) / 1000.0;
                const double end = static_cast<double>(spans[i].toMs) / 1000.0;
                const double level = QualityLevel(spans[i].quality);
                if (!segments.empty() && start - segments.back().back().x() <= kGapSeconds)
                    segments.back().append(QPointF(start, segments.back().back().y())); // a step, not a slope
                AddPoint(segments, start, level);
                segments.back().append(QPointF(end, level));
                from = std::min(from.value_or(start), start);
                to = std::max(to.value_or(end), end);
            }
        }
        qualityLines_[static_cast<std::size_t>(receiver)]->SetSegments(segments);
    }
    if (from)
        LabelUtcAxis(qualityTime_, *from, std::max(*to, *from + 1));
    legends_[2]->SetEntries({{qualityLines_[0]->Name(), qualityLines_[0]->Pen()},
                             {qualityLines_[1]->Name(), qualityLines_[1]->Pen()}});

    for (int receiver = 0; receiver < 2; ++receiver) {
        const auto r = static_cast<std::size_t>(receiver);
        if (!comparison_) {
            for (auto& row : Lab_CompareAvailability)
                row[r]->setText(QStringLiteral("\u2014"));
            continue;
        }
        const LiveComparison::Availability& a = comparison_->AvailabilityOf(static_cast<EpochPairing::Receiver>(receiver));
        Lab_CompareAvailability[kTimeToFirstFix][r]->setText(
            a.timeToFirstFix ? QStringLiteral("%1 s").arg(*a.timeToFirstFix, 0, 'f', 1) : QStringLiteral("no fix yet"));
        Lab_CompareAvailability[kSatellites][r]->setText(
            a.satellitesUsed ? QStringLiteral("%1 / %2").arg(*a.satellitesUsed).arg(a.satellitesInView.value_or(0))
                             : QStringLiteral("\u2014"));
        Lab_CompareAvailability[kFixOnly][r]->setText(QString::number(a.fixOnly));
    }
}

} // namespace fixwatch
