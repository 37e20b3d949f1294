#include "threadecho.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

ThreadEcho::ThreadEcho()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || ::listen(m_listener, 1) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        if (m_listener >= 0)
            ::close(m_listener);
        throw std::runtime_error("cannot listen for the threaded loopback echo");
    }
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { serve(); });
}

ThreadEcho::~ThreadEcho()
{
    // Shutting the sockets down wakes the thread from accept() or recv().
    ::shutdown(m_listener, SHUT_RDWR);
    if (const int c = m_connection.load(); c >= 0)
        ::shutdown(c, SHUT_RDWR);
    m_thread.join();
    ::close(m_listener);
    if (const int c = m_connection.load(); c >= 0)
        ::close(c);
}

void ThreadEcho::serve()
{
    const int c = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0)
        return;
    const int one = 1;
    ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    m_connection = c;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(c, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        for (ssize_t sent = 0; sent < n;) {
            const ssize_t k = ::send(c, buffer + sent, static_cast<size_t>(n - sent), MSG_NOSIGNAL);
            if (k <= 0)
                return;
            sent += k;
        }
    }
}
