#pragma once

#include <QString>

namespace fixwatch {

// What the program says about itself, in the splash and About windows, defined once.
struct ProductInfo {
    static QString ProductName() { return QStringLiteral("Fixwatch"); }
    static QString FileDescription() { return QStringLiteral("NMEA-0183 GPS monitor"); }
    static QString LegalCopyright()
    {
        return QStringLiteral("Copyright (C) 2026 the Fixwatch developers. GPL-3.0-or-later.");
    }
    static QString ContactAddress() { return QStringLiteral("fixwatch@users.invalid"); }
};

// "Version " + major + "." + minor + revision, each in plain decimal: 1.0.0 gives
// "Version 1.00", 2.1.5 gives "Version 2.15".
QString VersionText(int major, int minor, int revision);
// The version text of this build.
QString VersionText();

} // namespace fixwatch
