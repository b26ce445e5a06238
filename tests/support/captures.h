#pragma once

// The real receiver captures that some tests replay. They live outside the repository, in the
// folder named by the FIXWATCH_NMEA_LOGS cache variable; a test that needs them starts with
// FIXWATCH_NEED_CAPTURES, which skips it where they are absent and fails it under CI=true.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fixwatch::test {

// The folder of captures this build was configured with.
std::filesystem::path CaptureFolder();

// Every "*.nmea" file of the folder, in name order; empty when the folder is absent.
std::vector<std::filesystem::path> Captures();

// A capture's lines as a receiver's reader hands them on: split at LF, a CR before it
// dropped. `file` is a name in the folder (or a path from Captures()).
std::vector<std::string> CaptureLines(const std::filesystem::path& file);

// A capture's path in the folder.
std::filesystem::path CapturePath(const std::filesystem::path& file);

// Empty when the named capture (or, without a name, at least one capture) is there;
// otherwise the sentence that says what was looked for and where.
std::string MissingCaptures(const std::filesystem::path& file = {});

// True under CI=true, where a missing capture is a failure rather than a skip.
bool CapturesRequired();

} // namespace fixwatch::test

// Skips the test (fails it under CI=true) unless the named capture, or any capture, is there.
// For a test body or a fixture's SetUp.
#define FIXWATCH_NEED_CAPTURES(...)                                                         \
    if (const std::string fixwatchMissing = ::fixwatch::test::MissingCaptures(__VA_ARGS__); \
        fixwatchMissing.empty()) {                                                          \
    } else if (::fixwatch::test::CapturesRequired())                                        \
        GTEST_FAIL() << fixwatchMissing << " (CI=true: the captures are required)";         \
    else                                                                                    \
        GTEST_SKIP() << fixwatchMissing
