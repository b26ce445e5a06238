// The main window as a person meets it: its texts, what sentences put where, clearing,
// a Start that cannot open the port, the log record and the checksum dialog.
#include "frm_about.h"
#include "main_form.h"
#include "product_info.h"
#include "sample_sentences.h"
#include "../acquisition/pseudo_terminal.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

// Answers the next modal dialog from inside its event loop, so no test can hang on it.
QString AnswerNextDialog(const QString& typed = QString())
{
    static QString shown; // last message text
    shown.clear();
    QTimer::singleShot(0, [typed] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            input->setTextValue(typed);
            input->accept();
            QTimer::singleShot(0, [] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    shown = box->text();
                    box->accept();
                }
            });
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown = box->text();
            box->accept();
        }
    });
    return {};
}

void Feed(MainForm& form, const std::vector<std::string>& sentences)
{
    for (const auto& sentence : sentences)
        form.GPS->Parse(sentence);
}

TEST(MainWindowLayout, KeepsTheWindowsOwnTexts)
{
    MainForm form;
    EXPECT_EQ(form.windowTitle(), "Fixwatch");
    EXPECT_EQ(form.SSTab->count(), 4);
    EXPECT_EQ(form.SSTab->tabText(3), "Communication");
    EXPECT_EQ(form.Lab_PosizioneInfo[3]->toolTip(), "PDOP: Horizontal Dilution Of Precision");
    EXPECT_EQ(form.Lab_PosizioneUM[2]->text(), "[Km/h]  /");
    EXPECT_EQ(form.Cmd_CalcolaCRC->text(), "CRC Calculus ");
    EXPECT_TRUE(form.Cmd_CalcolaCRC->isHidden());
    EXPECT_EQ(form.findChild<QLabel*>("Lab_Posizione(3)"), form.Lab_Posizione[3]);
    EXPECT_EQ(form.MenuSalvaDL->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(form.Lab_PosizioneInfo3[11]->text(), "Channel 12:");
    // The window opens cleared, not with its design texts.
    EXPECT_EQ(form.Lab_Posizione[0]->text(), "");
    EXPECT_EQ(form.Lab_SatCHN[0]->text(), "01");
    EXPECT_TRUE(form.MenuStart[0]->isEnabled());
    EXPECT_FALSE(form.MenuStart[1]->isEnabled());
}

TEST(MainWindowLayout, CommandLineShowsTheChecksumButton)
{
    MainForm form("/c3 /s9600,e,7,2 /b+");
    EXPECT_FALSE(form.Cmd_CalcolaCRC->isHidden());
    EXPECT_EQ(form.Cmb_COM->currentText(), "3");
    EXPECT_TRUE(form.OptBaud[6]->isChecked());
    EXPECT_EQ(form.settings.parityIndex, 1);
}

TEST(FixDisplayHandlers, ASecondOfSentencesFillsEveryTab)
{
    MainForm form;
    Feed(form, SampleSentences());
    EXPECT_EQ(form.Lab_Posizione[0]->text(), "12:35:19");
    EXPECT_EQ(form.Lab_Posizione[7]->text(), "05/12/2026");
    EXPECT_EQ(form.Lab_Posizione[1]->text(), QString::fromUtf8("048° 07.038' N"));
    EXPECT_EQ(form.Lab_Posizione[3]->text(), "545.4");
    EXPECT_EQ(form.Lab_PosizioneUM[0]->text(), "[m]");
    EXPECT_EQ(form.Lab_Posizione[4]->text(), "41.5");
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

TEST(FixDisplayHandlers, BarClampsToItsRangeButTooltipKeepsTheRatio)
{
    MainForm form;
    form.display->gps_SatelliteReceived(1, 7, 100, 45, 99);
    EXPECT_EQ(form.PSat[0]->value(), 90);
    EXPECT_EQ(form.PSat[0]->toolTip(), "99");
    form.display->gps_SatelliteReceived(2, 7, 100, 45, -5);
    EXPECT_EQ(form.PSat[1]->value(), 0);
    EXPECT_EQ(form.PSat[1]->toolTip(), "-5");
    form.display->gps_SatelliteReceived(13, 7, 100, 45, 30); // a fourth GSV message
    form.display->gps_SatelliteReceived(0, 7, 100, 45, 30);
    EXPECT_EQ(form.Lab_Sat[2]->text(), "");
}

TEST(FixDisplayHandlers, ClearEmptiesValuesButKeepsUnits)
{
    MainForm form;
    Feed(form, SampleSentences());
    form.MenuVuotaCampi_Click();
    form.MenuVuotaCampi_Click();
    for (QLabel* label : form.Lab_Posizione)
        EXPECT_EQ(label->text(), "");
    for (QLabel* label : form.Lab_PosizioneInfo3b)
        EXPECT_EQ(label->text(), "");
    EXPECT_EQ(form.Lab_SatCHN[11]->text(), "12");
    EXPECT_EQ(form.PSat[0]->value(), 0);
    EXPECT_EQ(form.PSat[0]->toolTip(), "0");
    EXPECT_EQ(form.Lab_PosizioneUM[0]->text(), "[m]");
}

TEST(FixDisplayHandlers, NumbersFollowTheRegionalDecimalSeparator)
{
    DisplayWidgets widgets;
    QLabel altitude;
    widgets.Lab_Posizione[3] = &altitude;
    FixDisplay display(widgets, QLocale(QLocale::German));
    display.gps_AltitudeReceived(545.4);
    EXPECT_EQ(altitude.text(), "545,4");
}

TEST(StartAndStop, AStartThatCannotOpenThePortWarnsAndShowsTheSettings)
{
    qputenv("FIXWATCH_COM1", "/nonexistent/tty");
    MainForm form;
    Feed(form, SampleSentences());
    AnswerNextDialog();
    form.Cmd_StartStop_Click(0);
    EXPECT_EQ(form.Lab_Posizione[0]->text(), ""); // cleared before the open
    EXPECT_EQ(form.SSTab->currentIndex(), 3);
    EXPECT_FALSE(form.acquisitionRunning);
    EXPECT_FALSE(form.Timer_Lett->isActive());
    EXPECT_TRUE(form.Cmd_StartStop[0]->isEnabled());
    form.Cmd_StartStop_Click(1); // Stop on a closed port: no message
    EXPECT_TRUE(form.MenuStart[0]->isEnabled());
    qunsetenv("FIXWATCH_COM1");
}

TEST(Recording, RecordsTheSixFixTextsToTheDaysFile)
{
    QTemporaryDir folder;
    qputenv("FIXWATCH_LOG_DIR", folder.path().toLocal8Bit());
    MainForm form;
    form.today = [] { return QDate(2026, 12, 5); };
    form.MenuSalvaCP_Click();
    Feed(form, SampleSentences());
    form.MenuSalvaCP_Click();
    form.today = [] { return QDate(2026, 12, 6); };
    form.Timer_DL_Timer();
    qunsetenv("FIXWATCH_LOG_DIR");

    QFile first(folder.path() + "/2026-12-05.log");
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(),
              QByteArray(";;;;;\r\n05/12/2026;12:35:19;048\xB0 07.038' N;011\xB0 31.000' E;545.4;41.5\r\n"));
    EXPECT_TRUE(QFile::exists(folder.path() + "/2026-12-06.log"));
}

TEST(Recording, DataLoggerChoiceDisablesSaveCurrentPosition)
{
    MainForm form;
    form.MenuSalvaDL_Click();
    EXPECT_TRUE(form.MenuSalvaDL->isChecked());
    EXPECT_FALSE(form.MenuSalvaCP->isEnabled());
    form.Cmb_Interval->setCurrentIndex(11);
    EXPECT_EQ(form.Timer_DL->interval(), 60000);
}

TEST(Recording, AnUnwritableFolderGivesFalse)
{
    qputenv("FIXWATCH_LOG_DIR", "/nonexistent/folder");
    MainForm form;
    EXPECT_FALSE(form.WriteLogRecord());
    qunsetenv("FIXWATCH_LOG_DIR");
}

TEST(ChecksumCalculator, ShowsTheChecksumOfTheTypedSentence)
{
    MainForm form("/b+");
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->windowTitle(), "NMEA-0183 CRC Calculus");
        input->setTextValue("$GPGLL,4916.45,N,12311.12,W,225444,A");
        input->accept();
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
    });
    form.Cmd_CalcolaCRC_Click();
    EXPECT_EQ(shown, "The checksum for the sentence $GPGLL,4916.45,N,12311.12,W,225444,A is: 31");
}

