#pragma once

#include <QString>

namespace fixwatch {

// The device that serial port number `port` (1..255) stands for: the path in the
// environment variable FIXWATCH_COM<port> when that is set, otherwise /dev/ttyS<port - 1>.
// A variable that is set but empty names no device: the port then cannot be opened.
// Empty for a number outside 1..255.
QString DeviceForPort(int port);

// True for a pseudo-terminal slave (/dev/pts/*, also when reached through a link): it has
// no real line, so line settings it refuses are not faults of the receiver's connection.
bool IsPseudoTerminal(const QString& device);

} // namespace fixwatch
