// The record writer: the format of a record, and a write that never blocks and never
// leaves a broken line.
#include "file_contents.h"
#include "log_record.h"
#include "qt_print.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fixwatch {
namespace {

using test::FileContents;

TEST(LogRecordLine, IsOneLineWhateverTheFieldsHold)
{
    const struct {
        const char* legend;
        QStringList fields;
        QByteArray line;
        // clang-format off
    } rows[] = {
        {"six fields joined by ;", {"05/12/2026", "12:35:19", "048\u00B0 07.038' N", "", "545.4", "41.5"},
         "05/12/2026;12:35:19;048\xB0 07.038' N;;545.4;41.5\r\n"},
        {"no field at all", {"", "", "", "", "", ""}, ";;;;;\r\n"},
        {"a ; inside a field is a ,", {"a;b", ";", "c;"}, "a,b;,;c,\r\n"},
        {"a latitude holding a forged record stays one field",
         {"07/12/2026", "12:00:00", "048\u00B0 07.038;01/01/2099;00:00:00;FORGED' N", "", "", ""},
         "07/12/2026;12:00:00;048\xB0 07.038,01/01/2099,00:00:00,FORGED' N;;;\r\n"},
        {"CR and LF inside a field are blanks", {"12:00\r01/01/2099;FORGED", "x\ny"},
         "12:00 01/01/2099,FORGED;x y\r\n"},
        {"other control characters are blanks", {QString::fromLatin1("a\tb\x01" "c\x7F" "d\x85")},
         "a b c d \r\n"},
        {"a character outside ISO-8859-1 is ?", {"\u20AC"}, "?\r\n"},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(LogRecordLine(row.fields), row.line) << row.legend;
}

const QDate kDay(2026, 12, 7);

TEST(AppendLogRecord, SaysWhyARecordWasNotWritten)
{
    QTemporaryDir folder;
    QString reason;
    EXPECT_FALSE(AppendLogRecord("/nonexistent/folder", kDay, {"a"}, &reason));
    EXPECT_EQ(reason, "cannot write /nonexistent/folder/2026-12-07.log: no such file or directory");

    // Something that is not a regular file is never written to, and never waited for.
    const QString fifo = LogFilePath(folder.path(), kDay);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(AppendLogRecord(folder.path(), kDay, {"a"}, &reason));
    EXPECT_EQ(reason, fifo + " is not a regular file");

    EXPECT_FALSE(AppendLogRecord(folder.path(), QDate(), {"a"}, &reason)) << "no valid date";
}

TEST(AppendLogRecord, ADiskThatFillsUpMidLineLeavesNoPartOfTheRecord)
{
    QTemporaryDir folder;
    ASSERT_TRUE(AppendLogRecord(folder.path(), kDay, {"first"}));
    // A file size limit just past what is there stands in for a full disk: the next write
    // gets five bytes in and then fails.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit tight{.rlim_cur = 7 + 5, .rlim_max = old.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    QString reason;
    const bool written = AppendLogRecord(folder.path(), kDay, {"second, longer record"}, &reason);
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_TRUE(reason.startsWith("cannot write ")) << reason.toStdString();
    EXPECT_EQ(FileContents(LogFilePath(folder.path(), kDay)), "first\r\n");
}

TEST(AppendLogRecord, AppendsToTheFileOfTheDateAndDoesNotWaitForAnotherProgramsLock)
{
    QTemporaryDir folder;
    const QString path = LogFilePath(folder.path(), kDay);
    EXPECT_EQ(path, folder.path() + "/2026-12-07.log");
    ASSERT_TRUE(AppendLogRecord(folder.path(), kDay, {"first"}));
    const int other = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_NE(other, -1);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    QString reason;
    EXPECT_FALSE(AppendLogRecord(folder.path(), kDay, {"second"}, &reason));
    EXPECT_EQ(reason, "cannot write " + path + ": the file is in use by another program");
    ::close(other);
    ASSERT_TRUE(AppendLogRecord(folder.path(), kDay, {"third"})) << "the lock is gone with its holder";
    EXPECT_EQ(FileContents(path), "first\r\nthird\r\n");
}

} // namespace
} // namespace fixwatch
