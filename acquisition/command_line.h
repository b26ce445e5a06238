#pragma once

#include "serial_settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace fixwatch {

// What the command line decides: the serial settings and whether the checksum calculator
// button is shown. Everything else of the window's start-up is the window's own.
struct CommandLineOptions {
    SerialSettings settings;
    bool checksumButtonVisible = false;
    // One line per item that was not understood, for standard error:
    // "fixwatch: ignoring /X7: not an option".
    std::vector<std::string> warnings;
};

// Reads the "/"-separated options of a command line, starting from the defaults. Text
// before the first "/" and unknown items are ignored (and named in `warnings`); bad values
// fall back to defaults. commandLine is already stripped of blanks at both ends.
//   /Cn  port 1..255          /Sbaud,parity,data,stop   /Hn  handshaking 0..3
//   /D+ /D-  DTR   /R+ /R-  RTS   /N+ /N-  null discard   /B+ /B-  checksum button
//   /G+ /G-  every satellite system
CommandLineOptions ApplyCommandLine(std::string_view commandLine);

} // namespace fixwatch
