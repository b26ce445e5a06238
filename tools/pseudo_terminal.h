#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace fixwatch {

// A real pseudo-terminal: the master side plays the receiver, the slave device is what the
// window's port opens (in tests, the benchmark and the screenshots). The object's own slave
// descriptor shows the line settings applied.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        termios raw{};
        ::cfmakeraw(&raw);
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, &raw, nullptr) == -1)
            throw std::runtime_error("openpty failed");
        device_ = name;
    }
    ~PseudoTerminal()
    {
        CloseMaster();
        ::close(slave_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& Device() const { return device_; }

    void Write(std::string_view bytes)
    {
        if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("write to the pseudo-terminal failed");
    }

    // Writes what the terminal takes without waiting, as a line that cannot be held up
    // would; the number of bytes it took.
    std::size_t WriteWithoutWaiting(std::string_view bytes)
    {
        const int flags = ::fcntl(master_, F_GETFL);
        ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        ::fcntl(master_, F_SETFL, flags);
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }

    // The receiver goes away: the slave side is hung up.
    void CloseMaster()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

    // How many written bytes wait on the slave side, not yet read.
    int Queued() const
    {
        int queued = 0;
        return ::ioctl(slave_, FIONREAD, &queued) == 0 ? queued : 0;
    }

    // The kernel moves written bytes to the slave side asynchronously; waits up to two
    // seconds until `count` of them are there.
    bool WaitUntilQueued(int count) const
    {
        for (int tries = 0; tries < 20000; ++tries) {
            if (Queued() >= count)
                return true;
            ::usleep(100);
        }
        return false;
    }

    termios LineSettings() const
    {
        termios tio{};
        ::tcgetattr(slave_, &tio);
        return tio;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
};

} // namespace fixwatch
