// What the status bar says about the source, the link and the data logger (whose texts on the
// logger's tick are checked with it in ui.Recording).
#include "capture_receiver.h"
#include "status_line.h"
#include "window_controls.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace fixwatch {
namespace {

using namespace test;

// Lab_Status(index): the source, the link's state, the logger.
StatusLabel* StatusText(const MainForm& form, std::size_t index)
{
    auto* label = dynamic_cast<StatusLabel*>(Control<QLabel>(form, "Lab_Status", index));
    if (label == nullptr)
        throw std::logic_error("the status bar's texts are not StatusLabels");
    return label;
}

TEST(StatusBar, SaysWhatTheLinkIsDoingCountsBadChecksumsPerConnectionAndHowToSeeOtherSystems)
{
    PtyWindow w;
    MainForm& form = w.form;
    qint64 now = 0;
    Control<StatusLine>(form, "StatusLine")->clock = [&now] { return now; };
    const QString device = QString::fromStdString(w.receiver.Device());
    QLabel* source = StatusText(form, 0);
    QLabel* state = StatusText(form, 1);
    QTimer* poll = Control<QTimer>(form, "Timer_Lett");
    EXPECT_EQ(source->text(), device + " \u00B7 4800 8N1");
    EXPECT_EQ(state->text(), "Stopped");
    Control<QRadioButton>(form, "OptBaud", 10)->click();
    Control<QRadioButton>(form, "OptParita", 1)->click();
    EXPECT_EQ(source->text(), device + " \u00B7 115200 8E1");

    // Three sentences and one line whose checksum is wrong arrive within one tick.
    const std::string gll = Line("$GPGLL,4916.45,N,12311.12,W,225444,A");
    std::string bad = gll;
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    for (int connection = 0; connection < 2; ++connection) {
        SCOPED_TRACE(connection);
        now = 0;
        w.Receive(gll + gll + gll + bad);
        EXPECT_EQ(state->text(), "Receiving \u00B7 4 sentences/s \u00B7 1 bad checksum");
        // The kept lines handed on again are not counted again.
        now += 1000;
        Tick(poll);
        EXPECT_EQ(state->text(), "Receiving \u00B7 0 sentences/s \u00B7 1 bad checksum");
        Control<QPushButton>(form, "Cmd_StartStop", 1)->click();
        EXPECT_EQ(state->text(), "Stopped");
    }

    // Sentences of other systems while All GNSS is clear: the state says how to see them.
    now = 0;
    w.Receive(Line("$GAGSV,1,1,01,02,00,179,20") + Line("$GNGLL,4916.45,N,12311.12,W,225444,A")
              + Line("$GLGSV,1,1,01,65,53,144,30"));
    const QString hint = "Receiving GN sentences that are not shown: check All GNSS on the Communication "
                         "tab, or start with /G+";
    EXPECT_EQ(state->text(), hint);
    // Once they stop coming, the hint goes; GPS sentences keep the link alive meanwhile.
    for (now = 2000; now <= StatusLine::kHintMs; now += 2000)
        w.Send(Line("$GPGLL,4916.45,N,12311.12,W,225445,A"));
    EXPECT_TRUE(state->text().startsWith("Receiving \u00B7")) << state->text().toStdString();

    // Ticking All GNSS while running changes nothing until the next Start, and the hint says
    // so; clearing it again brings back the first hint.
    w.Send(Line("$GNGLL,4916.45,N,12311.12,W,225446,A"));
    auto* allGnss = Control<QCheckBox>(form, "Chk_GNSS");
    allGnss->click();
    EXPECT_TRUE(allGnss->isChecked());
    EXPECT_EQ(state->text(), "Receiving GN sentences that are not shown: All GNSS takes effect at the next Start");
    allGnss->click();
    EXPECT_EQ(state->text(), hint);
}

// The source, the state and the logger each show as much as the window's one size holds,
// cut in the middle so that both the device and the reason stay readable, and whole as
// their tooltips.
TEST(StatusBar, LongTextsAreCutInTheMiddleAndWholeInTheirTooltips)
{
    const QString device = "/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_GNSS_receiver-if00";
    const QSize usual = [] { PortVariable shortPort(1, "/dev/ttyUSB0"); return MainForm().size(); }();
    PortVariable port(1, device.toStdString());
    MainForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.size(), usual) << "a long path does not widen the window";

    const BoxAnswerer answer;
    ASSERT_FALSE(Start(form));
    // "Save current position" into a folder that is not there says why in the logger's text.
    form.today = [] { return QDate(2026, 12, 7); };
    auto* saveCurrent = Control<QAction>(form, "MenuSalvaCP");
    {
        Variable missing("FIXWATCH_LOG_DIR", "/nonexistent/home/someone/.local/share/fixwatch");
        saveCurrent->trigger();
    }
    QCoreApplication::processEvents();

    QStatusBar* bar = form.statusBar();
    for (std::size_t i = 0; i < 3; ++i) {
        StatusLabel* label = StatusText(form, i);
        const QString whole = label->text(), shown = label->ShownText();
        SCOPED_TRACE(whole.toStdString() + " shown as " + shown.toStdString());
        ASSERT_TRUE(whole.contains(device) || whole.startsWith("Log not written"));
        EXPECT_NE(shown, whole);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width());
        EXPECT_LE(label->geometry().right(), bar->width());
        EXPECT_EQ(shown.left(4), whole.left(4));
        EXPECT_EQ(shown.right(4), whole.right(4));
        EXPECT_EQ(label->toolTip(), whole);
    }
    EXPECT_GE(StatusText(form, 1)->width(), bar->width() / 2 - 1) << "the state keeps half the bar";

    // A short text is whole and needs no tooltip: a receiver started and stopped, a position
    // saved where it can be written.
    PseudoTerminal receiver;
    PortVariable shortPort(1, receiver.Device());
    ASSERT_TRUE(Start(form));
    Control<QPushButton>(form, "Cmd_StartStop", 1)->click();
    LogFolder writable;
    saveCurrent->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(StatusText(form, 2)->text(), QStringLiteral("Position saved to \u2026/2026-12-07.log"));
    for (StatusLabel* label : {StatusText(form, 1), StatusText(form, 2)}) {
        EXPECT_EQ(label->ShownText(), label->text());
        EXPECT_TRUE(label->toolTip().isEmpty()) << label->toolTip().toStdString();
    }
}

} // namespace
} // namespace fixwatch
