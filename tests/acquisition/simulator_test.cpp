#include "nmea_events.h"
#include "nmea_interpreter.h"
#include "synthetic_receiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fixwatch {
namespace {

using Clock = std::chrono::steady_clock;

std::string Identifier(const std::string& sentence) { return sentence.substr(0, sentence.find(',')); }

struct SkyEvents : NmeaEvents {
    std::set<std::int16_t> inView;
    std::set<std::string> latitudes;
    void SatellitesInViewReceived(std::int16_t n) override { inView.insert(n); }
    void PositionReceived(std::string latitude, std::string) override { latitudes.insert(latitude); }
};

TEST(SyntheticReceiver, SendsAnHourOfValidSentencesInAReceiversOrder)
{
    SkyEvents events;
    const NmeaInterpreter gps(events);
    SyntheticReceiver receiver;
    const std::vector<std::string> order = {"$GPGGA", "$GPGSA", "$GPGSV", "$GPGSV",
                                            "$GPGSV", "$GPRMC", "$GPVTG", "$GPGLL"};
    for (int second = 0; second < 3600; ++second) {
        const auto sentences = receiver.NextSecond();
        ASSERT_EQ(sentences.size(), order.size());
        for (std::size_t i = 0; i < sentences.size(); ++i) {
            const std::string& s = sentences[i];
            ASSERT_EQ(Identifier(s), order[i]) << s;
            ASSERT_TRUE(s.ends_with("\r\n")) << s;
            ASSERT_TRUE(gps.Parse(s.substr(0, s.size() - 2))) << "second " << second << ": " << s;
        }
    }
    EXPECT_GE(*events.inView.begin(), 8);
    EXPECT_LE(*events.inView.rbegin(), 12);
    EXPECT_GT(events.inView.size(), 1u) << "satellites never rise or set";
    EXPECT_GT(events.latitudes.size(), 100u) << "the position hardly moves";
}

// fixwatch-sim as a child process, its standard output on a pipe.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> arguments)
    {
        int out[2];
        EXPECT_EQ(::pipe(out), 0);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        arguments.insert(arguments.begin(), FIXWATCH_SIM);
        std::vector<char*> argv;
        for (auto& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&pid_, FIXWATCH_SIM, &actions, nullptr, argv.data(), environ), 0);
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        // The first output line names the device.
        std::string device;
        for (char c = 0; Wait(out[0], 2000) && ::read(out[0], &c, 1) == 1 && c != '\n';)
            device += c;
        ::close(out[0]);
        EXPECT_TRUE(device.starts_with("/dev/pts/")) << "first line: \"" << device << "\"";
        device_ = ::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    }

    ~Simulator()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (device_ >= 0)
            ::close(device_);
    }

    // Complete lines read from the device, without CR LF, until `count` or three seconds.
    std::vector<std::string> ReadLines(std::size_t count)
    {
        std::vector<std::string> lines;
        std::string pending;
        const auto deadline = Clock::now() + std::chrono::seconds(3);
        char buffer[512];
        while (lines.size() < count && Clock::now() < deadline) {
            const ssize_t n = Wait(device_, 50) ? ::read(device_, buffer, sizeof buffer) : 0;
            pending.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
            for (auto end = pending.find("\r\n"); end != std::string::npos; end = pending.find("\r\n")) {
                lines.push_back(pending.substr(0, end));
                pending.erase(0, end + 2);
            }
        }
        return lines;
    }

    // Sends SIGTERM; the exit status, or -1 when the simulator has not ended within a second.
    int Terminate()
    {
        ::kill(pid_, SIGTERM);
        for (int ms = 0; ms < 1000; ms += 10, ::usleep(10'000)) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
        }
        return -1;
    }

private:
    static bool Wait(int fd, int ms)
    {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }

    pid_t pid_ = -1;
    int device_ = -1;
};

TEST(Simulator, SendsValidSentencesOnItsDeviceAndStopsOnSigterm)
{
    Simulator sim({});
    const auto lines = sim.ReadLines(10);
    ASSERT_GE(lines.size(), 10u);
    const NmeaInterpreter gps;
    std::set<std::string> kinds;
    // The first line may be the tail of a sentence sent before the device was opened.
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_TRUE(gps.Parse(lines[i])) << lines[i];
        kinds.insert(Identifier(lines[i]));
    }
    EXPECT_GE(kinds.size(), 5u);
    EXPECT_EQ(sim.Terminate(), 0);
}

TEST(Simulator, ReplaysAFileLineByLineSkippingComments)
{
    const std::string path = ::testing::TempDir() + "fixwatch-sim-replay.nmea";
    std::ofstream(path, std::ios::binary) << "# Name: test\n$GPGGA,A*00\r\n$GPRMC,B*00\n\n$GPVTG,C*00\n";
    Simulator sim({path, "--rate", "50", "--loop"});
    const auto lines = sim.ReadLines(9);
    // Reading may begin anywhere in the loop; from the first GGA on the order repeats.
    auto first = std::find(lines.begin(), lines.end(), "$GPGGA,A*00");
    ASSERT_GE(lines.end() - first, 6);
    EXPECT_EQ(std::vector<std::string>(first, first + 6),
              (std::vector<std::string>{"$GPGGA,A*00", "$GPRMC,B*00", "$GPVTG,C*00", "$GPGGA,A*00",
                                        "$GPRMC,B*00", "$GPVTG,C*00"}));
    EXPECT_EQ(sim.Terminate(), 0);
    std::remove(path.c_str());
}

} // namespace
} // namespace fixwatch
