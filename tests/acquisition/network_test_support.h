#pragma once

// Waiting and reading for the network source tests: the event loop runs while a condition
// is polled, always with a deadline.

#include "receiver_source.h"

#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <fstream>
#include <string>

#include <unistd.h>

namespace fixwatch::test {

using namespace std::chrono_literals;

// Runs the event loop until `done()` or `limit`; whether it is done.
template <class Done>
bool WaitFor(Done done, std::chrono::milliseconds limit = 5s)
{
    return QTest::qWaitFor(done, static_cast<int>(limit.count()));
}

// Reads the source as the window does, the event loop running in between, until
// `done(text)` holds for all text read or `limit` passes. Every single Read stays within
// the bound of the interface.
template <class Done>
std::string ReadUntil(ReceiverSource& source, Done done, std::chrono::milliseconds limit = 5s)
{
    std::string text;
    WaitFor(
        [&] {
            const std::string read = source.Read();
            EXPECT_LE(read.size(), ReceiverSource::kMaxReadLength);
            text += read;
            return done(text);
        },
        limit);
    return text;
}

inline auto Contains(std::string needle)
{
    return [needle = std::move(needle)](const std::string& text) {
        return text.find(needle) != std::string::npos;
    };
}

// The resident memory of this process, in bytes.
inline std::size_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

} // namespace fixwatch::test
