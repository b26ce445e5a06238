#include "port_device.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fixwatch {

bool IsPseudoTerminal(const QString& device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    const QString& path = canonical.isEmpty() ? device : canonical;
    return path.startsWith(QLatin1String("/dev/pts/"));
}

std::optional<QString> NotASerialPort(const QString& device)
{
    const QByteArray path = device.toLocal8Bit();
    struct stat status {};
    if (::stat(path.constData(), &status) != 0)
        return std::nullopt;
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("%1 is a folder, not a serial port.").arg(device);
    if (S_ISREG(status.st_mode))
        return QStringLiteral("%1 is a regular file, not a serial port.").arg(device);
    if (!S_ISCHR(status.st_mode))
        return QStringLiteral("%1 is not a serial port.").arg(device);
    // A character device is a serial port only when it is a terminal. Asked only after an
    // open failed, so a working port is never opened twice.
    const int descriptor = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor == -1)
        return std::nullopt;
    const bool terminal = ::isatty(descriptor) == 1;
    ::close(descriptor);
    if (terminal)
        return std::nullopt;
    return QStringLiteral("%1 is not a serial port.").arg(device);
}

std::optional<QString> RecordingPath(const QString& name)
{
    static const QLatin1String scheme("file://");
    if (name.startsWith(scheme, Qt::CaseInsensitive))
        return name.mid(scheme.size());
    if (name.startsWith(QLatin1Char('/')) && QFileInfo(name).isFile())
        return name;
    return std::nullopt;
}

} // namespace fixwatch
