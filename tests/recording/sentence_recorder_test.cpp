// The sentence recorder: lines kept as received, a write that fails or is cut short never
// taken for a recording, and the track export of a recording.
#include "file_contents.h"
#include "recording_export.h"
#include "sentence_recorder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

namespace fixwatch {
namespace {

using test::FileContents;
using test::WriteFile;

const QDateTime kStart(QDate(2026, 12, 7), QTime(10, 15, 0), Qt::UTC);

TEST(SentenceRecorder, KeepsEachLineAsReceivedEndedByCrLfInTheFileOfTheStartingMoment)
{
    QTemporaryDir folder;
    SentenceRecorder recorder;
    ASSERT_TRUE(recorder.Start(folder.path(), kStart)) << recorder.Error().toStdString();
    EXPECT_EQ(recorder.Path(), folder.path() + "/2026-12-07T10-15-00.nmea");
    recorder.Append("$GPGGA,bad*00");
    recorder.Append("$PGRME,15.0,M,45.0,M,25.0,M*1C");
    EXPECT_TRUE(recorder.Flush());
    recorder.Append("$GNRMC,tail");
    // Stop writes what arrived after the last flush.
    EXPECT_TRUE(recorder.Stop());
    EXPECT_FALSE(recorder.Recording());
    const QByteArray expected = "$GPGGA,bad*00\r\n$PGRME,15.0,M,45.0,M,25.0,M*1C\r\n$GNRMC,tail\r\n";
    EXPECT_EQ(FileContents(recorder.Path()), expected);
    EXPECT_EQ(recorder.BytesWritten(), static_cast<std::uint64_t>(expected.size()));
    recorder.Append("$GPGLL,after stop");
    EXPECT_EQ(FileContents(recorder.Path()), expected);
}

TEST(SentenceRecorder, APathThatCannotHoldTheFileIsRefusedAndSaysWhyWithoutWaitingForAReader)
{
    QTemporaryDir folder;
    ASSERT_TRUE(WriteFile(folder.path() + "/plain", ""));
    SentenceRecorder recorder;
    // Under a regular file: refused whoever runs the test, root included.
    EXPECT_FALSE(recorder.Start(folder.path() + "/plain", kStart));
    EXPECT_FALSE(recorder.Recording());
    EXPECT_TRUE(recorder.Error().contains("cannot write " + folder.path() + "/plain/2026-12-07T10-15-00.nmea: not a directory"))
        << recorder.Error().toStdString();

    const QString fifo = folder.path() + "/" + SentenceRecorder::FileName(kStart);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(recorder.Start(folder.path(), kStart));
    EXPECT_TRUE(recorder.Error().contains("is not a regular file"));
}

TEST(SentenceRecorder, AWriteCutShortStopsTheRecordingAtItsLastWholeLineNeverCountedAsWritten)
{
    QTemporaryDir folder;
    SentenceRecorder recorder;
    ASSERT_TRUE(recorder.Start(folder.path(), kStart));
    // A file size limit makes the disk "full" after 100 bytes, for root as well.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{.rlim_cur = 100, .rlim_max = old.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string line = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
    for (int i = 0; i < 5; ++i)
        recorder.Append(line);
    const bool flushed = recorder.Flush();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(flushed);
    EXPECT_FALSE(recorder.Recording());
    EXPECT_TRUE(recorder.Error().startsWith("cannot write " + recorder.Path() + ": ")) << recorder.Error().toStdString();
    EXPECT_EQ(recorder.BytesWritten(), static_cast<std::uint64_t>(FileContents(recorder.Path()).size()));
    EXPECT_EQ(FileContents(recorder.Path()).toStdString(), line + "\r\n") << "the line the disk cut is taken off";
    EXPECT_FALSE(recorder.Stop());
}

TEST(SentenceRecorder, SizesAreSaidInDecimalUnits)
{
    EXPECT_EQ(SizeText(512), "512 B");
    EXPECT_EQ(SizeText(1234), "1.2 kB");
    EXPECT_EQ(SizeText(340'000), "340 kB");
    EXPECT_EQ(SizeText(1'200'000), "1.2 MB");
}

TEST(RecordingExport, WritesTheFormatOfTheExtensionOnlyWhenThereIsATrack)
{
    QTemporaryDir folder;
    const QString source = folder.path() + "/r.nmea";
    ASSERT_TRUE(WriteFile(source, "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"
                                  "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"));
    QString reason;
    ASSERT_TRUE(ExportRecordingTrack(source, folder.path() + "/t.csv", Talkers::GpsOnly, &reason))
        << reason.toStdString();
    EXPECT_TRUE(FileContents(folder.path() + "/t.csv").contains("48.1173"));
    EXPECT_TRUE(ExportRecordingTrack(source, folder.path() + "/t.GPX", Talkers::GpsOnly, &reason));
    EXPECT_TRUE(FileContents(folder.path() + "/t.GPX").contains("<trkpt"));

    EXPECT_FALSE(ExportRecordingTrack(source, folder.path() + "/t.txt", Talkers::GpsOnly, &reason));
    EXPECT_EQ(reason, "Choose a file name ending in .gpx, .kml or .csv.");

    const QString noFix = folder.path() + "/nofix.nmea";
    ASSERT_TRUE(WriteFile(noFix, "$GPGGA,123519,,,,,0,00,,,M,,M,,*66\r\n"));
    EXPECT_FALSE(ExportRecordingTrack(noFix, folder.path() + "/n.kml", Talkers::GpsOnly, &reason));
    EXPECT_EQ(reason, "The recording has no position fix: there is no track to export.");
    EXPECT_FALSE(QFile::exists(folder.path() + "/n.kml"));

    // A receiver's simulator (GGA quality 8) gives no track unless asked for.
    const QString simulated = folder.path() + "/simulated.nmea";
    ASSERT_TRUE(WriteFile(simulated, "$GPGGA,123519,4807.038,N,01131.000,E,8,08,0.9,545.4,M,46.9,M,,*4E\r\n"));
    EXPECT_FALSE(ExportRecordingTrack(simulated, folder.path() + "/s.csv", Talkers::GpsOnly, &reason));
    EXPECT_EQ(reason, "The recording holds only the fixes of the receiver's simulator: there is no track to export.");
}

} // namespace
} // namespace fixwatch
