// The fix display on labels and bars of its own, as the window makes them, and the number and
// date patterns it uses.
#include "qt_print.h"
#include "fix_display.h"
#include "nmea_interpreter.h"
#include "number_format.h"
#include "plain_text.h"
#include "gnss_system.h"

#include <QLabel>
#include <QProgressBar>
#include <QTextDocument>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <map>

namespace fixwatch {
namespace {

// Every control the display writes, plain-text labels and 0..90 bars side by side (so that
// painting one never paints another), shown so that they really paint; counts their paints.
struct Widgets : QObject {
    std::map<QObject*, int> paints; // before the window, which outlives it otherwise
    QWidget window;
    DisplayWidgets w;
    int made = 0;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return paints[watched] += event->type() == QEvent::Paint, false;
    }
    template <typename T, std::size_t N>
    void Make(std::array<T*, N>& controls)
    {
        for (auto& control : controls) {
            control = new T(&window);
            control->setGeometry(made / 20 * 120, made % 20 * 25, 110, 20);
            control->installEventFilter(this);
            if constexpr (std::is_same_v<T, QLabel>)
                control->setTextFormat(Qt::PlainText);
            else
                control->setRange(0, 90);
            ++made;
        }
    }
    Widgets()
    {
        Make(w.Lab_Posizione), Make(w.Lab_PosizioneUM), Make(w.Lab_PosizioneInfo), Make(w.Lab_SatCHN);
        Make(w.Lab_PosizioneInfo3b), Make(w.Lab_Sat), Make(w.Lab_SatA), Make(w.Lab_SatE), Make(w.PSat);
        window.resize(made / 20 * 120 + 120, 500);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

TEST(FixDisplayHandlers, BarsClampTooltipsKeepTheValueAndClearEmptiesTheTexts)
{
    Widgets widgets;
    FixDisplay display(widgets.w);
    const auto bar = [&](int i) { // value and tooltip
        return QString::number(widgets.w.PSat[i]->value()) + " " + widgets.w.PSat[i]->toolTip();
    };
    display.gps_SatelliteReceived(1, 7, 100, 45, 99);
    display.gps_SatelliteReceived(2, 7, 100, 45, -5);
    EXPECT_EQ(bar(0), "90 99");
    EXPECT_EQ(bar(1), "0 -5");
    display.gps_SatelliteReceived(13, 9, 100, 45, 30); // a fourth GSV message
    display.gps_SatelliteReceived(0, 9, 100, 45, 30);
    for (QLabel* number : widgets.w.Lab_Sat) // neither has a column, nor writes another's
        EXPECT_NE(number->text(), "9");

    display.gps_TimeChanged("12:35:19");
    display.gps_Ch03SatReceived(5);
    display.ClearDisplay();
    for (QLabel* label : widgets.w.Lab_Posizione)
        EXPECT_EQ(label->text(), "");
    for (QLabel* label : widgets.w.Lab_PosizioneInfo3b)
        EXPECT_EQ(label->text(), "");
    EXPECT_EQ(widgets.w.Lab_SatCHN.back()->text(), "12");
    EXPECT_EQ(bar(0), "0 0");
}

TEST(FixDisplayHandlers, ReceivedTextIsShownExactlyAsReceived)
{
    Widgets widgets;
    FixDisplay display(widgets.w);
    for (const std::string text : {"<img src=/dev/zero>", "<b>054.7</b> T", "&lt;", "\xB0 \xE9"}) {
        const QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        display.gps_TrueTrack(text);
        display.gps_TimeChanged(text);
        display.gps_AltitudeUnitsReceived(text);
        EXPECT_EQ(widgets.w.Lab_PosizioneInfo[kTrueTrack]->text(), shown);
        EXPECT_EQ(widgets.w.Lab_Posizione[kTime]->text(), shown);
        EXPECT_EQ(widgets.w.Lab_PosizioneUM[kAltitudeUnit]->text(), "[" + shown.toLower() + "]");
    }
    for (const QString text : {"<img src=/dev/zero>", "<b>bold</b>", "&lt;", "a < b"}) {
        QTextDocument tip; // rendered as rich text, the tooltip shows the original text
        tip.setHtml(PlainToolTip(text));
        EXPECT_TRUE(Qt::mightBeRichText(PlainToolTip(text))) << text.toStdString();
        EXPECT_EQ(tip.toPlainText(), text);
    }
}

// With every system read, RMC's knots stand in for a missing VTG; the km/h worked out from
// them carry as many decimals as the knots shown beside them.
TEST(FixDisplayHandlers, RmcSpeedInKmhCarriesThePrecisionOfItsKnots)
{
    // clang-format off
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"022.4", "22.4", "41.5"},  {"22", "22.0", "40.7"},    {"0.012", "0.012", "0.022"},
        {"5.25", "5.25", "9.72"},   {"000.0", "0.0", "0.0"},   {"12.3456", "12.346", "22.864"},
        {"-1.5", "-1.5", "-2.8"},   {"99999.9", "99999.9", "185199.8"}};
    for (const bool comma : {false, true}) {
        Widgets widgets;
        FixDisplay display(widgets.w, QLocale(comma ? QLocale::German : QLocale::English));
        display.SetAllSystems(true);
        NmeaInterpreter gps(display, Talkers::AllSystems);
        const auto local = [comma](QString text) { return comma ? text.replace('.', ',') : text; };
        for (const auto& [sent, knots, kmh] : rows) {
            const std::string body = "$GNRMC,123519,A,4807.038,N,01131.000,E," + std::string(sent) + ",084.4,230394,,";
            ASSERT_TRUE(gps.Parse(body + "*" + gps.GetChecksum(body))) << sent;
            EXPECT_EQ(widgets.w.Lab_Posizione[kSpeedKnots]->text(), local(knots)) << sent;
            EXPECT_EQ(widgets.w.Lab_Posizione[kSpeedKmh]->text(), local(kmh)) << sent;
        }
        // Once a VTG has come, its speed wins over RMC's.
        for (const std::string body : {"$GNVTG,054.7,T,034.4,M,005.5,N,010.2,K",
                                       "$GNRMC,123519,A,4807.038,N,01131.000,E,10.0,084.4,230394,,"})
            ASSERT_TRUE(gps.Parse(body + "*" + gps.GetChecksum(body))) << body;
        EXPECT_EQ(widgets.w.Lab_Posizione[kSpeedKnots]->text(), local("5.5"));
    }
    // clang-format on
}

// With every system read, the columns come from the whole sky: the strongest twelve, ties by
// system then number and a satellite without a signal last, shown in system then number order.
TEST(FixDisplaySky, TheColumnsShowTheStrongestTwelveOfEverySystemInSystemOrder)
{
    using enum GnssSystem;
    // System, number, elevation, azimuth, signal, used: all at one place in the sky.
    // clang-format off
    const std::vector<SkySatellite> sky = {
        {GPS, 5, 45, 180, 40, true},       {GPS, 10, 45, 180, 20, false},     {GPS, 30, 45, 180, 10, false},
        {GPS, 2, 45, 180, {}, false},      {GLONASS, 65, 45, 180, 35, true},  {GLONASS, 70, 45, 180, 10, false},
        {GLONASS, 80, 45, 180, 33, false}, {Galileo, 12, 45, 180, 30, false}, {Galileo, 3, 45, 180, 45, true},
        {BeiDou, 11, 45, 180, 25, false},  {BeiDou, 20, 45, 180, 20, false},  {SBAS, 33, 45, 180, 38, false},
        {QZSS, 193, 45, 180, 28, false},   {NavIC, 3, 45, 180, 22, false}};
    // clang-format on
    Widgets widgets;
    FixDisplay display(widgets.w);
    display.SetAllSystems(true);
    const auto bars = [&] {
        QStringList values;
        for (const QProgressBar* bar : widgets.w.PSat)
            values << QString::number(bar->value());
        return values.join(QLatin1Char('|'));
    };
    const auto texts = [](const auto& labels) {
        QStringList shown;
        for (const QLabel* label : labels)
            shown << label->text();
        return shown.join(QLatin1Char('|'));
    };
    display.ShowSky(sky);
    EXPECT_EQ(texts(widgets.w.Lab_Sat), "G5|G10|G30|S33|R65|R80|E3|E12|C11|C20|J193|I3")
        << "R70 loses the tie at 10 dB-Hz to G30, G2 has no signal";
    EXPECT_EQ(bars(), "40|20|10|38|35|33|45|30|25|20|28|22");
    const QString in = "In use", out = "Not in use";
    EXPECT_EQ(texts(widgets.w.Lab_PosizioneInfo3b), QStringList({in, out, out, out, in, out, in, out, out, out, out, out}).join('|'));
    EXPECT_EQ(widgets.w.Lab_PosizioneInfo[kSatellitesInView]->text(), "14") << "the whole sky";

    display.ShowSky({sky[0], sky[4]}, false);
    EXPECT_EQ(texts(widgets.w.Lab_PosizioneInfo3b), QString(11, QLatin1Char('|'))) << "no GSA yet: nothing said of use";
    EXPECT_EQ(bars(), "40|35|0|0|0|0|0|0|0|0|0|0");
}

TEST(FixDisplayPainting, ABatchPaintsEachChangedLabelOnceAndUnchangedOnesNever)
{
    Widgets widgets;
    FixDisplay display(widgets.w);
    QLabel* time = widgets.w.Lab_Posizione[kTime];
    QLabel* fix = widgets.w.Lab_PosizioneInfo[kFixStatus];
    display.gps_FixObtained();
    widgets.paints.clear();

    display.gps_TimeChanged("12:00:00"); // outside a batch a new text is painted at once
    display.gps_TimeChanged("12:00:00"); // and the same text again is left alone
    EXPECT_EQ(widgets.paints[time], 1);

    widgets.paints.clear(); // seven seconds of kept sentences handed on again: one paint
    display.BeginBatch();
    for (int second = 1; second <= 7; ++second) {
        display.gps_TimeChanged("12:00:0" + std::to_string(second));
        display.gps_FixObtained();
    }
    EXPECT_EQ(widgets.paints[time], 0) << "painted before the batch ended";
    display.EndBatch();
    EXPECT_EQ(time->text(), "12:00:07");
    EXPECT_EQ(widgets.paints[time], 1);
    EXPECT_EQ(widgets.paints[fix], 0) << "an unchanged label was painted";
}

// A GSA that blanks the columns of unused channels, and the GSV after it that fills them again
// with the satellites they showed, leave those columns as they were: unchanged and unpainted.
TEST(FixDisplayPainting, AColumnBlankedAndFilledAgainInOneBatchIsNeitherChangedNorPainted)
{
    Widgets widgets;
    FixDisplay display(widgets.w);
    display.gps_SatelliteReceived(9, 21, 120, 35, 41);
    display.gps_Ch09SatReceived(0);
    display.gps_SatelliteReceived(9, 21, 120, 35, 41);
    widgets.paints.clear();
    const std::size_t ninth = 8; // channel 9's column
    QLabel* number = widgets.w.Lab_Sat[ninth];
    QProgressBar* bar = widgets.w.PSat[ninth];
    QLabel* status = widgets.w.Lab_PosizioneInfo3b[ninth];

    display.BeginBatch();
    display.gps_Ch09SatReceived(0);
    EXPECT_EQ(number->text(), "21") << "changed before the batch ended";
    display.gps_SatelliteReceived(9, 21, 120, 35, 41);
    display.EndBatch();
    EXPECT_EQ(number->text(), "21");
    EXPECT_EQ(widgets.w.Lab_SatA[ninth]->text(), "120");
    EXPECT_EQ(bar->value(), 41);
    EXPECT_EQ(bar->toolTip(), "41");
    EXPECT_EQ(status->text(), "Not in use");
    EXPECT_EQ(widgets.paints[number], 0);
    EXPECT_EQ(widgets.paints[bar], 0);
    EXPECT_EQ(widgets.paints[status], 0);

    // A channel taken into use within the batch is painted with its new status once.
    display.BeginBatch();
    display.gps_Ch09SatReceived(21);
    display.gps_Ch09SatReceived(21);
    display.EndBatch();
    EXPECT_EQ(status->text(), "In use");
    EXPECT_EQ(widgets.paints[status], 1);
}

TEST(FixDisplayUnits, ImperialTextsCarryThePrecisionOfTheReceivedValue)
{
    struct Row {
        const char* legend;
        double altitude, kmh;
        const char* feet;
        const char* mph;
    };
    const Row rows[] = {
        {"two decimals sent, two shown", 0.25, 0.08, "0.82", "0.05"},
        {"a whole number still shows the display's one decimal", 7, 7, "23.0", "4.3"},
        {"never more than the pattern's three", 1.23456, 100.0001, "4.050", "62.137"},
        {"negative values keep their sign", -3.5, 0, "-11.5", "0.0"},
    };
    for (const Row& row : rows) {
        Widgets widgets;
        FixDisplay display(widgets.w);
        display.SetUnits(UnitSystem::Imperial);
        display.gps_AltitudeReceived(row.altitude);
        display.gps_SpeedReceivedKmh(row.kmh);
        EXPECT_EQ(widgets.w.Lab_Posizione[kAltitude]->text(), row.feet) << row.legend;
        EXPECT_EQ(widgets.w.Lab_Posizione[kSpeedKmh]->text(), row.mph) << row.legend;
    }
}

TEST(FixDisplayUnits, EachUnitSetConvertsWhatIsShownButNeverTheCurrentFixTexts)
{
    Widgets widgets;
    FixDisplay display(widgets.w);
    const DisplayWidgets& w = widgets.w;
    auto shown = [&] { // altitude, km/h, knots, geoid separation, then the four unit captions
        QStringList texts;
        for (const FixField i : {kAltitude, kSpeedKmh, kSpeedKnots, kGeoidSeparation})
            texts << w.Lab_Posizione[i]->text();
        for (QLabel* unit : w.Lab_PosizioneUM)
            texts << unit->text();
        return texts.join(QLatin1Char('|'));
    };
    auto recorded = [&] {
        QStringList texts;
        for (const FixField i : {kAltitude, kSpeedKmh, kSpeedKnots, kGeoidSeparation})
            texts << display.CurrentFixText(i);
        return texts.join(QLatin1Char('|'));
    };
    display.SetUnits(UnitSystem::Metric);
    const QString designUnits = "[m]|[Knots]|[Km/h]  /|[m]";
    EXPECT_EQ(shown(), "||||" + designUnits) << "before any sentence";
    display.SetUnits(UnitSystem::Imperial);
    EXPECT_EQ(shown(), "||||[ft]|[Knots]|[mph]  /|[ft]") << "metres assumed until a unit arrives";

    display.gps_AltitudeReceived(545.4);
    display.gps_AltitudeUnitsReceived("M");
    display.gps_SpeedReceivedKmh(41.5);
    display.gps_SpeedReceivedKnots(22.4);
    display.gps_GeoidSeparationReceived(-46.9);
    display.gps_GeoidSeparationUnitsReceived("M");
    EXPECT_EQ(shown(), "1789.4|25.8|22.4|-153.9|[ft]|[Knots]|[mph]  /|[ft]")
        << "converted with the one decimal each value was sent with";
    EXPECT_EQ(w.Lab_Posizione[kSpeedKmh]->toolTip(), "Current speed [mph]");
    EXPECT_EQ(recorded(), "545.4|41.5|22.4|-46.9");

    display.SetUnits(UnitSystem::Nautical);
    EXPECT_EQ(shown(), "545.4|22.4|41.5|-46.9|[m]|[Km/h]|[Knots]  /|[m]");
    EXPECT_EQ(w.Lab_Posizione[kSpeedKmh]->toolTip(), "Current speed [knots]");
    display.gps_SpeedReceivedKnots(10);
    EXPECT_EQ(w.Lab_Posizione[kSpeedKmh]->text(), "10.0") << "a new knots value is the first speed";

    display.SetUnits(UnitSystem::Imperial);
    display.gps_AltitudeUnitsReceived("F"); // a receiver that already sends feet is not converted
    EXPECT_EQ(w.Lab_Posizione[kAltitude]->text(), "545.4");
    EXPECT_EQ(w.Lab_PosizioneUM[kAltitudeUnit]->text(), "[f]");
    display.gps_AltitudeUnitsReceived("M");

    display.SetUnits(UnitSystem::Metric);
    EXPECT_EQ(shown(), "545.4|41.5|10.0|-46.9|" + designUnits) << "back to the specified texts";
    display.gps_SpeedReceivedKmh(0.08);
    EXPECT_EQ(w.Lab_Posizione[kSpeedKmh]->text(), "0.08") << "the metric text keeps its pattern";
    EXPECT_EQ(w.Lab_Posizione[kSpeedKmh]->toolTip(), "Current speed [km/h]");
    EXPECT_EQ(w.Lab_Posizione[kSpeedKnots]->toolTip(), "Current speed [knots]");

    display.SetUnits(UnitSystem::Imperial);
    display.ClearDisplay();
    EXPECT_EQ(shown(), "||||[ft]|[Knots]|[mph]  /|[ft]") << "a clearing keeps the units";
    EXPECT_EQ(recorded(), "|||");
}

TEST(NumberPatterns, DecimalsRoundHalvesAwayFromZeroInTheGivenSeparator)
{
    const auto three = [](double v) { return FormatUpToThreeDecimals(v, "."); };
    const auto one = [](double v) { return FormatOneDecimal(v, "."); };
    // clang-format off
    const std::pair<QString, QString> rows[] = {
        {three(545.4), "545.4"}, {three(12), "12.0"}, {three(0.25), "0.25"}, {three(9.9995), "10.0"},
        {three(2.0005), "2.001"},  {three(-2.0005), "-2.001"},  {three(-12.3456), "-12.346"},
        {three(123456.7), "123456.7"}, {one(0.25), "0.3"},      {one(99.99), "100.0"},   {one(-0.04), "0.0"},
        {one(1.85), "1.9"},        {one(12.34), "12.3"},        {FormatInteger(-32768), "-32768"},
        {FormatTwoDigits(1), "01"}, {FormatTwoDigits(12), "12"}, {FormatOneDecimal(0.9, ","), "0,9"},
        {FormatUpToThreeDecimals(545.4, ","), "545,4"},
    };
    // clang-format on
    for (const auto& [shown, expected] : rows)
        EXPECT_EQ(shown, expected);
}

TEST(DatePattern, WidensTwoDigitYearsByThePosixWindowAndLeavesUnreadableDates)
{
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {"05/12/26", "05/12/2026"}, {"31/12/99", "31/12/1999"}, {"01/01/68", "01/01/2068"},
        {"01/01/69", "01/01/1969"}, {"32/13/26", "32/13/26"},   {"30/02/26", "30/02/26"},
        {"//", "//"},               {"", ""},
    };
    // clang-format on
    for (auto [date, shown] : rows)
        EXPECT_EQ(FormatDate(date), shown) << date;
}

} // namespace
} // namespace fixwatch
