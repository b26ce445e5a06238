#include "sentence_recorder.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fixwatch {
namespace {

QString ErrorText(int error)
{
    QString text = QString::fromLocal8Bit(std::strerror(error));
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

} // namespace

SentenceRecorder::~SentenceRecorder()
{
    Stop();
}

QString SentenceRecorder::FileName(const QDateTime& utc)
{
    return utc.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss")) + QStringLiteral(".nmea");
}

bool SentenceRecorder::Start(const QString& folder, const QDateTime& utc)
{
    return StartFile(folder + QLatin1Char('/') + FileName(utc));
}

bool SentenceRecorder::StartFile(const QString& path)
{
    Stop();
    error_.clear();
    written_ = 0;
    pending_.clear();
    path_ = path;
    const QByteArray name = QFile::encodeName(path_);
    // Only a regular file is written to; O_NONBLOCK keeps a FIFO at the path from holding
    // the window, and the check after the open turns it down.
    struct stat status {};
    if (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return Fail(QStringLiteral("%1 is not a regular file").arg(path_));
    const int descriptor =
        ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (descriptor == -1)
        return Fail(QStringLiteral("cannot write %1: %2").arg(path_, ErrorText(errno)));
    if (::fstat(descriptor, &status) == -1 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return Fail(QStringLiteral("%1 is not a regular file").arg(path_));
    }
    descriptor_ = descriptor;
    size_ = static_cast<std::uint64_t>(status.st_size);
    return true;
}

void SentenceRecorder::Append(std::string_view line)
{
    if (descriptor_ == -1)
        return;
    if (pending_.size() + line.size() + 2 > kMaxPending) {
        // Keep what fits on disk first; a recording with a hole would pass for whole.
        if (!Flush())
            return;
        if (line.size() + 2 > kMaxPending) {
            Fail(QStringLiteral("cannot write %1: a received line is too long to record").arg(path_));
            return;
        }
    }
    pending_.append(line);
    pending_.append("\r\n");
}

bool SentenceRecorder::Flush()
{
    if (descriptor_ == -1)
        return error_.isEmpty();
    std::size_t done = 0;
    while (done < pending_.size()) {
        const ssize_t n = ::write(descriptor_, pending_.data() + done, pending_.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            written_ += static_cast<std::uint64_t>(n);
            size_ += static_cast<std::uint64_t>(n);
            continue;
        }
        if (n == -1 && errno == EINTR)
            continue;
        // A write of nothing on a regular file means it cannot grow: say so as a full disk.
        const int error = n == 0 ? ENOSPC : errno;
        CutToWholeLines(done);
        return Fail(QStringLiteral("cannot write %1: %2").arg(path_, ErrorText(error)));
    }
    pending_.clear();
    return true;
}

void SentenceRecorder::CutToWholeLines(std::size_t done)
{
    // The file ends where the last whole line written ends: a reader would take a torn
    // line for a sentence with a damaged end.
    const auto lineEnd = std::string_view(pending_).substr(0, done).rfind("\r\n");
    const std::size_t whole = lineEnd == std::string_view::npos ? 0 : lineEnd + 2;
    const std::uint64_t torn = done - whole;
    if (torn == 0 || ::ftruncate(descriptor_, static_cast<off_t>(size_ - torn)) != 0)
        return;
    size_ -= torn;
    written_ -= torn;
}

bool SentenceRecorder::Stop()
{
    if (descriptor_ == -1)
        return error_.isEmpty();
    if (!Flush())
        return false;
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) == -1) {
        error_ = QStringLiteral("cannot write %1: %2").arg(path_, ErrorText(errno));
        return false;
    }
    return true;
}

bool SentenceRecorder::Fail(const QString& why)
{
    error_ = why;
    if (descriptor_ != -1) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
    pending_.clear();
    return false;
}

QString SizeText(std::uint64_t bytes)
{
    if (bytes < 1000)
        return QStringLiteral("%1 B").arg(bytes);
    const char* units[] = {"kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1000.0;
    std::size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < std::size(units)) {
        value /= 1000.0;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', value < 10.0 ? 1 : 0).arg(QLatin1String(units[unit]));
}

} // namespace fixwatch
