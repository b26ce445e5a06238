#pragma once

// A real gpsd, fed by gpsfake from recorded logs (one device each) on a free port of 127.0.0.1. A small
// supervisor process runs gpsfake (and so its gpsd) in a process group of its own, kills
// that group when asked or when the test process dies, and reaps both as their subreaper
// (PID 1 may not), so that nothing is left running even after a crash. Call Start() and
// Kill() from the thread that made the harness: the supervisor watches that thread's life.

#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fixwatch::test {

class GpsdHarness {
public:
    // Each log is replayed in a loop on a device of its own, one line every `cycle` seconds.
    explicit GpsdHarness(std::string log) : GpsdHarness(std::vector<std::string>{std::move(log)}) {}
    explicit GpsdHarness(std::vector<std::string> logs, std::string cycle = "0.002")
        : logs_(std::move(logs)), cycle_(std::move(cycle)), port_(FreePort()) {}
    ~GpsdHarness() { Kill(); }
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

    // Starts gpsfake and its gpsd on Port() and waits until gpsd lists a device per log.
    bool Start()
    {
        Kill();
        if (!Missing().empty() || !folder_.isValid()) {
            error_ = "cannot start: " + (folder_.isValid() ? Missing() : "no temporary folder");
            return false;
        }
        // Everything the children need is made before fork: after it only async-signal-safe
        // calls are allowed. gpsfake takes gpsd from GPSD_HOME and its socket from TMPDIR.
        std::vector<std::string> arguments = {
            "/usr/bin/env", "TMPDIR=" + folder_.path().toStdString(),
            "GPSD_HOME=" + std::filesystem::path(Find("gpsd")).parent_path().string(), Find("gpsfake"),
            "-q", "-c", cycle_, "-P", std::to_string(port_)};
        arguments.insert(arguments.end(), logs_.begin(), logs_.end());
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        const std::string logPath = folder_.filePath(QStringLiteral("gpsfake.log")).toStdString();
        const int output = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const pid_t parent = ::getpid();
        supervisor_ = ::fork();
        if (supervisor_ == 0)
            Supervise(parent, argv.data(), output, port_);
        ::close(output);

        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (supervisor_ > 0 && std::chrono::steady_clock::now() < deadline) {
            if (ListsTheDevices())
                return true;
            if (::waitpid(supervisor_, nullptr, WNOHANG) == supervisor_)
                supervisor_ = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::stringstream text;
        text << std::ifstream(logPath).rdbuf();
        error_ = "gpsd did not answer on port " + std::to_string(port_) + ": " + text.str();
        Kill();
        return false;
    }

    // Kills gpsfake and gpsd at once, as `kill -9` would. The supervisor ends only once both
    // are reaped, so the port refuses connections when this returns.
    void Kill()
    {
        if (supervisor_ <= 0)
            return;
        ::kill(supervisor_, SIGTERM);
        while (::waitpid(supervisor_, nullptr, 0) == -1 && errno == EINTR) {
        }
        supervisor_ = -1;
    }

    // A TCP port of 127.0.0.1 that nothing uses at the moment.
    static std::uint16_t FreePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
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

public:
    // The paths of the devices gpsd lists, in its order.
    std::vector<std::string> Devices() const
    {
        std::vector<std::string> paths;
        const QByteArray list = DevicesAnswer();
        for (qsizetype at = list.indexOf("\"path\":\""); at >= 0; at = list.indexOf("\"path\":\"", at)) {
            at += 8;
            paths.push_back(list.mid(at, list.indexOf('"', at) - at).toStdString());
        }
        return paths;
    }

private:
    // Whether gpsd answers ?DEVICES with a device per log.
    bool ListsTheDevices() const { return Devices().size() >= std::max<std::size_t>(logs_.size(), 1); }

    // gpsd's answer to ?DEVICES from its list on, within a second; empty without one.
    QByteArray DevicesAnswer() const
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port_);
        if (!socket.waitForConnected(1000))
            return {};
        socket.write("?DEVICES;\n");
        QByteArray answer;
        const auto list = [&answer] {
            const auto at = answer.indexOf("\"devices\":[");
            return at >= 0 && answer.indexOf('\n', at) >= 0 ? answer.mid(at) : QByteArray();
        };
        while (list().isEmpty() && answer.size() < 65536 && socket.waitForReadyRead(1000))
            answer += socket.readAll();
        return list();
    }

    // The program's path, searched as gpsfake does: $PATH, then /usr/sbin.
    static std::string Find(const char* program)
    {
        const QString name = QString::fromLatin1(program), found = QStandardPaths::findExecutable(name);
        return (found.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin"}) : found).toStdString();
    }

    std::vector<std::string> logs_;
    std::string cycle_;
    std::uint16_t port_;
    QTemporaryDir folder_;
    std::string error_;
    pid_t supervisor_ = -1;
};

} // namespace fixwatch::test
