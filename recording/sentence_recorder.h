#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace fixwatch {

// Keeps every received line, as received and ended by CR LF, in a plain NMEA file named
// after the UTC moment recording began ("2026-12-07T10-15-00.nmea"), so that gpsfake, gpsd
// and other monitors read it as it is.
//
// Lines are gathered in memory and written at Flush (the window's tick) and at Stop, never
// one write per line. The buffer is bounded: should the disk fall that far behind, the
// recording stops and says why instead of growing. A write that fails or is cut short stops
// the recording with the reason; nothing is ever counted as recorded that was not written.
class SentenceRecorder {
public:
    // More than a minute of the fastest line offered (115200 baud) between two flushes.
    static constexpr std::size_t kMaxPending = std::size_t{1024} * 1024;

    SentenceRecorder() = default;
    ~SentenceRecorder();
    SentenceRecorder(const SentenceRecorder&) = delete;
    SentenceRecorder& operator=(const SentenceRecorder&) = delete;

    // "2026-12-07T10-15-00.nmea" for that UTC moment.
    static QString FileName(const QDateTime& utc);

    // Opens the file for `utc` in `folder` (appending should it exist already). False with
    // the reason in Error() when it cannot be written.
    bool Start(const QString& folder, const QDateTime& utc);
    // The same for the file at `path`.
    bool StartFile(const QString& path);
    // Keeps one line; written at the next Flush.
    void Append(std::string_view line);
    // Writes what was kept; false (and stopped) when it could not be written whole.
    bool Flush();
    // Writes what was kept and closes the file; false when something could not be written.
    bool Stop();

    bool Recording() const { return descriptor_ != -1; }
    // The file being or last recorded to; empty before the first Start.
    const QString& Path() const { return path_; }
    // Bytes written to the file by this recording.
    std::uint64_t BytesWritten() const { return written_; }
    // Why the recording stopped or could not start; empty while all is well.
    const QString& Error() const { return error_; }

private:
    bool Fail(const QString& why);
    // After a write cut short at `done` bytes of what was pending: takes the torn line off
    // the end of the file.
    void CutToWholeLines(std::size_t done);

    int descriptor_ = -1;
    QString path_;
    QString error_;
    std::string pending_;
    std::uint64_t written_ = 0;
    std::uint64_t size_ = 0; // the file's length, as this recording wrote it
};

// "1.2 MB", "340 kB", "512 B": decimal units, one decimal below ten.
QString SizeText(std::uint64_t bytes);

} // namespace fixwatch
