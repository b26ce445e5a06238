#pragma once

// A real gpsd, fed by gpsfake from a recorded log, for tests. Plain POSIX, so any test
// executable can use it, with or without Qt.
//
// gpsfake starts the gpsd it finds first in $GPSD_HOME, then in $PATH (with /usr/sbin),
// with "-b -N -S PORT -F $TMPDIR/gpsfake-PID.sock"; without -P it would take gpsd's own
// port 2947, so the harness always passes a free port of 127.0.0.1, and it points
// GPSD_HOME at the gpsd it found. gpsd runs in the foreground (-N) in gpsfake's process
// group. A small supervisor process starts gpsfake in a group of its own, kills that group
// when asked or when the test process dies, and reaps gpsfake and gpsd (it is their
// subreaper), so that nothing is left running or unreaped even when a test crashes. As
// root gpsd drops its privileges to read the log's pseudo-terminal, which gpsfake makes
// readable by everyone; it works the same for an ordinary user. A test that crashes
// leaves only the harness's folder in /tmp behind.
//
// Call Start() and Kill() from the thread that made the harness (the test's main thread):
// the supervisor watches that thread's life.

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/shm.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fixwatch::test {

class GpsdHarness {
public:
    using Clock = std::chrono::steady_clock;

    // The log is replayed in a loop, one line every `lineDelay` seconds, for as long as
    // the harness runs.
    explicit GpsdHarness(std::string log, double lineDelay = 0.002)
        : log_(std::move(log))
        , lineDelay_(lineDelay)
        , port_(FreePort())
    {
        char folder[] = "/tmp/fixwatch-gpsd-XXXXXX";
        if (::mkdtemp(folder))
            folder_ = folder;
    }

    ~GpsdHarness()
    {
        Kill();
        std::error_code ignored;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ignored);
    }

    GpsdHarness(const GpsdHarness&) = delete;
    GpsdHarness& operator=(const GpsdHarness&) = delete;

    // Empty when gpsfake and gpsd can be run; otherwise what is missing, to skip a test.
    static std::string Missing()
    {
        if (Find("gpsfake").empty())
            return "gpsfake not found (Debian package gpsd-clients)";
        if (Find("gpsd").empty())
            return "gpsd not found (Debian package gpsd)";
        return {};
    }

    std::uint16_t Port() const { return port_; }
    const std::string& Error() const { return error_; }
    bool Running() const { return supervisor_ > 0; }

    // Starts gpsfake and its gpsd on Port() and waits, at most `limit`, until gpsd answers
    // and reads the log's device: a client then gets the device in gpsd's first DEVICES
    // report. False, with Error() saying why, otherwise.
    bool Start(std::chrono::milliseconds limit = std::chrono::seconds(15))
    {
        Kill();
        const std::string gpsfake = Find("gpsfake");
        const std::string gpsd = Find("gpsd");
        if (gpsfake.empty() || gpsd.empty() || folder_.empty() || port_ == 0) {
            error_ = "cannot start: " + (folder_.empty() ? "no temporary folder" : Missing());
            return false;
        }
        // Everything the children need is made before fork: after it only async-signal-safe
        // calls are allowed in a threaded process.
        std::vector<std::string> arguments = {gpsfake, "-q", "-c", std::to_string(lineDelay_),
                                              "-P", std::to_string(port_), log_};
        std::vector<std::string> environment = {"TMPDIR=" + folder_,
                                                "GPSD_HOME=" + std::filesystem::path(gpsd).parent_path().string()};
        for (char** entry = environ; *entry; ++entry)
            if (std::strncmp(*entry, "TMPDIR=", 7) != 0 && std::strncmp(*entry, "GPSD_HOME=", 10) != 0)
                environment.emplace_back(*entry);
        std::vector<char*> argv = Pointers(arguments);
        std::vector<char*> envp = Pointers(environment);
        const std::string logPath = folder_ + "/gpsfake.log";
        const int output = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const pid_t parent = ::getpid();

        const pid_t supervisor = ::fork();
        if (supervisor == 0)
            Supervise(parent, argv.data(), envp.data(), output, port_);
        if (output >= 0)
            ::close(output);
        if (supervisor < 0) {
            error_ = "fork failed";
            return false;
        }
        supervisor_ = supervisor;

        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            if (HasDevice(port_))
                return true;
            int status = 0;
            if (::waitpid(supervisor_, &status, WNOHANG) == supervisor_) {
                supervisor_ = -1;
                error_ = "gpsfake ended before gpsd answered: " + Tail(logPath);
                Kill();
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        error_ = "gpsd did not answer on port " + std::to_string(port_) + " within "
                 + std::to_string(limit.count()) + " ms: " + Tail(logPath);
        Kill();
        return false;
    }

    // Kills gpsfake and gpsd at once, as a crash or `kill -9` would, and waits until they
    // are gone and the port refuses connections. Start() may then run again on the port.
    void Kill()
    {
        if (supervisor_ > 0) {
            ::kill(supervisor_, SIGTERM);
            while (::waitpid(supervisor_, nullptr, 0) == -1 && errno == EINTR) {
            }
            supervisor_ = -1;
            const auto deadline = Clock::now() + std::chrono::seconds(5);
            while (Accepts(port_) && Clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // True when something accepts a TCP connection on 127.0.0.1:port.
    static bool Accepts(std::uint16_t port)
    {
        const int fd = Connect(port);
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    }

    // True when a gpsd on 127.0.0.1:port greets with its VERSION banner within a second.
    static bool Greets(std::uint16_t port)
    {
        return Converse(port, "", "{\"class\":\"VERSION\"");
    }

    // True when a gpsd on 127.0.0.1:port lists a device: the log's pseudo-terminal has been
    // handed to it.
    static bool HasDevice(std::uint16_t port)
    {
        return Converse(port, "?DEVICES;\n", "{\"class\":\"DEVICES\",\"devices\":[{");
    }

    // A TCP port of 127.0.0.1 that nothing uses at the moment; 0 when none can be had.
    static std::uint16_t FreePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        std::uint16_t port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port = ntohs(address.sin_port);
        ::close(fd);
        return port;
    }

private:
    // The process group of gpsfake and gpsd, for the supervisor's signal handler.
    static inline volatile sig_atomic_t fakeGroup_ = 0;

    // The supervisor, in the forked child; never returns. SIGTERM (from Kill(), or as the
    // test process dies) kills gpsfake's group; it ends once gpsfake and gpsd are reaped
    // and what gpsd leaves behind is removed.
    [[noreturn]] static void Supervise(pid_t parent, char** argv, char** envp, int output, std::uint16_t port)
    {
        ::setpgid(0, 0); // a terminal's signals for the tests do not cut it short
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        struct sigaction onTerm {};
        onTerm.sa_handler = [](int) {
            if (fakeGroup_ > 0)
                ::kill(-fakeGroup_, SIGKILL);
        };
        ::sigaction(SIGTERM, &onTerm, nullptr);
        // SIGTERM waits until the group is known, so that none can slip in between.
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
            const int nothing = ::open("/dev/null", O_RDONLY);
            ::dup2(nothing, STDIN_FILENO);
            if (output >= 0) {
                ::dup2(output, STDOUT_FILENO);
                ::dup2(output, STDERR_FILENO);
            }
            ::execve(argv[0], argv, envp);
            ::_exit(127);
        }
        if (gpsfake > 0) {
            ::setpgid(gpsfake, gpsfake); // also done by gpsfake's child; whichever runs first
            fakeGroup_ = gpsfake;
        }
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
        // gpsfake, and gpsd once orphaned, are reaped here; when gpsfake ends by itself its
        // gpsd goes too.
        for (pid_t ended; (ended = ::waitpid(-1, nullptr, 0)) != -1 || errno == EINTR;)
            if (ended == gpsfake)
                ::kill(-gpsfake, SIGKILL);
        // gpsd keeps its data in a shared memory segment named after its port; a killed
        // gpsd leaves it behind.
        const int segment = ::shmget(static_cast<key_t>(0x47700000 | port), 0, 0);
        if (segment >= 0)
            ::shmctl(segment, IPC_RMID, nullptr);
        ::_exit(0);
    }

    // Connects, sends `request` (if any) and reads at most a second until a line starts
    // with `answer`.
    static bool Converse(std::uint16_t port, std::string_view request, std::string_view answer)
    {
        const int fd = Connect(port);
        if (fd < 0)
            return false;
        timeval wait{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        bool answered = false;
        if (request.empty() || ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
            std::string received;
            char buffer[4096];
            while (!answered && received.size() < 65536) {
                const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
                if (count <= 0)
                    break;
                received.append(buffer, static_cast<std::size_t>(count));
                answered = received.compare(0, answer.size(), answer) == 0
                           || received.find("\n" + std::string(answer)) != std::string::npos;
            }
        }
        ::close(fd);
        return answered;
    }

    static int Connect(std::uint16_t port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    // The program's path, searched as gpsfake does: $PATH, then /usr/sbin.
    static std::string Find(const std::string& program)
    {
        std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
        path += ":/usr/sbin";
        std::stringstream folders(path);
        std::string folder;
        while (std::getline(folders, folder, ':')) {
            const std::string candidate = folder + "/" + program;
            if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        return {};
    }

    static std::vector<char*> Pointers(std::vector<std::string>& texts)
    {
        std::vector<char*> pointers;
        for (std::string& text : texts)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
        return pointers;
    }

    static std::string Tail(const std::string& path)
    {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        const std::string all = text.str();
        return all.size() > 400 ? all.substr(all.size() - 400) : all;
    }

    std::string log_;
    double lineDelay_;
    std::uint16_t port_;
    std::string folder_;
    std::string error_;
    pid_t supervisor_ = -1;
};

} // namespace fixwatch::test
