#include "accuracy_view.h"

#include "chart_palette.h"
#include "value_label.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fixwatch {

namespace {

constexpr int kWindowMinutes[] = {0, 1, 10, 60}; // 0: every fix since Clear
constexpr int kCirclePoints = 96;
constexpr double kLeastExtent = 0.1; // metres each way, for fixes that never moved

QLabel* PlainLabel(const char* name, const QString& text = QString())
{
    auto* label = new ValueLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QString Degrees(double value) { return QString::number(value, 'f', 8); }

QString Metres(const std::optional<double>& value)
{
    return value ? QString::number(*value, 'f', 3) + QStringLiteral(" m") : QStringLiteral("-");
}

QList<QPointF> Circle(double radius)
{
    QList<QPointF> points;
    points.reserve(kCirclePoints + 1);
    for (int i = 0; i <= kCirclePoints; ++i) {
        const double a = 2 * std::numbers::pi * i / kCirclePoints;
        points.append(QPointF(radius * std::cos(a), radius * std::sin(a)));
    }
    return points;
}

} // namespace

std::optional<double> ReadDecimalDegrees(const QString& text, double limit)
{
    const QString t = text.trimmed();
    // Digits, one point and a sign only: no exponent, no "nan", no thousands separators.
    static const QRegularExpression pattern(QStringLiteral("^[+-]?(\\d{1,3}(\\.\\d{0,12})?|\\.\\d{1,12})$"));
    if (!pattern.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > limit)
        return std::nullopt;
    return value;
}

AccuracyView::AccuracyView(std::function<const AccuracySamples&()> samples, QWidget* parent)
    : QWidget(parent), samples_(std::move(samples))
{
    setObjectName(QStringLiteral("Frm_Accuracy"));
    auto* layout = new QVBoxLayout(this);

    // The window and the reference, above the chart.
    auto* top = new QHBoxLayout;
    auto* windowLabel = PlainLabel("Lbl_AccuracyWindow", QStringLiteral("Fixes of"));
    Cmb_AccuracyWindow = new QComboBox;
    Cmb_AccuracyWindow->setObjectName(QStringLiteral("Cmb_AccuracyWindow"));
    Cmb_AccuracyWindow->addItems({QStringLiteral("All since Clear"), QStringLiteral("The last minute"),
                                  QStringLiteral("The last 10 minutes"), QStringLiteral("The last 60 minutes")});
    windowLabel->setBuddy(Cmb_AccuracyWindow);
    top->addWidget(windowLabel);
    top->addWidget(Cmb_AccuracyWindow);
    top->addSpacing(16);
    auto* referenceLabel = PlainLabel("Lbl_ReferenceLatitude", QStringLiteral("Reference latitude"));
    Txt_ReferenceLatitude = new QLineEdit;
    Txt_ReferenceLatitude->setObjectName(QStringLiteral("Txt_ReferenceLatitude"));
    Txt_ReferenceLatitude->setPlaceholderText(QStringLiteral("mean"));
    Txt_ReferenceLatitude->setMaxLength(24);
    referenceLabel->setBuddy(Txt_ReferenceLatitude);
    auto* longitudeLabel = PlainLabel("Lbl_ReferenceLongitude", QStringLiteral("longitude"));
    Txt_ReferenceLongitude = new QLineEdit;
    Txt_ReferenceLongitude->setObjectName(QStringLiteral("Txt_ReferenceLongitude"));
    Txt_ReferenceLongitude->setPlaceholderText(QStringLiteral("mean"));
    Txt_ReferenceLongitude->setMaxLength(24);
    longitudeLabel->setBuddy(Txt_ReferenceLongitude);
    Cmd_UseMean = new QPushButton(QStringLiteral("Use current mean"));
    Cmd_UseMean->setObjectName(QStringLiteral("Cmd_UseMean"));
    Cmd_UseMean->setToolTip(QStringLiteral("Fix the reference at the mean position of the fixes shown"));
    top->addWidget(referenceLabel);
    top->addWidget(Txt_ReferenceLatitude);
    top->addWidget(longitudeLabel);
    top->addWidget(Txt_ReferenceLongitude);
    top->addWidget(Cmd_UseMean);
    top->addStretch();
    layout->addLayout(top);
    Lbl_ReferenceError = PlainLabel("Lbl_ReferenceError");
    Lbl_ReferenceError->setStyleSheet(QStringLiteral("color: #c62828"));
    Lbl_ReferenceError->setVisible(false);
    layout->addWidget(Lbl_ReferenceError);

    // The scatter, and the figures beside it.
    auto* body = new QHBoxLayout;
    chart_ = new QChart;
    chart_->setMargins(QMargins(2, 2, 2, 2));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    east_ = new QValueAxis;
    east_->setTitleText(QStringLiteral("East (m)"));
    east_->setLabelFormat(QStringLiteral("%.2f"));
    north_ = new QValueAxis;
    north_->setTitleText(QStringLiteral("North (m)"));
    north_->setLabelFormat(QStringLiteral("%.2f"));
    chart_->addAxis(east_, Qt::AlignBottom);
    chart_->addAxis(north_, Qt::AlignLeft);
    auto attach = [this](QXYSeries* series, const char* name) {
        series->setName(QString::fromLatin1(name));
        chart_->addSeries(series);
        series->attachAxis(east_);
        series->attachAxis(north_);
    };
    fixes_ = new QScatterSeries;
    fixes_->setMarkerSize(4);
    fixes_->setBorderColor(Qt::transparent);
    fixes_->setColor(QColor(0x1f, 0x77, 0xb4, 150));
    attach(fixes_, "Fixes");
    cep50_ = new QLineSeries;
    cep50_->setPen(QPen(QColor(0x2c, 0xa0, 0x2c), 2));
    attach(cep50_, "CEP50");
    cep95_ = new QLineSeries;
    cep95_->setPen(QPen(QColor(0xd6, 0x27, 0x28), 2));
    attach(cep95_, "CEP95");
    reference_ = new QScatterSeries;
    reference_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    reference_->setMarkerSize(9);
    reference_->setColor(QColor(0xff, 0x7f, 0x0e));
    attach(reference_, "Reference");
    mean_ = new QScatterSeries;
    mean_->setMarkerSize(9);
    mean_->setColor(QColor(0x94, 0x67, 0xbd));
    attach(mean_, "Mean");
    auto* view = new QChartView(chart_);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(240, 240);
    body->addWidget(view, 1);

    auto* figures = new QFormLayout;
    auto row = [&](const char* caption, QLabel*& label, const char* name) {
        label = PlainLabel(name);
        figures->addRow(PlainLabel("", QString::fromUtf8(caption)), label);
    };
    row("Reference", Lbl_AccuracyReference, "Lbl_AccuracyReference");
    row("Fixes", Lbl_AccuracyFixes, "Lbl_AccuracyFixes");
    row("Mean latitude", Lbl_AccuracyMeanLatitude, "Lbl_AccuracyMeanLatitude");
    row("Mean longitude", Lbl_AccuracyMeanLongitude, "Lbl_AccuracyMeanLongitude");
    row("Mean altitude", Lbl_AccuracyMeanAltitude, "Lbl_AccuracyMeanAltitude");
    row("CEP50", Lbl_AccuracyCep50, "Lbl_AccuracyCep50");
    row("CEP95", Lbl_AccuracyCep95, "Lbl_AccuracyCep95");
    row("2DRMS", Lbl_Accuracy2Drms, "Lbl_Accuracy2Drms");
    row("R95 altitude", Lbl_AccuracyR95Altitude, "Lbl_AccuracyR95Altitude");
    row("Std. dev. east", Lbl_AccuracySdEast, "Lbl_AccuracySdEast");
    row("Std. dev. north", Lbl_AccuracySdNorth, "Lbl_AccuracySdNorth");
    row("Std. dev. up", Lbl_AccuracySdUp, "Lbl_AccuracySdUp");
    row("GST \u03c3 latitude", Lbl_AccuracyGstLatitude, "Lbl_AccuracyGstLatitude");
    row("GST \u03c3 longitude", Lbl_AccuracyGstLongitude, "Lbl_AccuracyGstLongitude");
    row("GST \u03c3 altitude", Lbl_AccuracyGstAltitude, "Lbl_AccuracyGstAltitude");
    auto* side = new QVBoxLayout;
    side->addLayout(figures);
    side->addStretch();
    body->addLayout(side);
    layout->addLayout(body, 1);
    ShowFigures({});
    FollowPalette();

    redraw_ = new QTimer(this);
    redraw_->setInterval(kRedrawMs);
    connect(redraw_, &QTimer::timeout, this, [this] {
        if (dirty_ && !(sinceRedraw_.isValid() && sinceRedraw_.elapsed() < holdMs_))
            Redraw();
    });
    connect(chart_, &QChart::plotAreaChanged, this, [this] { ApplyEqualScales(); });
    connect(Cmb_AccuracyWindow, &QComboBox::currentIndexChanged, this, &AccuracyView::Cmb_AccuracyWindow_Click);
    connect(Txt_ReferenceLatitude, &QLineEdit::textChanged, this, &AccuracyView::Txt_Reference_Change);
    connect(Txt_ReferenceLongitude, &QLineEdit::textChanged, this, &AccuracyView::Txt_Reference_Change);
    connect(Cmd_UseMean, &QPushButton::clicked, this, &AccuracyView::Cmd_UseMean_Click);
}

void AccuracyView::Changed()
{
    dirty_ = true;
    if (isVisible())
        Redraw();
}

void AccuracyView::Cmb_AccuracyWindow_Click() { Changed(); }

void AccuracyView::Txt_Reference_Change()
{
    TypedReference(); // says at once what is wrong with the text
    Changed();
}

void AccuracyView::Cmd_UseMean_Click()
{
    if (!report_) {
        Lbl_ReferenceError->setText(QStringLiteral("There is no fix yet to take the mean of."));
        Lbl_ReferenceError->setVisible(true);
        return;
    }
    const double latitude = report_->meanLatitude;
    const double longitude = report_->meanLongitude;
    Txt_ReferenceLatitude->setText(Degrees(latitude));
    Txt_ReferenceLongitude->setText(Degrees(longitude));
}

std::optional<ReferencePoint> AccuracyView::TypedReference()
{
    const QString latitudeText = Txt_ReferenceLatitude->text().trimmed();
    const QString longitudeText = Txt_ReferenceLongitude->text().trimmed();
    QString error;
    std::optional<ReferencePoint> reference;
    if (latitudeText.isEmpty() && longitudeText.isEmpty()) {
        // No typed point: the mean is the reference, and that is no error.
    } else if (latitudeText.isEmpty() || longitudeText.isEmpty()) {
        error = QStringLiteral("Type both a latitude and a longitude for the reference; until then the mean is used.");
    } else {
        const auto latitude = ReadDecimalDegrees(latitudeText, 90);
        const auto longitude = ReadDecimalDegrees(longitudeText, 180);
        if (!latitude)
            error = QStringLiteral("The reference latitude is not a number of degrees from -90 to 90 (e.g. 45.06250000); the mean is used.");
        else if (!longitude)
            error = QStringLiteral("The reference longitude is not a number of degrees from -180 to 180 (e.g. 7.66250000); the mean is used.");
        else
            reference = ReferencePoint{*latitude, *longitude};
    }
    Lbl_ReferenceError->setText(error);
    Lbl_ReferenceError->setVisible(!error.isEmpty());
    return reference;
}

void AccuracyView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (dirty_)
        Redraw();
    redraw_->start();
}

