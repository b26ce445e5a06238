// The Accuracy tab on hand-made fixes: the reference (mean, typed, refused, fixed at the
// mean), the window of minutes, equal scales, and the bound of what it keeps.
#include "accuracy_view.h"

#include <QApplication>
#include <QChart>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>

namespace fixwatch {
namespace {

GgaFix Fix(double latitude, double longitude, double altitude = 100)
{
    GgaFix f;
    f.latitude = latitude;
    f.longitude = longitude;
    f.altitude = altitude;
    f.quality = 1;
    return f;
}

QList<QPointF> Points(QChart* chart, const QString& name)
{
    for (QAbstractSeries* s : chart->series())
        if (s->name() == name)
            return static_cast<QXYSeries*>(s)->points();
    return {};
}

struct AccuracyViewTest : ::testing::Test {
    AccuracySamples samples{100};
    AccuracyView view{[this]() -> const AccuracySamples& { return samples; }};

    void SetUp() override
    {
        // A square 2 m across around 45 N 7 E, one fix a second.
        const double dLat = 1.0 / 111132, dLon = 1.0 / 78847;
        const double corners[][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
        for (int i = 0; i < 4; ++i)
            samples.AddFix(Fix(45 + corners[i][0] * dLat, 7 + corners[i][1] * dLon), 1000.0 + i);
        view.resize(900, 500);
        view.show();
        view.Redraw();
    }
};

TEST_F(AccuracyViewTest, MeanIsTheReferenceUntilAPointIsTypedAndUseCurrentMeanFixesIt)
{
    ASSERT_TRUE(view.Report());
    EXPECT_EQ(view.Lbl_AccuracyFixes->text(), QStringLiteral("4"));
    EXPECT_EQ(view.Lbl_AccuracyMeanLatitude->text(), QStringLiteral("45.00000000"));
    EXPECT_EQ(view.Lbl_AccuracyMeanLongitude->text(), QStringLiteral("7.00000000"));
    EXPECT_EQ(view.Lbl_AccuracyReference->text(), QStringLiteral("the mean position"));
    // Every corner is about sqrt(2) m from the mean.
    EXPECT_NEAR(view.Report()->figures.cep50, std::sqrt(2.0), 0.01);
    EXPECT_FALSE(view.Lbl_ReferenceError->isVisible());
    EXPECT_TRUE(Points(view.Chart(), QStringLiteral("Mean")).isEmpty()) << "the mean is the reference";

    // A point 10 m south of the mean: the mean shows 10 m north of it, the circles grow.
    view.Txt_ReferenceLatitude->setText(QStringLiteral("44.99991002"));
    view.Txt_ReferenceLongitude->setText(QStringLiteral("7"));
    EXPECT_EQ(view.Lbl_AccuracyReference->text(), QStringLiteral("the point typed"));
    const QList<QPointF> mean = Points(view.Chart(), QStringLiteral("Mean"));
    ASSERT_EQ(mean.size(), 1);
    EXPECT_NEAR(mean[0].y(), 10.0, 0.05);
    EXPECT_NEAR(mean[0].x(), 0.0, 0.01);
    EXPECT_GT(view.Report()->figures.cep50, 9);

    // Use current mean types the mean in: the figures are those about the mean again.
    view.Cmd_UseMean->click();
    EXPECT_EQ(view.Txt_ReferenceLatitude->text(), QStringLiteral("45.00000000"));
    EXPECT_EQ(view.Txt_ReferenceLongitude->text(), QStringLiteral("7.00000000"));
    EXPECT_EQ(view.Lbl_AccuracyReference->text(), QStringLiteral("the point typed"));
    EXPECT_NEAR(view.Report()->figures.cep50, std::sqrt(2.0), 0.01);
    // ... and stays there when the receiver wanders off.
    samples.AddFix(Fix(45.001, 7), 1004.0);
    view.Redraw();
    EXPECT_DOUBLE_EQ(view.Report()->reference.latitude, 45.0);
    EXPECT_EQ(view.Txt_ReferenceLatitude->text(), QStringLiteral("45.00000000"));
}

TEST_F(AccuracyViewTest, AnUnreadableReferenceIsSaidInPlaceAndTheMeanKept)
{
    // clang-format off
    const struct {
        const char* legend;
        const char* latitude;
        const char* longitude;
    } rows[] = {
        {"a comma for a point", "45,5", "7"}, {"words", "north", "7"}, {"beyond the pole", "90.5", "7"},
        {"beyond the antimeridian", "45", "-180.01"}, {"an exponent", "4.5e1", "7"}, {"not a number", "nan", "7"},
        {"the longitude missing", "45", ""}, {"the latitude missing", "", "7"}, {"degrees and minutes", "45 30", "7"},
    };
    // clang-format on
    for (const auto& row : rows) {
        view.Txt_ReferenceLatitude->setText(QString::fromLatin1(row.latitude));
        view.Txt_ReferenceLongitude->setText(QString::fromLatin1(row.longitude));
        EXPECT_TRUE(view.Lbl_ReferenceError->isVisible()) << row.legend;
        EXPECT_FALSE(view.Lbl_ReferenceError->text().isEmpty()) << row.legend;
        EXPECT_EQ(view.Lbl_AccuracyReference->text(), QStringLiteral("the mean position")) << row.legend;
        ASSERT_TRUE(view.Report()) << row.legend;
        EXPECT_DOUBLE_EQ(view.Report()->reference.latitude, view.Report()->meanLatitude) << row.legend;
    }
    // Emptied again, the mean is the reference and nothing is wrong.
    view.Txt_ReferenceLatitude->clear();
    view.Txt_ReferenceLongitude->clear();
    EXPECT_FALSE(view.Lbl_ReferenceError->isVisible());

    // No fix yet: nothing to take the mean of, said so.
    samples.Clear();
    view.Redraw();
    EXPECT_EQ(view.Lbl_AccuracyFixes->text(), QStringLiteral("0"));
    EXPECT_EQ(view.Lbl_AccuracyCep50->text(), QStringLiteral("-"));
    view.Cmd_UseMean->click();
    EXPECT_TRUE(view.Lbl_ReferenceError->isVisible());
    EXPECT_TRUE(view.Txt_ReferenceLatitude->text().isEmpty());
}

TEST_F(AccuracyViewTest, TheWindowKeepsTheLastMinutesAndTheScalesStayEqual)
{
    samples.Clear();
    for (int s = 0; s <= 90; ++s)
        samples.AddFix(Fix(45 + s * 1e-7, 7), 5000.0 + s);
    view.Cmb_AccuracyWindow->setCurrentIndex(1); // the last minute
    EXPECT_EQ(view.Lbl_AccuracyFixes->text(), QStringLiteral("61"));
    view.Cmb_AccuracyWindow->setCurrentIndex(0);
    EXPECT_EQ(view.Lbl_AccuracyFixes->text(), QStringLiteral("91"));

    // A metre is as long across as up: the ranges are in the plot area's proportions.
    QApplication::processEvents();
    view.Redraw();
    const QRectF area = view.Chart()->plotArea();
    auto* east = static_cast<QValueAxis*>(view.Chart()->axes(Qt::Horizontal).front());
    auto* north = static_cast<QValueAxis*>(view.Chart()->axes(Qt::Vertical).front());
    ASSERT_GT(area.height(), 10);
    EXPECT_NEAR((east->max() - east->min()) / area.width(), (north->max() - north->min()) / area.height(),
                0.01 * (north->max() - north->min()) / area.height());
}

TEST(AccuracySamples, KeepNoMoreThanTheirCapacity)
{
    AccuracySamples samples(3);
    for (int i = 0; i < 10; ++i)
        samples.AddFix(Fix(i, 0), i);
    ASSERT_EQ(samples.Fixes(), 3u);
    auto kept = samples.FixesWithin(0);
    EXPECT_DOUBLE_EQ((*kept.begin()).latitude, 7);
    Epoch e;
    e.sigmaLatitude = 1.5;
    for (int i = 0; i < 10; ++i)
        samples.AddEpoch(e, i);
    EXPECT_DOUBLE_EQ(samples.SigmasWithin(0).latitude.Value().value(), 1.5);
    EXPECT_FALSE(samples.SigmasWithin(0).altitude.Value()) << "never sent, never shown";
}

TEST(AccuracySamples, TheOpenEpochsEstimateCountsOnceUntilItCloses)
{
    AccuracySamples samples;
    Epoch e;
    e.sigmaLatitude = 1;
    samples.AddEpoch(e, 0);
    e.sigmaLatitude = 4;
    samples.SetOpenEpoch(e, 600);
    EXPECT_DOUBLE_EQ(samples.SigmasWithin(0).latitude.Value().value(), 2.5) << "the open one counts";
    EXPECT_DOUBLE_EQ(samples.SigmasWithin(5).latitude.Value().value(), 4) << "its time moves the window on";
    samples.SetOpenEpoch(e, 600);
    samples.AddEpoch(e, 600);
    EXPECT_DOUBLE_EQ(samples.SigmasWithin(0).latitude.Value().value(), 2.5) << "closed, it is not counted twice";
    samples.SetOpenEpoch(Epoch{}, 601);
    EXPECT_DOUBLE_EQ(samples.SigmasWithin(0).latitude.Value().value(), 2.5) << "a new epoch without GST";
    samples.Clear();
    EXPECT_FALSE(samples.SigmasWithin(0).latitude.Value());
}

} // namespace
} // namespace fixwatch
