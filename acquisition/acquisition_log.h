#pragma once

#include <QLoggingCategory>

namespace fixwatch {

// What the intake does behind the window's back: ports opened and with which settings,
// reconnects, received bytes thrown away. Off by default; QT_LOGGING_RULES=
// "fixwatch.acquisition.debug=true" switches it on. Never logs received text.
Q_DECLARE_LOGGING_CATEGORY(lcAcquisition)

} // namespace fixwatch