TEST(AboutWindow, ShowsVersionTextsAndGivesTheMainWindowBack)
{
    EXPECT_EQ(VersionText(1, 0, 0), "Version 1.00");
    EXPECT_EQ(VersionText(2, 1, 5), "Version 2.15");
    MainForm form;
    frmAbout about(&form);
    form.SetAboutWindow(&about);
    EXPECT_EQ(about.windowTitle(), "About program");
    EXPECT_TRUE(about.lblDisclaimer->text().contains("the this \n"));
    QUrl opened;
    about.openUrl = [&opened](const QUrl& url) { opened = url; };
    form.MenuAbout_Click();
    EXPECT_FALSE(form.isEnabled());
    about.Lab_EMail_Click();
    EXPECT_EQ(opened.toString(), "mailto:" + ProductInfo::ContactAddress());
    about.close();
    EXPECT_TRUE(form.isEnabled());
    EXPECT_TRUE(about.isHidden());
}

} // namespace
} // namespace fixwatch

namespace fixwatch {
namespace {

// Start, ticks, Stop and Start again on a real pseudo-terminal standing in for the receiver.
TEST(AcquisitionThroughAPseudoTerminal, TicksFillTheDisplayAndStopKeepsIt)
{
    test::PseudoTerminal receiver;
    qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiver.Device()));
    MainForm form;
    form.Cmd_StartStop_Click(0);
    ASSERT_TRUE(form.acquisitionRunning);
    EXPECT_TRUE(form.Timer_Lett->isActive());
    EXPECT_FALSE(form.Cmd_StartStop[0]->isEnabled());
    EXPECT_TRUE(form.MenuStart[1]->isEnabled());

