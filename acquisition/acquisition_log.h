#pragma once

#include <QLoggingCategory>

namespace fixwatch {

// The intake's diagnostics, for a user to switch on and send with a fault report. Both are
// off by default; QT_LOGGING_RULES="fixwatch.acquisition.debug=true" (or fixwatch.replay, or
// "fixwatch.*.debug=true") switches them on. They log counts, sizes, times and file or device
// names, never received text.

// What the intake does behind the window's back: ports opened and with which settings,
// reconnects, received bytes thrown away.
Q_DECLARE_LOGGING_CATEGORY(lcAcquisition)

// What a replay does: which recording, its size, why it cannot be played, the index built
// beside it, seeks, gaps skipped and where it ended.
Q_DECLARE_LOGGING_CATEGORY(lcReplay)

} // namespace fixwatch
