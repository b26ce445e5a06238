#include "acquisition_log.h"

namespace fixwatch {

Q_LOGGING_CATEGORY(lcAcquisition, "fixwatch.acquisition", QtWarningMsg)

} // namespace fixwatch
