// Replaying a recording: pacing by the sentences' own times with the test's clock, pause,
// seek, speed, the end, and the errors a user sees.
#include "file_contents.h"
#include "file_source.h"
#include "log_capture.h"
#include "port_device.h"
#include "sealed.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <malloc.h>
#include <string>
#include <sys/stat.h>

namespace fixwatch {
namespace {

using test::Line;

std::string Gga(int h, int m, int s, int centis)
{
    char time[48];
    std::snprintf(time, sizeof time, "%02d%02d%02d.%02d", h, m, s, centis);
    return Line(std::string("$GPGGA,") + time + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
}

std::string Gsa() { return Line("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"); }

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class FileSourceTest : public ::testing::Test {
protected:
    QString Write(const std::string& text, const char* name = "capture.nmea")
    {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(test::WriteFile(path, QByteArray::fromStdString(text)));
        return path;
    }

    QTemporaryDir dir_;
    std::int64_t now_ = 5000;
};

TEST_F(FileSourceTest, TenHertzRecordingPlaysTenEpochsPerSecond)
{
    std::string text;
    for (int k = 0; k < 50; ++k) // 5 s at 10 Hz from 12:35:19
        text += Gga(12, 35, 19 + k / 10, (k % 10) * 10) + Gsa();
    FileSource source(Write(text), [this] { return now_; });
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    EXPECT_EQ(source.Duration(), 4900);
    EXPECT_EQ(source.PositionText(), "00:00:00 of 00:00:04 \u00B7 12:35:19 UTC");

    EXPECT_EQ(Count(source.Read(), "GGA"), 1); // the first epoch at once
    now_ += 1000;
    EXPECT_EQ(Count(source.Read(), "GGA"), 10);
    now_ += 250;
    EXPECT_EQ(Count(source.Read(), "GGA"), 2);
    EXPECT_EQ(source.PositionText(), "00:00:01 of 00:00:04 \u00B7 12:35:20 UTC");

    source.SetSpeed(10);
    now_ += 100; // one second of the recording
    EXPECT_EQ(Count(source.Read(), "GGA"), 10);

    source.Pause();
    now_ += 10'000;
    EXPECT_EQ(source.Read(), "");
    source.Resume();
    EXPECT_EQ(source.Read(), "");
    source.SetSpeed(ReplayControl::kFastest);
    const std::string rest = source.Read();
    EXPECT_EQ(Count(rest, "GGA"), 27);
    EXPECT_EQ(Count(rest, "GSA"), 27); // every line of an epoch comes with it
    EXPECT_TRUE(source.AtEnd());
    EXPECT_EQ(source.Read(), "");
    EXPECT_EQ(source.Reason(), "End of recording");

    // Paused, a seek still shows the epoch it moved to, and nothing after it.
    source.Pause();
    source.Seek(1000);
    EXPECT_FALSE(source.AtEnd());
    const std::string sought = source.Read();
    EXPECT_EQ(Count(sought, "GGA"), 1);
    EXPECT_EQ(sought.substr(0, 16), Gga(12, 35, 20, 0).substr(0, 16));
    now_ += 5000;
    EXPECT_EQ(source.Read(), "");
    source.Resume();

    // A seek brings it back from the epoch at that time.
    source.SetSpeed(1);
    source.Seek(2000);
    EXPECT_FALSE(source.AtEnd());
    EXPECT_TRUE(source.Reconnect());
    const std::string again = source.Read();
    EXPECT_EQ(again.substr(0, 16), Gga(12, 35, 21, 0).substr(0, 16));
}

TEST_F(FileSourceTest, RecordingWithoutTimesPlaysOneEpochPerSecond)
{
    std::string text;
    for (int k = 0; k < 4; ++k)
        text += Gsa() + Line("$GPGSV,1,1,01,04,45,120,40") + Line("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K");
    FileSource source(Write(text), [this] { return now_; });
    ASSERT_TRUE(source.Open());
    EXPECT_EQ(source.Duration(), 3000);
    EXPECT_EQ(source.PositionText(), "00:00:00 of 00:00:03");
    EXPECT_EQ(Count(source.Read(), "$GP"), 3);
    now_ += 999;
    EXPECT_EQ(source.Read(), "");
    now_ += 1;
    EXPECT_EQ(Count(source.Read(), "$GP"), 3);
}

TEST(SentenceDayTest, ReadsTheDateOfRmcAndZda)
{
    const struct {
        const char* line;
        std::int64_t day; // days since 1970-01-01
    } rows[] = {
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", 8847},  // 1994-03-23
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,050180,003.1,W", 3656},  // 1980-01-05
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,290224,003.1,W", 19782}, // 2024-02-29
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,290223,003.1,W", -1},    // no such day
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,2303944,003.1,W", -1},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,23O394,003.1,W", -1},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,,003.1,W", -1},
        {"$GNZDA,231408.00,11,04,2025,00,00", 20189}, // 2025-04-11
        {"$GNZDA,231408.00,11,13,2025,00,00", -1},
        {"$GNZDA,231408.00,11,04,25,00,00", -1},
        {"$GNZDA,231408.00,,,,00,00", -1},
        {"$GPGGA,123519,230394,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(SentenceDay(Line(row.line)), row.day);
    }
    // An unsealed line tells nothing.
    EXPECT_EQ(SentenceDay("$GNZDA,231408.00,11,04,2025,00,00*00"), -1);
}

TEST_F(FileSourceTest, TheRecordingsDateIsShownOnceALineTellsItAndMidnightAdvancesIt)
{
    // GGA before the first RMC: the date still belongs to the first epoch.
    const std::string text = Gga(23, 59, 59, 0)
                             + Line("$GPRMC,235959,A,4807.038,N,01131.000,E,022.4,084.4,311224,003.1,W") + Gga(0, 0, 0, 0)
                             + Gga(0, 0, 1, 0);
    FileSource source(Write(text), [this] { return now_; });
    ASSERT_TRUE(source.Open());
    EXPECT_EQ(source.PositionText(), "00:00:00 of 00:00:02 \u00B7 2024-12-31 23:59:59 UTC");
    source.Seek(1000);
    EXPECT_EQ(source.PositionText(), "00:00:01 of 00:00:02 \u00B7 2025-01-01 00:00:00 UTC");

    // A date first told after midnight is counted back to the first epoch.
    const std::string after = Gga(23, 59, 59, 0) + Gga(0, 0, 0, 0)
                              + Line("$GPZDA,000000.00,01,01,2025,00,00") + Gga(0, 0, 1, 0);
    FileSource late(Write(after, "late.nmea"), [this] { return now_; });
    ASSERT_TRUE(late.Open());
    EXPECT_EQ(late.PositionText(), "00:00:00 of 00:00:02 \u00B7 2024-12-31 23:59:59 UTC");
}

TEST_F(FileSourceTest, LinesBeforeTheFirstTimeArePlayedToo)
{
    const std::string text = Line("$GPTXT,01,01,02,ANTSTATUS=OK") + Gsa() + Gga(12, 0, 0, 0) + Gga(12, 0, 1, 0);
    FileSource source(Write(text), [this] { return now_; });
    ASSERT_TRUE(source.Open());
    std::string first = source.Read();
    EXPECT_EQ(first.substr(0, 7), "$GPTXT,");
    EXPECT_EQ(Count(first, "\r\n"), 3);
    source.Seek(0);
    EXPECT_EQ(source.Read(), first) << "a seek to the start plays them again";
}

TEST_F(FileSourceTest, LargeRecordingOpensAtOnceIsIndexedAsItPlaysAndReadInBoundedPieces)
{
    // 10 Hz for 3 h: about 9 MB, more than Open indexes, less than Open and one Read do, and
    // more epochs than the index keeps: it is thinned, and a seek still finds the epoch.
    std::string text;
    for (int k = 0; k < 108'000; ++k)
        text += Gga(9 + k / 36'000, k / 600 % 60, k / 10 % 60, k % 10 * 10);
    ASSERT_GT(static_cast<std::int64_t>(text.size()), FileSource::kIndexPerOpen);
    ASSERT_LT(static_cast<std::int64_t>(text.size()), FileSource::kIndexPerOpen + FileSource::kIndexPerRead);
    FileSource source(Write(text), [this] { return now_; });
    ASSERT_TRUE(source.Open());
    EXPECT_FALSE(source.Indexed());
    EXPECT_TRUE(source.PositionText().contains("+ \u00B7")) << "the length is marked as growing";
    const std::int64_t opened = source.Duration();
    EXPECT_GT(opened, 0);
    EXPECT_LT(opened, 10'799'900);
    source.Seek(10'000'000); // beyond what is indexed: as far as it goes
    EXPECT_EQ(source.Position(), opened);

    source.Seek(0);
    EXPECT_EQ(source.Read().substr(0, 24), Gga(9, 0, 0, 0).substr(0, 24));
    EXPECT_TRUE(source.Indexed());
    EXPECT_EQ(source.Duration(), 10'799'900);
    source.Seek(7'200'000);
    EXPECT_EQ(source.PositionText(), "02:00:00 of 02:59:59 \u00B7 11:00:00 UTC");
    EXPECT_EQ(source.Read().substr(0, 24), Gga(11, 0, 0, 0).substr(0, 24));

    // Played at ten times, a read stays within what any source hands out; as fast as possible
    // it takes larger pieces, still bounded, and every line comes whole.
    source.SetSpeed(10);
    now_ += 100'000; // 1000 s of the recording
    std::size_t most = 0;
    for (std::string piece = source.Read(); !piece.empty(); piece = source.Read())
        most = std::max(most, piece.size());
    EXPECT_LE(most, ReceiverSource::kMaxReadLength);
    EXPECT_GT(most, 0u);
    source.SetSpeed(ReplayControl::kFastest);
    most = 0;
    std::size_t lines = 0;
    for (std::string piece = source.Read(); !piece.empty(); piece = source.Read()) {
        most = std::max(most, piece.size());
        lines += static_cast<std::size_t>(Count(piece, "\r\n"));
        EXPECT_EQ(piece.substr(piece.size() - 2), "\r\n");
    }
    EXPECT_GT(most, ReceiverSource::kMaxReadLength);
    EXPECT_LE(most, FileSource::kFastReadLength);
    EXPECT_GT(lines, 0u);
    EXPECT_TRUE(source.AtEnd());
}

TEST_F(FileSourceTest, AGapLongerThanFiveSecondsIsJumpedOverAtAnySpeed)
{
    const struct {
        const char* legend;
        int speed;
        int secondAt; // seconds from the second epoch to the third
        std::uint64_t skipped;
    } rows[] = {
        {"9 min 41 s at x1", 1, 581, 1},
        {"5 s is waited through", 1, 5, 0},
        {"at x10 too", 10, 3600, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        const int at = 10 * 3600 + 1 + row.secondAt;
        const std::string text = Gga(10, 0, 0, 0) + Gga(10, 0, 1, 0) + Gga(at / 3600, at / 60 % 60, at % 60, 0);
        FileSource source(Write(text), [this] { return now_; });
        ASSERT_TRUE(source.Open());
        source.SetSpeed(row.speed);
        EXPECT_EQ(Count(source.Read(), "GGA"), 1);
        now_ += 1000;
        EXPECT_EQ(Count(source.Read(), "GGA"), row.skipped ? 2 : 1) << "the epoch after the gap comes at once";
        EXPECT_EQ(source.GapsSkipped(), row.skipped);
        if (row.skipped) {
            EXPECT_EQ(source.LastGapMs(), row.secondAt * 1000);
        }
    }
}

TEST_F(FileSourceTest, LongUntimedLinesKeepTheIndexSmall)
{
    // Comma-less lines: each is its own identifier, and each second of replay an index entry.
    const std::string line = "$" + std::string(FileSource::kMaxLine - 2, 'P') + "\n";
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += line;
    const QString path = Write(text);
    FileSource source(path, [this] { return now_; });
    const std::size_t before = mallinfo2().uordblks;
    ASSERT_TRUE(source.Open());
    ASSERT_TRUE(source.Indexed());
    const std::size_t held = mallinfo2().uordblks - before;
    EXPECT_LT(held, text.size() / 8) << "the index holds " << held << " bytes for " << text.size() << " of lines";
    EXPECT_EQ(source.Duration(), 999'000);
}

TEST_F(FileSourceTest, ErrorsSayWhatIsWrongWithTheFile)
{
    const QString missing = dir_.filePath("none.nmea");
    FileSource absent(missing);
    EXPECT_FALSE(absent.Open());
    EXPECT_EQ(absent.Reason(), "The recording " + missing + " does not exist.");

    FileSource folder(dir_.path());
    EXPECT_FALSE(folder.Open());
    EXPECT_EQ(folder.Reason(), dir_.path() + " is a folder, not a recording.");

    const QString empty = Write("", "empty.nmea");
    FileSource nothing(empty);
    EXPECT_FALSE(nothing.Open());
    EXPECT_EQ(nothing.Reason(), "The recording " + empty + " is empty.");

    // Neither waits for a writer nor reads for ever.
    const QString fifo = dir_.filePath("receiver.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& endless : {fifo, QStringLiteral("/dev/zero")}) {
        FileSource stream(endless);
        EXPECT_FALSE(stream.Open());
        EXPECT_EQ(stream.Reason(), endless + " is a pipe or a device, not a recording on disk: it never ends and "
                                             "cannot be replayed.");
    }

    const QString locked = Write(Gga(1, 2, 3, 0), "locked.nmea");
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    FileSource unreadable(locked);
    if (QFileInfo(locked).isReadable())
        GTEST_SKIP() << "running as root: every file is readable";
    EXPECT_FALSE(unreadable.Open());
    EXPECT_EQ(unreadable.Reason(), "The recording " + locked + " cannot be read: permission denied.");
}

// A file that fails to read part-way must not pass for one that ended: /proc/self/mem opens,
// and reading its first page (never mapped) fails with an I/O error.
TEST(RecordingReaderTest, AReadFailureIsToldApartFromTheEndOfTheFile)
{
    RecordingReader reader;
    QString error;
    ASSERT_TRUE(reader.Open(QStringLiteral("/proc/self/mem"), error)) << error.toStdString();
    std::string line;
    EXPECT_FALSE(reader.Next(line));
    EXPECT_FALSE(reader.Error().isEmpty());

    ASSERT_TRUE(reader.Open(QStringLiteral("/dev/null"), error));
    EXPECT_FALSE(reader.Next(line));
    EXPECT_TRUE(reader.Error().isEmpty()) << "an empty file simply ends";
}

TEST_F(FileSourceTest, PortNamesChooseARecording)
{
    const QString path = Write(Gga(1, 2, 3, 0));
    EXPECT_EQ(RecordingPath("file://" + path), path);
    EXPECT_EQ(RecordingPath(path), path);
    EXPECT_FALSE(RecordingPath(dir_.path()));
    EXPECT_FALSE(RecordingPath("/dev/ttyUSB0"));
    EXPECT_FALSE(RecordingPath("tcp://localhost:10110"));
}

// The replay's diagnostics are silent unless asked for; asked for, a file that cannot be
// played says why, in counts and names, never in the file's own text.
TEST_F(FileSourceTest, ReplayLogSaysWhyAFileHasNoSentenceOnlyWhenSwitchedOn)
{
    const std::string records = "08/12/2026;10:15:00;45 27.458 S;167 09.165 E\r\n"
                                "08/12/2026;10:15:01;45 27.459 S;167 09.165 E\r\n";
    const QString log = Write(records, "day.log");
    {
        test::LogCapture quiet;
        FileSource source(log);
        EXPECT_FALSE(source.Open());
        EXPECT_TRUE(quiet.Lines().isEmpty()) << quiet.Text().toStdString();
    }
    test::LogCapture capture(QStringLiteral("fixwatch.replay.debug=true"));
    FileSource source(log);
    EXPECT_FALSE(source.Open());
    EXPECT_EQ(source.Reason(), "No NMEA sentence in " + log + ".");
    const QString text = capture.Text();
    EXPECT_TRUE(text.contains(QStringLiteral("fixwatch.replay: opening ") + log + " of " + QString::number(records.size()) + " bytes"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("none of the 2 lines in the first " + QString::number(records.size()) + " bytes starts a sentence"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("cannot replay " + log + ": No NMEA sentence in " + log)) << text.toStdString();
    EXPECT_FALSE(text.contains("27.45")) << "received text logged";
}

} // namespace
} // namespace fixwatch
