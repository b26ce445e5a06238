#pragma once

#include <QString>

namespace fixwatch {

// True for a pseudo-terminal slave (/dev/pts/*, also when reached through a link): it has
// no real line, so line settings it refuses are not faults of the receiver's connection.
bool IsPseudoTerminal(const QString& device);

} // namespace fixwatch
