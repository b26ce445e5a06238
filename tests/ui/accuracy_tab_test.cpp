// The Accuracy tab on the window, fed a real stationary capture through a pseudo-terminal,
// against what fixwatch-events --accuracy prints for the same file.
#include "accuracy_view.h"
#include "capture_receiver.h"

#include <QChart>
#include <QProcess>
#include <QScatterSeries>

#include <gtest/gtest.h>

#include <map>

namespace fixwatch {
namespace {

using namespace test;

// A receiver that stood still, with GST, of four systems.
constexpr const char* kCapture = "ublox-neo-m9n-nmea.nmea";

// What fixwatch-events prints for the capture, "key: value" a line.
std::map<QString, QString> ToolFigures(QStringList arguments)
{
    arguments << QStringLiteral("--accuracy") << QStringLiteral("--gnss")
              << QString::fromStdString(CapturePath(kCapture).string());
    QProcess tool;
    tool.start(QStringLiteral(FIXWATCH_EVENTS_TOOL), arguments);
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

TEST(AccuracyTab, ComesAfterHistoryAndShowsWhatTheToolPrintsForTheSameCapture)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    PtyWindow w("/G+");
    MainForm& form = w.form;
    form.show();
    ASSERT_EQ(form.SSTab->tabText(MainForm::kAccuracyTab), QStringLiteral("Accuracy"));
    ASSERT_EQ(form.SSTab->tabText(MainForm::kHistoryTab), QStringLiteral("History"));
    EXPECT_EQ(form.ConsoleTab(), form.SSTab->count() - 1) << "the Console stays last";
    // The next epoch's first sentence closes the capture's last one, as a live receiver's would.
    w.Receive(RealCapture(kCapture, 1000000) + Sealed("$GNRMC,223846.00,V,,,,,,,110720,,,N,V") + "\r\n");

    AccuracyView* view = form.Frm_Accuracy;
    EXPECT_EQ(FixPoints(view), 0) << "hidden, the chart was never filled";
    form.SSTab->setCurrentIndex(MainForm::kAccuracyTab);
    QApplication::processEvents();

    const auto tool = ToolFigures({});
    ASSERT_GT(tool.at(QStringLiteral("fixes")).toInt(), 50);
    EXPECT_EQ(FixPoints(view), tool.at(QStringLiteral("fixes")).toInt());
    const std::pair<QLabel*, const char*> shown[] = {
        {view->Lbl_AccuracyFixes, "fixes"},
        {view->Lbl_AccuracyMeanLatitude, "mean_latitude"},
        {view->Lbl_AccuracyMeanLongitude, "mean_longitude"},
        {view->Lbl_AccuracyMeanAltitude, "mean_altitude"},
        {view->Lbl_AccuracyCep50, "cep50"},
        {view->Lbl_AccuracyCep95, "cep95"},
        {view->Lbl_Accuracy2Drms, "2drms"},
        {view->Lbl_AccuracyR95Altitude, "r95_altitude"},
        {view->Lbl_AccuracySdEast, "sd_east"},
        {view->Lbl_AccuracySdNorth, "sd_north"},
        {view->Lbl_AccuracySdUp, "sd_up"},
        {view->Lbl_AccuracyGstLatitude, "gst_sigma_latitude"},
        {view->Lbl_AccuracyGstLongitude, "gst_sigma_longitude"},
        {view->Lbl_AccuracyGstAltitude, "gst_sigma_altitude"},
    };
    for (const auto& [label, key] : shown) {
        ASSERT_TRUE(tool.count(QString::fromLatin1(key))) << key;
        QString expected = tool.at(QString::fromLatin1(key));
        if (label != view->Lbl_AccuracyFixes && !QString::fromLatin1(key).startsWith(QStringLiteral("mean_l")))
            expected += QStringLiteral(" m");
        EXPECT_EQ(label->text(), expected) << key;
    }

    // A known point typed in: the tool's --reference gives the same figures.
    view->Txt_ReferenceLatitude->setText(QStringLiteral("38.11050000"));
    view->Txt_ReferenceLongitude->setText(QStringLiteral("-122.62690000"));
    const auto referenced = ToolFigures({QStringLiteral("--reference"), QStringLiteral("38.1105,-122.6269")});
    for (const auto& [label, key] : {std::pair{view->Lbl_AccuracyCep50, "cep50"}, std::pair{view->Lbl_AccuracyCep95, "cep95"},
                                     std::pair{view->Lbl_Accuracy2Drms, "2drms"}})
        EXPECT_EQ(label->text(), referenced.at(QString::fromLatin1(key)) + QStringLiteral(" m")) << key;

    // Clear forgets the fixes.
    form.MenuVuotaCampi_Click();
    EXPECT_EQ(form.AccuracyFixes().Fixes(), 0u);
    view->Redraw();
    EXPECT_EQ(view->Lbl_AccuracyFixes->text(), QStringLiteral("0"));
    EXPECT_EQ(FixPoints(view), 0);
}

} // namespace
} // namespace fixwatch
