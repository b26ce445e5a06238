#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

namespace fixwatch {

// The log file format: one record per line, the fields joined by ";" and ended by CR LF, in
// a file named after the local date ("yyyy-mm-dd.log"), only ever appended to.

// "2026-12-05.log" for 5 December 2026.
QString LogFileName(const QDate& date);

// The bytes of one record: the fields as ISO-8859-1 (a character it cannot hold becomes
// "?"), joined by ";", then CR LF. Fields are written as they are, ";" included.
QByteArray LogRecordLine(const QStringList& fields);

// The folder for the log files: FIXWATCH_LOG_DIR when it is set and not empty, otherwise
// the folder of the program's executable.
QString LogFolder();

// Appends one record to the file of `date` in `folder`, creating the file when missing,
// with a single write; the file is closed again before returning. False when the file could
// not be opened or the whole line not written; a partly written line is cut off again so
// the lines already in the file stay intact.
bool AppendLogRecord(const QString& folder, const QDate& date, const QStringList& fields);

} // namespace fixwatch
