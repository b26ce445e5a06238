#include "port_device.h"

#include <QFileInfo>

namespace fixwatch {

bool IsPseudoTerminal(const QString& device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    const QString& path = canonical.isEmpty() ? device : canonical;
    return path.startsWith(QLatin1String("/dev/pts/"));
}

} // namespace fixwatch
