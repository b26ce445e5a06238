#include "port_device.h"

#include <QFileInfo>
#include <QtGlobal>

namespace fixwatch {

QString DeviceForPort(int port)
{
    if (port < 1 || port > 255)
        return {};
    const QByteArray variable = "FIXWATCH_COM" + QByteArray::number(port);
    if (qEnvironmentVariableIsSet(variable.constData()))
        return qEnvironmentVariable(variable.constData());
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

bool IsPseudoTerminal(const QString& device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    const QString& path = canonical.isEmpty() ? device : canonical;
    return path.startsWith(QLatin1String("/dev/pts/"));
}

} // namespace fixwatch
