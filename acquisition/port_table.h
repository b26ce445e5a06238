#pragma once

#include "port_list.h"

#include <string>
#include <vector>

namespace fixwatch {

// The table that `fixwatch --list-ports` prints: one row per port (number, device or
// address, description, USB vendor:product), columns aligned, UTF-8. Descriptions come
// from USB devices and the environment, so control characters in them are printed as
// blanks: a device's name cannot move the terminal's cursor or change its colours.
std::string PortTable(const std::vector<PortEntry>& entries);

} // namespace fixwatch
