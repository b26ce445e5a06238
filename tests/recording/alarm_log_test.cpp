// The alarm file: its name, one line per change, and appends that keep what was there.
#include "alarm_log.h"
#include "file_contents.h"
#include "log_capture.h"
#include "qt_print.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using test::FileContents;

const QDateTime kAt(QDate(2026, 12, 9), QTime(12, 0, 1), Qt::UTC);

TEST(AlarmLogLine, IsOneTabSeparatedUtf8LineWhateverTheTextHolds)
{
    EXPECT_EQ(AlarmLogLine(kAt, true, "fix-degraded", "Fix degraded: RTK fixed → RTK float"),
              "2026-12-09T12:00:01Z\traised\tfix-degraded\tFix degraded: RTK fixed \xE2\x86\x92 RTK float\n");
    EXPECT_EQ(AlarmLogLine(kAt.toOffsetFromUtc(3600), false, "no-data", "Data back"),
              "2026-12-09T12:00:01Z\tcleared\tno-data\tData back\n")
        << "the time is UTC whatever zone it was taken in";
    EXPECT_EQ(AlarmLogLine(kAt, true, "anchor", "a\nb\r\tc\u2028d"), "2026-12-09T12:00:01Z\traised\tanchor\ta b  c d\n")
        << "no text can end its line or forge another";
}

TEST(AppendAlarmLog, AppendsToTheFileOfTheDayAndSaysWhyItCouldNot)
{
    QTemporaryDir folder;
    ASSERT_TRUE(AppendAlarmLog(folder.path(), kAt, true, "fix-lost", "Fix lost"));
    ASSERT_TRUE(AppendAlarmLog(folder.path(), kAt.addSecs(5), false, "fix-lost", "Fix back: GPS"));
    const QString path = folder.filePath(AlarmLogFileName(kAt.toLocalTime().date()));
    EXPECT_TRUE(path.endsWith(".alarms.log"));
    EXPECT_EQ(FileContents(path), "2026-12-09T12:00:01Z\traised\tfix-lost\tFix lost\n"
                                  "2026-12-09T12:00:06Z\tcleared\tfix-lost\tFix back: GPS\n");

    QString reason;
    EXPECT_FALSE(AppendAlarmLog("/nonexistent/folder", kAt, true, "fix-lost", "Fix lost", &reason));
    EXPECT_TRUE(reason.startsWith("cannot write /nonexistent/folder/")) << reason.toStdString();
}

// Switched on, the alarm log says which file each line went to and why one was not written,
// without the alarm's text; by default it says nothing.
TEST(AppendAlarmLog, LogsTheFileAndEveryFailureOnlyWhenSwitchedOn)
{
    QTemporaryDir folder;
    {
        test::LogCapture quiet;
        AppendAlarmLog("/nonexistent/folder", kAt, true, "fix-lost", "Fix lost");
        EXPECT_TRUE(quiet.Lines().isEmpty()) << quiet.Text().toStdString();
    }
    test::LogCapture capture(QStringLiteral("fixwatch.alarms.debug=true"));
    ASSERT_TRUE(AppendAlarmLog(folder.path(), kAt, true, "hdop", "HDOP 4.2 over 2.5"));
    EXPECT_FALSE(AppendAlarmLog("/nonexistent/folder", kAt, false, "hdop", "HDOP 1.1"));
    EXPECT_FALSE(AppendAlarmLog(folder.path(), QDateTime(), true, "hdop", "HDOP 4.2 over 2.5"));
    const QString path = folder.filePath(AlarmLogFileName(kAt.toLocalTime().date()));
    ASSERT_EQ(capture.Lines().size(), 3) << capture.Text().toStdString();
    EXPECT_EQ(capture.Lines()[0], "fixwatch.alarms: alarm file " + path + ": raised hdop");
    EXPECT_TRUE(capture.Lines()[1].startsWith(
        "fixwatch.alarms: alarm file not written for cleared hdop: cannot write /nonexistent/folder/"))
        << capture.Lines()[1].toStdString();
    EXPECT_EQ(capture.Lines()[2],
              "fixwatch.alarms: alarm file not written for raised hdop: the computer's date is not valid");
    EXPECT_FALSE(capture.Text().contains("HDOP")) << "the alarm's text logged";
}

} // namespace
} // namespace fixwatch
