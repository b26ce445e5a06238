// The data logger and "Save current position" on the window: what goes into the day's file,
// and what a hostile receiver or a hostile file system cannot do to it.
#include "pseudo_terminal.h"
#include "sample_sentences.h"
#include "window_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fixwatch {
namespace {

using test::Feed;
using test::PortVariable;
using test::Sealed;
using test::Variable;

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Recording, RecordsTheSixFixTextsToTheDaysFile)
{
    QTemporaryDir folder;
    Variable log("FIXWATCH_LOG_DIR", folder.path().toLocal8Bit());
    MainForm form;
    form.today = [] { return QDate(2026, 12, 5); };
    form.MenuSalvaCP_Click();
    Feed(form, SampleSentences());
    form.MenuSalvaCP_Click();
    form.today = [] { return QDate(2026, 12, 6); };
    form.Timer_DL_Timer();

    EXPECT_EQ(Contents(folder.path() + "/2026-12-05.log"),
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

TEST(Recording, ALineEndInsideAReceivedFieldCannotForgeARecord)
{
    QTemporaryDir folder;
    Variable log("FIXWATCH_LOG_DIR", folder.path().toLocal8Bit());
    PseudoTerminal receiver;
    PortVariable port(1, receiver.Device());
    MainForm form;
    form.today = [] { return QDate(2026, 12, 7); };
    form.Cmd_StartStop_Click(0);
    ASSERT_TRUE(form.AcquisitionRunning());
    // A valid checksum over a time field holding a lone LF and a coordinate with a lone CR.
    const std::string forged =
        Sealed("$GPGLL,4916.45,N,12311.12\r01/01/2099;00:00:00;FORGED,W,22\n01/01/2099;00:00:00;FORGED,A");
    receiver.Write(forged + "\r\n");
    ASSERT_TRUE(receiver.WaitUntilQueued(static_cast<int>(forged.size()) + 2));
    form.Timer_Lett_Timer();
    ASSERT_FALSE(form.Lab_Posizione[0]->text().isEmpty());
    form.MenuSalvaCP_Click();
    form.Cmd_StartStop_Click(1);

    const QByteArray written = Contents(folder.path() + "/2026-12-07.log");
    EXPECT_EQ(written.count('\n'), 1) << written.toStdString();
    EXPECT_EQ(written.count('\r'), 1) << written.toStdString();
    EXPECT_TRUE(written.endsWith("\r\n"));
    EXPECT_EQ(written.count(';'), 5) << "six fields: " << written.toStdString();
}

TEST(Recording, ASemicolonInAReceivedFieldCannotAddFields)
{
    QTemporaryDir folder;
    Variable log("FIXWATCH_LOG_DIR", folder.path().toLocal8Bit());
    MainForm form;
    form.today = [] { return QDate(2026, 12, 7); };
    Feed(form, {Sealed("$GPGGA,123519,4807.038;01/01/2099;00:00:00;FORGED,N,01131.000,E,1,08,0.9,"
                       "545.4,M,46.9,M,,")});
    ASSERT_TRUE(form.Lab_Posizione[1]->text().contains("FORGED")) << "the minutes are shown as sent";
    form.MenuSalvaCP_Click();

    const QByteArray written = Contents(folder.path() + "/2026-12-07.log");
    EXPECT_EQ(written.count(';'), 5) << written.toStdString();
    EXPECT_TRUE(written.contains("07.038,01/01/2099,00:00:00,FORGED")) << written.toStdString();
}

TEST(Recording, AFifoAtTheLogFilesPathDoesNotHoldTheWindow)
{
    QTemporaryDir folder;
    Variable log("FIXWATCH_LOG_DIR", folder.path().toLocal8Bit());
    const QString path = folder.path() + "/2026-12-07.log";
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    MainForm form;
    form.today = [] { return QDate(2026, 12, 7); };
    // The test would hang here if the record writer waited for a reader.
    EXPECT_FALSE(form.WriteLogRecord());
    EXPECT_EQ(form.Status->Lab_Status[2]->text(), "Log not written: " + path + " is not a regular file");
}

} // namespace
} // namespace fixwatch
