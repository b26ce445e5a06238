// The Accuracy tab on the window, fed a real stationary capture through a pseudo-terminal:
// after History and before the Console, nothing drawn while hidden, the figures those that
// fixwatch-events --accuracy prints for the same file, and Clear forgetting the fixes.
#include "accuracy_view.h"
#include "captures.h"
#include "capture_receiver.h"
#include "sealed.h"
#include "window_test_support.h"

#include <QChart>
#include <QLabel>
#include <QProcess>
#include <QScatterSeries>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <map>

namespace fixwatch {
namespace {

using test::CapturePath;
using test::PortVariable;
using test::RealCapture;
using test::Receive;
using test::Sealed;

// A receiver that stood still, with GST, of four systems.
constexpr const char* kCapture = "ublox-neo-m9n-nmea.nmea";

std::map<QString, QString> ToolFigures(const QStringList& arguments)
{
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
    // The next epoch's first sentence closes the capture's last one, as a live receiver's would.
    const std::string text = RealCapture(kCapture, 1000000) + Sealed("$GNRMC,223846.00,V,,,,,,,110720,,,N,V") + "\r\n";
    PseudoTerminal receiver;
    PortVariable port(1, receiver.Device());
    MainForm form("/G+");
    form.show();
    ASSERT_EQ(form.SSTab->tabText(MainForm::kAccuracyTab), QStringLiteral("Accuracy"));
    ASSERT_EQ(form.SSTab->tabText(MainForm::kHistoryTab), QStringLiteral("History"));
    EXPECT_EQ(form.ConsoleTab(), form.SSTab->count() - 1) << "the Console stays last";
    Receive(form, receiver, text);

    AccuracyView* view = form.Frm_Accuracy;
    EXPECT_EQ(FixPoints(view), 0) << "hidden, the chart was never filled";
    form.SSTab->setCurrentIndex(MainForm::kAccuracyTab);
    QApplication::processEvents();

    const auto tool = ToolFigures({QStringLiteral("--accuracy"), QStringLiteral("--gnss"),
                                   QString::fromStdString(CapturePath(kCapture).string())});
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
    const auto referenced = ToolFigures({QStringLiteral("--accuracy"), QStringLiteral("--gnss"),
                                         QStringLiteral("--reference"), QStringLiteral("38.1105,-122.6269"),
                                         QString::fromStdString(CapturePath(kCapture).string())});
    EXPECT_EQ(view->Lbl_AccuracyCep50->text(), referenced.at(QStringLiteral("cep50")) + QStringLiteral(" m"));
    EXPECT_EQ(view->Lbl_AccuracyCep95->text(), referenced.at(QStringLiteral("cep95")) + QStringLiteral(" m"));
    EXPECT_EQ(view->Lbl_Accuracy2Drms->text(), referenced.at(QStringLiteral("2drms")) + QStringLiteral(" m"));

    // Clear forgets the fixes.
    form.MenuVuotaCampi_Click();
    EXPECT_EQ(form.AccuracyFixes().Fixes(), 0u);
    view->Redraw();
    EXPECT_EQ(view->Lbl_AccuracyFixes->text(), QStringLiteral("0"));
    EXPECT_EQ(FixPoints(view), 0);
    form.Cmd_StartStop_Click(1);
}

} // namespace
} // namespace fixwatch