void AccuracyView::hideEvent(QHideEvent* event)
{
    redraw_->stop();
    QWidget::hideEvent(event);
}

void AccuracyView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        FollowPalette();
}

void AccuracyView::FollowPalette()
{
    fixwatch::FollowPalette(chart_, palette());
}

void AccuracyView::ShowFigures(const GstSigmaMeans& sigmas)
{
    const AccuracyReport none;
    const AccuracyReport& r = report_ ? *report_ : none;
    const bool any = report_.has_value();
    auto metres = [any](const std::optional<double>& v) { return any ? Metres(v) : QStringLiteral("-"); };
    Lbl_AccuracyFixes->setText(QString::number(r.fixes));
    Lbl_AccuracyMeanLatitude->setText(any ? Degrees(r.meanLatitude) : QStringLiteral("-"));
    Lbl_AccuracyMeanLongitude->setText(any ? Degrees(r.meanLongitude) : QStringLiteral("-"));
    Lbl_AccuracyMeanAltitude->setText(metres(r.meanAltitude));
    Lbl_AccuracyCep50->setText(metres(r.figures.cep50));
    Lbl_AccuracyCep95->setText(metres(r.figures.cep95));
    Lbl_Accuracy2Drms->setText(metres(r.figures.twoDrms));
    Lbl_AccuracyR95Altitude->setText(metres(r.figures.r95Altitude));
    Lbl_AccuracySdEast->setText(metres(r.figures.sdEast));
    Lbl_AccuracySdNorth->setText(metres(r.figures.sdNorth));
    Lbl_AccuracySdUp->setText(metres(r.figures.sdUp));
    Lbl_AccuracyGstLatitude->setText(Metres(sigmas.latitude.Value()));
    Lbl_AccuracyGstLongitude->setText(Metres(sigmas.longitude.Value()));
    Lbl_AccuracyGstAltitude->setText(Metres(sigmas.altitude.Value()));
}

