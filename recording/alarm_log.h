#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace fixwatch {

// The alarm file: beside the day's log, "yyyy-mm-dd.alarms.log" in the log folder (named by
// the local date, as the log is), one line per alarm raised or cleared, only ever appended
// to, in UTF-8:
//   2026-12-09T12:00:01Z<TAB>raised<TAB>fix-degraded<TAB>Fix degraded: RTK fixed → RTK float

// "2026-12-05.alarms.log" for 5 December 2026.
QString AlarmLogFileName(const QDate& date);

// One line of the file, ended by LF. A line is always one line: control characters in the
// text (a tab, a line end) are written as blanks.
QByteArray AlarmLogLine(const QDateTime& at, bool raised, const QString& kind, const QString& text);

// Appends one line to the file of the local date of `at` in `folder`, creating it when
// missing; never blocks. False with the reason ("cannot write ...: permission denied").
bool AppendAlarmLog(const QString& folder, const QDateTime& at, bool raised, const QString& kind,
                    const QString& text, QString* reason = nullptr);

} // namespace fixwatch
