#pragma once

// Waiting and reading for the network source tests: the event loop runs while a condition
// is polled, always with a deadline.

#include "receiver_source.h"

#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include <sys/resource.h>

namespace fixwatch::test {

using namespace std::chrono_literals;

template <class Done>
bool WaitFor(Done done, std::chrono::milliseconds limit = 5s)
{
    return QTest::qWaitFor(done, static_cast<int>(limit.count()));
}

// Reads the source as the window does until `done(all text read)` or `limit`; no single
// Read may exceed the bound of the interface.
template <class Done>
std::string ReadUntil(ReceiverSource& source, Done done, std::chrono::milliseconds limit = 5s)
{
    std::string text;
    WaitFor([&] {
        const std::string read = source.Read();
        EXPECT_LE(read.size(), ReceiverSource::kMaxReadLength);
        return done(text += read);
    }, limit);
    return text;
}

inline auto Contains(std::string needle)
{
    return [needle = std::move(needle)](const std::string& text) { return text.find(needle) != std::string::npos; };
}

// The CPU time, in milliseconds, this process uses while the event loop runs for `ms`.
inline long CpuMsWhileWaiting(int ms)
{
    const auto cpu = [] {
        rusage use{};
        ::getrusage(RUSAGE_SELF, &use);
        return (use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1000L + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000;
    };
    const long before = cpu();
    QTest::qWait(ms);
    return cpu() - before;
}

} // namespace fixwatch::test
