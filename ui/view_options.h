#pragma once

#include "coordinate_text.h"

#include <string>
#include <string_view>

namespace fixwatch {

class MainForm;
class ProgramArguments;

// How the window shows the fix, from --coordinates=FORMAT and --units=SET, and what it does
// at launch, from --tab=NAME and --start.
struct ViewOptions {
    CoordinateFormat coordinates = CoordinateFormat::Sent;
    UnitSystem units = UnitSystem::Metric;
    std::string tab;     // as given; empty: the window's own first tab
    bool start = false;  // press Start once the window is shown
    int compareWith = 0; // receiver B's port on the Compare tab; 0 for none
    // What was wrong with one of them, for standard error; empty when both were understood.
    std::string error;
};

// The view options of the command line; an option that is not given keeps its default.
ViewOptions ReadViewOptions(const ProgramArguments& arguments);

// Applies the options to a window just built: the View menu's entries, the tab, then Start,
// which waits until the window is first shown, so that a port that fails says so over the
// window rather than on an empty screen. False, with `error` set, when no tab has the name
// given (the window is left as built).
bool ApplyViewOptions(MainForm& form, ViewOptions& options);

} // namespace fixwatch
