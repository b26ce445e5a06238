#pragma once

#include "coordinate_text.h"

#include <string>
#include <string_view>

namespace fixwatch {

class ProgramArguments;

// How the window shows the fix, from --coordinates=FORMAT and --units=SET.
struct ViewOptions {
    CoordinateFormat coordinates = CoordinateFormat::Sent;
    UnitSystem units = UnitSystem::Metric;
    // What was wrong with one of them, for standard error; empty when both were understood.
    std::string error;
};

// The view options of the command line; an option that is not given keeps its default.
ViewOptions ReadViewOptions(const ProgramArguments& arguments);

} // namespace fixwatch
