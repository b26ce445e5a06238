#pragma once

// A real gpsd, fed by gpsfake from a recorded log on a free port of 127.0.0.1. A small
// supervisor process runs gpsfake (and so its gpsd) in a process group of its own, kills
// that group when asked or when the test process dies, and reaps both as their subreaper,
// so that nothing is left running even after a crash. Call Start() and Kill() from the
// thread that made the harness: the supervisor watches that thread's life.

#include "loopback_peer.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/shm.h>
#include <sys/wait.h>

namespace fixwatch::test {

class GpsdHarness {
public:
    // The log is replayed in a loop, one line every `lineDelay` seconds.
    explicit GpsdHarness(std::string log, double lineDelay = 0.002)
        : log_(std::move(log)), lineDelay_(lineDelay), port_(FreePort())
    {
        char folder[] = "/tmp/fixwatch-gpsd-XXXXXX";
        if (::mkdtemp(folder))
            folder_ = folder;
    }
    ~GpsdHarness()
    {
        Kill();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    GpsdHarness(const GpsdHarness&) = delete;
    GpsdHarness& operator=(const GpsdHarness&) = delete;

    // Empty when gpsfake and gpsd can be run; otherwise what is missing, to skip a test.
    static std::string Missing()
    {
        if (Find("gpsfake").empty())
            return "gpsfake not found (Debian package gpsd-clients)";
        return Find("gpsd").empty() ? "gpsd not found (Debian package gpsd)" : "";
    }

    std::uint16_t Port() const { return port_; }
    const std::string& Error() const { return error_; }

    // Starts gpsfake and its gpsd on Port() and waits until gpsd lists the log's device.
    bool Start(std::chrono::milliseconds limit = std::chrono::seconds(15))
    {
        Kill();
        if (!Missing().empty() || folder_.empty() || port_ == 0) {
            error_ = "cannot start: " + (folder_.empty() ? "no temporary folder" : Missing());
            return false;
        }
        // Everything the children need is made before fork: after it only async-signal-safe
        // calls are allowed. gpsfake takes gpsd from GPSD_HOME and its socket from TMPDIR.
        std::vector<std::string> arguments = {
            "/usr/bin/env", "TMPDIR=" + folder_,
            "GPSD_HOME=" + std::filesystem::path(Find("gpsd")).parent_path().string(), Find("gpsfake"),
            "-q", "-c", std::to_string(lineDelay_), "-P", std::to_string(port_), log_};
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        const std::string logPath = folder_ + "/gpsfake.log";
        const int output = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const pid_t parent = ::getpid();
        supervisor_ = ::fork();
        if (supervisor_ == 0)
            Supervise(parent, argv.data(), output, port_);
        ::close(output);

        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (supervisor_ > 0 && std::chrono::steady_clock::now() < deadline) {
            if (Converse(port_, "?DEVICES;\n", "{\"class\":\"DEVICES\",\"devices\":[{"))
                return true;
            if (::waitpid(supervisor_, nullptr, WNOHANG) == supervisor_)
                supervisor_ = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::ifstream file(logPath);
        std::stringstream text;
        text << file.rdbuf();
        error_ = "gpsd did not answer on port " + std::to_string(port_) + ": " + text.str();
        Kill();
        return false;
    }

    // Kills gpsfake and gpsd at once, as `kill -9` would, and waits until the port refuses
    // connections. Start() may then run again on the same port.
    void Kill()
    {
        if (supervisor_ <= 0)
            return;
        ::kill(supervisor_, SIGTERM);
        while (::waitpid(supervisor_, nullptr, 0) == -1 && errno == EINTR) {
        }
        supervisor_ = -1;
        for (int tries = 0, fd; tries < 500 && (fd = Connect(port_)) >= 0; ++tries) {
            ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // A TCP port of 127.0.0.1 that nothing uses at the moment; 0 when none can be had.
    static std::uint16_t FreePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address = Loopback(0);
        socklen_t size = sizeof address;
        std::uint16_t port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port = ntohs(address.sin_port);
        ::close(fd);
        return port;
    }

private:
    static inline volatile sig_atomic_t fakeGroup_ = 0;

    // The forked supervisor; never returns. SIGTERM (from Kill(), or as the test process
    // dies) kills gpsfake's group; it ends once all are reaped, removing the shared memory
    // segment a killed gpsd leaves behind.
    [[noreturn]] static void Supervise(pid_t parent, char** argv, int output, std::uint16_t port)
    {
        ::setpgid(0, 0); // a terminal's signals for the tests do not cut it short
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        struct sigaction onTerm {};
        onTerm.sa_handler = [](int) {
            if (fakeGroup_ > 0)
                ::kill(-fakeGroup_, SIGKILL);
        };
        ::sigaction(SIGTERM, &onTerm, nullptr);
        // SIGTERM is held until the group is known, so that none slips in between.
        sigset_t term, previous;
        ::sigemptyset(&term);
        ::sigaddset(&term, SIGTERM);
        ::sigprocmask(SIG_BLOCK, &term, &previous);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::raise(SIGTERM);
        const pid_t gpsfake = ::fork();
        if (gpsfake == 0) {
            ::setpgid(0, 0);
            ::signal(SIGTERM, SIG_DFL);
            ::sigprocmask(SIG_SETMASK, &previous, nullptr);
            ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
            ::dup2(output, STDOUT_FILENO);
            ::dup2(output, STDERR_FILENO);
            ::execv(argv[0], argv);
            ::_exit(127);
        }
        if (gpsfake > 0) {
            ::setpgid(gpsfake, gpsfake);
            fakeGroup_ = gpsfake;
        }
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
        for (pid_t ended; (ended = ::waitpid(-1, nullptr, 0)) != -1 || errno == EINTR;)
            if (ended == gpsfake) // gpsd goes with gpsfake
                ::kill(-gpsfake, SIGKILL);
        const int segment = ::shmget(static_cast<key_t>(0x47700000 | port), 0, 0);
        if (segment >= 0)
            ::shmctl(segment, IPC_RMID, nullptr);
        ::_exit(0);
    }

    static int Connect(std::uint16_t port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = Loopback(port);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            return fd;
        ::close(fd);
        return -1;
    }

    // Sends `request` and reads at most a second until a line starts with `answer`.
    static bool Converse(std::uint16_t port, const std::string& request, const std::string& answer)
    {
        const int fd = Connect(port);
        if (fd < 0)
            return false;
        timeval wait{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        std::string received = "\n";
        char buffer[4096];
        bool answered = false;
        if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size()))
            for (ssize_t count; !answered && received.size() < 65536 && (count = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
                received.append(buffer, static_cast<std::size_t>(count));
                answered = received.find("\n" + answer) != std::string::npos;
            }
        ::close(fd);
        return answered;
    }

    // The program's path, searched as gpsfake does: $PATH, then /usr/sbin.
    static std::string Find(const std::string& program)
    {
        std::stringstream folders(std::string(std::getenv("PATH") ? std::getenv("PATH") : "") + ":/usr/sbin");
        for (std::string folder; std::getline(folders, folder, ':');)
            if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
                return folder + "/" + program;
        return {};
    }

    std::string log_;
    double lineDelay_;
    std::uint16_t port_;
    std::string folder_;
    std::string error_;
    pid_t supervisor_ = -1;
};

} // namespace fixwatch::test
