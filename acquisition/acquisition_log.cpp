#include "acquisition_log.h"

namespace fixwatch {

Q_LOGGING_CATEGORY(lcAcquisition, "fixwatch.acquisition", QtWarningMsg)
Q_LOGGING_CATEGORY(lcReplay, "fixwatch.replay", QtWarningMsg)

} // namespace fixwatch
