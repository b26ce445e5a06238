// Two programs appending to one day's file while the disk fills up: every record a writer was
// told was written is in the file whole, and no writer cuts off another one's record.
#include "file_contents.h"
#include "log_record.h"
#include "qt_print.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using test::FileContents;

constexpr int kRecordsPerWriter = 900; // the two together need more than the 64 KiB disk holds

// Mounts a 64 KiB tmpfs in a mount namespace of its own (unprivileged through a user
// namespace), runs two writers on it at once and copies out what they left.
const char* const kTwoWritersOnASmallDisk = R"(
disk="$1" helper="$2" out="$3" records="$4"
mount -t tmpfs -o size=64k fixwatch-test "$disk" || exit 77
: > "$out/mounted"
"$helper" "$disk" A "$records" > "$out/A" & first=$!
"$helper" "$disk" B "$records" > "$out/B" & second=$!
wait $first && wait $second && cp "$disk/2026-12-07.log" "$out/log"
)";

// The line the helper writes for record `index` of `writer`.
QByteArray RecordOf(const QByteArray& writer, const QByteArray& index)
{
    return writer + ";" + index + ";048\xB0 07.038' N;011\xB0 31.000' E;545.4;41.5";
}

TEST(SharedLogFile, TwoWritersOnAFullDiskLoseNoReportedRecordAndTearNoLine)
{
    for (int run = 0; run < 10; ++run) {
        QTemporaryDir folder;
        ASSERT_TRUE(QDir(folder.path()).mkdir("disk") && QDir(folder.path()).mkdir("out"));
        const QString out = folder.filePath("out");
        QProcess writers;
        writers.start("unshare", {"--map-root-user", "--mount", "sh", "-c", kTwoWritersOnASmallDisk,
                                  "sh", folder.filePath("disk"), FIXWATCH_LOG_APPEND_HELPER, out,
                                  QString::number(kRecordsPerWriter)});
        if (!writers.waitForStarted())
            GTEST_SKIP() << "needs unshare (util-linux) to mount a small tmpfs";
        ASSERT_TRUE(writers.waitForFinished(120000));
        if (!QFile::exists(out + "/mounted"))
            GTEST_SKIP() << "cannot mount a 64 KiB tmpfs in a user and mount namespace here: "
                         << writers.readAllStandardError().trimmed().toStdString();
        ASSERT_EQ(writers.exitCode(), 0) << writers.readAllStandardError().toStdString();

        // Every line of the file is a whole record of one of the writers.
        const QByteArray log = FileContents(out + "/log");
        ASSERT_TRUE(log.isEmpty() || log.endsWith("\r\n")) << "run " << run << ": the last line is torn";
        QList<QByteArray> lines = log.split('\n');
        lines.removeLast();
        QSet<QByteArray> inFile;
        for (const QByteArray& line : lines) {
            const QList<QByteArray> fields = line.chopped(1).split(';');
            ASSERT_TRUE(line.endsWith('\r') && fields.size() == 6
                        && line.chopped(1) == RecordOf(fields[0], fields[1]))
                << "run " << run << ": torn line " << line.toStdString();
            inFile.insert(line.chopped(1));
        }
        // And the records in the file are exactly those that were reported written.
        QSet<QByteArray> reported;
        for (const QByteArray& writer : {QByteArray("A"), QByteArray("B")})
            for (const QByteArray& index : FileContents(out + "/" + writer).split('\n'))
                if (!index.isEmpty())
                    reported.insert(RecordOf(writer, index));
        for (const QByteArray& record : reported)
            EXPECT_TRUE(inFile.contains(record))
                << "run " << run << ": " << record.toStdString()
                << " was reported written but is not in the file";
        EXPECT_EQ(inFile.size(), reported.size())
            << "run " << run << ": a record in the file was reported not written";
        EXPECT_LT(reported.size(), 2 * kRecordsPerWriter) << "the disk never filled up";
        EXPECT_GT(reported.size(), 0);
    }
}

} // namespace
} // namespace fixwatch
