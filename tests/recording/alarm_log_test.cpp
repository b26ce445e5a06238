// The alarm file: its name, one line per change, and appends that keep what was there.
#include "alarm_log.h"
#include "file_contents.h"
#include "qt_print.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <sys/stat.h>

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
    // A FIFO in the file's place is not opened for writing, so nothing waits for a reader.
    const QString fifoPath = folder.filePath(AlarmLogFileName(kAt.addDays(1).toLocalTime().date()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoPath).constData(), 0600), 0);
    EXPECT_FALSE(AppendAlarmLog(folder.path(), kAt.addDays(1), true, "fix-lost", "Fix lost", &reason));
    EXPECT_TRUE(reason.endsWith("is not a regular file")) << reason.toStdString();
}

} // namespace
} // namespace fixwatch
