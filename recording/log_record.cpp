#include "log_record.h"

#include <QCoreApplication>
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
    return QString::fromLocal8Bit(std::strerror(error)).toLower();
}

// Writes all of `line` to `descriptor`, retrying short writes; false with errno set.
bool WriteAll(int descriptor, const QByteArray& line)
{
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(descriptor, line.constData() + done,
                                  static_cast<std::size_t>(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
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
    auto fail = [reason](const QString& why) {
        if (reason != nullptr)
            *reason = why;
        return false;
    };
    if (!date.isValid())
        return fail(QStringLiteral("the computer's date is not valid"));
    const QString path = LogFilePath(folder, date);
    const QByteArray line = LogRecordLine(fields);

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
    const off_t sizeBefore = status.st_size;
    if (!WriteAll(descriptor, line)) {
        const int error = errno;
        // A disk that filled up mid-line: take the fragment back out.
        [[maybe_unused]] const int cut = ::ftruncate(descriptor, sizeBefore);
        ::close(descriptor);
        return fail(QStringLiteral("cannot write %1: %2").arg(path, ErrorText(error)));
    }
    if (::close(descriptor) == -1)
        return fail(QStringLiteral("cannot write %1: %2").arg(path, ErrorText(errno)));
    return true;
}

} // namespace fixwatch
