// The Accuracy tab on the window, fed a real stationary capture through a pseudo-terminal,
// against what fixwatch-events --accuracy prints for the same file. A point typed as the
// reference is pinned by display.AccuracyViewTest, the tool's --reference by tools.OfflineTool,
// the tab's place by the list of --tab's names in ui.ViewOptions.
#include "accuracy_view.h"
#include "capture_receiver.h"

#include <QChart>
#include <QProcess>
#include <QScatterSeries>

#include <gtest/gtest.h>

#include <map>
#include <string_view>

namespace fixwatch {
namespace {

using namespace test;

// A receiver that stood still, with GST, of four systems.
constexpr const char* kCapture = "ublox-neo-m9n-nmea.nmea";

// What fixwatch-events prints for the capture, "key: value" a line.
std::map<QString, QString> ToolFigures()
{
    QProcess tool;
    tool.start(QStringLiteral(FIXWATCH_EVENTS_TOOL), {QStringLiteral("--accuracy"), QStringLiteral("--gnss"),
                                                      QString::fromStdString(CapturePath(kCapture).string())});
    EXPECT_TRUE(tool.waitForFinished(30000));
    std::map<QString, QString> figures;
    for (const QString& line : QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const qsizetype colon = line.indexOf(QStringLiteral(": "));
        if (colon > 0)
            figures[line.left(colon)] = line.mid(colon + 2);
    }
    return figures;
}

int FixPoints(AccuracyView* view)
{
    for (QAbstractSeries* s : view->Chart()->series())
        if (s->name() == QStringLiteral("Fixes"))
            return static_cast<int>(static_cast<QScatterSeries*>(s)->count());
    return -1;
}

TEST(AccuracyTab, ShowsWhatTheToolPrintsForTheSameCapture)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    PtyWindow w("/G+");
    MainForm& form = w.form;
    form.show();
    // The whole capture and nothing after it: its last epoch, still open, counts as well.
    w.Receive(RealCapture(kCapture, 1000000));

    AccuracyView* view = Control<AccuracyView>(form, "Frm_Accuracy");
    EXPECT_EQ(FixPoints(view), 0) << "hidden, the chart was never filled";
    ShowTab(form, MainForm::kAccuracyTab);

    const auto tool = ToolFigures();
    ASSERT_GT(tool.at("fixes").toInt(), 50);
    EXPECT_EQ(FixPoints(view), tool.at("fixes").toInt());
    // Every figure as the tool prints it, in metres but for the count and the mean position.
    QStringList figures;
    for (const char* key : {"fixes", "mean_latitude", "mean_longitude", "mean_altitude", "cep50", "cep95", "2drms",
                            "r95_altitude", "sd_east", "sd_north", "sd_up", "gst_sigma_latitude", "gst_sigma_longitude",
                            "gst_sigma_altitude"})
        figures << (tool.count(key) ? tool.at(key) : "no " + QString(key))
                       + (key == std::string_view("fixes") || std::string_view(key).starts_with("mean_l") ? "" : " m");
    EXPECT_EQ(Texts({view->Lbl_AccuracyFixes, view->Lbl_AccuracyMeanLatitude, view->Lbl_AccuracyMeanLongitude,
                     view->Lbl_AccuracyMeanAltitude, view->Lbl_AccuracyCep50, view->Lbl_AccuracyCep95,
                     view->Lbl_Accuracy2Drms, view->Lbl_AccuracyR95Altitude, view->Lbl_AccuracySdEast,
                     view->Lbl_AccuracySdNorth, view->Lbl_AccuracySdUp, view->Lbl_AccuracyGstLatitude,
                     view->Lbl_AccuracyGstLongitude, view->Lbl_AccuracyGstAltitude}),
              figures.join(QLatin1Char('|')));

    // Clear forgets the fixes.
    Trigger(form, "MenuVuotaCampi");
    view->Redraw();
    EXPECT_EQ(view->Lbl_AccuracyFixes->text(), QStringLiteral("0"));
    EXPECT_EQ(FixPoints(view), 0);
}

} // namespace
} // namespace fixwatch
