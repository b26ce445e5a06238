#pragma once

#include <string>
#include <vector>

namespace fixwatch {

// One second of a receiver with a 3D fix and eight satellites in view, as complete
// sentences with their checksums, for the screenshots and the window's tests.
std::vector<std::string> SampleSentences();

// The same second as a receiver sends it: each sentence followed by CR LF.
std::string SampleSecondText();

// The first `count` sentence lines of a recorded capture file, each ending in CR LF as a
// receiver sends them; comment lines (#) and empty lines are skipped. Empty when the file
// cannot be read.
std::string CaptureText(const std::string& path, int count);

} // namespace fixwatch