void AccuracyView::Redraw()
{
    QElapsedTimer took;
    took.start();
    dirty_ = false;
    const int minutes = kWindowMinutes[std::clamp(Cmb_AccuracyWindow->currentIndex(), 0, 3)];
    const AccuracySamples& samples = samples_();
    const std::optional<ReferencePoint> typed = TypedReference();
    report_ = ReportAccuracy(samples.FixesWithin(minutes), typed);
    ShowFigures(samples.SigmasWithin(minutes));
    Lbl_AccuracyReference->setText(typed ? QStringLiteral("the point typed") : QStringLiteral("the mean position"));

    QList<QPointF> points, mean;
    extent_ = kLeastExtent;
    if (report_) {
        const auto& offsets = report_->offsets;
        const std::size_t step = std::max<std::size_t>(1, (offsets.size() + kMaxScatterPoints - 1) / kMaxScatterPoints);
        const std::size_t shown = offsets.size() / step + 1;
        points.reserve(static_cast<qsizetype>(shown));
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            const LocalOffset& o = offsets[i];
            extent_ = std::max({extent_, std::fabs(o.east), std::fabs(o.north)});
            if (i % step == 0)
                points.append(QPointF(o.east, o.north));
        }
        extent_ = std::max(extent_, report_->figures.cep95);
        if (typed) {
            // Where the mean lies from the typed point.
            const LocalPlane plane(typed->latitude, typed->longitude, report_->meanAltitude.value_or(0));
            const LocalOffset m = plane.Offset(report_->meanLatitude, report_->meanLongitude, std::nullopt);
            mean.append(QPointF(m.east, m.north));
        }
    }
    fixes_->replace(points);
    mean_->replace(mean);
    for (QLegendMarker* marker : chart_->legend()->markers(mean_))
        marker->setVisible(!mean.isEmpty());
    reference_->replace(QList<QPointF>{QPointF(0, 0)});
    cep50_->replace(report_ ? Circle(report_->figures.cep50) : QList<QPointF>());
    cep95_->replace(report_ ? Circle(report_->figures.cep95) : QList<QPointF>());
    ApplyEqualScales();
    // A day of fixes takes a while to go through: the timer then waits long enough that
    // redrawing keeps to a twentieth of the time.
    holdMs_ = 20 * took.elapsed();
    sinceRedraw_.restart();
}

// One metre is as long east as north: the axis of the longer side of the plot spans more.
void AccuracyView::ApplyEqualScales()
{
    const QRectF area = chart_->plotArea();
    const double half = extent_ * 1.1;
    double east = half, north = half;
    if (area.width() > 1 && area.height() > 1) {
        if (area.width() > area.height())
            east = half * area.width() / area.height();
        else
            north = half * area.height() / area.width();
    }
    // A change of a hair would move the labels and the plot area, and bring us back here.
    auto set = [](QValueAxis* axis, double h) {
        if (std::fabs(axis->max() - h) > h * 1e-3 || std::fabs(axis->min() + h) > h * 1e-3)
            axis->setRange(-h, h);
    };
    set(east_, east);
    set(north_, north);
}

} // namespace fixwatch
