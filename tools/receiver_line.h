#pragma once

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace fixwatch {

// Set at SIGINT or SIGTERM once StopOnSignals() ran: the programs that play a receiver end
// their loop when it is set.
inline volatile std::sig_atomic_t stopRequested = 0;

inline void StopOnSignals()
{
    struct sigaction action {};
    action.sa_handler = [](int) { stopRequested = 1; };
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

// A receiver's end of a pseudo-terminal for the programs that play one (fixwatch-sim and the
// benchmarks' real-time line): the slave device is what a monitor opens, and what is sent
// goes out as a line that nobody has to read. Writes never block: what the line cannot take
// now is dropped, and a backlog nobody read is dropped first, so a reader that comes late
// sees the current second, as on a real cable.
class ReceiverLine {
public:
    // `stop` (a signal handler's flag) ends a Send that a signal interrupts.
    explicit ReceiverLine(const volatile std::sig_atomic_t& stop) : stop_(stop) {}
    ReceiverLine(const ReceiverLine&) = delete;
    ReceiverLine& operator=(const ReceiverLine&) = delete;
    ~ReceiverLine()
    {
        if (slave_ >= 0)
            ::close(slave_);
        if (master_ >= 0)
            ::close(master_);
    }

    // Opens a raw line, at `speed` when given; says why not on standard error, naming `program`.
    bool Open(std::string_view program, std::optional<speed_t> speed = std::nullopt)
    {
        termios raw{};
        ::cfmakeraw(&raw);
        if (speed) {
            ::cfsetispeed(&raw, *speed);
            ::cfsetospeed(&raw, *speed);
        }
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, &raw, nullptr) == -1) {
            std::cerr << program << ": cannot open a pseudo-terminal: " << std::strerror(errno) << "\n";
            return false;
        }
        // The slave stays open here, so a write never fails for want of a reader.
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        device_ = name;
        return true;
    }

    const std::string& Device() const { return device_; }

    // Writes what the line takes now; what waited unread for more than `backlogSeconds` of
    // `bytesPerSecond` is dropped first.
    void Send(std::string_view text, long bytesPerSecond, long backlogSeconds)
    {
        // A monitor never transmits, but another reader might: the way back is kept empty.
        char sink[512];
        while (::read(master_, sink, sizeof sink) > 0) {
        }
        int waiting = 0;
        if (::ioctl(slave_, FIONREAD, &waiting) == 0 && waiting > backlogSeconds * bytesPerSecond)
            ::tcflush(slave_, TCIFLUSH);
        while (!text.empty()) {
            const ssize_t n = ::write(master_, text.data(), text.size());
            if (n > 0)
                text.remove_prefix(static_cast<std::size_t>(n));
            else if (!(n == -1 && errno == EINTR) || stop_)
                return;
        }
    }

private:
    const volatile std::sig_atomic_t& stop_;
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
};

} // namespace fixwatch
