#pragma once
// A plain loopback echo served by a thread of its own that sleeps in recv() between
// messages: every round trip wakes another task, as a trip to the server does, so
// its figures show what the machine's loopback and scheduler take without any game
// code. One connection; the thread ends when that connection closes or the echo
// is destroyed.
#include <QtGlobal>

#include <atomic>
#include <thread>

class ThreadEcho
{
public:
    ThreadEcho(); // throws std::runtime_error when it cannot listen on 127.0.0.1
    ~ThreadEcho();
    ThreadEcho(const ThreadEcho &) = delete;
    ThreadEcho &operator=(const ThreadEcho &) = delete;

    quint16 port() const { return m_port; }

private:
    void serve();

    int m_listener = -1;
    std::atomic<int> m_connection{-1};
    quint16 m_port = 0;
    std::thread m_thread;
};
