#pragma once

// Helpers for the source tests: waiting with a deadline while the event loop runs, and
// peers on 127.0.0.1 on their own thread with plain sockets, so that they keep sending
// while the test's thread is busy: a TCP server for one client and a UDP sender.

#include "receiver_source.h"

#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fixwatch::test {

using namespace std::chrono_literals;

template <class Done>
bool WaitFor(Done done, std::chrono::milliseconds limit = 5s)
{
    return QTest::qWaitFor(done, static_cast<int>(limit.count()));
}

// Reads the source as the window does until `done(all text read)` or `limit`; no Read may
// exceed the interface's bound.
template <class Done>
std::string ReadUntil(ReceiverSource& source, Done done, std::chrono::milliseconds limit = 5s)
{
    std::string text;
    WaitFor([&] {
        const std::string read = source.Read();
        EXPECT_LE(read.size(), ReceiverSource::kMaxReadLength);
        return done(text += read);
    },
            limit);
    return text;
}

inline auto Contains(std::string needle)
{
    return [needle = std::move(needle)](const std::string& text) { return text.find(needle) != text.npos; };
}

// The CPU time, in milliseconds, this process uses while the event loop runs for `ms`.
inline long CpuMsWhileWaiting(int ms)
{
    const auto cpu = [] {
        rusage use{};
        ::getrusage(RUSAGE_SELF, &use);
        return (use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1000L
               + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000;
    };
    const long before = cpu();
    QTest::qWait(ms);
    return cpu() - before;
}

// What a peer's thread runs: the client (TCP) or connected (UDP) socket, and the flag that
// asks it to end.
using PeerWork = std::function<void(int socket, const std::atomic<bool>& stop)>;

// Sends all of `bytes` unless the peer is gone or `stop` is set; whether all went.
inline bool SendAll(int socket, std::string_view bytes, const std::atomic<bool>& stop)
{
    while (!bytes.empty() && !stop) {
        pollfd ready{socket, POLLOUT, 0};
        if (::poll(&ready, 1, 50) <= 0)
            continue;
        const ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return bytes.empty();
}

// A socket listening on (TCP) or connected to (UDP) 127.0.0.1, and a thread that runs
// `work` on it (TCP: on the first client); the thread is stopped and joined on destruction.
class LoopbackPeer {
public:
    LoopbackPeer(int type, std::uint16_t port, PeerWork work)
        : socket_(::socket(AF_INET, type | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        socklen_t size = sizeof address;
        if (type == SOCK_DGRAM) {
            ::connect(socket_, reinterpret_cast<sockaddr*>(&address), size);
            thread_ = std::thread([this, work = std::move(work)] { work(socket_, stop_); });
            return;
        }
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(socket_, 1);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, work = std::move(work)] {
            for (pollfd ready{socket_, POLLIN, 0}; !stop_ && ::poll(&ready, 1, 50) <= 0;) {
            }
            const int client = stop_ ? -1 : ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                work(client, stop_);
                ::close(client);
            }
        });
    }
    ~LoopbackPeer()
    {
        stop_ = true;
        thread_.join();
        ::close(socket_);
    }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    std::uint16_t Port() const { return port_; }

private:
    int socket_;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct ThreadedTcpServer : LoopbackPeer {
    explicit ThreadedTcpServer(PeerWork work) : LoopbackPeer(SOCK_STREAM, 0, std::move(work)) {}
};

struct ThreadedUdpSender : LoopbackPeer {
    ThreadedUdpSender(std::uint16_t port, PeerWork work) : LoopbackPeer(SOCK_DGRAM, port, std::move(work)) {}
};

} // namespace fixwatch::test
