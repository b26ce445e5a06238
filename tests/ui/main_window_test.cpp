// The main window as a person first meets it, what the command line sets, and what a second
// of sentences puts where (the Position tab's values are checked with the View menu).
#include "capture_receiver.h"
#include "sky_view.h"

#include <QAbstractItemModel>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

TEST(MainWindowLayout, OpensClearedWithItsOwnTextsAndOnlyPlainTextLabels)
{
    MainForm form;
    EXPECT_EQ(QStringList({form.windowTitle(), form.SSTab->tabText(3), form.Lab_PosizioneInfo[3]->toolTip(),
                           form.Lab_PosizioneInfo3[11]->text(), form.OptBaud[9]->text(), form.Chk_GNSS->text()})
                  .join(QLatin1Char('|')),
              "Fixwatch|Communication|PDOP: Horizontal Dilution Of Precision|Channel 12:|57600|All GNSS");
    EXPECT_EQ(form.findChild<QLabel*>("Lab_Posizione(3)"), form.Lab_Posizione[3]);
    EXPECT_EQ(form.MenuSalvaDL->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_TRUE(form.Cmd_CalcolaCRC->isHidden());
    EXPECT_TRUE(form.Chk_GNSS->toolTip().contains("GN, GL, GA, GB, BD, GQ, QZ and GI"));
    EXPECT_FALSE(form.Chk_GNSS->isChecked());
    // The window opens cleared, not with its design texts.
    EXPECT_EQ(test::Texts({form.Lab_Posizione[0], form.Lab_SatCHN[0]}), "|01");
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
    test::PtyWindow w;
    const MainForm& form = w.form;
    w.Receive(SampleSecondText());
    EXPECT_EQ(test::Texts({form.Lab_Posizione[0], form.Lab_Posizione[7], form.Lab_PosizioneInfo[0],
                           form.Lab_PosizioneInfo[2], form.Lab_PosizioneInfo[5]}),
              "12:35:19|05/12/2026|8|1.8|Fix Obtained");
    // GSA used channels 1 to 7; GSV then filled columns 1 to 8, as the events draw them.
    EXPECT_EQ(test::Texts({form.Lab_PosizioneInfo3b[6], form.Lab_PosizioneInfo3b[7], form.Lab_Sat[4], form.Lab_Sat[8]}),
              "In use|Not in use|24|");
    EXPECT_EQ(form.PSat[4]->toolTip(), "44");
    EXPECT_EQ(form.PSat[4]->value(), 44);
    // Without All GNSS, the Sky tab lists the GPS satellites of GP sentences.
    EXPECT_EQ(form.Frm_Sky->Grd_Sky->model()->rowCount(), 8);
}

} // namespace
} // namespace fixwatch
