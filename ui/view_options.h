#pragma once

#include "coordinate_text.h"

#include <string>

namespace fixwatch {

// How the window shows the fix, from --coordinates=FORMAT and --units=SET.
struct ViewOptions {
    CoordinateFormat coordinates = CoordinateFormat::Sent;
    UnitSystem units = UnitSystem::Metric;
    // What was wrong with one of them, for standard error; empty when both were understood.
    std::string error;
};

// Takes every --coordinates=FORMAT and --units=SET out of argv[1..argc-1] (a later one wins),
// so that the rest of the command line is read as before.
ViewOptions TakeViewOptions(int& argc, char** argv);

} // namespace fixwatch
