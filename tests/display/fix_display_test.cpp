// The display handlers on a set of labels and bars of their own, as the window makes them.
#include "fix_display.h"
#include "../qt_print.h"
#include "plain_text.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTextDocument>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <map>

namespace fixwatch {
namespace {

// Counts the paints each widget gets.
struct PaintCounter : QObject {
    std::map<QObject*, int> paints;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
};

// Every control the display writes, plain-text labels and 0..90 bars, shown so that they
// really paint.
struct Widgets {
    // Side by side, so that painting one never paints another.
    QWidget window;
    QGridLayout* layout = new QGridLayout(&window);
    std::size_t count = 0;
    DisplayWidgets w;
    PaintCounter counter;

    template <std::size_t N>
    void Make(std::array<QLabel*, N>& labels)
    {
        for (auto& label : labels) {
            auto* made = new QLabel(&window);
            made->setTextFormat(Qt::PlainText);
            layout->addWidget(made, static_cast<int>(count % 20), static_cast<int>(count / 20));
            ++count;
            made->installEventFilter(&counter);
            label = made;
        }
    }

    Widgets()
    {
        Make(w.Lab_Posizione);
        Make(w.Lab_PosizioneUM);
        Make(w.Lab_PosizioneInfo);
        Make(w.Lab_PosizioneInfo3b);
        Make(w.Lab_SatCHN);
        Make(w.Lab_Sat);
        Make(w.Lab_SatA);
        Make(w.Lab_SatE);
        for (auto& bar : w.PSat) {
            bar = new QProgressBar(&window);
            bar->setRange(0, 90);
            layout->addWidget(bar, static_cast<int>(count % 20), static_cast<int>(count / 20));
            ++count;
            bar->installEventFilter(&counter);
        }
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

TEST(FixDisplayHandlers, BarClampsToItsRangeButTooltipKeepsTheRatio)
{
    Widgets widgets;
    FixDisplay display(widgets.w);
    display.gps_SatelliteReceived(1, 7, 100, 45, 99);
    EXPECT_EQ(widgets.w.PSat[0]->value(), 90);
    EXPECT_EQ(widgets.w.PSat[0]->toolTip(), "99");
    display.gps_SatelliteReceived(2, 7, 100, 45, -5);
    EXPECT_EQ(widgets.w.PSat[1]->value(), 0);
    EXPECT_EQ(widgets.w.PSat[1]->toolTip(), "-5");
    display.gps_SatelliteReceived(13, 7, 100, 45, 30); // a fourth GSV message
    display.gps_SatelliteReceived(0, 7, 100, 45, 30);
    EXPECT_EQ(widgets.w.Lab_Sat[2]->text(), "");
}

TEST(FixDisplayHandlers, ClearEmptiesValuesButKeepsUnits)
{
    Widgets widgets;
    FixDisplay display(widgets.w);
    display.gps_TimeChanged("12:35:19");
    display.gps_AltitudeUnitsReceived("M");
    display.gps_Ch03SatReceived(5);
    display.gps_SatelliteReceived(1, 7, 100, 45, 40);
    display.ClearDisplay();
    display.ClearDisplay();
    for (QLabel* label : widgets.w.Lab_Posizione)
        EXPECT_EQ(label->text(), "");
    for (QLabel* label : widgets.w.Lab_PosizioneInfo3b)
        EXPECT_EQ(label->text(), "");
    EXPECT_EQ(widgets.w.Lab_SatCHN[11]->text(), "12");
    EXPECT_EQ(widgets.w.PSat[0]->value(), 0);
    EXPECT_EQ(widgets.w.PSat[0]->toolTip(), "0");
    EXPECT_EQ(widgets.w.Lab_PosizioneUM[0]->text(), "[m]");
}

TEST(FixDisplayHandlers, NumbersFollowTheRegionalDecimalSeparator)
{
    Widgets widgets;
    FixDisplay display(widgets.w, QLocale(QLocale::German));
    display.gps_AltitudeReceived(545.4);
    EXPECT_EQ(widgets.w.Lab_Posizione[3]->text(), "545,4");
}

TEST(FixDisplayHandlers, ReceivedTextIsShownExactlyAsReceived)
{
    Widgets widgets;
    FixDisplay display(widgets.w);
    for (const std::string text : {"<img src=/dev/zero>", "<b>054.7</b> T", "&lt;",
                                   "<font color=red>054.7</font> T", "\xB0 \xE9"}) {
        const QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        display.gps_DGPSstationIDReceived(text);
        EXPECT_EQ(widgets.w.Lab_PosizioneInfo[10]->text(), shown);
        display.gps_TrueTrack(text);
        EXPECT_EQ(widgets.w.Lab_PosizioneInfo[11]->text(), shown);
        display.gps_TimeChanged(text);
        EXPECT_EQ(widgets.w.Lab_Posizione[0]->text(), shown);
        display.gps_AltitudeUnitsReceived(text);
        EXPECT_EQ(widgets.w.Lab_PosizioneUM[0]->text(), "[" + shown.toLower() + "]");
    }
}

TEST(FixDisplayPainting, ABatchPaintsEachChangedLabelOnceAndUnchangedOnesNever)
{
    Widgets widgets;
    FixDisplay display(widgets.w);
    QLabel* time = widgets.w.Lab_Posizione[0];
    QLabel* fix = widgets.w.Lab_PosizioneInfo[5];
    display.gps_FixObtained();
    widgets.counter.paints.clear();

    // Outside a batch a new text is painted at once; the same text again is left alone.
    display.gps_TimeChanged("12:00:00");
    EXPECT_EQ(widgets.counter.paints[time], 1);
    display.gps_TimeChanged("12:00:00");
    EXPECT_EQ(widgets.counter.paints[time], 1);

    // In a batch, seven seconds of kept sentences handed on again end in one paint.
    widgets.counter.paints.clear();
    display.BeginBatch();
    for (int second = 1; second <= 7; ++second) {
        display.gps_TimeChanged("12:00:0" + std::to_string(second));
        display.gps_FixObtained();
    }
    EXPECT_EQ(widgets.counter.paints[time], 0) << "painted before the batch ended";
    display.EndBatch();
    EXPECT_EQ(time->text(), "12:00:07");
    EXPECT_EQ(widgets.counter.paints[time], 1);
    EXPECT_EQ(widgets.counter.paints[fix], 0) << "an unchanged label was painted";
}

TEST(PlainToolTips, ShowMarkupLiterallyAndLeaveOtherTextAlone)
{
    EXPECT_EQ(PlainToolTip("44"), "44");
    EXPECT_EQ(PlainToolTip("/dev/ttyACM0 \u2014 u-blox GNSS receiver"),
              "/dev/ttyACM0 \u2014 u-blox GNSS receiver");
    for (const QString text : {"<img src=/dev/zero>", "<b>bold</b>", "&lt;", "a < b"}) {
        const QString tip = PlainToolTip(text);
        EXPECT_TRUE(Qt::mightBeRichText(tip)) << text.toStdString();
        // Rendered as rich text, the tooltip's visible text is the original text.
        QTextDocument document;
        document.setHtml(tip);
        EXPECT_EQ(document.toPlainText(), text) << text.toStdString();
    }
}

} // namespace
} // namespace fixwatch
