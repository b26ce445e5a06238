#pragma once

#include <QLoggingCategory>

namespace fixwatch {

// fixwatch.alarms as the desktop writes it: notifications sent, held back for their gap,
// replaced by a later one of their kind, refused by the server, or not sent without a bus.
// The alarm file's own lines (recording/alarm_log) share the category's name, so that one
// rule, QT_LOGGING_RULES="fixwatch.alarms.debug=true", shows both. Off by default; logs kinds,
// ids and reasons, never the alarm's text.
Q_DECLARE_LOGGING_CATEGORY(lcAlarms)

} // namespace fixwatch
