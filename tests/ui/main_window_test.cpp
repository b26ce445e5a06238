// The main window as a person first meets it, what the command line sets, and what a second
// of sentences puts on the satellite columns and the Sky tab.
#include "capture_receiver.h"
#include "fix_fields.h"
#include "window_controls.h"

#include <QAbstractItemModel>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

TEST(MainWindowLayout, OpensClearedWithItsOwnTextsAndOnlyPlainTextLabels)
{
    MainForm form;
    EXPECT_EQ(QStringList({form.windowTitle(), Control<QTabWidget>(form, "SSTab")->tabText(3),
                           Control<QLabel>(form, "Lab_PosizioneInfo", kHdop)->toolTip(),
                           Control<QLabel>(form, "Lab_PosizioneInfo3", 11)->text(),
                           Control<QRadioButton>(form, "OptBaud", 9)->text(), Control<QCheckBox>(form, "Chk_GNSS")->text()})
                  .join(QLatin1Char('|')),
              "Fixwatch|Communication|PDOP: Horizontal Dilution Of Precision|Channel 12:|57600|All GNSS");
    EXPECT_EQ(Control<QAction>(form, "MenuSalvaDL")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(Control<QAction>(form, "MenuSalvaCP")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_TRUE(Control<QPushButton>(form, "Cmd_CalcolaCRC")->isHidden());
    auto* allGnss = Control<QCheckBox>(form, "Chk_GNSS");
    EXPECT_TRUE(allGnss->toolTip().contains("GN, GL, GA, GB, BD, GQ, QZ and GI"));
    EXPECT_FALSE(allGnss->isChecked());
    // The window opens cleared, not with its design texts.
    EXPECT_EQ(Texts({Control<QLabel>(form, "Lab_Posizione", kTime), Control<QLabel>(form, "Lab_SatCHN", 0)}), "|01");
    EXPECT_TRUE(Control<QAction>(form, "MenuStart", 0)->isEnabled());
    EXPECT_FALSE(Control<QAction>(form, "MenuStart", 1)->isEnabled());
    // Received text must never be read as markup.
    for (QLabel* label : form.findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Control<QLabel>(form, "Lab_Status", i)->focusPolicy(), Qt::NoFocus);
}

TEST(MainWindowLayout, CommandLineSetsTheControls)
{
    MainForm form("/c3 /s115200,e,7,2 /b+ /g+");
    EXPECT_FALSE(Control<QPushButton>(form, "Cmd_CalcolaCRC")->isHidden());
    EXPECT_EQ(Control<QComboBox>(form, "Cmb_COM")->currentText(), "3");
    EXPECT_TRUE(Control<QRadioButton>(form, "OptBaud", 10)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(form, "OptParita", 1)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(form, "Chk_GNSS")->isChecked());
}

TEST(FixDisplayOnTheWindow, ASecondOfSentencesFillsTheSatelliteColumnsAndTheSkyTab)
{
    PtyWindow w;
    const MainForm& form = w.form;
    w.Receive(SampleSecondText());
    // GSA used channels 1 to 7; GSV then filled columns 1 to 8, as the events draw them.
    EXPECT_EQ(Texts({Control<QLabel>(form, "Lab_PosizioneInfo3b", 6), Control<QLabel>(form, "Lab_PosizioneInfo3b", 7),
                     Control<QLabel>(form, "Lab_Sat", 4), Control<QLabel>(form, "Lab_Sat", 8)}),
              "In use|Not in use|24|");
    EXPECT_EQ(Control<QProgressBar>(form, "PSat", 4)->value(), 44);
    // Without All GNSS, the Sky tab lists the GPS satellites of GP sentences.
    EXPECT_EQ(Control<QTableView>(form, "Grd_Sky")->model()->rowCount(), 8);
}

} // namespace
} // namespace fixwatch
