#include "desktop_log.h"

namespace fixwatch {

Q_LOGGING_CATEGORY(lcAlarms, "fixwatch.alarms", QtWarningMsg)

} // namespace fixwatch
