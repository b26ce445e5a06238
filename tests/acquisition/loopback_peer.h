#pragma once

// Peers on 127.0.0.1 that run on their own thread with plain sockets, so they keep sending
// (or answering) while the test's thread is busy or blocked: a TCP server for one client
// and a UDP sender.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>
#include <thread>

namespace fixwatch::test {

// What a peer's thread runs: the connected (TCP) or unconnected (UDP) socket, and the flag
// that asks it to end.
using PeerWork = std::function<void(int socket, const std::atomic<bool>& stop)>;

inline sockaddr_in Loopback(std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

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

// Listens on 127.0.0.1 and runs `work` on its own thread for the first client.
class ThreadedTcpServer {
public:
    explicit ThreadedTcpServer(PeerWork work)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address = Loopback(0);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, work = std::move(work)] {
            pollfd ready{listener_, POLLIN, 0};
            while (!stop_ && ::poll(&ready, 1, 50) <= 0) {
            }
            if (stop_)
                return;
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                return;
            work(client, stop_);
            ::close(client);
        });
    }
    ~ThreadedTcpServer()
    {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    ThreadedTcpServer(const ThreadedTcpServer&) = delete;
    ThreadedTcpServer& operator=(const ThreadedTcpServer&) = delete;

    std::uint16_t Port() const { return port_; }

private:
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Runs `work` on its own thread with a UDP socket connected to 127.0.0.1:port.
class ThreadedUdpSender {
public:
    ThreadedUdpSender(std::uint16_t port, PeerWork work)
    {
        socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = Loopback(port);
        ::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        thread_ = std::thread([this, work = std::move(work)] { work(socket_, stop_); });
    }
    ~ThreadedUdpSender()
    {
        stop_ = true;
        thread_.join();
        ::close(socket_);
    }
    ThreadedUdpSender(const ThreadedUdpSender&) = delete;
    ThreadedUdpSender& operator=(const ThreadedUdpSender&) = delete;

private:
    int socket_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace fixwatch::test
