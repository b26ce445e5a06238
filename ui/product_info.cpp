#include "product_info.h"

#ifndef FIXWATCH_VERSION_MAJOR
#error "FIXWATCH_VERSION_MAJOR, _MINOR and _PATCH must be defined by the build"
#endif

namespace fixwatch {

QString VersionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2%3").arg(major).arg(minor).arg(revision);
}

QString VersionText()
{
    return VersionText(FIXWATCH_VERSION_MAJOR, FIXWATCH_VERSION_MINOR, FIXWATCH_VERSION_PATCH);
}

} // namespace fixwatch
