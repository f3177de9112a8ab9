#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace brindle::test {

// A listening socket on the loopback address that must see no connection: the
// address of something that, if fetched, would be fetched from the network.
class Listener {
public:
    Listener() : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(m_fd, 4) != 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throw std::runtime_error("cannot listen on the loopback address");
        m_port = ntohs(addr.sin_port);
    }
    ~Listener() { ::close(m_fd); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    // Whether anything has tried to connect so far.
    bool Contacted() const
    {
        pollfd pending{m_fd, POLLIN, 0};
        return ::poll(&pending, 1, 50) != 0;
    }

private:
    int m_fd;
    int m_port = 0;
};

} // namespace brindle::test
