#pragma once

#include <QString>

#include <optional>

namespace fixwatch {

// True for a pseudo-terminal slave (/dev/pts/*, also when reached through a link): it has
// no real line, so line settings it refuses are not faults of the receiver's connection.
bool IsPseudoTerminal(const QString& device);

// Why `device` cannot be a serial port at all, in the user's words, when it names something
// else: "/tmp/track.nmea is a regular file, not a serial port." (a folder, a regular file,
// a character device that is no terminal such as /dev/null). Nothing for a terminal, or a
// path that does not exist or cannot be looked at: the open's own error says more then.
std::optional<QString> NotASerialPort(const QString& device);

// The recording a port name plays, when it names one: the path after "file://", or a plain
// path that is a regular file. Nothing for a device or a network address.
std::optional<QString> RecordingPath(const QString& name);

} // namespace fixwatch