    // A sentence split across two reads is joined before it is parsed.
    const auto sentences = SampleSentences();
    const std::string gga = sentences[0] + "\r\n";
    receiver.Write(gga.substr(0, 20));
    ASSERT_TRUE(receiver.WaitUntilQueued(20));
    form.Timer_Lett_Timer();
    EXPECT_EQ(form.Lab_Posizione[0]->text(), "");
    receiver.Write(gga.substr(20));
    for (int tick = 0; tick < 200 && form.Lab_Posizione[0]->text().isEmpty(); ++tick) {
        receiver.WaitUntilQueued(1);
        form.Timer_Lett_Timer();
    }
    EXPECT_EQ(form.Lab_Posizione[0]->text(), "12:35:19");
    EXPECT_TRUE(form.Timer_Lett->isActive()); // re-armed while running

    form.Cmd_StartStop_Click(1);
    EXPECT_FALSE(form.Timer_Lett->isActive());
    EXPECT_EQ(form.Lab_Posizione[3]->text(), "545.4"); // Stop keeps the values
    EXPECT_TRUE(form.Cmd_StartStop[0]->isEnabled());

    // The receiver goes away while acquiring: no crash, the ticks go on, Stop works.
    form.Cmd_StartStop_Click(0);
    ASSERT_TRUE(form.acquisitionRunning);
    receiver.CloseMaster();
    for (int tick = 0; tick < 5; ++tick)
        form.Timer_Lett_Timer();
    EXPECT_TRUE(form.Timer_Lett->isActive());
    form.Cmd_StartStop_Click(1);
    EXPECT_TRUE(form.MenuStart[0]->isEnabled());
    qunsetenv("FIXWATCH_COM1");
}

} // namespace
} // namespace fixwatch
