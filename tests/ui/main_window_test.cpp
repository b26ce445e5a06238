// The main window as a person first meets it, what the command line sets, and what a second
// of sentences puts where (the Position tab's values are checked with the View menu).
#include "sample_sentences.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

TEST(MainWindowLayout, OpensClearedWithItsOwnTextsAndOnlyPlainTextLabels)
{
    MainForm form;
    EXPECT_EQ(form.windowTitle(), "Fixwatch");
    EXPECT_EQ(form.SSTab->tabText(3), "Communication");
    EXPECT_EQ(form.Lab_PosizioneInfo[3]->toolTip(), "PDOP: Horizontal Dilution Of Precision");
    EXPECT_EQ(form.Lab_PosizioneInfo3[11]->text(), "Channel 12:");
    EXPECT_EQ(form.findChild<QLabel*>("Lab_Posizione(3)"), form.Lab_Posizione[3]);
    EXPECT_EQ(form.MenuSalvaDL->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_TRUE(form.Cmd_CalcolaCRC->isHidden());
    ASSERT_EQ(form.OptBaud.size(), 11u);
    EXPECT_EQ(form.OptBaud[9]->text(), "57600");
    EXPECT_EQ(form.Chk_GNSS->text(), "All GNSS");
    EXPECT_TRUE(form.Chk_GNSS->toolTip().contains("GN, GL, GA, GB, BD, GQ, QZ and GI"));
    EXPECT_FALSE(form.Chk_GNSS->isChecked());
    // The window opens cleared, not with its design texts.
    EXPECT_EQ(form.Lab_Posizione[0]->text(), "");
    EXPECT_EQ(form.Lab_SatCHN[0]->text(), "01");
    EXPECT_TRUE(form.MenuStart[0]->isEnabled());
    EXPECT_FALSE(form.MenuStart[1]->isEnabled());
    // Received text must never be read as markup.
    for (QLabel* label : form.findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    for (QLabel* label : form.Status->Lab_Status)
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
}

TEST(MainWindowLayout, CommandLineSetsTheControls)
{
    MainForm form("/c3 /s115200,e,7,2 /b+ /g+");
    EXPECT_FALSE(form.Cmd_CalcolaCRC->isHidden());
    EXPECT_EQ(form.Cmb_COM->currentText(), "3");
    EXPECT_TRUE(form.OptBaud[10]->isChecked());
    EXPECT_EQ(form.Settings().parityIndex, 1);
    EXPECT_TRUE(form.Chk_GNSS->isChecked());
}

TEST(FixDisplayOnTheWindow, ASecondOfSentencesFillsEveryTab)
{
    MainForm form;
    test::Feed(form, SampleSentences());
    EXPECT_EQ(form.Lab_Posizione[0]->text(), "12:35:19");
    EXPECT_EQ(form.Lab_Posizione[7]->text(), "05/12/2026");
    EXPECT_EQ(form.Lab_PosizioneInfo[0]->text(), "8");
    EXPECT_EQ(form.Lab_PosizioneInfo[2]->text(), "1.8");
    EXPECT_EQ(form.Lab_PosizioneInfo[5]->text(), "Fix Obtained");
    // GSA used channels 1 to 7; GSV then filled columns 1 to 8.
    EXPECT_EQ(form.Lab_PosizioneInfo3b[6]->text(), "In use");
    EXPECT_EQ(form.Lab_PosizioneInfo3b[7]->text(), "Not in use");
    EXPECT_EQ(form.Lab_Sat[4]->text(), "24");
    EXPECT_EQ(form.PSat[4]->toolTip(), "44");
    EXPECT_EQ(form.PSat[4]->value(), 44);
    EXPECT_EQ(form.Lab_Sat[8]->text(), "");
}

} // namespace
} // namespace fixwatch
