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
// "?"), joined by ";", then CR LF. A record is always one line: a CR, LF or other control
// character inside a field (a receiver can send them in a sentence with a valid checksum)
// is written as a blank, so no field can end the line early or forge another record; a ";"
// inside a field is written as ",", so a record always has as many fields as it was given.
QByteArray LogRecordLine(const QStringList& fields);

// The folder for the log files: FIXWATCH_LOG_DIR when it is set and not empty, otherwise
// the folder of the program's executable.
QString LogFolder();

// The full path of the log file of `date` in `folder`.
QString LogFilePath(const QString& folder, const QDate& date);

// Appends one record to the file of `date` in `folder`, creating the file when missing; the
// file is closed again before returning. Never blocks: something at the path that is not a
// regular file (a FIFO, a device) is not written to, and a file that another program keeps
// locked for more than a moment is not waited for. Programs appending to the same file take
// turns under an advisory lock (flock). False when the record could not be written whole,
// with the reason in `reason` ("cannot write /x/2026-12-07.log: permission denied"); the part
// of the line that did get written is cut off again, never touching another writer's bytes,
// so the lines already in the file stay intact.
bool AppendLogRecord(const QString& folder, const QDate& date, const QStringList& fields,
                     QString* reason = nullptr);

// Appends the bytes of one whole line to the file at `path`, as AppendLogRecord does: only
// to a regular file, never blocking, under the same lock, and never leaving part of it.
bool AppendLogLine(const QString& path, const QByteArray& line, QString* reason = nullptr);

} // namespace fixwatch
