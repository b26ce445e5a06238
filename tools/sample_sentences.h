#pragma once

#include <string>
#include <vector>

namespace fixwatch {

// One second of a receiver with a 3D fix and eight satellites in view, as complete
// sentences with their checksums, for the screenshots and the window's tests.
std::vector<std::string> SampleSentences();

} // namespace fixwatch
