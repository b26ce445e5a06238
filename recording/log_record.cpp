#include "log_record.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fixwatch {
namespace {

QString ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error)).toLower();
}

// The lock that serialises appends to one file between programs (two windows logging to
// the same day's file). It is only held for one record, so a short wait is enough; a lock held
// longer belongs to something else and must not hold the window.
enum class Lock {
    Held,
    Unsupported,
    Busy,
};

Lock LockForAppend(int descriptor)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
            return Lock::Held;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return Lock::Unsupported; // a file system without locks: append unlocked
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return Lock::Busy;
}

// Appends all of `line` to `descriptor` (opened with O_APPEND), retrying short writes; false
// with errno set. After a failure the bytes this call did write are cut off again, but only
// while they are still the last ones in the file, so another writer's record is never cut.
bool AppendWhole(int descriptor, const QByteArray& line, bool locked)
{
    off_t start = -1;
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(descriptor, line.constData() + done,
                                  static_cast<std::size_t>(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n == 0 ? EIO : errno;
            struct stat status {};
            // Under the lock nobody else appended meanwhile; without it, check.
            if (start >= 0
                && (locked
                    || (::fstat(descriptor, &status) == 0 && status.st_size == start + done))) {
                [[maybe_unused]] const int cut = ::ftruncate(descriptor, start);
            }
            errno = error;
            return false;
        }
        if (start < 0) {
            // With O_APPEND the offset is now just past these bytes.
            const off_t end = ::lseek(descriptor, 0, SEEK_CUR);
            start = end >= n ? end - n : -1;
        }
        done += n;
    }
    return true;
}

} // namespace

QString LogFileName(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log");
}

QByteArray LogRecordLine(const QStringList& fields)
{
    QStringList cleaned;
    cleaned.reserve(fields.size());
    for (QString field : fields) {
        for (QChar& c : field) {
            if (c.category() == QChar::Other_Control)
                c = QLatin1Char(' ');
            else if (c == QLatin1Char(';'))
                c = QLatin1Char(',');
        }
        cleaned << field;
    }
    return cleaned.join(QLatin1Char(';')).toLatin1() + QByteArrayLiteral("\r\n");
}

QString LogFolder()
{
    const QString configured = qEnvironmentVariable("FIXWATCH_LOG_DIR");
    return configured.isEmpty() ? QCoreApplication::applicationDirPath() : configured;
}

QString LogFilePath(const QString& folder, const QDate& date)
{
    return folder + QLatin1Char('/') + LogFileName(date);
}

bool AppendLogRecord(const QString& folder, const QDate& date, const QStringList& fields,
                     QString* reason)
{
    if (!date.isValid()) {
        if (reason != nullptr)
            *reason = QStringLiteral("the computer's date is not valid");
        return false;
    }
    return AppendLogLine(LogFilePath(folder, date), LogRecordLine(fields), reason);
}

bool AppendLogLine(const QString& path, const QByteArray& line, QString* reason)
{
    auto fail = [reason](const QString& why) {
        if (reason != nullptr)
            *reason = why;
        return false;
    };

    // Only a regular file is written to. O_NONBLOCK keeps a FIFO that appears meanwhile from
    // holding the window; the check after the open catches it.
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return fail(QStringLiteral("%1 is not a regular file").arg(path));
    const int descriptor = ::open(name.constData(),
                                  O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                                  0666);
    if (descriptor == -1)
        return fail(QStringLiteral("cannot write %1: %2").arg(path, ErrorText(errno)));
    if (::fstat(descriptor, &status) == -1 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return fail(QStringLiteral("%1 is not a regular file").arg(path));
    }
    const Lock lock = LockForAppend(descriptor);
    if (lock == Lock::Busy) {
        ::close(descriptor);
        return fail(QStringLiteral("cannot write %1: the file is in use by another program").arg(path));
    }
    if (!AppendWhole(descriptor, line, lock == Lock::Held)) {
        const int error = errno;
        ::close(descriptor);
        return fail(QStringLiteral("cannot write %1: %2").arg(path, ErrorText(error)));
    }
    if (::close(descriptor) == -1)
        return fail(QStringLiteral("cannot write %1: %2").arg(path, ErrorText(errno)));
    return true;
}

} // namespace fixwatch
